#include "ondalyne/core/ondalyne_settings.h"

#include <algorithm>
#include <cstdlib>
#include <fstream>

#include "krcommon/text_util.h"

namespace ondalyne {

namespace {

constexpr const char* kSettings = "Settings";
constexpr const char* kGlobal = "GlobalParameters";
constexpr const char* kRecent = "Recent File List";

// The value of `XDG_DOCUMENTS_DIR="..."`; the format allows "$HOME/..." or an absolute path only.
std::filesystem::path FromUserDirs(const std::filesystem::path& file, const std::string& home) {
  std::ifstream in(file);
  std::string line;
  constexpr std::string_view kKey = "XDG_DOCUMENTS_DIR";
  while (std::getline(in, line)) {
    std::string_view text = kr::Trim(line);
    if (!text.starts_with(kKey)) continue;
    text = kr::Trim(text.substr(kKey.size()));
    if (!text.starts_with('=')) continue;
    text = kr::Trim(text.substr(1));
    if (text.size() < 2 || text.front() != '"') continue;
    const auto close = text.find('"', 1);
    if (close == std::string_view::npos) continue;
    std::string value(text.substr(1, close - 1));
    if (value.starts_with("$HOME")) {
      if (home.empty()) continue;
      return std::filesystem::path(home + value.substr(5)).lexically_normal();
    }
    if (!value.empty() && value.front() == '/') return std::filesystem::path(value).lexically_normal();
  }
  return {};
}

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

EnvironmentLookup ProcessEnvironment() {
  return [](std::string_view name) -> std::optional<std::string> {
    const char* value = std::getenv(std::string(name).c_str());
    if (value == nullptr) return std::nullopt;
    return std::string(value);
  };
}

std::filesystem::path DocumentsFolder(const EnvironmentLookup& environment) {
  const std::string home = environment("HOME").value_or("");
  std::filesystem::path config;
  if (auto xdg = environment("XDG_CONFIG_HOME"); xdg && !xdg->empty() && xdg->front() == '/') {
    config = *xdg;
  } else if (!home.empty()) {
    config = std::filesystem::path(home) / ".config";
  }
  if (!config.empty()) {
    std::filesystem::path documents = FromUserDirs(config / "user-dirs.dirs", home);
    if (!documents.empty()) return documents;
  }
  return std::filesystem::path(home.empty() ? "." : home) / "Documents";
}

std::filesystem::path DataFolder(const EnvironmentLookup& environment) {
  if (auto root = environment("ONDALYNE_DATA_ROOT"); root && !root->empty()) return *root;
  return DocumentsFolder(environment) / "Ondalyne";
}

}  // namespace ondalyne
