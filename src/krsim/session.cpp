#include "krsim/session.h"

#include <algorithm>

namespace krsim {

std::vector<std::string> SessionStats::Summary() const {
  std::vector<std::string> lines;
  auto add = [&](const char* name, int value) {
    lines.push_back(std::string(name) + ": " + std::to_string(value));
  };
  add("connections", connections);
  add("requests", requests);
  add("replies", replies);
  add("bad frames", bad_frames);
  add("probes", probes);
  add("cancels", cancels);
  add("blocks sent", blocks_sent);
  add("blocks repeated", blocks_repeated);
  add("transfers completed", transfers_completed);
  add("transfers abandoned", transfers_abandoned);
  add("bytes at a wrong line rate", wrong_rate_bytes);
  return lines;
}

Session::Session(UnitModel& unit, FaultInjector& faults, Transcript& transcript, SessionStats& stats,
                 SessionHost& host, int transfer_idle_timeout_ms)
    : unit_(unit),
      faults_(faults),
      transcript_(transcript),
      stats_(stats),
      host_(host),
      idle_timeout_(transfer_idle_timeout_ms) {}

void Session::Open() {
  open_ = true;
  parser_.Reset();
  pending_.clear();
  busy_until_.reset();
  sender_.Stop();
  unit_.ResetSession();
  ++stats_.connections;
  transcript_.Note("connection opened");
}

void Session::Close() {
  if (!open_) return;
  if (sender_.Active()) EndTransfer(false, "connection closed");
  open_ = false;
  pending_.clear();
  busy_until_.reset();
  transcript_.Note("connection closed");
}

void Session::OnBytes(std::string_view bytes, TimePoint now) {
  if (!open_) return;
  OnTimer(now);
  while (!bytes.empty() && open_) {
    if (sender_.Active()) {
      TransferBytes(bytes, now);
      continue;
    }
    std::vector<InboundToken> tokens;
    parser_.Feed(bytes, tokens);
    bytes = {};
    for (const InboundToken& token : tokens) {
      if (!open_) break;
      HandleToken(token, now);
    }
  }
}

void Session::HandleToken(const InboundToken& token, TimePoint now) {
  transcript_.Received(token.raw);
  switch (token.kind) {
    case InboundToken::Kind::kProbe:
      ++stats_.probes;
      Answer(Reply::Unknown(), false, now);  // "?": the PC's rate is right
      return;
    case InboundToken::Kind::kCancel:
      ++stats_.cancels;
      return;
    case InboundToken::Kind::kBadChecksum:
      ++stats_.bad_frames;
      transcript_.Note("checksum wrong, frame ignored");
      return;
    case InboundToken::Kind::kOverlong:
      ++stats_.bad_frames;
      transcript_.Note("frame too long, ignored");
      return;
    case InboundToken::Kind::kFrame:
      HandleFrame(token, now);
      return;
  }
}

void Session::HandleFrame(const InboundToken& token, TimePoint now) {
  ++stats_.requests;
  Request request;
  if (busy_until_ && now < *busy_until_) {
    // Still busy with a slow write: the unit asks the PC to go on waiting.
    Reply wait = Reply::Of(Reply::Kind::kWait);
    wait.wait_minutes = busy_minutes_;
    Answer(wait, token.unchecked, now);
    return;
  }
  if (!DecodeRequest(token.body, token.unchecked, request)) {
    Answer(Reply::Unknown(), token.unchecked, now);
    return;
  }
  Reply reply = unit_.Handle(request);
  if (reply.kind != Reply::Kind::kWait) {
    Answer(std::move(reply), request.free_form, now);
    return;
  }
  transcript_.Note("fault: slow write, busy for " + std::to_string(reply.busy_seconds) + " s");
  busy_until_ = now + std::chrono::seconds(reply.busy_seconds);
  busy_minutes_ = reply.wait_minutes;
  Reply done = reply;
  done.kind = Reply::Kind::kAck;
  Answer(reply, request.free_form, now);
  Schedule(*busy_until_, EncodeReply(done, request.free_form), done);
}

void Session::Answer(Reply reply, bool free_form, TimePoint now) {
  if (reply.kind == Reply::Kind::kSilent) {
    transcript_.Note("no answer: the recorder is offline");
    return;
  }
  if (faults_.DropNextReply()) {
    transcript_.Note("fault: reply dropped");
    return;
  }
  const int delay_ms = faults_.DelayNextReplyMs();
  if (delay_ms > 0) transcript_.Note("fault: reply held back " + std::to_string(delay_ms) + " ms");
  std::string bytes = EncodeReply(reply, free_form);
  Schedule(now + Millis(delay_ms), std::move(bytes), std::move(reply));
  OnTimer(now);
}

void Session::Schedule(TimePoint due, std::string bytes, Reply reply) {
  pending_.push_back(Pending{due, std::move(bytes), std::move(reply)});
}

void Session::Deliver(Pending pending, TimePoint now) {
  transcript_.Sent(pending.bytes);
  Emit(pending.bytes);
  ++stats_.replies;
  if (!pending.reply.transfer.empty()) {
    sender_.Start(std::move(pending.reply.transfer));
    last_block_sent_ = -1;
    transfer_recorder_ = pending.reply.transfer_recorder;
    transfer_file_ = pending.reply.transfer_file;
    last_transfer_activity_ = now;
    transcript_.Note("block transfer of " + std::to_string(sender_.BlockCount()) +
                     " blocks, waiting for NAK");
  }
  if (pending.reply.new_baud > 0) {
    transcript_.Note("line rate now " + std::to_string(pending.reply.new_baud));
    host_.LineRateChanged(pending.reply.new_baud);
  }
}

void Session::OnTimer(TimePoint now) {
  while (open_) {
    auto next = std::min_element(pending_.begin(), pending_.end(),
                                 [](const Pending& a, const Pending& b) { return a.due < b.due; });
    if (next == pending_.end() || next->due > now) break;
    Pending due = std::move(*next);
    pending_.erase(next);
    Deliver(std::move(due), now);
  }
  if (busy_until_ && now >= *busy_until_) busy_until_.reset();
  if (sender_.Active() && now - last_transfer_activity_ >= idle_timeout_) {
    EndTransfer(false, "the PC stopped answering");
  }
}

std::optional<TimePoint> Session::NextDeadline() const {
  std::optional<TimePoint> next;
  auto consider = [&](TimePoint t) {
    if (!next || t < *next) next = t;
  };
  for (const Pending& p : pending_) consider(p.due);
  if (busy_until_) consider(*busy_until_);
  if (sender_.Active()) consider(last_transfer_activity_ + idle_timeout_);
  return next;
}

void Session::TransferBytes(std::string_view& bytes, TimePoint now) {
  while (!bytes.empty() && sender_.Active() && open_) {
    if (bytes.front() == '(') {
      // The PC has moved on (it reads only the header of an event this way).
      EndTransfer(false, "the PC sent a new request");
      return;
    }
    const auto byte = static_cast<std::uint8_t>(bytes.front());
    bytes.remove_prefix(1);
    transcript_.Received(std::string_view(reinterpret_cast<const char*>(&byte), 1));
    last_transfer_activity_ = now;
    switch (sender_.OnByte(byte)) {
      case BlockSender::Action::kNone:
        break;
      case BlockSender::Action::kSendBlock:
        SendBlock(now);
        break;
      case BlockSender::Action::kSendEot:
        SendEot();
        break;
      case BlockSender::Action::kDone:
        NoteBlockPhase(now);
        EndTransfer(true, "completed");
        break;
      case BlockSender::Action::kAbort:
        EndTransfer(false, byte == kCan ? "cancelled by the PC" : "too many repeats");
        break;
    }
  }
}

void Session::SendBlock(TimePoint now) {
  const int index = sender_.BlockIndex();
  if (last_block_sent_ < 0) first_block_at_ = now;
  if (index == last_block_sent_) ++stats_.blocks_repeated;
  last_block_sent_ = index;
  const bool corrupt = faults_.CorruptNextBlock();
  const std::string block = sender_.Block(index, corrupt);
  transcript_.Line("TX", "block " + std::to_string(index + 1) + " of " +
                             std::to_string(sender_.BlockCount()) + " (132 bytes)" +
                             (corrupt ? ", fault: checksum corrupted" : ""));
  Emit(block);
  ++stats_.blocks_sent;
  if (faults_.BreakAfterBlock()) {
    transcript_.Note("fault: connection broken after " + std::to_string(stats_.blocks_sent) + " blocks");
    EndTransfer(false, "connection broken");
    host_.Break();
  }
}

void Session::SendEot() {
  const char eot = static_cast<char>(kEot);
  transcript_.Sent(std::string_view(&eot, 1));
  Emit(std::string_view(&eot, 1));
}

void Session::EndTransfer(bool completed, std::string_view why) {
  sender_.Stop();
  if (completed) {
    ++stats_.transfers_completed;
    unit_.TransferDone(transfer_recorder_, transfer_file_);
  } else {
    ++stats_.transfers_abandoned;
  }
  transcript_.Note("block transfer ended: " + std::string(why));
}

// From the first block sent to the PC's last ACK: what the line and the PC's block path achieve,
// without the commands around the transfer.
void Session::NoteBlockPhase(TimePoint now) {
  const auto micros = std::chrono::duration_cast<std::chrono::microseconds>(now - first_block_at_).count();
  transcript_.Note("block phase: " + std::to_string(sender_.BlockCount()) + " blocks in " +
                   std::to_string(micros) + " us");
}

void Session::Emit(std::string_view bytes) {
  host_.Send(bytes);
}

}  // namespace krsim
