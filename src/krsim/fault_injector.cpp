#include "krsim/fault_injector.h"

#include <algorithm>

namespace krsim {

namespace {

bool EveryNth(int every, int& seen) {
  if (every <= 0) return false;
  ++seen;
  return seen % every == 0;
}

bool Listed(const std::vector<std::string>& codes, std::string_view code) {
  return std::find(codes.begin(), codes.end(), code) != codes.end();
}

}  // namespace

bool FaultInjector::CorruptNextBlock() {
  if (!EveryNth(settings_.corrupt_block_every, blocks_seen_)) return false;
  ++corrupted_blocks_;
  return true;
}

bool FaultInjector::DropNextReply() {
  if (!EveryNth(settings_.drop_reply_every, replies_seen_)) return false;
  ++dropped_replies_;
  return true;
}

int FaultInjector::DelayNextReplyMs() {
  if (settings_.late_reply_ms <= 0) return 0;
  if (!EveryNth(std::max(1, settings_.late_reply_every), delays_seen_)) return 0;
  ++late_replies_;
  return settings_.late_reply_ms;
}

bool FaultInjector::BreakAfterBlock() {
  ++blocks_sent_total_;
  if (broken_ || settings_.break_after_blocks <= 0) return false;
  if (blocks_sent_total_ < settings_.break_after_blocks) return false;
  broken_ = true;
  ++breaks_;
  return true;
}

bool FaultInjector::Refuses(std::string_view code) {
  if (!Listed(settings_.refuse_codes, code)) return false;
  ++refusals_;
  return true;
}

bool FaultInjector::IsSlow(std::string_view code) {
  if (!Listed(settings_.slow_codes, code)) return false;
  ++slow_writes_;
  return true;
}

bool FaultInjector::IsOffline(int recorder) const {
  const auto& list = settings_.offline_recorders;
  return std::find(list.begin(), list.end(), recorder) != list.end();
}

int FaultInjector::TotalFaults() const {
  return corrupted_blocks_ + dropped_replies_ + late_replies_ + breaks_ + refusals_ + slow_writes_ +
         offline_reports_;
}

std::vector<std::string> FaultInjector::Summary() const {
  std::vector<std::string> lines;
  auto add = [&](bool configured, const char* name, int count) {
    if (configured) lines.push_back(std::string("fault ") + name + ": " + std::to_string(count));
  };
  add(settings_.corrupt_block_every > 0, "corrupted blocks", corrupted_blocks_);
  add(settings_.drop_reply_every > 0, "dropped replies", dropped_replies_);
  add(settings_.late_reply_ms > 0, "late replies", late_replies_);
  add(settings_.break_after_blocks > 0, "broken connections", breaks_);
  add(!settings_.refuse_codes.empty(), "refused commands", refusals_);
  add(!settings_.slow_codes.empty(), "slow writes", slow_writes_);
  add(!settings_.offline_recorders.empty(), "offline reports", offline_reports_);
  return lines;
}

}  // namespace krsim
