#pragma once

// The far end of a link for the protocol tests: a loopback TCP peer or the master side of a
// pseudo-terminal, and a fixture that wires a LinkLayer to a CommandBuilder over it. The tests read
// exactly what went over the line.

#include <arpa/inet.h>
#include <fcntl.h>
#include <netinet/in.h>
#include <poll.h>
#include <pty.h>
#include <sys/ioctl.h>
#include <sys/socket.h>
#include <unistd.h>

#include <chrono>
#include <cstdint>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

#include "krcommon/clock.h"
#include "tarvik/link/link_layer.h"
#include "tarvik/protocol/command_builder.h"
#include "tarvik/protocol/protocol_context.h"
#include "tarvik/protocol/recorder_data.h"

namespace tarvik::test {

using Bytes = std::vector<std::uint8_t>;

inline Bytes B(std::string_view text) {
  return Bytes(text.begin(), text.end());
}
inline Bytes Cat(Bytes a, const Bytes& b) {
  a.insert(a.end(), b.begin(), b.end());
  return a;
}
// A request frame with its checksum bytes as worked out by hand in the test
// (v = (256 - sum) mod 256, then 128 / v + 128 or 0 / v).
inline Bytes Frame(std::string_view text, std::uint8_t cs1, std::uint8_t cs2) {
  return Cat(Cat(B("("), B(text)), Bytes{cs1, cs2, ')'});
}

// Reads from a descriptor until `count` bytes arrived or a generous deadline passed.
inline Bytes ReadBytes(int fd, std::size_t count, int deadline_ms = 5000) {
  Bytes bytes;
  const auto end = std::chrono::steady_clock::now() + std::chrono::milliseconds(deadline_ms);
  while (bytes.size() < count) {
    const auto left =
        std::chrono::duration_cast<std::chrono::milliseconds>(end - std::chrono::steady_clock::now());
    if (left.count() <= 0) break;
    pollfd pfd{fd, POLLIN, 0};
    if (::poll(&pfd, 1, static_cast<int>(left.count())) <= 0) continue;
    std::uint8_t buffer[256];
    const ssize_t got = ::read(fd, buffer, std::min(sizeof buffer, count - bytes.size()));
    if (got <= 0) break;
    bytes.insert(bytes.end(), buffer, buffer + got);
  }
  return bytes;
}

// What is waiting to be read right now. The link writes synchronously, so whatever a call sent is
// already queued at the peer when the call returns.
inline Bytes Pending(int fd) {
  Bytes bytes;
  std::uint8_t buffer[256];
  for (;;) {
    pollfd pfd{fd, POLLIN, 0};
    if (::poll(&pfd, 1, 0) <= 0 || !(pfd.revents & POLLIN)) break;
    const ssize_t got = ::read(fd, buffer, sizeof buffer);
    if (got <= 0) break;
    bytes.insert(bytes.end(), buffer, buffer + got);
  }
  return bytes;
}

// Channel 0 of a LinkLayer connected to a peer, a data model, a context and a fixed clock.
class ProtocolRig {
 public:
  ProtocolRig() : data_(std::make_unique<RecorderData>()), builder_(link_, *data_, context_, clock_) {
    InstallConnectionReset(link_, *data_);
  }
  ~ProtocolRig() {
    link_.CloseLink(0);
    if (peer_fd_ >= 0) ::close(peer_fd_);
    if (slave_fd_ >= 0) ::close(slave_fd_);
    if (listen_fd_ >= 0) ::close(listen_fd_);
  }

  // Loopback TCP: the link connects, the rig accepts.
  bool ConnectTcp() {
    listen_fd_ = ::socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    socklen_t size = sizeof address;
    if (::bind(listen_fd_, reinterpret_cast<sockaddr*>(&address), size) != 0 ||
        ::listen(listen_fd_, 1) != 0 ||
        ::getsockname(listen_fd_, reinterpret_cast<sockaddr*>(&address), &size) != 0) {
      return false;
    }
    if (!link_.CreateChannel(0, 0, ntohs(address.sin_port), "127.0.0.1", 0) || !link_.ConnectTcp(0))
      return false;
    pollfd pfd{listen_fd_, POLLIN, 0};
    if (::poll(&pfd, 1, 5000) <= 0) return false;
    peer_fd_ = ::accept(listen_fd_, nullptr, nullptr);
    const auto end = std::chrono::steady_clock::now() + std::chrono::seconds(5);
    while (!link_.Channel(0)->connected && std::chrono::steady_clock::now() < end)
      link_.ServiceSocket(100, 0);
    return peer_fd_ >= 0 && link_.Channel(0)->connected;
  }

  // A serial link on a pseudo-terminal at the given rate; the rig holds the master side.
  bool OpenPty(std::uint32_t baud) {
    int slave = -1;
    char name[128] = {};
    if (::openpty(&peer_fd_, &slave, name, nullptr, nullptr) != 0) return false;
    slave_path_ = name;
    // Kept open so the terminal survives between the link's opens and can be inspected.
    slave_fd_ = slave;
    link_.SetSerialDeviceResolver([this](std::uint16_t) { return slave_path_; });
    return link_.CreateChannel(1, baud, 0, nullptr, 0) && link_.OpenSerial(0);
  }

  int Send(int command) {
    std::lock_guard lock(*link_.ChannelMutex(0));
    return builder_.BuildAndSend(command, 0);
  }
  // Calls the builder n times (the engine's ticks); the result of the last call.
  int Tick(int command, int n) {
    int result = 0;
    for (int i = 0; i < n; ++i) result = Send(command);
    return result;
  }
  // What the reply path does when the unit acknowledges.
  void Acknowledge() {
    std::lock_guard lock(*link_.ChannelMutex(0));
    channel().link_state = LinkReady;
  }

  // The unit sends bytes; the link reads and handles everything that arrived, as its host does.
  bool Deliver(const Bytes& bytes) {
    if (::write(peer_fd_, bytes.data(), bytes.size()) != static_cast<ssize_t>(bytes.size())) return false;
    const auto end = std::chrono::steady_clock::now() + std::chrono::seconds(10);
    int queued = 1;
    while (queued > 0 && std::chrono::steady_clock::now() < end) {
      link_.ServiceSocket(1000, 0);
      if (::ioctl(link_.SocketFd(), FIONREAD, &queued) != 0) return false;
    }
    return queued == 0;
  }
  bool Deliver(std::string_view text) { return Deliver(B(text)); }

  Bytes Wire(std::size_t count) { return ReadBytes(peer_fd_, count); }
  Bytes WireNow() { return Pending(peer_fd_); }

  std::vector<std::string> Trace() {
    std::string text;
    {
      std::lock_guard lock(*link_.ChannelMutex(0));
      link_.TraceAppendToText(text, 0);
    }
    std::vector<std::string> lines;
    std::size_t start = 0;
    for (std::size_t end; (end = text.find("\r\n", start)) != std::string::npos; start = end + 2) {
      if (end > start) lines.push_back(text.substr(start, end - start));
    }
    return lines;
  }
  bool TraceHas(const std::string& line) {
    for (const std::string& l : Trace()) {
      if (l == line) return true;
    }
    return false;
  }

  LinkChannel& channel() { return *link_.Channel(0); }
  int state() { return channel().link_state; }
  LinkLayer& link() { return link_; }
  RecorderData& data() { return *data_; }
  KrParams& kr(int number) { return *data_->Recorder(number); }
  ProtocolContext& context() { return context_; }
  kr::FixedClock& clock() { return clock_; }
  CommandBuilder& builder() { return builder_; }
  int slave_fd() const { return slave_fd_; }
  int peer_fd() const { return peer_fd_; }

  // A recorder behind a control unit that reports `recorders` recorders, addressed as `target`.
  void AddressRecorder(int target, int recorders = 4) {
    context_.control_unit_present = true;
    data_->hcu.NC.value = recorders;
    channel().target_recorder = target;
  }

 private:
  LinkLayer link_;
  std::unique_ptr<RecorderData> data_;
  ProtocolContext context_;
  kr::FixedClock clock_{kr::DateTime{2024, 3, 7, 12, 0, 0, 0, 4}};
  CommandBuilder builder_;
  int listen_fd_ = -1;
  int peer_fd_ = -1;
  int slave_fd_ = -1;
  std::string slave_path_;
};

}  // namespace tarvik::test
