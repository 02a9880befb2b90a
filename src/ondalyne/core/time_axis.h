#pragma once

#include <optional>
#include <string>
#include <vector>

#include "krcommon/clock.h"
#include "ondalyne/core/step_rule.h"

namespace ondalyne {

// One tick of a time axis, placed by its sample (or record) position, which may be fractional.
struct TimeTick {
  double position = 0;  // sample index, first <= position <= end - 1
  bool major = false;
  std::string label;
};

struct TimeAxis {
  AxisStep step;     // in seconds
  std::string unit;  // "H:m:s", "h:m:s", "H:m", "D.M.-H:m", "D.M.Y", ... for "Time [%s]"
  std::vector<TimeTick> ticks;
};

// Event files (kinds 1 to 3): the shown duration / 10 is the target step. Below 29 seconds the
// labels are the seconds within the minute with the step's decimals; from there on clock times
// "hh:mm:ss" (US: 12-hour with AM/PM). Ticks fall on multiples of the step in clock time
// (start_seconds_of_day + index / rate).
TimeAxis EventTimeAxis(double first, double end, double rate, double start_seconds_of_day, bool us);

// Interval files (kinds 4 and 5): the target is (shown records / rate) / 10 seconds; the type of
// label follows it (minutes:seconds, hours:minutes, day.month-hour, day.month.year), and the steps of
// the minute, hour and day types are found on the target in those units. Labels are the clock values
// of the start date-time plus the record's offset.
TimeAxis IntervalTimeAxis(double first, double end, double rate, const std::optional<kr::DateTime>& start,
                          double start_seconds_of_day, bool us);

}  // namespace ondalyne
