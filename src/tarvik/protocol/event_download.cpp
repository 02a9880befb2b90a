#include "tarvik/protocol/event_download.h"

#include <algorithm>
#include <cstring>
#include <filesystem>
#include <string_view>
#include <system_error>

#include "krcommon/event_bytes.h"
#include "krcommon/event_header.h"
#include "tarvik/link/trace_texts.h"
#include "tarvik/protocol/command_table.h"
#include "tarvik/protocol/directory_entry.h"
#include "tarvik/protocol/event_file_names.h"
#include "tarvik/protocol/frame.h"

namespace tarvik {

namespace {

constexpr int kDataBytes = 128;
constexpr int kBadBlocksBeforeCancel = 3;  // consecutive bad blocks
constexpr int kTransferAttempts = 3;
constexpr int kBytesPerKilobyte = 1024;

std::string_view FileType(const LinkChannel& link) {
  return {link.event_file_type, strnlen(link.event_file_type, sizeof link.event_file_type)};
}

void SetFileType(LinkChannel& link, const char* type) {
  std::snprintf(link.event_file_type, sizeof link.event_file_type, "%s", type);
}

kr::HeaderLayout LayoutOf(std::string_view type) {
  return type == "XKR" || type == "BKR" ? kr::HeaderLayout::kX : kr::HeaderLayout::kS;
}

// The stored byte of a one-byte field of the header pair, read through the layout table.
std::uint8_t HeaderByte(const std::array<std::uint8_t, kHeaderPairSize>& pair, kr::HeaderLayout layout,
                        kr::HeaderField field) {
  return kr::EventHeader(pair, layout).RawByte(field);
}

bool IsPeriodic(std::string_view type) {
  return type == "VMX" || type == "BKR";
}

}  // namespace

EventDownload::~EventDownload() {
  bool ok = true;
  CloseAll(nullptr, false, ok);
}

void EventDownload::StartTransfer(std::uint16_t channel) {
  LinkChannel* link = link_.Channel(channel);
  if (link == nullptr) return;
  // Whatever a broken earlier transfer left open is not an event.
  bool ok = true;
  CloseAll(link, false, ok);
  link->eot_count = 0;
  link->retry_counter = 0;
  link->block_count = 1;
  link->multi_part = false;
  link->received_records = 0;
  expected_records_ = 0;
  const std::uint8_t nak = kNak;
  if (!link_.Send(&nak, 1, channel)) {
    link_.TraceError(trace::kComWriteError, channel);
    return;
  }
  link->link_state = LinkBlockTransfer;
}

void EventDownload::ReceiveBlock(const std::uint8_t* input, int length, std::uint16_t channel) {
  LinkChannel* link = link_.Channel(channel);
  if (link == nullptr || input == nullptr || length < 1) return;
  if (input[0] == kEot) {
    HandleEot(channel);
    return;
  }
  if (length < kBlockSize) return;  // the rest of the block is still on its way

  // Anything after the 132 bytes cannot belong to this block (the recorder waits for our answer);
  // the trace line consumes it together with the block.
  std::uint8_t block[kBlockSize];
  std::memcpy(block, input, kBlockSize);
  link_.TraceLine(TraceText("[Data block %d read]", link->block_count), channel);

  switch (CheckBlock(block, link->block_count)) {
    case BlockCheck::kBadNumber:
      link_.TraceError(trace::kSyntaxError, channel);
      RejectBlock(*link, channel);
      return;
    case BlockCheck::kBadChecksum:
      link_.TraceError(trace::kChecksumError, channel);
      RejectBlock(*link, channel);
      return;
    case BlockCheck::kRepeated:
      AcknowledgeRepeatedBlock(*link, channel);
      return;
    case BlockCheck::kGood:
      break;
  }
  // Only bad blocks in a row give up the transfer; a good one starts the count afresh.
  link->retry_counter = 0;
  AcceptBlock(block, *link, channel);
}

EventDownload::BlockCheck EventDownload::CheckBlock(const std::uint8_t* block, int block_count) {
  const std::uint8_t number = block[1];
  if (block[2] != static_cast<std::uint8_t>(~number)) return BlockCheck::kBadNumber;
  unsigned sum = 0;
  for (int i = 3; i < 3 + kDataBytes; ++i) sum += block[i];
  const bool sum_ok = static_cast<std::uint8_t>(sum) == block[kBlockSize - 1];
  if (number == static_cast<std::uint8_t>(block_count))
    return sum_ok ? BlockCheck::kGood : BlockCheck::kBadChecksum;
  // The block before the expected one, intact: our ACK of it was lost and the recorder sent it again.
  if (block_count > 1 && number == static_cast<std::uint8_t>(block_count - 1) && sum_ok)
    return BlockCheck::kRepeated;
  return BlockCheck::kBadNumber;
}

void EventDownload::AcknowledgeRepeatedBlock(LinkChannel& link, std::uint16_t channel) {
  // It is already in the file; a NAK would only make the recorder send it again until the transfer
  // is cancelled. It counts like a bad block, so a recorder that keeps repeating is stopped.
  link_.TraceLine(TraceText("[Data block %d received again]", link.block_count - 1), channel);
  ++link.retry_counter;
  Answer(link.retry_counter < kBadBlocksBeforeCancel ? kAck : kCan, link, channel);
}

void EventDownload::AcceptBlock(const std::uint8_t* block, LinkChannel& link, std::uint16_t channel) {
  if (context_.download_purpose == DownloadPurpose::kHeaderOnly) {
    const int half = link.block_count % 2 == 1 ? 0 : kDataBytes;
    std::memcpy(link.header_pair.data() + half, block + 3, kDataBytes);
    if (link.block_count >= 2) {
      link.link_state = LinkReady;
      link.transfer_retry_counter = 0;
      if (KrParams* recorder = data_.Recorder(link.target_recorder)) ++recorder->downloaded_events;
      return;
    }
  } else if (!WriteEventPair(block, channel)) {
    link.link_state = LinkOffline;
    link_.TraceError(trace::kDataFileWriteError, channel);
    bool ok = true;
    CloseAll(&link, false, ok);
    return;
  }
  Answer(kAck, link, channel);
  ++link.block_count;
}

void EventDownload::RejectBlock(LinkChannel& link, std::uint16_t channel) {
  ++link.retry_counter;
  Answer(link.retry_counter < kBadBlocksBeforeCancel ? kNak : kCan, link, channel);
}

void EventDownload::Answer(std::uint8_t byte, LinkChannel& link, std::uint16_t channel) {
  if (!link_.Send(&byte, 1, channel)) {
    link_.TraceError(trace::kComWriteError, channel);
    return;
  }
  link.link_state = LinkBlockTransfer;
  link.eot_count = 0;
}

void EventDownload::HandleEot(std::uint16_t channel) {
  LinkChannel* link = link_.Channel(channel);
  link_.TraceWrite("<", channel);
  link_.TraceWrite(TraceText("[%2.2x]", kEot), channel);
  link_.TraceEndReply(channel);
  ++link->eot_count;
  if (link->eot_count == 1) {
    // The recorder repeats its EOT, so that a lost block is not mistaken for the end.
    const std::uint8_t nak = kNak;
    if (!link_.Send(&nak, 1, channel)) link_.TraceError(trace::kComWriteError, channel);
    if (link->current_command == cmd::kMx2) FinishBulkData(*link, channel);
    return;
  }
  FinishEvent(*link, channel);
}

void EventDownload::FinishBulkData(LinkChannel& link, std::uint16_t channel) {
  link.eot_count = 0;
  const KrParams* recorder = data_.Recorder(link.target_recorder);
  const long long received_kb = static_cast<long long>(link.block_count - 1) * kDataBytes / kBytesPerKilobyte;
  const bool complete = recorder != nullptr && received_kb == recorder->Mx1.value && main_.file != nullptr;
  bool ok = true;
  CloseAll(&link, complete, ok);
  if (complete && ok) {
    link.link_state = LinkReady;
    link.transfer_retry_counter = 0;
    return;
  }
  ++link.transfer_retry_counter;
  if (link.transfer_retry_counter < kTransferAttempts) {
    link.link_state = LinkRetry;
  } else {
    link.link_state = LinkOffline;
    link_.TraceError(trace::kDataFileWriteError, channel);
  }
}

void EventDownload::FinishEvent(LinkChannel& link, std::uint16_t channel) {
  link.link_state = LinkReady;
  const std::uint8_t ack = kAck;
  if (!link_.Send(&ack, 1, channel)) link_.TraceError(trace::kComWriteError, channel);

  const auto received = static_cast<std::uint32_t>(std::max(link.received_records, 0));
  bool complete = main_.file != nullptr && (IsPeriodic(FileType(link)) ? received >= expected_records_
                                                                       : received == expected_records_);
  const std::string final_name = main_.final_name;
  bool ok = true;
  CloseAll(&link, complete, ok);
  complete = complete && ok;

  if (complete) {
    last_file_name_ = final_name;
    if (KrParams* recorder = data_.Recorder(link.target_recorder)) ++recorder->downloaded_events;
    link.transfer_retry_counter = 0;
    if (context_.download_purpose == DownloadPurpose::kAllEvents)
      link.file_number = PreviousFileNumber(link.file_number);
    return;
  }
  ++link.transfer_retry_counter;
  if (link.transfer_retry_counter >= kTransferAttempts) {
    link.link_state = LinkOffline;
    link_.TraceError(trace::kDataFileWriteError, channel);
  }
}

bool EventDownload::WriteEventPair(const std::uint8_t* block, std::uint16_t channel) {
  LinkChannel* link = link_.Channel(channel);
  if (link == nullptr || block == nullptr) return false;
  const bool odd = link->block_count % 2 == 1;
  std::memcpy(link->header_pair.data() + (odd ? 0 : kDataBytes), block + 3, kDataBytes);
  if (odd) return true;

  if (link->current_command == cmd::kMx2) {
    if (link->block_count == 2) {
      bool ok = true;
      CloseAll(link, false, ok);
      if (!Open(main_, context_.bulk_file_path.string())) return false;
      link->main_output_file = main_.file;
    }
    return main_.file != nullptr &&
           std::fwrite(link->header_pair.data(), 1, kHeaderPairSize, main_.file) == kHeaderPairSize;
  }
  if (link->block_count == 2) return WriteHeaderPair(*link);
  if (link->multi_part && link->block_count == 4) return WriteSecondHeader(*link);
  return WriteDataPair(*link);
}

void EventDownload::ChooseFileType(LinkChannel& link) {
  using kr::HeaderField;
  using kr::HeaderLayout;
  const auto& header = link.header_pair;
  const KrParams* recorder = data_.Recorder(link.target_recorder);
  const DeviceType* type = recorder != nullptr ? DeviceTypeAt(recorder->device_type) : nullptr;
  if (type != nullptr && type->UsesSecondFileFamily()) {
    const std::uint8_t code = HeaderByte(header, HeaderLayout::kX, HeaderField::engg_mode);
    SetFileType(link, code == 0 || code == 5 ? "XKR" : "BKR");
    return;
  }
  const std::uint8_t code = HeaderByte(header, HeaderLayout::kS, HeaderField::engg_mode);
  const std::span<const std::uint8_t> name =
      kr::EventHeader(header, HeaderLayout::kS).RawBytes(HeaderField::rec_name);
  switch (name.empty() ? 0 : name[0]) {
    case 'X':
      SetFileType(link, "XKR");
      return;
    case 'C':
      if (code == 0 || code == 5) {
        SetFileType(link, "VKR");
      } else if (code <= 7) {
        SetFileType(link, "VMX");
      } else {
        SetFileType(link, "SKR");
      }
      return;
    default:  // no model text, or a recorder of the first family
      SetFileType(link, "SKR");
      return;
  }
}

bool EventDownload::WriteHeaderPair(LinkChannel& link) {
  using kr::HeaderField;
  ChooseFileType(link);
  const std::string_view type = FileType(link);
  const kr::HeaderLayout layout = LayoutOf(type);
  const kr::EventHeader header(link.header_pair, layout);
  const auto total = static_cast<std::uint32_t>(header.Value(HeaderField::nb_samples));
  const std::int64_t sampling = header.Value(HeaderField::sampling);
  const std::int64_t channels = header.Value(HeaderField::nb_channel);
  const bool plausible = sampling >= 1 && sampling <= 10000 && total != 0 && (channels == 3 || channels == 6);
  expected_records_ = plausible ? total : 0;
  link.received_records = 0;

  // A six-channel event goes into two files of three channels each.
  link.multi_part = (type == "SKR" || type == "XKR") && channels == 6;
  bool ok = true;
  if (link.multi_part) {
    kr::SetHeaderValue(link.header_pair, layout, HeaderField::nb_channel, 3);
    link.second_header = link.header_pair;
  }
  CloseAll(&link, false, ok);

  if (!Open(main_, EventFileName(link))) return false;
  link.main_output_file = main_.file;
  return std::fwrite(link.header_pair.data(), 1, kHeaderPairSize, main_.file) == kHeaderPairSize;
}

bool EventDownload::WriteSecondHeader(LinkChannel& link) {
  const kr::HeaderLayout layout = LayoutOf(FileType(link));
  const auto copy = [&link](std::size_t offset, std::size_t length) {
    std::memcpy(link.second_header.data() + offset, link.header_pair.data() + offset, length);
  };
  for (const kr::HeaderField field : kr::SecondSensorFields(layout)) {
    if (const kr::FieldEntry* entry = kr::FindField(layout, field)) copy(entry->offset, entry->width);
  }
  for (const kr::HeaderByteRange& range : kr::SecondSensorUnnamedBytes(layout))
    copy(range.offset, range.length);
  kr::SetHeaderValue(link.second_header, layout, kr::HeaderField::nb_channel, 3);
  if (!Open(second_, SecondPartFileName(main_.final_name))) return false;
  link.second_output_file = second_.file;
  return std::fwrite(link.second_header.data(), 1, kSecondHeaderSize, second_.file) == kSecondHeaderSize;
}

bool EventDownload::WriteDataPair(LinkChannel& link) {
  if (main_.file == nullptr) return false;  // no header has opened a file
  const std::string_view type = FileType(link);
  const std::span<const std::uint8_t, kEventPairSize> pair(link.header_pair);
  if (IsPeriodic(type)) {
    if (std::fwrite(pair.data(), 1, kEventPairSize, main_.file) != kEventPairSize) return false;
    link.received_records += pair[kRecordCountByte];
    return true;
  }
  DecodeEventPair(pair, type == "XKR", decoded_);
  if (std::fwrite(decoded_.bytes.data(), 1, decoded_.size, main_.file) != decoded_.size) return false;
  if (second_.file != nullptr &&
      std::fwrite(decoded_.bytes.data(), 1, decoded_.size, second_.file) != decoded_.size) {
    return false;
  }
  // Records that did not fit the pair are not counted, so the completeness check sees the loss.
  link.received_records += decoded_.records;
  return true;
}

std::string EventDownload::EventFileName(const LinkChannel& link) const {
  const int file_number =
      context_.forced_file_number != kNoForcedFileNumber ? context_.forced_file_number : link.file_number;
  return EventFileNameFor(link.target_recorder, file_number, FileType(link));
}

std::string EventDownload::EventFileNameFor(int recorder, int file_number, std::string_view type) const {
  const std::string& prefix = context_.download_prefix;
  if (context_.date_time_file_names && prefix != context_.viewing_prefix) {
    const KrParams* params = data_.Recorder(recorder);
    if (params != nullptr && file_number >= 1 && file_number <= kDirectorySlots) {
      const DirectoryEntry& entry = params->directory[static_cast<std::size_t>(file_number - 1)];
      if (entry.has_date_time) {
        return DateTimeEventFileName(prefix, context_.station_names[static_cast<std::size_t>(recorder - 1)],
                                     entry.date_time, type);
      }
    }
    // Without a readable event time the numeric name is the only one that cannot collide.
  }
  const DownloadPurpose purpose = context_.download_purpose;
  if (context_.control_unit_present || purpose == DownloadPurpose::kViewing ||
      purpose == DownloadPurpose::kHeaderOnly ||
      (purpose == DownloadPurpose::kControlPanel && context_.per_recorder_numbering)) {
    return RecorderNumericEventFileName(prefix, recorder, file_number, type);
  }
  return NumericEventFileName(prefix, file_number, type);
}

bool EventDownload::Open(OutputFile& output, const std::string& final_name) {
  bool ok = true;
  if (output.file != nullptr) ok = Close(output, false);
  output.final_name = final_name;
  output.temporary_name = TemporaryFileName(final_name);
  output.file = std::fopen(output.temporary_name.c_str(), "wb");
  return ok && output.file != nullptr;
}

bool EventDownload::Close(OutputFile& output, bool commit) {
  if (output.file == nullptr) return !commit;
  const bool closed = std::fclose(output.file) == 0;
  output.file = nullptr;
  std::error_code error;
  if (commit && closed) {
    std::filesystem::rename(output.temporary_name, output.final_name, error);
    if (!error) return true;
  }
  std::filesystem::remove(output.temporary_name, error);
  return !commit;
}

void EventDownload::CloseAll(LinkChannel* link, bool commit, bool& ok) {
  // The second file is kept only together with its first.
  if (!Close(main_, commit)) ok = false;
  const bool second_open = second_.file != nullptr;
  if (!Close(second_, commit && ok) && second_open) ok = false;
  if (link != nullptr) {
    link->main_output_file = nullptr;
    link->second_output_file = nullptr;
  }
}

void EventDownload::CloseEventFiles(std::uint16_t channel) {
  bool ok = true;
  CloseAll(link_.Channel(channel), false, ok);
}

}  // namespace tarvik
