#pragma once

#include <span>
#include <vector>

#include "tarvik/engine/operation.h"

namespace tarvik {

// The writing states, requested by the OK button of the window a reading state opened: each sends
// the values the window stored in the data model with their changed flags (35, 37, 42, 44, 46, 51,
// 84, 26, 28, 30, 80, 91, 96, 88), and the alerting window's test message (82), which sends no value.
class ParameterWriteOperation final : public Operation {
 public:
  explicit ParameterWriteOperation(EngineCore& core);

  std::span<const OperationState> States() const override { return states_; }
  void Step(OperationState state) override;

  // Requests a writing state (one of States()).
  void RequestWrite(OperationState state);
  // The filter window that was used decides the list of 42: with the filter characteristic (Fs)
  // or with the sampling rate only.
  void RequestFilterWrite(bool with_characteristic);

 private:
  struct WriteState {
    OperationState state;
    std::vector<int> list;
    int progress_text;    // 0: no progress window
    int success_message;  // 0: none
    int offline_message;
  };

  const WriteState* Find(OperationState state) const;
  void Complete(const WriteState& write);
  bool ClockSettingRefused();

  std::vector<WriteState> writes_;
  std::vector<OperationState> states_;
  std::vector<int> filter_short_list_;
  bool filter_with_characteristic_ = true;
  bool clock_pending_at_start_ = false;
};

}  // namespace tarvik
