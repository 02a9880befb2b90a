#include "ondalyne/core/ondalyne_settings.h"

#include <algorithm>

#include "krcommon/text_util.h"

namespace ondalyne {

namespace {

constexpr const char* kSettings = "Settings";
constexpr const char* kGlobal = "GlobalParameters";
constexpr const char* kRecent = "Recent File List";

}  // namespace

bool ReadSettings(const kr::IniFile& ini, OndalyneSettings& s) {
  const std::string screen = ini.GetString(kSettings, "OndScreenFontName", "");
  const std::string printer = ini.GetString(kSettings, "OndPrinterFontName", "");
  s.screen_font = screen.empty() ? "Arial" : screen;
  s.printer_font = printer;
  s.enhanced_graphic = ini.GetInt(kSettings, "EnhancedGraphic", 0);
  s.us_date = ini.GetInt(kSettings, "UsDateFormat", 0);
  s.dot_radius = ini.GetInt(kSettings, "DotRadius", 5);
  s.language = ini.GetInt(kSettings, "Language", 0);
  s.fix_clipboard_height = ini.GetInt(kSettings, "FixClipboardHeight", 0);
  s.auto_offset = ini.GetInt(kGlobal, "AutoOffset", 1);
  return screen.empty() || printer.empty();
}

void WriteSettings(kr::IniFile& ini, const OndalyneSettings& s) {
  ini.SetString(kSettings, "OndScreenFontName", s.screen_font);
  ini.SetString(kSettings, "OndPrinterFontName", s.printer_font);
  ini.SetInt(kSettings, "EnhancedGraphic", s.enhanced_graphic);
  ini.SetInt(kSettings, "UsDateFormat", s.us_date);
  ini.SetInt(kSettings, "DotRadius", s.dot_radius);
  ini.SetInt(kSettings, "Language", s.language);
  ini.SetInt(kSettings, "FixClipboardHeight", s.fix_clipboard_height);
  ini.SetInt(kGlobal, "AutoOffset", s.auto_offset);
}

void RecentFiles::Read(const kr::IniFile& ini) {
  files_.clear();
  for (int i = 1; i <= kRecentFileCount; ++i) {
    std::string file = ini.GetString(kRecent, "File" + std::to_string(i), "");
    if (!file.empty() && std::find(files_.begin(), files_.end(), file) == files_.end())
      files_.push_back(std::move(file));
  }
}

void RecentFiles::Write(kr::IniFile& ini) const {
  std::vector<kr::IniFile::KeyValue> entries;
  for (std::size_t i = 0; i < files_.size(); ++i)
    entries.emplace_back("File" + std::to_string(i + 1), files_[i]);
  ini.WriteSection(kRecent, entries);
}

void RecentFiles::Add(const std::string& path) {
  Remove(path);
  files_.insert(files_.begin(), path);
  if (files_.size() > static_cast<std::size_t>(kRecentFileCount)) files_.resize(kRecentFileCount);
}

void RecentFiles::Remove(const std::string& path) {
  files_.erase(std::remove(files_.begin(), files_.end(), path), files_.end());
}

bool StartSettings(const std::filesystem::path& ini_path, OndalyneSettings& settings, RecentFiles& recent) {
  kr::IniFile ini;
  ini.Load(ini_path);
  recent.Read(ini);
  if (!ReadSettings(ini, settings)) return true;
  WriteSettings(ini, settings);
  return ini.Save(ini_path);
}

bool SaveDotRadius(const std::filesystem::path& ini_path, int dot_radius) {
  kr::IniFile ini;
  ini.Load(ini_path);
  ini.SetInt(kSettings, "DotRadius", dot_radius);
  return ini.Save(ini_path);
}

bool SaveRecentFiles(const std::filesystem::path& ini_path, const RecentFiles& recent) {
  kr::IniFile ini;
  ini.Load(ini_path);
  recent.Write(ini);
  return ini.Save(ini_path);
}

std::filesystem::path DocumentsFolder(const EnvironmentLookup& environment) {
  std::filesystem::path documents = kr::DocumentsDirectory(environment);
  return documents.empty() ? std::filesystem::path(".") / "Documents" : documents;
}

std::filesystem::path DataFolder(const EnvironmentLookup& environment) {
  if (auto root = environment("ONDALYNE_DATA_ROOT"); root && !root->empty()) return *root;
  return DocumentsFolder(environment) / "Ondalyne";
}

}  // namespace ondalyne
