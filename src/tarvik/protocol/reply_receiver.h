#pragma once

#include <array>
#include <cstdint>
#include <string_view>

#include "krcommon/clock.h"
#include "tarvik/link/link_layer.h"
#include "tarvik/protocol/command_builder.h"
#include "tarvik/protocol/event_download.h"
#include "tarvik/protocol/protocol_context.h"
#include "tarvik/protocol/recorder_data.h"

namespace tarvik {

// Operation state of the engine in which an "E" from the unit ends the connection instead of
// logging in again (the log-out).

// Everything the control unit or a recorder sends back: echoed to the trace, split into replies,
// classified by the first character, checked and interpreted into the recorder data model; event
// data goes to the download. Runs as the link layer's receive handler, under the channel's lock.
class ReplyReceiver {
 public:
  ReplyReceiver(LinkLayer& link, RecorderData& data, ProtocolContext& context, CommandBuilder& builder,
                EventDownload& download, const kr::Clock& clock)
      : link_(link), data_(data), context_(context), builder_(builder), download_(download), clock_(clock) {}

  // The whole input received so far, its length, and the trace line where this reply's echo began.
  void ReceivePump(std::uint8_t* input, int length, int saved_trace_line, std::uint16_t channel);
  // One reply; false when the link ended in LinkCommError.
  bool DispatchReply(const std::uint8_t* segment, int length, std::uint16_t channel);
  // "*(" payload checksum ")": checks the checksum and finishes the echo.
  bool CheckReplyChecksum(const std::uint8_t* reply, int length, std::uint16_t channel);
  // Fills the data model from the payload of the current command's reply.
  void InterpretReply(std::string_view payload, std::uint16_t channel);

 private:
  void ProcessSegment(const std::uint8_t* segment, int length, LinkChannel& link, std::uint16_t channel);
  void DispatchError(LinkChannel& link, std::uint16_t channel);
  void DispatchModemAnswer(std::string_view answer, LinkChannel& link, std::uint16_t channel);
  void DispatchData(const std::uint8_t* segment, int length, LinkChannel& link, std::uint16_t channel);
  void CountFailure(LinkChannel& link, std::uint16_t channel);
  void ReportOffline(LinkChannel& link, std::uint16_t channel);
  void CountOfflineMark(std::string_view payload, const LinkChannel& link);
  void ApplyNewBaudRate(LinkChannel& link, std::uint16_t channel);

  // Interpretation by kind (reply_interpretation.cpp).
  void InterpretControlUnit(int command, std::string_view text, LinkChannel& link, std::uint16_t channel);
  void InterpretRecorder(int command, std::string_view text, KrParams& kr, LinkChannel& link,
                         std::uint16_t channel);
  void InterpretSpecialRecorderReply(int command, std::string_view text, KrParams& kr, LinkChannel& link,
                                     std::uint16_t channel);
  void InterpretStatus(int command, std::string_view text);
  void InterpretAlarms(std::string_view text);
  void InterpretDirectoryEntry(std::string_view text, KrParams& kr, LinkChannel& link);
  void InterpretEventValues(std::string_view text, EventValues& values, const char* default_unit);

  LinkLayer& link_;
  RecorderData& data_;
  ProtocolContext& context_;
  CommandBuilder& builder_;
  EventDownload& download_;
  const kr::Clock& clock_;

  // The payload being interpreted, zero-terminated.
  std::array<char, 501> reply_text_{};
  // A reply that arrived behind a complete one and is not complete yet stays in the input; its echo
  // continues on the line where it began.
  int carry_line_ = -1;
  int carry_saved_line_ = -1;
  int carry_fill_ = 0;
  int input_length_ = 0;  // bytes of input in this pump call
  bool waiting_ = false;  // the last reply dispatched is a data reply still incomplete
};

// Installs the receiver as the link's receive handler, and the per-connection reset: the data model
// starts afresh and an unfinished download leaves nothing behind.
void InstallReplyPath(LinkLayer& link, RecorderData& data, ReplyReceiver& receiver, EventDownload& download);

}  // namespace tarvik
