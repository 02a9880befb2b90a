#pragma once

#include <filesystem>
#include <optional>
#include <string>
#include <vector>

namespace tarvik {

enum class MessageIcon { kNone, kInformation, kWarning, kError, kQuestion };
enum class MessageButtons { kOk, kOkCancel, kYesNo, kYesNoCancel, kRetryCancel };
enum class MessageAnswer { kOk, kCancel, kYes, kNo, kRetry };

// The two menus of the main window: before log-in (resource 151) and after it (resource 152).
enum class MenuSet { kNotLoggedIn = 151, kLoggedIn = 152 };

// One row of a recorder's event list, as the event windows and tarvik-cli show it.
struct EventListRow {
  int number = 0;        // file number on the recorder
  char type_letter = 0;  // as the directory reports it
  std::string date;
  std::string time;
  double peaks[3] = {0, 0, 0};
  unsigned long samples = 0;
};

// What the change-password dialog hands back: the old password as typed and the new one twice.
struct PasswordChange {
  std::string old_password;
  std::string new_password;
  std::string repeated;
};

// The recorder's memory management: the memory is a ring (the oldest event is overwritten) and the
// events are mirrored.
struct MemoryManagement {
  bool ring = false;
  bool mirror = false;
};

// Everything the engine and the models need from a person goes through this interface: the Qt GUI,
// the console of tarvik-cli and the test fakes implement it. A call returns the person's answer;
// a modal dialog is simply a call that blocks until it is answered.
//
// Only ShowMessage must be implemented; every other call has a neutral default (windows that are not
// there, questions answered with Cancel), so a host implements what it can show.
class UiPort {
 public:
  virtual ~UiPort() = default;

  // A message box. `string_id` names the string-table entry the text was formatted from (0 for a
  // text that has no entry), so that fakes and scripts can tell messages apart without parsing text.
  virtual MessageAnswer ShowMessage(int string_id, const std::string& text, MessageIcon icon,
                                    MessageButtons buttons) = 0;

  // The log-in dialog: `prefill` is shown in the field. Nothing when the person cancels.
  virtual std::optional<std::string> AskPassword(const std::string& title, const std::string& prefill) {
    (void)title;
    (void)prefill;
    return std::nullopt;
  }
  // The change-password dialog (CChangePwdDlg). `current` is the password the unit reported; the
  // dialog checks the answers with CheckPasswordChange before it closes. Nothing on Cancel.
  virtual std::optional<PasswordChange> AskNewPassword(const std::string& title, const std::string& current) {
    (void)title;
    (void)current;
    return std::nullopt;
  }
  // The memory-management dialog showing the recorder's `current` set-up: the set-up chosen, nothing
  // on Cancel.
  virtual std::optional<MemoryManagement> AskMemoryManagement(const std::string& title,
                                                              const MemoryManagement& current) {
    (void)title;
    (void)current;
    return std::nullopt;
  }
  // A folder chooser starting at `start`. Nothing on Cancel.
  virtual std::optional<std::filesystem::path> ChooseFolder(const std::string& title,
                                                            const std::filesystem::path& start) {
    (void)title;
    (void)start;
    return std::nullopt;
  }
  // A save-file dialog in `directory` with `initial_name` and a filter string in the
  // "Name|*.ext|...||" form of the string table. The chosen file (folder and name). Nothing on Cancel.
  virtual std::optional<std::filesystem::path> ChooseSaveFile(const std::string& title,
                                                              const std::filesystem::path& directory,
                                                              const std::string& initial_name,
                                                              const std::string& filter) {
    (void)title;
    (void)directory;
    (void)initial_name;
    (void)filter;
    return std::nullopt;
  }

  // The modeless progress window: opened with a text, a total and a position; updated while it is
  // open; its button reaches the engine as OperationEngine::OnProgressCancel.
  virtual void OpenProgress(const std::string& text, int total, int position) {
    (void)text;
    (void)total;
    (void)position;
  }
  virtual void UpdateProgress(const std::string& text, int position) {
    (void)text;
    (void)position;
  }
  virtual void CloseProgress() {}

  // The start window shown for a moment after the program starts.
  virtual void ShowStartWindow() {}
  virtual void CloseStartWindow() {}

  // The modem connect window: its Connect button requests dialling, its Cancel reaches the engine as
  // OperationEngine::OnConnectCancel.
  virtual void ShowConnectWindow() {}
  virtual void SetConnectText(const std::string& text) { (void)text; }
  virtual void CloseConnectWindow() {}

  // The main window: which menu set is shown, its title, the text of the status pane "Task", and
  // the wait cursor.
  virtual void SetMenuSet(MenuSet menu) { (void)menu; }
  virtual void SetWindowTitle(const std::string& title) { (void)title; }
  virtual std::string WindowTitle() { return {}; }
  virtual void SetStatusText(const std::string& text) { (void)text; }
  virtual void SetWaitCursor(bool on) { (void)on; }

  // The recorder's event list after View > Event (read only).
  virtual void ShowEventList(int recorder, const std::vector<EventListRow>& rows) {
    (void)recorder;
    (void)rows;
  }
  // The single-event window after Transfer > Single Events: the file numbers chosen for transfer
  // (empty when the person closes it without choosing).
  virtual std::vector<int> ChooseEventsForTransfer(int recorder, const std::vector<EventListRow>& rows) {
    (void)recorder;
    (void)rows;
    return {};
  }

  // Opens a file with the program the desktop associates with it (the viewer for event files).
  virtual void ShellOpen(const std::filesystem::path& file) { (void)file; }

  // The question of a macro or script (CMacroScriptQuestionDlg): `label` is the prompt written in
  // the macro between "[" and "]", already followed by ":". The typed answer; nothing on Cancel.
  virtual std::optional<std::string> AskMacroScriptQuestion(const std::string& label) {
    (void)label;
    return std::nullopt;
  }
};

}  // namespace tarvik
