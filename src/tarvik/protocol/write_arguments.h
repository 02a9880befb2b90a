#pragma once

#include <array>

#include "krcommon/clock.h"
#include "tarvik/link/link_channel.h"
#include "tarvik/protocol/frame.h"
#include "tarvik/protocol/protocol_context.h"
#include "tarvik/protocol/recorder_data.h"

namespace tarvik {

// What the arguments of a command come to.
enum class ArgumentOutcome {
  kSend,    // the arguments are in the frame: send it, then commit the plan
  kSkip,    // nothing to send (no changed value, not requested, not allowed): the command is done
  kNotNow,  // not at this moment (the PC clock is outside the window in which it may be set)
};

// What becomes true only once the frame went out: the flags of the values it carries are consumed
// and the item cursor moves behind the item sent. A frame that could not be sent changes nothing.
class ArgumentPlan {
 public:
  void Consume(bool& flag);
  void MoveCursor(int item_cursor, int sub_cursor);
  void Commit(LinkChannel& link) const;
  // The frame carries one item of a multi-item write: more may follow.
  bool moves_cursor() const { return moves_cursor_; }

 private:
  std::array<bool*, 8> flags_{};
  int flag_count_ = 0;
  bool moves_cursor_ = false;
  int item_cursor_ = 0;
  int sub_cursor_ = 0;
};

// Where the values of the write commands come from.
struct ArgumentSources {
  RecorderData& data;
  ProtocolContext& context;
  const kr::Clock& clock;
};

// Appends the arguments of `command` to the frame (after its code and numbers). `recorder` is the
// target recorder's record, null when the link has no valid target. `resend` repeats the frame of
// an attempt that failed (time-out, bad reply): the values whose flags that attempt consumed go
// out again, and a multi-item write repeats the item just before the cursor instead of moving on.
// A multi-item write sends the next changed item behind the link's item cursor (from the start
// when the link's current command is another one); with no changed item left it puts the cursor
// back to 0 and gives kSkip.
ArgumentOutcome AppendArguments(int command, const ArgumentSources& sources, KrParams* recorder,
                                LinkChannel& link, bool resend, FrameWriter& frame, ArgumentPlan& plan);

}  // namespace tarvik
