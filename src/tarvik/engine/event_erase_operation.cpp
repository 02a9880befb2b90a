#include "tarvik/engine/event_erase_operation.h"

#include <mutex>

#include "tarvik/engine/maintenance_messages.h"
#include "tarvik/engine/parameter_list_step.h"
#include "tarvik/engine/parameter_messages.h"
#include "tarvik/protocol/command_table.h"

namespace tarvik {

namespace {

constexpr int kEraseList[] = {cmd::kNa, cmd::kMo, cmd::kNa0};
constexpr int kHighestFileNumber = 255;

}  // namespace

bool EventEraseOperation::Request(const std::vector<int>& file_numbers) {
  {
    std::lock_guard lock(core().ModelMutex());
    KrParams* recorder = core().TargetRecord();
    if (recorder == nullptr) return false;
    for (auto& item : recorder->Mo) item.changed = false;
    std::size_t slot = 0;
    for (const int file : file_numbers) {
      if (file < 1 || file > kHighestFileNumber || slot >= recorder->Mo.size()) continue;
      recorder->Mo[slot].value = file;
      recorder->Mo[slot].changed = true;
      ++slot;
    }
    if (slot == 0) return false;
  }
  core().state().connection_requested = true;
  core().fields().step = 0;
  core().fields().phase = 0;
  core().SetState(OperationState::kEraseSelected);
  core().ui().SetWaitCursor(true);
  return true;
}

// Events that were not erased must not go out with a later Mo.
void EventEraseOperation::ForgetChoice() {
  std::lock_guard lock(core().ModelMutex());
  if (KrParams* recorder = core().TargetRecord()) {
    for (auto& item : recorder->Mo) item.changed = false;
  }
}

void EventEraseOperation::Step(OperationState state) {
  (void)state;
  core().ActionProgressTick(msg::kProgressEraseSelected);
  switch (StepParameterList(core(), kEraseList, msg::kParameterWriteError)) {
    case ParameterListResult::kRunning:
      return;
    case ParameterListResult::kEnded:
      ForgetChoice();
      return;
    case ParameterListResult::kDone:
      break;
  }
  ForgetChoice();
  core().FinishOperation(0);
  read_list_again_();
}

}  // namespace tarvik
