// Serial links of the link layer: opening the port, its settings, the reader thread.
#include <poll.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <system_error>

#include "kr_version.h"
#include "tarvik/link/link_layer.h"
#include "tarvik/link/trace_texts.h"

namespace tarvik {

namespace {

// While the receive pump cannot take more input, the port stays readable; the reader then waits
// this long (or for the wake-up) before it looks again, instead of spinning.
constexpr int kNoProgressPauseMs = 10;

}  // namespace

int LinkLayer::ApplySettings(LinkChannel& record) {
  record.write_timeouts = ComputeSerialWriteTimeouts(record.baud_rate);
  SerialSettings settings;
  settings.baud = record.baud_rate;
  settings.data_bits = record.data_bits;
  settings.parity = record.parity;
  settings.stop_bits = record.stop_bits;
  settings.handshake = record.handshake_flags;
  return record.port.Configure(settings);
}

bool LinkLayer::ApplySerialSettings(std::uint16_t channel) {
  LinkChannel* c = Channel(channel);
  if (c == nullptr) return false;
  const int error = ApplySettings(*c);
  if (error != 0) {
    c->last_system_error = static_cast<std::uint32_t>(error);
    return false;
  }
  return true;
}

bool LinkLayer::OpenSerial(std::uint16_t channel) {
  LinkChannel* c = Channel(channel);
  if (c == nullptr) return false;
  if (reset_hook_) reset_hook_(channel);
  SetLinkReady(channel);
  // Opening twice starts afresh rather than leaving the first port and its reader behind.
  StopReader(*c);
  c->port.Close();
  c->connected = false;

  const std::string device = resolver_ ? resolver_(c->com_port) : DefaultSerialDevice(c->com_port);
  int error = c->port.Open(device);
  if (error == 0) {
    c->port.Purge();
    error = ApplySettings(*c);
  }
  if (error == 0) error = StartReader(*c, channel);
  if (error != 0) {
    c->last_system_error = static_cast<std::uint32_t>(error);
    c->connected = false;
    c->port.Close();
    TraceError(TraceText("<Error opening connection to COM port %d>", c->com_port), channel);
    TraceError(TraceText("<%s>", std::strerror(error)), channel);
    return false;
  }

  // The reader runs from here on: the record is shared.
  std::lock_guard lock(slots_[channel].mutex);
  c->port.SetDtr(true);
  TraceLine(TraceText("[%s V%s connected to COM port %d]", kr::kTarvikAppName, kr::kAppVersion, c->com_port),
            channel);
  return true;
}

int LinkLayer::ReadSerial(std::uint8_t* buffer, int maximum, std::uint16_t channel) {
  LinkChannel* c = Channel(channel);
  if (c == nullptr || buffer == nullptr) return 0;
  int queued = 0;
  int error = c->port.QueuedBytes(queued);
  if (error == 0) {
    const int want = std::min(queued, maximum);
    if (want <= 0) return 0;
    const int got = c->port.Read(buffer, want);
    if (got >= 0) return got;
    error = -got;
  }
  c->last_system_error = static_cast<std::uint32_t>(error);
  TraceError(TraceText(trace::kComReadError, static_cast<unsigned>(error)), channel);
  return 0;
}

int LinkLayer::StartReader(LinkChannel& record, std::uint16_t channel) {
  if (!record.reader_wake.IsValid()) {
    if (int error = record.reader_wake.Create(); error != 0) return error;
  }
  record.reader_wake.Drain();
  record.reader_stop = false;
  record.connected = true;
  record.reader_active = true;
  try {
    record.reader_thread = std::thread(&LinkLayer::ReaderLoop, this, channel, &record);
  } catch (const std::system_error& e) {
    record.reader_active = false;
    record.connected = false;
    return e.code().value() != 0 ? e.code().value() : EAGAIN;
  }
  return 0;
}

void LinkLayer::StopReader(LinkChannel& record) {
  if (!record.reader_thread.joinable()) return;
  record.reader_stop = true;
  record.reader_wake.Signal();
  // Closing from inside the receive path: the reader leaves by itself when the pump returns and
  // is joined by the next open, close or destruction.
  if (record.reader_thread.get_id() == std::this_thread::get_id()) return;
  record.reader_thread.join();
}

void LinkLayer::ReaderLoop(std::uint16_t channel, LinkChannel* record) {
  std::mutex& mutex = slots_[channel].mutex;
  {
    std::lock_guard lock(mutex);
    saved_trace_line_ = 0;
  }
  pollfd fds[2] = {{record->port.fd(), POLLIN, 0}, {record->reader_wake.fd(), POLLIN, 0}};
  while (record->connected && !record->reader_stop) {
    fds[0].revents = 0;
    fds[1].revents = 0;
    if (::poll(fds, 2, -1) < 0) {
      if (errno == EINTR) continue;
      const int error = errno;
      std::lock_guard lock(mutex);
      record->last_system_error = static_cast<std::uint32_t>(error);
      TraceError(TraceText(trace::kComReadError, static_cast<unsigned>(error)), channel);
      record->connected = false;
      break;
    }
    if (record->reader_stop || fds[1].revents != 0) break;

    const short events = fds[0].revents;
    bool progressed = false;
    {
      std::lock_guard lock(mutex);
      if (record->reader_stop) break;
      // The device went away (adapter unplugged, other end of a pseudo-terminal closed): once
      // nothing more is queued, the link is dead and the reader ends.
      int queued = 0;
      if ((events & (POLLHUP | POLLERR | POLLNVAL)) &&
          (record->port.QueuedBytes(queued) != 0 || queued == 0)) {
        const int error = (events & POLLNVAL) ? EBADF : EIO;
        record->last_system_error = static_cast<std::uint32_t>(error);
        TraceError(TraceText(trace::kComReadError, static_cast<unsigned>(error)), channel);
        record->connected = false;
        break;
      }
      if (events & (POLLIN | POLLHUP | POLLERR)) {
        saved_trace_line_ = PumpInput(saved_trace_line_, channel);
        progressed = last_pump_bytes_ > 0;
      }
    }
    if (!progressed && !record->reader_stop) {
      ::poll(&fds[1], 1, kNoProgressPauseMs);
    }
  }
  record->reader_active = false;
}

}  // namespace tarvik
