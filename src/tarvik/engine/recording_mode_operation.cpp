#include "tarvik/engine/recording_mode_operation.h"

#include <algorithm>
#include <mutex>

#include "tarvik/engine/engine_messages.h"
#include "tarvik/engine/maintenance_messages.h"
#include "tarvik/protocol/command_table.h"

namespace tarvik {

namespace {

constexpr int kFirst = cmd::kFirstRecorderCommand;
const int kTn = CommandNumber("Tn");
const int kFs = CommandNumber("Fs");
const int kTnRead = CommandNumber("TN", kFirst);
const int kTqRead = CommandNumber("TQ", kFirst);
const int kFsRead = CommandNumber("FS", kFirst);
const int kTv = CommandNumber("Tv");
const int kTk = CommandNumber("Tk");
const int kTq = CommandNumber("Tq");
const int kIr = CommandNumber("Ir");
const int kAo1 = CommandNumber("Ao1");
const int kAo2 = CommandNumber("Ao2");

// The filter the blasting mode runs with, and the one it gives back when it stops.
constexpr int kBlastingFilter = 8;
constexpr int kNormalFilter = 5;
// What the recorder's filter value reads while the blasting filter is set.
constexpr int kBlastingFilterValue = 800;

constexpr int kVmModes[] = {4, 6, 8, 10, 11, 12, 13, 14};
constexpr int kKbModes[] = {2, 3, 7, 9};

}  // namespace

bool RecordingModeOperation::IsVmMode(int mode) {
  return std::find(std::begin(kVmModes), std::end(kVmModes), mode) != std::end(kVmModes);
}
bool RecordingModeOperation::IsKbMode(int mode) {
  return std::find(std::begin(kKbModes), std::end(kKbModes), mode) != std::end(kKbModes);
}

void RecordingModeOperation::RequestBlastingMode() {
  bool active = false;
  {
    std::lock_guard lock(core().ModelMutex());
    KrParams* recorder = core().TargetRecord();
    active = recorder != nullptr && recorder->TN.value == kBlastingMode;
    if (recorder != nullptr && !active) recorder->FS.value = kBlastingFilterValue;
  }
  if (active) {
    Request(OperationState::kBlastingMode, {cmd::kNa, kTn, kFs, cmd::kFi, kTnRead, cmd::kNa0},
            msg::kStopBlasting, 0, kNormalFilter);
  } else {
    Request(OperationState::kBlastingMode, {cmd::kNa, kFs, cmd::kFi, kIr, kTn, kTnRead, cmd::kNa0},
            msg::kStartBlasting, kBlastingMode, kBlastingFilter);
  }
}

void RecordingModeOperation::RequestVmMode(bool start, int mode) {
  if (!start) {
    Request(OperationState::kStopVmMode, {cmd::kNa, kTn, cmd::kFi, kTnRead, cmd::kNa0}, msg::kStopVm, 0, -1);
    return;
  }
  if (mode < 0) {
    std::lock_guard lock(core().ModelMutex());
    const KrParams* recorder = core().TargetRecord();
    mode = recorder != nullptr && IsVmMode(recorder->TN.value) ? recorder->TN.value : kDefaultVmMode;
  }
  Request(OperationState::kStartVmMode, {cmd::kNa, kTv, kTk, kTq, kTn, cmd::kFi, kTnRead, kTqRead, cmd::kNa0},
          msg::kStartVm, mode, -1);
}

void RecordingModeOperation::RequestKbMode(bool start, int mode) {
  if (!start) {
    Request(OperationState::kStopKbMode, {cmd::kNa, kAo1, kAo2, kTn, kTnRead, cmd::kNa0}, msg::kStopKb, 0,
            -1);
    return;
  }
  int filter = 0;
  {
    std::lock_guard lock(core().ModelMutex());
    const KrParams* recorder = core().TargetRecord();
    if (mode < 0)
      mode = recorder != nullptr && IsKbMode(recorder->TN.value) ? recorder->TN.value : kDefaultKbMode;
    // Fs gives the recorder back the filter it has stored.
    filter = recorder != nullptr ? recorder->FS.value : 0;
  }
  Request(
      OperationState::kStartKbMode,
      {cmd::kNa, kAo1, kAo2, kIr, kFs, cmd::kFi, kTk, kTv, kTq, kTn, kTnRead, kTqRead, kFsRead, cmd::kNa0},
      msg::kStartKb, mode, filter);
}

void RecordingModeOperation::Request(OperationState state, std::vector<int> list, int text, int tn_number,
                                     int fs_number) {
  list_ = std::move(list);
  text_ = text;
  tn_number_ = tn_number;
  fs_number_ = fs_number;
  core().state().connection_requested = true;
  core().fields().step = 0;
  core().fields().phase = 0;
  core().SetState(state);
  core().ui().SetWaitCursor(true);
}

// Tn and Fs both carry a file number; each gets its own. The command that goes out next is the one
// at the cursor, or the one before it when the runner is about to repeat it.
void RecordingModeOperation::ForceNumberForNextCommand() {
  int index = core().fields().step;
  if (index > 0 && core().link().State() == LinkRetry && core().link().ItemCursor() == 0) --index;
  if (index >= static_cast<int>(list_.size())) return;
  const int command = list_[static_cast<std::size_t>(index)];
  std::lock_guard lock(core().ModelMutex());
  if (command == kTn) {
    core().context().forced_file_number = tn_number_;
  } else if (command == kFs && fs_number_ >= 0) {
    core().context().forced_file_number = fs_number_;
  }
}

void RecordingModeOperation::EndWith(int message) {
  {
    std::lock_guard lock(core().ModelMutex());
    core().context().forced_file_number = kNoForcedFileNumber;
  }
  if (message == msg::kNoReply) {
    core().ReportTimeout();
  } else if (message == msg::kRecorderNotAvailable) {
    core().FinishAndWarn(message, core().TargetRecorder());
  } else {
    core().ReportFailure(message);
  }
}

void RecordingModeOperation::Step(OperationState state) {
  (void)state;
  core().ActionProgressTick(text_);
  ForceNumberForNextCommand();
  const int result = core().RunCommandList(list_);
  switch (result) {
    case kListRunning:
      return;
    case kListDone:
      core().FinishOperation(0);
      return;
    case LinkTimedOut:
      EndWith(msg::kNoReply);
      return;
    case LinkOffline:
      EndWith(msg::kRecordingModeError);
      return;
    case LinkRefused:
      core().link().SetState(LinkReady);
      return;
    case LinkBadTarget:
      EndWith(msg::kRecorderNotAvailable);
      return;
    default:
      if (IsStuckLinkState(result)) EndWith(msg::kRecordingModeError);
      return;
  }
}

}  // namespace tarvik
