#include "tarvik/engine/headless_host.h"

#include <poll.h>

#include <algorithm>
#include <cerrno>
#include <chrono>

#include "tarvik/link/tcp_socket.h"

namespace tarvik {

namespace {

long long NowMs() {
  return std::chrono::duration_cast<std::chrono::milliseconds>(
             std::chrono::steady_clock::now().time_since_epoch())
      .count();
}

}  // namespace

HeadlessHost::HeadlessHost(LinkLayer& link, OperationEngine& engine, int polling_ms)
    : link_(link), engine_(engine), polling_ms_(std::max(polling_ms, 1)) {
  if (wake_.Create() == 0) {
    link_.SetRepaintRequest([this](std::uint16_t) { wake_.Signal(); });
  }
}

void HeadlessHost::WaitUntil(long long deadline_ms) {
  for (;;) {
    const long long now = NowMs();
    if (now >= deadline_ms) return;
    pollfd fds[2];
    nfds_t count = 0;
    const int socket_fd = link_.SocketFd();
    const short socket_events = link_.SocketPollEvents();
    if (socket_fd >= 0 && socket_events != 0) fds[count++] = {socket_fd, socket_events, 0};
    const bool has_wake = wake_.IsValid();
    if (has_wake) fds[count++] = {wake_.fd(), POLLIN, 0};
    const int rc = ::poll(fds, count, static_cast<int>(deadline_ms - now));
    if (rc < 0 && errno == EINTR) continue;
    if (rc <= 0) return;
    for (nfds_t i = 0; i < count; ++i) {
      if (fds[i].revents == 0) continue;
      if (has_wake && fds[i].fd == wake_.fd()) {
        wake_.Drain();
        continue;
      }
      unsigned readiness = 0;
      if (fds[i].revents & POLLIN) readiness |= kSocketReadable;
      if (fds[i].revents & POLLOUT) readiness |= kSocketWritable;
      if (fds[i].revents & (POLLERR | POLLHUP | POLLNVAL)) readiness |= kSocketErrorOrHangUp;
      link_.HandleSocketReadiness(readiness, 0);
    }
  }
}

bool HeadlessHost::RunUntil(const std::function<bool()>& done, long long max_ticks) {
  long long next_tick = NowMs() + polling_ms_;
  for (long long run = 0; run < max_ticks; ++run) {
    if (done()) return true;
    WaitUntil(next_tick);
    engine_.Tick();
    ++ticks_;
    // A host that fell behind (a slow disk, a stopped process) starts afresh rather than firing a
    // burst of ticks that would shorten every time-out.
    next_tick = std::max(next_tick + polling_ms_, NowMs());
  }
  return done();
}

bool HeadlessHost::RunUntilIdle(long long max_ticks) {
  return RunUntil([this] { return engine_.idle(); }, max_ticks);
}

}  // namespace tarvik
