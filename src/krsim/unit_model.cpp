#include "krsim/unit_model.h"

#include <algorithm>
#include <cstdio>

#include "tarvik/protocol/command_table.h"

namespace krsim {

namespace {

using tarvik::cmd::kFirstRecorderCommand;

constexpr int kBaudRates[] = {2400, 4800, 9600, 19200, 38400, 57600, 115200};

// Command numbers of the control unit's rows.
enum HcuCommand {
  kLL = 0,
  kNN = 1,
  kNC = 2,
  kNR = 3,
  kNF = 4,
  kQX = 6,
  kQY = 7,
  kNW = 9,
  kNE = 10,
  kLP = 13,
  kNY = 14,
  kND = 19,
  kNT = 20,
  kXP = 32,
  kNa = 47,
  kNa0 = 48,
  kNt = 49,
  kNd = 50,
  kNo = 51,
  kNx = 52,
  kNm = 53,
  kNh = 54,
  kNl = 55,
  kRs = 56,
  kQn = 57,
  kNz = 58,
  kXp = 59,
  kQp = 60,
  kQq = 61,
  kQz = 62,
  kSw = 63,
  kLi = 64,
  kLo = 65,
  kQt = 66,
  kQw = 67,
  kNq = 68,
};

bool TakeDigits(std::string_view& rest, std::size_t count, int& value) {
  if (rest.size() < count) return false;
  value = 0;
  for (std::size_t i = 0; i < count; ++i) {
    if (rest[i] < '0' || rest[i] > '9') return false;
    value = value * 10 + (rest[i] - '0');
  }
  rest.remove_prefix(count);
  return true;
}

// "HH:MM:SS"
bool ParseClock(std::string_view text, int& h, int& m, int& s) {
  if (text.size() != 8 || text[2] != ':' || text[5] != ':') return false;
  std::string_view hh = text.substr(0, 2);
  std::string_view mm = text.substr(3, 2);
  std::string_view ss = text.substr(6, 2);
  return TakeDigits(hh, 2, h) && TakeDigits(mm, 2, m) && TakeDigits(ss, 2, s) && h <= 23 && m <= 59 &&
         s <= 59;
}

bool TakeNumber(std::string_view& rest, int& value) {
  std::size_t n = 0;
  while (n < rest.size() && n < 9 && rest[n] >= '0' && rest[n] <= '9') ++n;
  return n > 0 && TakeDigits(rest, n, value);
}

}  // namespace

UnitModel::UnitModel(const SimConfig& config, FaultInjector& faults, const kr::Clock& pc)
    : config_(config),
      faults_(faults),
      params_(DefaultHcuParams(config)),
      clock_(pc),
      password_(config.hcu_password),
      logged_in_(config.start_logged_in) {
  recorders_.reserve(config.recorders.size());
  for (std::size_t i = 0; i < config.recorders.size(); ++i) {
    recorders_.emplace_back(static_cast<int>(i) + 1, config_, pc);
  }
}

void UnitModel::ResetSession() {
  logged_in_ = config_.start_logged_in;
  selected_ = 0;
}

std::string UnitModel::Param(std::string_view code) const {
  const auto it = params_.find(code);
  return it == params_.end() ? std::string() : it->second;
}

bool UnitModel::PasswordMatches(const std::string& password) const {
  if (config_.unit == UnitKind::kRecorder) return password == recorders_.front().password();
  return password == password_;
}

Reply UnitModel::Handle(const Request& request) {
  if (!logged_in_) return HandleLoggedOut(request);
  if (faults_.Refuses(request.code)) return Reply::Refused();
  Reply reply = Route(request);
  if (reply.kind == Reply::Kind::kAck && reply.transfer.empty() && faults_.IsSlow(request.code)) {
    reply.kind = Reply::Kind::kWait;
    reply.wait_minutes = faults_.settings().slow_minutes;
    reply.busy_seconds = faults_.settings().slow_seconds;
  }
  return reply;
}

Reply UnitModel::HandleLoggedOut(const Request& request) {
  if (request.command == kLi) {
    if (!PasswordMatches(request.password)) return Reply::Error();
    logged_in_ = true;
    selected_ = 0;
    return Reply::Ack();
  }
  if (request.command == kLo) return Reply::Ack();
  return Reply::Error();
}

Reply UnitModel::Route(const Request& request) {
  const int recorder = config_.unit == UnitKind::kRecorder ? 1 : selected_;
  if (recorder > 0) {
    // Codes the control unit and the recorders share (RS, LP, Rs) go to the addressed recorder.
    const int command = tarvik::FindCommand(request.code, kFirstRecorderCommand);
    if (command >= 0) return ToRecorder(recorder, command, request);
  }
  if (request.command >= kFirstRecorderCommand) return Reply::Refused();  // no recorder addressed
  return ControlUnit(request);
}

Reply UnitModel::ToRecorder(int number, int command, const Request& request) {
  // A recorder the control unit cannot reach does not answer at all.
  if (faults_.IsOffline(number)) return Reply{};
  SimRecorder& recorder = recorders_[static_cast<std::size_t>(number - 1)];
  if (!recorder.Knows(command)) return Reply::Refused();
  return recorder.Handle(command, request);
}

Reply UnitModel::ControlUnit(const Request& request) {
  switch (request.command) {
    case kLL:
      return Reply::Data(std::to_string(config_.login_level));
    case kLi:
      return PasswordMatches(request.password) ? Reply::Ack() : Reply::Error();
    case kLo:
      logged_in_ = false;
      selected_ = 0;
      return Reply::Ack();
    default:
      break;
  }
  // A recorder on its own line knows nothing of a control unit: NN and the rest are refused.
  if (config_.unit == UnitKind::kRecorder) return Reply::Refused();
  switch (request.command) {
    case kNN:
      return Reply::Data(config_.unit == UnitKind::kMkr ? "MKR4100" : "HCU4100");
    case kNa:
      if (!request.has_number || request.number > recorder_count()) return Reply::Refused();
      selected_ = request.number;
      return Reply::Ack();
    case kNa0:
      selected_ = 0;
      return Reply::Ack();
    default:
      break;
  }
  if (request.command < kNa) return ControlUnitRead(request);
  return ControlUnitWrite(request);
}

Reply UnitModel::ControlUnitRead(const Request& request) {
  switch (request.command) {
    case kNC:
      return Reply::Data(std::to_string(recorder_count()));
    case kNR:
    case kQX:
    case kQY:
    case kNW:
    case kNE:
    case kNY:
      return Reply::Data(StatusString(request.command));
    case kNF: {
      std::vector<std::string> counts;
      for (const SimRecorder& r : recorders_) counts.push_back(std::to_string(r.store().Count()));
      return Reply::Data(JoinItems(counts));
    }
    case kLP:
      return Reply::Data(password_);
    case kND:
      return Reply::Data(DateText(clock_.Now()));
    case kNT:
      return Reply::Data(TimeText(clock_.Now()));
    case kXP:
      if (!request.has_number || request.number < 1 || request.number > recorder_count())
        return Reply::Error();
      return Reply::Data(faults_.IsOffline(request.number) ? "0.0" : "99.5");
    default:
      break;
  }
  const auto it = params_.find(request.code);
  return it == params_.end() ? Reply::Refused() : Reply::Data(it->second);
}

// One character per recorder: "O" offline, else "Y" when the condition the command reports holds.
std::string UnitModel::StatusString(int command) {
  std::string status;
  for (const SimRecorder& r : recorders_) {
    if (faults_.IsOffline(r.number())) {
      faults_.CountOfflineReport();
      status.push_back('O');
      continue;
    }
    bool flag = false;
    switch (command) {
      case kNR:
        flag = r.recording();
        break;
      case kQX:
        flag = r.alarm1();
        break;
      case kQY:
        flag = r.alarm2();
        break;
      case kNW:
        flag = r.warning();
        break;
      case kNE:
        flag = r.error();
        break;
      case kNY:
        flag = r.has_new_event();
        break;
      default:
        break;
    }
    status.push_back(flag ? 'Y' : 'N');
  }
  return status;
}

Reply UnitModel::ControlUnitWrite(const Request& request) {
  if (request.command == kNm || request.command == kNh || request.command == kNl)
    return CombinationWrite(request);
  bool handled = false;
  Reply reply = SmallWrite(request, handled);
  if (handled) return reply;
  switch (request.command) {
    case kNt:
      return clock_.SetTime(request.args) ? Reply::Ack() : Reply::Error();
    case kNd:
      return clock_.SetDate(request.args) ? Reply::Ack() : Reply::Error();
    case kXp:
    case kQq:
    case kQz:
    case kSw:
      return request.has_number ? Reply::Ack() : Reply::Error();
    case kQt:
      params_["QW"] = "0;0;0,0,0,0,0,0,0,0";
      return Reply::Ack();
    case kQw:
    case kNq:
      if (!PasswordMatches(request.password)) return Reply::Error();
      if (request.command == kQw) params_["QW"] = "0;0;0,0,0,0,0,0,0,0";
      if (request.command == kNq) {
        params_["NQ"] = "N";
        for (SimRecorder& r : recorders_) r.ResetAlarms();
      }
      return Reply::Ack();
    default:
      return Reply::Refused();
  }
}

// Nm, Nh, Nl: "%2.2d%d", the combination 01-16 and its recorder mask.
Reply UnitModel::CombinationWrite(const Request& request) {
  std::string_view rest = request.args;
  int combination = 0;
  int mask = 0;
  if (!TakeDigits(rest, 2, combination) || !TakeNumber(rest, mask) || !rest.empty() || combination < 1 ||
      combination > 16 || mask > 0xFFFF) {
    return Reply::Error();
  }
  const std::string code = request.command == kNm ? "NM" : request.command == kNh ? "NH" : "NL";
  params_[code] = SetItem(Param(code), static_cast<std::size_t>(combination - 1), std::to_string(mask));
  return Reply::Ack();
}

Reply UnitModel::SmallWrite(const Request& request, bool& handled) {
  handled = true;
  std::string_view rest = request.args;
  int a = 0;
  int b = 0;
  switch (request.command) {
    case kNo:
    case kNx:
      if (request.args.size() != 1) return Reply::Error();
      params_[request.command == kNo ? "NO" : "NX"] = request.args;
      return Reply::Ack();
    case kRs: {
      if (!TakeNumber(rest, a) || !rest.empty() ||
          std::find(std::begin(kBaudRates), std::end(kBaudRates), a) == std::end(kBaudRates)) {
        return Reply::Error();
      }
      params_["RS"] = std::to_string(a);
      Reply reply = Reply::Ack();
      reply.new_baud = a;
      return reply;
    }
    case kQn: {
      // "%d,%d": the two communication counters of the addressed recorder (all when none is).
      if (!TakeNumber(rest, a) || rest.empty() || rest[0] != ',') return Reply::Error();
      rest.remove_prefix(1);
      if (!TakeNumber(rest, b) || !rest.empty()) return Reply::Error();
      for (int r = 1; r <= recorder_count(); ++r) {
        if (selected_ != 0 && r != selected_) continue;
        params_["QN"] = SetItem(Param("QN"), static_cast<std::size_t>(2 * (r - 1)), std::to_string(a));
        params_["QN"] = SetItem(Param("QN"), static_cast<std::size_t>(2 * (r - 1) + 1), std::to_string(b));
      }
      return Reply::Ack();
    }
    case kNz:
      // "%1d%d": relay 1-3 and its holding time.
      if (!TakeDigits(rest, 1, a) || !TakeNumber(rest, b) || !rest.empty() || a < 1 || a > 3)
        return Reply::Error();
      params_["NZ"] = SetItem(Param("NZ"), static_cast<std::size_t>(a - 1), std::to_string(b));
      return Reply::Ack();
    case kQp: {
      // "%3.3d,%2.2d:%2.2d:%2.2d": the test period, then the time of day of the test.
      int h = 0;
      int m = 0;
      int sec = 0;
      if (!TakeDigits(rest, 3, a) || rest.size() != 9 || rest[0] != ',' ||
          !ParseClock(rest.substr(1), h, m, sec)) {
        return Reply::Error();
      }
      const std::vector<std::string> old = SplitItems(Param("QP"));
      char text[48];
      std::snprintf(text, sizeof text, "%d,%02d:%02d:%02d,%s", a, h, m, sec,
                    old.size() > 2 ? old[2].c_str() : "0");
      params_["QP"] = text;
      return Reply::Ack();
    }
    default:
      break;
  }
  handled = false;
  return {};
}

bool UnitModel::Trigger(int number, std::string& message) {
  if (number < 1 || number > recorder_count()) {
    message = "there is no recorder " + std::to_string(number);
    return false;
  }
  return recorders_[static_cast<std::size_t>(number - 1)].Trigger(message);
}

void UnitModel::TransferDone(int number, int file) {
  if (number < 1 || number > recorder_count()) return;
  recorders_[static_cast<std::size_t>(number - 1)].TransferDone(file);
}

}  // namespace krsim
