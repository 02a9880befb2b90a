#include "krcommon/event_time.h"

#include <gtest/gtest.h>

namespace {

TEST(TwoDigitYear, WindowAroundTheCurrentYear) {
  EXPECT_EQ(kr::ExpandTwoDigitYear(49, 2026), 2049);
  EXPECT_EQ(kr::ExpandTwoDigitYear(75, 2026), 2075);
  EXPECT_EQ(kr::ExpandTwoDigitYear(76, 2026), 1976);
  EXPECT_EQ(kr::ExpandTwoDigitYear(0, 2026), 2000);
  // In 2000 the window is 1950..2049.
  EXPECT_EQ(kr::ExpandTwoDigitYear(50, 2000), 1950);
  EXPECT_EQ(kr::ExpandTwoDigitYear(49, 2000), 2049);
  // Across a century boundary: in 2060 the window is 2010..2109.
  EXPECT_EQ(kr::ExpandTwoDigitYear(9, 2060), 2109);
  EXPECT_EQ(kr::ExpandTwoDigitYear(10, 2060), 2010);
}

TEST(EventDateTime, InvalidFieldsGiveNoDate) {
  EXPECT_TRUE(kr::MakeEventDateTime(24, 2, 29, 0, 0, 0, 2026).has_value());
  EXPECT_FALSE(kr::MakeEventDateTime(25, 2, 29, 0, 0, 0, 2026).has_value());
  EXPECT_FALSE(kr::MakeEventDateTime(25, 4, 31, 0, 0, 0, 2026).has_value());
  EXPECT_FALSE(kr::MakeEventDateTime(25, 13, 1, 0, 0, 0, 2026).has_value());
  EXPECT_FALSE(kr::MakeEventDateTime(25, 1, 0, 0, 0, 0, 2026).has_value());
  EXPECT_FALSE(kr::MakeEventDateTime(25, 1, 1, 24, 0, 0, 2026).has_value());
  EXPECT_FALSE(kr::MakeEventDateTime(25, 1, 1, 0, 60, 0, 2026).has_value());
  EXPECT_FALSE(kr::MakeEventDateTime(25, 1, 1, 0, 0, 165, 2026).has_value());  // BCD 0xFF
}

TEST(EventDateTime, AddingSecondsCrossesDaysMonthsAndYears) {
  kr::DateTime start = *kr::MakeEventDateTime(25, 12, 31, 23, 59, 59, 2026);
  kr::DateTime next = kr::AddSeconds(start, 1);
  EXPECT_EQ(kr::FormatEventDateTime(next, {}), "01.01.2026 00:00:00");
  EXPECT_EQ(next.weekday, 4);  // 1 January 2026 is a Thursday
  kr::DateTime leap = *kr::MakeEventDateTime(24, 2, 28, 22, 0, 0, 2026);
  EXPECT_EQ(kr::FormatEventDateTime(kr::AddSeconds(leap, 3 * 3600), {}), "29.02.2024 01:00:00");
  EXPECT_EQ(kr::FormatEventDateTime(kr::AddSeconds(leap, -23 * 3600), {}), "27.02.2024 23:00:00");
  EXPECT_EQ(kr::FormatEventDateTime(kr::AddSeconds(leap, 86400LL * 366), {}), "28.02.2025 22:00:00");
}

TEST(EventDateTime, Texts) {
  kr::DateTime t = *kr::MakeEventDateTime(26, 3, 5, 7, 8, 9, 2026);
  EXPECT_EQ(kr::FormatEventDate(t, false), "05.03.2026");
  EXPECT_EQ(kr::FormatEventDate(t, true), "03/05/2026");
  EXPECT_EQ(kr::FormatEventDate(t, false, true), "05.03.26");
  EXPECT_EQ(kr::FormatEventDate(t, true, true), "03/05/26");
  EXPECT_EQ(kr::FormatEventTime(t, {}), "07:08:09");
  kr::DateTimeStyle us{true, "AM", "PM"};
  EXPECT_EQ(kr::FormatEventDateTime(t, us), "03/05/2026 07:08:09 AM");
  kr::DateTime evening = *kr::MakeEventDateTime(26, 3, 5, 19, 0, 1, 2026);
  EXPECT_EQ(kr::FormatEventTime(evening, us), "07:00:01 PM");
}

// A locale without AM/PM designators leaves "%p" empty; the text then gets "AM" or "PM" appended.
TEST(EventDateTime, UsTimesWithoutLocaleDesignatorsGetAmOrPm) {
  kr::DateTimeStyle bare{true, "", ""};
  EXPECT_EQ(kr::FormatEventTime(*kr::MakeEventDateTime(26, 1, 1, 9, 15, 0, 2026), bare), "09:15:00 AM");
  EXPECT_EQ(kr::FormatEventTime(*kr::MakeEventDateTime(26, 1, 1, 0, 30, 0, 2026), bare), "12:30:00 AM");
  EXPECT_EQ(kr::FormatEventTime(*kr::MakeEventDateTime(26, 1, 1, 11, 59, 59, 2026), bare), "11:59:59 AM");
  // Half past noon is afternoon; "12:30:00 AM" would mean half past midnight.
  EXPECT_EQ(kr::FormatEventTime(*kr::MakeEventDateTime(26, 1, 1, 12, 30, 0, 2026), bare), "12:30:00 PM");
  EXPECT_EQ(kr::FormatEventTime(*kr::MakeEventDateTime(26, 1, 1, 13, 0, 0, 2026), bare), "01:00:00 PM");
  // Designators of the locale are used as they are.
  kr::DateTimeStyle german{true, "vorm.", "nachm."};
  EXPECT_EQ(kr::FormatEventTime(*kr::MakeEventDateTime(26, 1, 1, 9, 0, 0, 2026), german), "09:00:00 vorm.");
}

}  // namespace
