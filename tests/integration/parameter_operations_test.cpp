// The parameter operations of tarvik-cli against krsim over loopback TCP: --show pages, the
// parameter lists, and the frames krsim's transcript records.
#include <gtest/gtest.h>
#include <unistd.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <map>
#include <sstream>

#include "../support/file_text.h"
#include "krcommon/stdio_file_ex.h"
#include "krsim/sim_process.h"
#include "tarvik/app/tarvik_settings.h"
#include "tarvik/cli/cli_session.h"
#include "tarvik/engine/engine_test_support.h"  // tests/tarvik/engine
#include "tarvik/engine/headless_host.h"
#include "tarvik/engine/link_adapter.h"
#include "tarvik/engine/operation_engine.h"
#include "tarvik/engine/parameter_write_operation.h"
#include "tarvik/resources/tarvik_strings.h"

namespace tarvik {
namespace {

namespace fs = std::filesystem;
using kr_test::ReadAll;
using kr_test::WriteText;
using krsim_test::In;
using krsim_test::SimProcess;

// The frames the PC sent, in order, as krsim's transcript records them ("(TE" without checksum).
std::vector<std::string> FramesReceived(const fs::path& log) {
  std::vector<std::string> frames;
  std::istringstream lines(ReadAll(log));
  for (std::string line; std::getline(lines, line);) {
    const std::size_t rx = line.find(" RX (");
    if (rx == std::string::npos) continue;
    std::string frame = line.substr(rx + 5);
    frame = frame.substr(0, frame.find('['));
    frames.push_back(frame);
  }
  return frames;
}

// The frames from the first `first` on.
std::vector<std::string> From(const std::vector<std::string>& frames, const std::string& first) {
  const auto start = std::find(frames.begin(), frames.end(), first);
  return {start, frames.end()};
}

// The frames from the last `first` on.
std::vector<std::string> FromLast(const std::vector<std::string>& frames, const std::string& first) {
  const auto start = std::find(frames.rbegin(), frames.rend(), first);
  return {start == frames.rend() ? frames.end() : std::prev(start.base()), frames.end()};
}

class ParameterOperationsTest : public ::testing::Test {
 protected:
  void SetUp() override {
    dir_ = fs::temp_directory_path() / ("kr_param_ops_" + std::to_string(::getpid()) + "_" +
                                        ::testing::UnitTest::GetInstance()->current_test_info()->name());
    fs::remove_all(dir_);
    fs::create_directories(dir_);
  }
  void TearDown() override { fs::remove_all(dir_); }

  // krsim with its transcript; `ini` (may be empty) configures the unit.
  int StartSim(const std::string& ini = "") {
    std::vector<std::string> args = {"--tcp", "0", "--no-stdin", "--log", (dir_ / "sim.log").string()};
    if (!ini.empty()) {
      WriteText(dir_ / "sim.ini", ini);
      args.push_back("--config");
      args.push_back((dir_ / "sim.ini").string());
    }
    sim_ = std::make_unique<SimProcess>(args);
    const std::string port = sim_->WaitFor("PORT ", In(krsim_test::kGenerous));
    return port.empty() ? 0 : std::stoi(port);
  }

  fs::path Document(int port) {
    const fs::path path = dir_ / "site.krc";
    std::ostringstream err;
    EXPECT_TRUE(WriteTcpDocument(path.string(), "127.0.0.1:" + std::to_string(port), err)) << err.str();
    return path;
  }

  struct Result {
    int status = -1;
    std::string out;
    std::string err;
    std::vector<int> messages;
  };

  Result Run(std::vector<std::string> args) {
    std::vector<const char*> argv = {"tarvik-cli"};
    for (const std::string& a : args) argv.push_back(a.c_str());
    const CliOptions options = ParseCliOptions(static_cast<int>(argv.size()), argv.data());
    std::ostringstream out;
    std::ostringstream err;
    ConsoleUi ui(out, err);
    AppEnvironment environment;
    const std::string root = (dir_ / "root").string();
    environment.environment = [root](std::string_view name) -> std::optional<std::string> {
      if (name == "TARVIK_DATA_ROOT") return root;
      if (name == "TARVIK_PASSWORD") return std::string("TORVE");
      return std::nullopt;
    };
    environment.program_directory = dir_;
    Result result;
    result.status = RunCliSession(options, ui, environment);
    result.out = out.str();
    result.err = err.str();
    result.messages = ui.message_ids();
    return result;
  }

  std::vector<std::string> Frames() {
    sim_->Stop();
    return FramesReceived(dir_ / "sim.log");
  }

  fs::path dir_;
  std::unique_ptr<SimProcess> sim_;
};

TEST_F(ParameterOperationsTest, ExportWritesBothListsIntoTheDataFolderAndPrintsTheirPaths) {
  const int port = StartSim();
  ASSERT_GT(port, 0);
  const Result result = Run({Document(port).string(), "--export-params", "--export-hcu-params"});
  ASSERT_EQ(result.status, 0) << result.err;
  const fs::path data = dir_ / "root" / "Data";
  EXPECT_EQ(result.out,
            (data / "ParamList.txt").string() + "\n" + (data / "HcuParamList.txt").string() + "\n");

  const std::string bytes = ReadAll(data / "ParamList.txt");
  ASSERT_GE(bytes.size(), 2U);
  EXPECT_EQ(bytes.substr(0, 2), "\xFF\xFE");
  EXPECT_EQ(bytes.find(std::string("\xFF\xFE"), 2), std::string::npos);
  const std::string text = kr::Utf16LeToUtf8(bytes.substr(2));
  // Recorder 1 of the default unit: a CKR4100 with firmware 22060 and option bits 7, 8 and 11,
  // its station name and serial number as krsim gives them.
  EXPECT_EQ(text.rfind("KR Parameter Export CKR4100 10417 - Tarvik ", 0), 0U) << text;
  EXPECT_NE(text.find("\r\n[PR] Comment:             \t\""), std::string::npos);
  EXPECT_NE(text.find("[TE] Pre-event Time:      \t2\r\n"), std::string::npos);
  EXPECT_NE(text.find("[SO] Option Bits:         \t2432\r\n"), std::string::npos);
  EXPECT_NE(text.find("[FM] Error Flag Masks:\r\n     [7] 255\r\n"), std::string::npos);
  // Bit 14 is clear: the CAV blocks are one line each.
  EXPECT_NE(text.find("[AK1] CAV weighted alarm is disabled (option bit 14 is not set)\r\n"
                      "[AK2] CAV weighted alarm is disabled (option bit 14 is not set)\r\n"),
            std::string::npos);
  // Type 21 lacks the trigger parameters TP.
  EXPECT_EQ(text.find("[TP]"), std::string::npos);
  EXPECT_EQ(text.find("\r\r"), std::string::npos);

  const std::string hcu = kr::Utf16LeToUtf8(ReadAll(data / "HcuParamList.txt").substr(2));
  EXPECT_NE(hcu.find("[NN] Type of Device:       \t\"HCU4100\"\r\n"), std::string::npos) << hcu;
  EXPECT_NE(hcu.find("[NC] No KR's Connected: \t2\r\n"), std::string::npos);
  // The log-in level of the unit is 2: the factory lines say why they are left out.
  EXPECT_NE(hcu.find("[NK] Get Options is not applicable (login level 2 instead 3)"), std::string::npos);

  // The recorder's values are read between Na and Na0, TE among them; the list to the control
  // unit sends no log-in command.
  const std::vector<std::string> frames = Frames();
  const std::vector<std::string> from_pr = From(frames, "PR");
  ASSERT_FALSE(from_pr.empty());
  EXPECT_NE(std::find(from_pr.begin(), from_pr.end(), "TE"), from_pr.end());
  const std::vector<std::string> from_nt = From(frames, "NT");
  ASSERT_FALSE(from_nt.empty());
  EXPECT_EQ(std::find(from_nt.begin(), from_nt.end(), "LL"), from_nt.end());
}

TEST_F(ParameterOperationsTest, ShowPrintsWhatThePagesShow) {
  const int port = StartSim();
  ASSERT_GT(port, 0);
  const Result result =
      Run({Document(port).string(), "--show", "recorder", "--show", "sensor", "--show", "hcu-periodic-test"});
  ASSERT_EQ(result.status, 0) << result.err;
  for (const char* line :
       {"Unit Name: CKR4100\n", "Serial Number: 10417\n", "Number of Events: 3\n", "Sampling Rate: 200\n",
        "Sensor serial number: S0831\n", "Channel Name: X, Y, Z\n",
        "Physical Measuring Unit: mm/s, mm/s, mm/s\n", "[0] Periodic Test Delay Days: 24\n",
        "[1] Periodic Test Delay Time: 06:00:00\n"}) {
    EXPECT_NE(result.out.find(line), std::string::npos) << line << "\n" << result.out;
  }
  // The sensor page reads {Na, RR, IC, ID, IU, Na0}.
  const std::vector<std::string> frames = Frames();
  const std::vector<std::string> sensor = From(frames, "RR");
  ASSERT_GE(sensor.size(), 6U);
  EXPECT_EQ(std::vector<std::string>(sensor.begin(), sensor.begin() + 5),
            (std::vector<std::string>{"RR", "IC", "ID", "IU", "Na0"}));
}

TEST_F(ParameterOperationsTest, ShowListNamesEveryPageAndAnUnknownPageIsRefused) {
  const Result list = Run({"--show", "list"});
  EXPECT_EQ(list.status, 0) << list.err;
  EXPECT_EQ(std::count(list.out.begin(), list.out.end(), '\n'), 23);
  EXPECT_NE(list.out.find("background-recording\n"), std::string::npos);

  const int port = StartSim();
  ASSERT_GT(port, 0);
  const Result unknown = Run({Document(port).string(), "--show", "everything"});
  EXPECT_EQ(unknown.status, 1);
  EXPECT_NE(std::find(unknown.messages.begin(), unknown.messages.end(), 9751), unknown.messages.end());
}

TEST_F(ParameterOperationsTest, AlertingReadStopsWith224WhenTheRecorderHasNoAlerting) {
  const int port =
      StartSim("[Unit]\nType=HCU\nRecorders=1\n[Recorder1]\nModel=C\nFirmware=22060\nFeatures=128\n");
  ASSERT_GT(port, 0);
  const Result result = Run({Document(port).string(), "--show", "alerting-messages"});
  EXPECT_EQ(result.status, 1);
  EXPECT_NE(std::find(result.messages.begin(), result.messages.end(), 224), result.messages.end())
      << result.err;
  // {Na, SO} went out; AL needs bit 8 and is skipped, AE is where the read stops, and the control
  // unit is addressed again.
  const std::vector<std::string> frames = FromLast(Frames(), "SO");
  ASSERT_GE(frames.size(), 2U);
  EXPECT_EQ(frames[1], "Na0");
  EXPECT_EQ(std::find(frames.begin(), frames.end(), "AL"), frames.end());
  EXPECT_EQ(std::find(frames.begin(), frames.end(), "AE"), frames.end());
}

// The engine on its own, logged in to krsim, for the writes: their values come from the data model
// as a window would have stored them.
class WriteSession {
 public:
  explicit WriteSession(const fs::path& root)
      : settings_(DefaultSettings(root)),
        strings_(MakeTarvikStringTable()),
        stack_(clock_),
        engine_({stack_, stack_.data(), stack_.context(), settings_, ui_, strings_, clock_}),
        host_(stack_.link(), engine_, settings_.com_polling_time) {
    fs::create_directories(settings_.data_path);
  }
  ~WriteSession() { engine_.Shutdown(); }

  bool RunUntilIdle() {
    return host_.RunUntil([&] { return engine_.idle(); }, 30000 / settings_.com_polling_time * 10);
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
  // Changes the target recorder's values as a window does, then runs the write.
  void Write(OperationState state, const std::function<void(KrParams&)>& edit) {
    {
      std::lock_guard lock(stack_.ModelMutex());
      edit(*stack_.data().Recorder(stack_.TargetRecorder()));
    }
    engine_.Unit<ParameterWriteOperation>().RequestWrite(state);
    RunUntilIdle();
  }
  testing::RecordingUi& ui() { return ui_; }

 private:
  kr::SystemClock clock_;
  TarvikSettings settings_;
  kr::StringTable strings_;
  testing::RecordingUi ui_;
  LinkAdapter stack_;
  OperationEngine engine_;
  HeadlessHost host_;
};

TEST_F(ParameterOperationsTest, RecordingWriteSendsOnlyTheChangedValuesAndCommits) {
  const int port = StartSim();
  ASSERT_GT(port, 0);
  {
    WriteSession session(dir_ / "root");
    ASSERT_TRUE(session.LogIn(port));
    session.Write(OperationState::kWriteTriggeredRecording, [](KrParams& kr) {
      kr.TE.Set(7);
      kr.TO.Set(9);
      kr.TM.Set(3);
    });
    EXPECT_TRUE(session.ui().messages.empty()) << session.ui().messages.size();
  }
  // Only the changed values of the list go out; the trigger mode touches the trigger settings, so
  // Fi commits them; Na0 addresses the control unit again.
  const std::vector<std::string> frames = From(Frames(), "Te7");
  ASSERT_GE(frames.size(), 5U);
  EXPECT_EQ(std::vector<std::string>(frames.begin(), frames.begin() + 5),
            (std::vector<std::string>{"Te7", "To9", "Tm3", "Fi", "Na0"}));
}

TEST_F(ParameterOperationsTest, GeneralWriteWhoseClockIsRefusedEndsWith297) {
  const int port = StartSim("[Faults]\nRefuseCommands=Ct\n");
  ASSERT_GT(port, 0);
  {
    WriteSession session(dir_ / "root");
    ASSERT_TRUE(session.LogIn(port));
    session.Write(OperationState::kWriteGeneral, [](KrParams& kr) {
      kr.ZD.Set(20);
      kr.RequestClockSetting();
    });
    EXPECT_EQ(session.ui().MessageIds(), std::vector<int>{297});
  }
  const std::vector<std::string> frames = Frames();
  const std::vector<std::string> from_zd = From(frames, "Zd20");
  ASSERT_FALSE(from_zd.empty());
  // Cd still goes out after the refused Ct, and the list ends with Na0.
  bool cd_sent = false;
  for (const std::string& frame : from_zd) cd_sent = cd_sent || frame.starts_with("Cd");
  EXPECT_TRUE(cd_sent);
}

}  // namespace
}  // namespace tarvik
