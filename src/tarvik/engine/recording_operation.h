#pragma once

#include <span>

#include "tarvik/engine/operation.h"

namespace tarvik {

// Recording on and off: from the recording-mode window (53 start, 54 stop; the window stays and the
// engine goes idle) and from the control panel through the idle step (55, 56; the operation ends).
// The memory status is read first: a full memory or file table never gets a start.
class RecordingOperation final : public Operation {
 public:
  using Operation::Operation;

  std::span<const OperationState> States() const override { return kStates; }
  void Step(OperationState state) override;

  // Requests 53 (start) or 54 (stop) from the recording-mode window.
  void RequestFromWindow(bool start);

  static bool IsStart(OperationState state) {
    return state == OperationState::kStartRecordingFromWindow ||
           state == OperationState::kStartRecordingFromPanel;
  }

 private:
  static constexpr OperationState kStates[] = {
      OperationState::kStartRecordingFromWindow, OperationState::kStopRecordingFromWindow,
      OperationState::kStartRecordingFromPanel, OperationState::kStopRecordingFromPanel};

  void Prepare(OperationState state);
  // The memory status message that forbids the start, 0 when there is none.
  int MemoryStatusProblem();
  void Fail(int message);
  void Complete(OperationState state);
};

}  // namespace tarvik
