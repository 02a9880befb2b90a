#include "tarvik/link/serial_port.h"

#include <fcntl.h>
#include <poll.h>
#include <sys/ioctl.h>
#include <termios.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>

#include "tarvik/link/serial_baud_linux.h"

namespace tarvik {

namespace {

// The rates termios has constants for; every other rate in range goes through the arbitrary-rate
// interface.
speed_t StandardSpeed(std::uint32_t baud) {
  switch (baud) {
    case 110:
      return B110;
    case 300:
      return B300;
    case 600:
      return B600;
    case 1200:
      return B1200;
    case 2400:
      return B2400;
    case 4800:
      return B4800;
    case 9600:
      return B9600;
    case 19200:
      return B19200;
    case 38400:
      return B38400;
    case 57600:
      return B57600;
    case 115200:
      return B115200;
    case 230400:
      return B230400;
    default:
      return B0;
  }
}

tcflag_t CharacterSize(std::uint8_t data_bits) {
  switch (data_bits) {
    case 5:
      return CS5;
    case 6:
      return CS6;
    case 7:
      return CS7;
    default:
      return CS8;
  }
}

tcflag_t ParityFlags(std::uint8_t parity) {
  switch (parity) {
    case 1:
      return PARENB | PARODD;
    case 2:
      return PARENB;
    case 3:
      return PARENB | PARODD | CMSPAR;
    case 4:
      return PARENB | CMSPAR;
    default:
      return 0;
  }
}

}  // namespace

SerialWriteTimeouts ComputeSerialWriteTimeouts(std::uint32_t baud) {
  // A rate of 0 is refused when it is applied; here it only must not divide by zero.
  const int per_mille = baud == 0 ? 0 : static_cast<int>(12000 / baud);
  return {per_mille + 1, per_mille + 2};
}

std::string DefaultSerialDevice(std::uint16_t com_port) {
  if (com_port == 0) return {};
  return "/dev/ttyS" + std::to_string(com_port - 1);
}

int SerialPort::Open(const std::string& path) {
  Close();
  int fd = ::open(path.c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
  if (fd < 0) return errno;
  // Not shared: a second program opening the same port would steal our replies.
  (void)::ioctl(fd, TIOCEXCL);
  fd_ = fd;
  return 0;
}

int SerialPort::Configure(const SerialSettings& settings) {
  if (fd_ < 0) return EBADF;
  if (settings.baud < kMinSerialBaud || settings.baud > kMaxSerialBaud) return EINVAL;
  if (settings.data_bits < 5 || settings.data_bits > 8) return EINVAL;
  if (settings.parity > 4 || (settings.stop_bits != 0 && settings.stop_bits != 2)) return EINVAL;

  termios tio{};
  if (::tcgetattr(fd_, &tio) != 0) return errno;
  ::cfmakeraw(&tio);
  tio.c_cflag &= ~(CSIZE | PARENB | PARODD | CMSPAR | CSTOPB | CRTSCTS);
  tio.c_cflag |= CLOCAL | CREAD | CharacterSize(settings.data_bits) | ParityFlags(settings.parity);
  if (settings.parity != 0) tio.c_iflag |= INPCK;
  if (settings.stop_bits == 2) tio.c_cflag |= CSTOPB;
  if (settings.handshake & 0x02) tio.c_cflag |= CRTSCTS;
  if (settings.handshake & 0x04) {
    tio.c_iflag |= IXON | IXOFF;
    tio.c_cc[VSTART] = 17;
    tio.c_cc[VSTOP] = 19;
  }
  // Reads return at once with whatever is queued; the reader thread waits in poll() instead.
  tio.c_cc[VMIN] = 0;
  tio.c_cc[VTIME] = 0;

  const speed_t standard = StandardSpeed(settings.baud);
  const speed_t speed = standard != B0 ? standard : B38400;
  ::cfsetispeed(&tio, speed);
  ::cfsetospeed(&tio, speed);
  if (::tcsetattr(fd_, TCSANOW, &tio) != 0) return errno;
  if (standard == B0) return SetArbitraryBaud(fd_, settings.baud);
  return 0;
}

int SerialPort::QueuedBytes(int& count) const {
  count = 0;
  if (::ioctl(fd_, FIONREAD, &count) != 0) return errno;
  return 0;
}

int SerialPort::Read(void* buffer, int maximum) {
  if (maximum <= 0) return 0;
  for (;;) {
    ssize_t n = ::read(fd_, buffer, static_cast<size_t>(maximum));
    if (n >= 0) return static_cast<int>(n);
    if (errno == EINTR) continue;
    if (errno == EAGAIN || errno == EWOULDBLOCK) return 0;
    return -errno;
  }
}

SerialPort::WriteResult SerialPort::Write(const void* bytes, int length, int deadline_ms, int& error) {
  using Clock = std::chrono::steady_clock;
  const auto deadline = Clock::now() + std::chrono::milliseconds(deadline_ms);
  const auto* p = static_cast<const unsigned char*>(bytes);
  int done = 0;
  error = 0;
  while (done < length) {
    ssize_t n = ::write(fd_, p + done, static_cast<size_t>(length - done));
    if (n > 0) {
      done += static_cast<int>(n);
      continue;
    }
    if (n < 0 && errno == EINTR) continue;
    if (n < 0 && errno != EAGAIN && errno != EWOULDBLOCK) {
      error = errno;
      return WriteResult::kFailed;
    }
    // The driver's queue is full: wait for room, but not beyond the write time-out.
    const auto left = std::chrono::ceil<std::chrono::milliseconds>(deadline - Clock::now()).count();
    if (left <= 0) return WriteResult::kTimedOut;
    pollfd pfd{fd_, POLLOUT, 0};
    if (::poll(&pfd, 1, static_cast<int>(left)) < 0 && errno != EINTR) {
      error = errno;
      return WriteResult::kFailed;
    }
    if (pfd.revents & POLLNVAL) {
      error = EBADF;
      return WriteResult::kFailed;
    }
  }
  return WriteResult::kComplete;
}

void SerialPort::SetDtr(bool on) {
  if (fd_ < 0) return;
  int bits = TIOCM_DTR;
  // Pseudo-terminals and some adapters have no modem lines (ENOTTY, EINVAL); that is fine.
  (void)::ioctl(fd_, on ? TIOCMBIS : TIOCMBIC, &bits);
}

void SerialPort::Purge() {
  if (fd_ >= 0) (void)::tcflush(fd_, TCIOFLUSH);
}

void SerialPort::Close() {
  if (fd_ < 0) return;
  ::close(fd_);
  fd_ = -1;
}

}  // namespace tarvik
