#include "tarvik/engine/macro_setup.h"

#include "tarvik/engine/macro_operation.h"
#include "tarvik/engine/macro_table.h"

namespace tarvik {

void SetUpMacrosAndScript(OperationEngine& engine, const std::filesystem::path& data_root,
                          const CCommandLine& command_line) {
  engine.Unit<MacroOperation>().SetMacroTable(ReadMacroTable(data_root / "Macro.def"));
  engine.set_script_named(!command_line.script_file().empty());
  if (!command_line.script_file().empty()) {
    engine.Unit<ScriptOperation>().SetScript(command_line.script_file(), command_line.output_file(),
                                             command_line.quit_at_end());
  }
}

int ScriptExitStatus(const ScriptOperation& script) {
  if (!script.script_named()) return 0;
  return script.outcome() == ScriptOutcome::kCompleted ? 0 : 1;
}

}  // namespace tarvik
