#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "krsim/block_sender.h"
#include "krsim/fault_injector.h"
#include "krsim/frame_codec.h"
#include "krsim/hayes_modem.h"
#include "krsim/transcript.h"
#include "krsim/unit_model.h"

namespace krsim {

// What the unit's side of one connection does to the line.
class SessionHost {
 public:
  virtual ~SessionHost() = default;
  virtual void Send(std::string_view bytes) = 0;
  // The configured break: the connection goes down (TCP closed, modem carrier lost, line silent).
  virtual void Break() = 0;
  // The unit answers at another rate from now on (after an Rs write).
  virtual void LineRateChanged(int baud) = 0;
};

// Counts for the exit summary.
struct SessionStats {
  int connections = 0;
  int requests = 0;
  int bad_frames = 0;
  int probes = 0;
  int cancels = 0;
  int replies = 0;
  int blocks_sent = 0;
  int blocks_repeated = 0;
  int transfers_completed = 0;
  int transfers_abandoned = 0;
  int wrong_rate_bytes = 0;  // bytes ignored because the PC's line rate was not the unit's

  std::vector<std::string> Summary() const;
};

// One connection's conversation: cuts the bytes into frames, lets the unit answer them, delivers
// the answers (late, or not at all, when a fault says so), and runs block transfers. Everything is
// driven by the caller's clock, so that it can be tested without sockets or sleeps.
class Session {
 public:
  Session(UnitModel& unit, FaultInjector& faults, Transcript& transcript, SessionStats& stats,
          SessionHost& host, int transfer_idle_timeout_ms);

  void Open();
  void Close();
  bool IsOpen() const { return open_; }
  bool InTransfer() const { return sender_.Active(); }

  void OnBytes(std::string_view bytes, TimePoint now);
  void OnTimer(TimePoint now);
  std::optional<TimePoint> NextDeadline() const;

 private:
  struct Pending {
    TimePoint due;
    std::string bytes;
    Reply reply;  // follow-ups: transfer, rate change
  };

  void HandleToken(const InboundToken& token, TimePoint now);
  void HandleFrame(const InboundToken& token, TimePoint now);
  void Answer(Reply reply, bool free_form, TimePoint now);
  void Schedule(TimePoint due, std::string bytes, Reply reply);
  void Deliver(Pending pending, TimePoint now);
  void TransferBytes(std::string_view& bytes, TimePoint now);
  void SendBlock(TimePoint now);
  void SendEot();
  void EndTransfer(bool completed, std::string_view why);
  void NoteBlockPhase(TimePoint now);
  void Emit(std::string_view bytes);

  UnitModel& unit_;
  FaultInjector& faults_;
  Transcript& transcript_;
  SessionStats& stats_;
  SessionHost& host_;
  Millis idle_timeout_;
  bool open_ = false;
  RequestParser parser_;
  std::vector<Pending> pending_;
  // Slow write under way: the final "*" is among the pending replies until then.
  std::optional<TimePoint> busy_until_;
  int busy_minutes_ = 0;
  // Block transfer
  BlockSender sender_;
  TimePoint last_transfer_activity_{};
  int transfer_recorder_ = 0;
  int transfer_file_ = 0;
  int last_block_sent_ = -1;
  TimePoint first_block_at_{};
};

}  // namespace krsim
