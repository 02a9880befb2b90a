#include "tarvik/app/tarvik_app.h"

#include <gtest/gtest.h>
#include <stdlib.h>

#include "app_test_support.h"
#include "tarvik/resources/tarvik_strings.h"

namespace {

namespace fs = std::filesystem;
using tarvik::CCommandLine;
using tarvik::StartupResult;

class TarvikAppTest : public ::testing::Test {
 protected:
  tarvik::AppEnvironment Environment() {
    tarvik::AppEnvironment env;
    env.environment =
        apptest::FakeEnvironment({{"TARVIK_DATA_ROOT", root_.string()}, {"HOME", "/nonexistent"}});
    env.program_directory = "/opt/tarvik/bin";
    env.resolver = [](const std::string&) -> std::optional<std::string> { return std::nullopt; };
    return env;
  }

  StartupResult Start(const std::string& line = "tarvik") {
    app_.emplace(ui_, strings_, Environment());
    return app_->InitInstance(CCommandLine::FromLine(line));
  }

  std::string IniText() const { return apptest::ReadText(root_ / "Tarvik.ini"); }

  apptest::TempDir dir_;
  fs::path root_ = dir_.path() / "Documents" / "Tarvik";
  kr::StringTable strings_ = tarvik::MakeTarvikStringTable();
  apptest::FakeUi ui_;
  std::optional<tarvik::CTarvikApp> app_;
};

TEST_F(TarvikAppTest, FirstStartCreatesTheFoldersAndACompleteSettingsFile) {
  EXPECT_EQ(Start(), StartupResult::kRun);
  EXPECT_TRUE(ui_.shown.empty());
  for (const char* folder : {"Param", "Data", "Temp", "Instant"})
    EXPECT_TRUE(fs::is_directory(root_ / folder));
  const std::string ini = IniText();
  for (const char* section :
       {"[Monitoring]", "[FileLink]", "[Modem1]", "[Modem2]", "[TerminalMode]", "[ControlPanel]",
        "[TarvikSize]", "[MemoryCard]", "[Listner]", "[Export]", "[LocalEventsHistory]", "[SerialPorts]"}) {
    EXPECT_NE(ini.find(section), std::string::npos) << section;
  }
  EXPECT_NE(ini.find("DataPath=" + (root_ / "Data").string() + "\r\n"), std::string::npos);
  EXPECT_EQ(app_->help_file(), "/opt/tarvik/bin/help/Tarvik_enu.html");
  EXPECT_EQ(ui_.status_texts, std::vector<std::string>{"Start Tarvik ..."});
}

TEST_F(TarvikAppTest, LanguageSelectsTextsAndHelpFile) {
  fs::create_directories(root_);
  apptest::WriteText(root_ / "Tarvik.ini", "[Monitoring]\r\nLanguage=1\r\n");
  EXPECT_EQ(Start(), StartupResult::kRun);
  EXPECT_EQ(strings_.Text(518), "Deutsch");
  EXPECT_EQ(app_->help_file(), "/opt/tarvik/bin/help/Tarvik_deu.html");

  apptest::WriteText(root_ / "Tarvik.ini", "[Monitoring]\r\nLanguage=2\r\n");
  EXPECT_EQ(Start(), StartupResult::kRun);
  EXPECT_EQ(strings_.Text(518), "German");
  EXPECT_EQ(app_->help_file(), "/opt/tarvik/bin/help/Tarvik_enu.html");
  EXPECT_NE(IniText().find("Language=2\r\n"), std::string::npos);  // kept as the user wrote it
}

TEST_F(TarvikAppTest, UnusableDataFolderFallsBackAndTheFileStoresTheDefault) {
  fs::create_directories(root_);
  apptest::WriteText(dir_.path() / "not-a-drive", "");
  const fs::path unusable = dir_.path() / "not-a-drive" / "Data";
  apptest::WriteText(root_ / "Tarvik.ini", "[Monitoring]\r\nDataPath=" + unusable.string() + "\r\n");
  EXPECT_EQ(Start(), StartupResult::kRun);
  EXPECT_EQ(ui_.Ids(), std::vector<int>{8571});
  EXPECT_EQ(app_->settings().data_path, root_ / "Data");
  EXPECT_NE(IniText().find("DataPath=" + (root_ / "Data").string() + "\r\n"), std::string::npos);
  EXPECT_EQ(IniText().find(unusable.string()), std::string::npos);
}

TEST_F(TarvikAppTest, InaccessibleDefaultFolderStopsTheStart) {
  apptest::WriteText(dir_.path() / "Documents", "");  // the data root cannot be created
  EXPECT_EQ(Start(), StartupResult::kFailed);
  ASSERT_EQ(ui_.Ids(), std::vector<int>{8570});
  EXPECT_EQ(ui_.shown[0].text,
            "Tarvik can not access the directory \"" + (root_ / "Param").string() + "\".\nCheck permission.");
}

TEST_F(TarvikAppTest, InvalidCommunicationSettingsStopTheStartAndLeaveTheFileAlone) {
  fs::create_directories(root_);
  const std::string original = "; mine\r\n[Monitoring]\r\nComPollingTime=40\r\nComTimeoutKR=79\r\n";
  apptest::WriteText(root_ / "Tarvik.ini", original);
  EXPECT_EQ(Start(), StartupResult::kFailed);
  EXPECT_EQ(ui_.Ids(), std::vector<int>{203});
  EXPECT_NE(ui_.shown[0].text.find((root_ / "Tarvik.ini").string()), std::string::npos);
  EXPECT_EQ(IniText(), original);
}

TEST_F(TarvikAppTest, HelpOptionShowsTheHelpTextAndQuits) {
  EXPECT_EQ(Start("tarvik -?"), StartupResult::kQuit);
  ASSERT_EQ(ui_.shown.size(), 1u);
  EXPECT_EQ(ui_.shown[0].id, 710);
  EXPECT_EQ(ui_.shown[0].icon, tarvik::MessageIcon::kInformation);
  EXPECT_EQ(ui_.shown[0].text, R"(Startup Options
==========

Syntax:
Tarvik ["c:\program files\brevik\linkfile.krc"] [/i "c:\temp\scripts\procedure1.txt"] [/o "c:\temp\output\output1.txt"] [/m] [/d] [/l]

Parameters:
Param1	Connection file
/i	Input Script File
/o	Output Text File
/m	Startup Minimized
/d	Open Direct Link
/l	Do not re-login
/q	quit program at end of script
/?	Shows This Help)");
}

TEST_F(TarvikAppTest, ClosingMinimisedIsRememberedForTheNextStart) {
  ASSERT_EQ(Start(), StartupResult::kRun);
  tarvik::WindowPlacement closing;
  closing.state = tarvik::WindowShowState::kMinimized;
  closing.restore_to_maximized = true;
  closing.normal_rect = tarvik::WindowRect{40, 30, 1240, 830};
  ASSERT_TRUE(app_->OnMainFrameDestroyed(closing));
  const std::string ini = IniText();
  EXPECT_NE(ini.find("MainRect=0040 0030 1240 0830\r\nMainIconic=1\r\nMainMaximized=1\r\n"),
            std::string::npos)
      << ini;

  ASSERT_EQ(Start(), StartupResult::kRun);
  tarvik::WindowPlacement shown = app_->InitialPlacement();
  EXPECT_EQ(shown.state, tarvik::WindowShowState::kMinimized);
  EXPECT_TRUE(shown.restore_to_maximized);
  EXPECT_EQ(shown.normal_rect, (tarvik::WindowRect{40, 30, 1240, 830}));

  closing.state = tarvik::WindowShowState::kMaximized;
  ASSERT_TRUE(app_->OnMainFrameDestroyed(closing));
  EXPECT_NE(IniText().find("MainIconic=0\r\nMainMaximized=1\r\n"), std::string::npos);
  closing.state = tarvik::WindowShowState::kNormal;
  ASSERT_TRUE(app_->OnMainFrameDestroyed(closing));
  EXPECT_NE(IniText().find("MainIconic=0\r\nMainMaximized=0\r\n"), std::string::npos);
  ASSERT_EQ(Start("tarvik /m"), StartupResult::kRun);
  EXPECT_EQ(app_->InitialPlacement().state, tarvik::WindowShowState::kMinimized);
  ASSERT_EQ(Start("tarvik"), StartupResult::kRun);
  EXPECT_EQ(app_->InitialPlacement().state, tarvik::WindowShowState::kNormal);
}

TEST_F(TarvikAppTest, ConnectionFileOnTheCommandLineIsOpened) {
  fs::create_directories(root_);
  const fs::path good = dir_.path() / "my links" / "site 1.krc";
  fs::create_directories(good.parent_path());
  tarvik::ConnectionRecord record;
  record.link_kind = tarvik::LinkKind::kSerial;
  record.com_port = 4;
  ASSERT_EQ(tarvik::WriteConnectionFile(good, record, ui_, strings_), tarvik::WriteOutcome::kWritten);

  ASSERT_EQ(Start("tarvik \"" + good.string() + "\" /i \"" + (dir_.path() / "a b.krs").string() + "\" /q"),
            StartupResult::kRun);
  ASSERT_TRUE(app_->first_document());
  EXPECT_EQ(app_->first_document()->path, good);
  EXPECT_EQ(app_->first_document()->record.com_port, 4);
  EXPECT_EQ(app_->command_line().script_file(), (dir_.path() / "a b.krs").string());
  EXPECT_TRUE(app_->command_line().quit_at_end());

  apptest::WriteText(dir_.path() / "bad.krc", "not a connection");
  ASSERT_EQ(Start("tarvik " + (dir_.path() / "bad.krc").string()), StartupResult::kRun);
  EXPECT_FALSE(app_->first_document());
  EXPECT_EQ(ui_.Ids(), std::vector<int>{513});
}

TEST_F(TarvikAppTest, SettingsThatCannotBeWrittenAreReported) {
  ASSERT_EQ(Start(), StartupResult::kRun);
  fs::remove(root_ / "Tarvik.ini");
  fs::create_directory(root_ / "Tarvik.ini");  // a folder in the way
  EXPECT_FALSE(app_->WriteSettings());
  EXPECT_EQ(ui_.Ids(), std::vector<int>{9401});
}

TEST(TarvikAppEnvironment, DataRootComesFromTheProcessEnvironment) {
  apptest::TempDir dir;
  ASSERT_EQ(setenv("TARVIK_DATA_ROOT", (dir.path() / "root").c_str(), 1), 0);
  kr::StringTable strings = tarvik::MakeTarvikStringTable();
  apptest::FakeUi ui;
  tarvik::CTarvikApp app(ui, strings);
  EXPECT_EQ(app.InitInstance(CCommandLine::FromLine("tarvik")), StartupResult::kRun);
  EXPECT_EQ(app.data_root(), dir.path() / "root");
  EXPECT_TRUE(fs::exists(dir.path() / "root" / "Tarvik.ini"));
  unsetenv("TARVIK_DATA_ROOT");
}

}  // namespace
