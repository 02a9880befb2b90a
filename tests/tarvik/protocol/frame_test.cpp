#include "tarvik/protocol/frame.h"

#include <gtest/gtest.h>

#include <clocale>

#include "tarvik/protocol/command_table.h"
#include "tarvik/protocol/tick_limits.h"

namespace tarvik {
namespace {

using Pair = std::array<std::uint8_t, 2>;

TEST(FrameChecksum, WorkedExamplesOnBothSidesOfBit7) {
  EXPECT_EQ(FrameChecksum("NN"), (Pair{128, 228}));        // sum 156, v 100
  EXPECT_EQ(FrameChecksum("LiABCDE"), (Pair{0, 252}));     // sum 516, v 252
  EXPECT_EQ(FrameChecksum("Nt12:34:57"), (Pair{0, 148}));  // odd and even lengths alike
  EXPECT_EQ(FrameChecksum("Na3"), (Pair{128, 158}));
  EXPECT_EQ(FrameChecksum(""), (Pair{128, 128}));  // v 0
  const std::uint8_t v128[] = {128};               // v exactly 128
  EXPECT_EQ(FrameChecksum(v128, 1), (Pair{0, 128}));
}

TEST(FrameWriter, NarrowsTextToEightBitsAndKeepsDecimalPointsAsPoints) {
  FrameWriter frame;
  frame.AppendNarrowed("Gr\xc3\xbc\xc3\x9f \xe2\x82\xac");  // "Grüß €"
  EXPECT_EQ(frame.view(), std::string_view("Gr\xfc\xdf ?"));
  frame.Clear();
  frame.AppendNarrowed("\xfc\xc3");  // not UTF-8: kept byte for byte
  EXPECT_EQ(frame.view(), std::string_view("\xfc\xc3"));

  const char* previous = std::setlocale(LC_NUMERIC, "de_DE.UTF-8");
  frame.Clear();
  frame.AppendFixed4(-2.5);
  frame.Append(";");
  frame.AppendFixed4(0.00005);
  EXPECT_EQ(frame.view(), "-2.5000;0.0001");
  if (previous != nullptr) std::setlocale(LC_NUMERIC, "C");
}

TEST(FrameWriter, TooLongTextsAreRefusedNotCut) {
  FrameWriter frame;
  frame.Append("(");
  frame.Append(std::string(96, 'x'));
  EXPECT_TRUE(FinishRequestFrame(frame, true));  // 96 + 4 = 100
  EXPECT_EQ(frame.size(), 100);
  frame.Clear();
  frame.Append("(");
  frame.Append(std::string(97, 'x'));
  EXPECT_FALSE(FinishRequestFrame(frame, false));
  frame.Clear();
  frame.Append("(");
  frame.Printf("%s", std::string(150, 'y').c_str());
  EXPECT_TRUE(frame.overflow());
  EXPECT_FALSE(FinishRequestFrame(frame, false));

  EXPECT_TRUE(BuildModemFrame(std::string(99, 'A'), frame));
  EXPECT_FALSE(BuildModemFrame(std::string(100, 'A'), frame));
}

TEST(TickLimits, MillisecondsBecomeTicksWithHalvesRoundedUp) {
  EXPECT_EQ(MillisecondsToTicks(3000, 100), 30);
  EXPECT_EQ(MillisecondsToTicks(450, 100), 5);
  EXPECT_EQ(MillisecondsToTicks(449, 100), 4);
  EXPECT_EQ(MillisecondsToTicks(400, 40), 10);
  EXPECT_EQ(MillisecondsToTicks(10, 0), 10);  // a zero polling time cannot divide by zero

  TimeoutSettings settings;  // 400, 400, 600, 8000 ms at 40 ms; dial 60 s
  TickLimits limits = ComputeTickLimits(settings, 0);
  EXPECT_EQ(limits.recorder, 10);
  EXPECT_EQ(limits.control_unit, 10);
  EXPECT_EQ(limits.set, 15);
  EXPECT_EQ(limits.slow, 200);
  EXPECT_EQ(limits.dial, 1500);
  // The extra delay of a slow connection is added to every reply time-out, not to dialling.
  limits = ComputeTickLimits(settings, 100);
  EXPECT_EQ(limits.recorder, 13);  // 500 / 40 = 12.5
  EXPECT_EQ(limits.slow, 203);     // 8100 / 40 = 202.5
  EXPECT_EQ(limits.dial, 1500);

  EXPECT_EQ(RecorderWaitTicks(5, 250), 1202);  // 5 x 240.5
  EXPECT_EQ(RecorderWaitTicks(1, 40), 1500);   // 1 x 1500.5
  EXPECT_EQ(RecorderWaitTicks(3, 7), 25715);   // 3 x 8571.93
}

TEST(TickLimits, TimeoutClassOfEveryKindOfCommand) {
  auto of = [](int command, std::string_view raw = "", std::string_view modem = "", bool waiting = false) {
    return ClassifyTimeout(command, raw, modem, waiting);
  };
  EXPECT_EQ(of(CommandNumber("Sy")), TimeoutClass::kSlow);
  EXPECT_EQ(of(CommandNumber("Pd")), TimeoutClass::kSlow);
  EXPECT_EQ(of(cmd::kNa0), TimeoutClass::kSlow);
  EXPECT_EQ(of(cmd::kFreeForm, "Zm12345"), TimeoutClass::kSlow);
  EXPECT_EQ(of(CommandNumber("Sy"), "", "", true), TimeoutClass::kSlow);
  EXPECT_EQ(of(CommandNumber("Te")), TimeoutClass::kSet);
  EXPECT_EQ(of(cmd::kQt), TimeoutClass::kSet);
  EXPECT_EQ(of(cmd::kFreeForm, "TE"), TimeoutClass::kSet);
  EXPECT_EQ(of(CommandNumber("Te"), "", "", true), TimeoutClass::kRecorderWait);
  EXPECT_EQ(of(cmd::kFreeForm, "TE", "", true), TimeoutClass::kRecorderWait);
  EXPECT_EQ(of(CommandNumber("TE")), TimeoutClass::kRecorder);
  EXPECT_EQ(of(CommandNumber("TE"), "", "", true), TimeoutClass::kRecorder);
  EXPECT_EQ(of(cmd::kNa), TimeoutClass::kRecorder);
  EXPECT_EQ(of(cmd::kNF), TimeoutClass::kRecorder);
  EXPECT_EQ(of(cmd::kNN), TimeoutClass::kControlUnit);
  EXPECT_EQ(of(cmd::kProbe), TimeoutClass::kControlUnit);
  EXPECT_EQ(of(cmd::kModemString, "", "ATDT123"), TimeoutClass::kDial);
  EXPECT_EQ(of(cmd::kModemString, "", "AT&F"), TimeoutClass::kRecorder);
  EXPECT_EQ(of(cmd::kModemString, "", "+"), TimeoutClass::kRecorder);
  EXPECT_EQ(of(cmd::kModemString, "", "+++"), TimeoutClass::kControlUnit);
  EXPECT_EQ(of(cmd::kModemString, "", "xATD"), TimeoutClass::kControlUnit);

  const TickLimits limits{1, 2, 3, 4, 5, 6};
  EXPECT_EQ(TickLimitFor(TimeoutClass::kControlUnit, limits), 1);
  EXPECT_EQ(TickLimitFor(TimeoutClass::kRecorderWait, limits), 6);
  EXPECT_EQ(TickLimitFor(TimeoutClass::kDial, limits), 5);
}

}  // namespace
}  // namespace tarvik
