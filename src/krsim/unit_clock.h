#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "krcommon/clock.h"

namespace krsim {

// A unit's own clock: the PC's clock plus the offset that the clock-setting commands leave.
class UnitClock {
 public:
  explicit UnitClock(const kr::Clock& pc) : pc_(&pc) {}

  kr::DateTime Now() const;
  // "HH:MM:SS": the time of day changes, the date stays. False (and nothing changes) when the text
  // is not a valid time.
  bool SetTime(std::string_view text);
  // "dd.mm.yy": the date changes (years 2000-2099), the time of day stays.
  bool SetDate(std::string_view text);

 private:
  void SetTo(const kr::DateTime& target);

  const kr::Clock* pc_;
  std::int64_t offset_s_ = 0;
};

// "HH:MM:SS" and "dd.mm.yy", the forms the units read and write their clocks in.
std::string TimeText(const kr::DateTime& t);
std::string DateText(const kr::DateTime& t);

// Seconds since 1970-01-01 00:00 of a calendar time (no time zone involved).
std::int64_t SecondsSinceEpoch(const kr::DateTime& t);

}  // namespace krsim
