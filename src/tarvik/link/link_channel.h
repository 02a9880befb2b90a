#pragma once

#include <array>
#include <atomic>
#include <cstdint>
#include <cstdio>
#include <thread>

#include "tarvik/link/serial_port.h"
#include "tarvik/link/wake_event.h"

namespace tarvik {

// Link states: the value the operation engine polls after every step. The numbers are those the
// trace and the operators' documentation use.
enum LinkState : int {
  LinkReady = -1,
  LinkAwaitingReply = -2,
  LinkCommError = -3,
  LinkBlockTransfer = -4,
  LinkOffline = -5,
  LinkTimedOut = -6,
  LinkRetry = -8,
  LinkRefused = -9,
  LinkUnitBusy = -10,
  LinkSerialFailed = -11,
  LinkBadTarget = -12,
  LinkAbandoned = -13,
  LinkModemNotReady = -14,
  LinkRing = -16,
  LinkModemConnected = -17,
};

// Fixed sizes of the record's buffers; the recorder protocol is built around them (5 blocks of 132
// bytes of input, frames of at most 92 bytes, lines of at most 99 characters).
inline constexpr int kTraceLines = 1000;
inline constexpr int kTraceLineSize = 100;
inline constexpr int kInputBufferSize = 660;
inline constexpr int kBlockSize = 132;
inline constexpr int kHeaderPairSize = 256;
inline constexpr int kSecondHeaderSize = 256;
inline constexpr int kRawCommandSize = 96;
inline constexpr int kModemTextSize = 100;
inline constexpr int kPasswordSize = 6;
inline constexpr int kHostSize = 81;
inline constexpr int kEventFileTypeSize = 4;
inline constexpr int kMaxFrameLength = 92;

// The record of one link: the open port or the TCP link's settings, the input collected from the
// unit, the trace ring, and the protocol's per-command bookkeeping. Allocated once per connection
// set-up by LinkLayer::CreateChannel; the protocol layer and the engine read and change the fields
// while holding the channel's lock (LinkLayer::ChannelMutex).
struct LinkChannel {
  std::uint16_t channel_number = 0;
  SerialPort port;             // the open COM port (closed for a TCP link)
  std::uint16_t com_port = 0;  // 1..n; 0 means the channel is a TCP link
  std::uint32_t ip_port = 0;   // TCP port of the remote unit

  std::array<std::array<char, kTraceLineSize>, kTraceLines> trace_ring{};
  std::array<std::uint8_t, kInputBufferSize> input{};
  std::array<std::uint8_t, kHeaderPairSize> header_pair{};
  std::array<std::uint8_t, kSecondHeaderSize> second_header{};

  int trace_column = 0;      // characters written into the current trace line
  int trace_line = 0;        // current line of the ring, 0..999
  int current_command = -1;  // number of the command last sent; 0 when none
  LinkState link_state = LinkReady;
  std::uint32_t last_system_error = 0;  // errno captured at the last failure
  int retry_counter = 0;
  int transfer_retry_counter = 0;
  int eot_count = 0;
  int modem_retry_counter = 0;
  int tick_counter = 0;
  int input_fill = 0;
  int last_reply_length = 0;  // input fill minus 5, taken whenever the input is consumed
  int block_count = 0;
  int received_records = 0;
  int target_recorder = 0;  // 1..N behind the control unit; 0 = none
  int file_number = 0;
  int item_cursor = 0;
  int item_sub_cursor = 0;
  // Frames Send could not write; the engine ends an operation whose link can no longer be written.
  unsigned write_failures = 0;

  char event_file_type[kEventFileTypeSize] = "SKR";
  char raw_command[kRawCommandSize] = {};
  char modem_text[kModemTextSize] = {};
  char password[kPasswordSize] = {};
  char host[kHostSize] = {};

  // Event files being written by the download; owned and closed by the protocol layer.
  std::FILE* main_output_file = nullptr;
  std::FILE* second_output_file = nullptr;
  bool multi_part = false;

  bool trace_view_visible = false;
  bool trace_view_frozen = false;
  bool ring_wrapped = false;
  // 1 while the link is usable; read by the reader thread without the lock, hence atomic.
  std::atomic<bool> connected = false;
  bool cr_ends_trace_line = false;
  bool wrap_long_trace_lines = true;

  std::uint8_t data_bits = 8;
  std::uint8_t handshake_flags = 0;  // bit 0 DSR/DTR, bit 1 CTS/RTS, bit 2 XON/XOFF
  std::uint8_t parity = 0;           // 0 none, 1 odd, 2 even, 3 mark, 4 space
  std::uint8_t stop_bits = 0;        // 0 one, 2 two
  std::uint32_t baud_rate = 0;
  SerialWriteTimeouts write_timeouts;  // derived from the baud rate whenever it is applied

  // Serial reader: the thread, its wake-up descriptor, and the flag that tells it to leave.
  std::thread reader_thread;
  std::atomic<bool> reader_active = false;  // cleared by the thread when it ends
  std::atomic<bool> reader_stop = false;
  WakeEvent reader_wake;
};

}  // namespace tarvik
