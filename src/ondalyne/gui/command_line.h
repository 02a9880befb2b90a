#pragma once

#include <iosfwd>
#include <optional>
#include <string>
#include <vector>

namespace ondalyne {

class COndalyneApp;

// What the viewer's command line asks for besides the headless switches (--describe, --render):
// the window with files to open, or printing without user interaction.
struct GuiCommand {
  enum class Action { kWindow, kPrintDefault, kPrintTo, kPrintPdf } action = Action::kWindow;
  std::vector<std::string> files;
  std::string printer;  // -pt
  std::string pdf;      // --print-to-pdf
};

// nullopt for a command line that is none of these. "-p" and "-pt" are also accepted as "/p" and
// "/pt", the way the desktop's print verbs have always called the viewer.
std::optional<GuiCommand> ParseGuiCommand(const std::vector<std::string>& args);

// Command-line printing of one file: every page with a drawing, in analysis-mode order from the
// instrument status, on the default printer, a named printer, or into a PDF file. Messages go to
// `err` instead of boxes. 0 printed, 1 the file could not be loaded or the output not made.
int PrintFromCommandLine(const GuiCommand& command, COndalyneApp& app, std::ostream& err);

// Runs the window (QApplication must exist): opens the files and returns the event loop's result.
int RunWindow(const GuiCommand& command, COndalyneApp& app);

}  // namespace ondalyne
