#include "tarvik/link/link_layer.h"

#include <algorithm>
#include <cerrno>
#include <cstring>

#include "kr_version.h"
#include "krcommon/text_util.h"
#include "tarvik/link/trace_texts.h"

namespace tarvik {

namespace {

// Copies text up to the first ";" into a fixed field; the position after the ";" or 0.
int CopyUpToSemicolon(char* field, std::size_t capacity, std::string_view text) {
  const std::size_t semicolon = text.find(';');
  kr::CopyTruncated(field, capacity, text.substr(0, semicolon));
  return semicolon == std::string_view::npos ? 0 : static_cast<int>(semicolon + 1);
}

// The caller's disconnect format must take exactly "%s %s %s %d" (flags, width and precision
// allowed); anything else is written as plain text instead of being handed to printf.
bool TakesDisconnectArguments(const char* format) {
  static constexpr char kExpected[] = {'s', 's', 's', 'd'};
  std::size_t found = 0;
  for (const char* p = format; *p != '\0'; ++p) {
    if (*p != '%') continue;
    ++p;
    if (*p == '%') continue;
    while (*p != '\0' && std::strchr("-+ #0123456789.", *p) != nullptr) ++p;
    if (*p == '\0' || found >= sizeof kExpected || *p != kExpected[found]) return false;
    ++found;
  }
  return found == sizeof kExpected;
}

}  // namespace

LinkLayer::~LinkLayer() {
  for (Slot& slot : slots_) {
    if (slot.record) ReleaseLink(*slot.record);
  }
}

LinkChannel* LinkLayer::Channel(std::uint16_t channel) {
  return channel < kChannelSlots ? slots_[channel].record.get() : nullptr;
}

const LinkChannel* LinkLayer::Channel(std::uint16_t channel) const {
  return channel < kChannelSlots ? slots_[channel].record.get() : nullptr;
}

std::mutex* LinkLayer::ChannelMutex(std::uint16_t channel) {
  return channel < kChannelSlots ? &slots_[channel].mutex : nullptr;
}

bool LinkLayer::CreateChannel(std::uint16_t com_port, std::uint32_t baud, std::uint32_t ip_port,
                              const char* host, std::uint16_t channel) {
  if (channel >= kChannelSlots) return false;
  Slot& slot = slots_[channel];
  // The old record may still own a port, a reader or the socket; they must not outlive it.
  if (slot.record) ReleaseLink(*slot.record);
  slot.record.reset();

  auto record = std::make_unique<LinkChannel>();
  record->channel_number = channel;
  record->com_port = com_port;
  record->ip_port = ip_port;
  record->baud_rate = baud;
  if (host != nullptr) kr::CopyTruncated(record->host, sizeof record->host, host);
  if (com_port != 0 && record->reader_wake.Create() != 0) return false;
  slot.record = std::move(record);
  return true;
}

int LinkLayer::IsTcpLink(std::uint16_t channel) const {
  const LinkChannel* c = Channel(channel);
  if (c == nullptr) return kNoChannel;
  return c->com_port == 0 ? 1 : 0;
}

void LinkLayer::ReleaseLink(LinkChannel& record) {
  StopReader(record);
  record.connected = false;
  if (record.port.IsOpen()) {
    record.port.SetDtr(false);
    record.port.Purge();
    record.port.Close();
  }
  if (record.com_port == 0) socket_.Close();
}

bool LinkLayer::CloseLink(std::uint16_t channel) {
  LinkChannel* c = Channel(channel);
  if (c == nullptr) return false;
  // The reader goes first, so that the reset below cannot race with a reply in progress.
  StopReader(*c);
  if (reset_hook_) reset_hook_(channel);
  ReleaseLink(*c);
  return true;
}

bool LinkLayer::Send(const std::uint8_t* bytes, int length, std::uint16_t channel) {
  LinkChannel* c = Channel(channel);
  if (c == nullptr || bytes == nullptr || length < 1) return false;
  if (length + 8 > 100) {
    TraceError(trace::kCommandTooLong, channel);
    return false;
  }

  std::array<char, kSendEchoSize> echo;
  const int echo_length = BuildSendEcho(bytes, length, c->current_command, c->raw_command, echo);
  TraceWrite(echo.data(), echo_length, channel);
  RepaintTrace(channel);

  if (c->com_port == 0) {
    const int sent = socket_.Send(bytes, length);
    if (sent < length) {
      // A short send leaves a broken frame on the line; it is a failure like any other.
      const int error = sent < 0 ? -sent : EAGAIN;
      c->last_system_error = static_cast<std::uint32_t>(error);
      TraceError(TraceText("<Error during send data on a connected socket, error %d>", error), channel);
      ++c->write_failures;
      return false;
    }
    return true;
  }

  const int deadline_ms = c->write_timeouts.per_byte_ms * length + c->write_timeouts.constant_ms;
  int error = 0;
  switch (c->port.Write(bytes, length, deadline_ms, error)) {
    case SerialPort::WriteResult::kComplete:
      return true;
    case SerialPort::WriteResult::kTimedOut:
      TraceError("<Timeout writing to COM port>", channel);
      ++c->write_failures;
      return false;
    case SerialPort::WriteResult::kFailed:
      break;
  }
  c->last_system_error = static_cast<std::uint32_t>(error);
  TraceError(TraceText("<Error %u writing to COM port>", static_cast<unsigned>(error)), channel);
  ++c->write_failures;
  return false;
}

int LinkLayer::RequestSize(LinkChannel& record, std::uint16_t channel) {
  const int free = kInputBufferSize - std::clamp(record.input_fill, 0, kInputBufferSize);
  if (free <= 0) {
    TraceError("<Input block to small>", channel);
    return 0;
  }
  if (record.link_state != LinkAwaitingReply || record.block_count < 1) return free;
  // A data reply that continues in 132-byte blocks: read no further than the next block boundary.
  if (record.block_count > 5) return 0;
  return std::clamp((record.block_count + 1) * kBlockSize - record.input_fill, 0, free);
}

int LinkLayer::PumpInput(int saved_trace_line, std::uint16_t channel) {
  LinkChannel* c = Channel(channel);
  if (c == nullptr) return 0;
  int line = saved_trace_line;
  last_pump_bytes_ = 0;
  for (;;) {
    if (c->input_fill <= 0) {
      c->input_fill = 0;
      line = c->trace_line;
    }
    // The receive path may have closed the link; nothing more is read from a released handle.
    const bool tcp = c->com_port == 0;
    if (tcp ? !socket_.IsOpen() : !c->port.IsOpen()) break;
    const int request = RequestSize(*c, channel);
    if (request < 1) break;
    std::uint8_t* free_space = c->input.data() + c->input_fill;
    const int got = tcp ? socket_.Receive(free_space, request) : ReadSerial(free_space, request, channel);
    if (got < 1) break;
    c->input_fill += got;
    last_pump_bytes_ += got;
    if (receive_handler_) receive_handler_(c->input.data(), c->input_fill, line, channel);
  }
  return line;
}

void LinkLayer::LogDisconnect(const char* format, const DisconnectReport& report, std::uint16_t channel) {
  LinkChannel* c = Channel(channel);
  if (c == nullptr || format == nullptr) return;
  const bool tcp = c->com_port == 0;
  const int port = tcp ? static_cast<int>(c->ip_port) : c->com_port;
  if (TakesDisconnectArguments(format)) {
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wformat-nonliteral"
    TraceLine(TraceText(format, kr::kTarvikAppName, kr::kAppVersion, tcp ? "IP" : "COM", port), channel);
#pragma GCC diagnostic pop
  } else {
    TraceLine(format, channel);
  }
  TraceLine(TraceText("[Timeouts: KR = %d,  HCU = %d, Set = %d, Slow = %d, Polling = %d]", report.timeout_kr,
                      report.timeout_hcu, report.timeout_set, report.timeout_slow, report.polling_time),
            channel);
  LogOfflineCounters(-1, report.hcu, channel);
  for (std::size_t i = 0; i < report.recorders.size(); ++i) {
    LogOfflineCounters(static_cast<int>(i + 1), report.recorders[i], channel);
  }
}

void LinkLayer::LogOfflineCounters(int recorder, const OfflineCounterRef& counters, std::uint16_t channel) {
  if (counters.sequence == nullptr || counters.long_term == nullptr || counters.total == nullptr) return;
  const unsigned sequence = *counters.sequence;
  const unsigned long_term = *counters.long_term;
  const unsigned total = *counters.total;
  if (recorder < 0) {
    TraceLine(TraceText("[Offline counters HCU : sequence = %2u, long-term = %3u, total = %3u]", sequence,
                        long_term, total),
              channel);
  } else {
    TraceLine(TraceText("[Offline counters KR%2d: sequence = %2u, long-term = %3u, total = %3u]", recorder,
                        sequence, long_term, total),
              channel);
  }
  *counters.sequence = 0;
  *counters.long_term = 0;
  *counters.total = 0;
}

LinkState LinkLayer::GetLinkState(std::uint16_t channel) const {
  const LinkChannel* c = Channel(channel);
  return c == nullptr ? kNoChannelState : c->link_state;
}

void LinkLayer::SetLinkReady(std::uint16_t channel) {
  if (LinkChannel* c = Channel(channel)) {
    c->link_state = LinkReady;
    c->item_cursor = 0;
  }
}

int LinkLayer::GetTargetRecorder(std::uint16_t channel) const {
  const LinkChannel* c = Channel(channel);
  return c == nullptr ? 0 : c->target_recorder;
}

void LinkLayer::SetTargetRecorder(int recorder, std::uint16_t channel) {
  if (LinkChannel* c = Channel(channel)) c->target_recorder = recorder;
}

int LinkLayer::GetBlockCount(std::uint16_t channel) const {
  const LinkChannel* c = Channel(channel);
  return c == nullptr ? kNoChannel : c->block_count;
}

void LinkLayer::SetTraceViewVisible(bool visible, std::uint16_t channel) {
  if (LinkChannel* c = Channel(channel)) c->trace_view_visible = visible;
}

void LinkLayer::SetTraceViewFrozen(bool frozen, std::uint16_t channel) {
  if (LinkChannel* c = Channel(channel)) c->trace_view_frozen = frozen;
}

int LinkLayer::SetPassword(std::string_view text, std::uint16_t channel) {
  LinkChannel* c = Channel(channel);
  return c == nullptr ? 0 : CopyUpToSemicolon(c->password, sizeof c->password, text);
}

int LinkLayer::SetRawCommand(std::string_view text, std::uint16_t channel) {
  LinkChannel* c = Channel(channel);
  return c == nullptr ? 0 : CopyUpToSemicolon(c->raw_command, sizeof c->raw_command, text);
}

int LinkLayer::SetModemText(std::string_view text, std::uint16_t channel) {
  LinkChannel* c = Channel(channel);
  return c == nullptr ? 0 : CopyUpToSemicolon(c->modem_text, sizeof c->modem_text, text);
}

bool LinkLayer::ReaderThreadRunning(std::uint16_t channel) const {
  const LinkChannel* c = Channel(channel);
  return c != nullptr && c->reader_thread.joinable();
}

}  // namespace tarvik
