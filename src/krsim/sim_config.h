#pragma once

#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

#include "krcommon/clock.h"
#include "krcommon/ini_file.h"
#include "krsim/fault_injector.h"
#include "krsim/hayes_modem.h"
#include "tarvik/protocol/command_table.h"

namespace krsim {

// What answers on the line: a control unit with recorders behind it, one recorder reached directly
// (it refuses NN), or an MKR4100, a recorder that answers NN itself like a control unit with one slot.
enum class UnitKind { kHcu, kRecorder, kMkr };

// The five event-file kinds, numbered as the files are.
enum class EventKind { kSkr = 1, kVkr = 2, kXkr = 3, kVmx = 4, kBkr = 5 };

const char* EventKindName(EventKind kind);  // "skr", ...
bool ParseEventKind(std::string_view text, EventKind& kind);

struct RecorderConfig {
  char model = 'C';  // S, C or X: the first letter of the unit name SKR4100, CKR4100, XKR4100
  int firmware = 22060;
  int features = 0;  // the option bits the SO command reports
  std::string password = tarvik::kDefaultPassword;
  std::string serial_number = "10417";
  std::string sensor_serial = "S0831";
  std::string station = "Station";
  bool ring_memory = true;
  bool recording = true;
  int sampling = 200;
  int trigger_mode = 0;           // TN: 0 events only, 5 blasting, up to 14
  bool memory_full = false;       // filled by earlier recordings: FM answers "ERROR" until erased
  bool files_full = false;        // the file table is full: FF answers "ERROR" until erased
  std::vector<EventKind> events;  // stored at start, oldest first, numbered from first_file
  int first_file = 1;
};

struct SimConfig {
  UnitKind unit = UnitKind::kHcu;
  std::string hcu_password = tarvik::kDefaultPassword;
  int hcu_firmware = 21050;
  std::string hcu_serial = "H0417";
  int login_level = 2;
  // Each connection starts logged in, as a unit an earlier session left without logging out.
  bool start_logged_in = false;
  int baud = 9600;  // the line rate the unit answers at on a pseudo-terminal
  std::uint64_t seed = 1;
  kr::DateTime first_event_time{2024, 3, 21, 8, 15, 0, 0, 4};
  int transfer_idle_timeout_ms = 15000;  // a block transfer nobody answers is given up after this
  std::vector<RecorderConfig> recorders;
  FaultSettings faults;
  ModemSettings modem;
};

// An HCU4100 with two CKR4100 recorders of three events each: the first records 16-bit events
// (vkr, vmx, vkr), the second runs the firmware of the second file family (xkr, bkr, xkr).
SimConfig DefaultConfig();

// Reads a configuration file over the defaults. False with a message naming the file, section and
// key when a value is missing its mark; the configuration is then unusable.
bool LoadConfig(const std::filesystem::path& path, SimConfig& config, std::string& error);
bool ApplyConfig(const kr::IniFile& ini, SimConfig& config, std::string& error);

// The event kinds a recorder of that model and firmware writes: S skr; C vkr and vmx, or xkr and
// bkr with the second file family; X xkr and bkr.
bool RecorderMakes(const RecorderConfig& recorder, EventKind kind);
// Recorders of the second family, and the XKR, write the X header layout.
bool UsesXLayout(const RecorderConfig& recorder);

// The unit name the recorder reports ("SKR4100", "CKR4100", "XKR4100").
std::string ModelName(char model);

// "a,b , c" -> {"a", "b", "c"}; empty items are dropped.
std::vector<std::string> SplitList(std::string_view text);

}  // namespace krsim
