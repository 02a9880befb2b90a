#include "tarvik/engine/engine_core.h"

#include <algorithm>

#include "kr_version.h"
#include "tarvik/engine/engine_messages.h"
#include "tarvik/engine/operation.h"
#include "tarvik/protocol/command_table.h"

namespace tarvik {

namespace {

// Link states a command list cannot get past by itself: the builder sends nothing more in them, and
// issuing the next command (or the NOP that completes the list) would hide the failure.
bool IsSettledFailure(int state) {
  return state == LinkTimedOut || state == LinkOffline || state == LinkSerialFailed ||
         state == LinkBadTarget || state == LinkRefused || state == LinkAbandoned;
}

// State 1, the end of every reported failure: the control unit stops addressing the recorder.
class BackToControlUnit final : public Operation {
 public:
  using Operation::Operation;

  std::span<const OperationState> States() const override { return kStates; }
  DeadLinkEnd OnDeadLink(OperationState) override { return DeadLinkEnd::kQuiet; }

  void Step(OperationState) override {
    // A link that is gone has no control unit to return to.
    if (!core().link_open() || !core().link().Connected()) {
      core().FinishOperation(1);
      return;
    }
    static constexpr int kList[] = {cmd::kNa0};
    const int result = core().RunListAndFinish(true, kList);
    if (IsStuckLinkState(result)) core().FinishOperation(1);
  }

 private:
  static constexpr OperationState kStates[] = {OperationState::kBackToControlUnit};
};

}  // namespace

bool IsStuckLinkState(int state) {
  return state == LinkRefused || state == LinkBadTarget || state == LinkSerialFailed ||
         state == LinkAbandoned || state == LinkModemNotReady || state == kNoChannelState;
}

EngineCore::EngineCore(EngineServices services) : services_(services) {
  builtin_.push_back(std::make_unique<BackToControlUnit>(*this));
  Register(*builtin_.back());
}

EngineCore::~EngineCore() = default;

void EngineCore::Register(Operation& operation) {
  for (const OperationState state : operation.States())
    table_[static_cast<size_t>(ToInt(state))] = &operation;
  operations_.push_back(&operation);
}

Operation* EngineCore::OperationFor(OperationState state) const {
  const int index = ToInt(state);
  if (index < 0 || index >= kOperationStateCount) return nullptr;
  return table_[static_cast<size_t>(index)];
}

void EngineCore::Start() {
  ResetEngine();
  FinishOperation(1);
  state_.recording_request = RecordingRequest::kNone;
  SetState(OperationState::kStartWindow);
}

void EngineCore::SyncContext() {
  std::lock_guard lock(ModelMutex());
  ProtocolContext& context = services_.context;
  context.control_unit_present = state_.control_unit_present;
  context.direct_link = state_.link_kind == LinkKind::kDirect;
  context.logging_in = false;
  context.download_purpose = DownloadPurpose::kNone;
  if (const Operation* operation = OperationFor(state_.operation_state))
    operation->DescribeTo(state_.operation_state, context);
}

void EngineCore::SetState(OperationState state) {
  if (state_.deferral) {
    state_.pending_state = state;
    return;
  }
  state_.operation_state = state;
  SyncContext();
}

void EngineCore::BeginDeferral() {
  if (state_.deferral) return;
  state_.pending_state = OperationState::kIdle;  // nothing requested meanwhile: idle afterwards
  state_.deferral = true;
}

void EngineCore::EndDeferral() {
  state_.deferral = false;
  SetState(state_.pending_state);
}

void EngineCore::EndOperation() {
  state_.busy = false;
  state_.connection_requested = false;
  state_.recording_mode_window_open = false;
  SetState(OperationState::kIdle);
}

void EngineCore::ResetEngine() {
  state_.logged_in = false;
  EndOperation();
}

void EngineCore::FinishOperation(int end) {
  fields_.step = 0;
  fields_.phase = 0;
  refusal_mark_ = false;
  fields_.stop_requested = false;
  fields_.text_offset = 0;
  retry_stepped_back_ = false;
  if (services_.link.HasChannel()) services_.link.SetState(LinkReady);
  if (end == 1) {
    EndOperation();
  } else {
    SetState(OperationState::kIdle);
    state_.busy = false;
  }
  CloseProgress();
  services_.ui.SetWaitCursor(false);
}

void EngineCore::Warn(int message, const std::string& text) {
  ++failure_count_;
  last_failure_id_ = message;
  services_.ui.ShowMessage(message, text, MessageIcon::kWarning, MessageButtons::kOk);
}

void EngineCore::WarnTimeout() {
  Warn(msg::kNoReply, services_.strings.Format(msg::kNoReply, std::string("ComTimeoutHCU"),
                                               std::string("ComTimeoutKR"), std::string("Tarvik.ini")));
}

void EngineCore::ReportTimeout() {
  FinishOperation(1);
  SetState(OperationState::kBackToControlUnit);
  WarnTimeout();
}

void EngineCore::SetStatus(int text_id) {
  services_.ui.SetStatusText(services_.strings.Text(text_id));
}

KrParams* EngineCore::TargetRecord() {
  return services_.data.Recorder(TargetRecorder());
}

bool EngineCore::transfer_interrupted(int recorder) const {
  return recorder >= 1 && recorder <= kMaxRecorders &&
         transfer_interrupted_[static_cast<size_t>(recorder - 1)];
}

void EngineCore::SetInterrupted(bool on) {
  const int recorder = TargetRecorder();
  if (recorder >= 1 && recorder <= kMaxRecorders)
    transfer_interrupted_[static_cast<size_t>(recorder - 1)] = on;
}

// --- The progress window -------------------------------------------------------------------------

void EngineCore::ShowProgress(const std::string& text, int total, int position) {
  if (!progress_open_) {
    services_.ui.OpenProgress(text, total, position);
    progress_open_ = true;
    return;
  }
  services_.ui.UpdateProgress(text, position);
}

void EngineCore::CloseProgress() {
  if (!progress_open_) return;
  services_.ui.CloseProgress();
  progress_open_ = false;
}

int EngineCore::action_progress_total() const {
  const int polling = std::max(services_.settings.com_polling_time, 1);
  return static_cast<int>((60000.0 / polling) * 0.125);
}

void EngineCore::ActionProgressTick(int text_id) {
  if (!state_.busy) {
    state_.busy = true;
    if (!progress_open_) {
      const int total = action_progress_total();
      progress_position_ = total / 100;
      ShowProgress(services_.strings.Text(text_id), total, progress_position_);
    }
    return;
  }
  ++progress_position_;
  if (progress_open_) services_.ui.UpdateProgress(services_.strings.Text(text_id), progress_position_);
}

void EngineCore::Shutdown() {
  state_.deferral = false;
  SetState(OperationState::kShutdown);
  Tick();
}

void EngineCore::OnProgressCancel() {
  const OperationState state = state_.operation_state;
  Operation* operation = OperationFor(state);
  if (operation == nullptr || !operation->OnProgressCancel(state)) {
    FinishOperation(0);
    if (!state_.recording_mode_window_open) EndOperation();
  }
  SetInterrupted(true);
}

// --- The tick ------------------------------------------------------------------------------------

void EngineCore::Tick() {
  const OperationState state = state_.operation_state;
  Operation* operation = OperationFor(state);
  if (state == OperationState::kShutdown) {
    if (operation != nullptr) operation->Step(state);
    return;
  }
  if (fields_.macro_text_sent) {
    if (services_.link.Issue(cmd::kNop) != 0) fields_.macro_text_sent = false;
    if (services_.link.State() == LinkRefused) services_.link.SetState(LinkReady);
  }
  if (DeadLinkCheck(operation)) return;
  if (operation != nullptr) {
    operation->Step(state);
  } else {
    StepIdle();
  }
}

void EngineCore::StepIdle() {
  if (state_.deferral || state_.recording_request == RecordingRequest::kNone) return;
  SetState(state_.recording_request == RecordingRequest::kStart ? OperationState::kStartRecordingFromPanel
                                                                : OperationState::kStopRecordingFromPanel);
  state_.recording_request = RecordingRequest::kNone;
}

// A link that died under a running operation (the peer closed the TCP connection, the serial device
// went away, a frame could not be written) ends the operation once, instead of letting the builder
// send into it tick after tick.
bool EngineCore::DeadLinkCheck(Operation* operation) {
  if (!link_open_ || operation == nullptr) return false;
  const OperationState state = state_.operation_state;
  if (!operation->Converses(state)) return false;
  const bool dead = !services_.link.Connected() || services_.link.WriteFailures() != write_failures_at_open_;
  if (!dead) return false;
  const DeadLinkEnd end = operation->OnDeadLink(state);
  if (end != DeadLinkEnd::kHandled) EndWithDeadLink(end);
  return true;
}

void EngineCore::EndWithDeadLink(DeadLinkEnd end) {
  const int file_number = services_.link.FileNumber();
  if (end == DeadLinkEnd::kFileNotSaved) SetInterrupted(true);
  FinishOperation(1);
  state_.logged_in = false;
  state_.control_unit_present = false;
  state_.direct_recorder = false;
  services_.ui.SetMenuSet(MenuSet::kNotLoggedIn);
  Disconnect();
  if (end == DeadLinkEnd::kFileNotSaved) {
    Warn(msg::kEventFileNotSaved, services_.strings.Format(msg::kEventFileNotSaved, file_number));
  } else if (end == DeadLinkEnd::kNoReply) {
    WarnTimeout();
  }
}

// --- The command-list runner ---------------------------------------------------------------------

int EngineCore::RunCommandList(std::span<const int> list) {
  EngineLink& link = services_.link;
  const int count = static_cast<int>(list.size());
  const LinkState link_state = link.State();
  if (link_state != LinkRetry) retry_stepped_back_ = false;
  // A retry repeats the last command once; the builder may leave LinkRetry standing for several
  // ticks (a clock command outside its window), which must not walk further back.
  if (fields_.step > 0 && link_state == LinkRetry && link.ItemCursor() == 0 && !retry_stepped_back_) {
    --fields_.step;
    retry_stepped_back_ = true;
  }
  if (IsSettledFailure(link_state)) return link_state;
  if (fields_.step < count) {
    if (link.Issue(list[static_cast<size_t>(fields_.step)]) != 0) {
      // A command went out again: the next LinkRetry is a retry of its own.
      retry_stepped_back_ = false;
      ++fields_.step;
      return kListRunning;
    }
  } else if (link.Issue(cmd::kNop) != 0) {
    fields_.step = 0;
    std::lock_guard lock(ModelMutex());
    services_.context.forced_file_number = kNoForcedFileNumber;
    return kListDone;
  }
  return link.State();
}

int EngineCore::RunListAndFinish(bool run, std::span<const int> list) {
  if (!run) {
    FinishOperation(1);
    return 0;
  }
  const int result = RunCommandList(list);
  if (result == 0 || result == LinkOffline || result == LinkTimedOut) FinishOperation(1);
  return result;
}

// --- Connection set-up and tear-down -------------------------------------------------------------

bool EngineCore::OpenConnection(int com_port, int baud, int slow_timeout_ms, int extra_ms, int ip_port,
                                const std::string& host) {
  EngineLink& link = services_.link;
  {
    std::lock_guard lock(ModelMutex());
    services_.data.ResetForConnection();
    services_.context.forced_file_number = kNoForcedFileNumber;
    services_.context.file_number_request = FileNumberRequest::kNone;
  }
  fields_.step = 0;
  fields_.phase = 0;
  fields_.macro_text_sent = false;
  fields_.macro_offset = 0;
  fields_.text_offset = 0;
  transfer_interrupted_ = {};
  for (Operation* operation : operations_) operation->OnConnectionOpened();
  fields_.window_title = services_.ui.WindowTitle();

  if (!link.Create(com_port, baud, ip_port, host)) {
    FinishOperation(1);
    Warn(msg::kNoStructure, services_.strings.Text(msg::kNoStructure));
    return false;
  }
  link.SetTraceViewVisible(services_.settings.init_file_view != 0);
  link.SetTraceViewFrozen(true);
  SyncContext();
  if (IsTcpLinkKind(state_.link_kind)) {
    if (!link.ConnectTcp()) {
      link.SetTraceViewFrozen(false);
      FinishAndWarn(msg::kCannotOpenIpPort, ip_port);
      return false;
    }
  } else if (!link.OpenSerial()) {
    link.SetTraceViewFrozen(false);
    FinishAndWarn(msg::kCannotOpenCom, static_cast<unsigned>(com_port));
    return false;
  }

  const TarvikSettings& s = services_.settings;
  {
    std::lock_guard lock(ModelMutex());
    TimeoutSettings& t = services_.context.timeouts;
    t.recorder_ms = s.com_timeout_kr;
    t.control_unit_ms = s.com_timeout_hcu;
    t.set_ms = s.com_timeout_set;
    t.slow_ms = s.com_timeout_fp;
    t.polling_ms = s.com_polling_time;
    t.dial_ms = slow_timeout_ms;
    services_.context.limits = ComputeTickLimits(t, extra_ms);
    services_.context.show_freq_dir_info = s.show_freq_dir_info != 0;
  }
  link.SetTraceViewFrozen(false);
  link_open_ = true;
  write_failures_at_open_ = link.WriteFailures();
  return true;
}

void EngineCore::Disconnect() {
  EngineLink& link = services_.link;
  link_open_ = false;
  if (!link.HasChannel()) return;
  const TarvikSettings& s = services_.settings;
  std::array<OfflineCounterRef, kMaxRecorders> recorders;
  DisconnectReport report;
  {
    std::lock_guard lock(ModelMutex());
    for (size_t i = 0; i < recorders.size(); ++i)
      recorders[i] = OfflineCounterRef(services_.data.hcu.recorder_offline_counters[i]);
    report.hcu = OfflineCounterRef(services_.data.hcu.offline_counters);
  }
  report.timeout_kr = s.com_timeout_kr;
  report.timeout_hcu = s.com_timeout_hcu;
  report.timeout_set = s.com_timeout_set;
  report.timeout_slow = s.com_timeout_fp;
  report.polling_time = s.com_polling_time;
  const int reported =
      state_.control_unit_present ? std::clamp(services_.data.hcu.NC.value, 0, kMaxRecorders) : 0;
  report.recorders = std::span<const OfflineCounterRef>(recorders.data(), static_cast<size_t>(reported));
  {
    // The summary writes into the trace ring, which the serial reader also writes.
    std::lock_guard lock(ModelMutex());
    link.LogDisconnect("[%s V%s disconnected from %s port %d]", report);
    if (IsModemLinkKind(state_.link_kind)) {
      link.TraceLine(kr::FormatPrintf("[Baud Rate = %d, Dial Time-out = %d, Connection Time-out = %d]",
                                      document_.baud, document_.dial_timeout, document_.connection_timeout));
    }
  }
  link.Close();
}

}  // namespace tarvik
