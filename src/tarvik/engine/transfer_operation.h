#pragma once

#include <filesystem>
#include <string>
#include <vector>

#include "tarvik/engine/operation.h"
#include "tarvik/protocol/directory_entry.h"

namespace tarvik {

// Blocks of 128 bytes that the download of an event is expected to take, from its directory entry:
// the two header blocks, then pairs of blocks that carry up to 253 bytes of packed records each.
// A record's packed size depends on the signal, so the widest form is assumed (7 bytes, 8 in xkr
// files): the estimate is an upper bound, which keeps a progress bar from running past its end.
int EstimatedEventBlocks(const DirectoryEntry& entry);

// Event transfers: the events chosen in the single-event window (18), all events (19), and one
// event into the temporary folder for viewing (20); Stop Transfer.
class TransferOperation final : public Operation {
 public:
  using Operation::Operation;

  std::span<const OperationState> States() const override { return kStates; }
  void Step(OperationState state) override;
  void DescribeTo(OperationState state, ProtocolContext& context) const override;
  DeadLinkEnd OnDeadLink(OperationState) override { return DeadLinkEnd::kFileNotSaved; }
  bool OnProgressCancel(OperationState state) override;
  void OnConnectionOpened() override;

  // Transfer > All Events: asks for the folder or root name, then state 19. False when the person
  // cancelled (nothing requested).
  bool RequestTransferAll();
  // Transfer of the chosen events (state 18).
  void RequestTransferSelected(std::vector<int> file_numbers);
  // Transfer of one event into the temporary folder for viewing (state 20).
  void RequestViewEvent(int file_number);
  void StopTransfer();

  // Last file written by a transfer into the temporary folder, and its partner ("" when none).
  const std::filesystem::path& last_event_file() const { return last_event_file_; }
  const std::filesystem::path& last_partner_file() const { return last_partner_file_; }
  const std::string& download_prefix() const { return download_prefix_; }

 private:
  static constexpr OperationState kStates[] = {OperationState::kTransferSelected,
                                               OperationState::kTransferAll, OperationState::kTransferToTemp};

  void StepTransfer(bool single);
  void StepTransferToTemp();
  bool ChooseTransferTarget();
  void StartDownload(OperationState state);
  bool PrepareTransferMd(bool single);  // false: the recorder has no events (216 shown)
  void HandleTransferResult(bool single, int result);
  void OnTransferEventDone(bool single);
  bool DownloadInFlight(int result) const;
  void ShowTransferProgress(bool single);
  void ShowSelectedProgress();        // state 18: blocks of the selected events
  void ShowViewProgress(int events);  // state 20: blocks of the one event
  void RecordViewedFiles();
  // The miniSEED copy of the event file just completed, when the settings ask for one.
  void ExportCompletedEvent();
  // Events on the target recorder and those transferred in this operation.
  std::pair<int, int> EventCounts();

  std::vector<int> selected_files_;
  std::size_t selected_index_ = 0;
  std::vector<int> selected_blocks_;  // estimated blocks of each selected event (state 18)
  int view_blocks_ = 0;               // estimated blocks of the event of state 20
  int view_event_ = 0;
  std::string download_prefix_;
  std::filesystem::path last_event_file_;
  std::filesystem::path last_partner_file_;
  std::filesystem::path last_exported_file_;
};

}  // namespace tarvik
