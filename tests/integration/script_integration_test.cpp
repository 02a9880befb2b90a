// Start-up scripts and macros through tarvik-cli against krsim over loopback TCP.
#include <gtest/gtest.h>
#include <stdlib.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <map>
#include <regex>
#include <sstream>

#include "../support/file_text.h"
#include "krsim/sim_process.h"
#include "tarvik/cli/cli_session.h"
#include "tarvik/engine/engine_test_support.h"  // tests/tarvik/engine
#include "tarvik/eventfiles/event_converter.h"
#include "tarvik/resources/tarvik_strings.h"

namespace tarvik {
namespace {

namespace fs = std::filesystem;
using kr_test::ReadAll;
using kr_test::WriteText;
using krsim_test::In;
using krsim_test::SimProcess;

// The lines of a script output that are not trace lines (frames, replies, information, errors).
std::vector<std::string> ScriptLines(const std::string& output) {
  std::vector<std::string> lines;
  std::istringstream in(output);
  for (std::string line; std::getline(in, line);) {
    if (!line.empty() && line.back() == '\r') line.pop_back();
    if (line.empty() || line[0] == '>' || line[0] == '<' || line[0] == '[') continue;
    lines.push_back(line);
  }
  return lines;
}

struct CliResult {
  int status = -1;
  std::string err;
  std::vector<int> messages;
};

class ScriptIntegrationTest : public ::testing::Test {
 protected:
  ScriptIntegrationTest() {
    std::string pattern = (fs::temp_directory_path() / "kr-script-it-XXXXXX").string();
    folder_ = ::mkdtemp(pattern.data());
  }
  ~ScriptIntegrationTest() override {
    std::error_code ec;
    fs::remove_all(folder_, ec);
  }

  fs::path DataRoot() const { return folder_ / "root"; }
  fs::path DataFolder() const { return DataRoot() / "Data"; }

  fs::path Document(int port) {
    ConnectionRecord record;
    record.link_kind = LinkKind::kTcp;
    record.ip_address = "127.0.0.1";
    record.ip_port = port;
    record.connection_timeout = 500;
    const fs::path path = folder_ / "site.krc";
    const std::vector<uint8_t> bytes = SerializeConnectionRecord(record);
    std::ofstream file(path, std::ios::binary | std::ios::trunc);
    file.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
    return path;
  }

  CliResult RunCli(std::vector<std::string> args) {
    std::vector<const char*> argv = {"tarvik-cli"};
    for (const std::string& a : args) argv.push_back(a.c_str());
    const CliOptions options = ParseCliOptions(static_cast<int>(argv.size()), argv.data());
    std::ostringstream out;
    std::ostringstream err;
    ConsoleUi ui(out, err);
    AppEnvironment environment;
    const std::string root = DataRoot().string();
    environment.environment = [root](std::string_view name) -> std::optional<std::string> {
      if (name == "TARVIK_DATA_ROOT") return root;
      if (name == "TARVIK_PASSWORD") return std::string("TORVE");
      return std::nullopt;
    };
    environment.program_directory = folder_;
    CliResult result;
    result.status = RunCliSession(options, ui, environment);
    result.err = err.str();
    result.messages = ui.message_ids();
    return result;
  }

  int PortOf(SimProcess& sim) {
    const std::string port = sim.WaitFor("PORT ", In(krsim_test::kGenerous));
    return port.empty() ? 0 : std::stoi(port);
  }

  fs::path folder_;
};

// The job the scripts are for: fetch the newest event, convert it, wait for the next one, fetch it
// too, branch on it, and leave a report.
TEST_F(ScriptIntegrationTest, TransferConvertWaitBranchAndQuit) {
  // Events long enough for the first 100 and the last 100 samples.
  WriteText(folder_ / "sim.ini", "[Recorder1]\r\nSampling=1000\r\n");
  const std::vector<std::string> sim_args = {"--tcp", "0", "--no-stdin", "--config",
                                             (folder_ / "sim.ini").string()};
  std::vector<std::string> args = sim_args;
  args.insert(args.end(), {"--trigger-every", "8"});
  SimProcess sim(args);
  const int port = PortOf(sim);
  ASSERT_GT(port, 0);
  WriteText(folder_ / "hourly.krs",
            "// newest event of KR 1, as text\r\n"
            "TraceOn 0;\r\n"
            ":Run started;\r\n"
            "TransferLastFile site;   // behind the HCU: site01003.vkr\r\n"
            "TransformFile H+ N+ D+ F100;\r\n"
            ":converted;\r\n"
            "WaitOnNewFile;\r\n"
            "TransferLastFile;\r\n"
            "IsLastFile 4 1 3;\r\n"
            ":newest is 4;\r\n"
            "GoTo 2;\r\n"
            ":unexpected;\r\n"
            ":done;\r\n");
  const CliResult result = RunCli({Document(port).string(), "/i", (folder_ / "hourly.krs").string(), "/o",
                                   (folder_ / "report.txt").string(), "/q"});
  EXPECT_EQ(result.status, 0) << result.err;

  const std::vector<std::string> lines = ScriptLines(ReadAll(folder_ / "report.txt"));
  ASSERT_EQ(lines.size(), 6u) << ReadAll(folder_ / "report.txt");
  EXPECT_EQ(lines[0], "Run started");
  EXPECT_TRUE(
      std::regex_match(lines[1], std::regex("Event 003 successful transferred [1-9][0-9]* blocks read\\.")))
      << lines[1];
  EXPECT_EQ(lines[2], "converted");
  EXPECT_TRUE(
      std::regex_match(lines[3], std::regex("Event 004 successful transferred [1-9][0-9]* blocks read\\.")))
      << lines[3];
  EXPECT_EQ(lines[4], "newest is 4");
  EXPECT_EQ(lines[5], "done");

  // The event as krsim stored it, byte for byte, and its text made with the same options set by hand.
  const fs::path expected = folder_ / "expected";
  std::vector<std::string> export_args = sim_args;
  export_args.insert(export_args.end(), {"--export-events", expected.string()});
  SimProcess exporter(export_args);
  ASSERT_EQ(exporter.Wait(In(krsim_test::kGenerous)), 0);
  EXPECT_EQ(ReadAll(DataFolder() / "site01003.vkr"), ReadAll(expected / "01003.vkr"));
  EXPECT_TRUE(fs::exists(DataFolder() / "site01004.vkr"));

  ExportOptions options;
  options.Header = 1;
  options.Interpreted = 0;
  options.Data = 1;
  options.Trim = 1;
  options.TrimFirstLast = 1;
  options.FirstSamples = 100;
  const kr::StringTable strings = MakeTarvikStringTable();
  testing::RecordingUi ui;
  kr::SystemClock clock;
  EventConverter converter(strings, ui, clock);
  converter.SetOptions(options);
  ASSERT_EQ(converter.Convert(expected / "01003.vkr", folder_ / "expected.txt"), 1);
  const std::string text = ReadAll(DataFolder() / "site01003.txt");
  EXPECT_FALSE(text.empty());
  EXPECT_EQ(text, ReadAll(folder_ / "expected.txt"));
}

// A ring memory goes on with 1 after 255: the waits that start at 254 (the log-in takes far less than
// the first 6 seconds) end at 255 and then at 1. Waiting for "(newest + 1) mod 255" would wait for 0
// until krsim stops, and the run would fail.
TEST_F(ScriptIntegrationTest, WaitOnNewFileFollowsTheRingMemoryPast255) {
  WriteText(folder_ / "sim.ini", "[Recorder1]\r\nRingMemory=1\r\nFirstFile=254\r\nEvents=vkr\r\n");
  SimProcess sim({"--tcp", "0", "--no-stdin", "--config", (folder_ / "sim.ini").string(), "--trigger-every",
                  "6", "--max-run-time", "40"});
  const int port = PortOf(sim);
  ASSERT_GT(port, 0);
  WriteText(folder_ / "ring.krs", "WaitOnNewFile;WaitOnNewFile;:done");
  const CliResult result = RunCli({Document(port).string(), "/i", (folder_ / "ring.krs").string(), "/o",
                                   (folder_ / "ring.txt").string(), "/q"});
  EXPECT_EQ(result.status, 0) << result.err;
  EXPECT_EQ(ScriptLines(ReadAll(folder_ / "ring.txt")), std::vector<std::string>{"done"});
}

TEST_F(ScriptIntegrationTest, ErrorLinesAndMissingScriptsFailTheRun) {
  SimProcess sim({"--tcp", "0", "--no-stdin"});
  const int port = PortOf(sim);
  ASSERT_GT(port, 0);
  WriteText(folder_ / "early.krs", "TransformFile H+;:never");
  const CliResult early = RunCli({Document(port).string(), "/i", (folder_ / "early.krs").string(), "/o",
                                  (folder_ / "early.txt").string(), "/q"});
  EXPECT_EQ(early.status, 1);
  EXPECT_EQ(ScriptLines(ReadAll(folder_ / "early.txt")),
            std::vector<std::string>{"Error: No file transferred before!"});

  const CliResult missing = RunCli({Document(port).string(), "/i", (folder_ / "gone.krs").string()});
  EXPECT_EQ(missing.status, 1);
  EXPECT_NE(std::find(missing.messages.begin(), missing.messages.end(), 433), missing.messages.end());
}

TEST_F(ScriptIntegrationTest, MacrosReachTheRecorderAndARefusedCommandDoesNotStopThem) {
  const fs::path log = folder_ / "sim.log";
  SimProcess sim({"--tcp", "0", "--no-stdin", "--log", log.string(), "--refuse", "TE"});
  const int port = PortOf(sim);
  ASSERT_GT(port, 0);
  fs::create_directories(DataRoot());
  WriteText(DataRoot() / "Macro.def", "[Macro2]\r\nDescription=Identification\r\nDefinition=Na1;IB\r\n");
  const CliResult result =
      RunCli({Document(port).string(), "--macro", "Na1;TE;IN // name", "--macro-entry", "2"});
  EXPECT_EQ(result.status, 0) << result.err;
  // An empty entry is refused with its own message, after a log-in that succeeded.
  const CliResult empty = RunCli({Document(port).string(), "--macro-entry", "5"});
  EXPECT_EQ(empty.status, 1);
  EXPECT_NE(std::find(empty.messages.begin(), empty.messages.end(), 9552), empty.messages.end());
  sim.Stop();
  EXPECT_NE(std::find(sim.lines().begin(), sim.lines().end(), "SUMMARY fault refused commands: 1"),
            sim.lines().end());
  const std::string transcript = ReadAll(log);
  const size_t te = transcript.find("TE");
  ASSERT_NE(te, std::string::npos) << transcript;
  EXPECT_NE(transcript.find("IN", te), std::string::npos);
  EXPECT_NE(transcript.find("IB", te), std::string::npos);
}

}  // namespace
}  // namespace tarvik
