#include "tarvik/engine/script_operation.h"

#include <algorithm>
#include <mutex>

#include "krcommon/text_util.h"
#include "tarvik/engine/macro_text.h"
#include "tarvik/eventfiles/event_converter.h"
#include "tarvik/protocol/command_table.h"
#include "tarvik/protocol/event_file_names.h"

namespace tarvik {

namespace {

constexpr int kStatusScript = 380;
constexpr int kMsgCannotOpenFile = 433;
constexpr int kMsgNoFileTransferred = 677;
constexpr int kMsgTransformFailed = 678;
constexpr int kMsgCannotOpenEventFile = 679;
constexpr int kMsgNoReply = 9550;
constexpr int kMsgOutputNotWritten = 9551;
constexpr int kMsgOffline = 9553;
constexpr int kMsgNotTransferred = 9556;

constexpr int kIdentificationList[] = {CommandNumber("IB")};
constexpr int kNewestList[] = {cmd::kNa, CommandNumber("MB"), cmd::kMD, cmd::kM1};
constexpr int kNewestMdStep = 2;
constexpr int kPollList[] = {cmd::kNa, CommandNumber("MB")};

}  // namespace

int NextEventNumber(int newest) {
  return newest >= 255 || newest < 0 ? 1 : newest + 1;
}

ScriptOperation::~ScriptOperation() = default;

void ScriptOperation::SetScript(std::filesystem::path script, std::filesystem::path output,
                                bool quit_at_end) {
  script_ = std::move(script);
  output_path_ = std::move(output);
  quit_at_end_ = quit_at_end;
}

void ScriptOperation::OnConnectionOpened() {
  prefix_.clear();
}

bool ScriptOperation::OnLoginComplete() {
  if (!script_named()) return false;
  target_event_ = 0;
  learning_newest_ = false;
  stop_requested_ = false;
  core().FinishOperation(0);
  core().fields().phase = 0;
  outcome_ = ScriptOutcome::kRunning;
  core().SetState(OperationState::kStartupScript);
  return true;
}

void ScriptOperation::DescribeTo(OperationState, ProtocolContext& context) const {
  // The script fetches one chosen event (the newest): its directory entry is read without walking
  // on, and the file is named by the rule of a chosen event.
  context.download_purpose = DownloadPurpose::kSelectedEvents;
}

DeadLinkEnd ScriptOperation::OnDeadLink(OperationState) {
  WriteError(kMsgNoReply);
  output_.reset();
  outcome_ = ScriptOutcome::kFailed;
  return DeadLinkEnd::kNoReply;
}

void ScriptOperation::Step(OperationState) {
  core().SetStatus(kStatusScript);
  switch (core().fields().phase) {
    case 0:
      Begin();
      return;
    case 1:
      RunCurrent();
      return;
    default:
      Finish();
      return;
  }
}

void ScriptOperation::Begin() {
  core().fields().phase = 1;
  failed_ = false;
  trace_to_output_ = false;
  started_ = false;
  outcome_ = ScriptOutcome::kRunning;
  if (!LoadScript()) {
    failed_ = true;
    core().fields().phase = 2;
    return;
  }
  if (output_path_.empty()) return;
  output_.reset(std::fopen(output_path_.c_str(), "wb"));
  if (!output_) {
    core().Warn(kMsgOutputNotWritten, core().strings().Text(kMsgOutputNotWritten));
    failed_ = true;
    core().fields().phase = 2;
    return;
  }
  if (!core().link().TraceDumpToFile(output_.get())) failed_ = true;
}

bool ScriptOperation::LoadScript() {
  index_ = 0;
  commands_.clear();
  const std::optional<std::string> bytes = ReadScriptFile(script_);
  if (!bytes) {
    core().ui().ShowMessage(kMsgCannotOpenFile, core().strings().Format(kMsgCannotOpenFile, script_.string()),
                            MessageIcon::kError, MessageButtons::kOk);
    return false;
  }
  const std::string text = PrepareMacroText(*bytes, script_.parent_path(), core().ui(), core().strings());
  std::size_t at = 0;
  while (at < text.size()) {
    const std::size_t semicolon = text.find(';', at);
    const std::size_t end = semicolon == std::string::npos ? text.size() : semicolon;
    commands_.push_back(text.substr(at, end - at));
    at = end + 1;
  }
  return true;
}

void ScriptOperation::RunCurrent() {
  const bool link_quiet = core().fields().step == 0 && !sender_.active() && !core().fields().macro_text_sent;
  if (stop_requested_ && link_quiet) {
    failed_ = true;
    core().fields().phase = 2;
    return;
  }
  if (index_ >= commands_.size()) {
    core().fields().phase = 2;
    return;
  }
  const ScriptCommand command = InterpretScriptCommand(commands_[index_]);
  switch (command.kind) {
    case ScriptCommandKind::kEnd:
      core().fields().phase = 2;
      return;
    case ScriptCommandKind::kFreeForm:
      StepFreeForm(command.argument);
      return;
    case ScriptCommandKind::kTransferLastFile:
      StepTransferLastFile(command.argument);
      return;
    case ScriptCommandKind::kTransformFile:
      StepTransform(command.argument);
      return;
    case ScriptCommandKind::kOutput:
      HandleTrace();
      Write(command.argument);
      Next();
      return;
    case ScriptCommandKind::kWaitOnNewFile:
      StepWaitOnNewFile(command.argument);
      return;
    case ScriptCommandKind::kTraceOn: {
      const bool on = ScriptTraceValue(command.argument);
      if (on) {
        core().link().TraceReset();
      } else if (output_ && !core().link().TraceDumpToFile(output_.get())) {
        failed_ = true;
      }
      trace_to_output_ = on;
      Next();
      return;
    }
    case ScriptCommandKind::kGoTo: {
      const long long target = static_cast<long long>(index_) + ScriptJump(command.argument);
      index_ = static_cast<std::size_t>(std::max(0LL, target));
      started_ = false;
      transfer_armed_ = false;
      return;
    }
    case ScriptCommandKind::kIsLastFile:
      StepIsLastFile(command.argument);
      return;
  }
}

void ScriptOperation::StepFreeForm(const std::string& command) {
  if (!started_) {
    std::string prepared = PrepareMacroText(command, script_.parent_path(), core().ui(), core().strings());
    if (prepared.empty()) {
      Next();
      return;
    }
    sender_.Start(std::move(prepared));
    started_ = true;
  }
  if (sender_.active()) {
    const int result = sender_.Step(core());
    if (result == LinkTimedOut || result == LinkOffline)
      WriteError(result == LinkTimedOut ? kMsgNoReply : kMsgOffline);
    return;
  }
  // The engine clears the flag once the reply to the last piece has arrived.
  if (core().fields().macro_text_sent) return;
  const LinkState state = core().link().State();
  if (state == LinkTimedOut || state == LinkOffline) {
    WriteError(state == LinkTimedOut ? kMsgNoReply : kMsgOffline);
    return;
  }
  HandleTrace();
  Next();
}

bool ScriptOperation::RunList(std::span<const int> list) {
  const int result = core().RunCommandList(list);
  if (result == kListDone) return true;
  if (result == LinkTimedOut || result == LinkOffline) {
    WriteError(result == LinkTimedOut ? kMsgNoReply : kMsgOffline);
  } else if (result == LinkRefused) {
    // A command the recorder does not know does not stop the script.
    HandleTrace();
    core().link().SetState(LinkReady);
    core().fields().step = 0;
    Next();
  } else if (IsStuckLinkState(result)) {
    WriteError(kMsgNoReply);
  }
  return false;
}

int ScriptOperation::NewestEvent() {
  std::lock_guard lock(core().ModelMutex());
  const KrParams* recorder = core().TargetRecord();
  return recorder != nullptr ? recorder->MB.value : 0;
}

void ScriptOperation::StepTransferLastFile(const std::string& root) {
  const std::filesystem::path& data_path = core().settings().data_path;
  if (!started_) {
    if (!root.empty()) prefix_ = (data_path / SanitiseFileNamePart(root)).string();
    started_ = true;
    if (!prefix_.empty()) core().link().SetDownloadPrefix(prefix_);
  }
  if (prefix_.empty()) {
    if (!RunList(kIdentificationList)) return;
    std::string identification;
    {
      std::lock_guard lock(core().ModelMutex());
      if (const KrParams* recorder = core().TargetRecord()) identification = recorder->IB.value;
    }
    // Recorder text must not be able to leave the data folder.
    prefix_ = (data_path / SanitiseFileNamePart(kr::Trim(identification))).string();
    if (SanitiseFileNamePart(kr::Trim(identification)).empty()) prefix_ = (data_path / "").string();
    core().link().SetDownloadPrefix(prefix_);
    return;
  }
  // The newest file is asked for once MB has been sent, so that the reply to this MB decides it.
  if (!transfer_armed_ && core().fields().step >= kNewestMdStep) {
    transfer_armed_ = true;
    std::lock_guard lock(core().ModelMutex());
    core().context().file_number_request = FileNumberRequest::kNewest;
  }
  if (core().fields().step == 0 && !transfer_armed_) {
    std::lock_guard lock(core().ModelMutex());
    if (KrParams* recorder = core().TargetRecord()) recorder->downloaded_events = 0;
  }
  if (!RunList(kNewestList)) return;
  int downloaded = 0;
  {
    std::lock_guard lock(core().ModelMutex());
    if (const KrParams* recorder = core().TargetRecord()) downloaded = recorder->downloaded_events;
  }
  const int file_number = core().link().FileNumber();
  if (downloaded == 0) {
    HandleTrace();
    WriteErrorText(core().strings().Format(kMsgNotTransferred, file_number));
    return;
  }
  last_file_name_ = core().link().LastEventFileName();
  Write(kr::FormatPrintf("Event %03d successful transferred %d blocks read.\r\n", file_number,
                         core().link().BlockCount() - 1));
  HandleTrace();
  Next();
}

void ScriptOperation::StepTransform(const std::string& letters) {
  TarvikSettings& settings = core().settings();
  ApplyTransformLetters(letters, settings.export_options);
  if (last_file_name_.empty()) {
    WriteError(kMsgNoFileTransferred);
    return;
  }
  if (std::FILE* probe = std::fopen(last_file_name_.c_str(), "rb")) {
    std::fclose(probe);
  } else {
    WriteError(kMsgCannotOpenEventFile);
    return;
  }
  std::filesystem::path text_file = last_file_name_;
  text_file.replace_extension(".txt");
  EventConverter converter(core().strings(), core().ui(), core().clock());
  converter.SetOptions(ExportOptionsOf(settings));
  if (converter.Convert(last_file_name_, text_file) != 1) {
    WriteError(kMsgTransformFailed);
    return;
  }
  Next();
}

void ScriptOperation::StepWaitOnNewFile(const std::string& argument) {
  if (!started_) {
    started_ = true;
    if (target_event_ == 0) {
      target_event_ = ScriptEventNumber(argument);
      // Without a number the script waits for the event after the newest one, read first.
      learning_newest_ = target_event_ == 0;
    }
  }
  if (!RunList(kPollList)) return;
  const int newest = NewestEvent();
  if (learning_newest_) {
    target_event_ = NextEventNumber(newest);
    learning_newest_ = false;
    return;
  }
  if (newest != target_event_) return;  // the same list runs again at the next tick
  target_event_ = 0;
  HandleTrace();
  Next();
}

void ScriptOperation::StepIsLastFile(const std::string& argument) {
  const IsLastFileArguments arguments = ParseIsLastFile(argument);
  if (!started_) {
    started_ = true;
    if (target_event_ == 0) target_event_ = arguments.event;
  }
  if (!RunList(kPollList)) return;
  const int jump = NewestEvent() == target_event_ ? arguments.if_newest : arguments.otherwise;
  target_event_ = 0;
  HandleTrace();
  index_ = static_cast<std::size_t>(std::max(0LL, static_cast<long long>(index_) + jump));
  started_ = false;
}

void ScriptOperation::Next() {
  ++index_;
  started_ = false;
  transfer_armed_ = false;
  core().fields().step = 0;
}

void ScriptOperation::HandleTrace() {
  if (!trace_to_output_) {
    core().link().TraceReset();
    return;
  }
  if (output_ && !core().link().TraceDumpToFile(output_.get())) failed_ = true;
}

void ScriptOperation::Write(std::string_view text) {
  if (!output_) return;
  if (std::fwrite(text.data(), 1, text.size(), output_.get()) != text.size()) failed_ = true;
}

void ScriptOperation::WriteError(int message) {
  WriteErrorText(core().strings().Text(message));
}

void ScriptOperation::WriteErrorText(const std::string& text) {
  Write(text + "\r\n");
  failed_ = true;
  core().fields().phase = 2;
}

void ScriptOperation::Finish() {
  if (trace_to_output_ && output_ && !core().link().TraceDumpToFile(output_.get())) failed_ = true;
  core().FinishOperation(1);
  if (output_ && std::fflush(output_.get()) != 0) failed_ = true;
  output_.reset();
  outcome_ = failed_ ? ScriptOutcome::kFailed : ScriptOutcome::kCompleted;
}

}  // namespace tarvik
