#include "krcommon/ini_file.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

namespace {

const char* kHandEdited =
    "; settings of the field laptop\r\n"
    "[monitoring]\r\n"
    "  ComPollingTime =  40  \r\n"
    "DataPath=\"C:\\Field Data\\\"\r\n"
    "\r\n"
    "; keep this note\r\n"
    "odd line without equals\r\n"
    "[SerialPorts]\r\n"
    "COM1=/dev/ttyUSB0\r\n";

TEST(IniFile, ReadsHandEditedFileWithoutRegardToCase) {
  kr::IniFile ini = kr::IniFile::Parse(kHandEdited);
  EXPECT_EQ(ini.GetInt("Monitoring", "COMPOLLINGTIME", 0), 40);
  EXPECT_EQ(ini.GetString("MONITORING", "datapath", ""), "C:\\Field Data\\");
  EXPECT_EQ(ini.GetString("serialports", "com1", ""), "/dev/ttyUSB0");
  EXPECT_EQ(ini.GetString("Monitoring", "Missing", "dflt"), "dflt");
  EXPECT_EQ(ini.GetInt("Nowhere", "ComPollingTime", 7), 7);
}

TEST(IniFile, IntegersReadLikeTheProfileApi) {
  kr::IniFile ini = kr::IniFile::Parse("[s]\na=12abc\nb=abc\nc= -7\nd=\ne='300'\n");
  EXPECT_EQ(ini.GetInt("s", "a", 99), 12);
  EXPECT_EQ(ini.GetInt("s", "b", 99), 0);
  EXPECT_EQ(ini.GetInt("s", "c", 99), -7);
  EXPECT_EQ(ini.GetInt("s", "d", 99), 0);
  EXPECT_EQ(ini.GetInt("s", "e", 99), 300);
}

TEST(IniFile, RewriteKeepsCommentsOrderAndUnknownLines) {
  kr::IniFile ini = kr::IniFile::Parse(kHandEdited);
  ini.SetInt("MONITORING", "ComPollingTime", 50);
  ini.SetString("Monitoring", "Language", "1");
  ini.SetString("NewSection", "Key", "v");
  EXPECT_EQ(ini.ToText(),
            "; settings of the field laptop\r\n"
            "[monitoring]\r\n"
            "ComPollingTime=50\r\n"
            "DataPath=\"C:\\Field Data\\\"\r\n"
            "Language=1\r\n"
            "\r\n"
            "; keep this note\r\n"
            "odd line without equals\r\n"
            "[SerialPorts]\r\n"
            "COM1=/dev/ttyUSB0\r\n"
            "[NewSection]\r\n"
            "Key=v\r\n");
}

TEST(IniFile, LineEndsFollowTheFirstLineAndStrayCarriageReturnsGo) {
  kr::IniFile unix_file = kr::IniFile::Parse("[A]\nx=1\r\r\ny=2\r\n");
  EXPECT_EQ(unix_file.GetString("A", "x", ""), "1");
  EXPECT_EQ(unix_file.ToText(), "[A]\nx=1\ny=2\n");
  kr::IniFile windows_file = kr::IniFile::Parse("[A]\r\nx=1\ny=2");
  EXPECT_EQ(windows_file.ToText(), "[A]\r\nx=1\r\ny=2\r\n");
}

TEST(IniFile, WriteSectionReplacesKeysInGivenOrder) {
  kr::IniFile ini = kr::IniFile::Parse("[A]\n; note\nx=1\ny=2\n[B]\nz=3\n");
  ini.WriteSection("a", {{"y", "20"}, {"w", "5"}});
  EXPECT_EQ(ini.ToText(), "[A]\n; note\ny=20\nw=5\n[B]\nz=3\n");
  auto entries = ini.Section("A");
  ASSERT_EQ(entries.size(), 2u);
  EXPECT_EQ(entries[1].first, "w");
}

TEST(IniFile, SaveAndLoadRoundTrip) {
  auto path = std::filesystem::temp_directory_path() / "kr_ini_roundtrip.ini";
  kr::IniFile ini = kr::IniFile::Parse(kHandEdited);
  ini.SetString("Monitoring", "TempPath", "/tmp/x");
  ASSERT_TRUE(ini.Save(path));
  kr::IniFile again;
  ASSERT_TRUE(again.Load(path));
  EXPECT_EQ(again.ToText(), ini.ToText());
  std::filesystem::remove(path);
  EXPECT_FALSE(again.Load(path));
  EXPECT_FALSE(again.HasSection("Monitoring"));
}

}  // namespace
