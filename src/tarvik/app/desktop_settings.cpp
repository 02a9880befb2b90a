#include "tarvik/app/desktop_settings.h"

#include <algorithm>

namespace tarvik {

namespace {

constexpr const char* kRecentSection = "Recent File List";
constexpr const char* kHelpSection = "Help";

std::string RecentKey(std::size_t index) {
  return "File" + std::to_string(index + 1);
}

}  // namespace

DesktopSettings ReadDesktopSettings(const kr::IniFile& ini) {
  DesktopSettings settings;
  for (std::size_t i = 0; i < DesktopSettings::kMaxRecentFiles; ++i) {
    std::string file = ini.GetString(kRecentSection, RecentKey(i), "");
    if (file.empty()) continue;
    if (std::find(settings.recent_files.begin(), settings.recent_files.end(), file) ==
        settings.recent_files.end()) {
      settings.recent_files.push_back(std::move(file));
    }
  }
  settings.home_page = ini.GetString(kHelpSection, "HomePage", "");
  settings.support_page = ini.GetString(kHelpSection, "SupportPage", "");
  settings.version_page = ini.GetString(kHelpSection, "VersionPage", "");
  return settings;
}

void WriteDesktopSettings(const DesktopSettings& settings, kr::IniFile& ini) {
  std::vector<kr::IniFile::KeyValue> recent;
  for (std::size_t i = 0; i < settings.recent_files.size() && i < DesktopSettings::kMaxRecentFiles; ++i) {
    recent.emplace_back(RecentKey(i), settings.recent_files[i]);
  }
  ini.WriteSection(kRecentSection, recent);
  ini.SetString(kHelpSection, "HomePage", settings.home_page);
  ini.SetString(kHelpSection, "SupportPage", settings.support_page);
  ini.SetString(kHelpSection, "VersionPage", settings.version_page);
}

void AddRecentFile(DesktopSettings& settings, const std::filesystem::path& path) {
  const std::string file = path.string();
  if (file.empty()) return;
  RemoveRecentFile(settings, path);
  settings.recent_files.insert(settings.recent_files.begin(), file);
  if (settings.recent_files.size() > DesktopSettings::kMaxRecentFiles) {
    settings.recent_files.resize(DesktopSettings::kMaxRecentFiles);
  }
}

void RemoveRecentFile(DesktopSettings& settings, const std::filesystem::path& path) {
  const std::string file = path.string();
  std::erase(settings.recent_files, file);
}

std::string VersionPageAddress(const std::string& page, const std::string& version) {
  if (page.empty()) return {};
  const char separator = page.find('?') == std::string::npos ? '?' : '&';
  return page + separator + "version=" + version;
}

}  // namespace tarvik
