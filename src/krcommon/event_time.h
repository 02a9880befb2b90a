#pragma once

#include <cstdint>
#include <optional>
#include <string>

#include "krcommon/clock.h"

namespace kr {

// Dates and times of event files: two-digit years, calendar checks, date arithmetic and the date and
// time texts that the header texts, the export and the viewer show.

// The four-digit year of a two-digit year y, within 50 years below and 49 years above the current
// year C: base B = ((C - 50) / 100) x 100, year = B + y, plus 100 when that is below C - 50.
// (With C = 2026: 76 -> 1976, 75 -> 2075, 49 -> 2049.)
int ExpandTwoDigitYear(int two_digit_year, int current_year);

int DaysInMonth(int year, int month);
// Month 1..12, day within the month, hour 0..23, minute and second 0..59.
bool IsValidDateTime(const DateTime& value);

// A calendar value from decoded header fields (two-digit year expanded around current_year);
// nullopt when the fields do not make a valid date and time.
std::optional<DateTime> MakeEventDateTime(int two_digit_year, int month, int day, int hour, int minute,
                                          int second, int current_year);

// The time `seconds` later (earlier when negative), across days, months and years; milliseconds are
// kept and the weekday follows.
DateTime AddSeconds(const DateTime& value, std::int64_t seconds);

// How dates and times are written. US style: dates "%m/%d/%Y", times "%I:%M:%S %p"; otherwise dates
// "%d.%m.%Y" and times "%H:%M:%S". The designators are those of the user's locale; a locale without
// them leaves them empty, and the time text then gets "AM" (hours 0..11) or "PM" (12..23) after the
// blank.
struct DateTimeStyle {
  bool us_format = false;
  std::string am_designator = "AM";
  std::string pm_designator = "PM";
};

// "%d.%m.%Y" or "%m/%d/%Y"; with `two_digit_year` "%d.%m.%y" or "%m/%d/%y".
std::string FormatEventDate(const DateTime& value, bool us_format, bool two_digit_year = false);
// "%H:%M:%S", or in US style "%I:%M:%S %p" with the AM/PM rule above.
std::string FormatEventTime(const DateTime& value, const DateTimeStyle& style);
// Date, a blank, time.
std::string FormatEventDateTime(const DateTime& value, const DateTimeStyle& style);

// The same texts appended to `out`, for writers that reuse one buffer for many rows.
void AppendEventDate(std::string& out, const DateTime& value, bool us_format, bool two_digit_year = false);
void AppendEventTime(std::string& out, const DateTime& value, const DateTimeStyle& style);

}  // namespace kr
