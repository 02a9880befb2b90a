#include "tarvik/link/tcp_socket.h"

#include <arpa/inet.h>
#include <fcntl.h>
#include <netdb.h>
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

namespace tarvik {

bool ParseDottedIpv4(const char* host, in_addr& address) {
  return host != nullptr && ::inet_pton(AF_INET, host, &address) == 1;
}

bool ResolveHostIpv4(const char* host, in_addr& address) {
  if (host == nullptr || *host == '\0') return false;
  addrinfo hints{};
  hints.ai_family = AF_INET;
  hints.ai_socktype = SOCK_STREAM;
  addrinfo* result = nullptr;
  if (::getaddrinfo(host, nullptr, &hints, &result) != 0 || result == nullptr) return false;
  address = reinterpret_cast<const sockaddr_in*>(result->ai_addr)->sin_addr;
  ::freeaddrinfo(result);
  return true;
}

int TcpSocket::Allocate() {
  Close();
  int fd = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
  if (fd < 0) return errno;
  fd_ = fd;
  // Every exchange is a short frame answered by a short frame (and a block by a one-byte ACK):
  // waiting to coalesce them would only add delay to each round trip.
  int on = 1;
  ::setsockopt(fd_, IPPROTO_TCP, TCP_NODELAY, &on, sizeof on);
  return 0;
}

int TcpSocket::MakeNonBlocking() {
  int flags = ::fcntl(fd_, F_GETFL);
  if (flags < 0 || ::fcntl(fd_, F_SETFL, flags | O_NONBLOCK) != 0) return errno;
  return 0;
}

int TcpSocket::StartConnect(const in_addr& address, std::uint16_t port) {
  sockaddr_in peer{};
  peer.sin_family = AF_INET;
  peer.sin_port = htons(port);
  peer.sin_addr = address;
  int rc;
  do {
    rc = ::connect(fd_, reinterpret_cast<const sockaddr*>(&peer), sizeof peer);
  } while (rc != 0 && errno == EINTR);
  // Even an at-once success is reported through writability, like every other connect.
  if (rc == 0 || errno == EINPROGRESS) {
    connecting_ = true;
    return 0;
  }
  return errno;
}

int TcpSocket::PendingError() const {
  int error = 0;
  socklen_t size = sizeof error;
  if (::getsockopt(fd_, SOL_SOCKET, SO_ERROR, &error, &size) != 0) return errno;
  return error;
}

int TcpSocket::Send(const void* bytes, int length) {
  for (;;) {
    ssize_t n = ::send(fd_, bytes, static_cast<size_t>(length), MSG_NOSIGNAL | MSG_DONTWAIT);
    if (n >= 0) return static_cast<int>(n);
    if (errno != EINTR) return -errno;
  }
}

int TcpSocket::Receive(void* buffer, int maximum) {
  if (maximum <= 0) return 0;
  for (;;) {
    ssize_t n = ::recv(fd_, buffer, static_cast<size_t>(maximum), MSG_DONTWAIT);
    if (n >= 0) return static_cast<int>(n);
    if (errno != EINTR) return -errno;
  }
}

int TcpSocket::Peek() const {
  char byte;
  for (;;) {
    ssize_t n = ::recv(fd_, &byte, 1, MSG_PEEK | MSG_DONTWAIT);
    if (n > 0) return 1;
    if (n == 0) return 0;
    if (errno != EINTR) return -errno;
  }
}

void TcpSocket::Close() {
  if (fd_ >= 0) ::close(fd_);
  fd_ = -1;
  connecting_ = false;
}

}  // namespace tarvik
