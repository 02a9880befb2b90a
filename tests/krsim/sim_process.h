#pragma once

#include <sys/types.h>

#include <chrono>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

// A krsim process for the tests, and a raw client for its lines. Every wait has a deadline; the
// process is stopped (SIGTERM, then SIGKILL) however the test ends.
namespace krsim_test {

using Deadline = std::chrono::steady_clock::time_point;
inline Deadline In(std::chrono::milliseconds ms) {
  return std::chrono::steady_clock::now() + ms;
}
inline constexpr std::chrono::milliseconds kGenerous{15000};

class SimProcess {
 public:
  explicit SimProcess(const std::vector<std::string>& args);
  ~SimProcess();
  SimProcess(const SimProcess&) = delete;
  SimProcess& operator=(const SimProcess&) = delete;

  // The next line of its standard output, or false at the deadline or its end.
  bool ReadLine(std::string& line, Deadline deadline);
  // Reads lines until one starts with `prefix`; the rest of that line, or "" at the deadline.
  std::string WaitFor(std::string_view prefix, Deadline deadline);
  void Control(const std::string& line);
  void Signal(int signal_number);
  // Stops it (SIGTERM) and collects its output; the exit code, -1 when it had to be killed.
  int Stop();
  // Waits for it to end by itself; the exit code, or -1 at the deadline.
  int Wait(Deadline deadline);
  const std::vector<std::string>& lines() const { return lines_; }

 private:
  void Collect(Deadline deadline);

  pid_t pid_ = -1;
  int out_ = -1;
  int in_ = -1;
  std::string buffer_;
  std::vector<std::string> lines_;
  int exit_code_ = -1;
};

// A byte stream to krsim (TCP socket or the PC's side of a pseudo-terminal) with deadline reads.
class Line {
 public:
  explicit Line(int fd) : fd_(fd) {}
  ~Line();
  Line(const Line&) = delete;
  Line& operator=(const Line&) = delete;

  static int ConnectTcp(int port);
  // Opens the pseudo-terminal raw at the given rate.
  static int OpenSerial(const std::string& path, int baud);
  bool SetBaud(int baud);

  void Send(std::string_view bytes);
  // Reads until `done(received)` holds; false at the deadline or when the peer closes.
  bool ReadUntil(std::string& received, Deadline deadline,
                 const std::function<bool(const std::string&)>& done);
  // One reply to a request: a data reply "*(...)", or the one-character answers "*", "E", "N", "?".
  std::string Reply(bool data, Deadline deadline);
  // Exactly n bytes (a 132-byte block) or a lone EOT.
  std::string Block(Deadline deadline);
  // Until the text contains `needle`.
  std::string Until(std::string_view needle, Deadline deadline);
  bool Closed(Deadline deadline);

 private:
  int fd_;
  std::string pending_;
};

}  // namespace krsim_test
