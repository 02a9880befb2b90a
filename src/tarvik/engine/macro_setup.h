#pragma once

#include <filesystem>

#include "tarvik/app/command_line.h"
#include "tarvik/engine/operation_engine.h"
#include "tarvik/engine/script_operation.h"

namespace tarvik {

// What the window and tarvik-cli both do at start, so that a macro or script behaves the same in
// either: the macros of "Macro.def" in the data root, and the start-up script of the command line
// ("/i" script, "/o" output, "/q"), which also keeps the log-in from asking for the password.
void SetUpMacrosAndScript(OperationEngine& engine, const std::filesystem::path& data_root,
                          const CCommandLine& command_line);

// The exit status a start-up script leaves to the program: 0 without a script, or when the script
// ran to its end without an error line; 1 otherwise (also when it never started).
int ScriptExitStatus(const ScriptOperation& script);

}  // namespace tarvik
