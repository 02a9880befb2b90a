#pragma once

#include <span>

#include "tarvik/engine/operation.h"

namespace tarvik {

// The maintenance actions: erase all events (62, three phases), new baseline (63), clear the
// recorder's or the control unit's flags (64, 69), reset alarms (65, 72), initialise the filter (66),
// the recording system tests (67, 68), clear the communication counters (70) and set the recorder's
// clock from the PC (97). The protected ones pass the password prompt first.
class MaintenanceOperation final : public Operation {
 public:
  using Operation::Operation;

  std::span<const OperationState> States() const override { return kStates; }
  void Step(OperationState state) override;

  // The menu entry or switch of `state`: the password prompt for the protected actions, then the
  // state. False when the prompt was cancelled or the state is none of this unit's.
  bool Request(OperationState state);

  // Whether `state` asks for the password first.
  static bool IsProtected(OperationState state);

 private:
  static constexpr OperationState kStates[] = {OperationState::kEraseAll,
                                               OperationState::kBaseline,
                                               OperationState::kClearRecorderFlags,
                                               OperationState::kClearHcuFlags,
                                               OperationState::kResetRecorderAlarms,
                                               OperationState::kResetHcuAlarms,
                                               OperationState::kInitialiseFilter,
                                               OperationState::kRecorderSelfTest,
                                               OperationState::kHcuSelfTest,
                                               OperationState::kClearCommunicationCounters,
                                               OperationState::kSyncClock};

  struct Action;
  static const Action* Find(OperationState state);

  void StepAction(const Action& action);
  void CompleteAction(const Action& action);
  void StepErase();
  void CompleteErasePhase();
  void EndErase(bool refused);
  void ForceFileNumber(int number);
  bool HandleStopping(int result, int offline_message);

  int saved_trigger_mode_ = 0;
  bool erase_refused_ = false;  // Mf was refused: the trigger mode is restored, then 242
};

}  // namespace tarvik
