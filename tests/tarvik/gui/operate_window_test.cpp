// The Operate menu's Change Password and Memory Managment against krsim: the dialogs as a person fills
// them in, the checks that keep the change-password dialog open, the warning before the memory is
// erased, and what krsim holds afterwards. Pictures of both dialogs in each language.
#include <gtest/gtest.h>

#include <QApplication>
#include <QMessageBox>
#include <QPushButton>
#include <QTimer>

#include "picture_sheet.h"
#include "tarvik/engine/operation_engine.h"
#include "tarvik/gui/change_pwd_dlg.h"
#include "tarvik/gui/memory_management_dlg.h"
#include "tarvik/gui/password_dlg.h"
#include "tarvik/gui/tarvik_view.h"
#include "tarvik/resources/tarvik_strings.h"
#include "window_fixture.h"

namespace tarvik_gui_test {
namespace {

constexpr int kChangePassword = 32825;
constexpr int kMemoryManagement = 32826;

class OperateWindow : public ::testing::Test {
 protected:
  fs::path DataRoot() const { return temp_.path() / "root"; }

  fs::path StartSimulator(const std::string& config) {
    std::vector<std::string> args = {"--tcp", "0", "--no-stdin", "--log",
                                     (temp_.path() / "sim.log").string()};
    if (!config.empty()) {
      WriteText(temp_.path() / "sim.ini", config);
      args.push_back("--config");
      args.push_back((temp_.path() / "sim.ini").string());
    }
    sim_ = std::make_unique<krsim_test::SimProcess>(args);
    const int port = PortOf(*sim_);
    EXPECT_GT(port, 0);
    return WriteTcpDocument(temp_.path(), port);
  }

  // Message boxes: the texts are kept; a question is answered Yes, anything else with OK.
  ModalAnswerer::Handler AnswerMessages() {
    return [this](QWidget* modal) {
      auto* box = qobject_cast<QMessageBox*>(modal);
      if (box == nullptr) return false;
      messages_.push_back(box->text().toStdString());
      if (QAbstractButton* yes = box->button(QMessageBox::Yes)) {
        yes->click();
      } else {
        box->accept();
      }
      return true;
    };
  }

  bool WaitIdle(tarvik::CMainFrame& frame) {
    tarvik::OperationEngine& engine = frame.view()->engine();
    return WaitUntil([&] { return engine.idle() && !engine.state().busy; }, 30000);
  }

  TempFolder temp_;
  std::unique_ptr<krsim_test::SimProcess> sim_;
  std::vector<std::string> messages_;
};

TEST_F(OperateWindow, ChangePasswordKeepsTheDialogOpenUntilTheEntriesPass) {
  const fs::path document = StartSimulator("[Unit]\nType=Recorder\n[Recorder1]\nModel=C\nFirmware=22060\n");
  ModalAnswerer answerer;
  int prompts = 0;
  answerer.Add(AcceptPasswordPrompt(&prompts));
  // First a wrong old password, then a repetition that differs, then what passes.
  int attempts = 0;
  bool accept_pending = false;
  answerer.Add([&](QWidget* modal) {
    auto* dialog = qobject_cast<tarvik::CChangePwdDlg*>(modal);
    if (dialog == nullptr) return false;
    if (accept_pending) return true;
    const char* old_password[] = {"WRONG", "TORVE", "TORVE"};
    const char* repeated[] = {"NEW12", "NEW13", "NEW12"};
    const int i = std::min(attempts++, 2);
    dialog->old_edit()->setText(old_password[i]);
    dialog->new_edit()->setText("NEW12");
    dialog->repeat_edit()->setText(repeated[i]);
    if (i == 2) SaveScreenshot(*dialog, "tarvik_change_password_enu");
    // Queued: a refused entry opens a message box of its own, which this answerer must be free to
    // answer.
    accept_pending = true;
    QTimer::singleShot(0, dialog, [dialog, &accept_pending] {
      accept_pending = false;
      dialog->accept();
    });
    return true;
  });
  answerer.Add(AnswerMessages());

  WindowSession session(DataRoot(), "", {document.string()});
  ASSERT_TRUE(session.started());
  ASSERT_TRUE(WaitLoggedIn(session));
  tarvik::CMainFrame& frame = session.frame();
  ASSERT_NE(frame.Action(kChangePassword), nullptr);
  frame.Action(kChangePassword)->trigger();
  ASSERT_TRUE(WaitIdle(frame));
  ASSERT_TRUE(WaitUntil([&] { return messages_.size() >= 3; }, 10000));
  EXPECT_EQ(attempts, 3);
  EXPECT_EQ(messages_,
            (std::vector<std::string>{"Wrong password.", "2nd password does NOT match 1st password.",
                                      "Password setting done."}));
  EXPECT_EQ(session.ui().message_ids(), (std::vector<int>{268, 269, 271}));
  // krsim received the new password once, and only after the checks passed.
  const std::string log = ReadAll(temp_.path() / "sim.log");
  EXPECT_NE(log.find("(LpNEW12"), std::string::npos);
  EXPECT_EQ(log.find("(LpNEW12"), log.rfind("(LpNEW12"));
  EXPECT_EQ(log.find("(LpNEW13"), std::string::npos);
}

TEST_F(OperateWindow, MemoryManagementAsksBeforeErasing) {
  const fs::path document = StartSimulator("");
  ModalAnswerer answerer;
  // The log-in and the protected operation's prompt, each typed in as a person would.
  std::vector<std::string> prompt_titles;
  answerer.Add([&](QWidget* modal) {
    auto* dialog = qobject_cast<tarvik::CPasswordDlg*>(modal);
    if (dialog == nullptr) return false;
    prompt_titles.push_back(dialog->windowTitle().toStdString());
    dialog->edit()->setText("TORVE");
    dialog->accept();
    return true;
  });
  bool ring_shown = false;
  bool mirror_shown = true;
  answerer.Add([&](QWidget* modal) {
    auto* dialog = qobject_cast<tarvik::CMemoryManagementDlg*>(modal);
    if (dialog == nullptr) return false;
    ring_shown = dialog->ring_box()->isChecked();
    mirror_shown = dialog->mirror_box()->isChecked();
    dialog->mirror_box()->setChecked(true);
    SaveScreenshot(*dialog, "tarvik_memory_management_enu");
    dialog->accept();
    return true;
  });
  answerer.Add(AnswerMessages());

  WindowSession session(DataRoot(), "", {document.string()});
  ASSERT_TRUE(session.started());
  ASSERT_TRUE(WaitLoggedIn(session));
  tarvik::CMainFrame& frame = session.frame();
  ASSERT_NE(frame.Action(kMemoryManagement), nullptr);
  frame.Action(kMemoryManagement)->trigger();
  ASSERT_TRUE(WaitIdle(frame));
  ASSERT_TRUE(WaitUntil([&] { return messages_.size() >= 2; }, 10000));
  EXPECT_EQ(prompt_titles, (std::vector<std::string>{"Login", "Set Memory Managment  [ KR1 ]"}));
  // krsim's recorder has ring memory and no mirroring.
  EXPECT_TRUE(ring_shown);
  EXPECT_FALSE(mirror_shown);
  EXPECT_EQ(messages_, (std::vector<std::string>{"Changing Memory Managment erases all data!",
                                                 "Memory Managment changed."}));
  const std::string log = ReadAll(temp_.path() / "sim.log");
  EXPECT_NE(log.find("(MgTORVE"), std::string::npos);
  EXPECT_EQ(log.find("(KrTORVE"), std::string::npos);
}

// Both dialogs of one language, one above the other.
QImage OperateSheet(const kr::StringTable& strings) {
  tarvik::CChangePwdDlg password(strings, QString::fromStdString(strings.Text(9800)), "TORVE");
  tarvik::CMemoryManagementDlg memory(strings, QString::fromStdString(strings.Text(402)), {true, false});
  std::vector<QImage> pictures;
  for (QWidget* dialog : std::vector<QWidget*>{&password, &memory}) {
    dialog->adjustSize();
    pictures.push_back(dialog->grab().toImage());
  }
  return PictureSheet(pictures);
}

TEST(OperateDialogPictures, EveryLanguage) {
  SaveInEveryLanguage("tarvik_operate_dialogs", OperateSheet);
}

}  // namespace
}  // namespace tarvik_gui_test
