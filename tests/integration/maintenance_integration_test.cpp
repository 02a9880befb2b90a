// The maintenance actions of tarvik-cli against krsim over loopback TCP: the frames krsim received
// (its transcript), the file numbers forced into Tn and Th, and the messages shown.
#include "cli_against_sim.h"

namespace tarvik {
namespace {

using cli_test::CliResult;
using cli_test::FramesFrom;
using cli_test::ReceivedFrames;
using MaintenanceIntegrationTest = cli_test::CliAgainstSimTest;

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
