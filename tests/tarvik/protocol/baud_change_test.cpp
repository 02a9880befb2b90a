// The line rate after the unit acknowledged a new one (Rs), on a serial link over a pseudo-terminal:
// the reply arrives through the link's reader thread, as it does from a real port.
#include <gtest/gtest.h>
#include <unistd.h>

#include <chrono>
#include <thread>

#include "protocol_test_peer.h"
#include "tarvik/protocol/command_table.h"
#include "tarvik/protocol/event_download.h"
#include "tarvik/protocol/reply_receiver.h"

namespace tarvik {

namespace test {
std::uint32_t TerminalSpeed(int fd);
}

namespace {

using test::Bytes;

constexpr int kHcuRs = 56;
constexpr int kRecorderRs = 242;

class BaudChangeTest : public ::testing::Test {
 protected:
  void SetUp() override {
    InstallReplyPath(rig_.link(), rig_.data(), receiver_, download_);
    ASSERT_TRUE(rig_.OpenPty(9600));
  }
  void TearDown() override {
    rig_.link().CloseLink(0);
    rig_.link().SetConnectionResetHook({});
    rig_.link().SetReceiveHandler({});
  }

  // Sends the command and takes its frame off the line (it ends with ")").
  std::string SendCommand(int command) {
    EXPECT_EQ(rig_.Send(command), 1);
    std::string frame;
    for (;;) {
      const Bytes byte = rig_.Wire(1);
      if (byte.empty()) break;
      frame.push_back(static_cast<char>(byte[0]));
      if (byte[0] == ')') break;
    }
    return frame;
  }

  // The unit answers; waits until the reader has handled the answer (the link stops waiting).
  int Answer(std::string_view text) {
    EXPECT_EQ(::write(rig_.peer_fd(), text.data(), text.size()), static_cast<ssize_t>(text.size()));
    const auto end = std::chrono::steady_clock::now() + std::chrono::seconds(10);
    for (;;) {
      {
        std::lock_guard lock(*rig_.link().ChannelMutex(0));
        if (rig_.channel().link_state != LinkAwaitingReply) return rig_.channel().link_state;
      }
      if (std::chrono::steady_clock::now() > end) return LinkAwaitingReply;
      std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
  }

  std::uint32_t LinkBaud() {
    std::lock_guard lock(*rig_.link().ChannelMutex(0));
    return rig_.channel().baud_rate;
  }

  test::ProtocolRig rig_;
  EventDownload download_{rig_.link(), rig_.data(), rig_.context()};
  ReplyReceiver receiver_{rig_.link(), rig_.data(), rig_.context(), rig_.builder(), download_, rig_.clock()};
};

TEST_F(BaudChangeTest, AcknowledgedRecorderRateIsTakenOverByTheLine) {
  {
    std::lock_guard lock(*rig_.link().ChannelMutex(0));
    rig_.AddressRecorder(1);
    rig_.kr(1).RS.Set(38400);
  }
  EXPECT_EQ(SendCommand(kRecorderRs).substr(0, 8), "(Rs38400");
  EXPECT_EQ(test::TerminalSpeed(rig_.slave_fd()), 9600u);  // the request itself goes out at the old rate
  EXPECT_EQ(Answer("*"), LinkReady);
  EXPECT_EQ(LinkBaud(), 38400u);
  EXPECT_EQ(test::TerminalSpeed(rig_.slave_fd()), 38400u);
}

TEST_F(BaudChangeTest, AcknowledgedControlUnitRateIsTakenOverByTheLine) {
  {
    std::lock_guard lock(*rig_.link().ChannelMutex(0));
    rig_.data().hcu.RS.Set(19200);
  }
  EXPECT_EQ(SendCommand(kHcuRs).substr(0, 8), "(Rs19200");
  EXPECT_EQ(Answer("*"), LinkReady);
  EXPECT_EQ(LinkBaud(), 19200u);
  EXPECT_EQ(test::TerminalSpeed(rig_.slave_fd()), 19200u);
}

TEST_F(BaudChangeTest, RefusedRateLeavesTheLineAsItWas) {
  {
    std::lock_guard lock(*rig_.link().ChannelMutex(0));
    rig_.AddressRecorder(1);
    rig_.kr(1).RS.Set(57600);
  }
  SendCommand(kRecorderRs);
  EXPECT_EQ(Answer("N"), LinkRefused);
  EXPECT_EQ(LinkBaud(), 9600u);
  EXPECT_EQ(test::TerminalSpeed(rig_.slave_fd()), 9600u);
}

}  // namespace
}  // namespace tarvik
