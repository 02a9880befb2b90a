#include "krsim/sim_config.h"

#include <algorithm>
#include <cctype>
#include <charconv>
#include <cstdio>

#include "krcommon/text_util.h"
#include "tarvik/protocol/device_types.h"

namespace krsim {

namespace {

constexpr int kMaxRecorders = 16;
constexpr int kMaxFiles = 255;
constexpr int kBaudRates[] = {2400, 4800, 9600, 19200, 38400, 57600, 115200};

// Option bits the default recorders report: 7 event values, 8 alerting, 11 GPS.
constexpr int kDefaultFeatures = (1 << 7) | (1 << 8) | (1 << 11);

RecorderConfig DefaultRecorder(int number) {
  RecorderConfig r;
  r.model = 'C';
  r.features = kDefaultFeatures;
  char serial[16];
  std::snprintf(serial, sizeof serial, "%05d", 10416 + number);
  r.serial_number = serial;
  std::snprintf(serial, sizeof serial, "S%04d", 830 + number);
  r.sensor_serial = serial;
  r.station = "Station " + std::to_string(number);
  if (number % 2 == 0) {
    r.firmware = 62080;
    r.sampling = 400;
    r.events = {EventKind::kXkr, EventKind::kBkr, EventKind::kXkr};
  } else {
    r.firmware = 22060;
    r.events = {EventKind::kVkr, EventKind::kVmx, EventKind::kVkr};
  }
  return r;
}

std::string Where(std::string_view section, std::string_view key) {
  return "[" + std::string(section) + "] " + std::string(key);
}

class Reader {
 public:
  Reader(const kr::IniFile& ini, std::string& error) : ini_(ini), error_(error) {}

  bool Int(std::string_view section, std::string_view key, int& value, int low, int high) {
    if (!ini_.HasKey(section, key)) return true;
    const std::string text{kr::Trim(ini_.GetString(section, key, ""))};
    const std::optional<int> parsed = kr::ParseWholeInt(text);
    if (!parsed || *parsed < low || *parsed > high) {
      return Fail(Where(section, key) + ": expected a whole number from " + std::to_string(low) + " to " +
                  std::to_string(high) + ", found \"" + text + "\"");
    }
    value = *parsed;
    return true;
  }

  bool Bool(std::string_view section, std::string_view key, bool& value) {
    int number = value ? 1 : 0;
    if (!Int(section, key, number, 0, 1)) return false;
    value = number == 1;
    return true;
  }

  bool Text(std::string_view section, std::string_view key, std::string& value, std::size_t max_length) {
    if (!ini_.HasKey(section, key)) return true;
    std::string text = ini_.GetString(section, key, "");
    if (text.size() > max_length) {
      return Fail(Where(section, key) + ": at most " + std::to_string(max_length) + " characters");
    }
    value = std::move(text);
    return true;
  }

  bool List(std::string_view section, std::string_view key, std::vector<std::string>& value) {
    if (ini_.HasKey(section, key)) value = SplitList(ini_.GetString(section, key, ""));
    return true;
  }

  bool IntList(std::string_view section, std::string_view key, std::vector<int>& value, int low, int high) {
    if (!ini_.HasKey(section, key)) return true;
    std::vector<int> numbers;
    for (const std::string& item : SplitList(ini_.GetString(section, key, ""))) {
      const std::optional<int> parsed = kr::ParseWholeInt(item);
      if (!parsed || *parsed < low || *parsed > high) {
        return Fail(Where(section, key) + ": \"" + item + "\" is not a number from " + std::to_string(low) +
                    " to " + std::to_string(high));
      }
      numbers.push_back(*parsed);
    }
    value = std::move(numbers);
    return true;
  }

  bool Has(std::string_view section, std::string_view key) const { return ini_.HasKey(section, key); }
  std::string Get(std::string_view section, std::string_view key) const {
    return ini_.GetString(section, key, "");
  }

  bool Fail(std::string message) {
    error_ = std::move(message);
    return false;
  }

 private:
  const kr::IniFile& ini_;
  std::string& error_;
};

bool ParseUnitKind(std::string_view text, UnitKind& kind) {
  if (kr::EqualsNoCase(text, "HCU"))
    kind = UnitKind::kHcu;
  else if (kr::EqualsNoCase(text, "Recorder"))
    kind = UnitKind::kRecorder;
  else if (kr::EqualsNoCase(text, "MKR"))
    kind = UnitKind::kMkr;
  else
    return false;
  return true;
}

bool ParseDateTime(std::string_view text, kr::DateTime& value) {
  kr::DateTime t;
  const std::string s{kr::Trim(text)};
  if (std::sscanf(s.c_str(), "%d-%d-%d %d:%d:%d", &t.year, &t.month, &t.day, &t.hour, &t.minute, &t.second) !=
      6) {
    return false;
  }
  if (t.year < 1980 || t.year > 2079 || t.month < 1 || t.month > 12 || t.day < 1 || t.day > 28 ||
      t.hour > 23 || t.minute > 59 || t.second > 59 || t.hour < 0 || t.minute < 0 || t.second < 0) {
    return false;
  }
  value = t;
  return true;
}

bool ReadUnit(Reader& in, SimConfig& config, int& recorder_count) {
  const char* s = "Unit";
  if (in.Has(s, "Type") && !ParseUnitKind(in.Get(s, "Type"), config.unit)) {
    return in.Fail(Where(s, "Type") + ": expected HCU, Recorder or MKR");
  }
  recorder_count = config.unit == UnitKind::kHcu ? static_cast<int>(config.recorders.size()) : 1;
  if (config.unit == UnitKind::kHcu && !in.Int(s, "Recorders", recorder_count, 1, kMaxRecorders))
    return false;
  if (in.Has(s, "FirstEventTime") && !ParseDateTime(in.Get(s, "FirstEventTime"), config.first_event_time)) {
    return in.Fail(Where(s, "FirstEventTime") +
                   ": expected YYYY-MM-DD HH:MM:SS (years 1980-2079, days 1-28)");
  }
  int seed = static_cast<int>(config.seed);
  int start_logged_in = config.start_logged_in ? 1 : 0;
  bool ok = in.Text(s, "Password", config.hcu_password, 5) &&
            in.Int(s, "Firmware", config.hcu_firmware, 0, 65535) &&
            in.Text(s, "SerialNumber", config.hcu_serial, 5) &&
            in.Int(s, "LoginLevel", config.login_level, 0, 9) &&
            in.Int(s, "Baud", config.baud, 300, 115200) && in.Int(s, "Seed", seed, 0, 1 << 30) &&
            in.Int(s, "TransferIdleTimeoutMs", config.transfer_idle_timeout_ms, 100, 600000);
  config.seed = static_cast<std::uint64_t>(seed);
  ok = ok && in.Int(s, "StartLoggedIn", start_logged_in, 0, 1);
  config.start_logged_in = start_logged_in == 1;
  if (!ok) return false;
  if (std::find(std::begin(kBaudRates), std::end(kBaudRates), config.baud) == std::end(kBaudRates)) {
    return in.Fail(Where(s, "Baud") + ": expected 2400, 4800, 9600, 19200, 38400, 57600 or 115200");
  }
  if (config.hcu_password.size() != 5) return in.Fail(Where(s, "Password") + ": exactly 5 characters");
  return true;
}

bool ReadEvents(Reader& in, const std::string& s, RecorderConfig& r) {
  if (!in.Has(s, "Events")) return true;
  std::vector<EventKind> kinds;
  for (const std::string& item : SplitList(in.Get(s, "Events"))) {
    EventKind kind{};
    if (!ParseEventKind(item, kind)) {
      return in.Fail(Where(s, "Events") + ": \"" + item + "\" is not one of skr, vkr, xkr, vmx, bkr");
    }
    kinds.push_back(kind);
  }
  if (static_cast<int>(kinds.size()) > kMaxFiles) return in.Fail(Where(s, "Events") + ": at most 255 events");
  r.events = std::move(kinds);
  return true;
}

bool CheckRecorder(Reader& in, const std::string& s, const RecorderConfig& r) {
  if (r.model != 'S' && r.model != 'C' && r.model != 'X')
    return in.Fail(Where(s, "Model") + ": expected S, C or X");
  if (r.password.size() != 5) return in.Fail(Where(s, "Password") + ": exactly 5 characters");
  if (!r.ring_memory && r.first_file + static_cast<int>(r.events.size()) - 1 > kMaxFiles) {
    return in.Fail(Where(s, "Events") + ": without ring memory the file numbers end at 255");
  }
  for (EventKind kind : r.events) {
    if (!RecorderMakes(r, kind)) {
      return in.Fail(Where(s, "Events") + ": a " + ModelName(r.model) + " with firmware " +
                     std::to_string(r.firmware) + " does not write " + EventKindName(kind) + " files");
    }
  }
  return true;
}

bool ReadRecorder(Reader& in, int number, RecorderConfig& r) {
  const std::string s = "Recorder" + std::to_string(number);
  std::string model(1, r.model);
  if (!in.Text(s, "Model", model, 1)) return false;
  r.model = model.empty() ? '?' : static_cast<char>(std::toupper(static_cast<unsigned char>(model[0])));
  int first_file = r.first_file;
  const bool ok =
      in.Int(s, "Firmware", r.firmware, 0, 65535) && in.Int(s, "Features", r.features, 0, 65535) &&
      in.Text(s, "Password", r.password, 5) && in.Text(s, "SerialNumber", r.serial_number, 5) &&
      in.Text(s, "SensorSerial", r.sensor_serial, 5) && in.Text(s, "Station", r.station, 30) &&
      in.Bool(s, "RingMemory", r.ring_memory) && in.Bool(s, "Recording", r.recording) &&
      in.Int(s, "Sampling", r.sampling, 1, 10000) && in.Int(s, "TriggerMode", r.trigger_mode, 0, 14) &&
      in.Bool(s, "MemoryFull", r.memory_full) && in.Bool(s, "FilesFull", r.files_full) &&
      in.Int(s, "FirstFile", first_file, 1, kMaxFiles) && ReadEvents(in, s, r);
  r.first_file = first_file;
  return ok && CheckRecorder(in, s, r);
}

bool ReadFaults(Reader& in, FaultSettings& f) {
  const char* s = "Faults";
  return in.Int(s, "CorruptBlockEvery", f.corrupt_block_every, 0, 1000000) &&
         in.Int(s, "DropReplyEvery", f.drop_reply_every, 0, 1000000) &&
         in.Int(s, "LateReplyMs", f.late_reply_ms, 0, 600000) &&
         in.Int(s, "LateReplyEvery", f.late_reply_every, 1, 1000000) &&
         in.Int(s, "BreakAfterBlocks", f.break_after_blocks, 0, 1000000) &&
         in.List(s, "RefuseCommands", f.refuse_codes) &&
         in.IntList(s, "OfflineRecorders", f.offline_recorders, 1, kMaxRecorders) &&
         in.List(s, "SlowWriteCommands", f.slow_codes) &&
         in.Int(s, "SlowWriteMinutes", f.slow_minutes, 1, 99) &&
         in.Int(s, "SlowWriteSeconds", f.slow_seconds, 0, 3600);
}

bool ReadModem(Reader& in, ModemSettings& m) {
  const char* s = "Modem";
  return in.Int(s, "ConnectDelayMs", m.connect_delay_ms, 0, 120000) &&
         in.Int(s, "ConnectRate", m.connect_rate, 300, 115200) && in.List(s, "BusyNumbers", m.busy_numbers) &&
         in.List(s, "NoCarrierNumbers", m.no_carrier_numbers) &&
         in.Int(s, "GuardTimeMs", m.guard_time_ms, 0, 5100) && in.Bool(s, "ReportRinging", m.report_ringing);
}

}  // namespace

const char* EventKindName(EventKind kind) {
  switch (kind) {
    case EventKind::kSkr:
      return "skr";
    case EventKind::kVkr:
      return "vkr";
    case EventKind::kXkr:
      return "xkr";
    case EventKind::kVmx:
      return "vmx";
    case EventKind::kBkr:
      return "bkr";
  }
  return "unknown";
}

bool ParseEventKind(std::string_view text, EventKind& kind) {
  for (EventKind k : {EventKind::kSkr, EventKind::kVkr, EventKind::kXkr, EventKind::kVmx, EventKind::kBkr}) {
    if (kr::EqualsNoCase(kr::Trim(text), EventKindName(k))) {
      kind = k;
      return true;
    }
  }
  return false;
}

std::string ModelName(char model) {
  return std::string(1, model) + "KR4100";
}

bool UsesXLayout(const RecorderConfig& recorder) {
  if (recorder.model == 'X') return true;
  const tarvik::DeviceType* type =
      tarvik::DeviceTypeAt(tarvik::LookUpDeviceType(recorder.model, recorder.firmware));
  return type != nullptr && type->UsesSecondFileFamily();
}

bool RecorderMakes(const RecorderConfig& recorder, EventKind kind) {
  if (UsesXLayout(recorder)) return kind == EventKind::kXkr || kind == EventKind::kBkr;
  if (recorder.model == 'C') return kind == EventKind::kVkr || kind == EventKind::kVmx;
  return kind == EventKind::kSkr;
}

std::vector<std::string> SplitList(std::string_view text) {
  std::vector<std::string> items;
  std::size_t start = 0;
  while (start <= text.size()) {
    std::size_t comma = text.find(',', start);
    if (comma == std::string_view::npos) comma = text.size();
    const std::string_view item = kr::Trim(text.substr(start, comma - start));
    if (!item.empty()) items.emplace_back(item);
    start = comma + 1;
  }
  return items;
}

SimConfig DefaultConfig() {
  SimConfig config;
  config.recorders = {DefaultRecorder(1), DefaultRecorder(2)};
  config.recorders[0].station = "Quarry North";
  config.recorders[1].station = "Quarry South";
  return config;
}

bool ApplyConfig(const kr::IniFile& ini, SimConfig& config, std::string& error) {
  Reader in(ini, error);
  int count = 0;
  if (!ReadUnit(in, config, count)) return false;
  std::vector<RecorderConfig> recorders;
  for (int n = 1; n <= count; ++n) {
    RecorderConfig r =
        n <= static_cast<int>(config.recorders.size()) ? config.recorders[n - 1] : DefaultRecorder(n);
    if (!ReadRecorder(in, n, r)) return false;
    recorders.push_back(std::move(r));
  }
  config.recorders = std::move(recorders);
  return ReadFaults(in, config.faults) && ReadModem(in, config.modem);
}

bool LoadConfig(const std::filesystem::path& path, SimConfig& config, std::string& error) {
  kr::IniFile ini;
  if (!ini.Load(path)) {
    error = "cannot read the configuration file " + path.string();
    return false;
  }
  if (!ApplyConfig(ini, config, error)) {
    error = path.string() + ": " + error;
    return false;
  }
  return true;
}

}  // namespace krsim
