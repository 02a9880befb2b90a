// The windows of the Info and Tests menus and the maintenance entries of the Operate menu, in the
// real window against krsim over loopback TCP: each information window shows the values krsim holds
// while the engine idles behind it, the A/D window reads again and again until it is closed or the
// link fails, a protected action asks for the password (right and wrong), and the exports say where
// the list went.
#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QAction>
#include <QApplication>
#include <QGroupBox>
#include <QLabel>
#include <QMenuBar>
#include <QMessageBox>
#include <cstdio>
#include <mutex>
#include <set>
#include <sstream>

#include "tarvik/engine/link_adapter.h"
#include "tarvik/gui/ad_values_dlg.h"
#include "tarvik/gui/info_dlg.h"
#include "tarvik/gui/info_page_dlg.h"
#include "tarvik/gui/info_text.h"
#include "tarvik/gui/main_frame.h"
#include "tarvik/gui/password_dlg.h"
#include "tarvik/gui/sensor_dlg.h"
#include "tarvik/gui/tarvik_view.h"
#include "tarvik/gui/unit_commands.h"
#include "window_fixture.h"

namespace tarvik_gui_test {
namespace {

namespace info = tarvik::info_text;

// Menu command ids of the entries under test.
constexpr int kInfoRecorder = 32781;
constexpr int kInfoSensor = 32782;
constexpr int kInfoHcu = 32783;
constexpr int kInfoNetwork = 32784;
constexpr int kAdValues = 32807;
constexpr int kTestResults = 32808;
constexpr int kHcuTestResults = 32809;
constexpr int kHcuCommunication = 32810;
constexpr int kExportRecorder = 32815;
constexpr int kExportHcu = 32816;
constexpr int kErase = 32820;

// The frames krsim received, in order (the text after " RX " of each transcript line).
std::vector<std::string> ReceivedFrames(const fs::path& log) {
  std::vector<std::string> frames;
  std::istringstream lines(ReadAll(log));
  std::string line;
  while (std::getline(lines, line)) {
    const std::size_t rx = line.find(" RX ");
    if (rx != std::string::npos) frames.push_back(line.substr(rx + 4));
  }
  return frames;
}

int CountFrames(const std::vector<std::string>& frames, const std::string& code) {
  return static_cast<int>(std::count_if(
      frames.begin(), frames.end(), [&](const std::string& f) { return f.find(code) != std::string::npos; }));
}

// A message box answered with its first button; its text is kept.
ModalAnswerer::Handler AnswerMessages(std::vector<std::string>* texts) {
  return [texts](QWidget* modal) {
    auto* box = qobject_cast<QMessageBox*>(modal);
    if (box == nullptr) return false;
    texts->push_back(box->text().toStdString());
    box->buttons().front()->click();
    return true;
  };
}

class InfoWindows : public ::testing::Test {
 protected:
  fs::path DataRoot() const { return temp_.path() / "root"; }
  fs::path Log() const { return temp_.path() / "krsim.log"; }

  // krsim as an HCU with two recorders (its defaults), with a transcript.
  fs::path StartSimulator() {
    sim_ = std::make_unique<krsim_test::SimProcess>(
        std::vector<std::string>{"--tcp", "0", "--no-stdin", "--log", Log().string()});
    const int port = PortOf(*sim_);
    EXPECT_GT(port, 0);
    return WriteTcpDocument(temp_.path(), port);
  }

  std::unique_ptr<WindowSession> LogIn(ModalAnswerer& answerer, const std::string& settings = "") {
    answerer.Add(AcceptPasswordPrompt(&prompts_));
    auto session = std::make_unique<WindowSession>(DataRoot(), settings, std::vector<std::string>{document_});
    EXPECT_TRUE(session->started());
    EXPECT_TRUE(WaitLoggedIn(*session));
    // The menus follow the engine at the next tick.
    EXPECT_TRUE(WaitUntil([&] { return session->frame().Action(kInfoRecorder)->isEnabled(); }));
    return session;
  }

  static bool Idle(WindowSession& session) {
    tarvik::OperationEngine& engine = session.frame().view()->engine();
    return engine.idle() && !engine.state().busy;
  }

  void SetUp() override { document_ = StartSimulator().string(); }

  TempFolder temp_;
  std::unique_ptr<krsim_test::SimProcess> sim_;
  std::string document_;
  int prompts_ = 0;
};

std::string ValueOf(const tarvik::CInfoDlg& dialog, int label) {
  const QLabel* value = dialog.Value(label);
  return value == nullptr ? "<absent>" : value->text().toStdString();
}

TEST_F(InfoWindows, InfoRecorderAndSensorShowTheRecordersValuesWhileTheEngineIdles) {
  ModalAnswerer answerer;
  std::map<int, std::string> recorder;
  std::map<std::pair<int, int>, std::string> sensor;
  std::string sensor_serial;
  std::vector<std::string> group_titles;
  bool idle_while_open = true;
  tarvik::OperationEngine* engine = nullptr;
  answerer.Add([&](QWidget* modal) {
    auto* dialog = qobject_cast<tarvik::CInfoDlg*>(modal);
    if (dialog == nullptr) return false;
    for (int label = info::kManufacturer; label <= info::kInternalTime; ++label)
      recorder[label] = ValueOf(*dialog, label);
    for (QGroupBox* box : dialog->findChildren<QGroupBox*>())
      group_titles.push_back(box->title().toStdString());
    idle_while_open = idle_while_open && engine != nullptr && engine->idle();
    SaveScreenshot(*dialog, "tarvik_info_recorder_enu");
    dialog->accept();
    return true;
  });
  answerer.Add([&](QWidget* modal) {
    auto* dialog = qobject_cast<tarvik::CSensorDlg*>(modal);
    if (dialog == nullptr) return false;
    sensor_serial = dialog->SerialNumber().toStdString();
    for (int label = info::kAxisName; label <= info::kBaseline; ++label) {
      for (int channel = 1; channel <= 3; ++channel)
        sensor[{label, channel}] = dialog->Value(label, channel).toStdString();
    }
    SaveScreenshot(*dialog, "tarvik_info_sensor_enu");
    dialog->accept();
    return true;
  });
  auto session = LogIn(answerer);
  tarvik::CMainFrame& frame = session->frame();
  engine = &frame.view()->engine();
  // The Info, Tests and Operate menus are there now (the Parameter menu's dialogs are not built).
  std::vector<std::string> menus;
  for (QAction* action : frame.menuBar()->actions()) menus.push_back(action->text().toStdString());
  EXPECT_EQ(menus, (std::vector<std::string>{"&File", "&Info", "&View", "&Transfer", "T&ests", "&Operate",
                                             "&Activate", "&Help"}));

  frame.Action(kInfoRecorder)->trigger();
  ASSERT_TRUE(WaitUntil([&] { return !recorder.empty() && Idle(*session); }));
  EXPECT_TRUE(idle_while_open);
  // krsim's KR 1: a CKR4100 with firmware 220.60, serial 10417, its power, memory and state.
  EXPECT_EQ(recorder[info::kManufacturer], "KR Systems");
  EXPECT_EQ(recorder[info::kUnitName], "CKR4100");
  EXPECT_EQ(recorder[info::kSerialNumber], "10417");
  EXPECT_EQ(recorder[info::kFirmwareVersion], "22060");
  EXPECT_EQ(recorder[info::kDspVersion], "DSP 3.02");
  EXPECT_EQ(recorder[info::kOptions], "2432");  // bits 7, 8 and 11
  EXPECT_EQ(recorder[info::kMainBattery], "12.650");
  EXPECT_EQ(recorder[info::kClockBackup], "3.310");
  EXPECT_EQ(recorder[info::kSupplyPower], "ON");
  EXPECT_EQ(recorder[info::kPowerLosses], "1");
  EXPECT_EQ(recorder[info::kAdResolution], "16");
  EXPECT_EQ(recorder[info::kChannels], "3");
  EXPECT_EQ(recorder[info::kFilter], "1");
  EXPECT_EQ(recorder[info::kEvents], "3");
  EXPECT_EQ(recorder[info::kPrimarySize], "4096");
  EXPECT_EQ(recorder[info::kSecondarySize], "512");
  EXPECT_EQ(recorder[info::kRingBuffer], "YES");
  EXPECT_EQ(recorder[info::kMassStorage], "NO");
  EXPECT_EQ(recorder[info::kStatusAlarm], "No alarm");
  EXPECT_EQ(recorder[info::kRestarts], "3");
  EXPECT_EQ(recorder[info::kTemperature], "21.5");
  EXPECT_EQ(recorder[info::kTimedRecording], "-");  // no set times
  EXPECT_NE(recorder[info::kInternalTime].find(':'), std::string::npos) << recorder[info::kInternalTime];
  EXPECT_EQ(group_titles,
            (std::vector<std::string>{"Hardware/Firmware", "Power Supply", "Digitizer Recorder",
                                      "Memory / Primary", "Memory / Secondary", "System Condition"}));

  frame.Action(kInfoSensor)->trigger();
  ASSERT_TRUE(WaitUntil([&] { return !sensor.empty() && Idle(*session); }));
  EXPECT_EQ(sensor_serial, "S0831");
  const std::string names[] = {"X", "Y", "Z"};
  const std::string baselines[] = {"12", "-7", "4"};
  for (int channel = 1; channel <= 3; ++channel) {
    const auto c = static_cast<std::size_t>(channel - 1);
    EXPECT_EQ((sensor[{info::kAxisName, channel}]), names[c]);
    EXPECT_EQ((sensor[{info::kAxisOrientation, channel}]), "1");
    EXPECT_EQ((sensor[{info::kMeasuringUnit, channel}]), "mm/s");
    EXPECT_EQ((sensor[{info::kLsb, channel}]), "0.001");  // 10 x 10^-4 of a 16-bit converter
    EXPECT_EQ((sensor[{info::kBaseline, channel}]), baselines[c]);
  }
  // The sensor read: Na, RR, IC, ID, IU, Na0 for KR 1, and nothing shown as a failure.
  const auto frames = ReceivedFrames(Log());
  EXPECT_GE(CountFrames(frames, "RR"), 1);
  EXPECT_TRUE(session->ui().message_ids().empty());
}

// The pages without a fixed layout: one row per value the state read, titled after the menu entry.
TEST_F(InfoWindows, PagesOfTheControlUnitAndTheTestResults) {
  ModalAnswerer answerer;
  std::map<std::string, std::vector<std::pair<QString, QString>>> pages;
  answerer.Add([&](QWidget* modal) {
    auto* dialog = qobject_cast<tarvik::CInfoPageDlg*>(modal);
    if (dialog == nullptr) return false;
    const std::string title = dialog->windowTitle().toStdString();
    pages[title] = dialog->Rows();
    static const std::map<std::string, std::string> kPictures = {
        {"Info HCU", "tarvik_info_hcu_enu"},
        {"Info Network", "tarvik_info_network_enu"},
        {"Show KR Test results", "tarvik_kr_test_results_enu"},
        {"Show HCU Test results", "tarvik_hcu_test_results_enu"},
        {"Show HCU Comm. param", "tarvik_hcu_communication_enu"}};
    if (const auto picture = kPictures.find(title); picture != kPictures.end())
      SaveScreenshot(*dialog, picture->second);
    dialog->accept();
    return true;
  });
  auto session = LogIn(answerer);
  tarvik::CMainFrame& frame = session->frame();
  for (const int command : {kInfoHcu, kInfoNetwork, kTestResults, kHcuTestResults, kHcuCommunication}) {
    const std::size_t before = pages.size();
    ASSERT_TRUE(frame.Action(command)->isEnabled()) << command;
    frame.Action(command)->trigger();
    ASSERT_TRUE(WaitUntil([&] { return pages.size() == before + 1 && Idle(*session); })) << command;
  }
  ASSERT_EQ(pages.size(), 5u);
  const auto value = [&](const std::string& page, const QString& label) {
    for (const auto& [name, shown] : pages[page]) {
      if (name == label) return shown.toStdString();
    }
    return std::string("<absent>");
  };
  for (const auto& [title, rows] : pages) EXPECT_FALSE(rows.empty()) << title;
  // Values krsim holds, under the labels of the parameter list.
  EXPECT_EQ(value("Show KR Test results", "Restarts"), "3");
  EXPECT_EQ(value("Show KR Test results", "Warning Flags Summary"), "4");
  EXPECT_EQ(value("Show KR Test results", "Get Test Results"), "0, 0, 1, 0, 0, 0, 0, 0");
  // The recording state of the two recorders, one letter each.
  const std::string recording = value("Info Network", "NR");
  EXPECT_EQ(recording.size(), 2u);
  EXPECT_EQ(recording.find_first_not_of("YN"), std::string::npos) << recording;
  EXPECT_TRUE(session->ui().message_ids().empty());
}

TEST_F(InfoWindows, InfoRecorderInGermanAndChinese) {
  const struct {
    int language;
    const char* picture;
    const char* title;
    const char* first_group;
  } kLanguages[] = {{1, "tarvik_info_recorder_deu", "Info Rekorder", "Hardware/Firmware"},
                    {3, "tarvik_info_recorder_chs", "记录仪信息", "硬件/固件"}};
  for (const auto& language : kLanguages) {
    ModalAnswerer answerer;
    std::string title;
    std::string first_group;
    std::string serial;
    answerer.Add([&](QWidget* modal) {
      auto* dialog = qobject_cast<tarvik::CInfoDlg*>(modal);
      if (dialog == nullptr) return false;
      title = dialog->windowTitle().toStdString();
      first_group = dialog->findChildren<QGroupBox*>().front()->title().toStdString();
      serial = ValueOf(*dialog, info::kSerialNumber);
      SaveScreenshot(*dialog, language.picture);
      dialog->accept();
      return true;
    });
    auto session = LogIn(answerer, "[Monitoring]\nLanguage=" + std::to_string(language.language) + "\n");
    session->frame().Action(kInfoRecorder)->trigger();
    ASSERT_TRUE(WaitUntil([&] { return !title.empty() && Idle(*session); }));
    EXPECT_EQ(title, language.title);
    EXPECT_EQ(first_group, language.first_group);
    EXPECT_EQ(serial, "10417");
    session->frame().Action(tarvik::cmd::kLogout)->trigger();
    ASSERT_TRUE(WaitUntil([&] { return session->frame().menu_set() == tarvik::MenuSet::kNotLoggedIn; }));
  }
}

int EventsOfKr1(WindowSession& session) {
  tarvik::LinkAdapter& stack = session.frame().view()->stack();
  std::lock_guard lock(stack.ModelMutex());
  return stack.data().Recorder(1)->MN.value;
}

// Operate > Erase asks for the password first: a wrong one is refused by the recorder (242, the
// events stay), the right one erases them (243).
TEST_F(InfoWindows, EraseFromTheMenuWithWrongAndRightPassword) {
  ModalAnswerer answerer;
  std::vector<std::string> prompt_titles;
  std::vector<std::string> prefills;
  std::string typed;
  std::vector<std::string> messages;
  // The log-in prompt is accepted as it is filled; the prompts of the erase get what the test types.
  answerer.Add([&](QWidget* modal) {
    auto* dialog = qobject_cast<tarvik::CPasswordDlg*>(modal);
    if (dialog == nullptr || typed.empty()) return false;
    prompt_titles.push_back(dialog->windowTitle().toStdString());
    prefills.push_back(dialog->password().toStdString());
    dialog->edit()->setText(QString::fromStdString(typed));
    dialog->accept();
    return true;
  });
  answerer.Add(AnswerMessages(&messages));
  auto session = LogIn(answerer);
  tarvik::CMainFrame& frame = session->frame();
  ASSERT_EQ(EventsOfKr1(*session), 3);

  typed = "WRONG";
  frame.Action(kErase)->trigger();
  ASSERT_TRUE(WaitUntil([&] { return messages.size() == 1 && Idle(*session); }, 40000));
  EXPECT_EQ(messages[0], "Wrong password. No events erased.");
  EXPECT_EQ(EventsOfKr1(*session), 3);

  typed = "TORVE";
  frame.Action(kErase)->trigger();
  ASSERT_TRUE(WaitUntil([&] { return messages.size() == 2 && Idle(*session); }, 40000));
  EXPECT_EQ(messages[1], "All events erased.") << ::testing::PrintToString(ReceivedFrames(Log()));
  EXPECT_EQ(EventsOfKr1(*session), 0);
  // The prompt named the operation and the recorder behind the HCU.
  ASSERT_EQ(prompt_titles.size(), 2u);
  EXPECT_EQ(prompt_titles[0], "Erase Events  [ KR1 ]");
  const std::vector<int>& ids = session->ui().message_ids();
  EXPECT_EQ(ids, (std::vector<int>{242, 243}));
  // Mf went out twice, once with each password.
  const std::vector<std::string> frames = ReceivedFrames(Log());
  EXPECT_EQ(CountFrames(frames, "(MfTORVE"), 1);
  EXPECT_GE(CountFrames(frames, "(MfWRONG"), 1);
  // AlwaysAskPassword is 1 unless the settings say otherwise: the prompts come empty.
  EXPECT_EQ(prefills, (std::vector<std::string>{"", ""}));
}

TEST_F(InfoWindows, ExportsSayWhereTheListWent) {
  ModalAnswerer answerer;
  std::vector<std::string> messages;
  auto session = LogIn(answerer);
  answerer.Add(AnswerMessages(&messages));
  tarvik::CMainFrame& frame = session->frame();
  const fs::path data = session->app().settings().data_path;

  frame.Action(kExportRecorder)->trigger();
  ASSERT_TRUE(WaitUntil([&] { return messages.size() == 1 && Idle(*session); }, 60000));
  EXPECT_EQ(messages[0], "The parameter list was written to:\n" + (data / "ParamList.txt").string());
  frame.Action(kExportHcu)->trigger();
  ASSERT_TRUE(WaitUntil([&] { return messages.size() == 2 && Idle(*session); }, 60000));
  EXPECT_EQ(messages[1], "The parameter list was written to:\n" + (data / "HcuParamList.txt").string());
  // Both are UTF-16LE with a byte-order mark.
  for (const char* name : {"ParamList.txt", "HcuParamList.txt"}) {
    const std::string bytes = ReadAll(data / name);
    ASSERT_GE(bytes.size(), 4u) << name;
    EXPECT_EQ(bytes.substr(0, 2), "\xFF\xFE") << name;
  }

  // A data folder that cannot take the file: an error, not the note of success.
  fs::remove(data / "ParamList.txt");
  fs::create_directories(data / "ParamList.txt");  // a folder where the file should go
  frame.Action(kExportRecorder)->trigger();
  ASSERT_TRUE(WaitUntil([&] { return messages.size() == 3 && Idle(*session); }, 60000));
  EXPECT_EQ(messages[2], "The parameter list could not be written: ParamList.txt");
}

// The A/D window reads the values (45) again and again while it is open; closing it stops the reads
// and addresses the control unit again. The window runs its own event loop, so the test looks at it
// from the answerer's timer, as a person looking at the screen would.
TEST_F(InfoWindows, AdValuesAreReadPeriodicallyUntilTheWindowCloses) {
  ModalAnswerer answerer;
  auto session = LogIn(answerer);
  tarvik::CMainFrame& frame = session->frame();
  int reads = 0;
  bool was_reading = false;
  std::string values;
  std::size_t frames_while_open = 0;
  std::set<std::string> shown;
  answerer.Add([&](QWidget* modal) {
    auto* window = qobject_cast<tarvik::CAdValuesDlg*>(modal);
    if (window == nullptr) return false;
    shown.insert(window->Value("Get all A/D Values").toStdString());
    if (window->reads() < 3) return true;
    reads = window->reads();
    was_reading = window->reading();
    values = window->Value("Get all A/D Values").toStdString();
    frames_while_open = ReceivedFrames(Log()).size();
    SaveScreenshot(*window, "tarvik_ad_values_enu");
    window->accept();
    return true;
  });
  frame.Action(kAdValues)->trigger();
  ASSERT_TRUE(WaitUntil(
      [&] { return reads > 0 && frame.unit_commands()->ad_window() == nullptr && Idle(*session); }));
  EXPECT_TRUE(was_reading);
  // krsim's converter readings wiggle by w = -3..3 from read to read: the clock battery 3310 + w and
  // the first two channels w and -w.
  int w = 99;
  ASSERT_EQ(std::sscanf(values.c_str(), "12650, %d", &w), 1) << values;
  w -= 3310;
  EXPECT_EQ(values, "12650, " + std::to_string(3310 + w) + ", 21, " + std::to_string(w) + ", " +
                        std::to_string(-w) + ", 1, 0, 0, 0, 0");
  EXPECT_GE(shown.size(), 2u);  // the window followed the reads
  // The control unit is addressed again: a frame follows the window.
  ASSERT_TRUE(WaitUntil([&] { return ReceivedFrames(Log()).size() > frames_while_open && Idle(*session); }));
  std::vector<std::string> after = ReceivedFrames(Log());
  const int reads_at_close = CountFrames(after, "AV");
  EXPECT_GE(reads_at_close, 3);
  std::string hcu_title;
  answerer.Add([&](QWidget* modal) {
    auto* dialog = qobject_cast<tarvik::CInfoPageDlg*>(modal);
    if (dialog == nullptr) return false;
    hcu_title = dialog->windowTitle().toStdString();
    dialog->accept();
    return true;
  });
  frame.Action(kInfoHcu)->trigger();
  ASSERT_TRUE(WaitUntil([&] { return !hcu_title.empty() && Idle(*session); }));
  after = ReceivedFrames(Log());
  EXPECT_EQ(CountFrames(after, "AV"), reads_at_close);  // no read after the window closed
  // Between the last AV and the control unit's NP stands the Na0 that leaves the recorder.
  std::size_t last_av = 0;
  for (std::size_t i = 0; i < after.size(); ++i) {
    if (after[i].find("AV") != std::string::npos) last_av = i;
  }
  bool na0_between = false;
  bool np_reached = false;
  for (std::size_t i = last_av + 1; i < after.size() && !np_reached; ++i) {
    np_reached = after[i].find("NP") != std::string::npos;
    na0_between = na0_between || after[i].find("Na0") != std::string::npos;
  }
  EXPECT_TRUE(np_reached);
  EXPECT_TRUE(na0_between);
  EXPECT_TRUE(session->ui().message_ids().empty());
}

TEST_F(InfoWindows, AdValuesStopWhenTheLinkFails) {
  ModalAnswerer answerer;
  std::vector<std::string> messages;
  auto session = LogIn(answerer);
  answerer.Add(AnswerMessages(&messages));
  tarvik::CMainFrame& frame = session->frame();
  bool link_cut = false;
  int stopped_reads = -1;
  int looks_after_stop = 0;
  bool read_again = false;
  answerer.Add([&](QWidget* modal) {
    auto* window = qobject_cast<tarvik::CAdValuesDlg*>(modal);
    if (window == nullptr) return false;
    if (!link_cut) {
      if (window->reads() >= 1) {
        sim_->Stop();
        link_cut = true;
      }
      return true;
    }
    if (window->reading()) return true;
    if (stopped_reads < 0) stopped_reads = window->reads();
    // It stays stopped for a good number of the window's intervals.
    read_again = read_again || window->reading() || window->reads() != stopped_reads;
    if (++looks_after_stop >= 100) window->accept();
    return true;
  });
  frame.Action(kAdValues)->trigger();
  ASSERT_TRUE(WaitUntil(
      [&] { return looks_after_stop >= 100 && frame.unit_commands()->ad_window() == nullptr; }, 60000));
  EXPECT_TRUE(link_cut);
  EXPECT_GE(stopped_reads, 1);
  EXPECT_FALSE(read_again);
  // The failure was reported to the operator.
  EXPECT_FALSE(messages.empty());
}

}  // namespace
}  // namespace tarvik_gui_test
