#include "krsim/sim_recorder.h"

#include <algorithm>
#include <cctype>
#include <cmath>
#include <cstdio>
#include <cstdlib>

#include "krcommon/event_time.h"
#include "krcommon/text_util.h"
#include "tarvik/protocol/command_table.h"
#include "tarvik/protocol/device_types.h"

namespace krsim {

namespace {

constexpr int kBaudRates[] = {2400, 4800, 9600, 19200, 38400, 57600, 115200};
constexpr long long kPrimaryMemoryBytes = 4096LL * 1024;

// Whole text as a signed decimal integer.
bool ParseInt(std::string_view text, int& value) {
  const std::optional<int> parsed = kr::ParseWholeInt(text);
  if (parsed) value = *parsed;
  return parsed.has_value();
}

// Exactly `count` digits from the front of `rest`.
bool TakeDigits(std::string_view& rest, std::size_t count, int& value) {
  if (rest.size() < count) return false;
  if (!ParseInt(rest.substr(0, count), value) || rest[0] == '-' || rest[0] == '+') return false;
  rest.remove_prefix(count);
  return true;
}

bool TakeSeparator(std::string_view& rest, char separator) {
  if (rest.empty() || rest[0] != separator) return false;
  rest.remove_prefix(1);
  return true;
}

bool ParseDecimal(const std::string& text, double& value) {
  const std::optional<double> parsed = kr::ParseWholeDecimal(text);
  if (parsed) value = *parsed;
  return parsed.has_value();
}

std::string Decimal(double value, int decimals) {
  char text[32];
  std::snprintf(text, sizeof text, "%.*f", decimals, value);
  return text;
}

// The read code a write command fills: "Te" -> "TE".
std::string ReadCodeOf(std::string_view write_code) {
  std::string code(write_code);
  for (char& c : code) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
  return code;
}

bool IsOneOf(std::string_view code, std::initializer_list<std::string_view> codes) {
  return std::find(codes.begin(), codes.end(), code) != codes.end();
}

EventKind PrincipalKind(const RecorderConfig& c) {
  if (UsesXLayout(c)) return EventKind::kXkr;
  return c.model == 'C' ? EventKind::kVkr : EventKind::kSkr;
}

double LsbValue(const RecorderConfig& c) {
  const LsbCode lsb = RecorderLsb(c);
  double value = lsb.mantissa;
  for (int e = lsb.exponent; e < 0; ++e) value /= 10;
  return value;
}

}  // namespace

SimRecorder::SimRecorder(int number, const SimConfig& sim, const kr::Clock& pc)
    : number_(number),
      store_(RecorderIdentity{number, sim.recorders[static_cast<std::size_t>(number - 1)], sim.seed}),
      params_(DefaultRecorderParams(config())),
      clock_(pc),
      device_type_(tarvik::LookUpDeviceType(config().model, config().firmware)),
      password_(config().password),
      recording_(config().recording),
      memory_full_(config().memory_full),
      files_full_(config().files_full) {
  const RecorderConfig& c = config();
  store_.set_ring_memory(c.ring_memory);
  SetParam("TN", std::to_string(c.trigger_mode));
  SetParam("RS", std::to_string(sim.baud));
  // Events some hours apart, the recorders a few minutes apart, so that every event has its own time.
  for (std::size_t i = 0; i < c.events.size(); ++i) {
    const int file = (c.first_file - 1 + static_cast<int>(i)) % EventStore::kMaxFileNumber + 1;
    const auto offset = static_cast<std::int64_t>(i) * 6 * 3600 + (number - 1) * 7 * 60;
    store_.AddAt(file, c.events[i], kr::AddSeconds(sim.first_event_time, offset));
  }
}

bool SimRecorder::warning() const {
  return Param("FW") != "0";
}
bool SimRecorder::error() const {
  return Param("FE") != "0";
}

std::string SimRecorder::Param(std::string_view code) const {
  const auto it = params_.find(code);
  return it == params_.end() ? std::string() : it->second;
}

bool SimRecorder::Knows(int command) const {
  if (!tarvik::DeviceTypeSupports(device_type_, command)) return false;
  const tarvik::CommandEntry& row = tarvik::CommandAt(command);
  if (row.NeedsFeature() && (config().features & (1 << row.feature_bit)) == 0) return false;
  const tarvik::DeviceType* type = tarvik::DeviceTypeAt(device_type_);
  if (command == tarvik::cmd::kMI || command == tarvik::cmd::kMJ) {
    const bool allowed = type == nullptr || type->AllowsEventValues();
    return allowed && (config().features & (1 << tarvik::kEventValuesFeatureBit)) != 0;
  }
  if (command == tarvik::cmd::kFi) return type == nullptr || type->AllowsCommit();
  return true;
}

Reply SimRecorder::Handle(int command, const Request& request) {
  if (command <= tarvik::cmd::kLastReadCommand) return Read(command, request);
  return Write(request);
}

bool SimRecorder::BusyRecording() const {
  return SecondsSinceEpoch(clock_.Now()) < busy_until_s_;
}

// ---- reads ----

Reply SimRecorder::Read(int /*command*/, const Request& request) {
  bool handled = false;
  Reply reply = ReadDerived(request.code, request, handled);
  if (handled) return reply;
  const auto it = params_.find(request.code);
  if (it == params_.end()) return Reply::Refused();
  return Reply::Data(it->second);
}

Reply SimRecorder::ReadDerived(std::string_view code, const Request& request, bool& handled) {
  handled = true;
  const RecorderConfig& c = config();
  if (code == "MN" || code == "ME") return Reply::Data(std::to_string(store_.Count()));
  if (code == "MB") return Reply::Data(std::to_string(store_.Highest()));
  if (code == "MU") return Reply::Data(std::to_string(store_.BytesUsed() * 100 / kPrimaryMemoryBytes));
  if (code == "MD") return request.has_number ? DirectoryEntry(request.number) : Reply::Error();
  if (code == "MI" || code == "MJ")
    return request.has_number ? EventValues(request.number, code == "MI") : Reply::Error();
  if (code == "IV") return Reply::Data(std::to_string(c.firmware));
  if (code == "SO") return Reply::Data(std::to_string(c.features));
  if (code == "IN") return Reply::Data(ModelName(c.model));
  if (code == "LP") return Reply::Data(password_);
  if (code == "KR") return store_.ring_memory() ? Reply::Data("YES") : Reply::Refused();
  if (code == "MG") return Reply::Data(mirror_ ? "YES" : "NO");
  if (code == "CT") return Reply::Data(TimeText(clock_.Now()));
  if (code == "CD") return Reply::Data(DateText(clock_.Now()));
  // The memory status: a full memory answers FM with "ERROR", a full file table FF.
  if (code == "FM" && (memory_full_ || store_.BytesUsed() >= kPrimaryMemoryBytes))
    return Reply::Data("ERROR");
  if (code == "FF" && (files_full_ || store_.NextNumber() == 0)) return Reply::Data("ERROR");
  if (code == "IS") return Reply::Data(recording_ ? "Recording" : "Stopped");
  if (code == "IT") return Reply::Data(BusyRecording() ? "Triggered" : "Idle");
  if (code == "AS") return Reply::Data(alarm2_ ? "Alarm 2" : alarm1_ ? "Alarm 1" : "No alarm");
  if (code == "AV") {
    // Live converter readings: supply voltages, temperature and the three channels' noise.
    const int wiggle = av_reads_++ % 7 - 3;
    return Reply::Data("12650," + std::to_string(3310 + wiggle) + ",21," + std::to_string(wiggle) + "," +
                       std::to_string(-wiggle) + ",1,0,0,0,0");
  }
  handled = false;
  return {};
}

// Type letter, then "HH:MM:SS,dd.mm.yy,peak x,peak y,peak z,samples". "Y": older events follow,
// "N": the oldest event, "P": a file of periodic records.
Reply SimRecorder::DirectoryEntry(int file) const {
  const StoredEvent* event = store_.Find(file);
  if (event == nullptr) return Reply::Error();
  char letter = 'P';
  if (!event->IsPeriodic()) letter = store_.Events().front().file_number == file ? 'N' : 'Y';
  std::string payload(1, letter);
  payload += TimeText(event->time) + "," + DateText(event->time);
  for (std::int32_t peak : event->peaks) payload += "," + std::to_string(peak);
  payload += "," + std::to_string(event->nb_samples);
  return Reply::Data(payload);
}

// MI: the dominant frequency of each channel in Hz; MJ: each channel's peak in its unit.
Reply SimRecorder::EventValues(int file, bool frequencies) const {
  const StoredEvent* event = store_.Find(file);
  if (event == nullptr) return Reply::Error();
  std::string payload;
  for (int ch = 0; ch < 3; ++ch) {
    if (ch > 0) payload += ",";
    const auto index = static_cast<std::size_t>(ch);
    payload += frequencies ? Decimal(event->frequency_hz[index], 1)
                           : Decimal(event->peaks[index] * LsbValue(config()), 3);
  }
  return Reply::Data(payload);
}

// ---- writes ----

Reply SimRecorder::Write(const Request& request) {
  if (CarriesPassword(request.command) && request.code != "Lp" && request.password != password_) {
    return Reply::Error();
  }
  bool handled = false;
  for (auto step : {&SimRecorder::WriteFileCommand, &SimRecorder::WriteMaintenance,
                    &SimRecorder::WriteMultiItem, &SimRecorder::WriteScalar}) {
    Reply reply = (this->*step)(request, handled);
    if (handled) return reply;
  }
  // Commands that start something in the recorder and take no arguments.
  if (IsOneOf(request.code, {"Fi", "Ia", "Sr", "Pd", "Ai", "Tc", "Dm", "Fp", "Mx0"})) return Reply::Ack();
  return Reply::Refused();
}

Reply SimRecorder::WriteFileCommand(const Request& r, bool& handled) {
  handled = IsOneOf(r.code, {"Tn", "Th", "Fs", "Fg", "M1", "MH"});
  if (!handled) return {};
  if (!r.has_number) return Reply::Error();
  if (r.code == "Tn" || r.code == "Fs" || r.code == "Fg") {
    SetParam(ReadCodeOf(r.code), std::to_string(r.number));
    return Reply::Ack();
  }
  if (r.code == "Th") {
    if (r.number > 1) return Reply::Error();
    // A full memory or file table does not start.
    if (r.number == 1 && (store_.NextNumber() == 0 || memory_full_ || files_full_)) return Reply::Refused();
    recording_ = r.number == 1;
    return Reply::Ack();
  }
  return StartTransfer(r.number, r.code == "MH");
}

Reply SimRecorder::StartTransfer(int file, bool header_only) const {
  const StoredEvent* event = store_.Find(file);
  if (event == nullptr) return Reply::Error();
  Reply reply = Reply::Ack();
  reply.transfer = TransferImage(*event);
  if (header_only) reply.transfer.resize(event->header.size());
  reply.transfer_recorder = number_;
  reply.transfer_file = header_only ? 0 : file;
  return reply;
}

Reply SimRecorder::WriteMaintenance(const Request& r, bool& handled) {
  handled = true;
  const std::string& code = r.code;
  if (code == "Lp") {
    if (r.password.size() != 5) return Reply::Error();
    password_ = r.password;
    return Reply::Ack();
  }
  if (code == "Mf" || code == "Kr" || code == "Mg") {
    // Changing the memory management wipes the memory as erasing does.
    if (code == "Kr") store_.set_ring_memory(!store_.ring_memory());
    if (code == "Mg") mirror_ = !mirror_;
    store_.EraseAll();
    memory_full_ = false;
    files_full_ = false;
    newest_unread_ = 0;
    return Reply::Ack();
  }
  if (code == "Zm") {
    SetParam("ZX", "0,0,0");
    return Reply::Ack();
  }
  if (code == "Fe" || code == "St") {
    SetParam("FF", "0,0,0,0,0,0,0,0");
    if (code == "Fe") {
      SetParam("FW", "0");
      SetParam("FE", "0");
    }
    return Reply::Ack();
  }
  if (code == "As") {
    ResetAlarms();
    return Reply::Ack();
  }
  if (code == "Ct" || code == "Cd") {
    if (BusyRecording()) return Reply::Refused();
    const bool ok = code == "Ct" ? clock_.SetTime(r.args) : clock_.SetDate(r.args);
    if (!ok) return Reply::Error();
    SetParam(code == "Ct" ? "DT" : "DD", code == "Ct" ? TimeText(clock_.Now()) : DateText(clock_.Now()));
    return Reply::Ack();
  }
  if (code == "Mo") {
    int file = 0;
    if (!ParseInt(r.args, file)) return Reply::Error();
    store_.Erase(file);  // an event already gone is no error: the PC may be repeating the frame
    return Reply::Ack();
  }
  if (code == "Mx1") {
    int kilobytes = 0;
    if (!ParseInt(r.args, kilobytes)) return Reply::Error();
    return Reply::Ack();
  }
  handled = false;
  return {};
}

Reply SimRecorder::WriteMultiItem(const Request& r, bool& handled) {
  handled = true;
  std::string_view rest = r.args;
  int item = 0;
  int second = 0;
  int value = 0;
  const std::string code = r.code;
  if (IsOneOf(code, {"Ar", "Tp", "Ak1", "Ak2", "Tr", "Si", "Au"})) {
    // "%1d%1d%d": item and a second digit, then the value.
    if (!TakeDigits(rest, 1, item) || !TakeDigits(rest, 1, second) || !ParseInt(rest, value))
      return Reply::Error();
    std::size_t index = static_cast<std::size_t>(second * 3 + item);
    if (code == "Si" || code == "Au") {
      if (item < 1 || item > 3) return Reply::Error();
      index = static_cast<std::size_t>(second * 3 + item - 1);
    }
    const std::string read = ReadCodeOf(code);
    SetParam(read, SetItem(Param(read), index, std::to_string(value)));
    if (code == "Tr" && index < 3) SetParam(std::string("T") + "XYZ"[index], std::to_string(value));
    return Reply::Ack();
  }
  if (IsOneOf(code, {"Aj", "Tg"})) {
    if (!TakeDigits(rest, 1, item) || !ParseInt(rest, value)) return Reply::Error();
    SetParam(ReadCodeOf(code),
             SetItem(Param(ReadCodeOf(code)), static_cast<std::size_t>(item), std::to_string(value)));
    return Reply::Ack();
  }
  if (IsOneOf(code, {"Ag", "Ae", "Tu"})) {
    if (!TakeDigits(rest, 1, item)) return Reply::Error();
    SetParam(ReadCodeOf(code),
             SetItem(Param(ReadCodeOf(code)), static_cast<std::size_t>(item), SanitizeText(rest, true)));
    return Reply::Ack();
  }
  if (code == "Ad") {
    if (!TakeDigits(rest, 1, item) || !TakeDigits(rest, 1, second)) return Reply::Error();
    std::string list = SetItem(Param("AD"), static_cast<std::size_t>(2 * item), std::to_string(second));
    SetParam("AD", SetItem(list, static_cast<std::size_t>(2 * item + 1), SanitizeText(rest, true)));
    return Reply::Ack();
  }
  if (code == "Al") {
    int mask = 0;
    if (!TakeDigits(rest, 1, item) || !TakeDigits(rest, 3, value) || !TakeDigits(rest, 3, mask) ||
        !rest.empty()) {
      return Reply::Error();
    }
    std::string list = SetItem(Param("AL"), static_cast<std::size_t>(2 * item), std::to_string(value));
    SetParam("AL", SetItem(list, static_cast<std::size_t>(2 * item + 1), std::to_string(mask)));
    return Reply::Ack();
  }
  handled = false;
  return {};
}

Reply SimRecorder::WriteScalar(const Request& r, bool& handled) {
  handled = true;
  const std::string& code = r.code;
  std::string_view rest = r.args;
  if (code == "Ap") {
    // "%3.3d%2.2d%1.1d%2.2d%5.5d": the five alerting options.
    static constexpr std::size_t kWidths[] = {3, 2, 1, 2, 5};
    std::vector<std::string> values;
    for (std::size_t width : kWidths) {
      int field = 0;
      if (!TakeDigits(rest, width, field)) return Reply::Error();
      values.push_back(std::to_string(field));
    }
    SetParam("AP", JoinItems(values));
    return Reply::Ack();
  }
  if (code == "Aq" || code == "Pc") {
    // Aq "%2.2d,%2.2d" (quiet hours from, to), Pc "%4.4d%2.2d" (GPS interval and duration).
    int a = 0;
    int b = 0;
    bool ok = TakeDigits(rest, code == "Aq" ? 2 : 4, a);
    if (ok && code == "Aq") ok = TakeSeparator(rest, ',');
    ok = ok && TakeDigits(rest, 2, b) && rest.empty();
    if (!ok) return Reply::Error();
    SetParam(ReadCodeOf(code), std::to_string(a) + "," + std::to_string(b));
    return Reply::Ack();
  }
  if (code == "Ao0" || code == "Rh" || code == "Sy") {
    if (r.args.size() != 1) return Reply::Error();
    if (code == "Ao0") {
      SetParam("AO",
               SetItem(Param("AO"), 0, std::isdigit(static_cast<unsigned char>(r.args[0])) ? r.args : "1"));
    } else {
      SetParam(ReadCodeOf(code), r.args);
    }
    return Reply::Ack();
  }
  if (code == "Pr" || code == "Fc" || code == "Zc") {
    SetParam(ReadCodeOf(code), SanitizeText(r.args, false));
    return Reply::Ack();
  }
  if (code == "Pl" || code == "Po") {
    double value = 0;
    if (!ParseDecimal(r.args, value)) return Reply::Error();
    SetParam(ReadCodeOf(code), Decimal(value, 4));
    return Reply::Ack();
  }
  if (IsOneOf(code, {"Te", "To", "Tx", "Ty", "Tz", "Aa",  "Ab",  "Ac", "Ax", "Ay", "Az",
                     "Tm", "Tt", "At", "Tw", "Ti", "Td",  "Tl",  "Pe", "Zd", "Tk", "Tv",
                     "Fd", "Tf", "Ir", "Ft", "Tq", "Ao1", "Ao2", "Ah", "Rs"})) {
    int value = 0;
    if (!ParseInt(r.args, value)) return Reply::Error();
    if (code == "Rs") {
      if (std::find(std::begin(kBaudRates), std::end(kBaudRates), value) == std::end(kBaudRates))
        return Reply::Error();
      SetParam("RS", std::to_string(value));
      Reply reply = Reply::Ack();
      reply.new_baud = value;
      return reply;
    }
    if (code == "Ao1" || code == "Ao2") {
      SetParam("AO", SetItem(Param("AO"), code == "Ao1" ? 1 : 2, std::to_string(value)));
      return Reply::Ack();
    }
    SetParam(ReadCodeOf(code), std::to_string(value));
    if (code == "Tx" || code == "Ty" || code == "Tz") {
      // The single levels and the level array of TR are the same values.
      SetParam("TR", SetItem(Param("TR"), static_cast<std::size_t>(code[1] - 'x'), std::to_string(value)));
    }
    return Reply::Ack();
  }
  handled = false;
  return {};
}

// ---- events ----

bool SimRecorder::Trigger(std::string& message) {
  const kr::DateTime now = clock_.Now();
  if (!store_.Add(PrincipalKind(config()), now)) {
    message = "recorder " + std::to_string(number_) + ": memory full, no event stored";
    return false;
  }
  const StoredEvent& event = store_.Events().back();
  newest_unread_ = event.file_number;
  busy_until_s_ =
      SecondsSinceEpoch(now) + static_cast<std::int64_t>(event.nb_samples) / config().sampling + 1;
  // Alarms compare the peaks with the stored thresholds, as the recorder's alarm outputs do.
  const char* level1[3] = {"AA", "AB", "AC"};
  const char* level2[3] = {"AX", "AY", "AZ"};
  for (int ch = 0; ch < 3; ++ch) {
    const std::int32_t peak = event.peaks[static_cast<std::size_t>(ch)];
    if (peak > std::atoi(Param(level1[ch]).c_str())) alarm1_ = true;
    if (peak > std::atoi(Param(level2[ch]).c_str())) alarm2_ = true;
  }
  message = "recorder " + std::to_string(number_) + ": event " + std::to_string(event.file_number) + " (" +
            EventKindName(event.kind) + ") recorded";
  return true;
}

void SimRecorder::TransferDone(int file) {
  if (file != 0 && file == newest_unread_) newest_unread_ = 0;
}

}  // namespace krsim
