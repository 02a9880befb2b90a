#include "tarvik/engine/recording_operation.h"

#include <mutex>

#include "tarvik/engine/engine_messages.h"
#include "tarvik/engine/maintenance_messages.h"
#include "tarvik/protocol/command_table.h"

namespace tarvik {

namespace {

constexpr int kRecordingList[] = {cmd::kNa, CommandNumber("FM", cmd::kFirstRecorderCommand),
                                  CommandNumber("FF", cmd::kFirstRecorderCommand), CommandNumber("Th"),
                                  cmd::kNa0};
constexpr int kThStep = 3;  // the memory status is tested before this command goes out

}  // namespace

void RecordingOperation::RequestFromWindow(bool start) {
  core().state().connection_requested = true;
  core().fields().step = 0;
  core().fields().phase = 0;
  core().SetState(start ? OperationState::kStartRecordingFromWindow
                        : OperationState::kStopRecordingFromWindow);
  core().ui().SetWaitCursor(true);
}

// The control panel's requests reach these states through the idle step without a request of their
// own, so the set-up happens on the first tick.
void RecordingOperation::Prepare(OperationState state) {
  std::lock_guard lock(core().ModelMutex());
  // Th carries 1 to start and 0 to stop.
  core().context().forced_file_number = IsStart(state) ? 1 : 0;
  // Only what FM and FF answer now counts, not the status of an earlier read.
  if (KrParams* recorder = core().TargetRecord()) {
    recorder->memory_status.clear();
    recorder->files_status.clear();
  }
}

int RecordingOperation::MemoryStatusProblem() {
  const std::string error = core().strings().Text(msg::kMemoryStatusError);
  std::lock_guard lock(core().ModelMutex());
  KrParams* recorder = core().TargetRecord();
  if (recorder == nullptr) return 0;
  int problem = 0;
  if (recorder->memory_status == error) {
    problem = msg::kMemoryFull;
  } else if (recorder->files_status == error) {
    problem = msg::kMaximumFiles;
  }
  if (problem != 0) recorder->recording = false;
  return problem;
}

void RecordingOperation::Fail(int message) {
  {
    std::lock_guard lock(core().ModelMutex());
    core().context().forced_file_number = kNoForcedFileNumber;
  }
  if (message == msg::kNoReply) {
    core().ReportTimeout();
  } else {
    core().ReportFailure(message);
  }
}

void RecordingOperation::Step(OperationState state) {
  EngineFields& fields = core().fields();
  if (fields.phase == 0) {
    Prepare(state);
    fields.phase = 1;
    fields.step = 0;
  }
  if (fields.step == kThStep && core().link().State() != LinkRetry) {
    if (const int problem = MemoryStatusProblem(); problem != 0) {
      Fail(problem);
      return;
    }
  }
  const int result = core().RunCommandList(kRecordingList);
  switch (result) {
    case kListRunning:
      return;
    case kListDone:
      Complete(state);
      return;
    case LinkTimedOut:
      Fail(msg::kNoReply);
      return;
    case LinkOffline:
      Fail(msg::kRecordingModeError);
      return;
    case LinkRefused:
      // A recorder that refuses Th has not switched: the flag must not say it has.
      if (fields.step == kThStep + 1) {
        Fail(msg::kRecordingModeError);
        return;
      }
      core().link().SetState(LinkReady);
      return;
    case LinkBadTarget: {
      std::lock_guard lock(core().ModelMutex());
      core().context().forced_file_number = kNoForcedFileNumber;
    }
      core().FinishAndWarn(msg::kRecorderNotAvailable, core().TargetRecorder());
      return;
    default:
      if (IsStuckLinkState(result)) Fail(msg::kRecordingModeError);
      return;
  }
}

void RecordingOperation::Complete(OperationState state) {
  {
    std::lock_guard lock(core().ModelMutex());
    if (KrParams* recorder = core().TargetRecord()) recorder->recording = IsStart(state);
  }
  const bool from_window =
      state == OperationState::kStartRecordingFromWindow || state == OperationState::kStopRecordingFromWindow;
  core().FinishOperation(from_window ? 0 : 1);
}

}  // namespace tarvik
