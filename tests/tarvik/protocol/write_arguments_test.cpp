#include "tarvik/protocol/write_arguments.h"

#include <gtest/gtest.h>

#include "protocol_test_peer.h"
#include "tarvik/protocol/command_table.h"

namespace tarvik {
namespace {

using test::B;
using test::Bytes;
using test::Cat;
using test::Frame;

class WriteArgumentsTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(rig_.ConnectTcp());
    rig_.AddressRecorder(1);
    rig_.kr(1).SO.value = (1 << 8) | (1 << 11) | (1 << 14) | (1 << 15);
  }
  void ExpectSent(const Bytes& frame) { EXPECT_EQ(rig_.Wire(frame.size()), frame); }
  void ExpectNothingSent() { EXPECT_TRUE(rig_.WireNow().empty()); }
  void SetClock(int year, int month, int day, int hour, int minute, int second, int millisecond) {
    rig_.clock().Set(kr::DateTime{year, month, day, hour, minute, second, millisecond, 0});
  }
  // Sends one multi-item write to its end: the frames that went out, one per call, each
  // acknowledged, and the call that finds nothing left returns 1.
  std::vector<Bytes> RunMultiItem(int command, const std::vector<std::size_t>& sizes) {
    std::vector<Bytes> frames;
    for (std::size_t size : sizes) {
      EXPECT_EQ(rig_.Send(command), 0);
      frames.push_back(rig_.Wire(size));
      rig_.Acknowledge();
    }
    EXPECT_EQ(rig_.Send(command), 1);
    ExpectNothingSent();
    EXPECT_EQ(rig_.channel().item_cursor, 0);
    return frames;
  }
  test::ProtocolRig rig_;
};

TEST_F(WriteArgumentsTest, ClockIsSentOnlyInsideItsWindowAndRoundedUp) {
  const int nt = cmd::kNt;
  EXPECT_EQ(rig_.Send(nt), 1);  // no clock setting pending
  ExpectNothingSent();

  rig_.data().hcu.RequestClockSetting();
  for (int ms : {0, 500, 900, 990, 999}) {
    SetClock(2024, 3, 7, 12, 34, 56, ms);
    EXPECT_EQ(rig_.Send(nt), 0) << ms;
  }
  ExpectNothingSent();
  EXPECT_EQ(rig_.state(), LinkReady);

  SetClock(2024, 3, 7, 12, 34, 56, 901);
  EXPECT_EQ(rig_.Send(nt), 1);
  ExpectSent(Frame("Nt12:34:57", 0, 148));
  rig_.Acknowledge();
  EXPECT_EQ(rig_.Send(nt), 1);  // the setting was consumed
  ExpectNothingSent();

  // Rounding up crosses midnight.
  rig_.data().hcu.RequestClockSetting();
  SetClock(2024, 3, 7, 23, 59, 59, 989);
  EXPECT_EQ(rig_.Send(nt), 1);
  ExpectSent(Frame("Nt00:00:00", 0, 170));
  rig_.Acknowledge();
  SetClock(2099, 12, 31, 10, 0, 0, 0);  // the date needs no window
  EXPECT_EQ(rig_.Send(cmd::kNd), 1);
  ExpectSent(Frame("Nd31.12.99", 0, 185));
  rig_.Acknowledge();

  // The same for a recorder.
  rig_.kr(1).RequestClockSetting();
  SetClock(2024, 3, 7, 12, 0, 0, 950);
  EXPECT_EQ(rig_.Send(cmd::kCt), 1);
  ExpectSent(Frame("Ct12:00:01", 0, 177));
  rig_.Acknowledge();
  EXPECT_EQ(rig_.Send(cmd::kCd), 1);
  ExpectSent(Frame("Cd07.03.24", 0, 205));
}

TEST_F(WriteArgumentsTest, CombinationsGoOutOneChangedItemPerFrame) {
  HcuInfo& hcu = rig_.data().hcu;
  hcu.NM[0].Set(29);
  hcu.NM[15].Set(255);
  hcu.NM[7].value = 3;  // unchanged: stays home
  std::vector<Bytes> frames = RunMultiItem(CommandNumber("Nm"), {10, 11});
  EXPECT_EQ(frames[0], Frame("Nm0129", 128, 249));
  EXPECT_EQ(frames[1], Frame("Nm16255", 128, 194));
  EXPECT_FALSE(hcu.NM.AnyChanged());

  // Nothing changed: the write is complete at once.
  EXPECT_EQ(rig_.Send(CommandNumber("Nl")), 1);
  ExpectNothingSent();

  hcu.NZ[1].Set(30);
  hcu.NZ[0].Set(0);
  frames = RunMultiItem(CommandNumber("Nz"), {8, 9});
  EXPECT_EQ(frames[0], Frame("Nz10", 0, 215));
  EXPECT_EQ(frames[1], Frame("Nz230", 0, 163));
}

TEST_F(WriteArgumentsTest, RecorderItemWritesInEveryShape) {
  KrParams& kr = rig_.kr(1);
  kr.AL[6].Set(12);
  kr.AL[7].Set(345);
  EXPECT_EQ(RunMultiItem(CommandNumber("Al"), {13})[0], Frame("Al3012345", 0, 241));

  kr.Ag[2].Set("HDR");
  EXPECT_EQ(RunMultiItem(CommandNumber("Ag"), {10})[0], Frame("Ag2HDR", 128, 200));
  kr.Ad[4].Set(PhonebookEntry{1, "+4930"});
  EXPECT_EQ(RunMultiItem(CommandNumber("Ad"), {13})[0], Frame("Ad41+4930", 0, 251));

  // Item, fixed digit, value: 1 for Ar and Tp, 0 for Tr, Ak1 and Ak2.
  kr.AR[0].Set(1);
  EXPECT_EQ(RunMultiItem(CommandNumber("Ar"), {9})[0], Frame("Ar011", 0, 187));
  kr.TR[2].Set(7);
  EXPECT_EQ(RunMultiItem(CommandNumber("Tr"), {9})[0], Frame("Tr207", 0, 161));
  kr.AK1[1].Set(5);
  EXPECT_EQ(RunMultiItem(CommandNumber("Ak1"), {10})[0], Frame("Ak1105", 0, 141));

  // Item 1-3 of a sub-record, the sub-cursor telling which record the frame belonged to.
  kr.Si[0][0].Set(53);
  kr.Si[4][2].Set(2);
  const int si = CommandNumber("Si");
  EXPECT_EQ(rig_.Send(si), 0);
  ExpectSent(Frame("Si1053", 128, 251));
  rig_.Acknowledge();
  EXPECT_EQ(rig_.Send(si), 0);
  ExpectSent(Frame("Si342", 0, 171));
  EXPECT_EQ(rig_.channel().item_sub_cursor, 4);
  rig_.Acknowledge();
  EXPECT_EQ(rig_.Send(si), 1);
  ExpectNothingSent();

  // Au carries no checksum.
  kr.Au[1][2].Set(42);
  EXPECT_EQ(RunMultiItem(cmd::kAu, {10})[0], B("(Au3142++)"));

  // The events to erase, one per frame.
  kr.Mo[12].Set(12);
  kr.Mo[200].Set(200);
  std::vector<Bytes> frames = RunMultiItem(cmd::kMo, {8, 9});
  EXPECT_EQ(frames[0], Frame("Mo12", 0, 225));
  EXPECT_EQ(frames[1], Frame("Mo200", 0, 178));
}

TEST_F(WriteArgumentsTest, SingleFrameRecordsAndCharacters) {
  KrParams& kr = rig_.kr(1);
  struct Case {
    const char* code;
    Bytes frame;
  };
  kr.AQ[1].Set(30);
  kr.AQ[0].value = 5;
  kr.AP[0].Set(123);
  kr.AP[1].value = 5;
  kr.AP[2].value = 4;
  kr.AP[3].value = 7;
  kr.AP[4].value = 12345;
  kr.PC[0].Set(2024);
  kr.PC[1].Set(12);
  kr.Zc.Set(ZcValue{12, 'K'});
  kr.Rh.Set('1');
  kr.Mx1.Set(64);
  kr.Qn[0].Set(0);
  rig_.data().hcu.NO.Set('Y');
  const Case cases[] = {
      {"Aq", Frame("Aq05,30", 128, 218)},  {"Ap", Frame("Ap1230540712345", 0, 186)},
      {"Pc", Frame("Pc202412", 128, 162)}, {"Zc", Frame("Zc12K", 0, 149)},
      {"Rh", Frame("Rh1", 128, 149)},      {"Mx1", Frame("Mx164", 0, 160)},
      {"Qn", Frame("Qn0,0", 0, 181)},      {"No", Frame("NoY", 0, 234)},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.code);
    EXPECT_EQ(rig_.Send(FindCommand(c.code)), 1);
    ExpectSent(c.frame);
    rig_.Acknowledge();
    EXPECT_EQ(rig_.Send(FindCommand(c.code)), 1);  // consumed
    ExpectNothingSent();
  }
}

TEST_F(WriteArgumentsTest, RequestedPasswordCommands) {
  rig_.link().SetPassword("ABCDE", 0);
  EXPECT_EQ(rig_.Send(cmd::kKr), 1);
  ExpectNothingSent();
  rig_.kr(1).kr_requested = true;
  EXPECT_EQ(rig_.Send(cmd::kKr), 1);
  ExpectSent(Frame("KrABCDE", 0, 244));
  EXPECT_FALSE(rig_.kr(1).kr_requested);
  rig_.Acknowledge();
  rig_.kr(1).mg_requested = true;
  EXPECT_EQ(rig_.Send(cmd::kMg), 1);
  ExpectSent(Frame("MgABCDE", 0, 253));
}

TEST_F(WriteArgumentsTest, AFailedItemIsSentAgainBeforeTheNextOne) {
  rig_.context().limits.control_unit = 1;
  HcuInfo& hcu = rig_.data().hcu;
  hcu.NM[0].Set(29);
  hcu.NM[15].Set(255);
  const int nm = CommandNumber("Nm");
  EXPECT_EQ(rig_.Send(nm), 0);
  ExpectSent(Frame("Nm0129", 128, 249));
  rig_.Tick(nm, 3);  // no answer
  ASSERT_EQ(rig_.state(), LinkRetry);
  EXPECT_EQ(rig_.Wire(1), Bytes{24});
  EXPECT_EQ(rig_.Send(nm), 0);
  ExpectSent(Frame("Nm0129", 128, 249));
  rig_.Acknowledge();
  EXPECT_EQ(rig_.Send(nm), 0);
  ExpectSent(Frame("Nm16255", 128, 194));
  rig_.Acknowledge();
  EXPECT_EQ(rig_.Send(nm), 1);
}

TEST_F(WriteArgumentsTest, AnAbandonedWriteLeavesNoCursorForTheNext) {
  HcuInfo& hcu = rig_.data().hcu;
  hcu.NM[0].Set(29);
  hcu.NM[15].Set(255);
  EXPECT_EQ(rig_.Send(CommandNumber("Nm")), 0);
  rig_.Wire(10);
  rig_.Acknowledge();
  // The engine gives up Nm (an error elsewhere) and writes the alarm 2 masks.
  hcu.NH[0].Set(29);
  EXPECT_EQ(rig_.Send(CommandNumber("Nh")), 0);
  ExpectSent(Frame("Nh0129", 128, 254));
}

}  // namespace
}  // namespace tarvik
