#pragma once

#include <functional>
#include <vector>

#include "tarvik/engine/operation.h"

namespace tarvik {

// The recorder's event list: View > Event (21) and Transfer > Single Events (23), and their repeats
// from the event windows (22, 24). The directory is read newest first; the single-event window's
// choice is handed on as a transfer of the chosen events.
class EventListOperation final : public Operation {
 public:
  using TransferChosen = std::function<void(std::vector<int> file_numbers)>;

  EventListOperation(EngineCore& core, TransferChosen transfer_chosen)
      : Operation(core), transfer_chosen_(std::move(transfer_chosen)) {}

  std::span<const OperationState> States() const override { return kStates; }
  void Step(OperationState state) override;

  // View > Event (21) and Transfer > Single Events (23).
  void RequestEventList();
  void RequestSingleEventList();
  // The event list window's repeat (22), after its events were erased.
  void RequestListAgain() { Request(OperationState::kEventListRepeat); }

  // The event list read last, newest first.
  const std::vector<EventListRow>& event_rows() const { return event_rows_; }

 private:
  static constexpr OperationState kStates[] = {OperationState::kEventList, OperationState::kEventListRepeat,
                                               OperationState::kSingleEventList,
                                               OperationState::kSingleEventListRepeat};

  void Request(OperationState state);
  void FinishList(OperationState state, int events);
  void ShowProgress(int read, int events);
  void HandleResult(int result, int last_step);
  void ClearDirectoryCount();
  void CollectRows();

  TransferChosen transfer_chosen_;
  std::vector<EventListRow> event_rows_;
};

}  // namespace tarvik
