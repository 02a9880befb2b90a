#include "tarvik/engine/script_operation.h"

#include <gtest/gtest.h>
#include <stdlib.h>

#include <algorithm>
#include <fstream>
#include <set>
#include <sstream>

#include "engine_test_support.h"
#include "tarvik/engine/operation_engine.h"
#include "tarvik/resources/tarvik_strings.h"

namespace tarvik {
namespace {

namespace fs = std::filesystem;
using testing::RecordingUi;
using testing::ScriptedLink;

constexpr int kMB = CommandNumber("MB");
constexpr int kIB = CommandNumber("IB");

// --- The pure parts ------------------------------------------------------------------------------

TEST(ScriptCommandTest, KeywordsAnywhereInTheCommandAndTheirArguments) {
  const ScriptCommand transfer = InterpretScriptCommand(" TransferLastFile site ");
  EXPECT_EQ(transfer.kind, ScriptCommandKind::kTransferLastFile);
  EXPECT_EQ(transfer.argument, "site");
  EXPECT_EQ(InterpretScriptCommand(" GoTo -2 ").argument, "-2");
  EXPECT_EQ(InterpretScriptCommand("IsLastFile 17 1 3").kind, ScriptCommandKind::kIsLastFile);
  EXPECT_EQ(InterpretScriptCommand("WaitOnNewFile").kind, ScriptCommandKind::kWaitOnNewFile);
  EXPECT_EQ(InterpretScriptCommand("TraceOn TRUE").kind, ScriptCommandKind::kTraceOn);
  EXPECT_EQ(InterpretScriptCommand("TransformFile H+").kind, ScriptCommandKind::kTransformFile);
  const ScriptCommand free = InterpretScriptCommand("Te=5");
  EXPECT_EQ(free.kind, ScriptCommandKind::kFreeForm);
  EXPECT_EQ(free.argument, "Te=5");
  // An output line is text even when it names a keyword.
  const ScriptCommand output = InterpretScriptCommand(":TransferLastFile done");
  EXPECT_EQ(output.kind, ScriptCommandKind::kOutput);
  EXPECT_EQ(output.argument, "TransferLastFile done\r\n");
}

TEST(ScriptCommandTest, ArgumentValues) {
  EXPECT_TRUE(ScriptTraceValue("true"));
  EXPECT_TRUE(ScriptTraceValue("1"));
  EXPECT_FALSE(ScriptTraceValue("yes"));
  EXPECT_FALSE(ScriptTraceValue(""));
  EXPECT_EQ(ScriptEventNumber("255"), 255);
  EXPECT_EQ(ScriptEventNumber("256"), 0);
  EXPECT_EQ(ScriptEventNumber("0"), 0);
  EXPECT_EQ(ScriptEventNumber("x"), 0);
  EXPECT_EQ(ScriptJump("-2"), -2);
  EXPECT_EQ(ScriptJump(""), 0);
  const IsLastFileArguments branch = ParseIsLastFile("17 1  3");
  EXPECT_EQ(branch.event, 17);
  EXPECT_EQ(branch.if_newest, 1);
  EXPECT_EQ(branch.otherwise, 3);
}

TEST(ScriptCommandTest, NextEventFollowsTheRingMemory) {
  EXPECT_EQ(NextEventNumber(0), 1);
  EXPECT_EQ(NextEventNumber(17), 18);
  EXPECT_EQ(NextEventNumber(254), 255);
  EXPECT_EQ(NextEventNumber(255), 1);
}

TEST(ScriptCommandTest, TransformLetters) {
  ExportOptions options;
  options.Interpreted = 1;
  ApplyTransformLetters("H+ N+ D+ F100", options);
  EXPECT_EQ(options.Header, 1);
  EXPECT_EQ(options.Interpreted, 0);  // N+ means raw
  EXPECT_EQ(options.Data, 1);
  EXPECT_EQ(options.FirstSamples, 100);
  EXPECT_EQ(options.Trim, 1);
  EXPECT_EQ(options.TrimFirstLast, 1);

  ApplyTransformLetters("h- n- p+ a+ r+ i+ t+ c250 b12 l7", options);
  EXPECT_EQ(options.Header, 0);
  EXPECT_EQ(options.Interpreted, 1);
  EXPECT_EQ(options.ChannelMinMax, 1);
  EXPECT_EQ(options.Average, 1);
  EXPECT_EQ(options.RootMeasSquare, 1);
  EXPECT_EQ(options.NotLSB, 1);
  EXPECT_EQ(options.TimeInformation, 1);
  EXPECT_EQ(options.Include, 250);
  EXPECT_EQ(options.IgnoreFirst, 12);
  EXPECT_EQ(options.LastSamples, 7);
  EXPECT_EQ(options.TrimFirstLast, 1);  // L came last
  // A flag letter at the very end has no "+": off.
  ApplyTransformLetters("H", options);
  EXPECT_EQ(options.Header, 0);
}

// --- The runner with a scripted unit -------------------------------------------------------------

class ScriptRunnerTest : public ::testing::Test {
 protected:
  ScriptRunnerTest() : settings(DefaultSettings("/tmp/kr-script-test")), strings(MakeTarvikStringTable()) {
    std::string pattern = (fs::temp_directory_path() / "kr-script-XXXXXX").string();
    folder = ::mkdtemp(pattern.data());
    settings.data_path = folder / "Data";
    fs::create_directories(settings.data_path);
    // A lone recorder that answers everything; MB gives the next of `newest`.
    link.responder = [this](int command) {
      KrParams& kr = data.kr[0];
      kr.IV.value = 22060;
      kr.IN.value = "CKR4100";
      kr.device_type = 3;
      if (command == kIB) kr.IB.value = identification;
      if (command == kMB) {
        ++mb_reads;
        kr.MB.value = newest.size() > 1 ? newest.front() : newest.empty() ? 0 : newest.front();
        if (newest.size() > 1) newest.erase(newest.begin());
      }
      if (command == cmd::kM1) {
        ++kr.downloaded_events;
        link.last_event_file_name = link.download_prefix + "003.vkr";
        link.file_number = 3;
        link.block_count = 42;
      }
      if (command == cmd::kFreeForm && refuse.count(link.raw_commands.back()) != 0) return LinkRefused;
      return LinkReady;
    };
  }
  ~ScriptRunnerTest() override {
    engine.reset();
    std::error_code ec;
    fs::remove_all(folder, ec);
  }

  void Tick(int count = 1) {
    for (int i = 0; i < count; ++i) {
      link.Deliver();
      engine->Tick();
    }
  }
  template <typename Predicate>
  bool TickUntil(Predicate done, int limit = 3000) {
    for (int i = 0; i < limit; ++i) {
      if (done()) return true;
      Tick();
    }
    return done();
  }

  // Writes the script, logs in over TCP with it named and runs until the script has begun.
  void Start(const std::string& script, bool with_output = true) {
    std::ofstream(folder / "run.krs", std::ios::binary) << script;
    engine =
        std::make_unique<OperationEngine>(EngineServices{link, data, context, settings, ui, strings, clock});
    engine->set_script_named(true);
    engine->Unit<ScriptOperation>().SetScript(folder / "run.krs", with_output ? folder / "out.txt" : "",
                                              true);
    ConnectionRecord document;
    document.link_kind = LinkKind::kTcp;
    document.ip_port = 5000;
    document.ip_address = "127.0.0.1";
    engine->OpenDocument("/tmp/site.krc", document);
    ASSERT_TRUE(TickUntil([&] { return engine->operation_state() == OperationState::kConnectionWait; }));
    link.SetConnected(true);
    ASSERT_TRUE(TickUntil([&] { return engine->operation_state() == OperationState::kStartupScript; }));
    link.trace.clear();  // what the log-in traced is not part of these checks
    mb_reads = 0;
    newest = script_newest;
  }
  bool RunToEnd() {
    return TickUntil([&] { return engine->idle(); });
  }
  ScriptOperation& script() { return engine->Unit<ScriptOperation>(); }
  std::string Output() {
    std::ifstream file(folder / "out.txt", std::ios::binary);
    std::ostringstream text;
    text << file.rdbuf();
    return text.str();
  }

  kr::FixedClock clock{kr::DateTime{2026, 3, 21, 20, 15, 0, 0, 6}};
  RecorderData data;
  ProtocolContext context;
  TarvikSettings settings;
  RecordingUi ui;
  kr::StringTable strings;
  ScriptedLink link{context};
  std::unique_ptr<OperationEngine> engine;
  fs::path folder;
  std::vector<int> newest{17};
  std::vector<int> script_newest{17};  // what MB gives once the script runs
  std::string identification = "10417";
  std::set<std::string> refuse;
  int mb_reads = 0;
};

TEST_F(ScriptRunnerTest, IsLastFileContinuesWhenTheEventIsTheNewestElseSkipsTwo) {
  const std::string text = "IsLastFile 17 1 3;:newest is 17;GoTo 2;:other;:end";
  Start(text);
  ASSERT_TRUE(RunToEnd());
  EXPECT_EQ(Output(), "newest is 17\r\nend\r\n");
  EXPECT_EQ(script().outcome(), ScriptOutcome::kCompleted);

  script_newest = {16};
  Start(text);
  ASSERT_TRUE(RunToEnd());
  EXPECT_EQ(Output(), "other\r\nend\r\n");
}

TEST_F(ScriptRunnerTest, GoToMinusTwoOnTheFifthCommandGoesBackToTheThird) {
  script_newest = {8, 9};
  Start(":a;:b;IsLastFile 9 3 1;:c;GoTo -2");
  ASSERT_TRUE(RunToEnd());
  EXPECT_EQ(Output(), "a\r\nb\r\nc\r\n");
  EXPECT_EQ(mb_reads, 2);
}

TEST_F(ScriptRunnerTest, GoToZeroRepeatsTheSameCommandAtEveryTick) {
  Start(":a;GoTo 0;:never");
  Tick(200);
  EXPECT_EQ(engine->operation_state(), OperationState::kStartupScript);
  EXPECT_EQ(script().outcome(), ScriptOutcome::kRunning);
}

TEST_F(ScriptRunnerTest, FreeFormCommandsGoPieceByPieceAndARefusalDoesNotStopTheScript) {
  refuse = {"XY"};
  Start("Te=5;XY;AL 1// comment\r\n;:done");
  ASSERT_TRUE(RunToEnd());
  EXPECT_EQ(link.raw_commands, (std::vector<std::string>{"Te=5", "XY", "AL 1"}));
  EXPECT_EQ(Output(), "done\r\n");
  EXPECT_EQ(script().outcome(), ScriptOutcome::kCompleted);
}

TEST_F(ScriptRunnerTest, TransferLastFileNamesTheFileByTheSanitisedIdentification) {
  identification = "../up";
  Start("TransferLastFile;:ok");
  ASSERT_TRUE(RunToEnd());
  const std::string prefix = (settings.data_path / "").string();
  ASSERT_TRUE(link.download_prefix.starts_with(prefix)) << link.download_prefix;
  EXPECT_EQ(link.download_prefix.find('/', prefix.size()), std::string::npos) << link.download_prefix;
  EXPECT_EQ(link.download_prefix.find("..", prefix.size()), std::string::npos) << link.download_prefix;
  EXPECT_EQ(script().last_file_name(), link.download_prefix + "003.vkr");
  EXPECT_EQ(Output(), "Event 003 successful transferred 41 blocks read.\r\nok\r\n");
}

TEST_F(ScriptRunnerTest, TransferLastFileWithARootUsesIt) {
  Start("TransferLastFile site");
  ASSERT_TRUE(RunToEnd());
  EXPECT_EQ(link.download_prefix, (settings.data_path / "site").string());
  EXPECT_EQ(std::count(link.sent.begin(), link.sent.end(), kIB), 0);
}

TEST_F(ScriptRunnerTest, TransformFileBeforeAnyTransferWrites677AndEndsTheScript) {
  Start("TransformFile H+;:never");
  ASSERT_TRUE(RunToEnd());
  EXPECT_EQ(Output(), "Error: No file transferred before!\r\n");
  EXPECT_EQ(script().outcome(), ScriptOutcome::kFailed);
}

TEST_F(ScriptRunnerTest, TransformFileOfAFileThatIsGoneWrites679) {
  Start("TransferLastFile site;TransformFile H+;:never");
  ASSERT_TRUE(RunToEnd());
  EXPECT_EQ(Output(), "Event 003 successful transferred 41 blocks read.\r\nError: Can't open file!\r\n");
  EXPECT_EQ(script().outcome(), ScriptOutcome::kFailed);
}

TEST_F(ScriptRunnerTest, WaitOnNewFileAfter254WaitsFor255) {
  script_newest = {254, 254, 254, 255};
  Start("WaitOnNewFile;:got it");
  ASSERT_TRUE(RunToEnd());
  EXPECT_EQ(mb_reads, 4);
  EXPECT_EQ(Output(), "got it\r\n");
}

TEST_F(ScriptRunnerTest, WaitOnNewFileAfter255WaitsFor1) {
  script_newest = {255, 255, 1};
  Start("WaitOnNewFile;:got it");
  ASSERT_TRUE(RunToEnd());
  EXPECT_EQ(mb_reads, 3);
}

TEST_F(ScriptRunnerTest, WaitOnNewFileWithANumberWaitsForThatOne) {
  script_newest = {3, 4, 5, 6};
  Start("WaitOnNewFile 6");
  ASSERT_TRUE(RunToEnd());
  EXPECT_EQ(mb_reads, 4);
}

TEST_F(ScriptRunnerTest, TraceOnPutsTheTraceOfEachCommandIntoTheOutput) {
  Start("TraceOn 1;:a;TraceOn 0;:b");
  ASSERT_TRUE(RunToEnd());
  EXPECT_EQ(Output(), "a\r\nb\r\n");  // the fake traces nothing of its own between the commands
  link.trace = {};
  Start("TraceOn TRUE;Te=5;:x");
  link.trace.push_back("[marker]");
  ASSERT_TRUE(RunToEnd());
  EXPECT_NE(Output().find("[marker]\r\nx\r\n"), std::string::npos) << Output();
}

TEST_F(ScriptRunnerTest, AScriptWithoutOutputRunsCompletely) {
  Start("Te=5;:not written;TransferLastFile site;Tp=3", false);
  ASSERT_TRUE(RunToEnd());
  EXPECT_EQ(script().outcome(), ScriptOutcome::kCompleted);
  EXPECT_EQ(link.raw_commands, (std::vector<std::string>{"Te=5", "Tp=3"}));
  EXPECT_FALSE(fs::exists(folder / "out.txt"));
}

TEST_F(ScriptRunnerTest, MissingScriptGives433AndEndsIt) {
  Start(":x");
  fs::remove(folder / "run.krs");  // before the script's first tick loads it
  ASSERT_TRUE(RunToEnd());
  EXPECT_EQ(ui.MessageIds().back(), 433);
  EXPECT_EQ(script().outcome(), ScriptOutcome::kFailed);
}

}  // namespace
}  // namespace tarvik
