#pragma once

#include <QObject>
#include <QPointer>
#include <deque>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "krcommon/string_table.h"
#include "tarvik/app/tarvik_settings.h"
#include "tarvik/uiport/ui_port.h"

namespace tarvik {

class CMainFrame;
class CModelessDlg;
class CConnectDlg;
class CStartDlg;

// The person behind the window: message boxes, the password prompt, file and folder choosers, the
// progress, connect and start windows, the event lists, and the main window's menus, title and
// status text.
//
// Messages that only inform (one OK button) and arrive while an engine tick runs are queued and shown
// as soon as the tick has returned, that is when the engine has gone idle after the failure: a tick
// never sits inside a message box. Questions need their answer at once and are shown at once.
class CGuiUiPort : public QObject, public UiPort {
  Q_OBJECT

 public:
  struct EngineHandlers {
    std::function<void()> progress_cancel;
    std::function<void()> connect_button;
    std::function<void()> connect_cancel;
  };

  explicit CGuiUiPort(const kr::StringTable& strings);
  ~CGuiUiPort() override;

  void AttachFrame(CMainFrame* frame);
  void SetSettings(const TarvikSettings* settings) { settings_ = settings; }
  void SetEngineHandlers(EngineHandlers handlers) { handlers_ = std::move(handlers); }
  // The host brackets every tick with these.
  void BeginTick() { in_tick_ = true; }
  void EndTick();
  // What the connect window shows under its details button.
  void SetConnectDetails(const std::string& details);

  MessageAnswer ShowMessage(int string_id, const std::string& text, MessageIcon icon,
                            MessageButtons buttons) override;
  std::optional<std::string> AskPassword(const std::string& title, const std::string& prefill) override;
  std::optional<PasswordChange> AskNewPassword(const std::string& title, const std::string& current) override;
  std::optional<MemoryManagement> AskMemoryManagement(const std::string& title,
                                                      const MemoryManagement& current) override;
  std::optional<std::filesystem::path> ChooseFolder(const std::string& title,
                                                    const std::filesystem::path& start) override;
  std::optional<std::filesystem::path> ChooseSaveFile(const std::string& title,
                                                      const std::filesystem::path& directory,
                                                      const std::string& initial_name,
                                                      const std::string& filter) override;
  void OpenProgress(const std::string& text, int total, int position) override;
  void UpdateProgress(const std::string& text, int position) override;
  void CloseProgress() override;
  void ShowStartWindow() override;
  void CloseStartWindow() override;
  void ShowConnectWindow() override;
  void SetConnectText(const std::string& text) override;
  void CloseConnectWindow() override;
  void SetMenuSet(MenuSet menu) override;
  void SetWindowTitle(const std::string& title) override;
  std::string WindowTitle() override;
  void SetStatusText(const std::string& text) override;
  void SetWaitCursor(bool on) override;
  void ShowEventList(int recorder, const std::vector<EventListRow>& rows) override;
  std::vector<int> ChooseEventsForTransfer(int recorder, const std::vector<EventListRow>& rows) override;
  void ShellOpen(const std::filesystem::path& file) override;
  std::optional<std::string> AskMacroScriptQuestion(const std::string& label) override;

  // What the tests look at.
  const std::vector<int>& message_ids() const { return message_ids_; }
  CModelessDlg* progress_window();
  CConnectDlg* connect_window();
  // The highest position the progress window showed since it was last opened, and its total.
  int progress_peak() const { return progress_peak_; }
  int progress_total() const { return progress_total_; }
  // Every text the progress window showed, without repeats.
  const std::vector<std::string>& progress_texts() const { return progress_texts_; }

 private:
  struct Pending {
    int id;
    std::string text;
    MessageIcon icon;
  };
  MessageAnswer Show(const std::string& text, MessageIcon icon, MessageButtons buttons);
  void FlushMessages();
  void NoteProgressText(const std::string& text);
  void RepositionCursor();
  QWidget* Parent();

  const kr::StringTable& strings_;
  const TarvikSettings* settings_ = nullptr;
  QPointer<CMainFrame> frame_;
  EngineHandlers handlers_;
  // Children of the main window (Qt deletes them with it); made again when needed after that.
  QPointer<CModelessDlg> progress_;
  QPointer<CConnectDlg> connect_;
  QPointer<CStartDlg> start_;
  std::string connect_details_;
  std::string status_text_;
  std::deque<Pending> pending_;
  bool in_tick_ = false;
  bool flushing_ = false;
  bool wait_cursor_ = false;
  std::vector<int> message_ids_;
  int progress_peak_ = 0;
  int progress_total_ = 0;
  std::vector<std::string> progress_texts_;
};

}  // namespace tarvik
