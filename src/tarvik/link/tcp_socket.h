#pragma once

#include <netinet/in.h>

#include <cstdint>

namespace tarvik {

// What a host saw on the socket (poll(), or a socket notifier in the GUI); any combination.
enum SocketReadiness : unsigned {
  kSocketReadable = 1,
  kSocketWritable = 2,
  kSocketErrorOrHangUp = 4,
};

// A dotted IPv4 address ("192.168.0.10"), without asking a name service.
bool ParseDottedIpv4(const char* host, in_addr& address);
// Name resolution for IPv4; false when the name is unknown.
bool ResolveHostIpv4(const char* host, in_addr& address);

// The process's one TCP socket: non-blocking stream socket, connected asynchronously. Failing
// operations return the errno value (or minus it where a count is returned).
class TcpSocket {
 public:
  TcpSocket() = default;
  ~TcpSocket() { Close(); }
  TcpSocket(const TcpSocket&) = delete;
  TcpSocket& operator=(const TcpSocket&) = delete;

  int Allocate();
  int MakeNonBlocking();
  // 0 when the connect is under way (or already done); the errno value when it failed at once.
  int StartConnect(const in_addr& address, std::uint16_t port);
  // The outcome of an asynchronous connect (SO_ERROR).
  int PendingError() const;
  // Bytes sent or received; minus the errno value on failure; Receive gives 0 at the end of the
  // stream and -EAGAIN when nothing is there.
  int Send(const void* bytes, int length);
  int Receive(void* buffer, int maximum);
  // 1 when data waits, 0 when the peer has closed, minus the errno value otherwise.
  int Peek() const;
  void Close();

  bool IsOpen() const { return fd_ >= 0; }
  bool connecting() const { return connecting_; }
  void set_connected() { connecting_ = false; }
  int fd() const { return fd_; }

 private:
  int fd_ = -1;
  bool connecting_ = false;
};

}  // namespace tarvik
