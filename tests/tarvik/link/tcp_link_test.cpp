#include <arpa/inet.h>
#include <gtest/gtest.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/ioctl.h>
#include <sys/socket.h>
#include <unistd.h>

#include <string>
#include <vector>

#include "link_test_util.h"
#include "tarvik/link/link_layer.h"

namespace tarvik {
namespace {

using test::HasLine;
using test::TraceLines;
using test::WaitFor;

// A loopback listener on a free port, standing in for the control unit.
class Listener {
 public:
  Listener() {
    fd_ = ::socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    socklen_t size = sizeof address;
    if (::bind(fd_, reinterpret_cast<sockaddr*>(&address), size) != 0 || ::listen(fd_, 1) != 0 ||
        ::getsockname(fd_, reinterpret_cast<sockaddr*>(&address), &size) != 0) {
      return;
    }
    port_ = ntohs(address.sin_port);
  }
  ~Listener() {
    if (peer_ >= 0) ::close(peer_);
    if (fd_ >= 0) ::close(fd_);
  }
  int port() const { return port_; }
  int Accept() {
    pollfd pfd{fd_, POLLIN, 0};
    if (::poll(&pfd, 1, 10000) == 1) peer_ = ::accept(fd_, nullptr, nullptr);
    return peer_;
  }
  void ClosePeer() {
    ::close(peer_);
    peer_ = -1;
  }
  void StopListening() {
    ::close(fd_);
    fd_ = -1;
  }

 private:
  int fd_ = -1;
  int peer_ = -1;
  int port_ = 0;
};

class TcpLinkTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_GT(server_.port(), 0);
    link_.SetReceiveHandler([this](std::uint8_t* input, int length, int saved_line, std::uint16_t channel) {
      calls_.push_back(
          {std::string(reinterpret_cast<char*>(input), static_cast<std::size_t>(length)), saved_line});
      if (on_input_) on_input_(length, channel);
    });
  }

  bool Connect(const char* host) {
    return link_.CreateChannel(0, 0, static_cast<std::uint32_t>(server_.port()), host, 0) &&
           link_.ConnectTcp(0);
  }
  // Runs the headless host until the condition holds.
  bool ServiceUntil(const std::function<bool()>& condition) {
    return WaitFor([&] {
      link_.ServiceSocket(10, 0);
      return condition();
    });
  }
  bool Connected() { return link_.Channel(0)->connected; }
  int Queued() {
    int queued = 0;
    ::ioctl(link_.SocketFd(), FIONREAD, &queued);
    return queued;
  }

  struct Call {
    std::string input;
    int saved_line;
  };
  Listener server_;
  LinkLayer link_;
  std::vector<Call> calls_;
  std::function<void(int length, std::uint16_t channel)> on_input_;
};

TEST_F(TcpLinkTest, FrameReachesTheServerAndTheReplyTheHandler) {
  ASSERT_TRUE(Connect("127.0.0.1"));
  EXPECT_EQ(link_.IsTcpLink(0), 1);
  EXPECT_TRUE(HasLine(link_, test::AppPrefix() + " connecting to IP address '127.0.0.1' on port " +
                                 std::to_string(server_.port()) + " ...]"));
  ASSERT_TRUE(ServiceUntil([&] { return Connected(); }));
  EXPECT_EQ(TraceLines(link_).back(), "[IP Connection OK]");
  const int peer = server_.Accept();
  ASSERT_GE(peer, 0);

  link_.Channel(0)->current_command = 1;
  ASSERT_TRUE(link_.Send("(NN\x80\xE4)", 0));
  char buffer[16];
  std::string got;
  ASSERT_TRUE(WaitFor([&] {
    ssize_t n = ::recv(peer, buffer, sizeof buffer, MSG_DONTWAIT);
    if (n > 0) got.append(buffer, static_cast<std::size_t>(n));
    return got.size() >= 6;
  }));
  EXPECT_EQ(got, "(NN\x80\xE4)");

  const std::string reply = "*(HCU4100\x80\x01)";
  ASSERT_EQ(::send(peer, reply.data(), reply.size(), 0), (ssize_t)reply.size());
  ASSERT_TRUE(ServiceUntil([&] { return !calls_.empty() && calls_.back().input.size() == reply.size(); }));
  EXPECT_EQ(calls_.back().input, reply);

  server_.ClosePeer();
  ASSERT_TRUE(ServiceUntil([&] { return !Connected(); }));
  EXPECT_EQ(TraceLines(link_).back(), "<Connection was closed by the remote host>");
  EXPECT_EQ(link_.SocketFd(), -1);
  EXPECT_EQ(link_.GetLinkState(0), LinkCommError);
}

TEST_F(TcpLinkTest, HostNamesAreResolvedAndDottedAddressesAreNot) {
  std::vector<bool> busy;
  link_.SetBusyIndicator([&](bool on) { busy.push_back(on); });
  ASSERT_TRUE(Connect("127.0.0.1"));
  EXPECT_TRUE(busy.empty());

  ASSERT_TRUE(Connect("localhost"));
  EXPECT_EQ(busy, (std::vector<bool>{true, false}));
  ASSERT_TRUE(ServiceUntil([&] { return Connected(); }));

  EXPECT_FALSE(Connect("no.such.host.invalid"));
  EXPECT_EQ(TraceLines(link_).back(), "<Invalid host name or IP address>");
  EXPECT_EQ(link_.SocketFd(), -1);
}

TEST_F(TcpLinkTest, ConnectThatFailsAtOnceIsLoggedWithPortAndError) {
  // Linux refuses a TCP connect to a multicast address inside connect() itself.
  ASSERT_TRUE(link_.CreateChannel(0, 0, 80, "224.0.0.1", 0));
  EXPECT_FALSE(link_.ConnectTcp(0));
  const std::string last = TraceLines(link_).back();
  EXPECT_EQ(last.rfind("<Error opening connection to IP port 80, error ", 0), 0u) << last;
  EXPECT_NE(last, "<Error opening connection to IP port 80, error 0>");
  EXPECT_EQ(link_.SocketFd(), -1);
  EXPECT_EQ(link_.GetLinkState(0), LinkCommError);
}

TEST_F(TcpLinkTest, RefusedConnectIsReportedThroughTheConnectNotification) {
  // On loopback a refused connect still starts as "in progress" and fails on the notification.
  server_.StopListening();
  ASSERT_TRUE(Connect("127.0.0.1"));
  ASSERT_TRUE(ServiceUntil([&] { return link_.SocketFd() == -1; }));
  EXPECT_EQ(TraceLines(link_).back(), "<Error during connecting to IP address '127.0.0.1', error 111>");
  EXPECT_FALSE(Connected());
}

TEST_F(TcpLinkTest, FullInputIsDiscardedWithAnErrorLine) {
  ASSERT_TRUE(Connect("127.0.0.1"));
  ASSERT_TRUE(ServiceUntil([&] { return Connected(); }));
  const int peer = server_.Accept();
  // The handler never consumes: 700 bytes overflow the 660-byte input.
  const std::string data(700, 'x');
  ASSERT_EQ(::send(peer, data.data(), data.size(), 0), 700);
  ASSERT_TRUE(WaitFor([&] { return Queued() >= 700; }));
  ASSERT_TRUE(ServiceUntil([&] { return calls_.size() >= 2; }));
  EXPECT_EQ(calls_[0].input.size(), 660u);
  EXPECT_TRUE(HasLine(link_, "<Input block to small>"));
  // Reading went on only after the discard: the rest arrives on its own.
  EXPECT_EQ(calls_[1].input.size(), 40u);
  EXPECT_EQ(calls_.size(), 2u);
}

TEST_F(TcpLinkTest, BlockRepliesAreReadUpToTheNextBlockBoundary) {
  ASSERT_TRUE(Connect("127.0.0.1"));
  ASSERT_TRUE(ServiceUntil([&] { return Connected(); }));
  const int peer = server_.Accept();
  link_.TraceLine("[one]", 0);
  link_.TraceLine("[two]", 0);
  link_.TraceLine("[three]", 0);
  LinkChannel& record = *link_.Channel(0);
  record.link_state = LinkAwaitingReply;
  record.block_count = 1;
  // As the protocol does: a full block boundary means one more block is on its way.
  on_input_ = [&](int length, std::uint16_t) {
    if (length == (record.block_count + 1) * kBlockSize) ++record.block_count;
  };
  const std::string data(400, 'y');
  ASSERT_EQ(::send(peer, data.data(), data.size(), 0), 400);
  ASSERT_TRUE(WaitFor([&] { return Queued() >= 400; }));
  ASSERT_TRUE(ServiceUntil([&] { return !calls_.empty() && calls_.back().input.size() == 400; }));
  // 2 x 132, then 3 x 132, then the remaining 4 bytes.
  ASSERT_EQ(calls_.size(), 3u);
  EXPECT_EQ(calls_[0].input.size(), 264u);
  EXPECT_EQ(calls_[1].input.size(), 396u);
  EXPECT_EQ(calls_[2].input.size(), 400u);
  // The reply's echo begins on the line after the five written so far (connecting, OK, three).
  EXPECT_EQ(calls_[0].saved_line, 5);
}

}  // namespace
}  // namespace tarvik
