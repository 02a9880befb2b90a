#include "sim_process.h"

#include <arpa/inet.h>
#include <fcntl.h>
#include <netinet/in.h>
#include <poll.h>
#include <signal.h>
#include <sys/socket.h>
#include <sys/wait.h>
#include <termios.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

namespace krsim_test {

namespace {

int MillisLeft(Deadline deadline) {
  const auto left =
      std::chrono::duration_cast<std::chrono::milliseconds>(deadline - std::chrono::steady_clock::now());
  return left.count() < 0 ? 0 : static_cast<int>(left.count());
}

bool WaitReadable(int fd, Deadline deadline) {
  pollfd p{fd, POLLIN, 0};
  while (true) {
    const int r = ::poll(&p, 1, MillisLeft(deadline));
    if (r > 0) return true;
    if (r == 0) return false;
    if (errno != EINTR) return false;
  }
}

speed_t Speed(int baud) {
  switch (baud) {
    case 2400:
      return B2400;
    case 4800:
      return B4800;
    case 19200:
      return B19200;
    case 38400:
      return B38400;
    case 57600:
      return B57600;
    case 115200:
      return B115200;
    default:
      return B9600;
  }
}

}  // namespace

SimProcess::SimProcess(const std::vector<std::string>& args) {
  int out[2];
  int in[2];
  if (::pipe(out) != 0 || ::pipe(in) != 0) return;
  pid_ = ::fork();
  if (pid_ == 0) {
    ::dup2(out[1], STDOUT_FILENO);
    ::dup2(in[0], STDIN_FILENO);
    ::close(out[0]);
    ::close(in[1]);
    std::vector<char*> argv;
    std::string program = KRSIM_PATH;
    argv.push_back(program.data());
    std::vector<std::string> copy = args;
    for (std::string& a : copy) argv.push_back(a.data());
    argv.push_back(nullptr);
    ::execv(program.c_str(), argv.data());
    ::_exit(127);
  }
  ::close(out[1]);
  ::close(in[0]);
  out_ = out[0];
  in_ = in[1];
}

SimProcess::~SimProcess() {
  if (pid_ > 0 && exit_code_ == -1) Stop();
  if (out_ >= 0) ::close(out_);
  if (in_ >= 0) ::close(in_);
}

bool SimProcess::ReadLine(std::string& line, Deadline deadline) {
  while (true) {
    const std::size_t eol = buffer_.find('\n');
    if (eol != std::string::npos) {
      line = buffer_.substr(0, eol);
      buffer_.erase(0, eol + 1);
      lines_.push_back(line);
      return true;
    }
    if (out_ < 0 || !WaitReadable(out_, deadline)) return false;
    char chunk[512];
    const ssize_t n = ::read(out_, chunk, sizeof chunk);
    if (n <= 0) return false;
    buffer_.append(chunk, static_cast<std::size_t>(n));
  }
}

std::string SimProcess::WaitFor(std::string_view prefix, Deadline deadline) {
  std::string line;
  while (ReadLine(line, deadline)) {
    if (line.rfind(prefix, 0) == 0) return line.substr(prefix.size());
  }
  return "";
}

void SimProcess::Control(const std::string& line) {
  const std::string text = line + "\n";
  [[maybe_unused]] const ssize_t n = ::write(in_, text.data(), text.size());
}

void SimProcess::Signal(int signal_number) {
  if (pid_ > 0) ::kill(pid_, signal_number);
}

void SimProcess::Collect(Deadline deadline) {
  std::string line;
  while (ReadLine(line, deadline)) {
  }
}

int SimProcess::Wait(Deadline deadline) {
  if (pid_ <= 0) return exit_code_;
  while (std::chrono::steady_clock::now() < deadline) {
    int status = 0;
    if (::waitpid(pid_, &status, WNOHANG) == pid_) {
      pid_ = -1;
      exit_code_ = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
      Collect(In(std::chrono::milliseconds(2000)));
      return exit_code_;
    }
    // Keep the pipe drained while waiting, so that the process never blocks on its output.
    if (WaitReadable(out_, std::min(deadline, In(std::chrono::milliseconds(20))))) {
      char chunk[512];
      const ssize_t n = ::read(out_, chunk, sizeof chunk);
      if (n > 0) buffer_.append(chunk, static_cast<std::size_t>(n));
    }
  }
  return -1;
}

int SimProcess::Stop() {
  if (pid_ <= 0) return exit_code_;
  ::kill(pid_, SIGTERM);
  const int code = Wait(In(kGenerous));
  if (code == -1 && pid_ > 0) {
    ::kill(pid_, SIGKILL);
    ::waitpid(pid_, nullptr, 0);
    pid_ = -1;
  }
  return code;
}

Line::~Line() {
  if (fd_ >= 0) ::close(fd_);
}

int Line::ConnectTcp(int port) {
  const int fd = ::socket(AF_INET, SOCK_STREAM, 0);
  sockaddr_in address{};
  address.sin_family = AF_INET;
  address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  address.sin_port = htons(static_cast<std::uint16_t>(port));
  if (::connect(fd, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0) {
    ::close(fd);
    return -1;
  }
  return fd;
}

int Line::OpenSerial(const std::string& path, int baud) {
  const int fd = ::open(path.c_str(), O_RDWR | O_NOCTTY);
  if (fd < 0) return -1;
  termios t{};
  tcgetattr(fd, &t);
  cfmakeraw(&t);
  cfsetispeed(&t, Speed(baud));
  cfsetospeed(&t, Speed(baud));
  tcsetattr(fd, TCSANOW, &t);
  return fd;
}

bool Line::SetBaud(int baud) {
  termios t{};
  if (tcgetattr(fd_, &t) != 0) return false;
  cfsetispeed(&t, Speed(baud));
  cfsetospeed(&t, Speed(baud));
  return tcsetattr(fd_, TCSANOW, &t) == 0;
}

void Line::Send(std::string_view bytes) {
  [[maybe_unused]] const ssize_t n = ::write(fd_, bytes.data(), bytes.size());
}

bool Line::ReadUntil(std::string& received, Deadline deadline,
                     const std::function<bool(const std::string&)>& done) {
  while (!done(pending_)) {
    if (!WaitReadable(fd_, deadline)) return false;
    char chunk[512];
    const ssize_t n = ::read(fd_, chunk, sizeof chunk);
    if (n <= 0) return false;
    pending_.append(chunk, static_cast<std::size_t>(n));
  }
  received = std::move(pending_);
  pending_.clear();
  return true;
}

std::string Line::Reply(bool data, Deadline deadline) {
  std::string reply;
  auto complete_data = [](const std::string& r) {
    return !r.empty() && (r[0] != '*' || (r.size() >= 5 && r.back() == ')'));
  };
  auto complete_short = [](const std::string& r) { return !r.empty(); };
  ReadUntil(reply, deadline, data ? std::function<bool(const std::string&)>(complete_data) : complete_short);
  return reply;
}

std::string Line::Block(Deadline deadline) {
  std::string block;
  ReadUntil(block, deadline, [](const std::string& r) { return r == "\x04" || r.size() >= 132; });
  return block;
}

std::string Line::Until(std::string_view needle, Deadline deadline) {
  std::string text;
  ReadUntil(text, deadline, [needle](const std::string& r) { return r.find(needle) != std::string::npos; });
  return text;
}

bool Line::Closed(Deadline deadline) {
  while (WaitReadable(fd_, deadline)) {
    char chunk[512];
    const ssize_t n = ::read(fd_, chunk, sizeof chunk);
    if (n <= 0) return true;
  }
  return false;
}

}  // namespace krsim_test
