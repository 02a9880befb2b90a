#pragma once

#include <cstdint>

#include "krcommon/clock.h"
#include "tarvik/link/link_layer.h"
#include "tarvik/protocol/protocol_context.h"
#include "tarvik/protocol/recorder_data.h"

namespace tarvik {

class ArgumentPlan;
class FrameWriter;

// Turns command numbers into frames on the link: checks that the command may go to the addressed
// unit, frames it with its numbers and arguments, sends it and marks the link as waiting; while the
// reply is outstanding, counts ticks and handles time-outs and retries.
//
// Every call must be made while holding the channel's lock (LinkLayer::ChannelMutex), from the
// engine's tick or from the receive path, which already holds it.
class CommandBuilder {
 public:
  CommandBuilder(LinkLayer& link, RecorderData& data, ProtocolContext& context, const kr::Clock& clock)
      : link_(link), data_(data), context_(context), clock_(clock) {}

  // 1 when the command was skipped because it does not apply, or was sent and has no further items;
  // 0 when nothing was sent (waiting for a reply, an error, a time-out being handled, the PC clock
  // outside its window) or when items of a multi-item write remain.
  int BuildAndSend(int command, std::uint16_t channel);

  // A recorder answered "W": it needs `minutes` before it can answer; writes may wait that long.
  void SetRecorderWaitMinutes(int minutes);

 private:
  enum class FrameResult {
    kReady,          // the frame is built
    kTooLong,        // the frame would exceed the limit
    kNothingToSend,  // the command does not apply now (no changed value, not requested)
    kNotNow,         // not at this moment (the PC clock is outside its window)
  };
  FrameResult BuildFrame(int command, LinkChannel& link, bool resend, FrameWriter& frame, ArgumentPlan& plan);
  void CountReplyTick(LinkChannel& link, std::uint16_t channel);
  void HandleTimeout(LinkChannel& link, std::uint16_t channel);
  void HandleProbeTimeout(LinkChannel& link, std::uint16_t channel);
  int PollNop(LinkChannel& link);
  bool IsRecorderAddressed(int command) const;
  bool TargetIsValid(const LinkChannel& link) const;
  bool Applies(int command, const LinkChannel& link) const;
  int FileNumberFor(int command, LinkChannel& link);
  void ApplyFileNumberRequest(LinkChannel& link);

  LinkLayer& link_;
  RecorderData& data_;
  ProtocolContext& context_;
  const kr::Clock& clock_;
};

// The next baud rate of the probe's search on a direct link: 9600, 19200, 38400, 57600, 115200,
// 2400, 4800 and round again; any other rate continues at 9600.
std::uint32_t NextProbeBaudRate(std::uint32_t baud);

}  // namespace tarvik
