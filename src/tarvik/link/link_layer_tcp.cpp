// TCP links of the link layer: the asynchronous connect and the socket notifications.
#include <poll.h>

#include <cerrno>

#include "kr_version.h"
#include "tarvik/link/link_layer.h"

namespace tarvik {

bool LinkLayer::ConnectTcp(std::uint16_t channel) {
  LinkChannel* c = Channel(channel);
  if (c == nullptr) return false;
  if (reset_hook_) reset_hook_(channel);
  SetLinkReady(channel);
  // A second connect replaces the first socket instead of leaking it.
  socket_.Close();
  c->connected = false;

  in_addr address{};
  if (!ParseDottedIpv4(c->host, address)) {
    if (busy_) busy_(true);
    const bool resolved = ResolveHostIpv4(c->host, address);
    if (busy_) busy_(false);
    if (!resolved) {
      TraceError("<Invalid host name or IP address>", channel);
      return false;
    }
  }

  int error = socket_.Allocate();
  if (error != 0) {
    c->last_system_error = static_cast<std::uint32_t>(error);
    TraceError("<Failed to allocate socket handle>", channel);
    return false;
  }
  error = socket_.MakeNonBlocking();
  if (error != 0) {
    c->last_system_error = static_cast<std::uint32_t>(error);
    TraceError(TraceText("<Error during enable asynchronous notifications, error %d>", error), channel);
    socket_.Close();
    return false;
  }

  saved_trace_line_ = 0;
  // A port number beyond 16 bits would silently reach another service; refuse it.
  error =
      c->ip_port > 0xFFFF ? EINVAL : socket_.StartConnect(address, static_cast<std::uint16_t>(c->ip_port));
  if (error != 0) {
    c->last_system_error = static_cast<std::uint32_t>(error);
    TraceError(
        TraceText("<Error opening connection to IP port %d, error %d>", static_cast<int>(c->ip_port), error),
        channel);
    socket_.Close();
    return false;
  }
  TraceLine(TraceText("[%s V%s connecting to IP address '%s' on port %d ...]", kr::kTarvikAppName,
                      kr::kAppVersion, c->host, static_cast<int>(c->ip_port)),
            channel);
  return true;
}

void LinkLayer::OnSocketEvent(std::uint32_t notification, std::uint16_t channel) {
  LinkChannel* c = Channel(channel);
  if (c == nullptr) return;
  std::lock_guard lock(slots_[channel].mutex);
  const std::uint32_t event = notification & 0xFFFFu;
  const int error = static_cast<int>(notification >> 16);
  switch (event) {
    case kSocketRead:
      saved_trace_line_ = PumpInput(saved_trace_line_, channel);
      break;
    case kSocketConnect:
      if (error == 0) {
        c->connected = true;
        socket_.set_connected();
        TraceLine("[IP Connection OK]", channel);
      } else {
        c->connected = false;
        c->last_system_error = static_cast<std::uint32_t>(error);
        TraceError(TraceText("<Error during connecting to IP address '%s', error %d>", c->host, error),
                   channel);
        socket_.Close();
      }
      break;
    case kSocketClose:
      c->connected = false;
      TraceError("<Connection was closed by the remote host>", channel);
      socket_.Close();
      break;
    default:
      break;
  }
}

short LinkLayer::SocketPollEvents() const {
  if (!socket_.IsOpen()) return 0;
  return static_cast<short>(POLLIN | (socket_.connecting() ? POLLOUT : 0));
}

void LinkLayer::HandleSocketReadiness(unsigned readiness, std::uint16_t channel) {
  if (Channel(channel) == nullptr || !socket_.IsOpen()) return;
  if (socket_.connecting()) {
    // Only the outcome of the connect matters until it is known; reads wait for the next round.
    if (readiness & (kSocketWritable | kSocketErrorOrHangUp)) {
      OnSocketEvent(MakeSocketNotification(kSocketConnect, socket_.PendingError()), channel);
    }
    return;
  }
  if (readiness & kSocketReadable) {
    // Data still waiting is read before a close is reported, so the last reply is not lost.
    const int peek = socket_.Peek();
    if (peek > 0) {
      OnSocketEvent(kSocketRead, channel);
    } else if (peek == 0) {
      OnSocketEvent(kSocketClose, channel);
    } else if (peek != -EAGAIN && peek != -EWOULDBLOCK) {
      OnSocketEvent(MakeSocketNotification(kSocketClose, -peek), channel);
    }
    return;
  }
  if (readiness & kSocketErrorOrHangUp) {
    OnSocketEvent(MakeSocketNotification(kSocketClose, socket_.PendingError()), channel);
  }
}

bool LinkLayer::ServiceSocket(int timeout_ms, std::uint16_t channel) {
  if (Channel(channel) == nullptr || !socket_.IsOpen()) return false;
  pollfd pfd{socket_.fd(), SocketPollEvents(), 0};
  int rc;
  do {
    rc = ::poll(&pfd, 1, timeout_ms);
  } while (rc < 0 && errno == EINTR);
  if (rc <= 0) return false;
  unsigned readiness = 0;
  if (pfd.revents & POLLIN) readiness |= kSocketReadable;
  if (pfd.revents & POLLOUT) readiness |= kSocketWritable;
  if (pfd.revents & (POLLERR | POLLHUP | POLLNVAL)) readiness |= kSocketErrorOrHangUp;
  HandleSocketReadiness(readiness, channel);
  return true;
}

}  // namespace tarvik
