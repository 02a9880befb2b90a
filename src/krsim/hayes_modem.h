#pragma once

#include <chrono>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace krsim {

using SteadyClock = std::chrono::steady_clock;
using TimePoint = SteadyClock::time_point;
using Millis = std::chrono::milliseconds;

struct ModemSettings {
  // Time from "ATD..." to the result word.
  int connect_delay_ms = 2000;
  // The rate reported in "CONNECT <rate>".
  int connect_rate = 9600;
  // Dialled numbers (compared by their digits) that get "BUSY" or "NO CARRIER" instead of CONNECT.
  std::vector<std::string> busy_numbers;
  std::vector<std::string> no_carrier_numbers;
  // Silence before and after "+++" (register S12, in 1/50 s; this is its value in milliseconds).
  int guard_time_ms = 1000;
  // Report "RINGING" while the remote side is being called (extended result codes).
  bool report_ringing = false;
};

// Where the modem's output goes: the PC's side of the line, the recorder behind the connection, and
// the carrier (a connection starts or ends a session of the unit).
class ModemHost {
 public:
  virtual ~ModemHost() = default;
  virtual void ToLine(std::string_view bytes) = 0;
  virtual void ToUnit(std::string_view bytes) = 0;
  virtual void CarrierChanged(bool up) = 0;
};

// A Hayes-compatible modem between the PC's serial line and the unit: AT commands in command mode,
// dialling with a configurable outcome, transparent data once connected, "+++" escape with guard
// times, hang-up, and incoming calls announced with "RING".
class HayesModem {
 public:
  HayesModem(ModemSettings settings, ModemHost& host);

  void FromLine(std::string_view bytes, TimePoint now);
  void FromUnit(std::string_view bytes);
  void OnTimer(TimePoint now);
  std::optional<TimePoint> NextDeadline() const;

  // An incoming call: "RING", answered by "ATA" (or automatically after S0 rings).
  void Ring(TimePoint now);
  // The unit dropped the connection: "NO CARRIER", back to command mode.
  void RemoteHangup();

  bool Online() const { return state_ == State::kOnline; }
  bool Connected() const { return state_ == State::kOnline || state_ == State::kOnlineCommand; }

 private:
  enum class State { kCommand, kDialing, kOnline, kOnlineCommand };
  enum class Result { kOk = 0, kConnect = 1, kRing = 2, kNoCarrier = 3, kError = 4, kBusy = 7 };

  void CommandByte(char c, TimePoint now);
  void OnlineBytes(std::string_view bytes, TimePoint now);
  void ExecuteLine(const std::string& line, TimePoint now);
  // Runs the commands after "AT"; false when one of them is unknown.
  bool ExecuteCommands(std::string_view commands, TimePoint now, bool& dialled);
  bool ExecuteOne(std::string_view& rest, TimePoint now, bool& dialled);
  bool SetRegister(std::string_view& rest);
  void StartDial(std::string_view number, TimePoint now);
  void FinishDial();
  void Answer(TimePoint now);
  void HangUp();
  void FactoryReset();
  void Report(Result result);
  void ReportText(std::string_view text);
  int GuardMs() const;

  ModemSettings settings_;
  ModemHost& host_;
  State state_ = State::kCommand;
  std::string line_;
  bool echo_ = true;
  bool verbose_ = true;
  bool quiet_ = false;
  int registers_[40] = {};
  // Dialling
  std::optional<TimePoint> dial_deadline_;
  Result dial_result_ = Result::kConnect;
  // Incoming call
  int rings_ = 0;
  std::optional<TimePoint> ring_valid_until_;
  // Escape detection
  TimePoint last_line_byte_{};
  int plus_count_ = 0;
  std::optional<TimePoint> escape_deadline_;
};

// The digits of a dial string ("ATDT 0-123,45" dials 012345).
std::string DialDigits(std::string_view number);

}  // namespace krsim
