#pragma once

#include <string>
#include <string_view>

#include "tarvik/eventfiles/export_options.h"

namespace tarvik {

// What a command of a start-up script asks for. The numbers are the kinds the operators' notes use.
enum class ScriptCommandKind : int {
  kEnd = 0,               // past the last command
  kFreeForm = 1,          // recorder commands, sent as a macro
  kTransferLastFile = 2,  // download the newest event
  kTransformFile = 4,     // convert the last event file to text
  kOutput = 5,            // ":" line for the output file
  kWaitOnNewFile = 6,     // wait until the newest event has a given number
  kTraceOn = 7,           // trace into the output file on or off
  kGoTo = 8,              // relative jump
  kIsLastFile = 9,        // branch on the newest event
};

struct ScriptCommand {
  ScriptCommandKind kind = ScriptCommandKind::kEnd;
  std::string argument;
};

// The kind and argument of one script command: the keyword is searched anywhere in the command and
// removed, the rest trimmed. A command that begins with ":" is an output line (its text plus CR LF)
// whatever words it holds.
ScriptCommand InterpretScriptCommand(std::string_view command);

// TraceOn's argument: "TRUE" in any case or "1".
bool ScriptTraceValue(std::string_view argument);
// WaitOnNewFile's argument: 1..255, anything else 0.
int ScriptEventNumber(std::string_view argument);
// GoTo's argument: a signed integer (0 when there is none).
int ScriptJump(std::string_view argument);

// IsLastFile's "n a b".
struct IsLastFileArguments {
  int event = 0;
  int if_newest = 0;
  int otherwise = 0;
};
IsLastFileArguments ParseIsLastFile(std::string_view argument);

// TransformFile's letters into the export options: H N D P A R I T are switched on by a following
// "+" and off by anything else (N the other way round: it stands for "not interpreted"); F, L, C and
// B take the number up to the next blank.
void ApplyTransformLetters(std::string_view letters, ExportOptions& options);

}  // namespace tarvik
