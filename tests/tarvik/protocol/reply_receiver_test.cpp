#include <clocale>

#include "reply_test_support.h"

namespace tarvik::test {
namespace {

constexpr int kNC = 2;    // number of recorders
constexpr int kNN = 1;    // device name
constexpr int kNR = 3;    // status string
constexpr int kQW = 8;    // alarm reply
constexpr int kIN = 76;   // model text
constexpr int kIV = 101;  // firmware
constexpr int kTA = 114;  // a decimal
constexpr int kLP = 181;  // password

using ReceivePumpTest = ReplyRig;

TEST_F(ReceivePumpTest, DataReplySplitOverTwoReadsIsEchoedOnceOnOneLine) {
  SendCommand(kNC);
  const Bytes reply = DataReply("12");
  ASSERT_TRUE(rig_.Deliver(Bytes(reply.begin(), reply.begin() + 3)));  // "*(1"
  EXPECT_EQ(rig_.state(), LinkAwaitingReply);
  ASSERT_TRUE(rig_.Deliver(Bytes(reply.begin() + 3, reply.end())));

  EXPECT_EQ(rig_.state(), LinkReady);
  EXPECT_EQ(rig_.data().hcu.NC.value, 12);
  EXPECT_EQ(CountLinesStartingWith("<*("), 1);
  EXPECT_TRUE(rig_.TraceHas("<*(12" + ChecksumEcho("12")));
}

TEST_F(ReceivePumpTest, WrongChecksumRetriesAndTheThirdInARowMakesTheUnitOffline) {
  Bytes bad = DataReply("4");
  bad[bad.size() - 2] ^= 0x01;
  for (int attempt = 1; attempt <= 3; ++attempt) {
    SendCommand(kNC);
    ASSERT_TRUE(rig_.Deliver(bad));
    if (attempt < 3) {
      EXPECT_EQ(rig_.state(), LinkRetry) << attempt;
    }
  }
  EXPECT_EQ(rig_.state(), LinkOffline);
  EXPECT_EQ(CountLinesStartingWith("<Check sum error>"), 3);
  EXPECT_TRUE(rig_.TraceHas("<HCU is offline, or communication error>"));
  EXPECT_TRUE(rig_.data().hcu.offline);
  EXPECT_EQ(rig_.data().hcu.offline_counters.total, 1u);
  EXPECT_EQ(rig_.data().hcu.NC.value, 0);
  EXPECT_EQ(rig_.channel().retry_counter, 0);
}

TEST_F(ReceivePumpTest, AGoodReplyBetweenBadOnesStartsTheCountAgain) {
  Bytes bad = DataReply("4");
  bad[bad.size() - 3] ^= 0x80;
  SendCommand(kNC);
  ASSERT_TRUE(rig_.Deliver(bad));
  SendCommand(kNC);
  ASSERT_TRUE(rig_.Deliver(bad));
  SendCommand(kNC);
  ASSERT_TRUE(rig_.Deliver(DataReply("4")));
  EXPECT_EQ(rig_.state(), LinkReady);
  SendCommand(kNC);  // in LinkReady the builder starts a fresh count
  ASSERT_TRUE(rig_.Deliver(bad));
  EXPECT_EQ(rig_.state(), LinkRetry);
}

TEST_F(ReceivePumpTest, WaitReplySetsTheRecorderWaitLimit) {
  rig_.context().timeouts.polling_ms = 250;
  AddressRecorder();
  SendCommand(221);  // Te
  ASSERT_TRUE(rig_.Deliver("W5"));
  EXPECT_EQ(rig_.state(), LinkUnitBusy);
  EXPECT_EQ(rig_.context().limits.recorder_wait, 1202);  // 5 x 240.5, truncated
  EXPECT_TRUE(rig_.TraceHas("<Waiting for KR ready>"));
}

TEST_F(ReceivePumpTest, TwoRepliesInOneReadAreTwoSegmentsInOrder) {
  rig_.data().hcu.NC.value = 2;
  SendCommand(kNR);
  ASSERT_TRUE(rig_.Deliver(Cat(DataReply("YN"), DataReply("NY"))));
  const auto& r = rig_.data().hcu.recorders;
  // The second reply was interpreted last: its flags are current, the first's are previous.
  EXPECT_FALSE(r[0].NR.current);
  EXPECT_TRUE(r[0].NR.previous);
  EXPECT_TRUE(r[1].NR.current);
  EXPECT_FALSE(r[1].NR.previous);
  std::vector<std::string> echoes;
  for (const std::string& line : rig_.Trace()) {
    if (line.starts_with("<*(")) echoes.push_back(line);
  }
  ASSERT_EQ(echoes.size(), 2u);
  EXPECT_EQ(echoes[0], "<*(YN" + ChecksumEcho("YN"));
  EXPECT_EQ(echoes[1], "<*(NY" + ChecksumEcho("NY"));
}

TEST_F(ReceivePumpTest, AnIncompleteReplyBehindACompleteOneIsKeptUntilItsRest) {
  rig_.data().hcu.NC.value = 2;
  SendCommand(kNR);
  const Bytes second = DataReply("NY");
  ASSERT_TRUE(rig_.Deliver(Cat(DataReply("YN"), Bytes(second.begin(), second.begin() + 3))));
  EXPECT_EQ(rig_.state(), LinkAwaitingReply);
  ASSERT_TRUE(rig_.Deliver(Bytes(second.begin() + 3, second.end())));
  EXPECT_EQ(rig_.state(), LinkReady);
  EXPECT_TRUE(rig_.data().hcu.recorders[1].NR.current);
  EXPECT_TRUE(rig_.TraceHas("<*(YN" + ChecksumEcho("YN")));
  EXPECT_TRUE(rig_.TraceHas("<*(NY" + ChecksumEcho("NY")));
}

TEST_F(ReceivePumpTest, DeviceNameOfAControlUnitIsAcceptedAndARecorderNameRefused) {
  SendCommand(kNN);
  ASSERT_TRUE(rig_.Deliver(DataReply("HCU4100 V2.10")));
  EXPECT_EQ(rig_.state(), LinkReady);
  EXPECT_EQ(rig_.data().hcu.NN.value, "HCU4100");

  SendCommand(kNN);
  ASSERT_TRUE(rig_.Deliver(DataReply("SKR4100")));
  EXPECT_TRUE(rig_.TraceHas("<Wrong HCU device name SKR4100>"));
  EXPECT_EQ(rig_.state(), LinkRetry);
}

TEST_F(ReceivePumpTest, FirmwareSelectsTheDeviceTypeOrNoneOutsideEveryRange) {
  KrParams& kr = AddressRecorder();
  SendCommand(kIN);
  ASSERT_TRUE(rig_.Deliver(DataReply("SKR4100")));
  SendCommand(kIV);
  ASSERT_TRUE(rig_.Deliver(DataReply("32008")));
  EXPECT_EQ(kr.IV.value, 32008);
  EXPECT_EQ(kr.device_type, 10);

  SendCommand(kIV);
  ASSERT_TRUE(rig_.Deliver(DataReply("62075")));  // a C firmware on an S recorder
  EXPECT_EQ(kr.device_type, kNoDeviceType);
  // An unknown type refuses nothing: TI (unsupported by type 10) now goes out.
  SendCommand(153);
  EXPECT_EQ(rig_.state(), LinkAwaitingReply);
}

TEST_F(ReceivePumpTest, DecimalsIgnoreTheProcessLocale) {
  const char* old = std::setlocale(LC_NUMERIC, nullptr);
  const std::string saved = old != nullptr ? old : "C";
  std::setlocale(LC_NUMERIC, "de_DE.UTF-8");  // where installed, "," would be the point
  KrParams& kr = AddressRecorder();
  SendCommand(kTA);
  ASSERT_TRUE(rig_.Deliver(DataReply("-12.75")));
  std::setlocale(LC_NUMERIC, saved.c_str());
  EXPECT_DOUBLE_EQ(kr.TA.value, -12.75);
}

TEST_F(ReceivePumpTest, IntegerListsAndFormattedRowsFillTheirSlots) {
  KrParams& kr = AddressRecorder();
  SendCommand(136);  // TR
  ASSERT_TRUE(rig_.Deliver(DataReply("5,-3,200,9")));
  EXPECT_EQ(kr.TR.count, 4);
  EXPECT_EQ(kr.TR.Value(0), 5);
  EXPECT_EQ(kr.TR.Value(1), -3);
  EXPECT_EQ(kr.TR.Value(2), 200);

  SendCommand(178);  // FC
  ASSERT_TRUE(rig_.Deliver(DataReply("13:05:59")));
  EXPECT_EQ(kr.FC.Value(0), 13);
  EXPECT_EQ(kr.FC.Value(1), 5);
  EXPECT_EQ(kr.FC.Value(2), 59);

  SendCommand(11);  // QP
  ASSERT_TRUE(rig_.Deliver(DataReply("7,23:59:01,42")));
  const auto& qp = rig_.data().hcu.QP;
  EXPECT_EQ(qp.count, 5);
  EXPECT_EQ(qp.Value(0), 7);
  EXPECT_EQ(qp.Value(1), 23);
  EXPECT_EQ(qp.Value(3), 1);
  EXPECT_EQ(qp.Value(4), 42);
}

TEST_F(ReceivePumpTest, AlarmReplySetsTheFlagsByTheMasks) {
  // Masks: first 0b0101, second 0b0010. Values at positions 0 and 1 are 1: position 1 is in the
  // second mask (first flag); position 0 is not, but is in the first mask (second flag).
  SendCommand(kQW);
  ASSERT_TRUE(rig_.Deliver(DataReply("5;2;1,1,0,0,0,0,0,0")));
  EXPECT_TRUE(rig_.data().hcu.alarm_flags[0]);
  EXPECT_TRUE(rig_.data().hcu.alarm_flags[1]);

  SendCommand(kQW);
  ASSERT_TRUE(rig_.Deliver(DataReply("4;0;0,0,0,1,0,0,0,0")));  // position 3 is in neither mask
  EXPECT_FALSE(rig_.data().hcu.alarm_flags[0]);
  EXPECT_FALSE(rig_.data().hcu.alarm_flags[1]);
}

TEST_F(ReceivePumpTest, StatusStringsKeepCurrentPreviousLatchedAndOfflineCounts) {
  rig_.data().hcu.NC.value = 3;
  rig_.context().priority_option = true;
  SendCommand(kNR);
  ASSERT_TRUE(rig_.Deliver(DataReply("YNO")));
  SendCommand(kNR);
  ASSERT_TRUE(rig_.Deliver(DataReply("NNN")));
  const auto& h = rig_.data().hcu;
  EXPECT_FALSE(h.recorders[0].NR.current);
  EXPECT_TRUE(h.recorders[0].NR.previous);
  EXPECT_EQ(h.recorders[0].NR.latched, 1);
  EXPECT_FALSE(h.recorders[2].offline);  // "N" cleared it again
  EXPECT_EQ(h.recorder_offline_counters[2].total, 1u);

  SendCommand(9);  // NW: first event flag
  ASSERT_TRUE(rig_.Deliver(DataReply("NYN")));
  SendCommand(10);
  ASSERT_TRUE(rig_.Deliver(DataReply("NYN")));
  EXPECT_TRUE(h.recorders[1].NW.current);
  EXPECT_EQ(h.recorders[1].NW.latched, 1);
  EXPECT_EQ(h.recorders[1].priority, 4);
  EXPECT_EQ(h.recorders[0].priority, 0);
}

TEST_F(ReceivePumpTest, OfflineMarkOfTheTargetInControlUnitRepliesIsCounted) {
  rig_.AddressRecorder(2, 3);
  const auto& counters = rig_.data().hcu.recorder_offline_counters;
  // A recorder's own text has no character per recorder: an "O" at the target's place means nothing.
  SendCommand(76);  // IN
  ASSERT_TRUE(rig_.Deliver(DataReply("SO")));
  EXPECT_EQ(counters[1].total, 0u);
  // A control-unit reply with "O" at the target's place while the target's NR flag is clear.
  SendCommand(16);  // NP
  ASSERT_TRUE(rig_.Deliver(DataReply("AO")));
  EXPECT_EQ(counters[1].total, 1u);
  // In a status string the same "O" counts twice: as the mark, and as the string's own "O".
  SendCommand(6);  // QX
  ASSERT_TRUE(rig_.Deliver(DataReply("NON")));
  EXPECT_EQ(counters[1].total, 3u);
  EXPECT_EQ(counters[0].total, 0u);
  EXPECT_EQ(counters[2].total, 0u);
  // With the target's NR flag set the mark is not counted, only the status string's "O".
  SendCommand(kNR);
  ASSERT_TRUE(rig_.Deliver(DataReply("NYN")));
  SendCommand(6);
  ASSERT_TRUE(rig_.Deliver(DataReply("NON")));
  EXPECT_EQ(counters[1].total, 4u);
  EXPECT_EQ(counters[1].sequence, 4u);
  EXPECT_EQ(counters[1].long_term, 4u);
}

TEST_F(ReceivePumpTest, IllegalNumberOfFilesIsLoggedAndNotStored) {
  KrParams& kr = AddressRecorder();
  SendCommand(73);  // MN
  ASSERT_TRUE(rig_.Deliver(DataReply("256")));
  EXPECT_TRUE(rig_.TraceHas("<Illegal number of files 256>"));
  EXPECT_EQ(kr.MN.value, 0);
  SendCommand(186);  // MB
  ASSERT_TRUE(rig_.Deliver(DataReply("255")));
  EXPECT_EQ(kr.MB.value, 255);
}

TEST_F(ReceivePumpTest, PasswordReplyGoesToTheLinkAndNeverIntoTheTrace) {
  AddressRecorder();
  SendCommand(kLP);
  ASSERT_TRUE(rig_.Deliver(DataReply("q7Zx2")));
  EXPECT_EQ(rig_.state(), LinkReady);
  EXPECT_STREQ(rig_.channel().password, "q7Zx2");
  EXPECT_TRUE(rig_.TraceHas("<*(*****" + ChecksumEcho("q7Zx2")));
  for (const std::string& line : rig_.Trace()) EXPECT_EQ(line.find("q7Zx2"), std::string::npos) << line;
}

TEST_F(ReceivePumpTest, EventValuesAreShownWithTheirUnits) {
  KrParams& kr = AddressRecorder();
  kr.SO.value = 1 << 7;
  rig_.context().show_freq_dir_info = true;
  Locked([&] {
    kr.IN.value = "SKR4100";
    kr.device_type = 10;
  });
  SendCommand(184);  // MI
  ASSERT_TRUE(rig_.Deliver(DataReply("12.46,<0.5,---")));
  ASSERT_EQ(kr.MI.count, 3);
  EXPECT_EQ(kr.MI.values[0].display, "12.5 Hz");
  EXPECT_EQ(kr.MI.values[1].display, "< 0.5 Hz");
  EXPECT_EQ(kr.MI.values[1].kind, EventValue::Kind::kBelow);
  EXPECT_EQ(kr.MI.values[2].display, "--- Hz");
}

TEST_F(ReceivePumpTest, ErrorWithoutCurrentCommandLogsInAgain) {
  Locked([&] {
    rig_.channel().current_command = 0;  // three time-outs in a row left no command current
  });
  rig_.link().SetPassword("abcde", 0);
  ASSERT_TRUE(rig_.Deliver("E"));
  const Bytes frame = rig_.Wire(9);
  EXPECT_EQ(std::string(frame.begin(), frame.begin() + 8), "(Liabcde");
  EXPECT_EQ(rig_.channel().current_command, cmd::kLi);
  EXPECT_EQ(rig_.state(), LinkAwaitingReply);
}

TEST_F(ReceivePumpTest, ErrorWithoutCurrentCommandWhileLoggingInMeansOffline) {
  rig_.context().logging_in = true;
  Locked([&] { rig_.channel().current_command = 0; });
  ASSERT_TRUE(rig_.Deliver("E"));
  EXPECT_EQ(rig_.state(), LinkOffline);
  EXPECT_TRUE(rig_.WireNow().empty());
}

TEST_F(ReceivePumpTest, RefusalAndUnknownCommand) {
  AddressRecorder();
  SendCommand(183);  // KR
  ASSERT_TRUE(rig_.Deliver("N"));
  EXPECT_EQ(rig_.state(), LinkRefused);
  EXPECT_TRUE(rig_.TraceHas("<Wrong level or illegal command>"));
  EXPECT_FALSE(rig_.kr(1).ring_memory);

  Locked([&] { rig_.link().SetLinkReady(0); });  // the engine moves on after a refusal
  SendCommand(kNC);
  ASSERT_TRUE(rig_.Deliver("?"));
  EXPECT_TRUE(rig_.TraceHas("<Unknown command>"));
  EXPECT_EQ(rig_.state(), LinkAwaitingReply);
}

TEST_F(ReceivePumpTest, ProbeAnsweredWithQuestionMarkMeansTheRateIsRight) {
  SendCommand(cmd::kProbe);
  ASSERT_TRUE(rig_.Deliver("?"));
  EXPECT_EQ(rig_.state(), LinkReady);
}

TEST_F(ReceivePumpTest, SkippedDirectoryEntryIsMarkedAndTheWalkGoesOn) {
  KrParams& kr = AddressRecorder();
  Locked([&] { rig_.channel().file_number = 1; });
  SendCommand(cmd::kMD);
  ASSERT_TRUE(rig_.Deliver("E"));
  EXPECT_TRUE(rig_.TraceHas("<Skip event>"));
  EXPECT_EQ(kr.directory[0].type_letter, '?');
  EXPECT_EQ(rig_.channel().file_number, 255);
  EXPECT_EQ(rig_.state(), LinkReady);
  EXPECT_EQ(rig_.channel().retry_counter, 0);
}

TEST_F(ReceivePumpTest, DirectoryEntryIsStoredAndTheFileNumberStepsDown) {
  KrParams& kr = AddressRecorder();
  Locked([&] {
    kr.IN.value = "CKR4100";
    kr.MN.value = 5;
    rig_.channel().file_number = 1;
  });
  SendCommand(cmd::kMD);
  ASSERT_TRUE(rig_.Deliver(DataReply("Y12:30:45,07.03.24,100,-20,300,5000")));
  const DirectoryEntry& entry = kr.directory[0];
  EXPECT_EQ(entry.type_letter, 'Y');
  EXPECT_EQ(entry.kind, 2);
  EXPECT_EQ(entry.date, "07.03.24");
  EXPECT_EQ(entry.time, "12:30:45");
  EXPECT_DOUBLE_EQ(entry.peaks[1], -20.0);
  EXPECT_EQ(entry.samples, 5000u);
  EXPECT_TRUE(rig_.data().more_directory_entries);
  EXPECT_EQ(kr.directory_entries_read, 1);
  EXPECT_EQ(rig_.channel().file_number, 255);
}

TEST_F(ReceivePumpTest, AcknowledgeOfTheEventStartAnswersNakAndStartsTheTransfer) {
  AddressRecorder();
  SendCommand(cmd::kM1);
  ASSERT_TRUE(rig_.Deliver("*"));
  EXPECT_EQ(rig_.Wire(1), Bytes{kNak});
  EXPECT_EQ(rig_.state(), LinkBlockTransfer);
  EXPECT_EQ(rig_.channel().block_count, 1);
}

TEST_F(ReceivePumpTest, PlainAcknowledgeMakesTheLinkReady) {
  AddressRecorder();
  rig_.kr(1).TE.Set(30);
  SendCommand(221);  // Te
  ASSERT_TRUE(rig_.Deliver("*"));
  EXPECT_EQ(rig_.state(), LinkReady);
  EXPECT_TRUE(rig_.TraceHas("<*"));
}

class ModemAnswerTest : public ReplyRig {
 protected:
  void Dial(std::string_view text) {
    rig_.link().SetModemText(text, 0);
    SendCommand(cmd::kModemString);
  }
};

TEST_F(ModemAnswerTest, AnswerIsCompleteOnlyWithItsLineFeed) {
  Dial("AT&F");
  ASSERT_TRUE(rig_.Deliver("\r\nOK"));
  EXPECT_EQ(rig_.state(), LinkAwaitingReply);
  ASSERT_TRUE(rig_.Deliver("\r\n"));
  EXPECT_EQ(rig_.state(), LinkReady);
  EXPECT_TRUE(rig_.TraceHas("<OK"));
}

TEST_F(ModemAnswerTest, AnswerWordsDecideTheState) {
  Dial("ATDT0123456");
  ASSERT_TRUE(rig_.Deliver("\r\nBUSY\r\n"));
  EXPECT_EQ(rig_.state(), LinkModemNotReady);
  EXPECT_TRUE(rig_.TraceHas("[Modem NOT ready]"));

  Dial("ATDT0123456");
  ASSERT_TRUE(rig_.Deliver("\r\nCONNECT 9600\r\n"));
  EXPECT_EQ(rig_.state(), LinkModemConnected);

  Dial("ATA");
  ASSERT_TRUE(rig_.Deliver("\r\nRINGING\r\n"));
  EXPECT_EQ(rig_.state(), LinkAwaitingReply);
  ASSERT_TRUE(rig_.Deliver("\r\nRING\r\n\r\nOK\r\n"));
  EXPECT_EQ(rig_.state(), LinkRing);
}

TEST_F(ModemAnswerTest, ErrorAnswersFailAndTheThirdMakesTheModemOffline) {
  for (int attempt = 1; attempt <= 3; ++attempt) {
    Dial("ATE0");
    ASSERT_TRUE(rig_.Deliver("\r\nERROR\r\n"));
  }
  EXPECT_EQ(CountLinesStartingWith("<Communication error>"), 3);
  EXPECT_EQ(rig_.state(), LinkOffline);
  EXPECT_TRUE(rig_.TraceHas("<Modem is offline, or communication error>"));
}

TEST_F(ModemAnswerTest, HangUpTextTakesAnyAnswer) {
  Dial("+++");
  ASSERT_TRUE(rig_.Deliver("\r\nNO CARRIER\r\n"));
  EXPECT_EQ(rig_.state(), LinkReady);
}

}  // namespace
}  // namespace tarvik::test
