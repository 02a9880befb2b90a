#pragma once

#include <filesystem>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "krcommon/ini_file.h"
#include "krcommon/user_folders.h"

namespace ondalyne {

// The keys of Ondalyne.ini with their defaults.
struct OndalyneSettings {
  std::string screen_font = "Arial";  // OndScreenFontName
  std::string printer_font;           // OndPrinterFontName; empty leaves the face to the driver
  int enhanced_graphic = 0;           // thinning tolerance on paper
  int us_date = 0;                    // UsDateFormat
  int dot_radius = 5;                 // DotRadius, percent of the left text margin
  int language = 0;                   // 1 German, 3 Chinese, anything else English
  int fix_clipboard_height = 0;       // above 0: trace height of the clipboard picture
  int auto_offset = 1;                // GlobalParameters: initial offset correction
};

inline constexpr const char* kSettingsFileName = "Ondalyne.ini";
inline constexpr int kRecentFileCount = 16;

// Reads the keys. True when either font name was missing or empty: the caller then writes every key
// back, so that a first start leaves a complete file.
bool ReadSettings(const kr::IniFile& ini, OndalyneSettings& settings);
void WriteSettings(kr::IniFile& ini, const OndalyneSettings& settings);

// The most recently opened files, newest first, kept in the settings file as [Recent File List]
// File1..File16.
class RecentFiles {
 public:
  void Read(const kr::IniFile& ini);
  void Write(kr::IniFile& ini) const;
  // Moves (or puts) the file at the front; the oldest falls off after 16.
  void Add(const std::string& path);
  void Remove(const std::string& path);
  const std::vector<std::string>& files() const { return files_; }

 private:
  std::vector<std::string> files_;
};

// Start-up: reads the settings file (a missing one reads as empty), and when a font name was missing
// or empty writes every key back. False when that write failed.
bool StartSettings(const std::filesystem::path& ini_path, OndalyneSettings& settings, RecentFiles& recent);
// Writes one setting or the recent list into the file, keeping everything else in it.
bool SaveDotRadius(const std::filesystem::path& ini_path, int dot_radius);
bool SaveRecentFiles(const std::filesystem::path& ini_path, const RecentFiles& recent);

using kr::EnvironmentLookup;
using kr::ProcessEnvironment;

// The user's Documents folder (kr::DocumentsDirectory), ./Documents when not even HOME is known.
std::filesystem::path DocumentsFolder(const EnvironmentLookup& environment);
// The viewer's data folder: $ONDALYNE_DATA_ROOT when set, else Documents/Ondalyne.
std::filesystem::path DataFolder(const EnvironmentLookup& environment);

}  // namespace ondalyne
