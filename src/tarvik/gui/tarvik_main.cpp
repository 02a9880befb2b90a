// tarvik: the communication program's window.
#include <sys/socket.h>
#include <unistd.h>

#include <QApplication>
#include <QIcon>
#include <QSocketNotifier>
#include <csignal>

#include "tarvik/app/tarvik_app.h"
#include "tarvik/engine/macro_setup.h"
#include "tarvik/gui/gui_ui_port.h"
#include "tarvik/gui/main_frame.h"
#include "tarvik/gui/tarvik_view.h"
#include "tarvik/resources/tarvik_strings.h"

namespace {

int g_signal_pipe[2] = {-1, -1};

void OnTerminate(int) {
  const char byte = 1;
  [[maybe_unused]] const ssize_t written = ::write(g_signal_pipe[1], &byte, 1);
}

// SIGTERM (the desktop session ends, kill) and SIGINT close the window as File > Exit does: log out,
// Trace.dat, Tarvik.ini. The handler only writes a byte; the window closes on the main thread.
void CloseOnSignals(QWidget& window) {
  if (::socketpair(AF_UNIX, SOCK_STREAM, 0, g_signal_pipe) != 0) return;
  auto* notifier = new QSocketNotifier(g_signal_pipe[0], QSocketNotifier::Read, &window);
  QObject::connect(notifier, &QSocketNotifier::activated, &window, [&window] {
    char byte = 0;
    [[maybe_unused]] const ssize_t got = ::read(g_signal_pipe[0], &byte, 1);
    window.close();
  });
  struct sigaction action {};
  action.sa_handler = OnTerminate;
  sigemptyset(&action.sa_mask);
  action.sa_flags = SA_RESTART;
  sigaction(SIGTERM, &action, nullptr);
  sigaction(SIGINT, &action, nullptr);
}

}  // namespace

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
  CloseOnSignals(frame);
  frame.ShowInitially();
  frame.StartFirstDocument();
  const int status = QApplication::exec();
  // Run from a scheduler with "/i", the exit status says whether the script ran to its end.
  return status != 0 ? status
                     : tarvik::ScriptExitStatus(frame.view()->engine().Unit<tarvik::ScriptOperation>());
}
