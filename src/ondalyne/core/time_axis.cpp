#include "ondalyne/core/time_axis.h"

#include <cmath>

#include "krcommon/event_time.h"
#include "krcommon/string_table.h"

namespace ondalyne {

namespace {

constexpr int kMaxTicks = 2000;

const char* SecondsFormat(int decade_exponent) {
  if (decade_exponent <= -4) return "%04.4lf";
  if (decade_exponent == -3) return "%04.3lf";
  if (decade_exponent == -2) return "%04.2lf";
  if (decade_exponent == -1) return "%04.1lf";
  return "%02.0lf";
}

// Hours 1..12 and the half of the day for US labels.
int TwelveHour(int hour) {
  return hour % 12 == 0 ? 12 : hour % 12;
}
const char* HalfOfDay(int hour) {
  return hour >= 12 ? "PM" : "AM";
}

// Every multiple of the minor step of `clock` (seconds) in [clock_first, clock_last], with the
// sample position of each.
template <typename Label>
void PlaceTicks(TimeAxis& axis, double clock_first, double clock_last, double first, double rate,
                Label label) {
  const double minor = axis.step.minor;
  if (!(minor > 0) || !(clock_last >= clock_first)) return;
  const double k0 = std::ceil(clock_first / minor - 1e-9);
  const double k1 = std::floor(clock_last / minor + 1e-9);
  if (k1 - k0 > kMaxTicks) return;
  const int per_major = minor * 4.5 < axis.step.major ? 5 : 4;
  for (double k = k0; k <= k1; k += 1) {
    TimeTick tick;
    const double clock = k * minor;
    tick.position = first + (clock - clock_first) * rate;
    tick.major = std::llround(k) % per_major == 0;
    if (tick.major) tick.label = label(clock);
    axis.ticks.push_back(std::move(tick));
  }
}

}  // namespace

TimeAxis EventTimeAxis(double first, double end, double rate, double start_seconds_of_day, bool us) {
  TimeAxis axis;
  if (!(rate > 0)) return axis;
  const double shown = std::max(end - first - 1, 0.0);
  const double t = (end - first) / rate / 10.0;
  axis.step = StepRule(t);
  axis.unit = us ? "h:m:s" : "H:m:s";
  const double clock_first = start_seconds_of_day + first / rate;
  const double clock_last = clock_first + shown / rate;
  if (t < 29) {
    const char* format = SecondsFormat(axis.step.decade_exponent);
    PlaceTicks(axis, clock_first, clock_last, first, rate, [&](double clock) {
      double in_minute = std::fmod(clock, 60.0);
      if (in_minute < 0) in_minute += 60.0;
      if (in_minute > 60.0 - 1e-9) in_minute = 0;
      return kr::FormatPrintfRuntime(format, std::fabs(in_minute) < 1e-9 ? 0.0 : in_minute);
    });
  } else {
    PlaceTicks(axis, clock_first, clock_last, first, rate, [&](double clock) {
      long long whole = std::llround(clock);
      long long of_day = ((whole % 86400) + 86400) % 86400;
      int h = static_cast<int>(of_day / 3600), m = static_cast<int>(of_day / 60 % 60),
          s = static_cast<int>(of_day % 60);
      if (us) return kr::FormatPrintf("%2.2d:%2.2d:%2.2d %s", TwelveHour(h), m, s, HalfOfDay(h));
      return kr::FormatPrintf("%2.2d:%2.2d:%2.2d", h, m, s);
    });
  }
  return axis;
}

TimeAxis IntervalTimeAxis(double first, double end, double rate, const std::optional<kr::DateTime>& start,
                          double start_seconds_of_day, bool us) {
  TimeAxis axis;
  if (!(rate > 0)) return axis;
  const double shown = std::max(end - first - 1, 0.0);
  const double t = (end - first) / rate / 10.0;
  double unit_seconds = 1;
  if (t < 29) {
    axis.unit = us ? "h:m:s" : "H:m:s";
  } else if (t < 1000) {
    unit_seconds = 60;
    axis.unit = us ? "h:m" : "H:m";
  } else if (t < 50000) {
    unit_seconds = 3600;
    axis.unit = us ? "M/D-h:m" : "D.M.-H:m";
  } else {
    unit_seconds = 86400;
    axis.unit = us ? "M/D/Y" : "D.M.Y";
  }
  axis.step = StepRule(t / unit_seconds);
  axis.step.major *= unit_seconds;
  axis.step.minor *= unit_seconds;

  // Clock seconds counted from the midnight that starts the record's first day.
  const double clock_first = start_seconds_of_day + first / rate;
  const double clock_last = clock_first + shown / rate;
  kr::DateTime midnight;
  if (start) {
    midnight = *start;
    midnight.hour = midnight.minute = midnight.second = midnight.millisecond = 0;
  }
  PlaceTicks(axis, clock_first, clock_last, first, rate, [&](double clock) {
    kr::DateTime at = kr::AddSeconds(midnight, std::llround(clock));
    if (unit_seconds == 1) return kr::FormatPrintf("%2.2d:%2.2d", at.minute, at.second);
    if (unit_seconds == 60) {
      if (us) return kr::FormatPrintf("%2.2d:%2.2d %s", TwelveHour(at.hour), at.minute, HalfOfDay(at.hour));
      return kr::FormatPrintf("%2.2d:%2.2d", at.hour, at.minute);
    }
    if (unit_seconds == 3600) {
      if (us)
        return kr::FormatPrintf("%2.2d/%2.2d-%2.2d:00 %s", at.month, at.day, TwelveHour(at.hour),
                                HalfOfDay(at.hour));
      return kr::FormatPrintf("%2.2d.%2.2d-%2.2d:00", at.day, at.month, at.hour);
    }
    if (us) return kr::FormatPrintf("%2.2d/%2.2d/%2.2d", at.month, at.day, at.year % 100);
    return kr::FormatPrintf("%2.2d.%2.2d.%2.2d", at.day, at.month, at.year % 100);
  });
  return axis;
}

}  // namespace ondalyne
