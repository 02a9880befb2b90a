// The viewer's executable. For now it runs headless only: --describe prints a file's values as JSON,
// --render writes an analysis page as PNG, SVG or PDF. Anything else prints the usage (exit 2).
#include <QGuiApplication>
#include <cstdlib>
#include <iostream>
#include <string>
#include <vector>

#include "ondalyne/app/headless.h"
#include "ondalyne/resources/ondalyne_strings.h"

int main(int argc, char** argv) {
  kr::StringTable strings = ondalyne::MakeOndalyneStringTable();
  std::vector<std::string> args(argv + 1, argv + argc);
  std::string error;
  auto command = ondalyne::ParseHeadless(args, strings, error);
  if (!command) {
    const bool asked = !args.empty() && (args[0] == "--help" || args[0] == "-h");
    if (!args.empty() && !asked) std::cerr << error << "\n";
    std::cerr << strings.Text(ondalyne::sid::kUsage);
    return 2;
  }
  if (command->action == ondalyne::HeadlessCommand::Action::kDescribe) {
    return ondalyne::RunHeadless(*command, strings, std::cout, std::cerr);
  }
  // Rendering needs fonts from Qt but no screen.
  if (std::getenv("QT_QPA_PLATFORM") == nullptr) setenv("QT_QPA_PLATFORM", "offscreen", 1);
  QGuiApplication app(argc, argv);
  return ondalyne::RunHeadless(*command, strings, std::cout, std::cerr);
}
