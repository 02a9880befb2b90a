#pragma once

#include <QLabel>
#include <QMainWindow>
#include <QTimer>
#include <QToolBar>
#include <filesystem>
#include <map>

#include "krcommon/string_table.h"
#include "tarvik/app/tarvik_app.h"
#include "tarvik/gui/gui_ui_port.h"
#include "tarvik/gui/macro_menu.h"
#include "tarvik/gui/menu_table.h"

namespace tarvik {

class CTarvikView;
class CUnitCommands;

// Registers the files compiled into the window library (the program's icon).
void InitGuiResources();

// The main window: the menu set of the moment (151 before log-in, 152 after it) built from the menu
// table, a toolbar, the status bar with the panes Date, Time and Task, the trace view in the middle,
// the list of recent documents, dropped connection documents, and the window's placement, restored
// at start and stored when the window goes.
class CMainFrame : public QMainWindow {
  Q_OBJECT

 public:
  CMainFrame(CTarvikApp& app, CGuiUiPort& ui, const kr::StringTable& strings);
  // The view goes first (shut-down step, Trace.dat), then the placement and Tarvik.ini are written.
  ~CMainFrame() override;

  // Shows the window as the settings or "/m" say, then opens the command line's document or, with
  // "/d", Direct Link.
  void ShowInitially();
  void StartFirstDocument();
  // File > Open, a dropped file and the recent-document entries end here.
  bool OpenDocumentPath(const std::filesystem::path& path);

  // UiPort side.
  void SetMenuSet(MenuSet set);
  void SetTaskText(const QString& text);

  CTarvikView* view() { return view_; }
  CUnitCommands* unit_commands() { return unit_commands_; }
  MenuSet menu_set() const { return menu_set_; }
  // The action of a command in the menus shown now (null when it is not there).
  QAction* Action(int command_id) const;
  QToolBar* toolbar() { return toolbar_; }
  QString task_text() const { return task_->text(); }
  QString date_text() const { return date_->text(); }
  QString time_text() const { return time_->text(); }

 protected:
  void closeEvent(QCloseEvent* event) override;
  void dragEnterEvent(QDragEnterEvent* event) override;
  void dropEvent(QDropEvent* event) override;

 private:
  void BuildMenus();
  void AddEntry(QMenu* menu, const MenuEntry& entry);
  void AddRecentDocuments(QMenu* menu);
  void BuildToolbar();
  void UpdateCommandUi();
  MenuContext Context();
  void OnCommand(int command_id);
  void OnTick();
  // "/q": the window closes (logging out first) once the start-up script has ended.
  void QuitAfterScript();
  void OpenDocumentDialog();
  void EditConnectionFile();
  void EditSettings();
  void OpenHelp();
  void OpenAddress(const std::string& address);
  void ShowAbout();
  void UpdateClock();
  QString AppTitle() const;
  WindowPlacement Placement() const;

  CTarvikApp& app_;
  CGuiUiPort& ui_;
  const kr::StringTable& strings_;
  CMacroMenu macro_menu_;
  CTarvikView* view_ = nullptr;
  CUnitCommands* unit_commands_ = nullptr;  // information windows, tests, maintenance, exports
  QToolBar* toolbar_ = nullptr;
  QLabel* task_ = nullptr;
  QLabel* date_ = nullptr;
  QLabel* time_ = nullptr;
  QTimer clock_;
  MenuSet menu_set_ = MenuSet::kNotLoggedIn;
  std::map<int, QAction*> actions_;
  bool in_command_ = false;
  bool rebuild_pending_ = false;
  bool destroying_ = false;
  // Closing while logged in: the log-out runs first, then the window closes by itself.
  bool close_requested_ = false;
  bool logout_sent_ = false;
  bool close_confirmed_ = false;
};

}  // namespace tarvik
