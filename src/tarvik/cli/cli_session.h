#pragma once

#include <optional>
#include <string>
#include <vector>

#include "tarvik/app/tarvik_app.h"
#include "tarvik/cli/console_ui.h"
#include "tarvik/engine/operation_state.h"

namespace tarvik {

// One operation switch of tarvik-cli; they run in the order given, after the log-in.
struct CliOperation {
  enum class Kind {
    kActivateRecorder,
    kTransferAll,
    kListEvents,
    kMaintenance,
    kExportParams,
    kExportHcuParams,
    kShow,
    kMacroText,
    kMacroEntry,
    kNewPassword,
    kMemoryManagement,
    kRecording,
    kBlastingMode,
    kVmMode,
    kKbMode,
    kAlertingTest,
    kEraseEvents,
  };
  Kind kind = Kind::kListEvents;
  int recorder = 0;  // kActivateRecorder; kMacroEntry: the entry of Macro.def, 1..20
  // kTransferAll: the root name ("" = the dialog's initial dashes); kShow: the page; kMacroText: the text
  std::string root;
  OperationState state = OperationState::kIdle;  // kMaintenance: the action's state
  bool start = false;                            // kRecording, kVmMode, kKbMode: start (else stop)
  std::optional<bool> ring;                      // kMemoryManagement: what the switch names
  std::optional<bool> mirror;
  std::vector<int> events;  // kEraseEvents: the file numbers
};

struct CliOptions {
  std::vector<std::string> tarvik_words;  // the program word and the switches of tarvik itself
  std::vector<CliOperation> operations;
  std::optional<std::string> password;
  bool verbose = false;
  bool list_pages = false;  // --show list
  // --new-tcp-document FILE HOST:PORT: write a connection document and stop.
  std::string new_document;
  std::string new_document_address;
  std::string error;  // the switch that could not be understood
};

// Splits tarvik-cli's own switches from those of tarvik.
CliOptions ParseCliOptions(int argc, const char* const* argv);

// Writes a version-7 TCP connection document for HOST:PORT. False with a message on `err`.
bool WriteTcpDocument(const std::string& path, const std::string& address, std::ostream& err);

// Runs tarvik-cli: start-up as the application shell does it, connection, log-in, the operations,
// log-out and shut-down, Trace.dat. The exit status: 0 when every requested step succeeded.
int RunCliSession(const CliOptions& options, ConsoleUi& ui, AppEnvironment environment);

}  // namespace tarvik
