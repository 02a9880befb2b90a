#include "ondalyne/gui/command_line.h"

#include <QApplication>
#include <QPageLayout>
#include <QPageSize>
#include <QPainter>
#include <QPrinter>
#include <QPrinterInfo>
#include <filesystem>
#include <ostream>

#include "ondalyne/core/view_state.h"
#include "ondalyne/gui/main_frame.h"
#include "ondalyne/gui/ondalyne_app.h"
#include "ondalyne/render/page_renderer.h"
#include "ondalyne/resources/ondalyne_strings.h"

namespace ondalyne {

std::optional<GuiCommand> ParseGuiCommand(const std::vector<std::string>& args) {
  GuiCommand command;
  if (args.empty()) return command;
  const std::string& first = args[0];
  if ((first == "-p" || first == "/p") && args.size() == 2) {
    command.action = GuiCommand::Action::kPrintDefault;
    command.files = {args[1]};
    return command;
  }
  if ((first == "-pt" || first == "/pt") && args.size() == 3) {
    command.action = GuiCommand::Action::kPrintTo;
    command.files = {args[1]};
    command.printer = args[2];
    return command;
  }
  if (first == "--print-to-pdf" && args.size() == 3) {
    command.action = GuiCommand::Action::kPrintPdf;
    command.pdf = args[1];
    command.files = {args[2]};
    return command;
  }
  for (const std::string& arg : args) {
    if (arg.empty() || arg[0] == '-') return std::nullopt;
    command.files.push_back(arg);
  }
  return command;
}

namespace {

// Sets up the printer for the command; false with a message when there is none.
bool SetUpPrinter(const GuiCommand& command, QPrinter& printer, const kr::StringTable& strings,
                  std::ostream& err) {
  switch (command.action) {
    case GuiCommand::Action::kPrintPdf:
      printer.setOutputFormat(QPrinter::PdfFormat);
      printer.setOutputFileName(QString::fromStdString(command.pdf));
      printer.setResolution(300);
      printer.setPageSize(QPageSize(QPageSize::A4));
      printer.setPageOrientation(QPageLayout::Landscape);
      return true;
    case GuiCommand::Action::kPrintDefault: {
      const QPrinterInfo info = QPrinterInfo::defaultPrinter();
      if (info.isNull()) {
        err << strings.Text(sid::kNoPrinter) << "\n";
        return false;
      }
      printer.setPrinterName(info.printerName());
      return true;
    }
    case GuiCommand::Action::kPrintTo: {
      const QPrinterInfo info = QPrinterInfo::printerInfo(QString::fromStdString(command.printer));
      if (info.isNull()) {
        err << strings.Format(sid::kPrinterNotFound, command.printer) << "\n";
        return false;
      }
      printer.setPrinterName(info.printerName());
      return true;
    }
    case GuiCommand::Action::kWindow:
      break;
  }
  return false;
}

}  // namespace

int PrintFromCommandLine(const GuiCommand& command, COndalyneApp& app, std::ostream& err) {
  app.set_command_line_printing(true);
  const kr::StringTable& strings = app.strings();
  const std::string& file = command.files.front();
  std::error_code ec;
  if (!std::filesystem::is_regular_file(file, ec)) {
    err << strings.Format(sid::kCannotOpen, file) << "\n";
    return 1;
  }
  COndalyneDoc doc;
  doc.Load(file, strings, app.MakeLoadOptions());
  for (const DocMessage& message : doc.messages()) err << message.text << "\n";

  QPrinter printer(QPrinter::HighResolution);
  if (!SetUpPrinter(command, printer, strings, err)) return 1;
  printer.setDocName(QString::fromStdString(std::filesystem::path(file).filename().string()));
  QPainter painter;
  if (!painter.begin(&printer)) {
    err << strings.Format(sid::kPrintFailed, command.action == GuiCommand::Action::kPrintPdf
                                                 ? command.pdf
                                                 : printer.printerName().toStdString())
        << "\n";
    return 1;
  }
  CPageRenderer renderer(doc, strings);
  const RenderOptions options = app.MakeRenderOptions(true);
  ViewState view = InitialViewState(doc, app.settings().auto_offset != 0, true);
  const QRect page(0, 0, printer.width(), printer.height());
  bool first = true;
  // The mode advances by one after every page; modes without a drawing for this file are left out
  // rather than printed as empty sheets.
  for (; view.mode <= kModeAssessment; ++view.mode) {
    const bool drawn = view.mode == kModeStatus || (doc.kind() > 0 && PageAvailable(doc, view.mode));
    if (!drawn) continue;
    if (!first) printer.newPage();
    first = false;
    view.recompute = true;
    renderer.Paint(painter, page, view, options);
  }
  painter.end();
  return doc.kind() > 0 ? 0 : 1;
}

int RunWindow(const GuiCommand& command, COndalyneApp& app) {
  CMainFrame frame(app);
  frame.show();
  for (const std::string& file : command.files) frame.OpenFile(QString::fromStdString(file));
  return QApplication::exec();
}

}  // namespace ondalyne
