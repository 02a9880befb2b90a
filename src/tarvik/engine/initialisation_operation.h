#pragma once

#include <functional>

#include "tarvik/engine/operation.h"

namespace tarvik {

// Initialisation after the log-in (state 15, phases 0-4) and the activation of another recorder
// behind the control unit, which runs phases 1-4 again; ends with the firmware check.
class InitialisationOperation final : public Operation {
 public:
  using Operation::Operation;

  std::span<const OperationState> States() const override { return kStates; }
  void Step(OperationState state) override;
  void OnConnectionOpened() override { current_event_index_ = 0; }

  // Called at the end of every log-in that passed the firmware check (the start-up script starts
  // there); true when it requested a state.
  void set_login_complete_hook(std::function<bool()> hook) { login_complete_ = std::move(hook); }

  // Activate KR n: the initialisation of phases 1-4 runs again for recorder n.
  void ActivateRecorder(int recorder);

  // The newest event of the target recorder as set at the end of the log-in (events - 1, 0 when
  // there are none); the event list window starts from it.
  int current_event_index() const { return current_event_index_; }

 private:
  static constexpr OperationState kStates[] = {OperationState::kInitialisation};

  // The phases; each returns the link state its result handling must see (-1: none).
  int StepPhase0();
  int StepPhase12();
  int StepPhase34();
  void EnterFinalPhase();
  void HandleResult(int result);
  void CompleteLogin();
  bool FirmwareCheck();
  void ClearRefusal();

  int current_event_index_ = 0;
  std::function<bool()> login_complete_;
};

}  // namespace tarvik
