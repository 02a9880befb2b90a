#include "krcommon/event_time.h"

#include <string>

namespace kr {

namespace {

bool IsLeapYear(int year) {
  return (year % 4 == 0 && year % 100 != 0) || year % 400 == 0;
}

// Days since 1970-01-01 of a proleptic Gregorian date, and back (the well-known era algorithm).
std::int64_t DaysFromCivil(std::int64_t y, int m, int d) {
  y -= m <= 2 ? 1 : 0;
  std::int64_t era = (y >= 0 ? y : y - 399) / 400;
  std::int64_t yoe = y - era * 400;
  std::int64_t doy = (153 * (m + (m > 2 ? -3 : 9)) + 2) / 5 + d - 1;
  std::int64_t doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
  return era * 146097 + doe - 719468;
}

void CivilFromDays(std::int64_t z, int& year, int& month, int& day) {
  z += 719468;
  std::int64_t era = (z >= 0 ? z : z - 146096) / 146097;
  std::int64_t doe = z - era * 146097;
  std::int64_t yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
  std::int64_t y = yoe + era * 400;
  std::int64_t doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
  std::int64_t mp = (5 * doy + 2) / 153;
  day = static_cast<int>(doy - (153 * mp + 2) / 5 + 1);
  month = static_cast<int>(mp < 10 ? mp + 3 : mp - 9);
  year = static_cast<int>(y + (month <= 2 ? 1 : 0));
}

std::int64_t FloorDiv(std::int64_t a, std::int64_t b) {
  return a / b - ((a % b != 0 && (a < 0) != (b < 0)) ? 1 : 0);
}

// Two digits, zero-padded ("%02d" for 0..99); wider values keep all their digits.
void AppendTwoDigits(std::string& out, int value) {
  if (value >= 0 && value < 100) {
    out.push_back(static_cast<char>('0' + value / 10));
    out.push_back(static_cast<char>('0' + value % 10));
    return;
  }
  out += std::to_string(value);
}

// "%04d".
void AppendYear(std::string& out, int year) {
  if (year >= 0 && year <= 9999) {
    for (int divisor = 1000; divisor > 0; divisor /= 10)
      out.push_back(static_cast<char>('0' + year / divisor % 10));
    return;
  }
  out += std::to_string(year);
}

}  // namespace

int ExpandTwoDigitYear(int two_digit_year, int current_year) {
  int base = ((current_year - 50) / 100) * 100;
  int year = base + two_digit_year;
  if (year < current_year - 50) year += 100;
  return year;
}

int DaysInMonth(int year, int month) {
  static constexpr int kDays[12] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
  if (month < 1 || month > 12) return 0;
  return month == 2 && IsLeapYear(year) ? 29 : kDays[month - 1];
}

bool IsValidDateTime(const DateTime& v) {
  return v.month >= 1 && v.month <= 12 && v.day >= 1 && v.day <= DaysInMonth(v.year, v.month) &&
         v.hour >= 0 && v.hour <= 23 && v.minute >= 0 && v.minute <= 59 && v.second >= 0 && v.second <= 59;
}

std::optional<DateTime> MakeEventDateTime(int two_digit_year, int month, int day, int hour, int minute,
                                          int second, int current_year) {
  DateTime value;
  value.year = ExpandTwoDigitYear(two_digit_year, current_year);
  value.month = month;
  value.day = day;
  value.hour = hour;
  value.minute = minute;
  value.second = second;
  value.millisecond = 0;
  if (!IsValidDateTime(value)) return std::nullopt;
  value.weekday = static_cast<int>(((DaysFromCivil(value.year, month, day) % 7) + 11) % 7);
  return value;
}

DateTime AddSeconds(const DateTime& value, std::int64_t seconds) {
  std::int64_t total = DaysFromCivil(value.year, value.month, value.day) * 86400 + value.hour * 3600 +
                       value.minute * 60 + value.second + seconds;
  std::int64_t days = FloorDiv(total, 86400);
  std::int64_t rest = total - days * 86400;
  DateTime out = value;
  CivilFromDays(days, out.year, out.month, out.day);
  out.hour = static_cast<int>(rest / 3600);
  out.minute = static_cast<int>(rest / 60 % 60);
  out.second = static_cast<int>(rest % 60);
  // 1970-01-01 was a Thursday (weekday 4).
  out.weekday = static_cast<int>(((days % 7) + 11) % 7);
  return out;
}

void AppendEventDate(std::string& out, const DateTime& v, bool us_format, bool two_digit_year) {
  char separator = us_format ? '/' : '.';
  AppendTwoDigits(out, us_format ? v.month : v.day);
  out.push_back(separator);
  AppendTwoDigits(out, us_format ? v.day : v.month);
  out.push_back(separator);
  if (two_digit_year) {
    AppendTwoDigits(out, ((v.year % 100) + 100) % 100);
  } else {
    AppendYear(out, v.year);
  }
}

void AppendEventTime(std::string& out, const DateTime& v, const DateTimeStyle& style) {
  if (!style.us_format) {
    AppendTwoDigits(out, v.hour);
    out.push_back(':');
    AppendTwoDigits(out, v.minute);
    out.push_back(':');
    AppendTwoDigits(out, v.second);
    return;
  }
  bool afternoon = v.hour >= 12;
  AppendTwoDigits(out, v.hour % 12 == 0 ? 12 : v.hour % 12);
  out.push_back(':');
  AppendTwoDigits(out, v.minute);
  out.push_back(':');
  AppendTwoDigits(out, v.second);
  out.push_back(' ');
  const std::string& designator = afternoon ? style.pm_designator : style.am_designator;
  // Without locale designators the text would not say which half of the day it is. Noon to 23:59 is
  // "PM": the 12-hour clock shows 12:30 for both 00:30 and 12:30, so hour 12 must not count as
  // morning.
  out += designator.empty() ? (afternoon ? "PM" : "AM") : designator;
}

std::string FormatEventDate(const DateTime& value, bool us_format, bool two_digit_year) {
  std::string out;
  AppendEventDate(out, value, us_format, two_digit_year);
  return out;
}

std::string FormatEventTime(const DateTime& value, const DateTimeStyle& style) {
  std::string out;
  AppendEventTime(out, value, style);
  return out;
}

std::string FormatEventDateTime(const DateTime& value, const DateTimeStyle& style) {
  std::string out;
  AppendEventDate(out, value, style.us_format);
  out.push_back(' ');
  AppendEventTime(out, value, style);
  return out;
}

}  // namespace kr
