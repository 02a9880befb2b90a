#include "tarvik/app/tarvik_settings.h"

#include <charconv>
#include <cstdio>
#include <span>
#include <variant>

namespace tarvik {

namespace {

using PathMember = std::filesystem::path TarvikSettings::*;
using IntMember = int TarvikSettings::*;
using StringMember = std::string TarvikSettings::*;
using RectMember = std::optional<WindowRect> TarvikSettings::*;

// One key of the file and the member that holds it. The tables below are the file order; reading and
// writing both walk them, so the two can never disagree on a name or a section.
struct Key {
  const char* section;
  const char* name;
  std::variant<IntMember, StringMember, PathMember, RectMember> member;
};

constexpr const char* kMonitoring = "Monitoring";
constexpr const char* kFileLink = "FileLink";
constexpr const char* kTerminalMode = "TerminalMode";
constexpr const char* kControlPanel = "ControlPanel";
constexpr const char* kTarvikSize = "TarvikSize";
constexpr const char* kMemoryCard = "MemoryCard";
constexpr const char* kListner = "Listner";
constexpr const char* kExport = "Export";
constexpr const char* kLocalEventsHistory = "LocalEventsHistory";
constexpr const char* kSerialPorts = "SerialPorts";

const Key kMonitoringKeys[] = {
    {kMonitoring, "Language", &TarvikSettings::language},
    {kMonitoring, "UsDateFormat", &TarvikSettings::us_date_format},
    {kMonitoring, "RepositionCursor", &TarvikSettings::reposition_cursor},
    {kMonitoring, "COM", &TarvikSettings::com},
    {kMonitoring, "BaudRate", &TarvikSettings::baud_rate},
    {kMonitoring, "ComPollingTime", &TarvikSettings::com_polling_time},
    {kMonitoring, "ComTimeoutKR", &TarvikSettings::com_timeout_kr},
    {kMonitoring, "ComTimeoutHCU", &TarvikSettings::com_timeout_hcu},
    {kMonitoring, "ComTimeoutSet", &TarvikSettings::com_timeout_set},
    {kMonitoring, "ComTimeoutFp", &TarvikSettings::com_timeout_fp},
    {kMonitoring, "InitFileView", &TarvikSettings::init_file_view},
    {kMonitoring, "AlwaysAskPassword", &TarvikSettings::always_ask_password},
    {kMonitoring, "ActivateCP", &TarvikSettings::activate_cp},
    {kMonitoring, "ActivateKrNo", &TarvikSettings::activate_kr_no},
    {kMonitoring, "ShowFreqDirInfo", &TarvikSettings::show_freq_dir_info},
    {kMonitoring, "ShowWarningBalloons", &TarvikSettings::show_warning_balloons},
    {kMonitoring, "ParameterPath", &TarvikSettings::parameter_path},
    {kMonitoring, "DataPath", &TarvikSettings::data_path},
    {kMonitoring, "TempPath", &TarvikSettings::temp_path},
    {kMonitoring, "InstantPath", &TarvikSettings::instant_path},
    {kMonitoring, "ConnectPath", &TarvikSettings::connect_path},
    {kMonitoring, "SuggestDefaultPassword", &TarvikSettings::suggest_default_password},
    {kMonitoring, "DateTimeFileNames", &TarvikSettings::date_time_file_names},
    {kMonitoring, "LocalTimeCorrection", &TarvikSettings::local_time_correction},
    {kMonitoring, "LocalCorrectionValue", &TarvikSettings::local_correction_value},
    {kFileLink, "BaudRate", &TarvikSettings::file_link_baud_rate},
    {kFileLink, "DialTimeout", &TarvikSettings::dial_timeout},
    {kFileLink, "ModemTimeout", &TarvikSettings::modem_timeout},
};

// After the two modem sections.
const Key kLaterKeys[] = {
    {kTerminalMode, "BaudRate", &TarvikSettings::terminal_baud_rate},
    {kTerminalMode, "COM", &TarvikSettings::terminal_com},
    {kTerminalMode, "TerminalTimeout", &TarvikSettings::terminal_timeout},
    {kControlPanel, "ControlPanelView", &TarvikSettings::control_panel_view},
    {kControlPanel, "ControlPanelRect", &TarvikSettings::control_panel_rect},
    {kTarvikSize, "MainRect", &TarvikSettings::main_rect},
    {kTarvikSize, "MainIconic", &TarvikSettings::main_iconic},
    {kTarvikSize, "MainMaximized", &TarvikSettings::main_maximized},
    {kMemoryCard, "WatchAllDrives", &TarvikSettings::watch_all_drives},
    {kMemoryCard, "NumRootNameChars", &TarvikSettings::num_root_name_chars},
    {kListner, "DefaultHeader", &TarvikSettings::default_header},
    {kListner, "DownloadEvents", &TarvikSettings::download_events},
    {kListner, "ActuateMessage", &TarvikSettings::actuate_message},
    {kListner, "ConnectString", &TarvikSettings::connect_string},
    {kListner, "AcknowledgeString", &TarvikSettings::acknowledge_string},
};

void ReadKeys(std::span<const Key> keys, const kr::IniFile& ini, const std::filesystem::path& data_root,
              TarvikSettings& settings) {
  for (const Key& key : keys) {
    if (auto* m = std::get_if<IntMember>(&key.member)) {
      settings.*(*m) = ini.GetInt(key.section, key.name, settings.*(*m));
    } else if (auto* s = std::get_if<StringMember>(&key.member)) {
      settings.*(*s) = ini.GetString(key.section, key.name, settings.*(*s));
    } else if (auto* p = std::get_if<PathMember>(&key.member)) {
      // An empty value reads like a missing key: operators clear a line to get the default back.
      std::filesystem::path value = ini.GetString(key.section, key.name, "");
      if (value.empty()) continue;
      settings.*(*p) = value.is_absolute() ? value : data_root / value;
    } else if (auto* r = std::get_if<RectMember>(&key.member)) {
      settings.*(*r) = ParseWindowRect(ini.GetString(key.section, key.name, ""));
    }
  }
}

void WriteKeys(std::span<const Key> keys, const TarvikSettings& settings, kr::IniFile& ini) {
  for (const Key& key : keys) {
    if (auto* m = std::get_if<IntMember>(&key.member)) {
      ini.SetInt(key.section, key.name, settings.*(*m));
    } else if (auto* s = std::get_if<StringMember>(&key.member)) {
      ini.SetString(key.section, key.name, settings.*(*s));
    } else if (auto* p = std::get_if<PathMember>(&key.member)) {
      ini.SetString(key.section, key.name, (settings.*(*p)).string());
    } else if (auto* r = std::get_if<RectMember>(&key.member)) {
      ini.SetString(key.section, key.name, FormatWindowRect(settings.*(*r)));
    }
  }
}

void ReadModem(const kr::IniFile& ini, const char* section, ModemDefinition& modem) {
  modem.modem_name = ini.GetString(section, "ModemName", modem.modem_name);
  modem.modem_com = ini.GetInt(section, "ModemCom", modem.modem_com);
  modem.modem_ini = ini.GetString(section, "ModemIni", modem.modem_ini);
  modem.modem_dial = ini.GetString(section, "ModemDial", modem.modem_dial);
}

void WriteModem(const ModemDefinition& modem, const char* section, kr::IniFile& ini) {
  ini.SetString(section, "ModemName", modem.modem_name);
  ini.SetInt(section, "ModemCom", modem.modem_com);
  ini.SetString(section, "ModemIni", modem.modem_ini);
  ini.SetString(section, "ModemDial", modem.modem_dial);
}

std::string HistoryKey(size_t index) {
  return "Path" + std::to_string(index);
}
std::string SerialKey(int port) {
  return "COM" + std::to_string(port);
}

}  // namespace

std::optional<WindowRect> ParseWindowRect(const std::string& text) {
  // Four decimal integers separated by blanks, nothing else; anything out of the int range or
  // malformed means "no position saved" rather than a window somewhere odd.
  int values[4] = {};
  size_t count = 0;
  const char* p = text.data();
  const char* end = text.data() + text.size();
  while (true) {
    while (p < end && (*p == ' ' || *p == '\t')) ++p;
    if (p == end) break;
    if (count == 4) return std::nullopt;
    auto [next, error] = std::from_chars(p, end, values[count]);
    if (error != std::errc() || (next < end && *next != ' ' && *next != '\t')) return std::nullopt;
    ++count;
    p = next;
  }
  if (count != 4) return std::nullopt;
  return WindowRect{values[0], values[1], values[2], values[3]};
}

std::string FormatWindowRect(const std::optional<WindowRect>& rect) {
  if (!rect) return {};
  char text[64];
  std::snprintf(text, sizeof text, "%04d %04d %04d %04d", rect->left, rect->top, rect->right, rect->bottom);
  return text;
}

TarvikSettings DefaultSettings(const std::filesystem::path& data_root) {
  TarvikSettings settings;
  settings.parameter_path = data_root / "Param";
  settings.data_path = data_root / "Data";
  settings.temp_path = data_root / "Temp";
  settings.instant_path = data_root / "Instant";
  settings.connect_path = data_root;
  return settings;
}

TarvikSettings ReadSettings(const kr::IniFile& ini, const std::filesystem::path& data_root) {
  TarvikSettings settings = DefaultSettings(data_root);
  ReadKeys(kMonitoringKeys, ini, data_root, settings);
  ReadModem(ini, "Modem1", settings.modem1);
  ReadModem(ini, "Modem2", settings.modem2);
  ReadKeys(kLaterKeys, ini, data_root, settings);
  for (std::string_view key : kExportOptionKeys) {
    int value = 0;
    GetExportOption(settings.export_options, key, value);
    SetExportOption(settings.export_options, key, ini.GetInt(kExport, key, value));
  }
  settings.export_options.UsDateFormat = settings.us_date_format;
  settings.mini_seed.MiniSeed = ini.GetInt(kExport, "MiniSeed", settings.mini_seed.MiniSeed);
  settings.mini_seed.MiniSeedNetwork =
      ini.GetString(kExport, "MiniSeedNetwork", settings.mini_seed.MiniSeedNetwork);
  settings.mini_seed.MiniSeedPhysical =
      ini.GetInt(kExport, "MiniSeedPhysical", settings.mini_seed.MiniSeedPhysical);
  for (size_t i = 0; i < settings.local_events_history.size(); ++i) {
    settings.local_events_history[i] = ini.GetString(kLocalEventsHistory, HistoryKey(i), "");
  }
  for (int port = SerialPortMap::kFirstPort; port <= SerialPortMap::kLastPort; ++port) {
    std::string device = ini.GetString(kSerialPorts, SerialKey(port), "");
    if (!device.empty()) settings.serial_ports.SetDevicePath(port, device);
  }
  settings.desktop = ReadDesktopSettings(ini);
  return settings;
}

void WriteSettings(const TarvikSettings& settings, kr::IniFile& ini) {
  WriteKeys(kMonitoringKeys, settings, ini);
  WriteModem(settings.modem1, "Modem1", ini);
  WriteModem(settings.modem2, "Modem2", ini);
  WriteKeys(kLaterKeys, settings, ini);
  for (std::string_view key : kExportOptionKeys) {
    int value = 0;
    if (GetExportOption(settings.export_options, key, value)) ini.SetInt(kExport, key, value);
  }
  ini.SetInt(kExport, "MiniSeed", settings.mini_seed.MiniSeed);
  ini.SetString(kExport, "MiniSeedNetwork", settings.mini_seed.MiniSeedNetwork);
  ini.SetInt(kExport, "MiniSeedPhysical", settings.mini_seed.MiniSeedPhysical);
  for (size_t i = 0; i < settings.local_events_history.size(); ++i) {
    ini.SetString(kLocalEventsHistory, HistoryKey(i), settings.local_events_history[i]);
  }
  for (int port = SerialPortMap::kFirstPort; port <= SerialPortMap::kLastPort; ++port) {
    ini.SetString(kSerialPorts, SerialKey(port), settings.serial_ports.DevicePath(port));
  }
  WriteDesktopSettings(settings.desktop, ini);
}

ExportOptions ExportOptionsOf(const TarvikSettings& settings) {
  ExportOptions options = settings.export_options;
  options.UsDateFormat = settings.us_date_format;
  return options;
}

std::filesystem::path ViewDownloadDirectory(const TarvikSettings& settings) {
  return settings.temp_path / "$tp";
}

SettingsFile::SettingsFile(std::filesystem::path path, std::filesystem::path data_root)
    : path_(std::move(path)) {
  existed_ = ini_.Load(path_);
  settings_ = ReadSettings(ini_, data_root);
}

bool SettingsFile::Save() {
  WriteSettings(settings_, ini_);
  return ini_.Save(path_);
}

}  // namespace tarvik
