#include "tarvik/link/wake_event.h"

#include <sys/eventfd.h>
#include <unistd.h>

#include <cerrno>
#include <cstdint>

namespace tarvik {

int WakeEvent::Create() {
  Close();
  int fd = ::eventfd(0, EFD_CLOEXEC | EFD_NONBLOCK);
  if (fd < 0) return errno;
  fd_ = fd;
  return 0;
}

void WakeEvent::Signal() {
  if (fd_ < 0) return;
  const std::uint64_t one = 1;
  // A full counter (EAGAIN) still leaves the descriptor readable, which is all the reader needs.
  while (::write(fd_, &one, sizeof one) < 0 && errno == EINTR) {
  }
}

void WakeEvent::Drain() {
  if (fd_ < 0) return;
  std::uint64_t value;
  while (::read(fd_, &value, sizeof value) < 0 && errno == EINTR) {
  }
}

void WakeEvent::Close() {
  if (fd_ >= 0) ::close(fd_);
  fd_ = -1;
}

}  // namespace tarvik
