#pragma once

#include <string_view>

namespace tarvik {

// Reply time-outs in milliseconds, from the settings file and the connection.
struct TimeoutSettings {
  int recorder_ms = 400;      // ComTimeoutKR
  int control_unit_ms = 400;  // ComTimeoutHCU
  int set_ms = 600;           // ComTimeoutSet
  int slow_ms = 8000;         // ComTimeoutFp
  int polling_ms = 40;        // ComPollingTime: the engine's tick
  int dial_ms = 60000;        // dial time-out of a modem connection
};

// The same time-outs as counts of engine ticks, fixed when a connection is made.
struct TickLimits {
  int control_unit = 10;
  int recorder = 10;
  int set = 15;
  int slow = 200;
  int dial = 1500;
  int recorder_wait = 0;  // set when a recorder answers "W" (wait m minutes)
};

// Milliseconds to ticks, halves rounded up. A polling time below 1 counts as 1 ms.
int MillisecondsToTicks(long long milliseconds, int polling_ms);

// The tick limits of a connection: each reply time-out plus the extra delay the engine passes when
// it opens the connection, and the dial time-out alone.
TickLimits ComputeTickLimits(const TimeoutSettings& settings, int extra_delay_ms);

// Ticks to wait after a recorder asked for `minutes` of patience: m x (60000 / polling + 0.5),
// truncated.
int RecorderWaitTicks(int minutes, int polling_ms);

// Which tick limit applies while the reply to a command is outstanding.
enum class TimeoutClass { kControlUnit, kRecorder, kSet, kSlow, kRecorderWait, kDial };

// `raw_command` and `modem_text` are the link's texts of the free-form command and the modem
// string; `recorder_waiting` is true while the recorder has asked the PC to wait.
TimeoutClass ClassifyTimeout(int command, std::string_view raw_command, std::string_view modem_text,
                             bool recorder_waiting);

int TickLimitFor(TimeoutClass timeout_class, const TickLimits& limits);

}  // namespace tarvik
