#include "krsim/line_io.h"

#include <arpa/inet.h>
#include <fcntl.h>
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <sys/socket.h>
#include <termios.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <filesystem>

namespace krsim {

namespace {

struct SpeedEntry {
  speed_t speed;
  int baud;
};
constexpr SpeedEntry kSpeeds[] = {{B300, 300},     {B1200, 1200},   {B2400, 2400},
                                  {B4800, 4800},   {B9600, 9600},   {B19200, 19200},
                                  {B38400, 38400}, {B57600, 57600}, {B115200, 115200}};

std::chrono::nanoseconds ByteTime(int baud) {
  return std::chrono::nanoseconds(10'000'000'000LL / baud);
}

bool SetNonBlocking(int fd) {
  const int flags = fcntl(fd, F_GETFL, 0);
  return flags >= 0 && fcntl(fd, F_SETFL, flags | O_NONBLOCK) == 0;
}

std::string SystemError(const std::string& what) {
  return what + ": " + std::strerror(errno);
}

}  // namespace

int SpeedToBaud(unsigned speed) {
  for (const SpeedEntry& e : kSpeeds) {
    if (e.speed == speed) return e.baud;
  }
  return 0;
}

unsigned BaudToSpeed(int baud) {
  for (const SpeedEntry& e : kSpeeds) {
    if (e.baud == baud) return e.speed;
  }
  return B0;
}

// ---- OutputQueue ----

void OutputQueue::Push(std::string_view bytes, TimePoint now) {
  if (data_.empty() && next_release_ < now) next_release_ = now;
  data_.append(bytes);
}

std::size_t OutputQueue::Due(TimePoint now) const {
  if (baud_ <= 0) return data_.size();
  if (now < next_release_) return 0;
  const auto elapsed = now - next_release_;
  const auto bytes = static_cast<std::size_t>(elapsed / ByteTime(baud_)) + 1;
  return std::min(bytes, data_.size());
}

bool OutputQueue::Flush(int fd, TimePoint now) {
  const std::size_t due = Due(now);
  if (due == 0) return true;
  const ssize_t written = ::write(fd, data_.data(), due);
  if (written < 0) return errno == EAGAIN || errno == EWOULDBLOCK || errno == EINTR;
  data_.erase(0, static_cast<std::size_t>(written));
  if (baud_ > 0) next_release_ += ByteTime(baud_) * written;
  return true;
}

std::optional<TimePoint> OutputQueue::NextRelease() const {
  if (data_.empty() || baud_ <= 0) return std::nullopt;
  return next_release_;
}

bool OutputQueue::WantsWritable(TimePoint now) const {
  return Due(now) > 0;
}

// ---- PtyLine ----

PtyLine::~PtyLine() {
  Close();
}

bool PtyLine::Open(const std::string& link, int baud, std::string& error) {
  master_ = posix_openpt(O_RDWR | O_NOCTTY);
  if (master_ < 0 || grantpt(master_) != 0 || unlockpt(master_) != 0) {
    error = SystemError("cannot create a pseudo-terminal");
    Close();
    return false;
  }
  path_ = ptsname(master_);
  slave_ = ::open(path_.c_str(), O_RDWR | O_NOCTTY);
  termios settings{};
  if (slave_ < 0 || tcgetattr(slave_, &settings) != 0) {
    error = SystemError("cannot open " + path_);
    Close();
    return false;
  }
  cfmakeraw(&settings);
  cfsetispeed(&settings, BaudToSpeed(baud));
  cfsetospeed(&settings, BaudToSpeed(baud));
  if (tcsetattr(slave_, TCSANOW, &settings) != 0 || !SetNonBlocking(master_)) {
    error = SystemError("cannot set up " + path_);
    Close();
    return false;
  }
  if (!link.empty()) {
    std::error_code ec;
    if (std::filesystem::is_symlink(link, ec)) std::filesystem::remove(link, ec);
    std::filesystem::create_symlink(path_, link, ec);
    if (ec) {
      error = "cannot create the link " + link + ": " + ec.message();
      Close();
      return false;
    }
    link_ = link;
  }
  return true;
}

void PtyLine::Close() {
  if (!link_.empty()) {
    std::error_code ec;
    std::filesystem::remove(link_, ec);
    link_.clear();
  }
  if (slave_ >= 0) ::close(slave_);
  if (master_ >= 0) ::close(master_);
  slave_ = master_ = -1;
}

int PtyLine::PcBaud() const {
  termios settings{};
  if (slave_ < 0 || tcgetattr(slave_, &settings) != 0) return 0;
  return SpeedToBaud(cfgetospeed(&settings));
}

// ---- TcpListener ----

TcpListener::~TcpListener() {
  if (fd_ >= 0) ::close(fd_);
}

bool TcpListener::Listen(int port, std::string& error) {
  fd_ = ::socket(AF_INET, SOCK_STREAM, 0);
  if (fd_ < 0) {
    error = SystemError("cannot create a socket");
    return false;
  }
  const int yes = 1;
  setsockopt(fd_, SOL_SOCKET, SO_REUSEADDR, &yes, sizeof yes);
  sockaddr_in address{};
  address.sin_family = AF_INET;
  address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);  // never reachable from other machines
  address.sin_port = htons(static_cast<std::uint16_t>(port));
  if (::bind(fd_, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0 || ::listen(fd_, 4) != 0 ||
      !SetNonBlocking(fd_)) {
    error = SystemError("cannot listen on 127.0.0.1 port " + std::to_string(port));
    return false;
  }
  socklen_t length = sizeof address;
  getsockname(fd_, reinterpret_cast<sockaddr*>(&address), &length);
  port_ = ntohs(address.sin_port);
  return true;
}

int TcpListener::Accept() {
  const int client = ::accept(fd_, nullptr, nullptr);
  if (client < 0) return -1;
  if (!SetNonBlocking(client)) {
    ::close(client);
    return -1;
  }
  // A unit answers each frame at once; no coalescing of small writes.
  int on = 1;
  ::setsockopt(client, IPPROTO_TCP, TCP_NODELAY, &on, sizeof on);
  return client;
}

}  // namespace krsim
