#include "tarvik/engine/memory_management_operation.h"

#include <mutex>

#include "tarvik/engine/maintenance_messages.h"
#include "tarvik/engine/parameter_list_step.h"
#include "tarvik/engine/protected_prompt.h"
#include "tarvik/protocol/command_table.h"

namespace tarvik {

namespace {

constexpr int kFirst = cmd::kFirstRecorderCommand;
constexpr int kReadList[] = {cmd::kNa, CommandNumber("KR", kFirst), CommandNumber("MG", kFirst), cmd::kNa0};
// Tn and Th carry file number 0: triggering off, recording stopped, before Mf erases the memory.
constexpr int kWriteList[] = {
    cmd::kNa, CommandNumber("Tn"), CommandNumber("Th"), CommandNumber("Mf"), cmd::kKr, cmd::kMg, cmd::kNa0};

}  // namespace

bool MemoryManagementOperation::Request() {
  return RunProtectedPrompt(core(), OperationState::kReadMemoryManagement, msg::kTitleMemoryManagement);
}

void MemoryManagementOperation::Step(OperationState state) {
  if (state == OperationState::kReadMemoryManagement) {
    StepRead();
  } else {
    StepWrite();
  }
}

void MemoryManagementOperation::StepRead() {
  core().ActionProgressTick(msg::kTitleMemoryManagement);
  // A refused KR is the answer of a recorder without ring memory: the reply path notes it and the
  // list goes on.
  if (StepParameterList(core(), kReadList, msg::kMemoryManagementReadError) == ParameterListResult::kDone)
    AskAndWrite();
}

void MemoryManagementOperation::AskAndWrite() {
  MemoryManagement current;
  {
    std::lock_guard lock(core().ModelMutex());
    if (const KrParams* recorder = core().TargetRecord()) {
      current.ring = recorder->ring_memory;
      current.mirror = recorder->mirror_enabled;
    }
  }
  core().FinishOperation(0);
  const std::optional<MemoryManagement> choice =
      core().ui().AskMemoryManagement(core().strings().Text(msg::kProgressMemoryManagement), current);
  // Nothing to change is nothing to erase: the warning and the erasing list are for a change only.
  if (!choice || (choice->ring == current.ring && choice->mirror == current.mirror)) {
    core().EndOperation();
    return;
  }
  const MessageAnswer answer = core().ui().ShowMessage(msg::kMemoryManagementWarning,
                                                       core().strings().Text(msg::kMemoryManagementWarning),
                                                       MessageIcon::kWarning, MessageButtons::kYesNo);
  if (answer != MessageAnswer::kYes) {
    core().EndOperation();
    return;
  }
  chosen_ = *choice;
  {
    std::lock_guard lock(core().ModelMutex());
    if (KrParams* recorder = core().TargetRecord()) {
      // Kr and Mg switch the recorder's set-up over; each goes out only for what changed.
      recorder->kr_requested = choice->ring != current.ring;
      recorder->mg_requested = choice->mirror != current.mirror;
    }
    core().context().forced_file_number = 0;
  }
  core().state().connection_requested = true;
  core().fields().step = 0;
  core().fields().phase = 0;
  core().SetState(OperationState::kWriteMemoryManagement);
  core().ui().SetWaitCursor(true);
}

void MemoryManagementOperation::ForgetRequests() {
  std::lock_guard lock(core().ModelMutex());
  if (KrParams* recorder = core().TargetRecord()) {
    recorder->kr_requested = false;
    recorder->mg_requested = false;
  }
  core().context().forced_file_number = kNoForcedFileNumber;
}

void MemoryManagementOperation::StepWrite() {
  core().ActionProgressTick(msg::kProgressMemoryManagement);
  switch (StepParameterList(core(), kWriteList, msg::kMemoryManagementError)) {
    case ParameterListResult::kRunning:
      return;
    case ParameterListResult::kEnded:
      ForgetRequests();
      return;
    case ParameterListResult::kDone:
      CompleteWrite();
      return;
  }
}

void MemoryManagementOperation::CompleteWrite() {
  {
    std::lock_guard lock(core().ModelMutex());
    if (KrParams* recorder = core().TargetRecord()) {
      recorder->ring_memory = chosen_.ring;
      recorder->mirror_enabled = chosen_.mirror;
      recorder->recording = false;
      // Mf emptied the memory.
      recorder->MN.value = 0;
      recorder->MB.value = 0;
      recorder->downloaded_events = 0;
      recorder->directory_entries_read = 0;
      recorder->directory = {};
    }
  }
  ForgetRequests();
  core().FinishOperation(1);
  core().ui().ShowMessage(msg::kMemoryManagementChanged, core().strings().Text(msg::kMemoryManagementChanged),
                          MessageIcon::kInformation, MessageButtons::kOk);
}

}  // namespace tarvik
