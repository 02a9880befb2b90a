#include <gtest/gtest.h>

#include "protocol_test_peer.h"
#include "tarvik/protocol/command_table.h"

namespace tarvik {
namespace {

using test::B;
using test::Bytes;

class ModemStringTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(rig_.ConnectTcp());
    rig_.context().limits = TickLimits{/*control_unit=*/2, /*recorder=*/4, /*set=*/6,
                                       /*slow=*/8,         /*dial=*/12,    0};
  }
  // Sends the modem text and counts the calls until the time-out; the bytes of the time-out.
  int CallsUntilTimeout() {
    int calls = 0;
    while (rig_.state() == LinkAwaitingReply && calls < 100) {
      rig_.Send(cmd::kModemString);
      ++calls;
    }
    return calls;
  }
  test::ProtocolRig rig_;
};

TEST_F(ModemStringTest, SettingIsSentCommandByCommandWithCarriageReturns) {
  const std::string setting = "AT&F;ATE0";
  int next = rig_.link().SetModemText(setting, 0);
  EXPECT_EQ(next, 5);
  EXPECT_EQ(rig_.Send(cmd::kModemString), 1);
  EXPECT_EQ(rig_.Wire(5), B("AT&F\r"));
  EXPECT_EQ(rig_.state(), LinkAwaitingReply);
  rig_.Acknowledge();
  next = rig_.link().SetModemText(std::string_view(setting).substr(static_cast<size_t>(next)), 0);
  EXPECT_EQ(next, 0);
  EXPECT_EQ(rig_.Send(cmd::kModemString), 1);
  EXPECT_EQ(rig_.Wire(5), B("ATE0\r"));
  EXPECT_TRUE(rig_.TraceHas(">ATE0"));
}

TEST_F(ModemStringTest, EscapeSequencesGoOutBare) {
  rig_.link().SetModemText("+++", 0);
  EXPECT_EQ(rig_.Send(cmd::kModemString), 1);
  EXPECT_EQ(rig_.Wire(3), B("+++"));
  rig_.Acknowledge();
  rig_.link().SetModemText("+", 0);
  EXPECT_EQ(rig_.Send(cmd::kModemString), 1);
  EXPECT_EQ(rig_.Wire(1), B("+"));
  EXPECT_TRUE(rig_.WireNow().empty());
  rig_.Acknowledge();
  // An empty command ("AT&F;;ATE0") is nothing to send.
  rig_.link().SetModemText("", 0);
  EXPECT_EQ(rig_.Send(cmd::kModemString), 1);
  EXPECT_TRUE(rig_.WireNow().empty());
}

TEST_F(ModemStringTest, LimitsAndCancelOnTimeOut) {
  // Dialling waits the dial limit and cancels nothing: the modem would take CAN as a keystroke.
  rig_.link().SetModemText("ATDT0301234", 0);
  rig_.Send(cmd::kModemString);
  rig_.Wire(12);
  EXPECT_EQ(CallsUntilTimeout(), 14);
  EXPECT_EQ(rig_.state(), LinkRetry);
  EXPECT_TRUE(rig_.WireNow().empty());
  EXPECT_TRUE(rig_.TraceHas("<Timeout reading from COM port>"));

  rig_.Acknowledge();
  rig_.link().SetModemText("ATZ", 0);
  rig_.Send(cmd::kModemString);
  rig_.Wire(4);
  EXPECT_EQ(CallsUntilTimeout(), 6);  // the recorder limit
  EXPECT_TRUE(rig_.WireNow().empty());

  rig_.Acknowledge();
  rig_.link().SetModemText("+", 0);
  rig_.Send(cmd::kModemString);
  rig_.Wire(1);
  EXPECT_EQ(CallsUntilTimeout(), 6);
  EXPECT_TRUE(rig_.WireNow().empty());

  // Any other text waits the control-unit limit and is cancelled like a protocol command.
  rig_.Acknowledge();
  rig_.link().SetModemText("+++", 0);
  rig_.Send(cmd::kModemString);
  rig_.Wire(3);
  EXPECT_EQ(CallsUntilTimeout(), 4);
  EXPECT_EQ(rig_.Wire(1), Bytes{24});
}

}  // namespace
}  // namespace tarvik
