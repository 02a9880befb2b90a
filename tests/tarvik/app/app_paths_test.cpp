#include "tarvik/app/app_paths.h"

#include <gtest/gtest.h>

#include "app_test_support.h"
#include "tarvik/resources/tarvik_strings.h"

namespace {

namespace fs = std::filesystem;

TEST(DataRoot, EnvironmentVariableOverridesEverything) {
  auto env = apptest::FakeEnvironment({{"TARVIK_DATA_ROOT", "/srv/tarvik-data"}, {"HOME", "/home/op"}});
  EXPECT_EQ(tarvik::FindDataRoot(env), "/srv/tarvik-data");
}

TEST(DataRoot, DocumentsFolderFromTheXdgUserDirs) {
  apptest::TempDir home;
  fs::create_directories(home.path() / ".config");
  apptest::WriteText(home.path() / ".config" / "user-dirs.dirs",
                     "# written by xdg-user-dirs-update\n"
                     "XDG_DESKTOP_DIR=\"$HOME/Schreibtisch\"\n"
                     "XDG_DOCUMENTS_DIR=\"$HOME/Dokumente\"\n");
  auto env = apptest::FakeEnvironment({{"HOME", home.path().string()}, {"TARVIK_DATA_ROOT", ""}});
  EXPECT_EQ(tarvik::FindDataRoot(env), home.path() / "Dokumente" / "Tarvik");
}

TEST(DataRoot, XdgConfigHomeAndAbsoluteDocumentsPath) {
  apptest::TempDir config;
  apptest::WriteText(config.path() / "user-dirs.dirs", "XDG_DOCUMENTS_DIR=\"/data/docs\"\n");
  auto env = apptest::FakeEnvironment({{"HOME", "/home/op"}, {"XDG_CONFIG_HOME", config.path().string()}});
  EXPECT_EQ(tarvik::FindDataRoot(env), "/data/docs/Tarvik");
}

TEST(DataRoot, WithoutUserDirsDocumentsBelowHome) {
  apptest::TempDir home;
  auto env = apptest::FakeEnvironment({{"HOME", home.path().string()}});
  EXPECT_EQ(tarvik::FindDataRoot(env), home.path() / "Documents" / "Tarvik");
  EXPECT_EQ(tarvik::FindDataRoot(apptest::FakeEnvironment({})), fs::path());
}

TEST(HelpFile, OnePagePerLanguageUnderHelpNextToTheProgram) {
  EXPECT_EQ(tarvik::HelpFilePath("/opt/tarvik/bin", kr::LanguageFromSetting(0)),
            "/opt/tarvik/bin/help/Tarvik_enu.html");
  EXPECT_EQ(tarvik::HelpFilePath("/opt/tarvik/bin", kr::LanguageFromSetting(1)),
            "/opt/tarvik/bin/help/Tarvik_deu.html");
  EXPECT_EQ(tarvik::HelpFilePath("/opt/tarvik/bin", kr::LanguageFromSetting(2)),
            "/opt/tarvik/bin/help/Tarvik_enu.html");
  EXPECT_EQ(tarvik::HelpFilePath("/opt/tarvik/bin", kr::LanguageFromSetting(3)),
            "/opt/tarvik/bin/help/Tarvik_chs.html");
}

class PreparePathsTest : public ::testing::Test {
 protected:
  apptest::TempDir dir_;
  fs::path root_ = dir_.path() / "Documents" / "Tarvik";
  kr::StringTable strings_ = tarvik::MakeTarvikStringTable();
  apptest::FakeUi ui_;
};

TEST_F(PreparePathsTest, CreatesEveryFolderWithItsParents) {
  tarvik::TarvikSettings settings = tarvik::DefaultSettings(root_);
  settings.data_path = dir_.path() / "site" / "events" / "2024";
  EXPECT_EQ(tarvik::PreparePaths(settings, root_, ui_, strings_), std::nullopt);
  EXPECT_TRUE(ui_.shown.empty());
  for (const fs::path& p : {root_ / "Param", dir_.path() / "site" / "events" / "2024", root_ / "Temp",
                            root_ / "Instant", root_}) {
    EXPECT_TRUE(fs::is_directory(p)) << p;
  }
  EXPECT_EQ(settings.data_path, dir_.path() / "site" / "events" / "2024");
}

TEST_F(PreparePathsTest, FolderThatCannotBeCreatedFallsBackToTheDefault) {
  // A regular file where a parent folder should be: creating below it fails even for root.
  apptest::WriteText(dir_.path() / "blocker", "");
  tarvik::TarvikSettings settings = tarvik::DefaultSettings(root_);
  const fs::path unusable = dir_.path() / "blocker" / "Data";
  settings.data_path = unusable;
  EXPECT_EQ(tarvik::PreparePaths(settings, root_, ui_, strings_), std::nullopt);
  ASSERT_EQ(ui_.shown.size(), 1u);
  EXPECT_EQ(ui_.shown[0].id, 8571);
  EXPECT_EQ(ui_.shown[0].icon, tarvik::MessageIcon::kWarning);
  EXPECT_EQ(ui_.shown[0].text, "Tarvik can not access the directory \"" + unusable.string() +
                                   "\".\nTarvik uses the default directory \"" + (root_ / "Data").string() +
                                   "\".");
  EXPECT_EQ(settings.data_path, root_ / "Data");
  EXPECT_TRUE(fs::is_directory(root_ / "Data"));
}

TEST_F(PreparePathsTest, ReturnsTheFolderWhenEvenTheDefaultCannotBeCreated) {
  apptest::WriteText(dir_.path() / "blocker", "");
  const fs::path bad_root = dir_.path() / "blocker" / "Tarvik";
  tarvik::TarvikSettings settings = tarvik::DefaultSettings(bad_root);
  settings.parameter_path = dir_.path() / "blocker" / "Param";
  auto failed = tarvik::PreparePaths(settings, bad_root, ui_, strings_);
  ASSERT_TRUE(failed);
  EXPECT_EQ(*failed, bad_root / "Param");
  EXPECT_EQ(ui_.Ids(), std::vector<int>{8571});

  // A default that fails at once is not announced as a fallback.
  ui_.shown.clear();
  settings = tarvik::DefaultSettings(bad_root);
  failed = tarvik::PreparePaths(settings, bad_root, ui_, strings_);
  ASSERT_TRUE(failed);
  EXPECT_EQ(*failed, bad_root / "Param");
  EXPECT_TRUE(ui_.shown.empty());
}

}  // namespace
