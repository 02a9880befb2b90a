#pragma once

#include <functional>
#include <span>
#include <vector>

#include "tarvik/config/parameter_page.h"
#include "tarvik/engine/operation.h"

namespace tarvik {

// The reading and showing states: each reads one group of recorder or control-unit values into the
// data model and then shows the page of them (31-34, 36, 38-41, 43, 45, 49, 50, 52, 71, 79, 81, 83,
// 90, 93-95 and the alerting reads 25, 27, 29).
class ParameterReadOperation final : public Operation {
 public:
  explicit ParameterReadOperation(EngineCore& core);

  std::span<const OperationState> States() const override { return states_; }
  void Step(OperationState state) override;
  void OnConnectionOpened() override { shown_state_ = OperationState::kIdle; }

  // Requests the reading state of `state` (one of States()).
  void RequestRead(OperationState state);
  // The state that reads a page: the recording mode is read by 52 while blasting mode is active.
  OperationState StateForPage(ParameterPage page);
  // Every command a page's values come from (the A/D page: the identification, then the values).
  std::vector<int> PageReadList(ParameterPage page);

  // Called when a state's values are ready to be shown (the window opens there).
  void set_on_show(std::function<void(OperationState)> on_show) { on_show_ = std::move(on_show); }
  // The state whose values were shown last; kIdle after a failure or refusal.
  OperationState shown_state() const { return shown_state_; }

 private:
  struct ReadState {
    OperationState state;
    ParameterPage page;
    std::vector<int> list;
    int offline_message;
    int feature_test_command;  // the alerting reads stop here without option bit 8; -1: none
  };

  const ReadState* Find(OperationState state) const;
  bool BlastingModeActive();
  bool AlertingUnavailableAt(const ReadState& read);
  void Show(const ReadState& read);

  std::vector<ReadState> reads_;
  std::vector<OperationState> states_;
  std::function<void(OperationState)> on_show_;
  OperationState shown_state_ = OperationState::kIdle;
};

}  // namespace tarvik
