#pragma once

#include <span>

#include "tarvik/engine/engine_core.h"

namespace tarvik {

// What one tick of a parameter operation's command list came to.
enum class ParameterListResult {
  kRunning,  // commands are outstanding (a refused one was cleared and the list goes on)
  kDone,     // every command is answered: the state does its completion work
  kEnded,    // the operation ended with its failure message (or a link state nothing can clear)
};

// One tick of the common pattern of the parameter and maintenance states: run the list; a time-out
// ends with 212, an offline unit with `offline_message`; a refused command is cleared and the list
// goes on.
ParameterListResult StepParameterList(EngineCore& core, std::span<const int> list, int offline_message);

}  // namespace tarvik
