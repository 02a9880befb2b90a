#pragma once

#include <array>
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <functional>
#include <memory>
#include <mutex>
#include <span>
#include <string>
#include <string_view>

#include "tarvik/link/link_channel.h"
#include "tarvik/link/tcp_socket.h"
#include "tarvik/link/trace_echo.h"

namespace tarvik {

// Socket notifications handed to OnSocketEvent: the event in the low 16 bits, the error code of a
// failed connect in the high 16 bits.
inline constexpr std::uint32_t kSocketRead = 1;
inline constexpr std::uint32_t kSocketConnect = 16;
inline constexpr std::uint32_t kSocketClose = 32;

// What IsTcpLink and GetBlockCount give for an empty channel slot; GetLinkState gives
// kNoChannelState, the same number.
inline constexpr int kNoChannel = -3;
inline constexpr LinkState kNoChannelState = LinkCommError;

constexpr std::uint32_t MakeSocketNotification(std::uint32_t event, int error) {
  return (static_cast<std::uint32_t>(error) << 16) | (event & 0xFFFFu);
}

// One unit's offline counters, living in the caller's record (any type with the members
// sequence, long_term and total): the disconnect summary prints them and then sets them to 0.
struct OfflineCounterRef {
  std::uint32_t* sequence = nullptr;
  std::uint32_t* long_term = nullptr;
  std::uint32_t* total = nullptr;

  OfflineCounterRef() = default;
  template <typename Counters>
  explicit OfflineCounterRef(Counters& counters)
      : sequence(&counters.sequence), long_term(&counters.long_term), total(&counters.total) {}
};

// What the disconnect summary prints besides the link itself: the five time-out settings
// (milliseconds) and the offline counters of the control unit and of recorders 1..N.
struct DisconnectReport {
  int timeout_kr = 0;
  int timeout_hcu = 0;
  int timeout_set = 0;
  int timeout_slow = 0;
  int polling_time = 0;
  OfflineCounterRef hcu;
  std::span<const OfflineCounterRef> recorders;
};

// The link layer: the channel table, the process's one TCP socket, the serial reader threads and
// the trace rings. Every operation takes the channel number last; an empty or unknown slot makes an
// operation do nothing and return 0 (or -3 where a state or counter is returned).
//
// Locking: each slot has one mutex (ChannelMutex). The serial reader holds it around PumpInput,
// OnSocketEvent holds it while it runs, OpenSerial briefly once its reader runs, and the engine and
// protocol hold it around every command-builder call and whenever they read the record. The link
// layer takes it nowhere else, so the receive handler may call Send and the trace operations freely.
// CreateChannel, OpenSerial, CloseLink and OnSocketEvent must be called WITHOUT holding it (they
// join the reader or take it).
class LinkLayer {
 public:
  static constexpr int kChannelSlots = 1;  // this system opens one link, always channel 0

  // The protocol's receive pump: the whole input buffer (it may consume it by writing trace lines or
  // changing input_fill, and may change bytes in place), the fill, and the line where this reply's
  // echo began. Runs under the channel lock, on the serial reader thread or on the socket's host.
  using ReceiveHandler =
      std::function<void(std::uint8_t* input, int length, int saved_trace_line, std::uint16_t channel)>;
  // Resets the recorder data model's per-connection state; called when a link opens or closes,
  // without the channel lock and with no reader running.
  using ConnectionResetHook = std::function<void(std::uint16_t channel)>;
  // Asks the trace view to repaint; may be called from the serial reader thread.
  using RepaintRequest = std::function<void(std::uint16_t channel)>;
  // Device path of a COM number (the application fills it from [SerialPorts]).
  using SerialDeviceResolver = std::function<std::string(std::uint16_t com_port)>;
  // Shown while a host name is resolved (true), and taken away again (false).
  using BusyIndicator = std::function<void(bool busy)>;

  LinkLayer() = default;
  ~LinkLayer();
  LinkLayer(const LinkLayer&) = delete;
  LinkLayer& operator=(const LinkLayer&) = delete;

  // Hooks; install them before a link is opened.
  void SetReceiveHandler(ReceiveHandler handler) { receive_handler_ = std::move(handler); }
  void SetConnectionResetHook(ConnectionResetHook hook) { reset_hook_ = std::move(hook); }
  void SetRepaintRequest(RepaintRequest request) { repaint_ = std::move(request); }
  void SetSerialDeviceResolver(SerialDeviceResolver resolver) { resolver_ = std::move(resolver); }
  void SetBusyIndicator(BusyIndicator indicator) { busy_ = std::move(indicator); }

  // The record of a channel, or null for an empty slot. Valid until the next CreateChannel on the
  // same channel.
  LinkChannel* Channel(std::uint16_t channel);
  const LinkChannel* Channel(std::uint16_t channel) const;
  // The lock of a slot (exists whether or not the slot holds a record); null beyond the table.
  std::mutex* ChannelMutex(std::uint16_t channel);

  // A new record for the channel (com_port 0 makes it a TCP link); an open link of the old record
  // is closed first.
  bool CreateChannel(std::uint16_t com_port, std::uint32_t baud, std::uint32_t ip_port, const char* host,
                     std::uint16_t channel);
  // 1 for a TCP link, 0 for a serial one, -3 for an empty slot.
  int IsTcpLink(std::uint16_t channel) const;

  // Serial link over the device the resolver gives for the record's COM number.
  bool OpenSerial(std::uint16_t channel);
  // Applies the record's baud rate, data bits, parity, stop bits and handshake to the open port
  // (again whenever the rate changes). False with last_system_error set when the port refuses.
  bool ApplySerialSettings(std::uint16_t channel);
  // Reads what the port has queued, at most maximum bytes; the count read.
  int ReadSerial(std::uint8_t* buffer, int maximum, std::uint16_t channel);

  // Starts a non-blocking connect to the record's host and IP port; completion arrives through
  // OnSocketEvent.
  bool ConnectTcp(std::uint16_t channel);
  void OnSocketEvent(std::uint32_t notification, std::uint16_t channel);
  // For the hosts (poll loop, socket notifier): the socket, the poll events it waits for (writable
  // only while connecting), and the translation of observed readiness into OnSocketEvent calls.
  int SocketFd() const { return socket_.fd(); }
  short SocketPollEvents() const;
  void HandleSocketReadiness(unsigned readiness, std::uint16_t channel);
  // Headless host and tests: waits up to timeout_ms for the socket and handles what it reports.
  // True when something was handled.
  bool ServiceSocket(int timeout_ms, std::uint16_t channel);

  // Echoes the frame to the trace and sends it; frames longer than 92 bytes are refused.
  bool Send(const std::uint8_t* bytes, int length, std::uint16_t channel);
  bool Send(std::string_view frame, std::uint16_t channel) {
    return Send(reinterpret_cast<const std::uint8_t*>(frame.data()), static_cast<int>(frame.size()), channel);
  }
  // The read loop: reads what has arrived into the input buffer and hands it to the receive
  // handler. Returns the trace line where the pending reply's echo begins.
  int PumpInput(int saved_trace_line, std::uint16_t channel);
  bool CloseLink(std::uint16_t channel);
  // The disconnect summary. format takes, in this order, the application name, its version,
  // "COM" or "IP", and the port number ("%s %s %s %d"). The counters are printed and then cleared.
  void LogDisconnect(const char* format, const DisconnectReport& report, std::uint16_t channel);

  // Small accessors of the engine.
  LinkState GetLinkState(std::uint16_t channel) const;
  // LinkReady, and the item cursor back to the start.
  void SetLinkReady(std::uint16_t channel);
  int GetTargetRecorder(std::uint16_t channel) const;
  void SetTargetRecorder(int recorder, std::uint16_t channel);
  int GetBlockCount(std::uint16_t channel) const;
  void SetTraceViewVisible(bool visible, std::uint16_t channel);
  void SetTraceViewFrozen(bool frozen, std::uint16_t channel);
  // Each copies the text up to the first ";" (cut to the field's size) and returns the position
  // just after that ";" in text, or 0 when there is none.
  int SetPassword(std::string_view text, std::uint16_t channel);
  int SetRawCommand(std::string_view text, std::uint16_t channel);
  int SetModemText(std::string_view text, std::uint16_t channel);
  // Whether a serial reader thread exists that has not been joined.
  bool ReaderThreadRunning(std::uint16_t channel) const;

  // Trace ring.
  void TraceWrite(const char* bytes, int length, std::uint16_t channel);
  void TraceWrite(std::string_view text, std::uint16_t channel) {
    TraceWrite(text.data(), static_cast<int>(text.size()), channel);
  }
  // An information line on a line of its own; discards the input received so far.
  void TraceLine(std::string_view text, std::uint16_t channel);
  // An error line: as TraceLine, then the tick counter is cleared and the link state becomes
  // LinkCommError unless it is LinkCommError, LinkOffline or LinkTimedOut.
  void TraceError(std::string_view text, std::uint16_t channel);
  // Ends the echo of a complete reply.
  void TraceEndReply(std::uint16_t channel);
  int TraceLineCount(std::uint16_t channel) const;
  // Starts the ring afresh (what was written stays visible until overwritten).
  void TraceReset(std::uint16_t channel);
  // Every line, oldest first, each followed by CR LF; then the ring starts afresh. False on a file
  // error, and the ring is kept.
  bool TraceDumpToFile(std::FILE* file, std::uint16_t channel);
  bool TraceDumpToFile(const std::filesystem::path& path, std::uint16_t channel);
  // Every line, oldest first, each followed by CR LF, appended to text; the ring is not changed.
  void TraceAppendToText(std::string& text, std::uint16_t channel) const;
  // Repaints the trace view when it is visible and not frozen.
  void RepaintTrace(std::uint16_t channel);

 private:
  struct Slot {
    std::mutex mutex;
    std::unique_ptr<LinkChannel> record;
  };

  void ReaderLoop(std::uint16_t channel, LinkChannel* record);
  int StartReader(LinkChannel& record, std::uint16_t channel);
  void StopReader(LinkChannel& record);
  // Stops the reader and releases the port (DTR dropped, queues purged) or the socket.
  void ReleaseLink(LinkChannel& record);
  int ApplySettings(LinkChannel& record);
  int RequestSize(LinkChannel& record, std::uint16_t channel);
  // recorder -1 is the control unit.
  void LogOfflineCounters(int recorder, const OfflineCounterRef& counters, std::uint16_t channel);
  void WriteToRing(LinkChannel& record, const char* bytes, int length);

  std::array<Slot, kChannelSlots> slots_;
  TcpSocket socket_;
  // Trace line where the reply being received began; one value for the process, as there is one
  // link. Touched under the channel lock.
  int saved_trace_line_ = 0;
  int last_pump_bytes_ = 0;  // bytes the last PumpInput read, so the reader can tell progress

  ReceiveHandler receive_handler_;
  ConnectionResetHook reset_hook_;
  RepaintRequest repaint_;
  SerialDeviceResolver resolver_;
  BusyIndicator busy_;
};

}  // namespace tarvik
