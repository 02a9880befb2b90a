#pragma once

#include <QMainWindow>
#include <QPrinter>
#include <map>
#include <memory>
#include <string>

#include "ondalyne/gui/ondalyne_app.h"

class QAction;
class QMdiArea;
class QMdiSubWindow;
class QMenu;
class QMimeData;

namespace ondalyne {

class COndalyneView;

// The viewer's main window: child windows of the open documents, the menus and the toolbar whose
// entries follow the active view, the status bar, the recent-file list and dropped files.
class CMainFrame : public QMainWindow {
  Q_OBJECT
 public:
  explicit CMainFrame(COndalyneApp& app);
  ~CMainFrame() override;

  // Opens a document in a new child window. False (with a message) when the file does not exist; a
  // file that fails to load still opens and shows why.
  bool OpenFile(const QString& path);
  // Opens the local files of a drop.
  void OpenDropped(const QMimeData& mime);
  // Another view of the active view's document.
  void NewWindow();

  COndalyneView* ActiveView() const;
  QMdiArea* mdi_area() const { return mdi_; }
  // The action of a command id (menu and toolbar share it); null for an unknown id.
  QAction* Action(int id) const;
  QMenu* recent_menu() const { return recent_menu_; }
  // Enables and checks every command for the active view.
  void UpdateCommands();
  QPrinter& printer() { return printer_; }

 protected:
  void closeEvent(QCloseEvent* event) override;
  void dragEnterEvent(QDragEnterEvent* event) override;
  void dropEvent(QDropEvent* event) override;

 private:
  QAction* MakeAction(int id);
  void BuildMenus();
  void BuildToolBar();
  void RebuildRecentMenu();
  void AddView(COndalyneView* view);
  void OpenDialog();
  void Print();
  void PrintPreview();
  void PrintSetup();
  void ShowHelp();
  void ShowAbout();
  std::string T(int id) const;

  COndalyneApp& app_;
  QMdiArea* mdi_ = nullptr;
  QMenu* recent_menu_ = nullptr;
  std::map<int, QAction*> actions_;
  QPrinter printer_;
  bool saved_ = false;
};

}  // namespace ondalyne
