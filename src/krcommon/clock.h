#pragma once

#include <chrono>

namespace kr {

// A local calendar time with milliseconds, as the PC clock shows it.
struct DateTime {
  int year = 1970;
  int month = 1;  // 1..12
  int day = 1;    // 1..31
  int hour = 0;
  int minute = 0;
  int second = 0;
  int millisecond = 0;
  int weekday = 4;  // 0 = Sunday
};

// Every use of the PC's time goes through a Clock so that tests can fix it.
class Clock {
 public:
  virtual ~Clock() = default;
  virtual DateTime LocalNow() const = 0;
  // Seconds between local time and UTC at the present moment (local = UTC + offset).
  virtual int UtcOffsetSeconds() const = 0;
};

class SystemClock final : public Clock {
 public:
  DateTime LocalNow() const override;
  int UtcOffsetSeconds() const override;
};

class FixedClock final : public Clock {
 public:
  explicit FixedClock(DateTime now, int utc_offset_seconds = 0) : now_(now), offset_(utc_offset_seconds) {}
  DateTime LocalNow() const override { return now_; }
  int UtcOffsetSeconds() const override { return offset_; }
  void Set(DateTime now) { now_ = now; }

 private:
  DateTime now_;
  int offset_;
};

}  // namespace kr
