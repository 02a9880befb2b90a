#include "tarvik/protocol/tick_limits.h"

#include <algorithm>
#include <array>
#include <limits>

#include "tarvik/protocol/command_table.h"

namespace tarvik {

namespace {

// Writes that make the recorder work for a long time before it answers (baseline, filter commit,
// memory management, erasing, ...): Sy, Zc, Fs, Fg, Ia, Kr, Fp, Zm, Fi, Fe, Pd.
constexpr std::array kSlowCommands = {250, 251, 254, 267, 268, 279, 282, 283, 284, 289, 293};

bool IsSlowCommand(int command) {
  return std::find(kSlowCommands.begin(), kSlowCommands.end(), command) != kSlowCommands.end();
}

bool FreeFormIsSlow(std::string_view raw_command) {
  for (int command : kSlowCommands) {
    if (raw_command.starts_with(CommandAt(command).code)) return true;
  }
  return false;
}

}  // namespace

int MillisecondsToTicks(long long milliseconds, int polling_ms) {
  long long polling = std::max(polling_ms, 1);
  milliseconds = std::max(milliseconds, 0LL);
  long long ticks = (2 * milliseconds + polling) / (2 * polling);
  return static_cast<int>(std::min<long long>(ticks, std::numeric_limits<int>::max()));
}

TickLimits ComputeTickLimits(const TimeoutSettings& settings, int extra_delay_ms) {
  TickLimits limits;
  const long long extra = extra_delay_ms;
  limits.control_unit = MillisecondsToTicks(settings.control_unit_ms + extra, settings.polling_ms);
  limits.recorder = MillisecondsToTicks(settings.recorder_ms + extra, settings.polling_ms);
  limits.set = MillisecondsToTicks(settings.set_ms + extra, settings.polling_ms);
  limits.slow = MillisecondsToTicks(settings.slow_ms + extra, settings.polling_ms);
  limits.dial = MillisecondsToTicks(settings.dial_ms, settings.polling_ms);
  limits.recorder_wait = 0;
  return limits;
}

int RecorderWaitTicks(int minutes, int polling_ms) {
  double per_minute = 60000.0 / std::max(polling_ms, 1) + 0.5;
  double ticks = std::max(minutes, 0) * per_minute;
  if (ticks >= static_cast<double>(std::numeric_limits<int>::max())) return std::numeric_limits<int>::max();
  return static_cast<int>(ticks);
}

TimeoutClass ClassifyTimeout(int command, std::string_view raw_command, std::string_view modem_text,
                             bool recorder_waiting) {
  if (IsSlowCommand(command) || command == cmd::kNa0) return TimeoutClass::kSlow;
  if (command == cmd::kFreeForm && FreeFormIsSlow(raw_command)) return TimeoutClass::kSlow;
  bool is_write = (command >= cmd::kFirstWriteCommand && command < kCommandCount) || command == cmd::kQt ||
                  command == cmd::kFreeForm;
  if (is_write) return recorder_waiting ? TimeoutClass::kRecorderWait : TimeoutClass::kSet;
  bool is_read = (command >= cmd::kFirstRecorderCommand && command <= cmd::kLastReadCommand) ||
                 command == cmd::kNa || command == cmd::kNF;
  if (is_read) return TimeoutClass::kRecorder;
  if (command == cmd::kModemString) {
    if (modem_text.starts_with("AT")) {
      return modem_text.find("ATD") != std::string_view::npos ? TimeoutClass::kDial : TimeoutClass::kRecorder;
    }
    if (modem_text == "+") return TimeoutClass::kRecorder;
  }
  return TimeoutClass::kControlUnit;
}

int TickLimitFor(TimeoutClass timeout_class, const TickLimits& limits) {
  switch (timeout_class) {
    case TimeoutClass::kControlUnit:
      return limits.control_unit;
    case TimeoutClass::kRecorder:
      return limits.recorder;
    case TimeoutClass::kSet:
      return limits.set;
    case TimeoutClass::kSlow:
      return limits.slow;
    case TimeoutClass::kRecorderWait:
      return limits.recorder_wait;
    case TimeoutClass::kDial:
      return limits.dial;
  }
  return limits.control_unit;
}

}  // namespace tarvik
