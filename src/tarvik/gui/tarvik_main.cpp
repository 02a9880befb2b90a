// tarvik: the communication program's window.
#include <QApplication>
#include <QIcon>

#include "tarvik/app/tarvik_app.h"
#include "tarvik/gui/gui_ui_port.h"
#include "tarvik/gui/main_frame.h"
#include "tarvik/resources/tarvik_strings.h"

int main(int argc, char** argv) {
  QApplication application(argc, argv);
  QApplication::setApplicationName("Tarvik");
  QApplication::setDesktopFileName("tarvik");
  tarvik::InitGuiResources();
  QApplication::setWindowIcon(QIcon(":/tarvik/tarvik.svg"));

  // QApplication has taken its own options (-platform, ...) out of argv.
  const tarvik::CCommandLine command_line = tarvik::CCommandLine::FromArgv(argc, argv);
  kr::StringTable strings = tarvik::MakeTarvikStringTable();
  tarvik::CGuiUiPort ui(strings);
  tarvik::CTarvikApp app(ui, strings);
  switch (app.InitInstance(command_line)) {
    case tarvik::StartupResult::kQuit:
      return 0;
    case tarvik::StartupResult::kFailed:
      return 1;
    case tarvik::StartupResult::kRun:
      break;
  }
  ui.SetSettings(&app.settings());
  tarvik::CMainFrame frame(app, ui, strings);
  frame.ShowInitially();
  frame.StartFirstDocument();
  return QApplication::exec();
}
