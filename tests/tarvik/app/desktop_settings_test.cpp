// What the main window keeps in Tarvik.ini: the recent documents and the Help menu's addresses; and
// where the installed program finds its help pages.
#include "tarvik/app/desktop_settings.h"

#include <gtest/gtest.h>
#include <stdlib.h>

#include <fstream>

#include "krcommon/ini_file.h"
#include "tarvik/app/app_paths.h"

namespace tarvik {
namespace {

TEST(DesktopSettings, RecentFilesNewestFirstWithoutRepeatsAtMostSixteen) {
  DesktopSettings settings;
  for (int i = 1; i <= 18; ++i) AddRecentFile(settings, "/sites/s" + std::to_string(i) + ".krc");
  AddRecentFile(settings, "/sites/s10.krc");
  ASSERT_EQ(settings.recent_files.size(), 16u);
  EXPECT_EQ(settings.recent_files[0], "/sites/s10.krc");
  EXPECT_EQ(settings.recent_files[1], "/sites/s18.krc");
  EXPECT_EQ(settings.recent_files[15], "/sites/s3.krc");  // s1 and s2 fell off the end
  RemoveRecentFile(settings, "/sites/s18.krc");
  EXPECT_EQ(settings.recent_files[1], "/sites/s17.krc");
}

TEST(DesktopSettings, WrittenAndReadBackAsTheFileShowsThem) {
  DesktopSettings settings;
  AddRecentFile(settings, "/a/one.krc");
  AddRecentFile(settings, "/b/two words.krc");
  settings.home_page = "https://brevik.example/";
  kr::IniFile ini =
      kr::IniFile::Parse("[Recent File List]\nFile1=/old.krc\nFile2=/older.krc\nFile3=/oldest.krc\n");
  WriteDesktopSettings(settings, ini);
  const std::string text = ini.ToText();
  EXPECT_NE(text.find("File1=/b/two words.krc"), std::string::npos) << text;
  EXPECT_NE(text.find("File2=/a/one.krc"), std::string::npos);
  EXPECT_EQ(text.find("File3"), std::string::npos) << "a shorter list leaves no stale entries";
  EXPECT_NE(text.find("HomePage=https://brevik.example/"), std::string::npos);
  const DesktopSettings back = ReadDesktopSettings(ini);
  EXPECT_EQ(back.recent_files, settings.recent_files);
  EXPECT_EQ(back.home_page, settings.home_page);
  EXPECT_EQ(back.support_page, "");
}

TEST(DesktopSettings, VersionPageCarriesTheVersion) {
  EXPECT_EQ(VersionPageAddress("https://x.example/latest", "1.0.0"),
            "https://x.example/latest?version=1.0.0");
  EXPECT_EQ(VersionPageAddress("https://x.example/q?p=t", "1.0.0"), "https://x.example/q?p=t&version=1.0.0");
  EXPECT_EQ(VersionPageAddress("", "1.0.0"), "");
}

TEST(HelpFile, BesideTheProgramOrBelowShareOnceInstalled) {
  std::string pattern = (std::filesystem::temp_directory_path() / "kr-help-XXXXXX").string();
  const std::filesystem::path root = ::mkdtemp(pattern.data());
  const std::filesystem::path bin = root / "bin";
  std::filesystem::create_directories(bin);
  std::filesystem::create_directories(root / "share" / "tarvik" / "help");
  std::ofstream(root / "share" / "tarvik" / "help" / "Tarvik_deu.html") << "x";
  EXPECT_EQ(HelpFilePath(bin, kr::Language::kGerman), root / "share" / "tarvik" / "help" / "Tarvik_deu.html");
  // Not installed there: the build tree's place beside the program.
  EXPECT_EQ(HelpFilePath(bin, kr::Language::kChinese), bin / "help" / "Tarvik_chs.html");
  std::filesystem::create_directories(bin / "help");
  std::ofstream(bin / "help" / "Tarvik_deu.html") << "x";
  EXPECT_EQ(HelpFilePath(bin, kr::Language::kGerman), bin / "help" / "Tarvik_deu.html");
  std::filesystem::remove_all(root);
}

}  // namespace
}  // namespace tarvik
