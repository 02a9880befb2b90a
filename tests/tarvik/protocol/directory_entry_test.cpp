#include "tarvik/protocol/directory_entry.h"

#include <gtest/gtest.h>

#include "tarvik/protocol/event_file_names.h"

namespace tarvik {
namespace {

DirectoryEntryOptions Options(char model = 'S') {
  DirectoryEntryOptions options;
  options.model_letter = model;
  options.current_year = 2024;
  return options;
}

TEST(DirectoryEntryTest, UsFormatKeepsMonthFirstAndTwelveHourTime) {
  DirectoryEntryOptions options = Options('X');
  options.us_date_format = true;
  const DirectoryEntry entry = ParseDirectoryEntry("P13:05:09,07.03.24,1,2,3,40", options);
  EXPECT_EQ(entry.date, "03/07/24");
  EXPECT_EQ(entry.time, "01:05:09 PM");
  EXPECT_EQ(entry.kind, 5);
  const DirectoryEntry midnight = ParseDirectoryEntry("N00:10:00,01.12.23,1,2,3,40", options);
  EXPECT_EQ(midnight.time, "12:10:00 AM");
  EXPECT_EQ(midnight.kind, 3);
}

TEST(DirectoryEntryTest, LocalTimeCorrectionShiftsAcrossTheDate) {
  DirectoryEntryOptions options = Options();
  options.local_time_correction = true;
  options.correction = "-13";
  DirectoryEntry entry = ParseDirectoryEntry("N12:30:45,01.03.24,1,2,3,40", options);
  EXPECT_EQ(entry.date, "29.02.24");  // 2024 is a leap year
  EXPECT_EQ(entry.time, "23:30:45");
  options.correction = "+02";
  entry = ParseDirectoryEntry("N23:00:00,31.12.23,1,2,3,40", options);
  EXPECT_EQ(entry.date, "01.01.24");
  EXPECT_EQ(entry.time, "01:00:00");
  EXPECT_EQ(entry.date_time.year, 2024);
}

TEST(DirectoryEntryTest, MalformedFieldsBecomeBlanksAndHugeCountsClearThePeaks) {
  const DirectoryEntry entry = ParseDirectoryEntry("Y12-30-45,7.3.24,100,200,300,10000000", Options('C'));
  EXPECT_EQ(entry.time, std::string(11, ' '));
  EXPECT_EQ(entry.date, std::string(8, ' '));
  EXPECT_FALSE(entry.has_date_time);
  EXPECT_EQ(entry.samples, 0u);
  EXPECT_DOUBLE_EQ(entry.peaks[0], 0.0);
  EXPECT_EQ(entry.kind, 2);
  EXPECT_EQ(ParseDirectoryEntry("", Options('C')).type_letter, '?');
  EXPECT_EQ(ParseDirectoryEntry("N12:00:00,01.01.24,1,2,3,9999999", Options('S')).samples, 9999999u);
}

TEST(EventFileNameTest, RecorderTextCannotLeaveTheFolder) {
  EXPECT_EQ(SanitiseFileNamePart("../../etc/passwd"), "__.__etc_passwd");
  EXPECT_EQ(SanitiseFileNamePart("a\tb\\c:d"), "a_b_c_d");
  EXPECT_EQ(SanitiseFileNamePart("St. Gallen"), "St. Gallen");
  EXPECT_EQ(SanitisedPrefix("/data/events/..x..y"), "/data/events/_x._y");
  EXPECT_EQ(RecorderNumericEventFileName("/d/", 3, 17, "SKR"), "/d/03017.skr");
  EXPECT_EQ(NumericEventFileName("/d/root", 7, "XKR"), "/d/root007.xkr");
  EXPECT_EQ(SecondPartFileName("/d.x/03017.skr"), "/d.x/03017_2.skr");
}

}  // namespace
}  // namespace tarvik
