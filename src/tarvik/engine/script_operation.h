#pragma once

#include <cstdio>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "tarvik/engine/macro_sender.h"
#include "tarvik/engine/operation.h"
#include "tarvik/engine/script_command.h"

namespace tarvik {

// How the start-up script ended.
enum class ScriptOutcome {
  kNotRun,
  kRunning,
  kCompleted,  // ran to its end without an error line
  kFailed,     // the script could not be read, an error line was written, or the output failed
};

// The next event number after `newest` on a recorder: a ring memory numbers its events 1..255 and
// goes on with 1 after 255; 0 (no event yet) is followed by 1.
int NextEventNumber(int newest);

// The start-up script (state 87): requested at the end of every log-in while a script is named;
// loads the script, runs its commands one by one (free-form commands as macros, and the keywords:
// TransferLastFile, TraceOn, TransformFile, WaitOnNewFile, GoTo, IsLastFile, ":" lines), and writes
// the output file.
class ScriptOperation final : public Operation {
 public:
  using Operation::Operation;
  ~ScriptOperation() override;

  std::span<const OperationState> States() const override { return kStates; }
  void Step(OperationState state) override;
  void DescribeTo(OperationState state, ProtocolContext& context) const override;
  DeadLinkEnd OnDeadLink(OperationState state) override;
  void OnConnectionOpened() override;

  // The command line: "/i" script, "/o" output file ("" for none), "/q".
  void SetScript(std::filesystem::path script, std::filesystem::path output, bool quit_at_end);
  bool script_named() const { return !script_.empty(); }
  bool quit_at_end() const { return quit_at_end_; }
  // The end of a log-in: the script starts when one is named. True when it was requested.
  bool OnLoginComplete();

  // The program is closing: a running script ends before its next command, once the link has no
  // command outstanding, so that a wait for an event that never comes (or "GoTo 0") cannot keep
  // the program from closing. It counts as a script that did not run to its end.
  void RequestStop() { stop_requested_ = true; }

  ScriptOutcome outcome() const { return outcome_; }
  // The event file the last TransferLastFile wrote ("" before the first).
  const std::string& last_file_name() const { return last_file_name_; }
  const std::vector<std::string>& commands() const { return commands_; }

 private:
  static constexpr OperationState kStates[] = {OperationState::kStartupScript};

  void Begin();
  bool LoadScript();
  void RunCurrent();
  void StepFreeForm(const std::string& command);
  void StepTransferLastFile(const std::string& root);
  void StepTransform(const std::string& letters);
  void StepWaitOnNewFile(const std::string& argument);
  void StepIsLastFile(const std::string& argument);
  void Finish();

  // Runs a list; true when it is complete. A failure of the link ends the script (false then too).
  bool RunList(std::span<const int> list);
  int NewestEvent();
  void HandleTrace();
  void Next();
  void Write(std::string_view text);
  void WriteError(int message);
  void WriteErrorText(const std::string& text);

  std::filesystem::path script_;
  std::filesystem::path output_path_;
  bool quit_at_end_ = false;

  std::vector<std::string> commands_;
  std::size_t index_ = 0;
  std::unique_ptr<std::FILE, int (*)(std::FILE*)> output_{nullptr, &std::fclose};
  bool trace_to_output_ = false;
  int target_event_ = 0;
  bool learning_newest_ = false;
  std::string prefix_;
  std::string last_file_name_;
  bool started_ = false;         // the current command has begun its work
  bool transfer_armed_ = false;  // the newest file is requested for this TransferLastFile
  MacroSender sender_;
  ScriptOutcome outcome_ = ScriptOutcome::kNotRun;
  bool failed_ = false;
  bool stop_requested_ = false;
};

}  // namespace tarvik
