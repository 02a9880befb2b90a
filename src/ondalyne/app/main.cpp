// The viewer's executable. Without arguments, or with event files, it opens the window; -p, -pt and
// --print-to-pdf print a file without user interaction; --describe and --render run headless.
#include <QApplication>
#include <QGuiApplication>
#include <cstdlib>
#include <iostream>
#include <string>
#include <vector>

#include "ondalyne/app/headless.h"
#include "ondalyne/gui/command_line.h"
#include "ondalyne/gui/ondalyne_app.h"
#include "ondalyne/resources/ondalyne_strings.h"

namespace {

bool IsHeadless(const std::vector<std::string>& args) {
  return !args.empty() && (args[0] == "--describe" || args[0] == "--render");
}

// Printing and rendering need fonts from Qt but no screen.
void NoScreenNeeded() {
  if (std::getenv("QT_QPA_PLATFORM") == nullptr) setenv("QT_QPA_PLATFORM", "offscreen", 1);
}

int RunHeadlessCommand(int argc, char** argv, const std::vector<std::string>& args) {
  kr::StringTable strings = ondalyne::MakeOndalyneStringTable();
  std::string error;
  auto command = ondalyne::ParseHeadless(args, strings, error);
  if (!command) {
    std::cerr << error << "\n" << strings.Text(ondalyne::sid::kUsage);
    return 2;
  }
  if (command->action == ondalyne::HeadlessCommand::Action::kDescribe)
    return ondalyne::RunHeadless(*command, strings, std::cout, std::cerr);
  NoScreenNeeded();
  QGuiApplication app(argc, argv);
  return ondalyne::RunHeadless(*command, strings, std::cout, std::cerr);
}

}  // namespace

int main(int argc, char** argv) {
  std::vector<std::string> args(argv + 1, argv + argc);
  if (IsHeadless(args)) return RunHeadlessCommand(argc, argv, args);
  const auto command = ondalyne::ParseGuiCommand(args);
  if (!command) {
    kr::StringTable strings = ondalyne::MakeOndalyneStringTable();
    const bool asked = args[0] == "--help" || args[0] == "-h";
    if (!asked) std::cerr << strings.Format(ondalyne::sid::kBadArgument, args[0]) << "\n";
    std::cerr << strings.Text(ondalyne::sid::kUsage);
    return asked ? 0 : 2;
  }
  const bool printing = command->action != ondalyne::GuiCommand::Action::kWindow;
  if (printing) NoScreenNeeded();
  QApplication qt(argc, argv);
  QApplication::setApplicationName("Ondalyne");
  ondalyne::COndalyneApp app;
  app.Start(ondalyne::ProcessEnvironment());
  if (printing) return ondalyne::PrintFromCommandLine(*command, app, std::cerr);
  return ondalyne::RunWindow(*command, app);
}
