#include "tarvik/engine/operation_engine.h"

#include <algorithm>
#include <mutex>

#include "kr_version.h"
#include "tarvik/engine/engine_messages.h"
#include "tarvik/protocol/command_table.h"

namespace tarvik {

namespace {

constexpr int kNop = cmd::kNop;
constexpr int kNa0 = cmd::kNa0;
constexpr int kLo = CommandNumber("Lo");
constexpr int kModemString = cmd::kModemString;

// Link states after which the builder sends nothing more by itself: a step that does not name them
// would wait for ever.
bool IsStuckState(int state) {
  return state == LinkRefused || state == LinkBadTarget || state == LinkSerialFailed ||
         state == LinkAbandoned || state == LinkModemNotReady || state == kNoChannel;
}

}  // namespace

bool IsSerialLinkKind(int kind) {
  return kind == 2 || kind == 6;
}
bool IsTcpLinkKind(int kind) {
  return kind == 4;
}
bool IsModemKind(int kind) {
  return kind == 0 || kind == 1 || kind == 3 || kind == 5;
}

OperationEngine::OperationEngine(EngineServices services) : services_(services) {
  ResetEngine();
  FinishOperation(1);
  state_.recording_request = 2;
  SetState(7);
}

void OperationEngine::SyncContext() {
  std::lock_guard lock(services_.link.ModelMutex());
  services_.context.operation_state = state_.operation_state;
  services_.context.control_unit_present = state_.control_unit_present;
  services_.context.link_kind = state_.link_kind;
}

void OperationEngine::SetState(int state) {
  if (state_.deferral) {
    state_.pending_state = state;
    return;
  }
  state_.operation_state = state;
  SyncContext();
}

void OperationEngine::BeginDeferral() {
  if (state_.deferral) return;
  state_.pending_state = 0;  // nothing requested meanwhile: idle afterwards
  state_.deferral = true;
}

void OperationEngine::EndDeferral() {
  state_.deferral = false;
  SetState(state_.pending_state);
}

void OperationEngine::EndOperation() {
  state_.busy = false;
  state_.connection_requested = false;
  state_.recording_mode_window_open = false;
  SetState(0);
}

void OperationEngine::ResetEngine() {
  state_.logged_in = false;
  EndOperation();
}

void OperationEngine::FinishOperation(int end) {
  fields_.step = 0;
  fields_.phase = 0;
  th_refused_ = false;  // the refusal mark of the steps that treat LinkRefused as "unsupported"
  fields_.stop_requested = false;
  fields_.text_offset = 0;
  retry_stepped_back_ = false;
  if (services_.link.HasChannel()) services_.link.SetState(LinkReady);
  if (end == 1) {
    EndOperation();
  } else {
    SetState(0);
    state_.busy = false;
  }
  if (progress_open_) {
    services_.ui.CloseProgress();
    progress_open_ = false;
  }
  services_.ui.SetWaitCursor(false);
}

void OperationEngine::Warn(int message, const std::string& text) {
  ++failure_count_;
  last_failure_id_ = message;
  services_.ui.ShowMessage(message, text, MessageIcon::kWarning, MessageButtons::kOk);
}

void OperationEngine::WarnTimeout() {
  Warn(msg::kNoReply, services_.strings.Format(msg::kNoReply, std::string("ComTimeoutHCU"),
                                               std::string("ComTimeoutKR"), std::string("Tarvik.ini")));
}

void OperationEngine::ReportTimeout() {
  FinishOperation(1);
  SetState(1);
  WarnTimeout();
}

void OperationEngine::SetStatus(int id) {
  services_.ui.SetStatusText(services_.strings.Text(id));
}

KrParams* OperationEngine::TargetRecord() {
  return services_.data.Recorder(TargetRecorder());
}

bool OperationEngine::transfer_interrupted(int recorder) const {
  return recorder >= 1 && recorder <= kMaxRecorders &&
         transfer_interrupted_[static_cast<size_t>(recorder - 1)];
}

void OperationEngine::SetInterrupted(bool on) {
  const int recorder = TargetRecorder();
  if (recorder >= 1 && recorder <= kMaxRecorders)
    transfer_interrupted_[static_cast<size_t>(recorder - 1)] = on;
}

int OperationEngine::connect_wait_limit() const {
  const int polling = std::max(services_.settings.com_polling_time, 1);
  return 25000 / polling;
}

int OperationEngine::start_window_limit() const {
  const int polling = services_.settings.com_polling_time;
  if (polling <= 0) return 0;
  return (6000 / polling) / 4;
}

int OperationEngine::action_progress_total() const {
  const int polling = std::max(services_.settings.com_polling_time, 1);
  return static_cast<int>((60000.0 / polling) * 0.125);
}

void OperationEngine::ActionProgressTick(int text_id) {
  if (!state_.busy) {
    state_.busy = true;
    if (!progress_open_) {
      const int total = action_progress_total();
      progress_position_ = total / 100;
      services_.ui.OpenProgress(services_.strings.Text(text_id), total, progress_position_);
      progress_open_ = true;
    }
    return;
  }
  ++progress_position_;
  if (progress_open_) services_.ui.UpdateProgress(services_.strings.Text(text_id), progress_position_);
}

// --- The tick ------------------------------------------------------------------------------------

void OperationEngine::Tick() {
  if (state_.operation_state == 6) {
    StepShutdown();
    return;
  }
  if (fields_.macro_text_sent) {
    if (services_.link.Issue(kNop) != 0) fields_.macro_text_sent = false;
    if (services_.link.State() == LinkRefused) services_.link.SetState(LinkReady);
  }
  if (DeadLinkCheck()) return;
  switch (state_.operation_state) {
    case 1:
      StepBackToControlUnit();
      break;
    case 5:
      StepLogout();
      break;
    case 7:
      StepStartWindow();
      break;
    case 8:
      StepDocumentOpened();
      break;
    case 9:
      StepDial();
      break;
    case 10:
      StepHangUp();
      break;
    case 11:
      StepConnectionWait();
      break;
    case 12:
      StepOpenLink();
      break;
    case 13:
      StepLogin();
      break;
    case 14:
      StepPasswordPrompt();
      break;
    case 15:
      StepInitialisation();
      break;
    case 18:
    case 19:
      StepTransfer();
      break;
    case 20:
      StepTransferToTemp();
      break;
    case 21:
    case 22:
    case 23:
    case 24:
      StepEventList();
      break;
    case 86:
      StepDirectLink();
      break;
    default:
      StepIdle();
      break;
  }
}

// A link that died under a running operation (the peer closed the TCP connection, the serial device
// went away, a frame could not be written) ends the operation once, instead of letting the builder
// send into it tick after tick.
bool OperationEngine::DeadLinkCheck() {
  if (!link_open_) return false;
  const int s = state_.operation_state;
  // Idle, the start window and the set-up states own no conversation yet; state 10 closes anyway.
  if (s == 0 || s == 7 || s == 8 || s == 10 || s == 11 || s == 12 || s == 14 || s == 86) return false;
  if (s == 9 && fields_.phase == 0) return false;
  const bool dead = !services_.link.Connected() || services_.link.WriteFailures() != write_failures_at_open_;
  if (!dead) return false;
  if (s == 5) {
    // A unit may drop the line once it has logged out: the log-out is done all the same.
    FinishOperation(1);
    AfterLogout(false);
    return true;
  }
  EndWithDeadLink();
  return true;
}

void OperationEngine::EndWithDeadLink() {
  const int s = state_.operation_state;
  const int file_number = services_.link.FileNumber();
  const bool transfer = s == 18 || s == 19 || s == 20;
  if (transfer) SetInterrupted(true);
  if (connect_window_open_) {
    services_.ui.CloseConnectWindow();
    connect_window_open_ = false;
  }
  FinishOperation(1);
  state_.logged_in = false;
  state_.control_unit_present = false;
  state_.direct_recorder = false;
  services_.ui.SetMenuSet(MenuSet::kNotLoggedIn);
  Disconnect();
  if (s == 1) return;  // the failure that led to state 1 was already reported
  if (transfer) {
    Warn(msg::kEventFileNotSaved, services_.strings.Format(msg::kEventFileNotSaved, file_number));
  } else {
    WarnTimeout();
  }
}

// --- The command-list runner ---------------------------------------------------------------------

int OperationEngine::RunCommandList(std::span<const int> list) {
  EngineLink& link = services_.link;
  const int count = static_cast<int>(list.size());
  const int link_state = link.State();
  if (link_state != LinkRetry) retry_stepped_back_ = false;
  // A retry repeats the last command once; the builder may leave LinkRetry standing for several
  // ticks (a clock command outside its window), which must not walk further back.
  if (fields_.step > 0 && link_state == LinkRetry && link.ItemCursor() == 0 && !retry_stepped_back_) {
    --fields_.step;
    retry_stepped_back_ = true;
  }
  // A failure the builder has settled on is the caller's to handle; issuing the next command (or
  // the NOP that would complete the list) would hide it.
  if (link_state == LinkTimedOut || link_state == LinkOffline || link_state == LinkSerialFailed ||
      link_state == LinkBadTarget || link_state == LinkRefused || link_state == LinkAbandoned)
    return link_state;
  if (fields_.step < count) {
    if (link.Issue(list[static_cast<size_t>(fields_.step)]) != 0) {
      ++fields_.step;
      return -1;
    }
  } else if (link.Issue(kNop) != 0) {
    fields_.step = 0;
    std::lock_guard lock(link.ModelMutex());
    services_.context.forced_file_number = kNoForcedFileNumber;
    return 0;
  }
  return link.State();
}

int OperationEngine::RunListAndFinish(bool run, std::span<const int> list) {
  if (!run) {
    FinishOperation(1);
    return 0;
  }
  const int result = RunCommandList(list);
  if (result == 0 || result == LinkOffline || result == LinkTimedOut) FinishOperation(1);
  return result;
}

// --- Connection set-up and tear-down -------------------------------------------------------------

bool OperationEngine::OpenConnection(int com_port, int baud, int slow_timeout_ms, int extra_ms, int ip_port,
                                     const std::string& host) {
  EngineLink& link = services_.link;
  {
    std::lock_guard lock(link.ModelMutex());
    services_.data.ResetForConnection();
    services_.context.forced_file_number = kNoForcedFileNumber;
    services_.context.file_number_request = FileNumberRequest::kNone;
  }
  fields_.step = 0;
  fields_.phase = 0;
  fields_.macro_text_sent = false;
  fields_.macro_offset = 0;
  fields_.text_offset = 0;
  fields_.start_window_ticks = 0;
  fields_.connect_wait_ticks = 0;
  fields_.modem_delay_ticks = 0;
  transfer_interrupted_ = {};
  last_event_file_.clear();
  last_partner_file_.clear();
  current_event_index_ = 0;
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
    std::lock_guard lock(link.ModelMutex());
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

void OperationEngine::Disconnect() {
  EngineLink& link = services_.link;
  link_open_ = false;
  if (!link.HasChannel()) return;
  const TarvikSettings& s = services_.settings;
  std::array<OfflineCounterRef, kMaxRecorders> recorders;
  DisconnectReport report;
  {
    std::lock_guard lock(link.ModelMutex());
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
    std::lock_guard lock(link.ModelMutex());
    link.LogDisconnect("[%s V%s disconnected from %s port %d]", report);
    if (IsModemKind(state_.link_kind)) {
      link.TraceLine(kr::FormatPrintf("[Baud Rate = %d, Dial Time-out = %d, Connection Time-out = %d]",
                                      document_.baud, document_.dial_timeout, document_.connection_timeout));
    }
  }
  link.Close();
}

// --- States of the engine itself -------------------------------------------------------------------

void OperationEngine::StepIdle() {
  if (state_.deferral || state_.recording_request == 2) return;
  SetState(state_.recording_request == 1 ? 55 : 56);
  state_.recording_request = 2;
}

void OperationEngine::StepBackToControlUnit() {
  // A link that is gone has no control unit to return to.
  if (!link_open_ || !services_.link.Connected()) {
    FinishOperation(1);
    return;
  }
  static constexpr int kList[] = {kNa0};
  const int result = RunListAndFinish(true, kList);
  if (IsStuckState(result)) FinishOperation(1);
}

void OperationEngine::RequestLogout() {
  state_.connection_requested = true;
  fields_.step = 0;
  SetState(5);
}

void OperationEngine::StepLogout() {
  SetStatus(msg::kStatusLogout);
  static constexpr int kList[] = {kNa0, kLo};
  const int result = RunListAndFinish(true, kList);
  if (IsStuckState(result)) FinishOperation(1);
  if (result == 0 || result == LinkOffline || result == LinkTimedOut || IsStuckState(result))
    AfterLogout(true);
}

void OperationEngine::AfterLogout(bool line_alive) {
  services_.ui.SetMenuSet(MenuSet::kNotLoggedIn);
  services_.ui.SetWindowTitle(fields_.window_title);
  state_.control_unit_present = false;
  state_.direct_recorder = false;
  ResetEngine();
  if (line_alive && IsModemKind(state_.link_kind)) {
    fields_.text_offset = 0;
    fields_.step = 0;
    SetState(10);
  } else {
    Disconnect();
  }
}

void OperationEngine::Shutdown() {
  state_.deferral = false;
  SetState(6);
  Tick();
}

void OperationEngine::StepShutdown() {
  SetStatus(msg::kStatusLogout);
  EngineLink& link = services_.link;
  if (link.HasChannel() && link.Connected()) {
    link.SetState(LinkReady);
    link.Issue(kNa0);
    link.SetState(LinkReady);
    link.Issue(kLo);
    SetState(0);
    state_.control_unit_present = false;
    state_.direct_recorder = false;
    ResetEngine();
    if (IsModemKind(state_.link_kind)) {
      for (const char* text : {"+++", "ATH", "\r\n"}) {
        link.SetState(LinkReady);
        link.SetModemText(text);
        link.Issue(kModemString);
      }
    }
    Disconnect();
    return;
  }
  SetState(0);
  ResetEngine();
  if (link_open_) Disconnect();
}

void OperationEngine::StepStartWindow() {
  ++fields_.start_window_ticks;
  if (fields_.start_window_ticks == 1 && !start_window_open_) {
    services_.ui.ShowStartWindow();
    start_window_open_ = true;
  }
  if (fields_.start_window_ticks > start_window_limit()) {
    if (start_window_open_) services_.ui.CloseStartWindow();
    start_window_open_ = false;
    SetState(0);
  }
}

void OperationEngine::OpenDocument(const std::filesystem::path& path, const ConnectionRecord& record) {
  state_.document_path = path;
  state_.document_link_kind = record.link_kind;
  document_ = record;
  if (start_window_open_) {
    services_.ui.CloseStartWindow();
    start_window_open_ = false;
  }
  SetState(8);
}

void OperationEngine::StepDocumentOpened() {
  state_.link_kind = state_.document_link_kind;
  if (state_.link_kind >= 8) {
    // Opened, but nothing to connect to.
    SetState(0);
    return;
  }
  state_.connection_requested = true;
  if (IsSerialLinkKind(state_.link_kind) || IsTcpLinkKind(state_.link_kind)) {
    SetState(12);
    return;
  }
  SetState(0);
  services_.ui.ShowConnectWindow();
  connect_window_open_ = true;
}

void OperationEngine::OnConnectButton() {
  fields_.phase = 0;
  fields_.step = 0;
  fields_.text_offset = 0;
  SetState(9);
}

void OperationEngine::OnConnectCancel() {
  if (connect_window_open_) services_.ui.CloseConnectWindow();
  connect_window_open_ = false;
  if (!state_.logged_in) {
    if (link_open_) Disconnect();
    EndOperation();
  } else {
    fields_.step = 0;
    fields_.text_offset = 0;
    SetState(10);
  }
}

void OperationEngine::StepOpenLink() {
  const int kind = state_.link_kind;
  if (IsSerialLinkKind(kind)) {
    if (!OpenConnection(document_.com_port, document_.baud, 0, 0, 0, "")) {
      EndOperation();
      return;
    }
  } else if (IsTcpLinkKind(kind)) {
    if (!OpenConnection(0, 0, 0, document_.connection_timeout, document_.ip_port, document_.ip_address)) {
      EndOperation();
      return;
    }
  }
  fields_.connect_wait_ticks = 0;
  fields_.modem_delay_ticks = 0;
  SetState(11);
}

void OperationEngine::StepConnectionWait() {
  EngineLink& link = services_.link;
  const bool modem = IsModemKind(state_.link_kind);
  if (!link.HasChannel() || !link.Connected()) {
    services_.ui.SetWaitCursor(true);
    SetStatus(modem ? msg::kConnectingModem : msg::kConnectingIp);
    const bool waiting = link.HasChannel() && link.State() == LinkReady;
    if (waiting && ++fields_.connect_wait_ticks <= connect_wait_limit()) return;
    SetStatus(msg::kConnectionFailed);
    FinishOperation(1);
    if (modem) {
      Warn(msg::kModemConnectFailed, services_.strings.Text(msg::kModemConnectFailed));
    } else {
      Warn(msg::kAddressBusy, services_.strings.Format(msg::kAddressBusy, document_.ip_address));
    }
    Disconnect();
    return;
  }
  SetStatus(msg::kConnectionOk);
  if (modem) {
    const int limit = document_.connection_timeout / std::max(services_.settings.com_polling_time, 1);
    if (++fields_.modem_delay_ticks <= limit) return;
  }
  fields_.step = 0;
  fields_.phase = 0;
  SetState(13);
}

void OperationEngine::RequestDirectLink() {
  state_.connection_requested = true;
  if (start_window_open_) {
    services_.ui.CloseStartWindow();
    start_window_open_ = false;
  }
  fields_.macro_text_sent = false;
  SetState(86);
}

void OperationEngine::StepDirectLink() {
  state_.link_kind = kLinkKindDirect;
  SyncContext();
  if (!OpenConnection(services_.settings.com, services_.settings.baud_rate, 0, 0, 0, "")) {
    EndOperation();
    return;
  }
  fields_.step = 0;
  SetState(13);
  services_.ui.SetWaitCursor(true);
}

}  // namespace tarvik
