// The real window against krsim over loopback TCP: a connection document from the command line, the
// log-in window, Transfer > All Events from the menu with its save dialog and progress window, the
// menu sets swapping at log-in and log-out, and closing the window while logged in.
#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QFileDialog>
#include <QLineEdit>
#include <QMenuBar>
#include <QMessageBox>
#include <QMimeData>
#include <QPushButton>
#include <QUrl>
#include <fstream>
#include <set>

#include "tarvik/app/connection_record.h"
#include "tarvik/gui/connect_dlg.h"
#include "tarvik/gui/event_dlg.h"
#include "tarvik/gui/main_frame.h"
#include "tarvik/gui/menu_table.h"
#include "tarvik/gui/modeless_dlg.h"
#include "tarvik/gui/tarvik_view.h"
#include "window_fixture.h"

namespace tarvik_gui_test {
namespace {

using tarvik::MenuSet;
namespace cmd = tarvik::cmd;

// The texts of the menu bar's drop-down menus, in order.
std::vector<std::string> MenuBarTitles(tarvik::CMainFrame& frame) {
  std::vector<std::string> titles;
  for (QAction* action : frame.menuBar()->actions()) titles.push_back(action->text().toStdString());
  return titles;
}

class TarvikWindow : public ::testing::Test {
 protected:
  fs::path DataRoot() const { return temp_.path() / "root"; }

  // krsim as an HCU with two recorders, and a document for it.
  fs::path StartSimulator() {
    sim_ = std::make_unique<krsim_test::SimProcess>(std::vector<std::string>{"--tcp", "0", "--no-stdin"});
    const int port = PortOf(*sim_);
    EXPECT_GT(port, 0);
    return WriteTcpDocument(temp_.path(), port);
  }

  TempFolder temp_;
  std::unique_ptr<krsim_test::SimProcess> sim_;
};

TEST_F(TarvikWindow, ConnectTransferAllAndLogOutFromTheMenus) {
  const fs::path document = StartSimulator();
  ModalAnswerer answerer;
  int prompts = 0;
  std::string prompt_title;
  std::string prefill;
  std::string save_title;
  answerer.Add(AcceptPasswordPrompt(&prompts, &prompt_title, &prefill));
  answerer.Add(AnswerSaveDialog("TST", &save_title));

  WindowSession session(DataRoot(), "", {document.string()});
  ASSERT_TRUE(session.started());
  tarvik::CMainFrame& frame = session.frame();
  // Before the log-in: the not-logged-in menu, titled after the document.
  EXPECT_EQ(frame.windowTitle().toStdString(), "site.krc - KR Communication");

  ASSERT_TRUE(WaitLoggedIn(session));
  EXPECT_EQ(prompts, 1);
  EXPECT_EQ(prompt_title, "Login");
  EXPECT_EQ(prefill, "TORVE");
  // The logged-in menu: the unit's operations, no Direct Link; the title names the unit.
  EXPECT_NE(frame.Action(cmd::kTransferAll), nullptr);
  EXPECT_NE(frame.Action(cmd::kLogout), nullptr);
  EXPECT_EQ(frame.Action(cmd::kDirectLink), nullptr);
  EXPECT_EQ(MenuBarTitles(frame),
            (std::vector<std::string>{"&File", "&View", "&Transfer", "&Operate", "&Activate", "&Help"}));
  EXPECT_NE(frame.windowTitle().toStdString().find("site.krc - KR Communication ["), std::string::npos)
      << frame.windowTitle().toStdString();
  // Behind the HCU, KR 1 is active and checked; KR 1 and KR 2 are reported, KR 3 is not there.
  ASSERT_NE(frame.Action(cmd::kActivateKr), nullptr);
  EXPECT_TRUE(frame.Action(cmd::kActivateKr)->isChecked());
  EXPECT_TRUE(frame.Action(cmd::kActivateKr + 1)->isEnabled());
  EXPECT_FALSE(frame.Action(cmd::kActivateKr + 2)->isEnabled());
  EXPECT_FALSE(frame.Action(cmd::kStopTransfer)->isEnabled());
  // The view shows the trace of the log-in, following its end.
  tarvik::CTarvikView& view = *frame.view();
  ASSERT_FALSE(view.lines().isEmpty());
  EXPECT_TRUE(view.following());
  SaveScreenshot(frame, "tarvik_main_enu");

  // Transfer > All Events: the 8.3 root-name dialog (3 characters behind an HCU), then the download.
  frame.Action(cmd::kTransferAll)->trigger();
  EXPECT_EQ(save_title, "Save as 8.3 files, enter max 3 chars");
  tarvik::OperationEngine& engine = view.engine();
  bool stop_enabled_while_running = false;
  ASSERT_TRUE(WaitUntil(
      [&] {
        if (engine.operation_state() == tarvik::OperationState::kTransferAll &&
            frame.Action(cmd::kStopTransfer)->isEnabled()) {
          stop_enabled_while_running = true;
        }
        return engine.idle() && !engine.state().busy;
      },
      60000));
  EXPECT_TRUE(stop_enabled_while_running);
  // The progress window counted the three events of KR 1.
  EXPECT_EQ(session.ui().progress_total(), 3);
  const auto& texts = session.ui().progress_texts();
  EXPECT_NE(std::find(texts.begin(), texts.end(), "Transfer event: 3 of 3."), texts.end());
  EXPECT_FALSE(session.ui().progress_window()->isVisible());
  EXPECT_TRUE(session.ui().message_ids().empty());

  // The files are the bytes krsim says the PC must write (KR 1's files: "01...").
  std::map<std::string, std::string> expected;
  for (const auto& [name, bytes] : ExpectedFiles(temp_.path() / "expected")) {
    if (name.rfind("01", 0) == 0) expected[name] = bytes;
  }
  ASSERT_EQ(expected.size(), 3u);
  EXPECT_EQ(EventFiles(DataRoot() / "Data", 3), expected);

  // Logout swaps the menus back and restores the title.
  frame.Action(cmd::kLogout)->trigger();
  ASSERT_TRUE(WaitUntil(
      [&] { return frame.menu_set() == MenuSet::kNotLoggedIn && engine.idle() && !engine.link_open(); }));
  EXPECT_NE(frame.Action(cmd::kDirectLink), nullptr);
  EXPECT_NE(frame.Action(cmd::kOpen), nullptr);
  EXPECT_EQ(frame.Action(cmd::kTransferAll), nullptr);
  EXPECT_EQ(frame.Action(cmd::kLogout), nullptr);
  EXPECT_EQ(frame.windowTitle().toStdString(), "site.krc - KR Communication");
  // The document is now the first of the recent documents in the File menu.
  ASSERT_FALSE(session.app().settings().desktop.recent_files.empty());
  EXPECT_EQ(session.app().settings().desktop.recent_files.front(), document.string());
}

TEST_F(TarvikWindow, ClosingWhileLoggedInLogsOutAndWritesTraceAndSettings) {
  const fs::path document = StartSimulator();
  ModalAnswerer answerer;
  int prompts = 0;
  answerer.Add(AcceptPasswordPrompt(&prompts));
  WindowSession session(DataRoot(), "", {document.string()});
  ASSERT_TRUE(session.started());
  ASSERT_TRUE(WaitLoggedIn(session));
  tarvik::CMainFrame& frame = session.frame();
  frame.setGeometry(40, 50, 820, 560);
  WaitUntil([] { return false; }, 100);

  // The first close only starts the log-out; the window closes by itself once it is done.
  EXPECT_FALSE(frame.close());
  EXPECT_TRUE(frame.isVisible());
  tarvik::OperationEngine& engine = frame.view()->engine();
  ASSERT_TRUE(WaitUntil([&] { return !frame.isVisible(); }));
  EXPECT_FALSE(engine.state().logged_in);
  EXPECT_FALSE(engine.link_open());
  EXPECT_FALSE(fs::exists(DataRoot() / "Trace.dat"));

  session.DestroyWindow();
  const std::string trace = ReadAll(DataRoot() / "Trace.dat");
  EXPECT_NE(trace.find("disconnected from IP port"), std::string::npos) << trace;
  EXPECT_NE(trace.find("\r\n"), std::string::npos);
  const std::string settings = ReadAll(DataRoot() / "Tarvik.ini");
  EXPECT_NE(settings.find("MainRect=0040 0050 0860 0610"), std::string::npos) << settings;
  EXPECT_NE(settings.find("File1=" + document.string()), std::string::npos);
}

// View > Event shows the recorder's list; Transfer > Single Events downloads the events chosen in
// its window, and only those.
TEST_F(TarvikWindow, EventListAndSingleEventTransferFromTheMenus) {
  const fs::path document = StartSimulator();
  ModalAnswerer answerer;
  int prompts = 0;
  answerer.Add(AcceptPasswordPrompt(&prompts));
  std::vector<int> listed;
  std::vector<std::string> list_titles;
  answerer.Add([&](QWidget* modal) {
    auto* dialog = qobject_cast<tarvik::CEventDlg*>(modal);
    if (dialog == nullptr) return false;
    list_titles.push_back(dialog->windowTitle().toStdString());
    listed.clear();
    for (int r = 0; r < dialog->table()->rowCount(); ++r)
      listed.push_back(dialog->table()->item(r, 0)->text().toInt());
    if (dialog->findChild<QPushButton*>("transfer") != nullptr) dialog->table()->selectRow(1);
    dialog->accept();
    return true;
  });
  WindowSession session(DataRoot(), "", {document.string()});
  ASSERT_TRUE(session.started());
  ASSERT_TRUE(WaitLoggedIn(session));
  tarvik::CMainFrame& frame = session.frame();
  tarvik::OperationEngine& engine = frame.view()->engine();

  frame.Action(cmd::kViewEvent)->trigger();
  ASSERT_TRUE(WaitUntil([&] { return list_titles.size() == 1 && engine.idle() && !engine.state().busy; }));
  EXPECT_EQ(list_titles[0], "Events of KR 1");
  EXPECT_EQ(listed, (std::vector<int>{3, 2, 1}));

  frame.Action(cmd::kTransferSingle)->trigger();
  ASSERT_TRUE(WaitUntil([&] { return list_titles.size() == 2; }));
  EXPECT_EQ(list_titles[1], "Transfer single events of KR 1");
  ASSERT_TRUE(WaitUntil(
      [&] { return engine.idle() && !engine.state().busy && !EventFiles(DataRoot() / "Data", 0).empty(); },
      60000));
  WaitUntil([&] { return engine.idle() && !engine.state().busy; });
  const auto written = EventFiles(DataRoot() / "Data", 0);
  ASSERT_EQ(written.size(), 1u);
  const auto expected = ExpectedFiles(temp_.path() / "expected");
  // The second row is event 2; the file name ends in the recorder and file number.
  const std::string name = written.begin()->first;
  ASSERT_GE(name.size(), 9u);
  EXPECT_EQ(name.substr(name.size() - 9, 5), "01002");
  EXPECT_EQ(written.begin()->second, expected.at(name.substr(name.size() - 9)));
  EXPECT_TRUE(session.ui().message_ids().empty());
}

// With DateTimeFileNames = 1, Transfer > All Events asks for a folder instead of a root name, and the
// files land in the folder chosen.
TEST_F(TarvikWindow, TransferAllIntoAChosenFolder) {
  const fs::path document = StartSimulator();
  const fs::path target = temp_.path() / "chosen";
  fs::create_directories(target);
  ModalAnswerer answerer;
  int prompts = 0;
  std::string folder_title;
  answerer.Add(AcceptPasswordPrompt(&prompts));
  answerer.Add([&](QWidget* modal) {
    auto* dialog = qobject_cast<QFileDialog*>(modal);
    if (dialog == nullptr || dialog->objectName() != "ChooseFolder") return false;
    folder_title = dialog->windowTitle().toStdString();
    // The folder typed in full, as a person may do; the dialog's file list loads in the background
    // and is not waited for.
    dialog->setDirectory(QString::fromStdString(target.parent_path().string()));
    auto* name = dialog->findChild<QLineEdit*>("fileNameEdit");
    if (name == nullptr) return false;
    name->setText(QString::fromStdString(target.string()));
    static_cast<QDialog*>(dialog)->accept();
    return true;
  });
  WindowSession session(DataRoot(), "[Monitoring]\nDateTimeFileNames=1\n", {document.string()});
  ASSERT_TRUE(session.started());
  ASSERT_TRUE(WaitLoggedIn(session));
  tarvik::OperationEngine& engine = session.frame().view()->engine();
  session.frame().Action(cmd::kTransferAll)->trigger();
  EXPECT_EQ(folder_title, "Please choose a target folder");
  ASSERT_TRUE(WaitUntil([&] { return engine.idle() && !engine.state().busy; }, 60000));
  EXPECT_EQ(EventFiles(target, 0).size(), 3u) << engine.download_prefix();
  EXPECT_TRUE(EventFiles(DataRoot() / "Data", 0).empty());
  EXPECT_TRUE(session.ui().message_ids().empty());
}

// A modem document brings up the connect window; Connect dials (its status text follows the engine
// every 500 ms), the log-in follows, and the log-out hangs up.
TEST_F(TarvikWindow, ModemDocumentDialsFromTheConnectWindow) {
  krsim_test::SimProcess sim({"--modem", "--no-stdin", "--connect-delay-ms", "1500", "--guard-ms", "0"});
  const std::string pty = sim.WaitFor("PTY ", krsim_test::In(krsim_test::kGenerous));
  ASSERT_FALSE(pty.empty());
  tarvik::ConnectionRecord record;
  record.link_kind = tarvik::LinkKind::kModem1;
  record.baud = 9600;
  record.phone_number = "5551234";
  record.dial_command = "ATDT";
  record.dial_timeout = 30;
  record.connection_timeout = 300;
  const fs::path document = temp_.path() / "modem.krc";
  {
    const std::vector<uint8_t> bytes = tarvik::SerializeConnectionRecord(record);
    std::ofstream file(document, std::ios::binary);
    file.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
  }
  ModalAnswerer answerer;
  int prompts = 0;
  answerer.Add(AcceptPasswordPrompt(&prompts));
  WindowSession session(DataRoot(), "[Modem1]\nModemCom=1\n[SerialPorts]\nCOM1=" + pty + "\n",
                        {document.string()});
  ASSERT_TRUE(session.started());
  tarvik::CConnectDlg* connect = nullptr;
  ASSERT_TRUE(WaitUntil([&] {
    connect = session.ui().connect_window();
    return connect->isVisible();
  }));
  std::set<std::string> statuses;
  connect->connect_button()->click();
  tarvik::OperationEngine& engine = session.frame().view()->engine();
  ASSERT_TRUE(WaitUntil(
      [&] {
        if (connect->isVisible() && !connect->status().isEmpty())
          statuses.insert(connect->status().toStdString());
        return engine.state().logged_in && engine.idle() && session.frame().menu_set() == MenuSet::kLoggedIn;
      },
      40000));
  EXPECT_FALSE(connect->isVisible());
  EXPECT_TRUE(statuses.count("Dialing...") == 1) << statuses.size();
  EXPECT_EQ(prompts, 1);

  session.frame().Action(cmd::kLogout)->trigger();
  ASSERT_TRUE(WaitUntil([&] { return engine.idle() && !engine.link_open(); }, 30000));
  session.DestroyWindow();
  const std::string trace = ReadAll(DataRoot() / "Trace.dat");
  EXPECT_NE(trace.find(">ATDT5551234"), std::string::npos) << trace;
  EXPECT_NE(trace.find(">ATH"), std::string::npos);
}

// A connection that fails is reported once the engine has finished the operation: the message box
// comes up after the tick, with the engine idle and the link closed.
TEST_F(TarvikWindow, FailureMessageComesAfterTheEngineIsIdle) {
  // A port nobody listens on: bind one, note it, close it again.
  int port = 0;
  {
    krsim_test::SimProcess sim({"--tcp", "0", "--no-stdin"});
    port = PortOf(sim);
    sim.Stop();
  }
  ASSERT_GT(port, 0);
  const fs::path document = WriteTcpDocument(temp_.path(), port);
  ModalAnswerer answerer;
  std::vector<std::string> texts;
  bool idle_when_shown = false;
  bool link_closed_when_shown = false;
  WindowSession* running = nullptr;
  answerer.Add([&](QWidget* modal) {
    auto* box = qobject_cast<QMessageBox*>(modal);
    if (box == nullptr || running == nullptr) return false;
    const tarvik::OperationEngine& engine = running->frame().view()->engine();
    idle_when_shown = engine.idle();
    link_closed_when_shown = !engine.link_open();
    texts.push_back(box->text().toStdString());
    box->accept();
    return true;
  });
  WindowSession session(DataRoot(), "", {document.string()});
  running = &session;
  ASSERT_TRUE(session.started());
  ASSERT_TRUE(WaitUntil([&] { return !texts.empty(); }, 40000));
  EXPECT_TRUE(idle_when_shown);
  EXPECT_TRUE(link_closed_when_shown);
  EXPECT_EQ(texts.size(), 1u);
  EXPECT_EQ(texts[0].rfind("Tarvik can not establish communication with the HCU or KR.", 0), 0u) << texts[0];
  EXPECT_EQ(session.ui().message_ids(), std::vector<int>{213});
  EXPECT_EQ(session.frame().task_text().toStdString(), "Connection failed.");
  EXPECT_EQ(session.frame().menu_set(), MenuSet::kNotLoggedIn);
}

// Only connection documents are taken from a drop; one that is not a proper connection file is
// reported (513) and does not join the recent documents.
TEST_F(TarvikWindow, DroppedFilesOpenOnlyProperConnectionDocuments) {
  const fs::path bad = temp_.path() / "broken.krc";
  WriteText(bad, "not a connection file");
  const fs::path text = temp_.path() / "notes.txt";
  WriteText(text, "x");
  ModalAnswerer answerer;
  std::vector<std::string> messages;
  answerer.Add([&](QWidget* modal) {
    auto* box = qobject_cast<QMessageBox*>(modal);
    if (box == nullptr) return false;
    messages.push_back(box->text().toStdString());
    box->accept();
    return true;
  });
  WindowSession session(DataRoot(), "", {});
  ASSERT_TRUE(session.started());
  tarvik::CMainFrame& frame = session.frame();
  // Documents are taken once the start window has gone and the engine is idle.
  ASSERT_TRUE(WaitUntil([&] { return frame.view()->engine().idle(); }));
  auto drag = [&](const fs::path& file) {
    QMimeData data;
    data.setUrls({QUrl::fromLocalFile(QString::fromStdString(file.string()))});
    QDragEnterEvent enter(QPoint(10, 10), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(&frame, &enter);
    if (!enter.isAccepted()) return false;
    QDropEvent drop(QPointF(10, 10), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(&frame, &drop);
    return true;
  };
  EXPECT_FALSE(drag(text));
  EXPECT_TRUE(drag(bad));
  ASSERT_TRUE(WaitUntil([&] { return !messages.empty(); }));
  EXPECT_EQ(messages[0], "The file \"" + bad.string() + "\" is not a proper KR Connection File.");
  EXPECT_TRUE(session.app().settings().desktop.recent_files.empty());
  EXPECT_FALSE(frame.view()->engine().link_open());
}

// File > Settings... and File > Create Link File... open their windows; cancelled, they change nothing.
TEST_F(TarvikWindow, SettingsAndConnectionEditorOpenFromTheFileMenu) {
  ModalAnswerer answerer;
  std::vector<std::string> opened;
  answerer.Add([&](QWidget* modal) {
    auto* dialog = qobject_cast<QDialog*>(modal);
    const std::string name = modal->objectName().toStdString();
    if (dialog == nullptr || (name != "Settings" && name != "FileLink")) return false;
    opened.push_back(name);
    dialog->reject();
    return true;
  });
  WindowSession session(DataRoot(), "", {});
  ASSERT_TRUE(session.started());
  tarvik::CMainFrame& frame = session.frame();
  ASSERT_TRUE(WaitUntil([&] { return frame.view()->engine().idle(); }));
  const std::string settings_before = ReadAll(DataRoot() / "Tarvik.ini");
  ASSERT_NE(frame.Action(cmd::kSettings), nullptr);
  ASSERT_NE(frame.Action(cmd::kCreateLinkFile), nullptr);
  frame.Action(cmd::kSettings)->trigger();
  frame.Action(cmd::kCreateLinkFile)->trigger();
  EXPECT_EQ(opened, (std::vector<std::string>{"Settings", "FileLink"}));
  EXPECT_EQ(ReadAll(DataRoot() / "Tarvik.ini"), settings_before);
  EXPECT_FALSE(frame.view()->engine().link_open());
}

// The help page of each language is there for Help > Help Topics.
TEST_F(TarvikWindow, HelpPageOfEveryLanguageIsThere) {
  for (const int language : {0, 1, 3}) {
    WindowSession session(DataRoot() / std::to_string(language),
                          "[Monitoring]\nLanguage=" + std::to_string(language) + "\n", {});
    ASSERT_TRUE(session.started());
    const fs::path help = session.app().help_file();
    EXPECT_TRUE(fs::exists(help)) << help;
    const std::string page = ReadAll(help);
    // Each page covers the command line and names the settings file.
    EXPECT_NE(page.find("/d"), std::string::npos) << help;
    EXPECT_NE(page.find("Tarvik.ini"), std::string::npos) << help;
  }
}

TEST_F(TarvikWindow, StoredPlacementAndHiddenWebEntries) {
  WindowSession session(DataRoot(),
                        "[TarvikSize]\nMainRect=0100 0120 0900 0700\nMainIconic=0\nMainMaximized=0\n"
                        "[Help]\nHomePage=https://example.invalid/\nSupportPage=\n",
                        {});
  ASSERT_TRUE(session.started());
  tarvik::CMainFrame& frame = session.frame();
  EXPECT_EQ(frame.normalGeometry(), QRect(100, 120, 800, 580));
  // Only the configured web address has its entry.
  EXPECT_NE(frame.Action(cmd::kHomePage), nullptr);
  EXPECT_EQ(frame.Action(cmd::kSupportPage), nullptr);
  EXPECT_EQ(frame.Action(cmd::kVersionPage), nullptr);
  EXPECT_EQ(frame.windowTitle().toStdString(), "Brevik Riridoradur - KR Communication");
  EXPECT_EQ(frame.Action(cmd::kLogout), nullptr);
}

// The main window in German and Chinese, logged in to krsim, for the screenshots; the menu bar is
// in the language of the settings.
TEST_F(TarvikWindow, GermanAndChineseWindows) {
  const fs::path document = StartSimulator();
  const struct {
    int language;
    const char* screenshot;
    const char* file_menu;
  } kLanguages[] = {{1, "tarvik_main_deu", "&Datei"}, {3, "tarvik_main_chs", "文件(&F)"}};
  for (const auto& language : kLanguages) {
    ModalAnswerer answerer;
    int prompts = 0;
    answerer.Add(AcceptPasswordPrompt(&prompts));
    const fs::path root = DataRoot() / language.screenshot;
    WindowSession session(root, "[Monitoring]\nLanguage=" + std::to_string(language.language) + "\n",
                          {document.string()});
    ASSERT_TRUE(session.started());
    ASSERT_TRUE(WaitLoggedIn(session));
    tarvik::CMainFrame& frame = session.frame();
    frame.resize(900, 600);
    WaitUntil([] { return false; }, 200);
    EXPECT_EQ(MenuBarTitles(frame).front(), language.file_menu);
    SaveScreenshot(frame, language.screenshot);
    frame.Action(cmd::kLogout)->trigger();
    ASSERT_TRUE(WaitUntil([&] { return frame.menu_set() == MenuSet::kNotLoggedIn; }));
  }
}

}  // namespace
}  // namespace tarvik_gui_test
