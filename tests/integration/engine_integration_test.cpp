// tarvik-cli and the engine against krsim over loopback TCP, a pseudo-terminal and the emulated
// modem. krsim is started on a free port or a fresh pseudo-terminal and stopped however a test ends;
// every wait is a condition with a generous deadline.
#include <gtest/gtest.h>
#include <signal.h>
#include <stdlib.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <map>
#include <mutex>
#include <sstream>

#include "../support/file_text.h"
#include "krsim/sim_process.h"
#include "tarvik/cli/cli_session.h"
#include "tarvik/engine/engine_test_support.h"  // tests/tarvik/engine
#include "tarvik/engine/headless_host.h"
#include "tarvik/engine/link_adapter.h"
#include "tarvik/engine/operation_engine.h"
#include "tarvik/resources/tarvik_strings.h"

namespace tarvik {
namespace {

namespace fs = std::filesystem;
using kr_test::ReadAll;
using kr_test::WriteText;
using krsim_test::In;
using krsim_test::SimProcess;

// A fresh folder below the system's temporary folder, removed afterwards.
class TempFolder {
 public:
  TempFolder() {
    std::string pattern = (fs::temp_directory_path() / "kr-engine-it-XXXXXX").string();
    path_ = ::mkdtemp(pattern.data());
  }
  ~TempFolder() {
    std::error_code ec;
    fs::remove_all(path_, ec);
  }
  const fs::path& path() const { return path_; }

 private:
  fs::path path_;
};

void WriteDocument(const fs::path& path, const ConnectionRecord& record) {
  const std::vector<uint8_t> bytes = SerializeConnectionRecord(record);
  std::ofstream file(path, std::ios::binary | std::ios::trunc);
  file.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
}

bool IsEventFile(const fs::path& path) {
  static const char* kKinds[] = {".skr", ".vkr", ".xkr", ".vmx", ".bkr"};
  return std::any_of(std::begin(kKinds), std::end(kKinds),
                     [&](const char* k) { return path.extension() == k; });
}

// The event files of a folder by the name krsim gives them (<recorder><file>.<kind>): the root name
// in front of the numbers is dropped.
std::map<std::string, std::string> EventFiles(const fs::path& folder, size_t root_length) {
  std::map<std::string, std::string> files;
  std::error_code ec;
  for (const auto& entry : fs::directory_iterator(folder, ec)) {
    if (!IsEventFile(entry.path())) continue;
    files[entry.path().filename().string().substr(root_length)] = ReadAll(entry.path());
  }
  return files;
}

// What krsim says the PC must write for the same options.
std::map<std::string, std::string> ExpectedFiles(std::vector<std::string> sim_args, const fs::path& folder) {
  sim_args.push_back("--export-events");
  sim_args.push_back(folder.string());
  SimProcess exporter(sim_args);
  EXPECT_EQ(exporter.Wait(In(krsim_test::kGenerous)), 0);
  return EventFiles(folder, 0);
}

struct CliResult {
  int status = -1;
  std::string out;
  std::string err;
  std::vector<int> messages;
  int password_prompts = 0;
};

class EngineIntegrationTest : public ::testing::Test {
 protected:
  fs::path DataRoot() const { return temp_.path() / "root"; }
  fs::path DataFolder() const { return DataRoot() / "Data"; }

  // Tarvik.ini before the first start: the sections and keys given, everything else default.
  void WriteSettings(const std::string& text) {
    fs::create_directories(DataRoot());
    WriteText(DataRoot() / "Tarvik.ini", text);
  }

  fs::path TcpDocument(int port) {
    ConnectionRecord record;
    record.link_kind = LinkKind::kTcp;
    record.ip_address = "127.0.0.1";
    record.ip_port = port;
    record.connection_timeout = 500;
    const fs::path path = temp_.path() / "site.krc";
    WriteDocument(path, record);
    return path;
  }

  CliResult RunCli(std::vector<std::string> args, std::map<std::string, std::string> environment = {}) {
    environment["TARVIK_DATA_ROOT"] = DataRoot().string();
    std::vector<const char*> argv = {"tarvik-cli"};
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
    app_environment.program_directory = temp_.path();
    CliResult result;
    result.status = RunCliSession(options, ui, app_environment);
    result.out = out.str();
    result.err = err.str();
    result.messages = ui.message_ids();
    result.password_prompts = ui.password_prompts();
    return result;
  }

  std::string ExportFolder() { return (temp_.path() / "expected").string(); }

  TempFolder temp_;
};

int PortOf(SimProcess& sim) {
  const std::string port = sim.WaitFor("PORT ", In(krsim_test::kGenerous));
  return port.empty() ? 0 : std::stoi(port);
}

bool Contains(const std::vector<int>& ids, int id) {
  return std::find(ids.begin(), ids.end(), id) != ids.end();
}

// --- TCP -------------------------------------------------------------------------------------------------

TEST_F(EngineIntegrationTest, HcuWithTwoRecordersEveryEventOfBothIsIdenticalToTheExport) {
  SimProcess sim({"--tcp", "0", "--no-stdin"});
  const int port = PortOf(sim);
  ASSERT_GT(port, 0);
  const CliResult result = RunCli({TcpDocument(port).string(), "--transfer-all", "--recorder", "2",
                                   "--transfer-all=AB", "--list-events"});
  EXPECT_EQ(result.status, 0) << result.err;
  EXPECT_TRUE(result.messages.empty()) << result.err;
  // The password prompt came up once and took the settings' default.
  EXPECT_EQ(result.password_prompts, 1);
  const auto expected = ExpectedFiles({}, ExportFolder());
  ASSERT_EQ(expected.size(), 6u);
  EXPECT_EQ(EventFiles(DataFolder(), 3), expected);
  EXPECT_TRUE(fs::exists(DataFolder() / "---01001.vkr"));
  EXPECT_TRUE(fs::exists(DataFolder() / "AB-02003.xkr"));
  EXPECT_NE(result.out.find("KR 2: 3 event(s)"), std::string::npos) << result.out;
  const std::string trace = ReadAll(DataRoot() / "Trace.dat");
  EXPECT_NE(trace.find("disconnected from IP port"), std::string::npos);
}

// With the export setting on, every waveform downloaded gets its miniSEED copy next to it, in
// 512-byte records; interval files (vmx) have no samples to copy.
TEST_F(EngineIntegrationTest, MiniSeedCopyIsWrittenAfterEachWaveformDownload) {
  WriteSettings("[Export]\r\nMiniSeed=1\r\nMiniSeedNetwork=KR\r\n");
  SimProcess sim({"--tcp", "0", "--no-stdin"});
  const int port = PortOf(sim);
  ASSERT_GT(port, 0);
  const CliResult result = RunCli({TcpDocument(port).string(), "--transfer-all"});
  EXPECT_EQ(result.status, 0) << result.err;
  for (const char* name : {"---01001.mseed", "---01003.mseed"}) {
    const fs::path copy = DataFolder() / name;
    ASSERT_TRUE(fs::exists(copy)) << name;
    EXPECT_GT(fs::file_size(copy), 0u);
    EXPECT_EQ(fs::file_size(copy) % 512, 0u) << name;
  }
  EXPECT_TRUE(fs::exists(DataFolder() / "---01002.vmx"));
  EXPECT_FALSE(fs::exists(DataFolder() / "---01002.mseed"));
}

TEST_F(EngineIntegrationTest, CorruptedBlocksAndDroppedRepliesStillGiveIdenticalFiles) {
  const std::vector<std::string> faults = {"--corrupt-block-every", "20", "--drop-reply-every", "100"};
  std::vector<std::string> args = {"--tcp", "0", "--no-stdin"};
  args.insert(args.end(), faults.begin(), faults.end());
  SimProcess sim(args);
  const int port = PortOf(sim);
  ASSERT_GT(port, 0);
  const CliResult result =
      RunCli({TcpDocument(port).string(), "--transfer-all", "--recorder", "2", "--transfer-all"});
  EXPECT_EQ(result.status, 0) << result.err;
  EXPECT_EQ(EventFiles(DataFolder(), 3), ExpectedFiles({}, ExportFolder()));
  EXPECT_NE(ReadAll(DataRoot() / "Trace.dat").find("<Check sum error>"), std::string::npos);
}

TEST_F(EngineIntegrationTest, ConnectionCutMidTransferGives211AndNoFileUnderItsFinalName) {
  SimProcess sim({"--tcp", "0", "--no-stdin", "--break-after-blocks", "20"});
  const int port = PortOf(sim);
  ASSERT_GT(port, 0);
  const CliResult result = RunCli({TcpDocument(port).string(), "--transfer-all"});
  EXPECT_EQ(result.status, 1);
  EXPECT_TRUE(Contains(result.messages, 211)) << result.err;
  EXPECT_NE(result.err.find("The event-file"), std::string::npos);
  // Event 1 (15 blocks) is whole; the cut falls into the next one, which must not look whole.
  const auto files = EventFiles(DataFolder(), 3);
  const auto expected = ExpectedFiles({}, ExportFolder());
  for (const auto& [name, bytes] : files) {
    ASSERT_TRUE(expected.count(name)) << name;
    EXPECT_EQ(bytes, expected.at(name)) << name;
  }
  EXPECT_LT(files.size(), 3u);
  EXPECT_NE(ReadAll(DataRoot() / "Trace.dat").find("<Connection was closed by the remote host>"),
            std::string::npos);
}

TEST_F(EngineIntegrationTest, RecorderWithoutEventsGives216) {
  WriteText(temp_.path() / "sim.ini",
            "[Unit]\nType=HCU\nRecorders=1\n[Recorder1]\nModel=C\nFirmware=22060\nEvents=\n");
  SimProcess sim({"--tcp", "0", "--no-stdin", "--config", (temp_.path() / "sim.ini").string()});
  const int port = PortOf(sim);
  ASSERT_GT(port, 0);
  const CliResult result = RunCli({TcpDocument(port).string(), "--transfer-all"});
  EXPECT_EQ(result.status, 1);
  EXPECT_EQ(result.messages, std::vector<int>{216});
  EXPECT_NE(result.err.find("No files are stored in KR."), std::string::npos);
}

struct FirmwareExpectation {
  const char* firmware;
  const char* text;
};

class FirmwareIntegrationTest : public EngineIntegrationTest,
                                public ::testing::WithParamInterface<FirmwareExpectation> {};

TEST_P(FirmwareIntegrationTest, UnsupportedFirmwareNamesTheVersionToUse) {
  WriteText(temp_.path() / "sim.ini",
            std::string("[Unit]\nType=HCU\nRecorders=1\n[Recorder1]\nModel=C\nFirmware=") +
                GetParam().firmware + "\nEvents=\n");
  SimProcess sim({"--tcp", "0", "--no-stdin", "--config", (temp_.path() / "sim.ini").string()});
  const int port = PortOf(sim);
  ASSERT_GT(port, 0);
  const CliResult result = RunCli({TcpDocument(port).string(), "--list-events"});
  EXPECT_EQ(result.status, 1);
  ASSERT_TRUE(Contains(result.messages, 703)) << result.err;
  EXPECT_NE(result.err.find(GetParam().text), std::string::npos) << result.err;
}

INSTANTIATE_TEST_SUITE_P(
    Versions, FirmwareIntegrationTest,
    ::testing::Values(FirmwareExpectation{"22059",
                                          "Firmware 220.59 is not supported with this Tarvik "
                                          "Version\nPlease use Tarvik 1.8."},
                      FirmwareExpectation{"65000",
                                          "Firmware 650.00 is not supported with this Tarvik "
                                          "Version\nPlease use Tarvik 2.0."}));

TEST_F(EngineIntegrationTest, WrongPasswordFailsTheLogInAndTheRightOneLogsIn) {
  SimProcess sim({"--tcp", "0", "--no-stdin"});
  const int port = PortOf(sim);
  ASSERT_GT(port, 0);
  const fs::path document = TcpDocument(port);
  const CliResult wrong = RunCli({document.string(), "--password", "WRONG", "--list-events"});
  EXPECT_EQ(wrong.status, 1);
  EXPECT_EQ(wrong.password_prompts, 1);
  EXPECT_TRUE(Contains(wrong.messages, 275)) << wrong.err;
  const CliResult right = RunCli({document.string(), "--list-events"}, {{"TARVIK_PASSWORD", "TORVE"}});
  EXPECT_EQ(right.status, 0) << right.err;
  EXPECT_EQ(right.password_prompts, 1);
  EXPECT_NE(right.out.find("KR 1: 3 event(s)"), std::string::npos);
}

// A unit left logged in by an earlier session: "/l" logs in with the probe and one LL and no password;
// without it the PC logs out and in again, which brings up the password prompt.
TEST_F(EngineIntegrationTest, NoReloginSendsOnlyTheProbeAndOneLL) {
  WriteText(temp_.path() / "sim.ini", "[Unit]\nStartLoggedIn=1\n");
  SimProcess sim({"--tcp", "0", "--no-stdin", "--config", (temp_.path() / "sim.ini").string()});
  const int port = PortOf(sim);
  ASSERT_GT(port, 0);
  const fs::path document = TcpDocument(port);

  const CliResult once = RunCli({document.string(), "/l", "--list-events"});
  EXPECT_EQ(once.status, 0) << once.err;
  EXPECT_EQ(once.password_prompts, 0);
  std::string trace = ReadAll(DataRoot() / "Trace.dat");
  // The probe echo is written over the ">" of its line.
  const size_t probe = trace.find("[24])");
  const size_t nn = trace.find(">(NN");
  ASSERT_NE(probe, std::string::npos) << trace;
  ASSERT_NE(nn, std::string::npos) << trace;
  const std::string login = trace.substr(probe, nn - probe);
  EXPECT_EQ(login.find(">(Lo"), std::string::npos) << login;
  EXPECT_NE(login.find(">(LL"), std::string::npos) << login;
  // The initialisation reads the newest event's directory entry, not a file that does not exist.
  EXPECT_NE(trace.find(">(MD3"), std::string::npos) << trace;
  EXPECT_EQ(trace.find("<Skip event>"), std::string::npos) << trace;

  const CliResult again = RunCli({document.string(), "--list-events"});
  EXPECT_EQ(again.status, 0) << again.err;
  EXPECT_EQ(again.password_prompts, 1);
  trace = ReadAll(DataRoot() / "Trace.dat");
  const std::string relogin = trace.substr(0, trace.find(">(NN"));
  EXPECT_NE(relogin.find(">(Lo"), std::string::npos) << relogin;
}

TEST_F(EngineIntegrationTest, UnknownRecorderIsRefusedBeforeAnythingIsSent) {
  SimProcess sim({"--tcp", "0", "--no-stdin"});
  const int port = PortOf(sim);
  ASSERT_GT(port, 0);
  const CliResult result = RunCli({TcpDocument(port).string(), "--recorder", "5", "--list-events"});
  EXPECT_EQ(result.status, 1);
  EXPECT_EQ(result.messages, std::vector<int>{9503});
  EXPECT_EQ(result.out.find("event(s)"), std::string::npos);
}

// --- Serial line and modem over pseudo-terminals ---------------------------------------------------------

TEST_F(EngineIntegrationTest, LoneRecorderOnAPseudoTerminalIsFoundByTheBaudSearch) {
  SimProcess sim({"--pty", "--unit", "recorder", "--baud", "38400", "--no-stdin"});
  const std::string pty = sim.WaitFor("PTY ", In(krsim_test::kGenerous));
  ASSERT_FALSE(pty.empty());
  WriteSettings("[Monitoring]\nCOM=1\nBaudRate=9600\n[SerialPorts]\nCOM1=" + pty + "\n");
  const CliResult result = RunCli({"/d", "--transfer-all"});
  EXPECT_EQ(result.status, 0) << result.err;
  EXPECT_TRUE(result.messages.empty()) << result.err;
  // Without a control unit the names carry no recorder number: 5 root characters and 3 digits.
  const auto files = EventFiles(DataFolder(), 5);
  std::map<std::string, std::string> expected;
  for (const auto& [name, bytes] : ExpectedFiles({"--unit", "recorder"}, ExportFolder()))
    expected[name.substr(2)] = bytes;
  ASSERT_EQ(expected.size(), 3u);
  EXPECT_EQ(files, expected);
  const std::string trace = ReadAll(DataRoot() / "Trace.dat");
  EXPECT_NE(trace.find("disconnected from COM port 1"), std::string::npos);
}

class ModemTest : public EngineIntegrationTest {
 protected:
  // A modem document for the pseudo-terminal of the emulated modem, and settings that put Modem 1
  // on it.
  fs::path ModemDocument(const std::string& pty) {
    WriteSettings("[Modem1]\nModemCom=1\nModemIni=AT&F;ATE0\nModemDial=ATDT\n[SerialPorts]\nCOM1=" + pty +
                  "\n");
    ConnectionRecord record;
    record.link_kind = LinkKind::kModem1;
    record.baud = 9600;
    record.phone_number = "5551234";
    record.dial_timeout = 30;
    record.connection_timeout = 300;
    const fs::path path = temp_.path() / "modem.krc";
    WriteDocument(path, record);
    return path;
  }
};

TEST_F(ModemTest, DialLogInDownloadAndHangUp) {
  const fs::path log = temp_.path() / "modem.log";
  SimProcess sim(
      {"--modem", "--no-stdin", "--connect-delay-ms", "200", "--guard-ms", "0", "--log", log.string()});
  const std::string pty = sim.WaitFor("PTY ", In(krsim_test::kGenerous));
  ASSERT_FALSE(pty.empty());
  const CliResult result = RunCli({ModemDocument(pty).string(), "--transfer-all"});
  EXPECT_EQ(result.status, 0) << result.err;
  EXPECT_EQ(EventFiles(DataFolder(), 3).size(), 3u);
  // The PC's trace holds the modem texts it sent, in order.
  const std::string trace = ReadAll(DataRoot() / "Trace.dat");
  const size_t init = trace.find(">AT&F");
  const size_t echo_off = trace.find(">ATE0");
  const size_t dial = trace.find(">ATDT5551234");
  const size_t escape = trace.find(">+++");
  const size_t hangup = trace.find(">ATH");
  ASSERT_NE(init, std::string::npos) << trace;
  ASSERT_NE(echo_off, std::string::npos);
  ASSERT_NE(dial, std::string::npos);
  ASSERT_NE(escape, std::string::npos);
  ASSERT_NE(hangup, std::string::npos);
  EXPECT_LT(init, echo_off);
  EXPECT_LT(echo_off, dial);
  EXPECT_LT(dial, escape);
  EXPECT_LT(escape, hangup);
  sim.Stop();
  EXPECT_NE(ReadAll(log).find("modem connected"), std::string::npos);
  EXPECT_NE(ReadAll(DataRoot() / "Trace.dat")
                .find("[Baud Rate = 9600, Dial Time-out = 30, Connection Time-out = 300]"),
            std::string::npos);
}

TEST_F(ModemTest, BusyNumberGives219) {
  SimProcess sim({"--modem", "--no-stdin", "--connect-delay-ms", "50", "--busy", "5551234"});
  const std::string pty = sim.WaitFor("PTY ", In(krsim_test::kGenerous));
  ASSERT_FALSE(pty.empty());
  const CliResult result = RunCli({ModemDocument(pty).string(), "--list-events"});
  EXPECT_EQ(result.status, 1);
  EXPECT_TRUE(Contains(result.messages, 219)) << result.err;
  EXPECT_NE(result.err.find("Target modem is NOT ready."), std::string::npos);
}

// --- The engine in the test's own hands ---------------------------------------------------------------

// The engine, its link and the headless host as tarvik-cli builds them, with a recording person.
class Session {
 public:
  explicit Session(const fs::path& root)
      : settings_(DefaultSettings(root)),
        strings_(MakeTarvikStringTable()),
        stack_(clock_),
        engine_({stack_, stack_.data(), stack_.context(), settings_, ui_, strings_, clock_}),
        host_(stack_.link(), engine_, settings_.com_polling_time) {
    fs::create_directories(settings_.data_path);
    std::lock_guard lock(stack_.ModelMutex());
    stack_.context().viewing_prefix = ViewDownloadDirectory(settings_).string();
  }
  ~Session() { engine_.Shutdown(); }

  bool Run(const std::function<bool()>& done) {
    return host_.RunUntil(done, 30000 / settings_.com_polling_time * 10);
  }
  bool RunUntilIdle() {
    return Run([&] { return engine_.idle(); });
  }

  bool LogIn(int port) {
    RunUntilIdle();
    ConnectionRecord record;
    record.link_kind = LinkKind::kTcp;
    record.ip_address = "127.0.0.1";
    record.ip_port = port;
    ui_.password_answers = {std::string("TORVE")};
    engine_.OpenDocument("site.krc", record);
    return RunUntilIdle() && engine_.state().logged_in && ui_.messages.empty();
  }

  OperationEngine& engine() { return engine_; }
  LinkAdapter& stack() { return stack_; }
  testing::RecordingUi& ui() { return ui_; }
  TarvikSettings& settings() { return settings_; }

 private:
  kr::SystemClock clock_;
  TarvikSettings settings_;
  kr::StringTable strings_;
  testing::RecordingUi ui_;
  LinkAdapter stack_;
  OperationEngine engine_;
  HeadlessHost host_;
};

TEST_F(EngineIntegrationTest, StopTransferLetsTheEventInProgressFinish) {
  SimProcess sim({"--tcp", "0", "--no-stdin"});
  const int port = PortOf(sim);
  ASSERT_GT(port, 0);
  Session session(DataRoot());
  ASSERT_TRUE(session.LogIn(port));
  session.ui().save_answer = DataFolder() / "STP";
  ASSERT_TRUE(session.engine().RequestTransferAll());
  // Stop once the first event's download (M1, the last command of the list) has been started.
  ASSERT_TRUE(session.Run([&] { return session.engine().fields().step == 7; }));
  session.engine().StopTransfer();
  ASSERT_TRUE(session.RunUntilIdle());
  EXPECT_TRUE(session.ui().messages.empty());
  const auto files = EventFiles(DataFolder(), 3);
  const auto expected = ExpectedFiles({}, ExportFolder());
  ASSERT_EQ(files.size(), 1u);
  EXPECT_EQ(files.begin()->first, "01003.vkr");  // the newest event comes first
  EXPECT_EQ(files.begin()->second, expected.at("01003.vkr"));
  EXPECT_TRUE(session.engine().transfer_interrupted(1));
  EXPECT_TRUE(session.engine().state().logged_in);
}

TEST_F(EngineIntegrationTest, UnitThatStopsAnsweringGives212) {
  SimProcess sim({"--tcp", "0", "--no-stdin"});
  const int port = PortOf(sim);
  ASSERT_GT(port, 0);
  Session session(DataRoot());
  ASSERT_TRUE(session.LogIn(port));
  sim.Signal(SIGSTOP);  // the unit is dead, the connection stays up
  session.engine().RequestEventList();
  const bool ended = session.Run([&] { return !session.ui().messages.empty(); });
  sim.Signal(SIGCONT);
  ASSERT_TRUE(ended);
  EXPECT_EQ(session.ui().MessageIds(), std::vector<int>{212});
  EXPECT_EQ(session.engine().operation_state(), OperationState::kBackToControlUnit);
}

}  // namespace
}  // namespace tarvik
