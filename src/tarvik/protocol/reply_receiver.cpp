#include "tarvik/protocol/reply_receiver.h"

#include <algorithm>
#include <cstring>
#include <mutex>

#include "krcommon/text_util.h"
#include "tarvik/link/trace_texts.h"
#include "tarvik/protocol/command_table.h"
#include "tarvik/protocol/directory_entry.h"
#include "tarvik/protocol/frame.h"

namespace tarvik {

namespace {

constexpr int kAttempts = 3;             // failed replies in a row before the unit counts as offline
constexpr std::size_t kModemScan = 500;  // the modem answer is searched within this many characters
constexpr int kHcuRsCommand = 56;
constexpr int kRecorderRsCommand = 242;
constexpr int kPasswordRead = 181;  // LP of a recorder

template <std::size_t N>
std::string_view FieldText(const char (&field)[N]) {
  return {field, strnlen(field, N)};
}

bool Contains(std::string_view text, std::string_view word) {
  return text.find(word) != std::string_view::npos;
}

bool StartsTransfer(int command) {
  return command == cmd::kM1 || command == cmd::kMH || command == cmd::kMx2;
}

}  // namespace

void ReplyReceiver::ReceivePump(std::uint8_t* input, int length, int saved_trace_line,
                                std::uint16_t channel) {
  LinkChannel* link = link_.Channel(channel);
  if (link == nullptr || input == nullptr || length < 1) return;
  link->tick_counter = 0;

  // Rewind to where this reply's echo began, so a longer copy of it overwrites the partial one.
  int line = saved_trace_line;
  if (carry_line_ >= 0 && saved_trace_line == carry_saved_line_ && length > carry_fill_) line = carry_line_;
  carry_line_ = -1;
  link->trace_line = std::clamp(line, 0, kTraceLines - 1);
  link->trace_column = 0;

  if (link->link_state == LinkBlockTransfer) {
    download_.ReceiveBlock(input, length, channel);
    return;
  }

  std::uint8_t* begin = input;
  int size = length;
  const int command = link->current_command;
  if (command == cmd::kFreeForm || command == cmd::kModemString) {
    // Text answers end with a line feed, or with a bare "?".
    const std::uint8_t last = input[length - 1];
    if (last != '\n' && last != '?') return;
    if (size > 0 && begin[0] == '\r') ++begin, --size;
    if (size > 0 && begin[0] == '\n') ++begin, --size;
    if (size > 0 && begin[size - 1] == '\n') --size;
    if (size > 0 && begin[size - 1] == '\r') --size;
    if (size == 0) return;
  }
  if (command == cmd::kFreeForm && size >= 8 && BeginsWithPasswordCode(FieldText(link->raw_command))) {
    std::fill_n(begin + size - 8, kPasswordLength, static_cast<std::uint8_t>('*'));
  }

  input_length_ = length;
  int start = 0;
  int depth = 0;
  for (int i = 0; i <= size; ++i) {
    if (i < size) {
      const std::uint8_t byte = begin[i];
      if (byte == '(') ++depth;
      if (byte == ')' && depth > 0) --depth;
      if (i == 0 || byte != '*' || depth > 0) continue;
    }
    const int segment_length = i - start;
    const int echo_line = link->trace_line;
    ProcessSegment(begin + start, segment_length, *link, channel);
    // A reply that follows a complete one in the same read and is itself incomplete keeps its bytes
    // (the complete one's echo consumed the input) and its echo line.
    if (waiting_ && start > 0 && i == size && link->input_fill == 0) {
      std::memmove(input, begin + start, static_cast<std::size_t>(segment_length));
      link->input_fill = segment_length;
      carry_line_ = echo_line;
      carry_saved_line_ = saved_trace_line;
      carry_fill_ = segment_length;
    }
    start = i;
  }
}

void ReplyReceiver::ProcessSegment(const std::uint8_t* segment, int length, LinkChannel& link,
                                   std::uint16_t channel) {
  waiting_ = false;
  if (length < 1) return;
  link_.TraceWrite("<", channel);
  if (link.current_command == kPasswordRead && segment[0] == '*') {
    // The password never reaches the trace; the checksum bytes stay so they can be shown.
    link_.TraceWrite("*(*****", channel);
    if (length >= 5 && segment[length - 1] == ')') {
      link_.TraceWrite(reinterpret_cast<const char*>(segment + length - 3), 3, channel);
    }
  } else {
    link_.TraceWrite(reinterpret_cast<const char*>(segment), length, channel);
  }
  if (!DispatchReply(segment, length, channel)) CountFailure(link, channel);
  // The unit acknowledged a new baud rate at the old one; from now on the line runs at the new one.
  const int command = link.current_command;
  if ((command == kRecorderRsCommand || command == kHcuRsCommand) && segment[0] == '*' &&
      link.link_state == LinkReady) {
    ApplyNewBaudRate(link, channel);
  }
}

bool ReplyReceiver::DispatchReply(const std::uint8_t* segment, int length, std::uint16_t channel) {
  LinkChannel* link = link_.Channel(channel);
  if (link == nullptr || segment == nullptr || length < 1) return true;
  const int command = link->current_command;
  waiting_ = false;

  if (command == cmd::kModemString) {
    const std::string_view answer(reinterpret_cast<const char*>(segment),
                                  std::min(static_cast<std::size_t>(length), kModemScan));
    DispatchModemAnswer(answer, *link, channel);
    return link->link_state != LinkCommError;
  }

  switch (segment[0]) {
    case '*':
      DispatchData(segment, length, *link, channel);
      break;
    case 'E':
      DispatchError(*link, channel);
      break;
    case 'N':
      link_.TraceEndReply(channel);
      link->link_state = LinkRefused;
      link_.TraceLine("<Wrong level or illegal command>", channel);
      if (command == CommandNumber("KR", cmd::kFirstRecorderCommand)) {
        if (KrParams* recorder = data_.Recorder(link->target_recorder)) recorder->ring_memory = false;
      }
      break;
    case 'W': {
      link_.TraceEndReply(channel);
      link->link_state = LinkUnitBusy;
      const std::string_view rest(reinterpret_cast<const char*>(segment + 1),
                                  static_cast<std::size_t>(length - 1));
      builder_.SetRecorderWaitMinutes(std::max(kr::LeadingInt(rest), 0));
      link_.TraceLine("<Waiting for KR ready>", channel);
      break;
    }
    case '?':
      link_.TraceEndReply(channel);
      if (command == cmd::kProbe) {
        link->link_state = LinkReady;  // the unit understood us: the baud rate is right
      } else {
        link_.TraceLine("<Unknown command>", channel);
      }
      break;
    default:
      break;  // not a reply; it stays until more arrives
  }
  return link->link_state != LinkCommError;
}

void ReplyReceiver::DispatchError(LinkChannel& link, std::uint16_t channel) {
  link_.TraceEndReply(channel);
  const int command = link.current_command;
  if (command <= 0) {
    // The unit lost our log-in (it restarted, or timed us out): log in again, unless we are
    // logging out anyway.
    link.link_state = LinkCommError;
    if (context_.logging_in) {
      link.link_state = LinkOffline;
    } else {
      builder_.BuildAndSend(cmd::kLi, channel);
    }
    return;
  }
  link_.TraceError(command == cmd::kMD ? "<Skip event>" : "<Error in command syntax>", channel);
  if (command == cmd::kFreeForm) link.link_state = LinkReady;
  // A refused item of a multi-item write cannot be repeated on its own: give up at once.
  if (link.item_cursor != 0) link.retry_counter = kAttempts;
}

void ReplyReceiver::DispatchModemAnswer(std::string_view answer, LinkChannel& link, std::uint16_t channel) {
  link_.TraceEndReply(channel);
  link.link_state = LinkReady;
  const std::string_view text = FieldText(link.modem_text);
  if (!text.starts_with("AT") && text != "+") return;  // "+++" and the like: any answer will do
  if (Contains(answer, "RINGING")) {
    link.link_state = LinkAwaitingReply;
  } else if (Contains(answer, "NO CARRIER") || Contains(answer, "BUSY")) {
    link_.TraceLine("[Modem NOT ready]", channel);
    link.link_state = LinkModemNotReady;
  } else if (answer.starts_with("?")) {
    ++link.modem_retry_counter;
    link.link_state = link.modem_retry_counter < kAttempts ? LinkReady : LinkAwaitingReply;
  } else if (!Contains(answer, "OK") && !Contains(answer, "CONNECT")) {
    link_.TraceError("<Communication error>", channel);
  } else if (Contains(answer, "RING")) {
    link.link_state = LinkRing;
  } else if (Contains(answer, "CONNECT")) {
    link.link_state = LinkModemConnected;
  }
}

void ReplyReceiver::DispatchData(const std::uint8_t* segment, int length, LinkChannel& link,
                                 std::uint16_t channel) {
  const int command = link.current_command;
  const bool data_reply = IsValidCommand(command) && CommandAt(command).HasDataReply();
  if (!data_reply) {
    link_.TraceEndReply(channel);
    if (StartsTransfer(command)) {
      download_.StartTransfer(channel);
    } else {
      link.link_state = LinkReady;
    }
    return;
  }
  if (segment[length - 1] != ')') {
    link.link_state = LinkAwaitingReply;
    // Long replies come in 132-byte blocks; the link reads up to the end of the next one.
    if (input_length_ == (link.block_count + 1) * kBlockSize) ++link.block_count;
    waiting_ = true;
    return;
  }
  if (length < 2 || segment[1] != '(') {
    link_.TraceError(trace::kSyntaxError, channel);
    return;
  }
  if (command == cmd::kFreeForm) {
    link_.TraceEndReply(channel);
    link.link_state = LinkReady;
    return;
  }
  if (!CheckReplyChecksum(segment, length, channel)) return;
  const std::string_view payload(reinterpret_cast<const char*>(segment + 2),
                                 static_cast<std::size_t>(length - 5));
  CountOfflineMark(payload, link);
  InterpretReply(payload, channel);
}

bool ReplyReceiver::CheckReplyChecksum(const std::uint8_t* reply, int length, std::uint16_t channel) {
  LinkChannel* link = link_.Channel(channel);
  if (link == nullptr || reply == nullptr) return false;
  if (length < 5) {
    link_.TraceEndReply(channel);
    link_.TraceError(trace::kChecksumError, channel);
    return false;
  }
  const auto expected = FrameChecksum(reply + 2, static_cast<std::size_t>(length - 5));
  link->trace_column = std::max(link->trace_column - 3, 0);
  link_.TraceWrite(TraceText("[%d][%d]%c", reply[length - 3], reply[length - 2], reply[length - 1]), channel);
  link_.TraceEndReply(channel);
  if (expected[0] == reply[length - 3] && expected[1] == reply[length - 2]) {
    link->link_state = LinkReady;
    return true;
  }
  link_.TraceError(trace::kChecksumError, channel);
  return false;
}

void ReplyReceiver::CountFailure(LinkChannel& link, std::uint16_t channel) {
  ++link.retry_counter;
  if (link.retry_counter >= kAttempts) {
    link.link_state = LinkOffline;
    ReportOffline(link, channel);
    return;
  }
  link.link_state = LinkRetry;
  const int command = link.current_command;
  const DownloadPurpose purpose = context_.download_purpose;
  if (command == cmd::kMD && purpose != DownloadPurpose::kSelectedEvents &&
      purpose != DownloadPurpose::kViewing && purpose != DownloadPurpose::kHeaderOnly) {
    // An entry the recorder cannot give is skipped: it is marked unreadable and the directory walk
    // goes on with the next older one.
    if (KrParams* recorder = data_.Recorder(link.target_recorder)) {
      if (link.file_number >= 1 && link.file_number <= kDirectorySlots) {
        recorder->directory[static_cast<std::size_t>(link.file_number - 1)].type_letter = '?';
      }
    }
    link.retry_counter = 0;
    link.link_state = purpose == DownloadPurpose::kAllEvents ? LinkAbandoned : LinkReady;
    link.file_number = PreviousFileNumber(link.file_number);
  } else if (command == cmd::kMI || command == cmd::kMJ) {
    link.link_state = LinkReady;  // event values are extras; a failure does not hold up the list
  }
}

void ReplyReceiver::ReportOffline(LinkChannel& link, std::uint16_t channel) {
  link.retry_counter = 0;
  const int command = link.current_command;
  if (command == cmd::kModemString) {
    link_.TraceError("<Modem is offline, or communication error>", channel);
  } else if (command > cmd::kNop) {
    const int target = link.target_recorder;
    if (target >= 1 && target <= kMaxRecorders) {
      data_.hcu.recorder_offline_counters[static_cast<std::size_t>(target - 1)].Increment();
    }
    link_.TraceError("<KR/HCU is offline, or communication error>", channel);
  } else {
    data_.hcu.offline_counters.Increment();
    data_.hcu.offline = true;
    link_.TraceError("<HCU is offline, or communication error>", channel);
  }
}

void ReplyReceiver::CountOfflineMark(std::string_view payload, const LinkChannel& link) {
  // Only the control unit's replies carry one character per recorder.
  if (link.current_command >= cmd::kFreeForm) return;
  const int target = link.target_recorder;
  if (target < 1 || target > kMaxRecorders || static_cast<std::size_t>(target) > payload.size()) return;
  const auto slot = static_cast<std::size_t>(target - 1);
  if (data_.hcu.recorders[slot].NR.current || payload[slot] != 'O') return;
  data_.hcu.recorder_offline_counters[slot].Increment();
}

void ReplyReceiver::ApplyNewBaudRate(LinkChannel& link, std::uint16_t channel) {
  if (link.com_port == 0) return;  // a TCP link has no baud rate of its own
  int baud = 0;
  if (link.current_command == kHcuRsCommand) {
    baud = data_.hcu.RS.value;
  } else if (const KrParams* recorder = data_.Recorder(link.target_recorder)) {
    baud = recorder->RS.value;
  }
  if (baud <= 0) return;
  link.baud_rate = static_cast<std::uint32_t>(baud);
  if (!link_.ApplySerialSettings(channel)) link.link_state = LinkSerialFailed;
}

void InstallReplyPath(LinkLayer& link, RecorderData& data, ReplyReceiver& receiver, EventDownload& download) {
  link.SetReceiveHandler([&receiver](std::uint8_t* input, int length, int saved_line, std::uint16_t channel) {
    receiver.ReceivePump(input, length, saved_line, channel);
  });
  link.SetConnectionResetHook([&link, &data, &download](std::uint16_t channel) {
    std::mutex* mutex = link.ChannelMutex(channel);
    if (mutex == nullptr) return;
    std::lock_guard lock(*mutex);
    data.ResetForConnection();
    download.CloseEventFiles(channel);
  });
}

}  // namespace tarvik
