#pragma once

#include <cstdint>
#include <cstdio>
#include <string>
#include <string_view>

#include "tarvik/link/link_layer.h"
#include "tarvik/protocol/event_decoder.h"
#include "tarvik/protocol/protocol_context.h"
#include "tarvik/protocol/recorder_data.h"

namespace tarvik {

// Control bytes of the block transfer.
inline constexpr std::uint8_t kEot = 4;
inline constexpr std::uint8_t kAck = 6;
inline constexpr std::uint8_t kNak = 21;

// The block-wise download of one event (or of the raw data of Mx2) into its files. Runs inside the
// receive path under the channel's lock, like the reply interpretation.
//
// Files are written under a temporary name in the same folder ("<name>.part") and renamed to their
// final name only when the transfer is complete, so a broken transfer never leaves a short file that
// looks whole, and an older file of the same name survives until a complete one replaces it.
class EventDownload {
 public:
  EventDownload(LinkLayer& link, RecorderData& data, ProtocolContext& context)
      : link_(link), data_(data), context_(context) {}
  ~EventDownload();
  EventDownload(const EventDownload&) = delete;
  EventDownload& operator=(const EventDownload&) = delete;

  // The recorder acknowledged the start command (M1, MH, Mx2): NAK goes out and blocks follow.
  void StartTransfer(std::uint16_t channel);
  // Everything received while the link is in LinkBlockTransfer.
  void ReceiveBlock(const std::uint8_t* input, int length, std::uint16_t channel);
  // Takes the block just accepted (its number is the link's block count); false when the file
  // could not be opened or written.
  bool WriteEventPair(const std::uint8_t* block, std::uint16_t channel);
  // Closes both output files. A transfer that was not completed leaves nothing behind: its
  // temporary files are removed.
  void CloseEventFiles(std::uint16_t channel);

  // Record total the current event's header announced (0 when the header gave none).
  std::uint32_t expected_records() const { return expected_records_; }
  // Final name of the last event file completed, empty before the first.
  const std::string& last_file_name() const { return last_file_name_; }
  // The name an event file of `recorder` with `file_number` and the event file type `type` ("SKR")
  // gets under the current prefix and purpose: the one naming rule of every downloaded file.
  std::string EventFileNameFor(int recorder, int file_number, std::string_view type) const;

 private:
  struct OutputFile {
    std::FILE* file = nullptr;
    std::string final_name;
    std::string temporary_name;
  };

  enum class BlockCheck { kGood, kBadNumber, kBadChecksum, kRepeated };
  static BlockCheck CheckBlock(const std::uint8_t* block, int block_count);
  void AcceptBlock(const std::uint8_t* block, LinkChannel& link, std::uint16_t channel);
  void AcknowledgeRepeatedBlock(LinkChannel& link, std::uint16_t channel);
  void HandleEot(std::uint16_t channel);
  void FinishBulkData(LinkChannel& link, std::uint16_t channel);
  void FinishEvent(LinkChannel& link, std::uint16_t channel);
  void Answer(std::uint8_t byte, LinkChannel& link, std::uint16_t channel);
  void RejectBlock(LinkChannel& link, std::uint16_t channel);

  bool WriteHeaderPair(LinkChannel& link);
  bool WriteSecondHeader(LinkChannel& link);
  bool WriteDataPair(LinkChannel& link);
  void ChooseFileType(LinkChannel& link);
  std::string EventFileName(const LinkChannel& link) const;

  bool Open(OutputFile& output, const std::string& final_name);
  // Closes the file; renames it to its final name when `commit`, else removes it. False when the
  // close or the rename failed.
  bool Close(OutputFile& output, bool commit);
  void CloseAll(LinkChannel* link, bool commit, bool& ok);
  bool Commit(LinkChannel& link);

  LinkLayer& link_;
  RecorderData& data_;
  ProtocolContext& context_;

  OutputFile main_;
  OutputFile second_;
  std::uint32_t expected_records_ = 0;
  std::string last_file_name_;
  DecodedPair decoded_;  // reused for every pair
};

}  // namespace tarvik
