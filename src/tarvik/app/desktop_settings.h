#pragma once

#include <filesystem>
#include <string>
#include <vector>

#include "krcommon/ini_file.h"

namespace tarvik {

// What the main window keeps in Tarvik.ini besides the settings of the communication: the list of
// recently opened connection documents (section "Recent File List", File1..File16, newest first) and
// the addresses the Help menu opens (section "Help": HomePage, SupportPage, VersionPage; empty by
// default, and an empty address hides its menu entry).
struct DesktopSettings {
  static constexpr std::size_t kMaxRecentFiles = 16;

  std::vector<std::string> recent_files;
  std::string home_page;
  std::string support_page;
  std::string version_page;
};

DesktopSettings ReadDesktopSettings(const kr::IniFile& ini);
void WriteDesktopSettings(const DesktopSettings& settings, kr::IniFile& ini);

// Puts `path` at the top of the list (once), dropping the oldest entry beyond the limit.
void AddRecentFile(DesktopSettings& settings, const std::filesystem::path& path);
// Takes a file that can no longer be opened off the list.
void RemoveRecentFile(DesktopSettings& settings, const std::filesystem::path& path);

// The page that tells the newest version is called with the query parameter "version".
std::string VersionPageAddress(const std::string& page, const std::string& version);

}  // namespace tarvik
