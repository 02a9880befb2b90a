// The maintenance actions of tarvik-cli against krsim over loopback TCP: the frames krsim received
// (its transcript), the file numbers forced into Tn and Th, and the messages shown.
#include <gtest/gtest.h>
#include <stdlib.h>

#include <filesystem>
#include <fstream>
#include <map>
#include <sstream>

#include "../support/file_text.h"
#include "krsim/sim_process.h"
#include "tarvik/cli/cli_session.h"

namespace tarvik {
namespace {

namespace fs = std::filesystem;
using kr_test::ReadAll;
using kr_test::WriteText;
using krsim_test::In;
using krsim_test::SimProcess;

// The frames krsim received, in order: the text of each "RX" line of its transcript.
std::vector<std::string> ReceivedFrames(const fs::path& log) {
  std::vector<std::string> frames;
  std::istringstream lines(ReadAll(log));
  std::string line;
  while (std::getline(lines, line)) {
    const size_t rx = line.find(" RX ");
    if (rx != std::string::npos) frames.push_back(line.substr(rx + 4));
  }
  return frames;
}

// The frames from the first one that begins with `first` on, each cut to the length of the prefix
// expected at its place; empty when no frame begins with `first`.
std::vector<std::string> FramesFrom(const std::vector<std::string>& frames, const std::string& first,
                                    const std::vector<std::string>& expected) {
  for (size_t i = 0; i < frames.size(); ++i) {
    if (!frames[i].starts_with(first)) continue;
    std::vector<std::string> cut;
    for (size_t k = 0; k < expected.size() && i + k < frames.size(); ++k)
      cut.push_back(frames[i + k].substr(0, expected[k].size()));
    return cut;
  }
  return {};
}

struct CliResult {
  int status = -1;
  std::string err;
  std::vector<int> messages;
  int password_prompts = 0;
};

class MaintenanceIntegrationTest : public ::testing::Test {
 protected:
  MaintenanceIntegrationTest() {
    std::string pattern = (fs::temp_directory_path() / "kr-maint-it-XXXXXX").string();
    folder_ = ::mkdtemp(pattern.data());
  }
  ~MaintenanceIntegrationTest() override {
    std::error_code ec;
    fs::remove_all(folder_, ec);
  }

  fs::path Log() const { return folder_ / "krsim.log"; }

  // krsim on a free TCP port with the given unit description (empty: its default unit).
  std::unique_ptr<SimProcess> StartSim(const std::string& config) {
    std::vector<std::string> args = {"--tcp", "0", "--no-stdin", "--log", Log().string()};
    if (!config.empty()) {
      WriteText(folder_ / "sim.ini", config);
      args.push_back("--config");
      args.push_back((folder_ / "sim.ini").string());
    }
    auto sim = std::make_unique<SimProcess>(args);
    const std::string port = sim->WaitFor("PORT ", In(krsim_test::kGenerous));
    port_ = port.empty() ? 0 : std::stoi(port);
    return sim;
  }

  fs::path Document() {
    ConnectionRecord record;
    record.link_kind = LinkKind::kTcp;
    record.ip_address = "127.0.0.1";
    record.ip_port = port_;
    record.connection_timeout = 500;
    const fs::path path = folder_ / "site.krc";
    const std::vector<uint8_t> bytes = SerializeConnectionRecord(record);
    std::ofstream file(path, std::ios::binary | std::ios::trunc);
    file.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
    return path;
  }

  CliResult RunCli(std::vector<std::string> args) {
    std::map<std::string, std::string> environment = {{"TARVIK_DATA_ROOT", (folder_ / "root").string()}};
    std::vector<const char*> argv = {"tarvik-cli"};
    const std::string document = Document().string();
    argv.push_back(document.c_str());
    for (const std::string& a : args) argv.push_back(a.c_str());
    const CliOptions options = ParseCliOptions(static_cast<int>(argv.size()), argv.data());
    std::ostringstream out;
    std::ostringstream err;
    ConsoleUi ui(out, err);
    AppEnvironment app_environment;
    app_environment.environment = [environment](std::string_view name) -> std::optional<std::string> {
      const auto it = environment.find(std::string(name));
      if (it == environment.end()) return std::nullopt;
      return it->second;
    };
    app_environment.program_directory = folder_;
    CliResult result;
    result.status = RunCliSession(options, ui, app_environment);
    result.err = err.str();
    result.messages = ui.message_ids();
    result.password_prompts = ui.password_prompts();
    return result;
  }

  // krsim's own view of recorder `n` after the run: its MN answer is asked with a second session.
  fs::path folder_;
  int port_ = 0;
};

const char* kHcuWithTriggerMode5 =
    "[Unit]\nType=HCU\nRecorders=1\n[Recorder1]\nModel=C\nFirmware=22060\nTriggerMode=5\n";

TEST_F(MaintenanceIntegrationTest, EraseWithTriggerMode0SkipsBothTn) {
  auto sim = StartSim("");
  ASSERT_GT(port_, 0);
  const CliResult result = RunCli({"--password", "TORVE", "--erase-all"});
  sim->Stop();
  EXPECT_EQ(result.status, 0) << result.err;
  EXPECT_EQ(result.messages, std::vector<int>{243}) << result.err;
  EXPECT_NE(result.err.find("All events erased."), std::string::npos);
  // Log-in and erase: two password prompts, both answered from the command line.
  EXPECT_EQ(result.password_prompts, 2);
  const std::vector<std::string> expected = {"(TN", "(Th0", "(MfTORVE", "(MN", "(Na0"};
  EXPECT_EQ(FramesFrom(ReceivedFrames(Log()), "(TN", expected), expected);
}

TEST_F(MaintenanceIntegrationTest, EraseSwitchesTriggeringOffAndRestoresTheTriggerMode) {
  auto sim = StartSim(kHcuWithTriggerMode5);
  ASSERT_GT(port_, 0);
  const CliResult result = RunCli({"--erase-all"});
  sim->Stop();
  EXPECT_EQ(result.status, 0) << result.err;
  EXPECT_EQ(result.messages, std::vector<int>{243}) << result.err;
  const std::vector<std::string> expected = {"(TN", "(Tn0", "(Th0", "(MfTORVE", "(MN", "(Tn5", "(Na0"};
  EXPECT_EQ(FramesFrom(ReceivedFrames(Log()), "(TN", expected), expected);
}

// The recorder's password differs from the control unit's: the log-in works, Mf is refused. The
// events stay, and triggering is switched on again before the message.
TEST_F(MaintenanceIntegrationTest, EraseWithAWrongPasswordGives242AndKeepsTheEvents) {
  auto sim = StartSim(std::string(kHcuWithTriggerMode5) + "Password=OTHER\n");
  ASSERT_GT(port_, 0);
  const CliResult result = RunCli({"--erase-all", "--list-events"});
  EXPECT_EQ(result.status, 1);
  ASSERT_FALSE(result.messages.empty());
  EXPECT_EQ(result.messages.front(), 242) << result.err;
  EXPECT_NE(result.err.find("Wrong password. No events erased."), std::string::npos);
  const CliResult after = RunCli({"--list-events"});
  sim->Stop();
  EXPECT_EQ(after.status, 0) << after.err;
  const std::vector<std::string> frames = ReceivedFrames(Log());
  const std::vector<std::string> start = {"(TN", "(Tn0", "(Th0", "(MfTORVE"};
  EXPECT_EQ(FramesFrom(frames, "(TN", start), start);
  const auto restore =
      std::find_if(frames.begin(), frames.end(), [](const std::string& f) { return f.starts_with("(Tn5"); });
  EXPECT_NE(restore, frames.end());
}

// Each action's list on the wire, its password and its message.
struct ActionCase {
  const char* switch_word;
  std::vector<std::string> frames;  // from the first one on
  int message;
  const char* text;
};

class MaintenanceActionTest : public MaintenanceIntegrationTest,
                              public ::testing::WithParamInterface<ActionCase> {};

TEST_P(MaintenanceActionTest, SendsItsListAndReportsSuccess) {
  auto sim = StartSim("");
  ASSERT_GT(port_, 0);
  const CliResult result = RunCli({GetParam().switch_word});
  sim->Stop();
  EXPECT_EQ(result.status, 0) << result.err;
  EXPECT_EQ(result.messages, std::vector<int>{GetParam().message}) << result.err;
  EXPECT_NE(result.err.find(GetParam().text), std::string::npos) << result.err;
  const std::vector<std::string>& expected = GetParam().frames;
  EXPECT_EQ(FramesFrom(ReceivedFrames(Log()), expected.front(), expected), expected);
}

INSTANTIATE_TEST_SUITE_P(
    Actions, MaintenanceActionTest,
    ::testing::Values(ActionCase{"--baseline", {"(ZmTORVE", "(Na0"}, 245, "Baseline setting done."},
                      ActionCase{"--clear-flags", {"(FeTORVE", "(Na0"}, 250, "System flags cleared."},
                      ActionCase{"--clear-hcu-flags", {"(QwTORVE"}, 250, "System flags cleared."},
                      ActionCase{"--reset-alarms", {"(AsTORVE", "(Na0"}, 253, "Alarm status cleared."},
                      ActionCase{"--reset-hcu-alarms", {"(NqTORVE"}, 253, "Alarm status cleared."},
                      ActionCase{"--init-filter", {"(Fi", "(Na0"}, 254, "Filter is initialized."},
                      ActionCase{"--self-test", {"(St", "(Na0"}, 261, "Selftest done."},
                      ActionCase{"--hcu-self-test", {"(Qt"}, 261, "Selftest done."},
                      ActionCase{"--clear-counters", {"(Qn"}, 376, "Communication counters cleared."},
                      ActionCase{"--sync-clock", {"(Ct", "(Cd", "(Na0"}, 298, "Time synchronization done."}));

TEST_F(MaintenanceIntegrationTest, WrongPasswordForTheBaselineGives246) {
  auto sim =
      StartSim("[Unit]\nType=HCU\nRecorders=1\n[Recorder1]\nModel=C\nFirmware=22060\nPassword=OTHER\n");
  ASSERT_GT(port_, 0);
  const CliResult result = RunCli({"--baseline"});
  sim->Stop();
  EXPECT_EQ(result.status, 1);
  ASSERT_FALSE(result.messages.empty());
  EXPECT_EQ(result.messages.front(), 246) << result.err;
  EXPECT_NE(result.err.find("Wrong password. Baseline NOT set."), std::string::npos);
}

TEST_F(MaintenanceIntegrationTest, RefusedClockSettingGives297Not298) {
  auto sim = StartSim("[Faults]\nRefuseCommands=Ct\n");
  ASSERT_GT(port_, 0);
  const CliResult result = RunCli({"--sync-clock"});
  sim->Stop();
  EXPECT_EQ(result.status, 1);
  EXPECT_EQ(result.messages, std::vector<int>{297}) << result.err;
  // The refusal does not stop the list: Cd still goes out.
  const std::vector<std::string> expected = {"(Ct", "(Cd", "(Na0"};
  EXPECT_EQ(FramesFrom(ReceivedFrames(Log()), "(Ct", expected), expected);
}

TEST_F(MaintenanceIntegrationTest, RefusedSelfTestGives262) {
  auto sim = StartSim("[Faults]\nRefuseCommands=St\n");
  ASSERT_GT(port_, 0);
  const CliResult result = RunCli({"--self-test"});
  sim->Stop();
  EXPECT_EQ(result.status, 1);
  EXPECT_EQ(result.messages, std::vector<int>{262}) << result.err;
}

}  // namespace
}  // namespace tarvik
