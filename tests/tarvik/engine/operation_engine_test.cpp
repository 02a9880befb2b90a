#include "tarvik/engine/operation_engine.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <memory>
#include <span>

#include "engine_test_support.h"
#include "tarvik/engine/transfer_operation.h"
#include "tarvik/resources/tarvik_strings.h"

namespace tarvik {
namespace {

using testing::RecordingUi;
using testing::ScriptedLink;

constexpr int kLL = CommandNumber("LL");
constexpr int kNN = CommandNumber("NN");
constexpr int kNC = CommandNumber("NC");
constexpr int kNR = CommandNumber("NR");
constexpr int kLo = CommandNumber("Lo");
constexpr int kNa = cmd::kNa;
constexpr int kNa0 = cmd::kNa0;
constexpr int kCt = cmd::kCt;
constexpr int kMN = CommandNumber("MN");
constexpr int kMD = cmd::kMD;
constexpr int kM1 = cmd::kM1;
constexpr int kTh = CommandNumber("Th");
constexpr int kProbe = cmd::kProbe;

class EngineTest : public ::testing::Test {
 protected:
  EngineTest() : settings(DefaultSettings("/tmp/kr-engine-test")), strings(MakeTarvikStringTable()) {}

  kr::FixedClock clock{kr::DateTime{2026, 3, 21, 20, 15, 0, 0, 6}};

  void Make() {
    engine =
        std::make_unique<OperationEngine>(EngineServices{link, data, context, settings, ui, strings, clock});
  }
  // One timer period: a reply that was due arrives, then the tick runs.
  void Tick(int count = 1) {
    for (int i = 0; i < count; ++i) {
      link.Deliver();
      engine->Tick();
    }
  }
  // Ticks until the predicate holds; false after `limit` ticks.
  template <typename Predicate>
  bool TickUntil(Predicate done, int limit = 2000) {
    for (int i = 0; i < limit; ++i) {
      if (done()) return true;
      Tick();
    }
    return done();
  }

  // A control unit with two recorders that answers everything; recorder 1 holds `events` events.
  void AnswerAsControlUnit(int events = 3, int firmware = 22060) {
    link.responder = [this, events, firmware](int command) {
      if (command == kNN) data.hcu.NN.value = "HCU4100";
      if (command == kNC) data.hcu.NC.value = 2;
      KrParams& kr = data.kr[static_cast<size_t>(std::max(link.TargetRecorder(), 1) - 1)];
      if (command == CommandNumber("IV")) kr.IV.value = firmware;
      if (command == CommandNumber("IN")) kr.IN.value = "CKR4100";
      if (command == CommandNumber("IB")) kr.IB.value = "10417";
      if (command == kMN) kr.MN.value = events;
      kr.device_type = 3;
      if (command == kM1) ++kr.downloaded_events;
      return LinkReady;
    };
  }

  // Opens a TCP document and runs until logged in and idle.
  void LoginOverTcp() {
    ConnectionRecord document;
    document.link_kind = LinkKind::kTcp;
    document.ip_port = 5000;
    document.ip_address = "127.0.0.1";
    document.connection_timeout = 2000;
    engine->OpenDocument("/tmp/site.krc", document);
    ASSERT_TRUE(TickUntil([&] { return engine->operation_state() == OperationState::kConnectionWait; }));
    link.SetConnected(true);
    ASSERT_TRUE(TickUntil([&] { return engine->idle(); }));
    ASSERT_TRUE(engine->state().logged_in);
  }

  // An engine over an open serial link, for driving the command-list runner by hand.
  void MakeWithOpenLink() {
    Make();
    link.Create(0, 0, 1, "h");
    link.OpenSerial();
  }

  // Delivers the pending reply and runs the list once per tick until it completes (or 20 ticks).
  int RunListToEnd(std::span<const int> list) {
    int result = -1;
    for (int i = 0; i < 20 && result != 0; ++i) {
      link.Deliver();
      result = engine->core().RunCommandList(list);
    }
    return result;
  }

  RecorderData data;
  ProtocolContext context;
  TarvikSettings settings;
  RecordingUi ui;
  kr::StringTable strings;
  ScriptedLink link{context};
  std::unique_ptr<OperationEngine> engine;
};

// --- The command-list runner ------------------------------------------------------------------------

TEST_F(EngineTest, ListCompletesOnlyWhenTheNopIsAcceptedAfterTheLastReply) {
  MakeWithOpenLink();
  const int list[] = {kLL, kNN};
  EXPECT_EQ(engine->core().RunCommandList(list), -1);
  link.Deliver();
  EXPECT_EQ(engine->core().RunCommandList(list), -1);
  // NN is out, its reply is not: the NOP is refused and the list is still running.
  EXPECT_EQ(engine->core().RunCommandList(list), LinkAwaitingReply);
  EXPECT_EQ(engine->core().RunCommandList(list), LinkAwaitingReply);
  link.Deliver();
  EXPECT_EQ(engine->core().RunCommandList(list), 0);
  EXPECT_EQ(engine->fields().step, 0);
  EXPECT_EQ(link.sent, (std::vector<int>{kLL, kNN}));
}

TEST_F(EngineTest, RetryReissuesTheLastCommandOnlyNotTheList) {
  MakeWithOpenLink();
  int nn_answers = 0;
  link.responder = [&](int command) { return command == kNN && nn_answers++ == 0 ? LinkRetry : LinkReady; };
  const int list[] = {kLL, kNN, kNC};
  EXPECT_EQ(RunListToEnd(list), 0);
  EXPECT_EQ(link.sent, (std::vector<int>{kLL, kNN, kNN, kNC}));
}

// A unit that answers the repeat within the same tick with a second retry: the second retry repeats the
// command again instead of passing over it to the next one.
TEST_F(EngineTest, RetryOfARepeatedCommandRepeatsItAgain) {
  MakeWithOpenLink();
  int nn_answers = 0;
  link.responder = [&](int command) { return command == kNN && nn_answers++ < 2 ? LinkRetry : LinkReady; };
  const int list[] = {kLL, kNN, kNC};
  EXPECT_EQ(RunListToEnd(list), 0);
  EXPECT_EQ(link.sent, (std::vector<int>{kLL, kNN, kNN, kNN, kNC}));
}

TEST_F(EngineTest, RetryThatCannotBeSentYetStepsBackOnlyOnce) {
  MakeWithOpenLink();
  int ct_answers = 0;
  link.responder = [&](int command) { return command == kCt && ct_answers++ == 0 ? LinkRetry : LinkReady; };
  link.not_now[kCt] = true;  // the PC clock is outside its window: the builder sends nothing
  const int list[] = {kLL, kCt, kNN};
  for (int i = 0; i < 8; ++i) {
    link.Deliver();
    engine->core().RunCommandList(list);
  }
  EXPECT_EQ(link.sent, (std::vector<int>{kLL, kCt}));
  link.not_now.clear();
  EXPECT_EQ(RunListToEnd(list), 0);
  EXPECT_EQ(link.sent, (std::vector<int>{kLL, kCt, kCt, kNN}));
}

TEST_F(EngineTest, RetryDuringAMultiItemWriteIsLeftToTheBuilder) {
  MakeWithOpenLink();
  const int list[] = {kLL, kCt, kNN};
  engine->core().RunCommandList(list);
  link.Deliver();
  engine->core().RunCommandList(list);
  link.SetState(LinkRetry);
  link.item_cursor = 2;  // an item of the write is in flight: the write repeats its own item
  engine->core().RunCommandList(list);
  EXPECT_EQ(link.sent, (std::vector<int>{kLL, kCt, kNN}));
}

TEST_F(EngineTest, DeferredRequestRunsOnlyAfterThePollEnds) {
  Make();
  engine->SetState(OperationState::kIdle);
  engine->BeginDeferral();
  engine->SetState(OperationState::kEventList);
  EXPECT_EQ(engine->operation_state(), OperationState::kIdle);
  EXPECT_EQ(engine->state().pending_state, OperationState::kEventList);
  engine->EndDeferral();
  EXPECT_EQ(engine->operation_state(), OperationState::kEventList);
  EXPECT_FALSE(engine->state().deferral);
}

// --- Tick counts at polling time 40 ms -----------------------------------------------------------------

TEST_F(EngineTest, StartWindowStaysThirtySevenTicks) {
  settings.com_polling_time = 40;
  Make();
  EXPECT_EQ(engine->operation_state(), OperationState::kStartWindow);
  Tick();
  EXPECT_TRUE(ui.start_window_open);
  Tick(36);
  EXPECT_EQ(engine->operation_state(), OperationState::kStartWindow);  // 37 ticks counted
  Tick();
  EXPECT_TRUE(engine->idle());
  EXPECT_FALSE(ui.start_window_open);
}

TEST_F(EngineTest, ActionProgressWindowHas187TicksAndStartsAtOne) {
  settings.com_polling_time = 40;
  Make();
  engine->core().ActionProgressTick(358);
  EXPECT_TRUE(engine->state().busy);
  EXPECT_TRUE(ui.progress_open);
  EXPECT_EQ(ui.progress_total, 187);  // trunc(1500 x 0.125)
  EXPECT_EQ(ui.progress_position, 1);
  EXPECT_EQ(ui.progress_texts.back(), "Transfer all events.");
  engine->core().ActionProgressTick(358);
  engine->core().ActionProgressTick(358);
  EXPECT_EQ(ui.progress_position, 3);
  engine->core().FinishOperation(0);
  EXPECT_FALSE(ui.progress_open);
  EXPECT_FALSE(engine->state().busy);
}

TEST_F(EngineTest, TcpConnectionWaitAllows625TicksThenReports213) {
  settings.com_polling_time = 40;
  Make();
  ConnectionRecord document;
  document.link_kind = LinkKind::kTcp;
  document.ip_port = 5000;
  document.ip_address = "10.0.0.9";
  engine->OpenDocument("/tmp/site.krc", document);
  ASSERT_TRUE(TickUntil([&] { return engine->operation_state() == OperationState::kConnectionWait; }));
  ASSERT_EQ(link.created.size(), 1u);
  EXPECT_EQ(link.created[0].ip_port, 5000);
  EXPECT_EQ(link.created[0].host, "10.0.0.9");
  Tick(625);
  EXPECT_EQ(engine->operation_state(), OperationState::kConnectionWait);
  EXPECT_TRUE(ui.messages.empty());
  Tick();
  EXPECT_TRUE(engine->idle());
  ASSERT_EQ(ui.MessageIds(), std::vector<int>{213});
  EXPECT_NE(ui.messages[0].text.find("\"10.0.0.9\""), std::string::npos);
  EXPECT_EQ(link.closes, 1);
}

TEST_F(EngineTest, ModemLinkWaitsFiftyTicksAfterTheConnectBeforeLogIn) {
  settings.com_polling_time = 40;
  Make();
  Tick(40);
  ConnectionRecord document;
  document.link_kind = LinkKind::kModem1;
  document.connection_timeout = 2000;
  document.modem_init = "AT&F;ATE0";
  document.dial_command = "ATDT";
  document.phone_number = "5551234";
  engine->OpenDocument("/tmp/modem.krc", document);
  Tick();
  EXPECT_TRUE(ui.connect_window_open);
  EXPECT_TRUE(engine->idle());
  engine->OnConnectButton();
  link.responder = [](int command) { return command == cmd::kModemString ? LinkReady : LinkReady; };
  ASSERT_TRUE(TickUntil([&] { return engine->operation_state() == OperationState::kConnectionWait; }));
  EXPECT_EQ(link.modem_texts, (std::vector<std::string>{"AT&F", "ATE0", "ATDT5551234"}));
  EXPECT_FALSE(ui.connect_window_open);
  Tick(50);
  EXPECT_EQ(engine->operation_state(), OperationState::kConnectionWait);
  Tick();
  EXPECT_EQ(engine->operation_state(), OperationState::kLogin);
}

TEST_F(EngineTest, BusyNumberEndsDiallingWith219AndClosesTheLink) {
  Make();
  ConnectionRecord document;
  document.link_kind = LinkKind::kModem2;
  document.modem_init = "ATZ";
  document.dial_command = "ATDT";
  document.phone_number = "1";
  engine->OpenDocument("/tmp/modem.krc", document);
  Tick();
  engine->OnConnectButton();
  link.responder = [](int) { return LinkReady; };
  ASSERT_TRUE(TickUntil([&] { return link.modem_texts.size() == 2; }));
  link.responder = [](int) { return LinkModemNotReady; };
  ASSERT_TRUE(TickUntil([&] { return engine->idle(); }));
  EXPECT_EQ(ui.MessageIds(), std::vector<int>{219});
  EXPECT_EQ(link.closes, 1);
}

// --- Log-in ---------------------------------------------------------------------------------------------

TEST_F(EngineTest, LogInToAControlUnitRunsEveryPhaseAndTargetsTheActiveRecorder) {
  settings.activate_kr_no = 1;
  Make();
  AnswerAsControlUnit();
  LoginOverTcp();
  const std::vector<int> login = {kProbe, kLL, kLo, kLL, kLL, kLL, kNN, kNa0, kNC, kNR, kNa};
  ASSERT_GE(link.sent.size(), login.size());
  EXPECT_EQ(std::vector<int>(link.sent.begin(), link.sent.begin() + static_cast<long>(login.size())), login);
  EXPECT_TRUE(engine->state().control_unit_present);
  EXPECT_EQ(link.TargetRecorder(), 1);
  EXPECT_EQ(ui.menu, MenuSet::kLoggedIn);
  EXPECT_EQ(ui.window_title, "Tarvik [CKR4100]");
  // Phases 3/4 end the log-in: Th with the forced file number 0, then back to the control unit.
  ASSERT_GE(link.sent.size(), 2u);
  EXPECT_EQ(link.sent[link.sent.size() - 2], kTh);
  EXPECT_EQ(link.sent.back(), kNa0);
  EXPECT_EQ(context.forced_file_number, kNoForcedFileNumber);
  EXPECT_EQ(engine->current_event_index(), 2);  // three events: the newest is index 2
  EXPECT_TRUE(ui.messages.empty());
}

TEST_F(EngineTest, Mkr4100AnsweringNNItselfIsTargetedAsRecorderOne) {
  settings.activate_kr_no = 2;
  Make();
  AnswerAsControlUnit(0);
  auto inner = link.responder;
  link.responder = [&](int command) {
    const int result = inner(command);
    if (command == kNN) data.hcu.NN.value = "MKR4100";
    return result;
  };
  LoginOverTcp();
  EXPECT_TRUE(engine->state().direct_recorder);
  EXPECT_EQ(link.TargetRecorder(), 1);
  EXPECT_EQ(engine->current_event_index(), 0);  // no events
  EXPECT_TRUE(ui.messages.empty());
}

TEST_F(EngineTest, ActivatingAnotherRecorderRerunsPhasesOneToFourForIt) {
  settings.activate_kr_no = 1;
  Make();
  AnswerAsControlUnit();
  LoginOverTcp();
  link.sent.clear();
  engine->ActivateRecorder(2);
  EXPECT_TRUE(engine->transfer_interrupted(1));
  EXPECT_EQ(settings.activate_kr_no, 2);
  ASSERT_TRUE(TickUntil([&] { return engine->idle(); }));
  EXPECT_EQ(link.TargetRecorder(), 2);
  ASSERT_FALSE(link.sent.empty());
  EXPECT_EQ(link.sent.front(), kNa);  // phase 1 begins: no new log-in, no NN
  EXPECT_EQ(std::count(link.sent.begin(), link.sent.end(), kLL), 0);
  EXPECT_EQ(std::count(link.sent.begin(), link.sent.end(), kNN), 0);
  EXPECT_EQ(link.sent.back(), kNa0);
  EXPECT_FALSE(engine->transfer_interrupted(2));
  EXPECT_TRUE(engine->state().logged_in);
  EXPECT_TRUE(ui.messages.empty());
}

TEST_F(EngineTest, NoReloginSendsOnlyTheProbeAndOneLL) {
  Make();
  engine->set_no_relogin(true);
  AnswerAsControlUnit();
  LoginOverTcp();
  EXPECT_EQ(link.sent[0], kProbe);
  EXPECT_EQ(link.sent[1], kLL);
  EXPECT_EQ(link.sent[2], kLL);  // phase 0 of the initialisation begins
  EXPECT_EQ(std::count(link.sent.begin(), link.sent.end(), kLo), 0);
}

TEST_F(EngineTest, UnitThatRefusesNNIsALoneRecorder) {
  Make();
  link.responder = [this](int command) {
    if (command == kNN) return LinkRefused;
    if (command == CommandNumber("IV")) data.kr[0].IV.value = 22060;
    if (command == CommandNumber("IN")) data.kr[0].IN.value = "SKR4100";
    data.kr[0].device_type = 1;
    return LinkReady;
  };
  LoginOverTcp();
  EXPECT_FALSE(engine->state().control_unit_present);
  EXPECT_EQ(link.TargetRecorder(), 1);
  EXPECT_EQ(std::count(link.sent.begin(), link.sent.end(), kNC), 0);
  EXPECT_EQ(std::count(link.sent.begin(), link.sent.end(), kNR), 0);
  EXPECT_EQ(std::count(link.sent.begin(), link.sent.end(), kNa), 0);
  EXPECT_EQ(std::count(link.sent.begin(), link.sent.end(), CommandNumber("MS")), 0);  // no phase 2
  EXPECT_EQ(engine->current_event_index(), 0);  // MN is not read without a control unit
  EXPECT_TRUE(ui.messages.empty());
}

TEST_F(EngineTest, RejectedPasswordOpensThePromptPrefilledWithTheDefault) {
  settings.suggest_default_password = 1;
  Make();
  bool first_ll = true;
  AnswerAsControlUnit();
  auto inner = link.responder;
  link.responder = [&](int command) -> int {
    if (command == kLL && first_ll) {
      first_ll = false;
      return LinkOffline;
    }
    return inner(command);
  };
  ui.password_answers = {std::string("ABCDEFG")};
  LoginOverTcp();
  ASSERT_EQ(ui.password_prompts.size(), 1u);
  EXPECT_EQ(ui.password_prompts[0].title, "Login");
  EXPECT_EQ(ui.password_prompts[0].prefill, "TORVE");
  EXPECT_EQ(link.password(), "ABCDE");
  EXPECT_EQ(engine->fields().password, "ABCDEFG");
}

TEST_F(EngineTest, CancelledPasswordPromptClosesTheLink) {
  Make();
  link.responder = [](int command) { return command == kLL ? LinkOffline : LinkReady; };
  ConnectionRecord document;
  document.link_kind = LinkKind::kTcp;
  document.ip_address = "127.0.0.1";
  document.ip_port = 1;
  engine->OpenDocument("/tmp/site.krc", document);
  ASSERT_TRUE(TickUntil([&] { return engine->operation_state() == OperationState::kConnectionWait; }));
  link.SetConnected(true);
  ASSERT_TRUE(TickUntil([&] { return !ui.password_prompts.empty() && engine->idle(); }));
  EXPECT_FALSE(engine->state().logged_in);
  EXPECT_EQ(link.closes, 1);
}

TEST_F(EngineTest, StartupScriptSkipsThePrompt) {
  settings.suggest_default_password = 1;
  Make();
  engine->set_script_named(true);
  bool first_ll = true;
  AnswerAsControlUnit();
  auto inner = link.responder;
  link.responder = [&](int command) -> int {
    if (command == kLL && first_ll) {
      first_ll = false;
      return LinkOffline;
    }
    return inner(command);
  };
  LoginOverTcp();
  EXPECT_TRUE(ui.password_prompts.empty());
  EXPECT_EQ(link.password(), "TORVE");
}

struct FirmwareCase {
  int firmware;
  int message;       // 0: accepted
  const char* text;  // part of the message
};

class FirmwareTest : public EngineTest, public ::testing::WithParamInterface<FirmwareCase> {};

TEST_P(FirmwareTest, FirmwareCheckAtTheEndOfTheLogIn) {
  Make();
  AnswerAsControlUnit(3, GetParam().firmware);
  LoginOverTcp();
  if (GetParam().message == 0) {
    EXPECT_TRUE(ui.messages.empty());
    return;
  }
  ASSERT_EQ(ui.MessageIds(), std::vector<int>{GetParam().message});
  EXPECT_NE(ui.messages[0].text.find(GetParam().text), std::string::npos) << ui.messages[0].text;
}

INSTANTIATE_TEST_SUITE_P(Ranges, FirmwareTest,
                         ::testing::Values(FirmwareCase{22060, 0, ""}, FirmwareCase{32099, 0, ""},
                                           FirmwareCase{22059, 703, "Firmware 220.59 is not supported"},
                                           FirmwareCase{22059, 703, "Please use Tarvik 1.8."},
                                           FirmwareCase{22100, 703, "Please use Tarvik 1.8."},
                                           FirmwareCase{65000, 703, "Firmware 650.00 is not supported"},
                                           FirmwareCase{65000, 703, "Tarvik 2.0."},
                                           FirmwareCase{15000, 703, "Tarvik 1.7."},
                                           FirmwareCase{42051, 703, "Tarvik 1.9."}));

TEST_F(EngineTest, TimeOutDuringInitialisationReports212AndReturnsToTheControlUnit) {
  Make();
  AnswerAsControlUnit();
  auto inner = link.responder;
  link.responder = [&](int command) {
    return command == CommandNumber("SO") ? LinkTimedOut : inner(command);
  };
  ConnectionRecord document;
  document.link_kind = LinkKind::kTcp;
  document.ip_address = "127.0.0.1";
  document.ip_port = 1;
  engine->OpenDocument("/tmp/site.krc", document);
  ASSERT_TRUE(TickUntil([&] { return engine->operation_state() == OperationState::kConnectionWait; }));
  link.SetConnected(true);
  ASSERT_TRUE(TickUntil([&] { return !ui.messages.empty(); }));
  EXPECT_EQ(ui.MessageIds(), std::vector<int>{212});
  EXPECT_NE(ui.messages[0].text.find(
                "\"ComTimeoutHCU\" and/or \"ComTimeoutKR\" in the configuration-file Tarvik.ini"),
            std::string::npos);
  EXPECT_EQ(engine->operation_state(), OperationState::kBackToControlUnit);
  const size_t before = link.sent.size();
  ASSERT_TRUE(TickUntil([&] { return engine->idle(); }));
  EXPECT_EQ(link.sent.back(), kNa0);
  EXPECT_GT(link.sent.size(), before);
}

// --- Transfers -------------------------------------------------------------------------------------------

TEST_F(EngineTest, TransferOfARecorderWithoutEventsEndsWith216AtTheFirstMD) {
  Make();
  AnswerAsControlUnit(0);
  LoginOverTcp();
  ui.save_answer = std::filesystem::path("/tmp/ABC");
  ASSERT_TRUE(engine->RequestTransferAll());
  ASSERT_TRUE(TickUntil([&] { return engine->idle(); }));
  EXPECT_EQ(ui.MessageIds(), std::vector<int>{216});
  EXPECT_EQ(std::count(link.sent.begin(), link.sent.end(), kMD), 0);
  EXPECT_EQ(std::count(link.sent.begin(), link.sent.end(), kM1), 0);
}

TEST_F(EngineTest, RootNameDialogAsksForThreeCharactersBehindAControlUnit) {
  Make();
  AnswerAsControlUnit(2);
  LoginOverTcp();
  ui.save_answer = std::filesystem::path("/data/AB");
  ASSERT_TRUE(engine->RequestTransferAll());
  ASSERT_EQ(ui.save_dialogs.size(), 1u);
  EXPECT_EQ(ui.save_dialogs[0].title, "Save as 8.3 files, enter max 3 chars");
  EXPECT_EQ(ui.save_dialogs[0].initial, "---");
  EXPECT_EQ(ui.save_dialogs[0].filter, "Waveform Files (*.vkr;*.vmx)|*.vkr; *.vmx|All Files (*.*)|*.*||");
  EXPECT_EQ(link.download_prefix, "/data/AB-");
}

TEST_F(EngineTest, AllEventsAreTransferredOneByOneWithEventProgress) {
  Make();
  AnswerAsControlUnit(3);
  LoginOverTcp();
  ui.save_answer = std::filesystem::path("/tmp/XYZ");
  link.sent.clear();
  ASSERT_TRUE(engine->RequestTransferAll());
  ASSERT_TRUE(TickUntil([&] { return engine->idle(); }));
  EXPECT_TRUE(ui.messages.empty());
  EXPECT_EQ(std::count(link.sent.begin(), link.sent.end(), kM1), 3);
  EXPECT_EQ(std::count(link.sent.begin(), link.sent.end(), kMD), 3);
  EXPECT_EQ(link.sent.back(), kNa0);
  EXPECT_EQ(ui.progress_total, 3);
  EXPECT_EQ(ui.progress_texts.front(), "Transfer event: 1 of 3.");
  EXPECT_FALSE(ui.progress_open);
}

TEST_F(EngineTest, StopTransferLetsTheCurrentEventFinish) {
  Make();
  AnswerAsControlUnit(5);
  LoginOverTcp();
  ui.save_answer = std::filesystem::path("/tmp/XYZ");
  link.sent.clear();
  ASSERT_TRUE(engine->RequestTransferAll());
  ASSERT_TRUE(TickUntil([&] { return std::count(link.sent.begin(), link.sent.end(), kM1) == 2; }));
  engine->StopTransfer();
  ASSERT_TRUE(TickUntil([&] { return engine->idle(); }));
  EXPECT_EQ(std::count(link.sent.begin(), link.sent.end(), kM1), 2);
  EXPECT_EQ(data.kr[0].downloaded_events, 2);
  EXPECT_EQ(link.sent.back(), kNa0);
  EXPECT_TRUE(engine->transfer_interrupted(1));
  EXPECT_TRUE(ui.messages.empty());
}

TEST_F(EngineTest, StopTransferPressedWhileIdleDoesNotCutTheNextTransferShort) {
  Make();
  AnswerAsControlUnit(3);
  LoginOverTcp();
  engine->StopTransfer();
  ui.save_answer = std::filesystem::path("/tmp/XYZ");
  link.sent.clear();
  ASSERT_TRUE(engine->RequestTransferAll());
  ASSERT_TRUE(TickUntil([&] { return engine->idle(); }));
  EXPECT_EQ(std::count(link.sent.begin(), link.sent.end(), kM1), 3);
}

TEST(EventBlocksTest, EstimateAssumesTheWidestPackedRecord) {
  DirectoryEntry entry;
  entry.kind = 1;  // skr: 253 / 7 = 36 records per pair
  entry.samples = 0;
  EXPECT_EQ(EstimatedEventBlocks(entry), 2);  // the header only
  entry.samples = 36;
  EXPECT_EQ(EstimatedEventBlocks(entry), 4);
  entry.samples = 37;
  EXPECT_EQ(EstimatedEventBlocks(entry), 6);
  entry.samples = 1000;  // ceil(1000 / 36) = 28 pairs
  EXPECT_EQ(EstimatedEventBlocks(entry), 58);
  entry.kind = 3;  // xkr: 253 / 8 = 31 records per pair
  entry.samples = 31;
  EXPECT_EQ(EstimatedEventBlocks(entry), 4);
  entry.samples = 32;
  EXPECT_EQ(EstimatedEventBlocks(entry), 6);
  entry.samples = 9999999;  // the largest count a directory entry keeps: ceil(9999999 / 31) pairs
  EXPECT_EQ(EstimatedEventBlocks(entry), 2 + 2 * 322581);
}

TEST_F(EngineTest, SingleEventTransferCountsBlocksOfTheSelectedEvents) {
  Make();
  AnswerAsControlUnit(5);
  LoginOverTcp();
  data.kr[0].directory[2].kind = 1;
  data.kr[0].directory[2].samples = 36;  // file 3: 4 blocks
  data.kr[0].directory[1].kind = 1;
  data.kr[0].directory[1].samples = 72;  // file 2: 6 blocks
  link.block_count = 3;                  // two blocks of the event in progress received
  ui.progress_positions.clear();
  engine->RequestTransferSelected({3, 2});
  ASSERT_TRUE(TickUntil([&] { return engine->idle(); }));
  EXPECT_TRUE(ui.messages.empty());
  EXPECT_EQ(std::count(link.sent.begin(), link.sent.end(), kM1), 2);
  EXPECT_EQ(ui.progress_total, 10);
  // First event: 2 of its 4 blocks; second: the first in full plus 2 of its 6.
  EXPECT_EQ(ui.progress_positions, (std::vector<int>{2, 6}));
  EXPECT_EQ(ui.progress_texts.front(), "Transfer event: 1 of 2.");
  EXPECT_EQ(ui.progress_texts.back(), "Transfer event: 2 of 2.");
}

TEST_F(EngineTest, ViewTransferShowsTheEventsBlocksAndNamesItsFile) {
  Make();
  AnswerAsControlUnit(5);
  LoginOverTcp();
  data.kr[0].directory[1].kind = 1;
  data.kr[0].directory[1].samples = 72;  // 6 blocks
  auto inner = link.responder;
  bool hold = true;  // the download of M1 is still running
  link.responder = [&](int command) { return command == kM1 && hold ? LinkAwaitingReply : inner(command); };
  engine->RequestViewEvent(2);
  ASSERT_TRUE(TickUntil([&] { return ui.progress_open; }));
  EXPECT_EQ(ui.progress_total, 6);
  EXPECT_EQ(ui.progress_texts.back(), "Reading event: 2 of 5.");
  link.block_count = 5;
  Tick();
  EXPECT_EQ(ui.progress_position, 4);
  link.block_count = 40;  // more than estimated: the bar stays at its end
  Tick();
  EXPECT_EQ(ui.progress_position, 6);
  hold = false;
  ++data.kr[0].downloaded_events;
  // The engine reports the file the download wrote, under the download's own name.
  link.last_event_file_name = link.download_prefix + "01002.vkr";
  link.SetState(LinkReady);
  ASSERT_TRUE(TickUntil([&] { return engine->idle(); }));
  EXPECT_TRUE(ui.messages.empty());
  EXPECT_EQ(engine->last_event_file(), link.last_event_file_name);
  // A new connection forgets the names of the last files.
  ASSERT_TRUE(engine->core().OpenConnection(0, 0, 0, 0, 0, ""));
  EXPECT_TRUE(engine->last_event_file().empty());
}

TEST_F(EngineTest, OpenConnectionRoundsEveryTimeOutToTheNearestTick) {
  settings.com_polling_time = 40;
  settings.com_timeout_kr = 410;    // (410 + 2000) / 40 = 60.25 -> 60
  settings.com_timeout_hcu = 1030;  // 3030 / 40 = 75.75 -> 76
  settings.com_timeout_set = 620;   // 2620 / 40 = 65.5 -> 66
  settings.com_timeout_fp = 8000;   // 10000 / 40 = 250
  Make();
  ASSERT_TRUE(engine->core().OpenConnection(3, 9600, 60000, 2000, 0, ""));
  EXPECT_EQ(context.limits.recorder, 60);
  EXPECT_EQ(context.limits.control_unit, 76);
  EXPECT_EQ(context.limits.set, 66);
  EXPECT_EQ(context.limits.slow, 250);
  EXPECT_EQ(context.limits.dial, 1500);  // the slow time-out alone: 60000 / 40
  ASSERT_EQ(link.created.size(), 1u);
  EXPECT_EQ(link.created[0].com_port, 3);
  EXPECT_EQ(link.created[0].baud, 9600);
}

TEST_F(EngineTest, DeadLinkDuringTransferReports211OnceAndStopsSending) {
  Make();
  AnswerAsControlUnit(5);
  LoginOverTcp();
  ui.save_answer = std::filesystem::path("/tmp/XYZ");
  link.file_number = 3;
  ASSERT_TRUE(engine->RequestTransferAll());
  ASSERT_TRUE(TickUntil([&] { return std::count(link.sent.begin(), link.sent.end(), kM1) == 1; }));
  link.responder = [](int) { return LinkAwaitingReply; };  // the unit stops answering ...
  link.SetConnected(false);                                // ... because the peer closed the link
  Tick();
  EXPECT_TRUE(engine->idle());
  EXPECT_EQ(ui.MessageIds(), std::vector<int>{211});
  EXPECT_NE(ui.messages[0].text.find("event-file 3 "), std::string::npos);
  EXPECT_FALSE(engine->state().logged_in);
  const size_t sent = link.sent.size();
  const int closes = link.closes;
  Tick(50);
  EXPECT_EQ(link.sent.size(), sent);
  EXPECT_EQ(link.closes, closes);
  EXPECT_EQ(ui.messages.size(), 1u);
}

TEST_F(EngineTest, DeadLinkDuringAnEventListReports212) {
  Make();
  AnswerAsControlUnit(5);
  LoginOverTcp();
  engine->RequestEventList();
  Tick(3);
  link.SetConnected(false);
  Tick();
  EXPECT_EQ(ui.MessageIds(), std::vector<int>{212});
  EXPECT_TRUE(engine->idle());
  EXPECT_FALSE(engine->link_open());
}

TEST_F(EngineTest, FrameThatCannotBeWrittenEndsTheOperationWith212) {
  Make();
  AnswerAsControlUnit(5);
  LoginOverTcp();
  link.fail_writes = true;
  engine->RequestEventList();
  Tick(3);
  EXPECT_EQ(ui.MessageIds(), std::vector<int>{212});
  EXPECT_TRUE(engine->idle());
  EXPECT_EQ(link.closes, 1);
  const int calls = link.issue_calls;
  Tick(20);
  EXPECT_EQ(link.issue_calls, calls);  // nothing more is sent into the dead link
}

TEST_F(EngineTest, LogoutOfATcpLinkSendsNa0LoAndCloses) {
  Make();
  AnswerAsControlUnit();
  LoginOverTcp();
  link.sent.clear();
  engine->RequestLogout();
  ASSERT_TRUE(TickUntil([&] { return engine->idle(); }));
  EXPECT_EQ(link.sent, (std::vector<int>{kNa0, kLo}));
  EXPECT_FALSE(engine->state().logged_in);
  EXPECT_EQ(ui.menu, MenuSet::kNotLoggedIn);
  EXPECT_EQ(ui.window_title, "Tarvik");
  EXPECT_EQ(link.closes, 1);
}

TEST_F(EngineTest, UnitThatDropsTheLineAfterLogOutIsNoFailure) {
  Make();
  AnswerAsControlUnit();
  LoginOverTcp();
  link.responder = [this](int command) {
    if (command == kLo) link.SetConnected(false);
    return LinkReady;
  };
  engine->RequestLogout();
  ASSERT_TRUE(TickUntil([&] { return engine->idle() && !engine->link_open(); }));
  EXPECT_TRUE(ui.messages.empty());
  EXPECT_FALSE(engine->state().logged_in);
  EXPECT_EQ(link.closes, 1);
}

TEST_F(EngineTest, DocumentOfKindEightOrMoreIsOpenedButNotConnected) {
  Make();
  ConnectionRecord document;
  document.link_kind = LinkKind::kFirstNotConnectable;
  engine->OpenDocument("/tmp/other.krc", document);
  Tick(3);
  EXPECT_TRUE(engine->idle());
  EXPECT_TRUE(link.created.empty());
  EXPECT_FALSE(engine->state().connection_requested);
  EXPECT_EQ(engine->state().document_path, "/tmp/other.krc");
}

TEST_F(EngineTest, ShutdownLogsOutWithoutWaitingAndHangsUpAModem) {
  Make();
  link.responder = [](int) { return LinkAwaitingReply; };  // nothing answers any more
  ConnectionRecord document;
  document.link_kind = LinkKind::kModem1;
  engine->OpenDocument("/tmp/m.krc", document);
  Tick();
  engine->OnConnectButton();
  Tick();  // phase 0 opens the port
  link.sent.clear();
  link.SetState(LinkReady);
  engine->Shutdown();
  // Without a control unit the builder skips Na0; Lo and the three modem texts go out unanswered.
  EXPECT_EQ(link.sent, (std::vector<int>{kLo, cmd::kModemString, cmd::kModemString, cmd::kModemString}));
  EXPECT_EQ(link.modem_texts, (std::vector<std::string>{"+++", "ATH", "\r\n"}));
  EXPECT_EQ(link.closes, 1);
}

}  // namespace
}  // namespace tarvik
