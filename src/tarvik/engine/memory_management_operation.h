#pragma once

#include <span>

#include "tarvik/engine/operation.h"
#include "tarvik/uiport/ui_port.h"

namespace tarvik {

// Memory Managment: after the password prompt, 73 reads whether the recorder's memory is a ring (KR)
// and mirrored (MG) and asks for the new set-up; a change erases every event, so it is sent (74: stop
// triggering and recording, erase, then Kr and Mg for what changed) only after the warning 401 was
// answered Yes.
class MemoryManagementOperation final : public Operation {
 public:
  using Operation::Operation;

  std::span<const OperationState> States() const override { return kStates; }
  void Step(OperationState state) override;

  // The menu entry or switch: the password prompt, then 73. False when the prompt was cancelled.
  bool Request();

 private:
  static constexpr OperationState kStates[] = {OperationState::kReadMemoryManagement,
                                               OperationState::kWriteMemoryManagement};

  void StepRead();
  void AskAndWrite();
  void StepWrite();
  void ForgetRequests();
  void CompleteWrite();

  MemoryManagement chosen_;
};

}  // namespace tarvik
