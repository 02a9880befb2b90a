#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace krsim {

// Faults an operator or a test asks for. 0 or an empty list switches a fault off.
struct FaultSettings {
  int corrupt_block_every = 0;            // every Nth data block sent goes out with a wrong checksum byte
  int drop_reply_every = 0;               // every Nth reply is not sent at all
  int late_reply_ms = 0;                  // replies are held back this long ...
  int late_reply_every = 1;               // ... every Nth of them (1: all)
  int break_after_blocks = 0;             // the connection breaks once, after this many data blocks
  std::vector<std::string> refuse_codes;  // commands answered "N" (exact codes, "MD", "Te")
  std::vector<int> offline_recorders;     // recorders shown as "O" in the HCU status strings
  std::vector<std::string> slow_codes;    // writes answered "W<minutes>" first, "*" later
  int slow_minutes = 1;                   // the minutes named in the "W" reply
  int slow_seconds = 3;                   // how long the slow write really takes
};

// Decides, request by request and block by block, whether a configured fault strikes, and counts
// every fault that did.
class FaultInjector {
 public:
  explicit FaultInjector(FaultSettings settings) : settings_(std::move(settings)) {}

  const FaultSettings& settings() const { return settings_; }

  // Each of these is asked once per event it concerns and counts the fault when it strikes.
  bool CorruptNextBlock();
  bool DropNextReply();
  int DelayNextReplyMs();
  // Asked after every data block sent; true once, when the configured number has been reached.
  bool BreakAfterBlock();
  bool Refuses(std::string_view code);
  bool IsSlow(std::string_view code);
  // Pure questions, not counted (the status strings count their "O" themselves).
  bool IsOffline(int recorder) const;
  void CountOfflineReport() { ++offline_reports_; }

  // Lines "fault <name>: <count>" for the exit summary, one per configured fault.
  std::vector<std::string> Summary() const;
  int TotalFaults() const;

 private:
  FaultSettings settings_;
  int blocks_seen_ = 0;
  int blocks_sent_total_ = 0;
  int replies_seen_ = 0;
  int delays_seen_ = 0;
  bool broken_ = false;
  int corrupted_blocks_ = 0;
  int dropped_replies_ = 0;
  int late_replies_ = 0;
  int breaks_ = 0;
  int refusals_ = 0;
  int slow_writes_ = 0;
  int offline_reports_ = 0;
};

}  // namespace krsim
