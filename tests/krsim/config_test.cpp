#include <gtest/gtest.h>

#include <set>

#include "krsim/cli_options.h"
#include "krsim/sim_config.h"

namespace krsim {
namespace {

bool Apply(std::string_view text, SimConfig& config, std::string& error) {
  return ApplyConfig(kr::IniFile::Parse(text), config, error);
}

TEST(SimConfig, TheDefaultIsAnHcuWithTwoRecordersOfThreeEvents) {
  const SimConfig c = DefaultConfig();
  EXPECT_EQ(c.unit, UnitKind::kHcu);
  ASSERT_EQ(c.recorders.size(), 2u);
  for (const RecorderConfig& r : c.recorders) {
    EXPECT_EQ(r.events.size(), 3u);
    for (EventKind k : r.events) EXPECT_TRUE(RecorderMakes(r, k));
  }
}

TEST(SimConfig, ReadsUnitsRecordersFaultsAndModemFromAnIniFile) {
  SimConfig c = DefaultConfig();
  std::string error;
  ASSERT_TRUE(Apply(R"([Unit]
Type=HCU
Recorders=3
Password=ABCDE
Baud=38400
[Recorder3]
Model=s
Firmware=42060
Events=skr, skr
RingMemory=0
FirstFile=10
[Faults]
CorruptBlockEvery=4
RefuseCommands=MD, Te
OfflineRecorders=2,3
SlowWriteCommands=Fi
[Modem]
ConnectDelayMs=250
BusyNumbers=111,222
)",
                    c, error))
      << error;
  ASSERT_EQ(c.recorders.size(), 3u);
  EXPECT_EQ(c.hcu_password, "ABCDE");
  EXPECT_EQ(c.baud, 38400);
  EXPECT_EQ(c.recorders[2].model, 'S');
  EXPECT_EQ(c.recorders[2].events, (std::vector<EventKind>{EventKind::kSkr, EventKind::kSkr}));
  EXPECT_FALSE(c.recorders[2].ring_memory);
  EXPECT_EQ(c.recorders[2].first_file, 10);
  EXPECT_EQ(c.recorders[0].firmware, 22060) << "recorders not named keep their defaults";
  EXPECT_EQ(c.faults.corrupt_block_every, 4);
  EXPECT_EQ(c.faults.refuse_codes, (std::vector<std::string>{"MD", "Te"}));
  EXPECT_EQ(c.faults.offline_recorders, (std::vector<int>{2, 3}));
  EXPECT_EQ(c.modem.connect_delay_ms, 250);
  EXPECT_EQ(c.modem.busy_numbers, (std::vector<std::string>{"111", "222"}));
}

TEST(SimConfig, NamesTheKeyOfEveryBadValue) {
  const std::pair<const char*, const char*> cases[] = {
      {"[Unit]\nType=Router\n", "[Unit] Type"},
      {"[Unit]\nRecorders=17\n", "[Unit] Recorders"},
      {"[Unit]\nBaud=1234\n", "[Unit] Baud"},
      {"[Unit]\nPassword=ABC\n", "[Unit] Password"},
      {"[Recorder1]\nModel=Q\n", "[Recorder1] Model"},
      {"[Recorder1]\nEvents=skr\n", "does not write skr files"},
      {"[Recorder2]\nEvents=xkr,wav\n", "\"wav\""},
      {"[Recorder1]\nSampling=fast\n", "[Recorder1] Sampling"},
      {"[Recorder1]\nRingMemory=0\nFirstFile=254\n", "end at 255"},
      {"[Faults]\nOfflineRecorders=1,x\n", "[Faults] OfflineRecorders"},
      {"[Unit]\nFirstEventTime=2024-02-30 10:00:00\n", "[Unit] FirstEventTime"},
  };
  for (const auto& [text, expected] : cases) {
    SimConfig c = DefaultConfig();
    std::string error;
    EXPECT_FALSE(Apply(text, c, error)) << text;
    EXPECT_NE(error.find(expected), std::string::npos) << text << " gave: " << error;
  }
}

TEST(SimConfig, ARecorderOrMkrLineHasOneRecorder) {
  SimConfig c = DefaultConfig();
  std::string error;
  ASSERT_TRUE(Apply("[Unit]\nType=Recorder\n", c, error)) << error;
  EXPECT_EQ(c.unit, UnitKind::kRecorder);
  EXPECT_EQ(c.recorders.size(), 1u);
}

CliOptions Parse(std::vector<const char*> args, std::string& error, bool& ok) {
  args.insert(args.begin(), "krsim");
  CliOptions options;
  ok = ParseCommandLine(static_cast<int>(args.size()), args.data(), options, error);
  return options;
}

TEST(CommandLine, OptionsOverrideTheConfiguration) {
  std::string error;
  bool ok = false;
  const CliOptions o =
      Parse({"--pty", "--baud", "19200", "--pace", "--unit", "recorder", "--corrupt-block-every", "5",
             "--refuse", "MD,MN", "--offline", "1", "--busy", "555", "--max-run-time", "2.5"},
            error, ok);
  ASSERT_TRUE(ok) << error;
  EXPECT_EQ(o.server.line, ServerOptions::Line::kPty);
  EXPECT_TRUE(o.server.pace);
  EXPECT_EQ(o.config.baud, 19200);
  EXPECT_EQ(o.config.unit, UnitKind::kRecorder);
  EXPECT_EQ(o.config.recorders.size(), 1u);
  EXPECT_EQ(o.config.faults.corrupt_block_every, 5);
  EXPECT_EQ(o.config.faults.refuse_codes, (std::vector<std::string>{"MD", "MN"}));
  EXPECT_EQ(o.config.modem.busy_numbers, (std::vector<std::string>{"555"}));
  EXPECT_DOUBLE_EQ(o.server.max_run_time_s, 2.5);
}

TEST(CommandLine, RejectsWhatItDoesNotKnow) {
  std::string error;
  bool ok = true;
  Parse({"--frobnicate", "1"}, error, ok);
  EXPECT_FALSE(ok);
  EXPECT_NE(error.find("--frobnicate"), std::string::npos);
  Parse({"--tcp"}, error, ok);
  EXPECT_FALSE(ok);
  EXPECT_NE(error.find("needs a value"), std::string::npos);
  Parse({"--tcp", "70000"}, error, ok);
  EXPECT_FALSE(ok);
  Parse({"--trigger-recorder", "3"}, error, ok);
  EXPECT_FALSE(ok) << "the default unit has two recorders";
  Parse({"--config", "/nonexistent/krsim.ini"}, error, ok);
  EXPECT_FALSE(ok);
  EXPECT_NE(error.find("/nonexistent/krsim.ini"), std::string::npos);
  EXPECT_NE(HelpText().find("--export-events DIR"), std::string::npos);
}

}  // namespace
}  // namespace krsim

namespace krsim {
namespace {

TEST(SimConfig, TheExampleFileLoadsAndCoversAllFiveKinds) {
  SimConfig c = DefaultConfig();
  std::string error;
  ASSERT_TRUE(LoadConfig(KRSIM_EXAMPLE_INI, c, error)) << error;
  ASSERT_EQ(c.recorders.size(), 3u);
  std::set<EventKind> kinds;
  for (const RecorderConfig& r : c.recorders) kinds.insert(r.events.begin(), r.events.end());
  EXPECT_EQ(kinds.size(), 5u);
}

}  // namespace
}  // namespace krsim
