#include "tarvik/engine/parameter_list_step.h"

namespace tarvik {

ParameterListResult StepParameterList(EngineCore& core, std::span<const int> list, int offline_message) {
  const int result = core.RunCommandList(list);
  switch (result) {
    case kListRunning:
      return ParameterListResult::kRunning;
    case kListDone:
      return ParameterListResult::kDone;
    case LinkTimedOut:
      core.ReportTimeout();
      return ParameterListResult::kEnded;
    case LinkOffline:
      core.ReportFailure(offline_message);
      return ParameterListResult::kEnded;
    case LinkRefused:
      core.link().SetState(LinkReady);
      return ParameterListResult::kRunning;
    default:
      break;
  }
  // A link state the builder will not leave by itself would hold the operation for ever.
  if (IsStuckLinkState(result)) {
    core.FinishOperation(1);
    return ParameterListResult::kEnded;
  }
  return ParameterListResult::kRunning;
}

}  // namespace tarvik
