// Recording on and off, the recording modes, the password change, the memory management, erasing
// chosen events and the alerting test of tarvik-cli against krsim: the frames krsim received, the
// file numbers Th, Tn and Fs carried, the messages, and what krsim holds afterwards.
#include <algorithm>
#include <ostream>

#include "cli_against_sim.h"

namespace tarvik {
namespace {

using cli_test::CliResult;
using cli_test::FramesFrom;
using cli_test::ReceivedFrames;
using RecordingOperationsTest = cli_test::CliAgainstSimTest;

bool HasFrameStartingWith(const std::vector<std::string>& frames, const std::string& prefix) {
  return std::any_of(frames.begin(), frames.end(),
                     [&](const std::string& f) { return f.starts_with(prefix); });
}

size_t CountFramesStartingWith(const std::vector<std::string>& frames, const std::string& prefix) {
  return static_cast<size_t>(std::count_if(frames.begin(), frames.end(),
                                           [&](const std::string& f) { return f.starts_with(prefix); }));
}

std::string Recorder(const std::string& lines) {
  return "[Unit]\nType=HCU\nRecorders=1\n[Recorder1]\nModel=C\nFirmware=22060\n" + lines;
}

// --- Recording on and off ------------------------------------------------------------------------

TEST_F(RecordingOperationsTest, StopThenStartReadTheMemoryStatusAndCarryTheirFileNumber) {
  auto sim = StartSim("");
  ASSERT_GT(port_, 0);
  const CliResult result = RunCli({"--recording", "stop", "--recording", "start"});
  sim->Stop();
  EXPECT_EQ(result.status, 0) << result.err;
  EXPECT_TRUE(result.messages.empty()) << result.err;
  const std::vector<std::string> expected = {"(FM", "(FF", "(Th0", "(Na0", "(Na1",
                                             "(FM", "(FF", "(Th1", "(Na0"};
  EXPECT_EQ(FramesFrom(ReceivedFrames(Log()), "(FM", expected), expected);
}

struct FullCase {
  const char* line;
  int message;
  const char* text;
};

void PrintTo(const FullCase& full, std::ostream* out) {
  *out << "message " << full.message;
}

class RecordingRefusedTest : public RecordingOperationsTest,
                             public ::testing::WithParamInterface<FullCase> {};

// "ERROR" in either memory status ends the start before Th; Na0 still releases the recorder.
TEST_P(RecordingRefusedTest, FullMemoryNeverSendsTh) {
  auto sim = StartSim(Recorder(GetParam().line));
  ASSERT_GT(port_, 0);
  const CliResult result = RunCli({"--recording", "start"});
  sim->Stop();
  EXPECT_EQ(result.status, 1);
  EXPECT_EQ(result.messages, std::vector<int>{GetParam().message}) << result.err;
  EXPECT_NE(result.err.find(GetParam().text), std::string::npos) << result.err;
  const std::vector<std::string> frames = ReceivedFrames(Log());
  const auto fm =
      std::find_if(frames.begin(), frames.end(), [](const std::string& f) { return f.starts_with("(FM"); });
  ASSERT_NE(fm, frames.end());
  // The log-in's own Th0 comes before; none after the memory status.
  EXPECT_FALSE(HasFrameStartingWith(std::vector<std::string>(fm, frames.end()), "(Th")) << "Th was sent";
  const std::vector<std::string> expected = {"(FM", "(FF", "(Na0"};
  EXPECT_EQ(FramesFrom(frames, "(FM", expected), expected);
}

INSTANTIATE_TEST_SUITE_P(Status, RecordingRefusedTest,
                         ::testing::Values(FullCase{"MemoryFull=1\n", 294, "Memory is full."},
                                           FullCase{"FilesFull=1\n", 295, "Maximum number of files."}));

// --- Recording modes -----------------------------------------------------------------------------

// Starting sets the blasting filter (Fs8) and the blasting trigger mode (Tn5); the second call finds
// the mode active and stops it: triggering back to 0 first, then the normal filter (Fs5).
TEST_F(RecordingOperationsTest, BlastingModeStartsAndStopsByTheRecordersState) {
  auto sim = StartSim("");
  ASSERT_GT(port_, 0);
  const CliResult result = RunCli({"--verbose", "--blasting-mode", "--blasting-mode"});
  sim->Stop();
  EXPECT_EQ(result.status, 0) << result.err;
  const std::vector<std::string> frames = ReceivedFrames(Log());
  const std::vector<std::string> start = {"(Fs8", "(Fi", "(Tn5", "(TN", "(Na0"};
  EXPECT_EQ(FramesFrom(frames, "(Fs8", start), start);
  const std::vector<std::string> stop = {"(Tn0", "(Fs5", "(Fi", "(TN", "(Na0"};
  EXPECT_EQ(FramesFrom(frames, "(Tn0", stop), stop);
  const size_t started = result.err.find("Start Blasting Mode.");
  const size_t stopped = result.err.find("Stop Blasting Mode.");
  ASSERT_NE(started, std::string::npos) << result.err;
  ASSERT_NE(stopped, std::string::npos) << result.err;
  EXPECT_LT(started, stopped);
}

TEST_F(RecordingOperationsTest, VmAndKbModesSelectTheirTriggerMode) {
  auto sim = StartSim("");
  ASSERT_GT(port_, 0);
  const CliResult result =
      RunCli({"--vm-mode", "start", "--vm-mode", "stop", "--kb-mode", "start", "--kb-mode", "stop"});
  sim->Stop();
  EXPECT_EQ(result.status, 0) << result.err;
  // Trigger-mode writes in order: VM (4), off, KB (2), off. The KB start gives the recorder back the
  // filter it reported (krsim's FS is 1).
  std::vector<std::string> tn;
  const std::vector<std::string> frames = ReceivedFrames(Log());
  for (const std::string& f : frames) {
    if (f.starts_with("(Tn")) tn.push_back(f.substr(0, 4));
  }
  EXPECT_EQ(tn, (std::vector<std::string>{"(Tn4", "(Tn0", "(Tn2", "(Tn0"}));
  const std::vector<std::string> kb = {"(Fs1", "(Fi", "(Tn2", "(TN", "(FS", "(Na0"};
  EXPECT_EQ(FramesFrom(frames, "(Fs1", kb), kb);
}

// A recorder that refuses Th has not switched: a failure, not a quiet success.
TEST_F(RecordingOperationsTest, ARefusedThGivesTheRecordingModeError) {
  auto sim = StartSim("[Faults]\nRefuseCommands=Th\n");
  ASSERT_GT(port_, 0);
  const CliResult result = RunCli({"--recording", "stop"});
  sim->Stop();
  EXPECT_EQ(result.status, 1);
  EXPECT_EQ(result.messages, std::vector<int>{238}) << result.err;
  const std::vector<std::string> expected = {"(Th0", "(Na0"};
  EXPECT_EQ(FramesFrom(ReceivedFrames(Log()), "(Th0", expected), expected);
}

// --- Password change -----------------------------------------------------------------------------

TEST_F(RecordingOperationsTest, NewPasswordIsWhatTheRecorderAcceptsAfterwards) {
  auto sim = StartSim("[Unit]\nType=Recorder\n[Recorder1]\nModel=C\nFirmware=22060\n");
  ASSERT_GT(port_, 0);
  const CliResult changed = RunCli({"--password", "TORVE", "--new-password", "AB7#x", "--baseline"});
  EXPECT_EQ(changed.status, 0) << changed.err;
  EXPECT_EQ(changed.messages, (std::vector<int>{271, 245})) << changed.err;
  const std::vector<std::string> expected = {"(LL", "(LP", "(LpAB7#x"};
  const std::vector<std::string> frames = ReceivedFrames(Log());
  const auto lp =
      std::find_if(frames.begin(), frames.end(), [](const std::string& f) { return f.starts_with("(LP"); });
  ASSERT_NE(lp, frames.begin());
  EXPECT_EQ(FramesFrom(std::vector<std::string>(lp - 1, frames.end()), "(LL", expected), expected);
  // The baseline after the change carries the new password.
  EXPECT_TRUE(HasFrameStartingWith(ReceivedFrames(Log()), "(ZmAB7#x"));
  // A new session: the old password is refused at the log-in, the new one logs in.
  const CliResult old_one = RunCli({"--password", "TORVE", "--list-events"});
  const CliResult new_one = RunCli({"--password", "AB7#x", "--list-events"});
  sim->Stop();
  EXPECT_EQ(old_one.status, 1);
  EXPECT_EQ(new_one.status, 0) << new_one.err;
}

struct RefusedChange {
  std::vector<std::string> args;
  int message;
};

std::string ChangeName(const ::testing::TestParamInfo<RefusedChange>& info) {
  static constexpr const char* kNames[] = {"TooShort", "TooLong", "Bracket", "NonAscii"};
  return kNames[info.index];
}

// The case as the test list names it: the new password typed and the message it must give.
void PrintTo(const RefusedChange& change, std::ostream* out) {
  *out << "new password of " << change.args.back().size() << " bytes gives " << change.message;
}

// The recorder's password differs from the log-in's (the control unit's): the old password typed does
// not match what LP reports, and nothing is sent for 48.
TEST_F(RecordingOperationsTest, AWrongOldPasswordGives268AndSendsNoLp) {
  auto sim = StartSim(Recorder("Password=OTHER\n"));
  ASSERT_GT(port_, 0);
  const CliResult result = RunCli({"--password", "TORVE", "--new-password", "ABCDE"});
  sim->Stop();
  EXPECT_EQ(result.status, 1);
  EXPECT_EQ(result.messages, std::vector<int>{268}) << result.err;
  EXPECT_NE(result.err.find("Wrong password."), std::string::npos) << result.err;
  const std::vector<std::string> frames = ReceivedFrames(Log());
  EXPECT_TRUE(HasFrameStartingWith(frames, "(LP"));
  EXPECT_FALSE(HasFrameStartingWith(frames, "(Lp"));
}

class PasswordFormTest : public RecordingOperationsTest,
                         public ::testing::WithParamInterface<RefusedChange> {};

TEST_P(PasswordFormTest, ANewPasswordOfTheWrongFormIsNotSent) {
  auto sim = StartSim("");
  ASSERT_GT(port_, 0);
  const CliResult result = RunCli(GetParam().args);
  sim->Stop();
  EXPECT_EQ(result.status, 1);
  EXPECT_EQ(result.messages, std::vector<int>{GetParam().message}) << result.err;
  const std::vector<std::string> frames = ReceivedFrames(Log());
  EXPECT_TRUE(HasFrameStartingWith(frames, "(LP"));
  EXPECT_FALSE(HasFrameStartingWith(frames, "(Lp"));
}

INSTANTIATE_TEST_SUITE_P(
    Checks, PasswordFormTest,
    ::testing::Values(RefusedChange{{"--password", "TORVE", "--new-password", "ABCD"}, 270},
                      RefusedChange{{"--password", "TORVE", "--new-password", "ABCDEF"}, 270},
                      RefusedChange{{"--password", "TORVE", "--new-password", "AB)DE"}, 9801},
                      RefusedChange{{"--password", "TORVE", "--new-password", "ABC\xC3\xA4"}, 9801}),
    ChangeName);

// --- Memory management ---------------------------------------------------------------------------

TEST_F(RecordingOperationsTest, ChangingTheMemoryManagementErasesAndSwitchesWhatChanged) {
  auto sim = StartSim("");
  ASSERT_GT(port_, 0);
  const CliResult result = RunCli({"--memory-management", "ring=on,mirror=on", "--list-events"});
  EXPECT_EQ(result.status, 1);  // the list after the change finds no events: 216
  EXPECT_EQ(result.messages, (std::vector<int>{401, 281, 216})) << result.err;
  const std::vector<std::string> frames = ReceivedFrames(Log());
  // krsim's recorder starts with ring memory and without mirroring: only Mg goes out.
  const std::vector<std::string> expected = {"(MG",  "(Na0",     "(Na1",     "(Tn0",
                                             "(Th0", "(MfTORVE", "(MgTORVE", "(Na0"};
  EXPECT_EQ(FramesFrom(frames, "(MG", expected), expected);
  EXPECT_FALSE(HasFrameStartingWith(frames, "(Kr"));
  // krsim now reports mirroring.
  const CliResult again = RunCli({"--memory-management", "mirror=on"});
  sim->Stop();
  EXPECT_EQ(again.status, 0) << again.err;
  EXPECT_TRUE(again.messages.empty()) << again.err;  // nothing to change: no warning, no erasing
  EXPECT_EQ(CountFramesStartingWith(ReceivedFrames(Log()), "(Mf"), 1u);
}

TEST_F(RecordingOperationsTest, MemoryManagementWithAWrongPasswordGives282AndKeepsTheEvents) {
  auto sim = StartSim(Recorder("Password=OTHER\nRingMemory=1\n"));
  ASSERT_GT(port_, 0);
  const CliResult result = RunCli({"--memory-management", "ring=off"});
  const CliResult list = RunCli({"--list-events"});
  sim->Stop();
  EXPECT_EQ(result.status, 1);
  EXPECT_EQ(result.messages, (std::vector<int>{401, 282})) << result.err;
  EXPECT_EQ(list.status, 0) << list.err;
  EXPECT_NE(list.out.find("event(s)"), std::string::npos);
  EXPECT_EQ(list.out.find(": 0 event(s)"), std::string::npos) << list.out;
}

// --- Erase selected events, alerting test ----------------------------------------------------------

TEST_F(RecordingOperationsTest, ErasingChosenEventsSendsOneMoEachAndReadsTheListAgain) {
  auto sim = StartSim("");
  ASSERT_GT(port_, 0);
  const CliResult result = RunCli({"--erase-events", "3,1"});
  sim->Stop();
  EXPECT_EQ(result.status, 0) << result.err;
  EXPECT_TRUE(result.messages.empty()) << result.err;
  const std::vector<std::string> frames = ReceivedFrames(Log());
  const std::vector<std::string> expected = {"(Mo3", "(Mo1", "(Na0", "(Na1", "(MN"};
  EXPECT_EQ(FramesFrom(frames, "(Mo", expected), expected);
  // krsim's default recorder holds events 1-3: event 2 is left.
  EXPECT_NE(result.out.find("KR 1: 1 event(s)\n  2 "), std::string::npos) << result.out;
}

TEST_F(RecordingOperationsTest, ErasingTheLastEventsLeavesAnEmptyListWithoutFailure) {
  auto sim = StartSim("");
  ASSERT_GT(port_, 0);
  const CliResult result = RunCli({"--erase-events", "1,2,3"});
  sim->Stop();
  EXPECT_EQ(result.status, 0) << result.err;
  EXPECT_NE(result.out.find("KR 1: 0 event(s)"), std::string::npos) << result.out;
}

TEST_F(RecordingOperationsTest, AlertingTestSendsAi) {
  // A CKR4100 of firmware 620.7x knows Ai.
  auto sim = StartSim(
      "[Unit]\nType=HCU\nRecorders=1\n[Recorder1]\nModel=C\nFirmware=62075\nFeatures=256\nEvents=\n");
  ASSERT_GT(port_, 0);
  const CliResult result = RunCli({"--alerting-test"});
  sim->Stop();
  EXPECT_EQ(result.status, 0) << result.err;
  const std::vector<std::string> expected = {"(Ai", "(Na0"};
  EXPECT_EQ(FramesFrom(ReceivedFrames(Log()), "(Ai", expected), expected);
}

TEST(RecordingSwitchesTest, MalformedValuesAreRefused) {
  for (const std::vector<const char*>& argv :
       std::vector<std::vector<const char*>>{{"tarvik-cli", "--recording", "go"},
                                             {"tarvik-cli", "--vm-mode"},
                                             {"tarvik-cli", "--memory-management", "ring=yes"},
                                             {"tarvik-cli", "--memory-management", "ring=on,ring=off"},
                                             {"tarvik-cli", "--memory-management", "size=on"},
                                             {"tarvik-cli", "--erase-events", "0"},
                                             {"tarvik-cli", "--erase-events", "1,,2"},
                                             {"tarvik-cli", "--erase-events", "256"},
                                             {"tarvik-cli", "--new-password"}}) {
    const CliOptions options = ParseCliOptions(static_cast<int>(argv.size()), argv.data());
    EXPECT_EQ(options.error, argv[1]) << argv.back();
  }
  const char* good[] = {"tarvik-cli", "--memory-management", "mirror=off,ring=on", "--erase-events", "7,255"};
  const CliOptions options = ParseCliOptions(5, good);
  EXPECT_TRUE(options.error.empty());
  ASSERT_EQ(options.operations.size(), 2u);
  EXPECT_EQ(options.operations[0].ring, std::optional<bool>(true));
  EXPECT_EQ(options.operations[0].mirror, std::optional<bool>(false));
  EXPECT_EQ(options.operations[1].events, (std::vector<int>{7, 255}));
}

}  // namespace
}  // namespace tarvik
