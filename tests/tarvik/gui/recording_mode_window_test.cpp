// The recording-mode console against krsim: opened from the Operate menu after the recording mode is
// read, the blasting mode switched on and off with the status following what the recorder reports,
// and the keyboard trigger started and stopped through its own window. Pictures in each language.
#include <gtest/gtest.h>

#include <QApplication>
#include <QMessageBox>
#include <algorithm>
#include <cctype>

#include "picture_sheet.h"
#include "tarvik/engine/operation_engine.h"
#include "tarvik/gui/keyboardtrigger_dlg.h"
#include "tarvik/gui/password_dlg.h"
#include "tarvik/gui/recordingmode_dlg.h"
#include "tarvik/gui/tarvik_view.h"
#include "tarvik/gui/unit_commands.h"
#include "tarvik/resources/tarvik_strings.h"
#include "window_fixture.h"

namespace tarvik_gui_test {
namespace {

constexpr int kRecordingMode = 32817;

// What the console showed at one moment.
struct Seen {
  std::string mode;
  std::string blasting;
  std::string button;
};

Seen Look(tarvik::CRecordingmodeDlg& dialog) {
  return {dialog.mode_text().toStdString(), dialog.blasting_text().toStdString(),
          dialog.blasting_button()->text().toStdString()};
}

// Whether krsim's transcript holds the frames in this order.
bool InOrder(const std::string& log, const std::vector<std::string>& frames) {
  std::size_t at = 0;
  for (const std::string& frame : frames) {
    at = log.find("RX " + frame + "[", at);
    if (at == std::string::npos) return false;
    ++at;
  }
  return true;
}

TEST(RecordingModeWindow, SwitchesBlastingModeAndRunsTheKeyboardTrigger) {
  TempFolder temp;
  WriteText(temp.path() / "sim.ini", "[Unit]\nType=Recorder\n[Recorder1]\nModel=C\nFirmware=22060\n");
  auto sim = std::make_unique<krsim_test::SimProcess>(
      std::vector<std::string>{"--tcp", "0", "--no-stdin", "--log", (temp.path() / "sim.log").string(),
                               "--config", (temp.path() / "sim.ini").string()});
  const int port = PortOf(*sim);
  ASSERT_GT(port, 0);
  const fs::path document = WriteTcpDocument(temp.path(), port);

  ModalAnswerer answerer;
  int prompts = 0;
  answerer.Add(AcceptPasswordPrompt(&prompts));
  std::vector<std::string> messages;
  answerer.Add([&](QWidget* modal) {
    auto* box = qobject_cast<QMessageBox*>(modal);
    if (box == nullptr) return false;
    messages.push_back(box->text().toStdString());
    box->accept();
    return true;
  });
  int kb_counter = -1;
  answerer.Add([&](QWidget* modal) {
    auto* dialog = qobject_cast<tarvik::CKeyboardtriggerDlg*>(modal);
    if (dialog == nullptr) return false;
    // The counter runs while the recording does.
    if (dialog->counter() < 1) return true;
    kb_counter = dialog->counter();
    dialog->stop_button()->click();
    return true;
  });
  std::vector<Seen> seen;
  int step = 0;
  answerer.Add([&](QWidget* modal) {
    auto* dialog = qobject_cast<tarvik::CRecordingmodeDlg*>(modal);
    if (dialog == nullptr) return false;
    if (!dialog->blasting_button()->isEnabled()) return true;
    const Seen now = Look(*dialog);
    if (step == 0) {
      seen.push_back(now);
      dialog->blasting_button()->click();
      step = 1;
    } else if (step == 1 && now.blasting == "Currently active") {
      seen.push_back(now);
      dialog->blasting_button()->click();
      step = 2;
    } else if (step == 2 && now.blasting == "Disabled") {
      seen.push_back(now);
      dialog->keyboard_button()->click();
      step = 3;
    } else if (step == 3 && kb_counter >= 1) {
      seen.push_back(now);
      dialog->close_button()->click();
      step = 4;
    }
    return true;
  });

  WindowSession session(temp.path() / "root", "", {document.string()});
  ASSERT_TRUE(session.started());
  ASSERT_TRUE(WaitLoggedIn(session));
  tarvik::CMainFrame& frame = session.frame();
  ASSERT_NE(frame.Action(kRecordingMode), nullptr);
  frame.Action(kRecordingMode)->trigger();
  tarvik::OperationEngine& engine = frame.view()->engine();
  ASSERT_TRUE(WaitUntil(
      [&] {
        return step == 4 && frame.unit_commands()->recording_window() == nullptr && engine.idle() &&
               !engine.state().busy;
      },
      60000));
  EXPECT_TRUE(messages.empty()) << messages.front();
  // krsim's recorder starts without a trigger mode: events only. Each state is the one the recorder
  // reported after the switch.
  ASSERT_EQ(seen.size(), 4U);
  EXPECT_EQ(seen[0].mode, "Event only");
  EXPECT_EQ(seen[0].blasting, "Disabled");
  EXPECT_EQ(seen[0].button, "Start    ");
  EXPECT_EQ(seen[1].mode, "Blast");
  EXPECT_EQ(seen[1].button, "Stop    ");
  EXPECT_EQ(seen[2].mode, "Event only");
  EXPECT_EQ(seen[2].button, "Start    ");
  // The keyboard trigger ran with the default KB mode, and its stop switched triggering off again.
  EXPECT_EQ(seen[3].mode, "Event only");
  EXPECT_GE(kb_counter, 1);

  // krsim writes its whole transcript when it ends.
  sim.reset();
  const std::string log = ReadAll(temp.path() / "sim.log");
  EXPECT_TRUE(InOrder(log, {"(TN", "(Fs8", "(Tn5", "(TN"}));
  EXPECT_TRUE(InOrder(log, {"(Tn5", "(Tn0", "(Fs5", "(TN"}));
  EXPECT_TRUE(InOrder(log, {"(Tn0", "(Fs5", "(Tn2", "(TN", "(Tn0", "(TN"}));
}

// The console in one language: blasting mode off and on, side by side, and the keyboard trigger.
QImage RecordingModeSheet(const kr::StringTable& strings) {
  tarvik::CRecordingmodeDlg off(strings, "Recording mode");
  off.SetStatus({0, true});
  tarvik::CRecordingmodeDlg on(strings, "Recording mode");
  on.SetStatus({5, false});
  tarvik::CKeyboardtriggerDlg keyboard(strings, "Keyboard Trigger");
  std::vector<QImage> pictures;
  for (QWidget* dialog : std::vector<QWidget*>{&off, &on, &keyboard}) {
    dialog->adjustSize();
    pictures.push_back(dialog->grab().toImage());
  }
  return PictureSheet(pictures);
}

TEST(RecordingModeWindow, PicturesInEveryLanguage) {
  SaveInEveryLanguage("tarvik_recording_mode", RecordingModeSheet);
}

}  // namespace
}  // namespace tarvik_gui_test
