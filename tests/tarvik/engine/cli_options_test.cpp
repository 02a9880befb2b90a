#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <sstream>

#include "tarvik/cli/cli_session.h"
#include "tarvik/cli/console_ui.h"

namespace tarvik {
namespace {

CliOptions Parse(std::vector<const char*> words) {
  words.insert(words.begin(), "tarvik-cli");
  return ParseCliOptions(static_cast<int>(words.size()), words.data());
}

TEST(CliOptionsTest, OperationsKeepTheirOrderAndTarvikWordsPassThrough) {
  const CliOptions options = Parse(
      {"site.krc", "/l", "--recorder", "2", "--transfer-all=AB", "--list-events", "--transfer-all", "/q"});
  EXPECT_TRUE(options.error.empty());
  EXPECT_EQ(options.tarvik_words, (std::vector<std::string>{"tarvik-cli", "site.krc", "/l", "/q"}));
  ASSERT_EQ(options.operations.size(), 4u);
  EXPECT_EQ(options.operations[0].kind, CliOperation::Kind::kActivateRecorder);
  EXPECT_EQ(options.operations[0].recorder, 2);
  EXPECT_EQ(options.operations[1].kind, CliOperation::Kind::kTransferAll);
  EXPECT_EQ(options.operations[1].root, "AB");
  EXPECT_EQ(options.operations[2].kind, CliOperation::Kind::kListEvents);
  EXPECT_EQ(options.operations[3].root, "");
}

TEST(CliOptionsTest, MacrosAreOperationsAndTheEntryIsOneToTwenty) {
  const CliOptions options = Parse({"site.krc", "--macro", "Na1;IB", "--macro-entry", "20"});
  EXPECT_TRUE(options.error.empty());
  ASSERT_EQ(options.operations.size(), 2u);
  EXPECT_EQ(options.operations[0].kind, CliOperation::Kind::kMacroText);
  EXPECT_EQ(options.operations[0].root, "Na1;IB");
  EXPECT_EQ(options.operations[1].kind, CliOperation::Kind::kMacroEntry);
  EXPECT_EQ(options.operations[1].recorder, 20);
  EXPECT_EQ(Parse({"--macro-entry", "0"}).error, "--macro-entry");
  EXPECT_EQ(Parse({"--macro-entry", "21"}).error, "--macro-entry");
  EXPECT_EQ(Parse({"--macro"}).error, "--macro");
}

TEST(CliOptionsTest, QuestionsAreAskedOnlyWithAnInput) {
  std::ostringstream out;
  std::ostringstream err;
  ConsoleUi ui(out, err);
  EXPECT_FALSE(ui.AskMacroScriptQuestion("Pre-event time:").has_value());
  std::istringstream typed("12\n");
  ui.SetQuestionInput(&typed);
  EXPECT_EQ(ui.AskMacroScriptQuestion("Pre-event time:"), std::optional<std::string>("12"));
  EXPECT_FALSE(ui.AskMacroScriptQuestion("Again:").has_value());  // the input has ended
}

TEST(CliOptionsTest, BadSwitchesAreNamed) {
  EXPECT_EQ(Parse({"--recorder", "17"}).error, "--recorder");
  EXPECT_EQ(Parse({"--recorder", "x2"}).error, "--recorder");
  EXPECT_EQ(Parse({"--recorder"}).error, "--recorder");
  EXPECT_EQ(Parse({"--password"}).error, "--password");
  EXPECT_EQ(Parse({"--transfer"}).error, "--transfer");
  EXPECT_EQ(Parse({"--password", "TORVE"}).password, "TORVE");
}

TEST(CliOptionsTest, BadSwitchEndsWithStatusTwoAndTheUsage) {
  std::ostringstream out;
  std::ostringstream err;
  ConsoleUi ui(out, err);
  EXPECT_EQ(RunCliSession(Parse({"--bogus"}), ui, AppEnvironment{}), 2);
  EXPECT_NE(err.str().find("Unknown or incomplete switch \"--bogus\"."), std::string::npos);
  EXPECT_NE(err.str().find("Usage: tarvik-cli"), std::string::npos);
}

// Every spelling of the help switch shows the program's help text, as tarvik does, and then the
// switches of tarvik-cli.
TEST(CliOptionsTest, HelpShowsTheProgramsHelpThenTheUsage) {
  const std::filesystem::path root =
      std::filesystem::temp_directory_path() / ("kr_cli_help_" + std::to_string(::getpid()));
  AppEnvironment environment;
  environment.environment = [&](std::string_view name) -> std::optional<std::string> {
    if (name == "TARVIK_DATA_ROOT") return root.string();
    return std::nullopt;
  };
  for (const char* word : {"--help", "/?", "-h", "/h", "-help"}) {
    std::ostringstream out;
    std::ostringstream err;
    ConsoleUi ui(out, err);
    EXPECT_EQ(RunCliSession(Parse({word}), ui, environment), 0) << word;
    const std::string shown = out.str() + err.str();
    const size_t help = shown.find("Startup Options\n==========\n\nSyntax:\nTarvik [");
    const size_t usage = shown.find("--new-tcp-document FILE HOST:PORT");
    EXPECT_NE(help, std::string::npos) << word << ": " << shown;
    EXPECT_NE(usage, std::string::npos) << word;
    EXPECT_LT(help, usage) << word;
  }
  std::filesystem::remove_all(root);
}

TEST(ConsoleUiTest, EventRowShowsNumberTypeDateTimePeaksAndSamples) {
  EventListRow row;
  row.number = 3;
  row.type_letter = 'Y';
  row.date = "21.03.24";
  row.time = "20:15:00";
  row.peaks[0] = 21.405;
  row.peaks[1] = -1.5;
  row.peaks[2] = 0;
  row.samples = 800;
  EXPECT_EQ(FormatEventRow(row),
            "  3  Y  21.03.24 20:15:00          21.4050      -1.5000       0.0000       800");
}

}  // namespace
}  // namespace tarvik
