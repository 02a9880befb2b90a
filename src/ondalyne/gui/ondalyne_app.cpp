#include "ondalyne/gui/ondalyne_app.h"

#include <QApplication>
#include <QCoreApplication>
#include <QFont>
#include <QMessageBox>
#include <system_error>

#include "kr_version.h"
#include "krcommon/clock.h"
#include "ondalyne/app/headless.h"
#include "ondalyne/resources/ondalyne_strings.h"

namespace ondalyne {

COndalyneApp::COndalyneApp() : strings_(MakeOndalyneStringTable()) {
  warn = [](const std::string& text) {
    QMessageBox::warning(QApplication::activeWindow(), "Ondalyne", QString::fromStdString(text));
  };
}

void COndalyneApp::Start(const EnvironmentLookup& environment) {
  data_folder_ = DataFolder(environment);
  std::error_code ec;
  std::filesystem::create_directories(data_folder_, ec);
  ini_path_ = data_folder_ / kSettingsFileName;
  StartSettings(ini_path_, settings_, recent_);
  strings_.SetLanguage(kr::LanguageFromSetting(settings_.language));
}

LoadOptions COndalyneApp::MakeLoadOptions() const {
  LoadOptions options;
  options.us_date = settings_.us_date != 0;
  options.current_year = kr::SystemClock().LocalNow().year;
  return options;
}

RenderOptions COndalyneApp::MakeRenderOptions(bool paper) const {
  RenderOptions options;
  options.paper = paper;
  options.font_name = settings_.screen_font;
  if (paper)
    options.font_name =
        settings_.printer_font.empty() ? QFont().family().toStdString() : settings_.printer_font;
  options.dot_radius_percent = settings_.dot_radius;
  options.enhanced_graphic = settings_.enhanced_graphic;
  options.us_date = settings_.us_date != 0;
  options.version = kr::kAppVersion;
  options.analysis_date = AnalysisDate(kr::SystemClock().LocalNow(), options.us_date);
  return options;
}

void COndalyneApp::LoadDocument(COndalyneDoc& doc, const std::string& path) const {
  doc.Load(path, strings_, MakeLoadOptions());
  for (const DocMessage& message : doc.messages())
    if (warn) warn(message.text);
}

std::string COndalyneApp::HelpFileName() const {
  return strings_.language() == kr::Language::kGerman ? "Ondalyne_deu.html" : "Ondalyne_enu.html";
}

std::filesystem::path COndalyneApp::HelpFile() const {
  const std::filesystem::path program = QCoreApplication::applicationDirPath().toStdString();
  for (const std::filesystem::path& folder : {program, program / ".." / "share" / "ondalyne"}) {
    std::error_code ec;
    const std::filesystem::path file = folder / HelpFileName();
    if (std::filesystem::is_regular_file(file, ec)) return file.lexically_normal();
  }
  return {};
}

void COndalyneApp::AddRecent(const std::string& path) {
  std::error_code ec;
  const std::filesystem::path absolute = std::filesystem::absolute(path, ec);
  recent_.Add(ec ? path : absolute.lexically_normal().string());
  SaveRecentFiles(ini_path_, recent_);
}

void COndalyneApp::SaveDotRadius() const {
  ondalyne::SaveDotRadius(ini_path_, settings_.dot_radius);
}

}  // namespace ondalyne
