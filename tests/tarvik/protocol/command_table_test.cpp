#include "tarvik/protocol/command_table.h"

#include <gtest/gtest.h>

#include <fstream>
#include <set>
#include <sstream>
#include <string>

#include "tarvik/protocol/device_types.h"

namespace tarvik {
namespace {

std::string DataPath(const char* name) {
  return std::string(KR_PROTOCOL_TEST_DATA) + "/" + name;
}

// Lines of a data file without the comment lines.
std::vector<std::string> DataLines(const char* name) {
  std::ifstream in(DataPath(name));
  EXPECT_TRUE(in.good()) << DataPath(name);
  std::vector<std::string> lines;
  for (std::string line; std::getline(in, line);) {
    if (!line.empty() && line[0] != '#') lines.push_back(line);
  }
  return lines;
}

TEST(CommandTable, MatchesTheIndependentlyTypedList) {
  std::vector<std::string> lines = DataLines("command_table.txt");
  ASSERT_EQ(lines.size(), static_cast<size_t>(kCommandCount));
  for (const std::string& line : lines) {
    std::istringstream fields(line);
    int number = -1, recorder = 0, file = 0, data = 0, touched = 0, feature = 0;
    std::string code;
    fields >> number >> code >> recorder >> file >> data >> touched >> feature;
    ASSERT_TRUE(IsValidCommand(number)) << line;
    const CommandEntry& entry = CommandAt(number);
    SCOPED_TRACE(line);
    if (code == "-") {
      EXPECT_TRUE(entry.code.empty());
    } else {
      EXPECT_EQ(entry.code, code);
    }
    EXPECT_EQ(entry.HasRecorderNumber(), recorder == 1);
    EXPECT_EQ(entry.HasFileNumber(), file == 1);
    EXPECT_EQ(entry.HasDataReply(), data == 1);
    EXPECT_EQ(entry.TouchesSettings(), touched == 1);
    EXPECT_EQ(entry.feature_bit, feature);
  }
}

TEST(CommandTable, LooksUpCodesCaseSensitivelyAndFindsBothRowsOfRepeatedCodes) {
  EXPECT_EQ(FindCommand("TE"), 133);
  EXPECT_EQ(FindCommand("Te"), 221);
  EXPECT_EQ(FindCommand("RS"), 28);
  EXPECT_EQ(FindCommand("RS", 29), 156);
  EXPECT_EQ(FindCommand("LP"), 13);
  EXPECT_EQ(FindCommand("LP", 14), 181);
  EXPECT_EQ(FindCommand("Rs", 73), 242);
  EXPECT_EQ(FindCommand("QL2"), 35);
  EXPECT_EQ(FindCommand("Xy"), -1);
  EXPECT_EQ(FindCommand(""), -1);
  static_assert(CommandNumber("Mx2") == 296);
  EXPECT_FALSE(IsValidCommand(297));
  EXPECT_FALSE(IsValidCommand(-1));
}

TEST(DeviceTypes, MatchTheIndependentlyTypedList) {
  std::vector<std::string> lines = DataLines("device_types.txt");
  ASSERT_EQ(lines.size(), static_cast<size_t>(kDeviceTypeCount));
  for (const std::string& line : lines) {
    SCOPED_TRACE(line);
    std::istringstream fields(line.substr(0, line.find(':')));
    int index = -1, from = 0, to = 0;
    char letter = 0;
    fields >> index >> letter >> from >> to;
    const DeviceType* type = DeviceTypeAt(index);
    ASSERT_NE(type, nullptr);
    EXPECT_EQ(type->letter, letter);
    EXPECT_EQ(type->firmware_from, from);
    EXPECT_EQ(type->firmware_to, to);
    for (int column = 1; column <= 21; ++column) {
      int value = 0;
      fields >> value;
      EXPECT_EQ(type->Column(column), value) << "c" << column;
    }
    std::istringstream codes(line.substr(line.find(':') + 1));
    std::set<std::string> expected;
    for (std::string code; codes >> code;) expected.insert(code);
    std::set<std::string> actual(type->unsupported.begin(), type->unsupported.end());
    EXPECT_EQ(actual, expected);
    // Every listed code names a real command, so the list cannot silently miss through a typo.
    for (const std::string& code : expected) EXPECT_GE(FindCommand(code), 0) << code;
  }
}

TEST(DeviceTypes, TypeIsTheFirstRowOfTheModelLetterHoldingTheFirmware) {
  EXPECT_EQ(LookUpDeviceType('S', 3010), 0);
  EXPECT_EQ(LookUpDeviceType('S', 22010), 6);
  EXPECT_EQ(LookUpDeviceType('S', 22032), 6);
  EXPECT_EQ(LookUpDeviceType('S', 22033), 7);
  EXPECT_EQ(LookUpDeviceType('C', 22033), 20);
  EXPECT_EQ(LookUpDeviceType('C', 62099), 23);
  // Between the ranges, other letters and lower case find nothing.
  EXPECT_EQ(LookUpDeviceType('S', 3015), kNoDeviceType);
  EXPECT_EQ(LookUpDeviceType('S', 62070), kNoDeviceType);
  EXPECT_EQ(LookUpDeviceType('X', 62070), kNoDeviceType);
  EXPECT_EQ(LookUpDeviceType('s', 3010), kNoDeviceType);
}

TEST(DeviceTypes, UnsupportedCommandsAndTheNamedColumns) {
  // Type 4 does not know "KR" (183) nor "Ao0" (269); it does know "TE" (133).
  EXPECT_FALSE(DeviceTypeSupports(4, 183));
  EXPECT_FALSE(DeviceTypeSupports(4, 269));
  EXPECT_TRUE(DeviceTypeSupports(4, 133));
  // "Fs" is refused only by type 14, and only the write, not the read "FS".
  EXPECT_FALSE(DeviceTypeSupports(14, 254));
  EXPECT_TRUE(DeviceTypeSupports(14, 176));
  EXPECT_TRUE(DeviceTypeSupports(13, 254));
  // Type 6 shares the list of type 5.
  EXPECT_FALSE(DeviceTypeSupports(6, 165));
  // An unknown type refuses nothing.
  EXPECT_TRUE(DeviceTypeSupports(kNoDeviceType, 183));
  EXPECT_TRUE(DeviceTypeSupports(99, 183));

  EXPECT_TRUE(DeviceTypeAt(0)->AllowsCommit());
  EXPECT_FALSE(DeviceTypeAt(22)->AllowsCommit());
  EXPECT_TRUE(DeviceTypeAt(22)->UsesSecondFileFamily());
  EXPECT_FALSE(DeviceTypeAt(21)->UsesSecondFileFamily());
  EXPECT_TRUE(DeviceTypeAt(21)->AllowsEventValues());
  EXPECT_EQ(DeviceTypeAt(kNoDeviceType), nullptr);
  EXPECT_EQ(DeviceTypeAt(24), nullptr);
}

}  // namespace
}  // namespace tarvik
