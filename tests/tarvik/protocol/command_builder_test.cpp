#include "tarvik/protocol/command_builder.h"

#include <gtest/gtest.h>

#include "protocol_test_peer.h"
#include "tarvik/protocol/command_table.h"

namespace tarvik {
namespace {

using test::B;
using test::Bytes;
using test::Cat;
using test::Frame;

class CommandBuilderTest : public ::testing::Test {
 protected:
  void SetUp() override { ASSERT_TRUE(rig_.ConnectTcp()); }
  void ExpectSent(const Bytes& frame) { EXPECT_EQ(rig_.Wire(frame.size()), frame); }
  test::ProtocolRig rig_;
};

TEST_F(CommandBuilderTest, FramesTheDeviceNameCommandAndWaitsForTheReply) {
  EXPECT_EQ(rig_.Send(cmd::kNN), 1);
  EXPECT_EQ(rig_.Wire(6), (Bytes{40, 78, 78, 128, 228, 41}));
  EXPECT_EQ(rig_.state(), LinkAwaitingReply);
  EXPECT_EQ(rig_.channel().current_command, 1);
  EXPECT_TRUE(rig_.TraceHas(">(NN[128][228])"));
  // While the reply is outstanding nothing else goes out.
  EXPECT_EQ(rig_.Send(CommandNumber("NC")), 0);
  EXPECT_TRUE(rig_.WireNow().empty());
}

TEST_F(CommandBuilderTest, RecorderNumberFileNumberAndPasswordFields) {
  rig_.AddressRecorder(3);
  EXPECT_EQ(rig_.Send(cmd::kNa), 1);
  ExpectSent(Frame("Na3", 128, 158));

  rig_.Acknowledge();
  rig_.channel().file_number = 17;
  EXPECT_EQ(rig_.Send(cmd::kMD), 1);
  ExpectSent(Frame("MD17", 128, 135));

  rig_.Acknowledge();
  rig_.link().SetPassword("ABCDE", 0);
  EXPECT_EQ(rig_.Send(cmd::kLi), 1);
  ExpectSent(Frame("LiABCDE", 0, 252));
  // The trace never shows the password.
  EXPECT_TRUE(rig_.TraceHas(">(Li*****[0][252])"));
}

TEST_F(CommandBuilderTest, TargetRecorderMustBeOnTheLineAndReachable) {
  rig_.AddressRecorder(0);
  EXPECT_EQ(rig_.Send(CommandNumber("IV")), 0);
  EXPECT_EQ(rig_.state(), LinkBadTarget);
  EXPECT_TRUE(rig_.WireNow().empty());

  // Beyond the number of recorders the control unit reports.
  rig_.AddressRecorder(5, 4);
  EXPECT_EQ(rig_.Send(CommandNumber("IV")), 0);
  EXPECT_EQ(rig_.state(), LinkBadTarget);

  // The control unit's own slot, and a recorder it reports offline.
  rig_.AddressRecorder(2, 4);
  rig_.data().hcu.QT.value = 2;
  EXPECT_EQ(rig_.Send(CommandNumber("IV")), 0);
  EXPECT_EQ(rig_.state(), LinkBadTarget);
  rig_.data().hcu.QT.value = 0;
  rig_.data().hcu.recorders[1].offline = true;
  EXPECT_EQ(rig_.Send(CommandNumber("IV")), 0);
  EXPECT_EQ(rig_.state(), LinkBadTarget);

  // Without a control unit any slot is allowed, but never one beyond the 16 records.
  rig_.data().hcu.recorders[1].offline = false;
  rig_.context().control_unit_present = false;
  rig_.channel().target_recorder = 9;
  EXPECT_EQ(rig_.Send(CommandNumber("IV")), 1);
  ExpectSent(Frame("IV", 128, 225));
  rig_.Acknowledge();
  rig_.channel().target_recorder = 17;
  EXPECT_EQ(rig_.Send(CommandNumber("IV")), 0);
  EXPECT_EQ(rig_.state(), LinkBadTarget);
  EXPECT_TRUE(rig_.WireNow().empty());
}

TEST_F(CommandBuilderTest, CommandsThatDoNotApplyAreSkippedWithoutSending) {
  rig_.AddressRecorder(1);
  const int al = CommandNumber("AL");
  // No feature bit 8: "AL" is done at once.
  rig_.kr(1).SO.value = 0x0080;
  EXPECT_EQ(rig_.Send(al), 1);
  EXPECT_TRUE(rig_.WireNow().empty());
  EXPECT_EQ(rig_.state(), LinkReady);
  rig_.kr(1).SO.value = 0x0100;
  EXPECT_EQ(rig_.Send(al), 1);
  ExpectSent(Frame("AL", 128, 243));
  rig_.Acknowledge();

  // Unsupported by the recorder's type: type 4 knows no "KR".
  rig_.kr(1).device_type = 4;
  EXPECT_EQ(rig_.Send(CommandNumber("KR")), 1);
  // MI needs a type that allows it, feature bit 7 and the ShowFreqDirInfo setting.
  rig_.kr(1).device_type = 20;
  rig_.kr(1).SO.value = 0x0080;
  EXPECT_EQ(rig_.Send(cmd::kMI), 1);
  rig_.context().show_freq_dir_info = true;
  rig_.kr(1).SO.value = 0;
  EXPECT_EQ(rig_.Send(cmd::kMI), 1);
  EXPECT_TRUE(rig_.WireNow().empty());
  rig_.kr(1).SO.value = 0x0080;
  rig_.channel().file_number = 9;
  EXPECT_EQ(rig_.Send(cmd::kMI), 1);
  EXPECT_EQ(rig_.Wire(7).size(), 7u);
  rig_.Acknowledge();

  // Na and Na0 only talk to a control unit.
  rig_.context().control_unit_present = false;
  EXPECT_EQ(rig_.Send(cmd::kNa), 1);
  EXPECT_EQ(rig_.Send(cmd::kNa0), 1);
  EXPECT_TRUE(rig_.WireNow().empty());
}

TEST_F(CommandBuilderTest, IllegalNumbersAreRefusedBeforeAnyTableLookUp) {
  rig_.AddressRecorder(1);
  EXPECT_EQ(rig_.Send(297), 0);
  EXPECT_TRUE(rig_.TraceHas("<Illegal command number 297>"));
  EXPECT_EQ(rig_.state(), LinkCommError);
  EXPECT_EQ(rig_.Send(-4), 0);
  EXPECT_TRUE(rig_.TraceHas("<Illegal command number -4>"));
  EXPECT_TRUE(rig_.WireNow().empty());
}

TEST_F(CommandBuilderTest, StatesThatHoldTheBuilderBack) {
  rig_.channel().link_state = LinkOffline;
  EXPECT_EQ(rig_.Send(cmd::kNN), 0);
  rig_.channel().retry_counter = 2;
  rig_.channel().link_state = LinkRefused;
  EXPECT_EQ(rig_.Send(cmd::kNN), 0);
  EXPECT_EQ(rig_.channel().retry_counter, 0);
  EXPECT_TRUE(rig_.WireNow().empty());
  // After an error the command may be sent again.
  rig_.channel().link_state = LinkCommError;
  EXPECT_EQ(rig_.Send(cmd::kNN), 1);
  EXPECT_EQ(rig_.Wire(6).size(), 6u);
}

TEST_F(CommandBuilderTest, NopIsOnlyAPollAndCountsWhileTheModemIsNotReady) {
  EXPECT_EQ(rig_.Send(cmd::kNop), 1);
  rig_.channel().link_state = LinkModemNotReady;
  EXPECT_EQ(rig_.Send(cmd::kNop), 0);
  EXPECT_EQ(rig_.state(), LinkRetry);
  EXPECT_EQ(rig_.channel().retry_counter, 1);
  rig_.channel().link_state = LinkModemNotReady;
  rig_.channel().retry_counter = 2;
  EXPECT_EQ(rig_.Send(cmd::kNop), 0);
  EXPECT_EQ(rig_.state(), LinkModemNotReady);
  // After the "+" of a hang-up the modem is simply waited for.
  rig_.channel().retry_counter = 0;
  rig_.link().SetModemText("+", 0);
  rig_.channel().current_command = cmd::kModemString;
  EXPECT_EQ(rig_.Send(cmd::kNop), 0);
  EXPECT_EQ(rig_.channel().retry_counter, 0);
  EXPECT_EQ(rig_.state(), LinkModemNotReady);
  EXPECT_TRUE(rig_.WireNow().empty());
}

TEST_F(CommandBuilderTest, TimeOutAfterTheLimitThenTwoRetriesThenTimedOut) {
  rig_.context().timeouts.recorder_ms = 3000;
  rig_.context().timeouts.polling_ms = 100;
  rig_.context().limits = ComputeTickLimits(rig_.context().timeouts, 0);
  ASSERT_EQ(rig_.context().limits.recorder, 30);
  rig_.AddressRecorder(1);
  const int iv = CommandNumber("IV");
  const Bytes frame = Frame("IV", 128, 225);

  for (int attempt = 1; attempt <= 3; ++attempt) {
    SCOPED_TRACE(attempt);
    ASSERT_EQ(rig_.Send(iv), 1);
    ASSERT_EQ(rig_.Wire(frame.size()), frame);
    // 31 calls pass quietly; the 32nd after sending finds the count beyond the limit.
    EXPECT_EQ(rig_.Tick(iv, 31), 0);
    EXPECT_EQ(rig_.state(), LinkAwaitingReply);
    EXPECT_TRUE(rig_.WireNow().empty());
    EXPECT_EQ(rig_.Send(iv), 0);
    EXPECT_EQ(rig_.Wire(1), Bytes{24});
    EXPECT_EQ(rig_.channel().retry_counter, attempt);
    if (attempt < 3) {
      EXPECT_EQ(rig_.state(), LinkRetry);
      EXPECT_EQ(rig_.channel().current_command, iv);
    }
  }
  EXPECT_EQ(rig_.state(), LinkTimedOut);
  EXPECT_EQ(rig_.channel().current_command, 0);
  EXPECT_TRUE(rig_.TraceHas("<Timeout reading from COM port>"));
}

TEST_F(CommandBuilderTest, InputArrivingRestartsTheTimeOutCount) {
  rig_.context().limits.control_unit = 3;
  EXPECT_EQ(rig_.Send(cmd::kNN), 1);
  rig_.Wire(6);
  rig_.Tick(cmd::kNN, 4);
  rig_.channel().tick_counter = 0;  // what the receive pump does with every chunk of input
  rig_.Tick(cmd::kNN, 4);
  EXPECT_EQ(rig_.state(), LinkAwaitingReply);
  rig_.Send(cmd::kNN);
  EXPECT_EQ(rig_.state(), LinkRetry);
}

TEST_F(CommandBuilderTest, SlowAndWaitingRepliesGetTheirOwnLimits) {
  rig_.context().limits = TickLimits{2, 2, 4, 8, 20, 0};
  rig_.AddressRecorder(1);
  rig_.kr(1).device_type = 0;
  rig_.context().settings_touched = true;
  EXPECT_EQ(rig_.Send(cmd::kFi), 1);  // slow class: 8 ticks
  ExpectSent(Frame("Fi", 128, 209));
  rig_.Tick(cmd::kFi, 9);
  EXPECT_EQ(rig_.state(), LinkAwaitingReply);
  rig_.Send(cmd::kFi);
  EXPECT_EQ(rig_.state(), LinkRetry);
  rig_.Wire(1);

  // A recorder that answered "W 5" is given five minutes for a write.
  rig_.Acknowledge();
  rig_.context().timeouts.polling_ms = 250;
  rig_.builder().SetRecorderWaitMinutes(5);
  EXPECT_EQ(rig_.context().limits.recorder_wait, 1202);
  rig_.kr(1).TE.Set(250);
  EXPECT_EQ(rig_.Send(CommandNumber("Te")), 1);
  rig_.Wire(9);
  rig_.channel().link_state = LinkUnitBusy;
  rig_.Tick(cmd::kFi, 1203);
  EXPECT_EQ(rig_.state(), LinkUnitBusy);
  rig_.Send(cmd::kFi);
  EXPECT_EQ(rig_.state(), LinkRetry);
}

TEST_F(CommandBuilderTest, FreeFormFramesAndTheLinksFrameSizeLimit) {
  rig_.link().SetRawCommand("TE", 0);
  EXPECT_EQ(rig_.Send(cmd::kFreeForm), 1);
  EXPECT_EQ(rig_.Wire(6), B("(TE++)"));
  EXPECT_TRUE(rig_.TraceHas(">(TE++)"));
  rig_.Acknowledge();

  // 88 characters make a frame of 92 bytes, which goes out; one more is refused by the link.
  const std::string text(88, 'A');
  rig_.link().SetRawCommand(text, 0);
  EXPECT_EQ(rig_.Send(cmd::kFreeForm), 1);
  EXPECT_EQ(rig_.Wire(92), Cat(Cat(B("("), B(text)), B("++)")));
  rig_.Acknowledge();
  rig_.link().SetRawCommand(text + "A", 0);
  EXPECT_EQ(rig_.Send(cmd::kFreeForm), 0);
  EXPECT_TRUE(rig_.WireNow().empty());
  EXPECT_TRUE(rig_.TraceHas("<Command string too long>"));
  EXPECT_TRUE(rig_.TraceHas("<Error writing to COM port>"));
  EXPECT_EQ(rig_.state(), LinkCommError);
}

TEST_F(CommandBuilderTest, SettingsTouchedAndTheCommitThatConsumesIt) {
  rig_.AddressRecorder(1);
  rig_.kr(1).device_type = 14;        // c4 = 1: commits are allowed; knows Tx
  EXPECT_EQ(rig_.Send(cmd::kFi), 1);  // nothing touched: skipped
  EXPECT_TRUE(rig_.WireNow().empty());

  rig_.kr(1).TX.Set(7);
  EXPECT_EQ(rig_.Send(CommandNumber("Tx")), 1);
  ExpectSent(Frame("Tx7", 0, 253));
  EXPECT_TRUE(rig_.context().settings_touched);
  EXPECT_FALSE(rig_.kr(1).TX.changed);
  rig_.Acknowledge();

  EXPECT_EQ(rig_.Send(cmd::kFi), 1);
  ExpectSent(Frame("Fi", 128, 209));
  EXPECT_FALSE(rig_.context().settings_touched);
  rig_.Acknowledge();

  // Types 22 and 23 keep their settings without a commit.
  rig_.context().settings_touched = true;
  rig_.kr(1).device_type = 22;
  EXPECT_EQ(rig_.Send(cmd::kFi), 1);
  EXPECT_TRUE(rig_.WireNow().empty());
  EXPECT_TRUE(rig_.context().settings_touched);
}

TEST_F(CommandBuilderTest, ValuesAreSentOnlyWhileChangedAndAgainWhenTheAttemptFailed) {
  rig_.AddressRecorder(1);
  rig_.context().limits.set = 1;
  const int te = CommandNumber("Te");
  EXPECT_EQ(rig_.Send(te), 1);  // unchanged: nothing to write
  EXPECT_TRUE(rig_.WireNow().empty());

  rig_.kr(1).TE.Set(250);
  EXPECT_EQ(rig_.Send(te), 1);
  ExpectSent(Frame("Te250", 0, 176));
  // No answer: time-out, CAN, retry. The engine repeats Te and the value must go out again
  // although the first attempt consumed its changed flag.
  rig_.Tick(te, 3);
  ASSERT_EQ(rig_.state(), LinkRetry);
  EXPECT_EQ(rig_.Wire(1), Bytes{24});
  EXPECT_EQ(rig_.Send(te), 1);
  ExpectSent(Frame("Te250", 0, 176));
  // Acknowledged: repeating the list's command now finds nothing to write.
  rig_.Acknowledge();
  EXPECT_EQ(rig_.Send(te), 1);
  EXPECT_TRUE(rig_.WireNow().empty());
}

TEST_F(CommandBuilderTest, TextsAreNarrowedAndDecimalsUseAPoint) {
  rig_.AddressRecorder(1);
  rig_.kr(1).PR.Set("Müller");
  EXPECT_EQ(rig_.Send(CommandNumber("Pr")), 1);
  ExpectSent(Frame("PrM\xfcller", 128, 198));
  rig_.Acknowledge();
  rig_.kr(1).PL.Set(1.5);
  EXPECT_EQ(rig_.Send(CommandNumber("Pl")), 1);
  ExpectSent(Frame("Pl1.5000", 128, 160));
}

TEST_F(CommandBuilderTest, FileNumbersForcedAndFromTheOneShotRequests) {
  rig_.AddressRecorder(2);
  KrParams& kr = rig_.kr(2);
  kr.MB.value = 9;
  kr.MN.value = 12;

  // B without ring memory: the larger of the highest file number and the number of files.
  kr.ring_memory = false;
  rig_.context().file_number_request = FileNumberRequest::kNewest;
  EXPECT_EQ(rig_.Send(cmd::kMD), 1);
  EXPECT_EQ(rig_.Wire(8).size(), 8u);
  EXPECT_EQ(rig_.channel().file_number, 12);
  EXPECT_EQ(rig_.context().file_number_request, FileNumberRequest::kNone);
  rig_.Acknowledge();

  // A forced number serves every file command but MD.
  rig_.context().forced_file_number = 1;
  EXPECT_EQ(rig_.Send(CommandNumber("Tn")), 1);
  ExpectSent(Frame("Tn1", 128, 141));
  rig_.Acknowledge();
  rig_.channel().file_number = 9;
  EXPECT_EQ(rig_.Send(cmd::kMD), 1);
  ExpectSent(Frame("MD9", 128, 182));
  rig_.Acknowledge();
  rig_.context().forced_file_number = 0;
  EXPECT_EQ(rig_.Send(CommandNumber("Th")), 1);
  ExpectSent(Frame("Th0", 128, 148));
  rig_.Acknowledge();
  rig_.context().forced_file_number = kNoForcedFileNumber;

  // A in the control panel's poll: the file after the last one; a ring memory goes on with file 1
  // after 255 (files 1..255, as the directory walk steps from 1 to 255); the record counter of the
  // transfer starts again.
  kr.ring_memory = true;
  rig_.channel().received_records = 40;
  rig_.context().last_file_number = 255;
  rig_.context().file_number_request = FileNumberRequest::kAfterLast;
  EXPECT_EQ(rig_.Send(cmd::kM1), 1);
  ExpectSent(Frame("M11", 128, 209));
  EXPECT_EQ(rig_.channel().file_number, 1);
  EXPECT_EQ(rig_.channel().received_records, 0);
  rig_.Acknowledge();
  rig_.context().last_file_number = 254;
  rig_.context().file_number_request = FileNumberRequest::kAfterLast;
  EXPECT_EQ(rig_.Send(cmd::kM1), 1);
  ExpectSent(Frame("M1255", 0, 230));
  rig_.Acknowledge();
  // Without ring memory there is no wrap.
  kr.ring_memory = false;
  rig_.context().last_file_number = 4;
  rig_.context().file_number_request = FileNumberRequest::kAfterLast;
  EXPECT_EQ(rig_.Send(cmd::kM1), 1);
  ExpectSent(Frame("M15", 128, 205));
  rig_.Acknowledge();

  // A in the transfer of chosen files; C: the highest file number.
  rig_.context().file_list_next_entry = 14;
  rig_.context().file_number_request = FileNumberRequest::kNextChosen;
  EXPECT_EQ(rig_.Send(cmd::kM1), 1);
  ExpectSent(Frame("M115", 128, 156));
  rig_.Acknowledge();
  rig_.context().file_number_request = FileNumberRequest::kHighest;
  EXPECT_EQ(rig_.Send(cmd::kMD), 1);
  ExpectSent(Frame("MD9", 128, 182));
}

TEST_F(CommandBuilderTest, ProbeOnANetworkLinkGivesUpAfterThreeSilentAttempts) {
  rig_.context().limits.control_unit = 1;
  for (int attempt = 1; attempt <= 3; ++attempt) {
    ASSERT_EQ(rig_.Send(cmd::kProbe), 1);
    EXPECT_EQ(rig_.Wire(2), (Bytes{24, ')'}));
    rig_.Tick(cmd::kProbe, 3);
    EXPECT_TRUE(rig_.WireNow().empty());  // no CAN after the probe: it is one already
  }
  EXPECT_EQ(rig_.state(), LinkSerialFailed);
  EXPECT_EQ(rig_.channel().retry_counter, 0);
  EXPECT_TRUE(rig_.TraceHas("[24])"));
}

}  // namespace
}  // namespace tarvik
