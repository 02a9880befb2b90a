#include "tarvik/protocol/command_builder.h"

#include <algorithm>
#include <cstring>
#include <string_view>

#include "tarvik/link/trace_texts.h"
#include "tarvik/protocol/command_table.h"
#include "tarvik/protocol/frame.h"
#include "tarvik/protocol/write_arguments.h"

namespace tarvik {

namespace {

// Attempts before a command counts as timed out, and before the probe gives up.
constexpr int kAttempts = 3;
constexpr int kDirectLinkProbeAttempts = 7;  // one per baud rate of the search

template <std::size_t N>
std::string_view FieldText(const char (&field)[N]) {
  return {field, strnlen(field, N)};
}

// Modem commands the modem answers itself: a CAN byte would only confuse it.
bool IsHayesText(const LinkChannel& link) {
  if (link.current_command != cmd::kModemString) return false;
  const std::string_view text = FieldText(link.modem_text);
  return text.starts_with("AT") || text == "+";
}

}  // namespace

std::uint32_t NextProbeBaudRate(std::uint32_t baud) {
  switch (baud) {
    case 9600:
      return 19200;
    case 19200:
      return 38400;
    case 38400:
      return 57600;
    case 57600:
      return 115200;
    case 115200:
      return 2400;
    case 2400:
      return 4800;
    default:
      return 9600;  // after 4800, and from any rate outside the search
  }
}

int CommandBuilder::BuildAndSend(int command, std::uint16_t channel) {
  LinkChannel* link = link_.Channel(channel);
  if (link == nullptr) return 0;

  const int state = link->link_state;
  if (state == LinkAwaitingReply || state == LinkBlockTransfer || state == LinkUnitBusy) {
    CountReplyTick(*link, channel);
    return 0;
  }
  if (state == LinkOffline) return 0;
  if (state == LinkRefused || state == LinkAbandoned) {
    link->retry_counter = 0;
    return 0;
  }
  if (state == LinkReady) link->retry_counter = 0;

  if (command == cmd::kNop) return PollNop(*link);

  // Checked before anything looks the number up in a table.
  if (!IsValidCommand(command)) {
    link_.TraceError(TraceText("<Illegal command number %d>", command), channel);
    return 0;
  }
  if (IsRecorderAddressed(command) && !TargetIsValid(*link)) {
    link->link_state = LinkBadTarget;
    return 0;
  }
  if (!Applies(command, *link)) return 1;

  // The engine repeats a command after a time-out or a failed reply; its frame must go out again
  // even though the first attempt consumed the changed flags it carried.
  const bool resend = state == LinkRetry && command == link->current_command;
  FrameWriter frame;
  ArgumentPlan plan;
  const FrameResult built = BuildFrame(command, *link, resend, frame, plan);
  if (built == FrameResult::kNothingToSend) return 1;
  if (built == FrameResult::kNotNow) return 0;

  link->current_command = command;
  link->block_count = 0;
  link->tick_counter = 0;
  link->last_reply_length = link->input_fill - 5;
  link->input_fill = 0;

  if (built == FrameResult::kTooLong) {
    link_.TraceError(trace::kCommandTooLong, channel);
    return 0;
  }
  link->link_state = LinkAwaitingReply;
  if (!link_.Send(frame.data(), frame.size(), channel)) {
    link_.TraceError(trace::kComWriteError, channel);
    return 0;
  }
  plan.Commit(*link);
  if (CommandAt(command).TouchesSettings()) context_.settings_touched = true;
  // An item went out: the write is complete only when a later call finds no changed item left.
  return plan.moves_cursor() ? 0 : 1;
}

CommandBuilder::FrameResult CommandBuilder::BuildFrame(int command, LinkChannel& link, bool resend,
                                                       FrameWriter& frame, ArgumentPlan& plan) {
  bool fits = true;
  if (command == cmd::kFreeForm) {
    frame.Append("(");
    frame.Append(FieldText(link.raw_command));
    fits = FinishRequestFrame(frame, true);
  } else if (command == cmd::kModemString) {
    const std::string_view text = FieldText(link.modem_text);
    // An empty command of a modem string ("AT&F;;ATE0") is nothing to send.
    if (text.empty()) return FrameResult::kNothingToSend;
    fits = BuildModemFrame(text, frame);
  } else if (command == cmd::kProbe) {
    BuildProbeFrame(frame);
  } else {
    const CommandEntry& entry = CommandAt(command);
    frame.Append("(");
    frame.Append(entry.code);
    if (entry.HasRecorderNumber()) frame.Printf("%d", link.target_recorder);
    if (entry.HasFileNumber()) frame.Printf("%d", FileNumberFor(command, link));
    const ArgumentSources sources{data_, context_, clock_};
    switch (
        AppendArguments(command, sources, data_.Recorder(link.target_recorder), link, resend, frame, plan)) {
      case ArgumentOutcome::kSkip:
        return FrameResult::kNothingToSend;
      case ArgumentOutcome::kNotNow:
        return FrameResult::kNotNow;
      case ArgumentOutcome::kSend:
        break;
    }
    if (IsPasswordCommand(command)) frame.Append(FieldText(link.password).substr(0, kPasswordLength));
    fits = FinishRequestFrame(frame, command == cmd::kAu);
  }
  return fits ? FrameResult::kReady : FrameResult::kTooLong;
}

void CommandBuilder::SetRecorderWaitMinutes(int minutes) {
  context_.limits.recorder_wait = RecorderWaitTicks(minutes, context_.timeouts.polling_ms);
}

void CommandBuilder::CountReplyTick(LinkChannel& link, std::uint16_t channel) {
  const bool recorder_waiting = link.link_state == LinkUnitBusy;
  const TimeoutClass timeout_class = ClassifyTimeout(link.current_command, FieldText(link.raw_command),
                                                     FieldText(link.modem_text), recorder_waiting);
  const int limit = TickLimitFor(timeout_class, context_.limits);
  const int before = link.tick_counter++;
  if (before > limit) HandleTimeout(link, channel);
}

void CommandBuilder::HandleTimeout(LinkChannel& link, std::uint16_t channel) {
  if (link.current_command == cmd::kProbe) {
    HandleProbeTimeout(link, channel);
    return;
  }
  link.link_state = LinkTimedOut;
  link.tick_counter = 0;
  link_.TraceError("<Timeout reading from COM port>", channel);
  if (!IsHayesText(link)) {
    const std::uint8_t cancel = kCan;
    if (!link_.Send(&cancel, 1, channel)) link_.TraceError(trace::kComWriteError, channel);
  }
  ++link.retry_counter;
  if (link.retry_counter < kAttempts) {
    link.link_state = LinkRetry;
  } else {
    link.current_command = 0;
  }
}

void CommandBuilder::HandleProbeTimeout(LinkChannel& link, std::uint16_t channel) {
  link_.TraceEndReply(channel);
  link.tick_counter = 0;
  int attempts = kAttempts;
  if (context_.direct_link) {
    // On a direct link the recorder's rate is unknown: try the next one.
    attempts = kDirectLinkProbeAttempts;
    link.baud_rate = NextProbeBaudRate(link.baud_rate);
    if (!link_.ApplySerialSettings(channel)) {
      // A port that refuses a rate ends the search; retrying would only hide the failure.
      link.retry_counter = 0;
      link.link_state = LinkSerialFailed;
      return;
    }
  }
  ++link.retry_counter;
  if (link.retry_counter < attempts) {
    link.link_state = LinkRetry;
  } else {
    link.retry_counter = 0;
    link.link_state = LinkSerialFailed;
  }
}

int CommandBuilder::PollNop(LinkChannel& link) {
  if (link.link_state != LinkModemNotReady) return 1;
  const bool after_plus = link.current_command == cmd::kModemString && FieldText(link.modem_text) == "+";
  if (!after_plus) {
    ++link.retry_counter;
    if (link.retry_counter < kAttempts) link.link_state = LinkRetry;
  }
  return 0;
}

bool CommandBuilder::IsRecorderAddressed(int command) const {
  return command >= cmd::kFirstRecorderCommand || CommandAt(command).HasRecorderNumber();
}

bool CommandBuilder::TargetIsValid(const LinkChannel& link) const {
  const int target = link.target_recorder;
  // Beyond the 16 slots there is no record to address, with or without a control unit.
  if (target < 1 || target > kMaxRecorders) return false;
  if (context_.control_unit_present && target > data_.hcu.NC.value) return false;
  if (target == data_.hcu.QT.value) return false;
  return !data_.hcu.recorders[static_cast<size_t>(target - 1)].offline;
}

bool CommandBuilder::Applies(int command, const LinkChannel& link) const {
  if ((command == cmd::kNa || command == cmd::kNa0) && !context_.control_unit_present) return false;
  const KrParams* recorder = data_.Recorder(link.target_recorder);
  if (IsRecorderAddressed(command) && recorder != nullptr) {
    if (command == cmd::kMI || command == cmd::kMJ) {
      const DeviceType* type = DeviceTypeAt(recorder->device_type);
      if (type == nullptr || !type->AllowsEventValues() || !recorder->HasFeature(kEventValuesFeatureBit) ||
          !context_.show_freq_dir_info) {
        return false;
      }
    }
    if (!DeviceTypeSupports(recorder->device_type, command)) return false;
  }
  const CommandEntry& entry = CommandAt(command);
  // A feature bit belongs to a recorder; without one the command has nowhere to apply.
  if (entry.NeedsFeature() && (recorder == nullptr || !recorder->HasFeature(entry.feature_bit))) return false;
  return true;
}

int CommandBuilder::FileNumberFor(int command, LinkChannel& link) {
  // The directory is always read by the link's own number, which walks through the entries.
  if (context_.forced_file_number != kNoForcedFileNumber && command != cmd::kMD)
    return context_.forced_file_number;
  ApplyFileNumberRequest(link);
  return link.file_number;
}

void CommandBuilder::ApplyFileNumberRequest(LinkChannel& link) {
  const FileNumberRequest request = context_.file_number_request;
  if (request == FileNumberRequest::kNone) return;
  const KrParams* recorder = data_.Recorder(link.target_recorder);
  // The next file of a transfer starts its record count again.
  if (request == FileNumberRequest::kNextChosen || request == FileNumberRequest::kAfterLast)
    link.received_records = 0;
  if (request == FileNumberRequest::kNextChosen) {
    link.file_number = context_.file_list_next_entry + 1;
    context_.file_number_request = FileNumberRequest::kNone;
    return;
  }
  if (request == FileNumberRequest::kAfterLast) {
    int number = context_.last_file_number + 1;
    // A ring memory numbers its files 1..255 and goes on with 1 after 255 (the directory walk
    // steps down from 1 to 255 the same way); taking 254 off would ask for file 2 and never
    // fetch the event stored as file 1.
    if (recorder != nullptr && recorder->ring_memory && number > 255) number -= 255;
    link.file_number = number;
    context_.file_number_request = FileNumberRequest::kNone;
    return;
  }
  // The newest and the highest file need the recorder's counters; the request waits for a command
  // that addresses a recorder.
  if (recorder == nullptr) return;
  if (request == FileNumberRequest::kNewest && !recorder->ring_memory) {
    link.file_number = std::max(recorder->MB.value, recorder->MN.value);
  } else {
    link.file_number = recorder->MB.value;
  }
  context_.file_number_request = FileNumberRequest::kNone;
}

}  // namespace tarvik
