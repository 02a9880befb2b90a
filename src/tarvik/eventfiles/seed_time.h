#pragma once

#include <cstdint>
#include <string>

#include "krcommon/clock.h"

namespace tarvik {

// Instants of the seismic exports: microseconds since 1970-01-01 00:00:00 on the time scale the
// recorder's clock kept, which the exports label UTC (miniSEED and SAC know no other). Whole
// calendar arithmetic, no time zones, valid for the proleptic Gregorian calendar.

std::int64_t EpochMicroseconds(const kr::DateTime& value);

struct SeedTimeParts {
  int year = 1970;
  int day_of_year = 1;  // 1..366
  int month = 1;
  int day = 1;
  int hour = 0;
  int minute = 0;
  int second = 0;
  int microsecond = 0;
};
SeedTimeParts SplitEpochMicroseconds(std::int64_t microseconds);

// "2026-03-15T12:00:30.200000Z".
std::string IsoTime(std::int64_t microseconds);

}  // namespace tarvik
