#include "krsim/hayes_modem.h"

#include <algorithm>
#include <cctype>
#include <cstdio>

namespace krsim {

namespace {

constexpr char kCr = 13;
constexpr char kLf = 10;
constexpr char kBackspace = 8;
constexpr std::size_t kMaxCommandLine = 255;
// How long a "RING" may be answered with ATA.
constexpr Millis kRingAnswerWindow{8000};

char Upper(char c) {
  return static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
}
bool IsDigit(char c) {
  return c >= '0' && c <= '9';
}

// Reads the decimal number at the front of `rest` (0 when there is none) and removes it.
int TakeNumber(std::string_view& rest) {
  int value = 0;
  while (!rest.empty() && IsDigit(rest.front())) {
    value = std::min(value * 10 + (rest.front() - '0'), 100000);
    rest.remove_prefix(1);
  }
  return value;
}

// Position of "AT" (in any case) in a command line, or npos.
std::size_t FindAt(const std::string& line) {
  for (std::size_t i = 0; i + 1 < line.size(); ++i) {
    if (Upper(line[i]) == 'A' && Upper(line[i + 1]) == 'T') return i;
  }
  return std::string::npos;
}

bool ContainsNumber(const std::vector<std::string>& list, const std::string& digits) {
  return std::any_of(list.begin(), list.end(),
                     [&](const std::string& entry) { return DialDigits(entry) == digits; });
}

}  // namespace

std::string DialDigits(std::string_view number) {
  std::string digits;
  for (char c : number) {
    if (IsDigit(c) || c == '*' || c == '#') digits.push_back(c);
  }
  return digits;
}

HayesModem::HayesModem(ModemSettings settings, ModemHost& host)
    : settings_(std::move(settings)), host_(host) {
  FactoryReset();
}

void HayesModem::FactoryReset() {
  echo_ = true;
  verbose_ = true;
  quiet_ = false;
  std::fill(std::begin(registers_), std::end(registers_), 0);
  registers_[2] = '+';
  registers_[3] = kCr;
  registers_[4] = kLf;
  registers_[5] = kBackspace;
  registers_[12] = std::max(0, (settings_.guard_time_ms + 10) / 20);
}

int HayesModem::GuardMs() const {
  return registers_[12] * 20;
}

void HayesModem::FromLine(std::string_view bytes, TimePoint now) {
  if (state_ == State::kOnline) {
    OnlineBytes(bytes, now);
    return;
  }
  for (char c : bytes) CommandByte(c, now);
}

void HayesModem::CommandByte(char c, TimePoint now) {
  if (state_ == State::kDialing) {
    // Any key aborts a call in progress, as on every Hayes modem.
    state_ = State::kCommand;
    dial_deadline_.reset();
    Report(Result::kNoCarrier);
    return;
  }
  if (echo_) host_.ToLine(std::string_view(&c, 1));
  if (c == static_cast<char>(registers_[3])) {
    const std::string line = std::move(line_);
    line_.clear();
    ExecuteLine(line, now);
    return;
  }
  if (c == static_cast<char>(registers_[5])) {
    if (!line_.empty()) line_.pop_back();
    return;
  }
  if (c == kLf) return;
  line_.push_back(c);
  if (line_.size() > kMaxCommandLine) {
    line_.clear();
    Report(Result::kError);
  }
}

void HayesModem::OnlineBytes(std::string_view bytes, TimePoint now) {
  const char escape = static_cast<char>(registers_[2]);
  const Millis guard{GuardMs()};
  for (char c : bytes) {
    const auto gap = now - last_line_byte_;
    if (c != escape || plus_count_ >= 3) {
      plus_count_ = 0;  // data, or a fourth escape character: no escape
    } else if (plus_count_ == 0) {
      plus_count_ = gap >= guard ? 1 : 0;  // the first needs silence before it
    } else if (gap > guard) {
      plus_count_ = 1;  // too slow to continue the sequence, but quiet enough to start one
    } else {
      ++plus_count_;
    }
    escape_deadline_.reset();
    if (plus_count_ == 3) escape_deadline_ = now + guard;
    last_line_byte_ = now;
  }
  // The escape characters themselves travel on like any data; the unit ignores them outside frames.
  host_.ToUnit(bytes);
}

void HayesModem::FromUnit(std::string_view bytes) {
  if (state_ == State::kOnline) host_.ToLine(bytes);
}

void HayesModem::OnTimer(TimePoint now) {
  if (dial_deadline_ && now >= *dial_deadline_) {
    dial_deadline_.reset();
    FinishDial();
    last_line_byte_ = now;
  }
  if (escape_deadline_ && now >= *escape_deadline_) {
    escape_deadline_.reset();
    plus_count_ = 0;
    if (state_ == State::kOnline) {
      state_ = State::kOnlineCommand;
      Report(Result::kOk);
    }
  }
}

std::optional<TimePoint> HayesModem::NextDeadline() const {
  if (dial_deadline_ && escape_deadline_) return std::min(*dial_deadline_, *escape_deadline_);
  if (dial_deadline_) return dial_deadline_;
  return escape_deadline_;
}

void HayesModem::ExecuteLine(const std::string& line, TimePoint now) {
  const std::size_t at = FindAt(line);
  if (at == std::string::npos) return;  // not a command line: a modem stays silent
  bool final_sent = false;
  if (!ExecuteCommands(std::string_view(line).substr(at + 2), now, final_sent)) {
    Report(Result::kError);
    return;
  }
  if (!final_sent) Report(Result::kOk);
}

bool HayesModem::ExecuteCommands(std::string_view commands, TimePoint now, bool& final_sent) {
  std::string_view rest = commands;
  while (!rest.empty()) {
    if (!ExecuteOne(rest, now, final_sent)) return false;
    if (final_sent) return true;  // dialling, answering and going online end the line
  }
  return true;
}

bool HayesModem::ExecuteOne(std::string_view& rest, TimePoint now, bool& final_sent) {
  const char command = Upper(rest.front());
  rest.remove_prefix(1);
  switch (command) {
    case ' ':
      return true;
    case 'E':
    case 'V':
    case 'Q': {
      const int value = TakeNumber(rest);
      if (value > 1) return false;
      (command == 'E' ? echo_ : command == 'V' ? verbose_ : quiet_) = value == 1;
      return true;
    }
    case 'X':
    case 'L':
    case 'M':
      return TakeNumber(rest) <= 4;
    case 'H':
      if (TakeNumber(rest) != 0) return false;
      HangUp();
      return true;
    case 'Z':
      TakeNumber(rest);
      HangUp();
      FactoryReset();
      return true;
    case 'I':
      TakeNumber(rest);
      ReportText("KR line modem");
      return true;
    case 'S':
      return SetRegister(rest);
    case '&': {
      if (rest.empty()) return false;
      const char option = Upper(rest.front());
      rest.remove_prefix(1);
      TakeNumber(rest);
      if (option == 'F') FactoryReset();
      return option == 'F' || option == 'C' || option == 'D' || option == 'K' || option == 'W' ||
             option == 'V' || option == 'Y';
    }
    case 'D': {
      std::string_view number = rest;
      rest = {};
      if (!number.empty() && (Upper(number.front()) == 'T' || Upper(number.front()) == 'P')) {
        number.remove_prefix(1);
      }
      if (DialDigits(number).empty() || Connected()) return false;
      StartDial(number, now);
      final_sent = true;
      return true;
    }
    case 'A':
      Answer(now);
      final_sent = true;
      return true;
    case 'O':
      TakeNumber(rest);
      final_sent = true;
      if (state_ != State::kOnlineCommand) {
        Report(Result::kNoCarrier);
        return true;
      }
      state_ = State::kOnline;
      last_line_byte_ = now;
      Report(Result::kConnect);
      return true;
    default:
      return false;
  }
}

bool HayesModem::SetRegister(std::string_view& rest) {
  if (rest.empty() || !IsDigit(rest.front())) return false;
  const int index = TakeNumber(rest);
  if (index >= static_cast<int>(std::size(registers_)) || rest.empty()) return false;
  const char op = rest.front();
  rest.remove_prefix(1);
  if (op == '?') {
    char text[8];
    std::snprintf(text, sizeof text, "%03d", registers_[index]);
    ReportText(text);
    return true;
  }
  if (op != '=') return false;
  const int value = TakeNumber(rest);
  if (value > 255) return false;
  registers_[index] = value;
  return true;
}

void HayesModem::StartDial(std::string_view number, TimePoint now) {
  const std::string digits = DialDigits(number);
  dial_result_ = Result::kConnect;
  if (ContainsNumber(settings_.busy_numbers, digits)) dial_result_ = Result::kBusy;
  if (ContainsNumber(settings_.no_carrier_numbers, digits)) dial_result_ = Result::kNoCarrier;
  state_ = State::kDialing;
  dial_deadline_ = now + Millis(std::max(0, settings_.connect_delay_ms));
  if (settings_.report_ringing && dial_result_ != Result::kBusy) ReportText("RINGING");
}

void HayesModem::FinishDial() {
  const bool connected = dial_result_ == Result::kConnect;
  state_ = connected ? State::kOnline : State::kCommand;
  plus_count_ = 0;
  Report(dial_result_);
  if (connected) host_.CarrierChanged(true);
}

void HayesModem::Answer(TimePoint now) {
  const bool ringing = ring_valid_until_ && now <= *ring_valid_until_ && !Connected();
  rings_ = 0;
  ring_valid_until_.reset();
  if (!ringing) {
    Report(Result::kNoCarrier);
    return;
  }
  state_ = State::kOnline;
  plus_count_ = 0;
  last_line_byte_ = now;
  Report(Result::kConnect);
  host_.CarrierChanged(true);
}

void HayesModem::Ring(TimePoint now) {
  if (state_ != State::kCommand) return;
  ++rings_;
  ring_valid_until_ = now + kRingAnswerWindow;
  Report(Result::kRing);
  if (registers_[0] > 0 && rings_ >= registers_[0]) Answer(now);
}

void HayesModem::HangUp() {
  dial_deadline_.reset();
  escape_deadline_.reset();
  if (!Connected()) return;
  state_ = State::kCommand;
  host_.CarrierChanged(false);
}

void HayesModem::RemoteHangup() {
  if (!Connected()) return;
  state_ = State::kCommand;
  escape_deadline_.reset();
  Report(Result::kNoCarrier);
  host_.CarrierChanged(false);
}

void HayesModem::Report(Result result) {
  if (quiet_) return;
  if (!verbose_) {
    host_.ToLine(std::to_string(static_cast<int>(result)) + "\r");
    return;
  }
  std::string word;
  switch (result) {
    case Result::kOk:
      word = "OK";
      break;
    case Result::kConnect:
      word = "CONNECT " + std::to_string(settings_.connect_rate);
      break;
    case Result::kRing:
      word = "RING";
      break;
    case Result::kNoCarrier:
      word = "NO CARRIER";
      break;
    case Result::kError:
      word = "ERROR";
      break;
    case Result::kBusy:
      word = "BUSY";
      break;
  }
  ReportText(word);
}

void HayesModem::ReportText(std::string_view text) {
  if (quiet_ || !verbose_) return;
  std::string out = "\r\n";
  out.append(text);
  out.append("\r\n");
  host_.ToLine(out);
}

}  // namespace krsim
