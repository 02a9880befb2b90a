#include "krsim/sim_server.h"

#include <fcntl.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <csignal>
#include <cstdio>
#include <vector>

namespace krsim {

namespace {

// Signal handlers may only write a byte into a pipe; the loop reads it. The pipe is the one piece of
// process-wide state, because signals are process-wide.
int g_signal_pipe[2] = {-1, -1};

extern "C" void OnSignalRaised(int signal_number) {
  const int saved = errno;
  const auto byte = static_cast<unsigned char>(signal_number);
  [[maybe_unused]] const ssize_t ignored = ::write(g_signal_pipe[1], &byte, 1);
  errno = saved;
}

bool InstallSignals() {
  if (::pipe(g_signal_pipe) != 0) return false;
  for (int fd : g_signal_pipe) fcntl(fd, F_SETFL, fcntl(fd, F_GETFL, 0) | O_NONBLOCK);
  struct sigaction action {};
  action.sa_handler = OnSignalRaised;
  sigemptyset(&action.sa_mask);
  for (int s : {SIGTERM, SIGINT, SIGUSR1, SIGUSR2}) sigaction(s, &action, nullptr);
  std::signal(SIGPIPE, SIG_IGN);
  return true;
}

void RemoveSignals() {
  for (int s : {SIGTERM, SIGINT, SIGUSR1, SIGUSR2}) std::signal(s, SIG_DFL);
  for (int& fd : g_signal_pipe) {
    if (fd >= 0) ::close(fd);
    fd = -1;
  }
}

constexpr int kMaxPollMs = 1000;
constexpr std::size_t kMaxControlLine = 4096;
// A client that sends but never reads is cut off before its replies fill our memory.
constexpr std::size_t kMaxUnreadOutput = 1 << 20;

}  // namespace

SimServer::SimServer(const SimConfig& config, ServerOptions options)
    : config_(config),
      options_(std::move(options)),
      faults_(config.faults),
      unit_(config_, faults_, clock_),
      session_(unit_, faults_, transcript_, stats_, *this, config.transfer_idle_timeout_ms),
      line_baud_(config.baud) {}

SimServer::~SimServer() {
  DropClient();
  RemoveSignals();
}

void SimServer::Say(const std::string& line) {
  std::fputs((line + "\n").c_str(), stdout);
  std::fflush(stdout);
}

int SimServer::LineFd() const {
  return options_.line == ServerOptions::Line::kTcp ? client_ : pty_.fd();
}

bool SimServer::OpenLine(std::string& error) {
  if (options_.line == ServerOptions::Line::kTcp) {
    if (!listener_.Listen(options_.port, error)) return false;
    Say("PORT " + std::to_string(listener_.port()));
    return true;
  }
  if (!pty_.Open(options_.link, config_.baud, error)) return false;
  if (options_.pace) out_.set_pacing(config_.baud);
  if (options_.line == ServerOptions::Line::kModem) {
    modem_ = std::make_unique<HayesModem>(config_.modem, *this);
  } else {
    session_.Open();  // a serial line is always there
  }
  Say("PTY " + pty_.path());
  return true;
}

int SimServer::Run() {
  if (!options_.log_path.empty() && !transcript_.Open(options_.log_path)) {
    std::fprintf(stderr, "krsim: cannot write the transcript %s\n", options_.log_path.c_str());
    return 1;
  }
  std::string error;
  if (!InstallSignals() || !OpenLine(error)) {
    std::fprintf(stderr, "krsim: %s\n", error.empty() ? "cannot set up signal handling" : error.c_str());
    return 1;
  }
  if (options_.max_run_time_s > 0) {
    stop_at_ = SteadyClock::now() +
               std::chrono::milliseconds(static_cast<long long>(options_.max_run_time_s * 1000));
  }
  stdin_open_ = options_.control_from_stdin;
  if (options_.trigger_every_s > 0) next_trigger_ = SteadyClock::now() + TriggerPeriod();
  transcript_.Note("krsim started");
  Loop();
  session_.Close();
  transcript_.Note("krsim stopped");
  PrintSummary();
  return 0;
}

SteadyClock::duration SimServer::TriggerPeriod() const {
  return std::chrono::duration_cast<SteadyClock::duration>(
      std::chrono::duration<double>(options_.trigger_every_s));
}

int SimServer::PollTimeoutMs(TimePoint now) const {
  std::optional<TimePoint> next = session_.NextDeadline();
  auto consider = [&](std::optional<TimePoint> t) {
    if (t && (!next || *t < *next)) next = t;
  };
  if (modem_) consider(modem_->NextDeadline());
  consider(out_.NextRelease());
  consider(stop_at_);
  consider(next_trigger_);
  if (!next) return kMaxPollMs;
  const auto wait = std::chrono::duration_cast<std::chrono::milliseconds>(*next - now).count() + 1;
  return static_cast<int>(std::clamp<long long>(wait, 0, kMaxPollMs));
}

void SimServer::Loop() {
  while (!stopping_) {
    TimePoint now = SteadyClock::now();
    std::vector<pollfd> fds;
    fds.push_back({g_signal_pipe[0], POLLIN, 0});
    const bool watch_stdin = stdin_open_;
    if (watch_stdin) fds.push_back({STDIN_FILENO, POLLIN, 0});
    if (options_.line == ServerOptions::Line::kTcp) fds.push_back({listener_.fd(), POLLIN, 0});
    const int line = LineFd();
    if (line >= 0) {
      fds.push_back({line, static_cast<short>(POLLIN | (out_.WantsWritable(now) ? POLLOUT : 0)), 0});
    }
    if (::poll(fds.data(), fds.size(), PollTimeoutMs(now)) < 0 && errno != EINTR) break;
    now = SteadyClock::now();
    for (const pollfd& p : fds) {
      if (p.revents == 0) continue;
      if (p.fd == g_signal_pipe[0]) {
        unsigned char signal_number = 0;
        while (::read(g_signal_pipe[0], &signal_number, 1) == 1) OnSignal(signal_number, now);
      } else if (watch_stdin && p.fd == STDIN_FILENO) {
        char buffer[256];
        const ssize_t n = ::read(STDIN_FILENO, buffer, sizeof buffer);
        if (n <= 0) {
          stdin_open_ = false;
          continue;
        }
        control_input_.append(buffer, static_cast<std::size_t>(n));
        if (control_input_.size() > kMaxControlLine && control_input_.find('\n') == std::string::npos) {
          control_input_.clear();  // no line is that long: not a control command
        }
        for (std::size_t eol; (eol = control_input_.find('\n')) != std::string::npos;) {
          const std::string text = control_input_.substr(0, eol);
          control_input_.erase(0, eol + 1);
          OnControlLine(text, now);
        }
      } else if (options_.line == ServerOptions::Line::kTcp && p.fd == listener_.fd()) {
        OnListenerReadable(now);
      } else if (p.fd == line && (p.revents & (POLLIN | POLLHUP | POLLERR))) {
        OnLineReadable(now);
      }
    }
    session_.OnTimer(now);
    if (modem_) modem_->OnTimer(now);
    if (LineFd() >= 0 && !out_.Flush(LineFd(), now) && options_.line == ServerOptions::Line::kTcp)
      DropClient();
    if (next_trigger_ && now >= *next_trigger_) {
      Trigger(options_.trigger_recorder);
      next_trigger_ = now + TriggerPeriod();
    }
    if (stop_at_ && now >= *stop_at_) {
      transcript_.Note("maximum run time reached");
      stopping_ = true;
    }
  }
}

void SimServer::OnListenerReadable(TimePoint /*now*/) {
  for (int fd; (fd = listener_.Accept()) >= 0;) {
    if (client_ >= 0) {
      // One client at a time: a second one is turned away at once rather than left hanging.
      transcript_.Note("second connection refused");
      ::close(fd);
      continue;
    }
    client_ = fd;
    out_.Clear();
    session_.Open();
  }
}

void SimServer::OnLineReadable(TimePoint now) {
  char buffer[1024];
  const ssize_t n = ::read(LineFd(), buffer, sizeof buffer);
  if (n < 0 && (errno == EAGAIN || errno == EINTR)) return;
  if (n <= 0) {
    if (options_.line == ServerOptions::Line::kTcp) DropClient();
    return;
  }
  const std::string_view bytes(buffer, static_cast<std::size_t>(n));
  if (modem_) {
    modem_->FromLine(bytes, now);
    return;
  }
  if (options_.line == ServerOptions::Line::kPty) {
    const int pc_baud = pty_.PcBaud();
    if (pc_baud != line_baud_) {
      // At another rate the unit would see only garbage, so it does not answer.
      stats_.wrong_rate_bytes += static_cast<int>(n);
      transcript_.Note("ignored " + std::to_string(n) + " bytes sent at " + std::to_string(pc_baud) +
                       " baud; the unit is at " + std::to_string(line_baud_));
      return;
    }
  }
  session_.OnBytes(bytes, now);
}

void SimServer::OnSignal(int signal_number, TimePoint now) {
  switch (signal_number) {
    case SIGTERM:
    case SIGINT:
      stopping_ = true;
      break;
    case SIGUSR1:
      Trigger(options_.trigger_recorder);
      break;
    case SIGUSR2:
      if (modem_) modem_->Ring(now);
      break;
    default:
      break;
  }
}

void SimServer::OnControlLine(const std::string& text, TimePoint now) {
  char word[32] = {};
  int number = options_.trigger_recorder;
  const int fields = std::sscanf(text.c_str(), "%31s %d", word, &number);
  const std::string command = fields >= 1 ? word : "";
  if (command.empty()) return;
  if (command == "trigger") {
    Trigger(number);
  } else if (command == "ring") {
    if (modem_) modem_->Ring(now);
    Say(modem_ ? "RING" : "ERROR there is no modem on this line");
  } else if (command == "quit") {
    stopping_ = true;
  } else if (command == "status") {
    std::string line = "STATUS logged_in=" + std::to_string(unit_.logged_in() ? 1 : 0) +
                       " selected=" + std::to_string(unit_.selected());
    for (const SimRecorder& r : unit_.recorders()) {
      line += " kr" + std::to_string(r.number()) + "=" + std::to_string(r.store().Count()) + "/" +
              std::to_string(r.store().Highest());
    }
    Say(line);
  } else {
    Say("ERROR unknown control command \"" + command + "\" (trigger [n], ring, status, quit)");
  }
}

void SimServer::Trigger(int recorder) {
  std::string message;
  const bool ok = unit_.Trigger(recorder, message);
  transcript_.Note(message);
  Say((ok ? "EVENT " : "ERROR ") + message);
}

void SimServer::Send(std::string_view bytes) {
  if (modem_) {
    modem_->FromUnit(bytes);
    return;
  }
  if (LineFd() < 0) return;
  if (options_.line == ServerOptions::Line::kTcp && out_.Size() > kMaxUnreadOutput) {
    transcript_.Note("the client reads nothing; connection closed");
    DropClient();
    return;
  }
  out_.Push(bytes, SteadyClock::now());
  if (!out_.Flush(LineFd(), SteadyClock::now()) && options_.line == ServerOptions::Line::kTcp) DropClient();
}

void SimServer::Break() {
  switch (options_.line) {
    case ServerOptions::Line::kTcp:
      DropClient();
      break;
    case ServerOptions::Line::kModem:
      modem_->RemoteHangup();
      break;
    case ServerOptions::Line::kPty:
      // A cable pulled and put back: the unit forgets the session and starts afresh.
      session_.Close();
      session_.Open();
      break;
  }
}

void SimServer::LineRateChanged(int baud) {
  line_baud_ = baud;
  if (options_.pace && options_.line != ServerOptions::Line::kTcp) out_.set_pacing(baud);
}

void SimServer::ToLine(std::string_view bytes) {
  out_.Push(bytes, SteadyClock::now());
  out_.Flush(pty_.fd(), SteadyClock::now());
}

void SimServer::ToUnit(std::string_view bytes) {
  session_.OnBytes(bytes, SteadyClock::now());
}

void SimServer::CarrierChanged(bool up) {
  transcript_.Note(up ? "modem connected" : "modem carrier lost");
  if (up) {
    session_.Open();
  } else {
    session_.Close();
  }
}

void SimServer::DropClient() {
  if (client_ < 0) return;
  ::shutdown(client_, SHUT_RDWR);
  ::close(client_);
  client_ = -1;
  out_.Clear();
  session_.Close();
}

void SimServer::PrintSummary() {
  for (const std::string& line : stats_.Summary()) Say("SUMMARY " + line);
  for (const std::string& line : faults_.Summary()) Say("SUMMARY " + line);
}

}  // namespace krsim
