// The probe's search for the recorder's baud rate on a direct serial link, over a pseudo-terminal.
#include <gtest/gtest.h>

#include "protocol_test_peer.h"
#include "tarvik/protocol/command_table.h"

namespace tarvik {

namespace test {
std::uint32_t TerminalSpeed(int fd);
}

namespace {

using test::TerminalSpeed;

using test::Bytes;

TEST(ProbeTest, DirectLinkTriesEveryRateOnceThenGivesUp) {
  test::ProtocolRig rig;
  ASSERT_TRUE(rig.OpenPty(9600));
  rig.context().direct_link = true;
  rig.context().limits.control_unit = 1;

  const std::uint32_t expected[] = {19200, 38400, 57600, 115200, 2400, 4800, 9600};
  for (int attempt = 1; attempt <= 7; ++attempt) {
    SCOPED_TRACE(attempt);
    ASSERT_EQ(rig.Send(cmd::kProbe), 1);
    EXPECT_EQ(rig.Wire(2), (Bytes{24, ')'}));
    rig.Tick(cmd::kProbe, 3);
    std::uint32_t baud = 0;
    {
      std::lock_guard lock(*rig.link().ChannelMutex(0));
      baud = rig.channel().baud_rate;
    }
    EXPECT_EQ(baud, expected[attempt - 1]);
    EXPECT_EQ(TerminalSpeed(rig.slave_fd()), expected[attempt - 1]);
    EXPECT_EQ(rig.state(), attempt < 7 ? LinkRetry : LinkSerialFailed);
  }
  EXPECT_EQ(rig.channel().retry_counter, 0);
  EXPECT_TRUE(rig.WireNow().empty());
}

TEST(ProbeTest, ARateOutsideTheSearchStartsItAt9600) {
  test::ProtocolRig rig;
  ASSERT_TRUE(rig.OpenPty(1200));
  rig.context().direct_link = true;
  rig.context().limits.control_unit = 1;
  ASSERT_EQ(rig.Send(cmd::kProbe), 1);
  rig.Tick(cmd::kProbe, 3);
  EXPECT_EQ(rig.state(), LinkRetry);
  EXPECT_EQ(TerminalSpeed(rig.slave_fd()), 9600u);
}

TEST(ProbeTest, NextRateOfTheSearch) {
  EXPECT_EQ(NextProbeBaudRate(9600), 19200u);
  EXPECT_EQ(NextProbeBaudRate(115200), 2400u);
  EXPECT_EQ(NextProbeBaudRate(4800), 9600u);
  EXPECT_EQ(NextProbeBaudRate(300), 9600u);
}

}  // namespace
}  // namespace tarvik
