#pragma once

#include <span>
#include <vector>

#include "tarvik/engine/operation.h"

namespace tarvik {

// The recording modes of the recording-mode window: blasting mode on or off (57, by the recorder's
// trigger mode), VM mode (58 start, 59 stop) and KB mode (60 start, 61 stop). Each sends its list
// with the file numbers that select the mode and the filter, then re-reads the trigger mode.
class RecordingModeOperation final : public Operation {
 public:
  using Operation::Operation;

  std::span<const OperationState> States() const override { return kStates; }
  void Step(OperationState state) override;

  // The trigger mode of the blasting mode.
  static constexpr int kBlastingMode = 5;
  // The trigger mode a VM or KB start selects when the recorder holds none of that family.
  static constexpr int kDefaultVmMode = 4;
  static constexpr int kDefaultKbMode = 2;
  static bool IsVmMode(int mode);
  static bool IsKbMode(int mode);

  // 57: starts the blasting mode, or stops it when it is active.
  void RequestBlastingMode();
  // 58 / 59 and 60 / 61. `mode` is the trigger mode a start selects; -1: the recorder's trigger mode
  // when it is one of that family, else the default one.
  void RequestVmMode(bool start, int mode = -1);
  void RequestKbMode(bool start, int mode = -1);

 private:
  static constexpr OperationState kStates[] = {OperationState::kBlastingMode, OperationState::kStartVmMode,
                                               OperationState::kStopVmMode, OperationState::kStartKbMode,
                                               OperationState::kStopKbMode};

  void Request(OperationState state, std::vector<int> list, int text, int tn_number, int fs_number);
  void ForceNumberForNextCommand();
  void EndWith(int message);

  std::vector<int> list_;
  int text_ = 0;        // the progress window's text
  int tn_number_ = 0;   // the file number Tn carries
  int fs_number_ = -1;  // the file number Fs carries; -1: the list has no Fs
};

}  // namespace tarvik
