#pragma once

#include <array>
#include <filesystem>
#include <optional>
#include <string>

#include "krcommon/ini_file.h"
#include "tarvik/app/desktop_settings.h"
#include "tarvik/app/serial_ports.h"
#include "tarvik/eventfiles/export_options.h"
#include "tarvik/eventfiles/seismic_export.h"

namespace tarvik {

// A window rectangle as the settings file stores it: "%04d %04d %04d %04d" (left, top, right, bottom).
struct WindowRect {
  int left = 0;
  int top = 0;
  int right = 0;
  int bottom = 0;

  friend bool operator==(const WindowRect&, const WindowRect&) = default;
};

// "" (or anything that is not four integers) means that no position is saved.
std::optional<WindowRect> ParseWindowRect(const std::string& text);
std::string FormatWindowRect(const std::optional<WindowRect>& rect);

// One modem definition (sections "Modem1" and "Modem2").
struct ModemDefinition {
  std::string modem_name;
  int modem_com = 1;
  std::string modem_ini = "AT&F;ATE0";  // ";"-separated initialisation commands
  std::string modem_dial = "ATDT";      // dial prefix
};

// Every setting of Tarvik.ini, in one record that the application owns and hands to the engine, the
// protocol context and the dialogs. Members are grouped by section, in file order; the initialisers
// are the values a missing key takes (the directories depend on the data root, see DefaultSettings).
struct TarvikSettings {
  // [Monitoring]
  int language = 0;  // 0 English, 1 German, 3 Chinese; anything else reads as English
  int us_date_format = 0;
  int reposition_cursor = 1;
  int com = 1;  // Direct Link port, 1..16
  int baud_rate = 115200;
  int com_polling_time = 40;  // engine tick in ms
  int com_timeout_kr = 400;
  int com_timeout_hcu = 400;
  int com_timeout_set = 600;
  int com_timeout_fp = 8000;
  int init_file_view = 0;
  int always_ask_password = 1;
  int activate_cp = 1;
  int activate_kr_no = 1;
  int show_freq_dir_info = 0;
  int show_warning_balloons = 1;
  std::filesystem::path parameter_path;
  std::filesystem::path data_path;
  std::filesystem::path temp_path;
  std::filesystem::path instant_path;
  std::filesystem::path connect_path;
  int suggest_default_password = 1;
  int date_time_file_names = 0;
  int local_time_correction = 0;
  std::string local_correction_value = "+8";

  // [FileLink]: defaults of a new connection document
  int file_link_baud_rate = 9600;
  int dial_timeout = 60;     // seconds
  int modem_timeout = 2000;  // ms

  // [Modem1], [Modem2]
  ModemDefinition modem1{"Modem 1"};
  ModemDefinition modem2{"Modem 2"};

  // [TerminalMode]
  int terminal_baud_rate = 115200;
  int terminal_com = 1;
  int terminal_timeout = 600;

  // [ControlPanel]
  int control_panel_view = 0;
  std::optional<WindowRect> control_panel_rect;

  // [TarvikSize]
  std::optional<WindowRect> main_rect;
  int main_iconic = 0;
  int main_maximized = 0;

  // [MemoryCard]
  int watch_all_drives = 0;
  int num_root_name_chars = 3;

  // [Listner]: read and written back unchanged; nothing in the program uses them.
  std::string default_header = "KR Alert";
  int download_events = 0;
  std::string actuate_message = "KR #PR, event recorded #MI\\z";
  std::string connect_string = "hello";
  std::string acknowledge_string = "gotit";

  // [Export]. Its UsDateFormat is not stored in that section: ExportOptionsOf fills it from
  // us_date_format above, the one place that setting lives.
  ExportOptions export_options;
  // [Export] too: the miniSEED copy of each downloaded event (MiniSeed, MiniSeedNetwork,
  // MiniSeedPhysical), written after the ASCII export keys.
  MiniSeedExportOptions mini_seed;

  // [LocalEventsHistory]: recently used folders of the local event browser, Path0..Path4.
  std::array<std::string, 5> local_events_history;

  // [SerialPorts]
  SerialPortMap serial_ports;
  // [Recent File List], [Help]: kept for the main window.
  DesktopSettings desktop;
};

// The settings a first start uses: the defaults, with the directories below `data_root`.
TarvikSettings DefaultSettings(const std::filesystem::path& data_root);

// Reads every key; a missing key takes its default. Relative directories are taken below the data
// root, so that they do not depend on where the program was started from.
TarvikSettings ReadSettings(const kr::IniFile& ini, const std::filesystem::path& data_root);

// Writes every key into `ini`, section by section in file order. Keys already in the file keep their
// place (and their spelling); lines we do not know, comments included, stay where they are.
void WriteSettings(const TarvikSettings& settings, kr::IniFile& ini);

// The export options with the date format of section "Monitoring" filled in.
ExportOptions ExportOptionsOf(const TarvikSettings& settings);

// Where downloads for viewing go: TempPath + "/$tp".
std::filesystem::path ViewDownloadDirectory(const TarvikSettings& settings);

// The settings file of a running program: the file as loaded (so a rewrite keeps everything the user
// wrote by hand) and the record read from it.
class SettingsFile {
 public:
  // Reads `path`; a missing file gives the defaults (existed() is then false).
  SettingsFile(std::filesystem::path path, std::filesystem::path data_root);

  const std::filesystem::path& path() const { return path_; }
  bool existed() const { return existed_; }
  TarvikSettings& settings() { return settings_; }
  const TarvikSettings& settings() const { return settings_; }

  // Writes the record through the loaded file; false when the file cannot be written.
  bool Save();

 private:
  std::filesystem::path path_;
  kr::IniFile ini_;
  TarvikSettings settings_;
  bool existed_ = false;
};

}  // namespace tarvik
