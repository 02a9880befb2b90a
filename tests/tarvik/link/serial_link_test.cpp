#include <fcntl.h>
#include <gtest/gtest.h>
#include <poll.h>
#include <pty.h>
#include <unistd.h>

#include <condition_variable>
#include <cstring>
#include <string>

#include "link_test_util.h"
#include "tarvik/link/link_layer.h"

namespace tarvik::test {
std::uint32_t TerminalOutputSpeed(int fd);
}

namespace tarvik {
namespace {

using test::HasLine;
using test::TraceLines;
using test::WaitFor;

// A pseudo-terminal whose slave end the link opens as "COM3"; the test plays the recorder on the
// master end.
class PtyPair {
 public:
  PtyPair() {
    int slave = -1;
    char name[128] = {};
    if (::openpty(&master_, &slave, name, nullptr, nullptr) != 0) return;
    slave_path_ = name;
    ::close(slave);
    ::fcntl(master_, F_SETFL, ::fcntl(master_, F_GETFL) | O_NONBLOCK);
  }
  ~PtyPair() { CloseMaster(); }
  bool ok() const { return master_ >= 0; }
  int master() const { return master_; }
  const std::string& slave_path() const { return slave_path_; }
  void CloseMaster() {
    if (master_ >= 0) ::close(master_);
    master_ = -1;
  }

  void Write(const std::string& bytes) {
    ASSERT_EQ(::write(master_, bytes.data(), bytes.size()), (ssize_t)bytes.size());
  }

  // Reads until `count` bytes came or the deadline passed.
  std::string Read(std::size_t count) {
    std::string got;
    WaitFor([&] {
      char buffer[256];
      ssize_t n = ::read(master_, buffer, sizeof buffer);
      if (n > 0) got.append(buffer, static_cast<std::size_t>(n));
      return got.size() >= count;
    });
    return got;
  }

 private:
  int master_ = -1;
  std::string slave_path_;
};

class SerialLinkTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(pty_.ok());
    link_.SetSerialDeviceResolver([this](std::uint16_t com) { return com == 3 ? pty_.slave_path() : ""; });
    link_.SetConnectionResetHook([this](std::uint16_t) { ++resets_; });
    // Plays the protocol's pump: a reply is complete when it ends with ")".
    link_.SetReceiveHandler([this](std::uint8_t* input, int length, int, std::uint16_t channel) {
      std::lock_guard lock(received_mutex_);
      last_input_.assign(reinterpret_cast<char*>(input), static_cast<std::size_t>(length));
      if (last_input_.back() == ')') {
        replies_.push_back(last_input_);
        link_.TraceEndReply(channel);
      }
    });
  }

  bool Open(std::uint32_t baud) { return link_.CreateChannel(3, baud, 0, nullptr, 0) && link_.OpenSerial(0); }

  bool SendLocked(const std::string& frame, int command) {
    std::lock_guard lock(*link_.ChannelMutex(0));
    link_.Channel(0)->current_command = command;
    return link_.Send(frame, 0);
  }

  std::vector<std::string> Replies() {
    std::lock_guard lock(received_mutex_);
    return replies_;
  }

  PtyPair pty_;
  LinkLayer link_;
  int resets_ = 0;
  std::mutex received_mutex_;
  std::string last_input_;
  std::vector<std::string> replies_;
};

TEST_F(SerialLinkTest, CarriesBytesBothWaysAndCloseEndsTheReader) {
  ASSERT_TRUE(Open(9600));
  EXPECT_TRUE(link_.ReaderThreadRunning(0));
  EXPECT_EQ(link_.IsTcpLink(0), 0);
  EXPECT_TRUE(HasLine(link_, test::AppPrefix() + " connected to COM port 3]"));

  // Command 1: "(" "NN" checksum 128 228 ")".
  ASSERT_TRUE(SendLocked("(NN\x80\xE4)", 1));
  EXPECT_EQ(pty_.Read(6), "(NN\x80\xE4)");
  EXPECT_TRUE(HasLine(link_, ">(NN[128][228])"));

  // A reply split over two writes reaches the pump as one growing input.
  pty_.Write("*(HCU41");
  ASSERT_TRUE(WaitFor([&] {
    std::lock_guard lock(received_mutex_);
    return last_input_ == "*(HCU41";
  }));
  pty_.Write("00\x80\x01)");
  ASSERT_TRUE(WaitFor([&] { return Replies().size() == 1; }));
  EXPECT_EQ(Replies()[0], "*(HCU4100\x80\x01)");

  EXPECT_TRUE(link_.CloseLink(0));
  EXPECT_FALSE(link_.ReaderThreadRunning(0));
  EXPECT_FALSE(link_.Channel(0)->port.IsOpen());
  EXPECT_FALSE(link_.Channel(0)->connected);
  EXPECT_EQ(resets_, 2);  // open and close
  // The master end sees the hang-up only once every descriptor of the slave is closed.
  pollfd pfd{pty_.master(), POLLIN, 0};
  ASSERT_EQ(::poll(&pfd, 1, 10000), 1);
  EXPECT_TRUE(pfd.revents & POLLHUP);
}

TEST_F(SerialLinkTest, MissingDeviceGivesTwoErrorLinesAndNothingStaysOpen) {
  EXPECT_EQ(DefaultSerialDevice(1), "/dev/ttyS0");
  link_.SetSerialDeviceResolver([](std::uint16_t) { return std::string("/nonexistent/ttyKR7"); });
  ASSERT_TRUE(link_.CreateChannel(7, 9600, 0, nullptr, 0));
  EXPECT_FALSE(link_.OpenSerial(0));
  EXPECT_EQ(TraceLines(link_), (std::vector<std::string>{"<Error opening connection to COM port 7>",
                                                         "<No such file or directory>"}));
  EXPECT_EQ(link_.GetLinkState(0), LinkCommError);
  EXPECT_FALSE(link_.Channel(0)->port.IsOpen());
  EXPECT_FALSE(link_.ReaderThreadRunning(0));
}

TEST_F(SerialLinkTest, BaudRatesInRangeAreAppliedAndOthersRefused) {
  ASSERT_TRUE(Open(115200));
  EXPECT_EQ(test::TerminalOutputSpeed(pty_.master()), 115200u);

  // A rate without a termios constant goes through the arbitrary-rate interface.
  link_.Channel(0)->baud_rate = 250000;
  if (link_.ApplySerialSettings(0)) {
    EXPECT_EQ(test::TerminalOutputSpeed(pty_.master()), 250000u);
  } else {
    EXPECT_NE(link_.Channel(0)->last_system_error, 0u);
  }

  link_.Channel(0)->baud_rate = 300000;
  EXPECT_FALSE(link_.ApplySerialSettings(0));
  ASSERT_TRUE(link_.CloseLink(0));

  ASSERT_TRUE(link_.CreateChannel(3, 50, 0, nullptr, 0));
  EXPECT_FALSE(link_.OpenSerial(0));
  const auto lines = TraceLines(link_);
  ASSERT_EQ(lines.size(), 2u);
  EXPECT_EQ(lines[1], "<Invalid argument>");
  EXPECT_FALSE(link_.ReaderThreadRunning(0));
}

TEST(SerialWriteTimeouts, FollowTheBaudRate) {
  // 12000 / baud in whole milliseconds, +1 per byte and +2 for the constant.
  EXPECT_EQ(ComputeSerialWriteTimeouts(9600).per_byte_ms, 2);
  EXPECT_EQ(ComputeSerialWriteTimeouts(9600).constant_ms, 3);
  EXPECT_EQ(ComputeSerialWriteTimeouts(115200).per_byte_ms, 1);
  EXPECT_EQ(ComputeSerialWriteTimeouts(115200).constant_ms, 2);
  EXPECT_EQ(ComputeSerialWriteTimeouts(2400).per_byte_ms, 6);
  EXPECT_EQ(ComputeSerialWriteTimeouts(110).constant_ms, 111);
}

TEST_F(SerialLinkTest, FrameOf92BytesIsSentAndOf93Refused) {
  ASSERT_TRUE(Open(38400));
  const std::string frame92 = "(" + std::string(88, 'A') + "\x80\x81)";
  ASSERT_EQ(frame92.size(), 92u);
  EXPECT_TRUE(SendLocked(frame92, 69));
  EXPECT_EQ(pty_.Read(92), frame92);

  const std::string frame93 = "(" + std::string(89, 'A') + "\x80\x81)";
  EXPECT_FALSE(SendLocked(frame93, 69));
  EXPECT_EQ(TraceLines(link_).back(), "<Command string too long>");
  EXPECT_EQ(link_.GetLinkState(0), LinkCommError);
  // Nothing of the refused frame went out: the next bytes on the line are the next frame's.
  EXPECT_TRUE(SendLocked("\x15", 0));
  EXPECT_EQ(pty_.Read(1), "\x15");
  EXPECT_EQ(TraceLines(link_).back(), ">[21]");
}

TEST_F(SerialLinkTest, StalledLineEndsInWriteTimeout) {
  ASSERT_TRUE(Open(115200));
  // Nobody reads the master end: the terminal's queue fills and a write cannot finish in time.
  const std::string frame = "(" + std::string(80, 'B') + "\x80\x81)";
  bool failed = false;
  for (int i = 0; i < 100000 && !failed; ++i) failed = !SendLocked(frame, 1);
  ASSERT_TRUE(failed);
  EXPECT_EQ(TraceLines(link_).back(), "<Timeout writing to COM port>");
  EXPECT_EQ(link_.GetLinkState(0), LinkCommError);
}

TEST_F(SerialLinkTest, ReaderEndsWhenTheDeviceGoesAway) {
  ASSERT_TRUE(Open(9600));
  pty_.CloseMaster();
  ASSERT_TRUE(WaitFor([&] { return !link_.Channel(0)->reader_active; }));
  EXPECT_EQ(TraceLines(link_).back(), "<Error 5 reading from COM port>");
  EXPECT_EQ(TraceLines(link_).size(), 2u);  // reported once
  EXPECT_FALSE(link_.Channel(0)->connected);
  EXPECT_TRUE(link_.CloseLink(0));
  EXPECT_FALSE(link_.ReaderThreadRunning(0));
}

TEST_F(SerialLinkTest, ReceivePathMayCloseTheLinkItself) {
  // A handler that closes the link from the reader thread must neither join itself nor read on.
  link_.SetReceiveHandler(
      [this](std::uint8_t*, int, int, std::uint16_t channel) { link_.CloseLink(channel); });
  ASSERT_TRUE(Open(9600));
  pty_.Write("*(BYE)");
  ASSERT_TRUE(WaitFor([&] { return !link_.Channel(0)->reader_active; }));
  EXPECT_FALSE(link_.Channel(0)->port.IsOpen());
  EXPECT_EQ(TraceLines(link_).size(), 1u);  // only the connect line, no read error
  EXPECT_TRUE(link_.CloseLink(0));
  EXPECT_FALSE(link_.ReaderThreadRunning(0));
}

}  // namespace
}  // namespace tarvik
