#pragma once

#include "tarvik/engine/engine_core.h"

namespace tarvik {

// The password prompt of the protected operations (erase, baseline, flags, alarms, filter, self
// tests, memory management): asks for the password, titled with the operation's text, and with
// "  [ KR<n> ]" after it when the control unit reports recorders. OK hands the first five characters
// to the link for the password-carrying commands and requests `state`; Cancel ends the operation.
// True when the operation was requested.
bool RunProtectedPrompt(EngineCore& core, OperationState state, int title_id);

// The title of that prompt.
std::string ProtectedPromptTitle(EngineCore& core, int title_id);

}  // namespace tarvik
