#include "tarvik/engine/protected_prompt.h"

#include <mutex>

#include "krcommon/string_table.h"

namespace tarvik {

std::string ProtectedPromptTitle(EngineCore& core, int title_id) {
  const std::string text = core.strings().Text(title_id);
  int recorders = 0;
  if (core.state().control_unit_present) {
    std::lock_guard lock(core.ModelMutex());
    recorders = core.data().hcu.NC.value;
  }
  if (recorders <= 0) return text;
  return kr::FormatPrintf("%s  [ KR%d ]", text.c_str(), core.TargetRecorder());
}

bool RunProtectedPrompt(EngineCore& core, OperationState state, int title_id) {
  core.state().connection_requested = true;
  core.SetState(OperationState::kIdle);
  const std::string prefill =
      core.settings().always_ask_password == 1 ? std::string() : core.fields().password;
  const std::optional<std::string> answer =
      core.ui().AskPassword(ProtectedPromptTitle(core, title_id), prefill);
  if (!answer) {
    core.EndOperation();
    return false;
  }
  core.link().SetPassword(std::string_view(*answer).substr(0, 5));
  core.fields().step = 0;
  core.fields().phase = 0;
  core.SetState(state);
  core.ui().SetWaitCursor(true);
  return true;
}

}  // namespace tarvik
