// Macros and start-up scripts in the window against krsim over loopback TCP: the Operate menu's macro
// items and Run Macro reach the recorder, a script asks its questions in the window and runs at every
// log-in, and the programs tarvik and tarvik-cli leave the same files for the same script.
#include <gtest/gtest.h>

#include <QMenuBar>
#include <QProcess>
#include <regex>
#include <sstream>

#include "tarvik/engine/macro_operation.h"
#include "tarvik/engine/script_operation.h"
#include "tarvik/gui/macro_dlg.h"
#include "tarvik/gui/macro_script_question_dlg.h"
#include "tarvik/gui/main_frame.h"
#include "tarvik/gui/menu_table.h"
#include "tarvik/gui/tarvik_view.h"
#include "window_fixture.h"

namespace tarvik_gui_test {
namespace {

namespace cmd = tarvik::cmd;

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

std::vector<std::string> MenuTexts(tarvik::CMainFrame& frame, const std::string& title) {
  std::vector<std::string> texts;
  for (QAction* bar_item : frame.menuBar()->actions()) {
    if (bar_item->text().toStdString() != title || bar_item->menu() == nullptr) continue;
    for (QAction* item : bar_item->menu()->actions()) {
      texts.push_back(item->isSeparator() ? "-" : item->text().toStdString());
    }
  }
  return texts;
}

class MacroWindow : public ::testing::Test {
 protected:
  fs::path DataRoot() const { return temp_.path() / "root"; }

  fs::path StartSimulator(std::vector<std::string> extra = {}) {
    std::vector<std::string> args = {"--tcp", "0", "--no-stdin"};
    args.insert(args.end(), extra.begin(), extra.end());
    sim_ = std::make_unique<krsim_test::SimProcess>(args);
    const int port = PortOf(*sim_);
    EXPECT_GT(port, 0);
    return WriteTcpDocument(temp_.path(), port);
  }

  TempFolder temp_;
  std::unique_ptr<krsim_test::SimProcess> sim_;
};

TEST_F(MacroWindow, MacroItemsAndRunMacroReachTheRecorder) {
  const fs::path log = temp_.path() / "sim.log";
  const fs::path document = StartSimulator({"--log", log.string(), "--refuse", "TE"});
  WriteText(DataRoot() / "Macro.def",
            "[Macro1]\r\nDescription=Identification\r\nDefinition=Na1;IB\r\n"
            "[Macro3]\r\nDescription=Second recorder\r\nDefinition=Na2;TE;IB\r\n"
            "[Macro4]\r\nDescription=Nothing\r\nDefinition=\r\n");
  ModalAnswerer answerer;
  int prompts = 0;
  answerer.Add(AcceptPasswordPrompt(&prompts));
  std::string typed_into;
  answerer.Add([&](QWidget* modal) {
    auto* dialog = qobject_cast<tarvik::CMacroDlg*>(modal);
    if (dialog == nullptr) return false;
    typed_into = dialog->text().toStdString();
    dialog->edit()->setPlainText("Na2; // the second recorder\nIN");
    dialog->accept();
    return true;
  });

  WindowSession session(DataRoot(), "", {document.string()});
  ASSERT_TRUE(session.started());
  ASSERT_TRUE(WaitLoggedIn(session));
  tarvik::CMainFrame& frame = session.frame();
  // The macro items close the Operate menu, after Run Macro and a separator.
  const std::vector<std::string> operate = MenuTexts(frame, "&Operate");
  ASSERT_GE(operate.size(), 4u);
  EXPECT_EQ(std::vector<std::string>(operate.end() - 4, operate.end()),
            (std::vector<std::string>{"Run &Macro", "-", "Identification", "Second recorder"}));
  ASSERT_NE(frame.Action(cmd::kMacroItem + 2), nullptr);
  EXPECT_EQ(frame.Action(cmd::kMacroItem + 1), nullptr);
  EXPECT_EQ(frame.Action(cmd::kMacroItem + 3), nullptr);
  EXPECT_EQ(frame.Action(cmd::kMacroItem + 2)->toolTip().toStdString(), "Run macro \"Second recorder\"");
  EXPECT_TRUE(frame.Action(cmd::kMacroItem + 2)->isEnabled());

  // The item selects its entry while it is sent; the refused TE does not stop it.
  tarvik::OperationEngine& engine = frame.view()->engine();
  auto& macros = engine.Unit<tarvik::MacroOperation>();
  frame.Action(cmd::kMacroItem + 2)->trigger();
  EXPECT_EQ(macros.selected(), 2);
  EXPECT_FALSE(frame.Action(cmd::kRunMacro)->isEnabled());
  ASSERT_TRUE(WaitUntil([&] { return engine.idle() && macros.selected() == tarvik::kNoMacro; }));
  EXPECT_TRUE(frame.Action(cmd::kRunMacro)->isEnabled());

  // Run Macro: the dialog's text becomes the connection's own macro, comments and line ends gone.
  frame.Action(cmd::kRunMacro)->trigger();
  EXPECT_EQ(typed_into, "");
  EXPECT_EQ(macros.selected(), tarvik::kOwnMacro);
  EXPECT_EQ(macros.own_text(), "Na2;IN");
  ASSERT_TRUE(WaitUntil([&] { return engine.idle() && macros.selected() == tarvik::kNoMacro; }));
  // Opened again, the dialog shows what was sent last.
  frame.Action(cmd::kRunMacro)->trigger();
  EXPECT_EQ(typed_into, "Na2; // the second recorder\nIN");
  ASSERT_TRUE(WaitUntil([&] { return engine.idle() && macros.selected() == tarvik::kNoMacro; }));
  EXPECT_TRUE(engine.state().logged_in);
  EXPECT_TRUE(session.ui().message_ids().empty());

  session.DestroyWindow();
  sim_->Stop();
  // The entry's Na2, TE and IB, then the dialog's Na2 and IN twice.
  const std::string transcript = ReadAll(log);
  // Free-form commands travel as "(TEXT++)".
  const std::regex frame_sent("\\((Na2|TE|IB|IN)\\+\\+\\)");
  std::vector<std::string> sent;
  for (auto it = std::sregex_iterator(transcript.begin(), transcript.end(), frame_sent);
       it != std::sregex_iterator(); ++it) {
    sent.push_back((*it)[1]);
  }
  EXPECT_EQ(sent, (std::vector<std::string>{"Na2", "TE", "IB", "Na2", "IN", "Na2", "IN"})) << transcript;
}

TEST_F(MacroWindow, ScriptAsksInTheWindowAndRunsAtEveryLogIn) {
  const fs::path document = StartSimulator();
  WriteText(temp_.path() / "site.krs", ":Site [Site name];\r\nNa1;\r\n:done");
  ModalAnswerer answerer;
  int password_prompts = 0;
  answerer.Add(AcceptPasswordPrompt(&password_prompts));
  std::vector<std::string> questions;
  answerer.Add([&](QWidget* modal) {
    auto* dialog = qobject_cast<tarvik::CMacroScriptQuestionDlg*>(modal);
    if (dialog == nullptr) return false;
    questions.push_back(dialog->windowTitle().toStdString());
    dialog->edit()->setText("Quarry 7");
    dialog->accept();
    return true;
  });
  const fs::path report = temp_.path() / "report.txt";
  WindowSession session(
      DataRoot(), "", {document.string(), "/i", (temp_.path() / "site.krs").string(), "/o", report.string()});
  ASSERT_TRUE(session.started());
  tarvik::CMainFrame& frame = session.frame();
  tarvik::OperationEngine& engine = frame.view()->engine();
  const auto& script = engine.Unit<tarvik::ScriptOperation>();
  ASSERT_TRUE(WaitUntil(
      [&] { return script.outcome() == tarvik::ScriptOutcome::kCompleted && engine.idle(); }, 30000));
  // A named script logs in with the suggested password, without the prompt.
  EXPECT_EQ(password_prompts, 0);
  EXPECT_EQ(questions, std::vector<std::string>{"Macro Question"});
  EXPECT_EQ(ScriptLines(ReadAll(report)), (std::vector<std::string>{"Site Quarry 7", "done"}));
  // Without "/q" the window stays, logged in.
  EXPECT_TRUE(frame.isVisible());
  EXPECT_TRUE(engine.state().logged_in);

  // Activating the other recorder logs in again, and the script runs again.
  fs::remove(report);
  ASSERT_NE(frame.Action(cmd::kActivateKrFirst + 1), nullptr);
  frame.Action(cmd::kActivateKrFirst + 1)->trigger();
  ASSERT_TRUE(WaitUntil([&] { return questions.size() == 2; }, 30000));
  ASSERT_TRUE(WaitUntil(
      [&] { return script.outcome() == tarvik::ScriptOutcome::kCompleted && engine.idle(); }, 30000));
  EXPECT_EQ(ScriptLines(ReadAll(report)), (std::vector<std::string>{"Site Quarry 7", "done"}));
  EXPECT_TRUE(frame.isVisible());
}

// A script waiting for an event that never comes must not keep the window from closing: the script
// ends between two polls, the report keeps what was written, and the log-out follows.
TEST_F(MacroWindow, ClosingTheWindowEndsAWaitingScript) {
  const fs::path log = temp_.path() / "sim.log";
  const fs::path document = StartSimulator({"--log", log.string()});
  WriteText(temp_.path() / "wait.krs", ":waiting;WaitOnNewFile 200;:never");
  const fs::path report = temp_.path() / "report.txt";
  WindowSession session(
      DataRoot(), "", {document.string(), "/i", (temp_.path() / "wait.krs").string(), "/o", report.string()});
  ASSERT_TRUE(session.started());
  tarvik::CMainFrame& frame = session.frame();
  tarvik::OperationEngine& engine = frame.view()->engine();
  const auto& script = engine.Unit<tarvik::ScriptOperation>();
  // Several polls go by first.
  ASSERT_TRUE(WaitUntil([&] { return script.outcome() == tarvik::ScriptOutcome::kRunning; }));
  const long long ticks = frame.view()->host().ticks();
  ASSERT_TRUE(WaitUntil([&] { return frame.view()->host().ticks() > ticks + 30; }));
  EXPECT_EQ(engine.operation_state(), tarvik::OperationState::kStartupScript);
  frame.close();
  ASSERT_TRUE(WaitUntil([&] { return !frame.isVisible(); }, 20000));
  EXPECT_EQ(script.outcome(), tarvik::ScriptOutcome::kFailed);
  EXPECT_FALSE(engine.state().logged_in);
  EXPECT_EQ(ScriptLines(ReadAll(report)), std::vector<std::string>{"waiting"}) << ReadAll(report);
  session.DestroyWindow();
  sim_->Stop();
  EXPECT_NE(ReadAll(log).find("RX (Lo["), std::string::npos);
}

// One run of a program against a fresh krsim, as a scheduler would start it.
struct ProgramRun {
  bool finished = false;
  int status = -1;
  std::string report;
  std::map<std::string, std::string> data;  // the files of the data folder
};

ProgramRun RunProgram(const QString& program, const fs::path& folder, const std::string& script) {
  ProgramRun run;
  fs::create_directories(folder);
  krsim_test::SimProcess sim({"--tcp", "0", "--no-stdin"});
  const int port = PortOf(sim);
  if (port <= 0) return run;
  const fs::path document = WriteTcpDocument(folder, port);
  WriteText(folder / "job.krs", script);
  QProcess process;
  QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
  environment.insert("TARVIK_DATA_ROOT", QString::fromStdString((folder / "root").string()));
  environment.insert("QT_QPA_PLATFORM", "offscreen");
  environment.remove("TARVIK_PASSWORD");
  process.setProcessEnvironment(environment);
  process.setWorkingDirectory(QString::fromStdString(folder.string()));
  // Relative names: the script and the output file are found from the working folder.
  process.start(program,
                {QString::fromStdString(document.string()), "/i", "job.krs", "/o", "report.txt", "/q"});
  run.finished = process.waitForFinished(90000);
  if (!run.finished) {
    process.kill();
    process.waitForFinished();
  }
  run.status = process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1;
  // The port of each krsim differs; everything else must not.
  run.report = std::regex_replace(ReadAll(folder / "report.txt"), std::regex("port [0-9]+"), "port P");
  std::error_code ec;
  for (const auto& entry : fs::directory_iterator(folder / "root" / "Data", ec)) {
    run.data[entry.path().filename().string()] = ReadAll(entry.path());
  }
  return run;
}

const QString kTarvik = QString(TARVIK_PROGRAM_DIR) + "/tarvik";
const QString kTarvikCli = TARVIK_CLI_PATH;

TEST_F(MacroWindow, SameScriptSameFilesFromTheWindowAndTheCommandLine) {
  const std::string script =
      "// the newest event of KR 1, as text\r\n"
      "TraceOn 0;\r\n"
      ":Run started;\r\n"
      "TransferLastFile site;\r\n"
      "TransformFile H+ N+ D+ F100;\r\n"
      ":converted;\r\n"
      "IsLastFile 3 1 3;\r\n"
      ":newest is 3;\r\n"
      "GoTo 2;\r\n"
      ":unexpected;\r\n"
      "TraceOn 1;\r\n"
      "Na1;IB;\r\n"
      ":done\r\n";
  const ProgramRun window = RunProgram(kTarvik, temp_.path() / "window", script);
  const ProgramRun cli = RunProgram(kTarvikCli, temp_.path() / "cli", script);
  // "/q" ends the window by itself, and both report success.
  ASSERT_TRUE(window.finished);
  ASSERT_TRUE(cli.finished);
  EXPECT_EQ(window.status, 0);
  EXPECT_EQ(cli.status, 0);
  const std::vector<std::string> lines = ScriptLines(window.report);
  ASSERT_EQ(lines.size(), 5u) << window.report;
  EXPECT_EQ(lines[0], "Run started");
  EXPECT_TRUE(
      std::regex_match(lines[1], std::regex("Event 003 successful transferred [1-9][0-9]* blocks read\\.")))
      << lines[1];
  EXPECT_EQ(lines[4], "done");
  // TraceOn 1 put the frames of the last commands into the report.
  EXPECT_NE(window.report.find(">(IB++)"), std::string::npos) << window.report;
  EXPECT_EQ(window.report, cli.report);

  ASSERT_EQ(window.data.count("site01003.vkr"), 1u);
  ASSERT_EQ(window.data.count("site01003.txt"), 1u);
  EXPECT_FALSE(window.data.at("site01003.txt").empty());
  EXPECT_EQ(window.data, cli.data);
}

TEST_F(MacroWindow, AFailedScriptEndsBothProgramsWithAnError) {
  const std::string script = "TransformFile H+;:never";
  const ProgramRun window = RunProgram(kTarvik, temp_.path() / "window", script);
  const ProgramRun cli = RunProgram(kTarvikCli, temp_.path() / "cli", script);
  ASSERT_TRUE(window.finished);
  EXPECT_EQ(window.status, 1);
  EXPECT_EQ(cli.status, 1);
  EXPECT_EQ(ScriptLines(window.report), std::vector<std::string>{"Error: No file transferred before!"});
  EXPECT_EQ(window.report, cli.report);
}

}  // namespace
}  // namespace tarvik_gui_test
