#include <gtest/gtest.h>

#include <fstream>
#include <map>
#include <sstream>

#include "ondalyne/core/ondalyne_doc.h"
#include "ondalyne/core/ondalyne_settings.h"
#include "ondalyne/core/view_commands.h"
#include "ondalyne/core/view_state.h"

namespace {

using namespace ondalyne;
namespace fs = std::filesystem;

class SettingsFile : public testing::Test {
 protected:
  void SetUp() override {
    dir_ = fs::temp_directory_path() / ("ondalyne_settings_" + std::to_string(::getpid()));
    fs::create_directories(dir_);
    ini_ = dir_ / "Ondalyne.ini";
  }
  void TearDown() override { fs::remove_all(dir_); }

  std::string Text() const {
    std::ifstream in(ini_);
    std::stringstream s;
    s << in.rdbuf();
    return s.str();
  }
  // section -> key -> value, read line by line as an operator would.
  std::map<std::string, std::map<std::string, std::string>> Keys() const {
    std::map<std::string, std::map<std::string, std::string>> out;
    std::istringstream in(Text());
    std::string line, section;
    while (std::getline(in, line)) {
      if (!line.empty() && line.back() == '\r') line.pop_back();
      if (line.starts_with("[")) {
        section = line.substr(1, line.find(']') - 1);
      } else if (auto eq = line.find('='); eq != std::string::npos) {
        out[section][line.substr(0, eq)] = line.substr(eq + 1);
      }
    }
    return out;
  }
  void Write(const std::string& text) { std::ofstream(ini_) << text; }

  fs::path dir_, ini_;
};

TEST_F(SettingsFile, FirstStartWritesEveryKeyWithItsDefault) {
  OndalyneSettings settings;
  RecentFiles recent;
  ASSERT_TRUE(StartSettings(ini_, settings, recent));
  auto keys = Keys();
  const std::map<std::string, std::string> expected = {
      {"OndScreenFontName", "Arial"}, {"OndPrinterFontName", ""}, {"EnhancedGraphic", "0"},
      {"UsDateFormat", "0"},          {"DotRadius", "5"},         {"Language", "0"},
      {"FixClipboardHeight", "0"}};
  EXPECT_EQ(keys["Settings"], expected);
  EXPECT_EQ(keys["GlobalParameters"], (std::map<std::string, std::string>{{"AutoOffset", "1"}}));
}

TEST_F(SettingsFile, ValuesAreReadAndAFileWithBothFontsIsLeftAlone) {
  const std::string text =
      "; hand-edited\r\n[Settings]\r\nOndScreenFontName=DejaVu Sans\r\nOndPrinterFontName=Liberation "
      "Serif\r\n"
      "Language=2\r\nDotRadius=12abc\r\nUsDateFormat=1\r\nFixClipboardHeight=100\r\n"
      "[GlobalParameters]\r\nAutoOffset=0\r\n";
  Write(text);
  OndalyneSettings settings;
  RecentFiles recent;
  ASSERT_TRUE(StartSettings(ini_, settings, recent));
  EXPECT_EQ(settings.screen_font, "DejaVu Sans");
  EXPECT_EQ(settings.printer_font, "Liberation Serif");
  EXPECT_EQ(settings.language, 2);
  EXPECT_EQ(settings.dot_radius, 12);  // leading digits, as profile integers are read
  EXPECT_EQ(settings.us_date, 1);
  EXPECT_EQ(settings.fix_clipboard_height, 100);
  EXPECT_EQ(settings.auto_offset, 0);
  EXPECT_EQ(settings.enhanced_graphic, 0);
  EXPECT_EQ(Text(), text);  // nothing missing, nothing written
}

TEST_F(SettingsFile, AnEmptyScreenFontIsArialAndTheFileIsCompleted) {
  Write("[Settings]\r\nOndScreenFontName=\r\nDotRadius=9\r\n");
  OndalyneSettings settings;
  RecentFiles recent;
  ASSERT_TRUE(StartSettings(ini_, settings, recent));
  EXPECT_EQ(settings.screen_font, "Arial");
  auto keys = Keys();
  EXPECT_EQ(keys["Settings"]["OndScreenFontName"], "Arial");
  EXPECT_EQ(keys["Settings"]["DotRadius"], "9");
  EXPECT_EQ(keys["Settings"].size(), 7u);
  EXPECT_EQ(keys["GlobalParameters"]["AutoOffset"], "1");
}

TEST_F(SettingsFile, DotRadiusAndRecentFilesAreWrittenIntoTheSameFile) {
  OndalyneSettings settings;
  RecentFiles recent;
  StartSettings(ini_, settings, recent);
  for (int i = 1; i <= 18; ++i) recent.Add("/data/event" + std::to_string(i) + ".skr");
  recent.Add("/data/event5.skr");  // opened again: to the front, not twice
  ASSERT_TRUE(SaveRecentFiles(ini_, recent));
  ASSERT_TRUE(SaveDotRadius(ini_, 7));
  auto keys = Keys();
  EXPECT_EQ(keys["Settings"]["DotRadius"], "7");
  EXPECT_EQ(keys["Settings"]["OndScreenFontName"], "Arial");
  auto& list = keys["Recent File List"];
  ASSERT_EQ(list.size(), 16u);
  EXPECT_EQ(list["File1"], "/data/event5.skr");
  EXPECT_EQ(list["File2"], "/data/event18.skr");
  EXPECT_EQ(list["File16"], "/data/event3.skr");  // 1 and 2 fell off

  RecentFiles again;
  OndalyneSettings reread;
  StartSettings(ini_, reread, again);
  EXPECT_EQ(reread.dot_radius, 7);
  EXPECT_EQ(again.files(), recent.files());
}

TEST(DataFolder, OverrideThenUserDirsThenHomeDocuments) {
  const fs::path config = fs::temp_directory_path() / ("ondalyne_xdg_" + std::to_string(::getpid()));
  fs::create_directories(config);
  std::map<std::string, std::string> env = {{"HOME", "/home/op"}, {"XDG_CONFIG_HOME", config.string()}};
  auto lookup = [&](std::string_view name) -> std::optional<std::string> {
    auto it = env.find(std::string(name));
    if (it == env.end()) return std::nullopt;
    return it->second;
  };
  EXPECT_EQ(DataFolder(lookup), fs::path("/home/op/Documents/Ondalyne"));
  std::ofstream(config / "user-dirs.dirs")
      << "# written by xdg-user-dirs-update\nXDG_DOCUMENTS_DIR=\"$HOME/Dokumente\"\n";
  EXPECT_EQ(DataFolder(lookup), fs::path("/home/op/Dokumente/Ondalyne"));
  env["ONDALYNE_DATA_ROOT"] = "/srv/ondalyne";
  EXPECT_EQ(DataFolder(lookup), fs::path("/srv/ondalyne"));
  fs::remove_all(config);
}

// The enabling rules of the analysis menu, for each kind of file and page, against the command table
// as the operator reads it.
TEST(ViewCommands, EnablingFollowsTheMenuTable) {
  auto enabled = [](int id, CommandContext c) { return FindViewCommand(id)->enabled(c); };
  CommandContext skr{1, true, 0, kModeTimeHistory, 0, true, 5};
  CommandContext vmx7{4, false, 7, kModeTimeHistory, 0, false, 5};
  CommandContext bkr6{5, false, 6, kModeVectorSum, 0, false, 5};
  CommandContext broken{0, false, 0, kModeTimeHistory, 0, false, 5};

  for (CommandContext c : {skr, vmx7, bkr6, broken}) {
    EXPECT_TRUE(enabled(cmd::kTimeHistory, c));
    EXPECT_TRUE(enabled(cmd::kStatus, c));
    EXPECT_TRUE(enabled(cmd::kAllChannels, c));
    EXPECT_TRUE(enabled(cmd::kOffset, c));
  }
  EXPECT_TRUE(enabled(cmd::kFrequency, skr));
  EXPECT_FALSE(enabled(cmd::kFrequency, vmx7));
  EXPECT_FALSE(enabled(cmd::kFrequency, bkr6));
  EXPECT_FALSE(enabled(cmd::kFrequency, broken));
  EXPECT_FALSE(enabled(cmd::kVectorSum, skr));
  EXPECT_FALSE(enabled(cmd::kVectorSum, vmx7));
  EXPECT_TRUE(enabled(cmd::kVectorSum, bkr6));
  EXPECT_TRUE(enabled(cmd::kPeakFrequency, vmx7));
  EXPECT_TRUE(enabled(cmd::kAssessment, skr));
  EXPECT_FALSE(enabled(cmd::kAssessment, vmx7));
  EXPECT_FALSE(enabled(cmd::kAssessment, broken));
  EXPECT_FALSE(enabled(cmd::kPeakFrequency, bkr6));
  // Channels: not on the vector sum page.
  EXPECT_TRUE(enabled(cmd::kChannelX, skr));
  EXPECT_FALSE(enabled(cmd::kChannelX, bkr6));
  EXPECT_FALSE(enabled(cmd::kChannelZ, bkr6));
  // Zoom only on the time history; Copy everywhere but the instrument status.
  EXPECT_TRUE(enabled(cmd::kZoom, skr));
  CommandContext status = skr;
  status.mode = kModeStatus;
  CommandContext frequency = skr;
  frequency.mode = kModeFrequency;
  EXPECT_FALSE(enabled(cmd::kZoom, frequency));
  EXPECT_FALSE(enabled(cmd::kCopy, status));
  EXPECT_TRUE(enabled(cmd::kCopy, frequency));
  // Peak dots: interval files, radius 2..20 can go down, up to 20 can go up.
  EXPECT_FALSE(enabled(cmd::kIncreaseDots, skr));
  for (auto [radius, up, down] : {std::tuple{1, true, false}, std::tuple{2, true, true},
                                  std::tuple{21, true, true}, std::tuple{22, false, true}}) {
    vmx7.dot_radius = radius;
    EXPECT_EQ(enabled(cmd::kIncreaseDots, vmx7), up) << radius;
    EXPECT_EQ(enabled(cmd::kDecreaseDots, vmx7), down) << radius;
  }
  // Check marks: the page, the channel, the offset.
  EXPECT_TRUE(FindViewCommand(cmd::kTimeHistory)->checked(skr));
  EXPECT_FALSE(FindViewCommand(cmd::kFrequency)->checked(skr));
  EXPECT_TRUE(FindViewCommand(cmd::kAllChannels)->checked(skr));
  EXPECT_TRUE(FindViewCommand(cmd::kOffset)->checked(skr));
  EXPECT_FALSE(FindViewCommand(cmd::kOffset)->checked(vmx7));
}

}  // namespace
