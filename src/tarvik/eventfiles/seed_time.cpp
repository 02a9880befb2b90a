#include "tarvik/eventfiles/seed_time.h"

#include "krcommon/string_table.h"

namespace tarvik {

namespace {

constexpr std::int64_t kMicrosPerSecond = 1000000;
constexpr std::int64_t kMicrosPerDay = 86400 * kMicrosPerSecond;

// Days since 1970-01-01 of a civil date, and back (the well-known era arithmetic on 400-year cycles).
std::int64_t DaysFromCivil(std::int64_t y, unsigned m, unsigned d) {
  y -= m <= 2 ? 1 : 0;
  const std::int64_t era = (y >= 0 ? y : y - 399) / 400;
  const auto yoe = static_cast<unsigned>(y - era * 400);
  const unsigned doy = (153 * (m > 2 ? m - 3 : m + 9) + 2) / 5 + d - 1;
  const unsigned doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
  return era * 146097 + static_cast<std::int64_t>(doe) - 719468;
}

void CivilFromDays(std::int64_t z, int& year, int& month, int& day) {
  z += 719468;
  const std::int64_t era = (z >= 0 ? z : z - 146096) / 146097;
  const auto doe = static_cast<unsigned>(z - era * 146097);
  const unsigned yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
  const unsigned doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
  const unsigned mp = (5 * doy + 2) / 153;
  day = static_cast<int>(doy - (153 * mp + 2) / 5 + 1);
  month = static_cast<int>(mp < 10 ? mp + 3 : mp - 9);
  year = static_cast<int>(static_cast<std::int64_t>(yoe) + era * 400 + (month <= 2 ? 1 : 0));
}

std::int64_t FloorDivide(std::int64_t a, std::int64_t b) {
  std::int64_t q = a / b;
  return (a % b != 0 && (a < 0) != (b < 0)) ? q - 1 : q;
}

}  // namespace

std::int64_t EpochMicroseconds(const kr::DateTime& value) {
  std::int64_t days =
      DaysFromCivil(value.year, static_cast<unsigned>(value.month), static_cast<unsigned>(value.day));
  std::int64_t seconds = days * 86400 + value.hour * 3600 + value.minute * 60 + value.second;
  return seconds * kMicrosPerSecond + std::int64_t{value.millisecond} * 1000;
}

SeedTimeParts SplitEpochMicroseconds(std::int64_t microseconds) {
  SeedTimeParts parts;
  std::int64_t days = FloorDivide(microseconds, kMicrosPerDay);
  std::int64_t rest = microseconds - days * kMicrosPerDay;
  CivilFromDays(days, parts.year, parts.month, parts.day);
  parts.day_of_year = static_cast<int>(days - DaysFromCivil(parts.year, 1, 1) + 1);
  std::int64_t seconds = rest / kMicrosPerSecond;
  parts.microsecond = static_cast<int>(rest % kMicrosPerSecond);
  parts.hour = static_cast<int>(seconds / 3600);
  parts.minute = static_cast<int>(seconds / 60 % 60);
  parts.second = static_cast<int>(seconds % 60);
  return parts;
}

std::string IsoTime(std::int64_t microseconds) {
  SeedTimeParts p = SplitEpochMicroseconds(microseconds);
  return kr::FormatPrintf("%04d-%02d-%02dT%02d:%02d:%02d.%06dZ", p.year, p.month, p.day, p.hour, p.minute,
                          p.second, p.microsecond);
}

}  // namespace tarvik
