#pragma once

#include <memory>
#include <optional>
#include <string>

#include "krcommon/clock.h"
#include "krsim/hayes_modem.h"
#include "krsim/line_io.h"
#include "krsim/session.h"
#include "krsim/sim_config.h"
#include "krsim/transcript.h"
#include "krsim/unit_model.h"

namespace krsim {

struct ServerOptions {
  enum class Line { kTcp, kPty, kModem };
  Line line = Line::kTcp;
  int port = 0;               // TCP: 0 picks a free port
  std::string link;           // pty and modem: a symbolic link to the pseudo-terminal
  bool pace = false;          // pty and modem: send no faster than the line rate allows
  double max_run_time_s = 0;  // 0: until SIGTERM, SIGINT or "quit"
  std::string log_path;
  int trigger_recorder = 1;    // the recorder SIGUSR1 gives a new event
  double trigger_every_s = 0;  // > 0: that recorder records a new event this often
  bool control_from_stdin = true;
};

// The simulator's main loop: one poll() over the line (listening socket and client, or the
// pseudo-terminal), the signal pipe and the control lines on stdin; one client at a time.
//
// Prints, flushed, for whoever started it: "PORT <n>" or "PTY <path>" once the line is up,
// "EVENT ..." for each new event, and the summary lines "SUMMARY <name>: <count>" when it ends.
class SimServer final : public SessionHost, public ModemHost {
 public:
  SimServer(const SimConfig& config, ServerOptions options);
  ~SimServer() override;

  // Runs until stopped; the process exit code.
  int Run();

  // SessionHost
  void Send(std::string_view bytes) override;
  void Break() override;
  void LineRateChanged(int baud) override;
  // ModemHost
  void ToLine(std::string_view bytes) override;
  void ToUnit(std::string_view bytes) override;
  void CarrierChanged(bool up) override;

 private:
  bool OpenLine(std::string& error);
  void Loop();
  int PollTimeoutMs(TimePoint now) const;
  SteadyClock::duration TriggerPeriod() const;
  void OnLineReadable(TimePoint now);
  void OnListenerReadable(TimePoint now);
  void OnSignal(int signal_number, TimePoint now);
  void OnControlLine(const std::string& line, TimePoint now);
  void Trigger(int recorder);
  void DropClient();
  void PrintSummary();
  void Say(const std::string& line);
  int LineFd() const;

  SimConfig config_;
  ServerOptions options_;
  kr::SystemClock clock_;
  FaultInjector faults_;
  Transcript transcript_;
  SessionStats stats_;
  UnitModel unit_;
  Session session_;
  std::unique_ptr<HayesModem> modem_;
  TcpListener listener_;
  PtyLine pty_;
  int client_ = -1;
  int line_baud_;
  OutputQueue out_;
  std::string control_input_;
  bool stdin_open_ = true;
  bool stopping_ = false;
  std::optional<TimePoint> stop_at_;
  std::optional<TimePoint> next_trigger_;
};

}  // namespace krsim
