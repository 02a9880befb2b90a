#include "tarvik/engine/connection_operation.h"

#include <algorithm>
#include <mutex>

#include "tarvik/app/tarvik_settings.h"
#include "tarvik/engine/engine_messages.h"
#include "tarvik/protocol/command_table.h"

namespace tarvik {

namespace {

constexpr int kLL = CommandNumber("LL");
constexpr int kLo = CommandNumber("Lo");

constexpr int kLoginList[] = {cmd::kProbe, kLL, kLo, kLL};
constexpr int kLoginOnceList[] = {cmd::kProbe, kLL};
constexpr int kLogoutList[] = {cmd::kNa0, kLo};

}  // namespace

void ConnectionOperation::Step(OperationState state) {
  switch (state) {
    case OperationState::kLogout:
      StepLogout();
      return;
    case OperationState::kShutdown:
      StepShutdown();
      return;
    case OperationState::kStartWindow:
      StepStartWindow();
      return;
    case OperationState::kDocumentOpened:
      StepDocumentOpened();
      return;
    case OperationState::kDial:
      StepDial();
      return;
    case OperationState::kHangUp:
      StepHangUp();
      return;
    case OperationState::kConnectionWait:
      StepConnectionWait();
      return;
    case OperationState::kOpenLink:
      StepOpenLink();
      return;
    case OperationState::kLogin:
      StepLogin();
      return;
    case OperationState::kPasswordPrompt:
      StepPasswordPrompt();
      return;
    case OperationState::kDirectLink:
      StepDirectLink();
      return;
    default:
      return;
  }
}

void ConnectionOperation::DescribeTo(OperationState state, ProtocolContext& context) const {
  context.logging_in = state == OperationState::kLogin;
}

// The set-up states own no conversation yet, and the hang-up closes the link anyway.
bool ConnectionOperation::Converses(OperationState state) const {
  switch (state) {
    case OperationState::kLogout:
    case OperationState::kLogin:
      return true;
    case OperationState::kDial:
      return core().fields().phase != 0;
    default:
      return false;
  }
}

DeadLinkEnd ConnectionOperation::OnDeadLink(OperationState state) {
  if (state == OperationState::kLogout) {
    // A unit may drop the line once it has logged out: the log-out is done all the same.
    core().FinishOperation(1);
    AfterLogout(false);
    return DeadLinkEnd::kHandled;
  }
  CloseConnectWindow();
  return DeadLinkEnd::kNoReply;
}

void ConnectionOperation::OnConnectionOpened() {
  start_window_ticks_ = 0;
  connect_wait_ticks_ = 0;
  modem_delay_ticks_ = 0;
}

int ConnectionOperation::connect_wait_limit() const {
  const int polling = std::max(core().settings().com_polling_time, 1);
  return 25000 / polling;
}

int ConnectionOperation::start_window_limit() const {
  const int polling = core().settings().com_polling_time;
  if (polling <= 0) return 0;
  return (6000 / polling) / 4;
}

void ConnectionOperation::CloseStartWindow() {
  if (start_window_open_) core().ui().CloseStartWindow();
  start_window_open_ = false;
}

void ConnectionOperation::CloseConnectWindow() {
  if (connect_window_open_) core().ui().CloseConnectWindow();
  connect_window_open_ = false;
}

// --- Log-out and shut-down ------------------------------------------------------------------------

void ConnectionOperation::RequestLogout() {
  core().state().connection_requested = true;
  core().fields().step = 0;
  core().SetState(OperationState::kLogout);
}

void ConnectionOperation::StepLogout() {
  core().SetStatus(msg::kStatusLogout);
  const int result = core().RunListAndFinish(true, kLogoutList);
  if (IsStuckLinkState(result)) core().FinishOperation(1);
  if (result == 0 || result == LinkOffline || result == LinkTimedOut || IsStuckLinkState(result))
    AfterLogout(true);
}

void ConnectionOperation::AfterLogout(bool line_alive) {
  EngineState& state = core().state();
  core().ui().SetMenuSet(MenuSet::kNotLoggedIn);
  core().ui().SetWindowTitle(core().fields().window_title);
  state.control_unit_present = false;
  state.direct_recorder = false;
  core().ResetEngine();
  if (line_alive && IsModemLinkKind(state.link_kind)) {
    core().fields().text_offset = 0;
    core().fields().step = 0;
    core().SetState(OperationState::kHangUp);
  } else {
    core().Disconnect();
  }
}

void ConnectionOperation::StepShutdown() {
  core().SetStatus(msg::kStatusLogout);
  EngineLink& link = core().link();
  EngineState& state = core().state();
  if (link.HasChannel() && link.Connected()) {
    for (const int command : kLogoutList) {
      link.SetState(LinkReady);
      link.Issue(command);
    }
    core().SetState(OperationState::kIdle);
    state.control_unit_present = false;
    state.direct_recorder = false;
    core().ResetEngine();
    if (IsModemLinkKind(state.link_kind)) {
      for (const char* text : {"+++", "ATH", "\r\n"}) {
        link.SetState(LinkReady);
        link.SetModemText(text);
        link.Issue(cmd::kModemString);
      }
    }
    core().Disconnect();
    return;
  }
  core().SetState(OperationState::kIdle);
  core().ResetEngine();
  if (core().link_open()) core().Disconnect();
}

// --- Start window, documents, opening the link ------------------------------------------------------

void ConnectionOperation::StepStartWindow() {
  ++start_window_ticks_;
  if (start_window_ticks_ == 1 && !start_window_open_) {
    core().ui().ShowStartWindow();
    start_window_open_ = true;
  }
  if (start_window_ticks_ > start_window_limit()) {
    CloseStartWindow();
    core().SetState(OperationState::kIdle);
  }
}

void ConnectionOperation::OpenDocument(const std::filesystem::path& path, const ConnectionRecord& record) {
  core().state().document_path = path;
  core().state().document_link_kind = record.link_kind;
  core().set_document(record);
  CloseStartWindow();
  core().SetState(OperationState::kDocumentOpened);
}

void ConnectionOperation::StepDocumentOpened() {
  EngineState& state = core().state();
  state.link_kind = state.document_link_kind;
  if (!IsConnectableLinkKind(state.link_kind)) {
    // Opened, but nothing to connect to.
    core().SetState(OperationState::kIdle);
    return;
  }
  state.connection_requested = true;
  if (IsSerialLinkKind(state.link_kind) || IsTcpLinkKind(state.link_kind)) {
    core().SetState(OperationState::kOpenLink);
    return;
  }
  core().SetState(OperationState::kIdle);
  core().ui().ShowConnectWindow();
  connect_window_open_ = true;
}

void ConnectionOperation::OnConnectButton() {
  core().fields().phase = 0;
  core().fields().step = 0;
  core().fields().text_offset = 0;
  core().SetState(OperationState::kDial);
}

void ConnectionOperation::OnConnectCancel() {
  CloseConnectWindow();
  if (!core().state().logged_in) {
    if (core().link_open()) core().Disconnect();
    core().EndOperation();
  } else {
    core().fields().step = 0;
    core().fields().text_offset = 0;
    core().SetState(OperationState::kHangUp);
  }
}

void ConnectionOperation::StepOpenLink() {
  const LinkKind kind = core().state().link_kind;
  const ConnectionRecord& document = core().document();
  bool opened = true;
  if (IsSerialLinkKind(kind)) {
    opened = core().OpenConnection(document.com_port, document.baud, 0, 0, 0, "");
  } else if (IsTcpLinkKind(kind)) {
    opened =
        core().OpenConnection(0, 0, 0, document.connection_timeout, document.ip_port, document.ip_address);
  }
  if (!opened) {
    core().EndOperation();
    return;
  }
  connect_wait_ticks_ = 0;
  modem_delay_ticks_ = 0;
  core().SetState(OperationState::kConnectionWait);
}

void ConnectionOperation::StepConnectionWait() {
  EngineLink& link = core().link();
  const bool modem = IsModemLinkKind(core().state().link_kind);
  if (!link.HasChannel() || !link.Connected()) {
    core().ui().SetWaitCursor(true);
    core().SetStatus(modem ? msg::kConnectingModem : msg::kConnectingIp);
    const bool waiting = link.HasChannel() && link.State() == LinkReady;
    if (waiting && ++connect_wait_ticks_ <= connect_wait_limit()) return;
    core().SetStatus(msg::kConnectionFailed);
    core().FinishOperation(1);
    if (modem) {
      core().Warn(msg::kModemConnectFailed, core().strings().Text(msg::kModemConnectFailed));
    } else {
      core().Warn(msg::kAddressBusy,
                  core().strings().Format(msg::kAddressBusy, core().document().ip_address));
    }
    core().Disconnect();
    return;
  }
  core().SetStatus(msg::kConnectionOk);
  if (modem) {
    const int limit = core().document().connection_timeout / std::max(core().settings().com_polling_time, 1);
    if (++modem_delay_ticks_ <= limit) return;
  }
  core().fields().step = 0;
  core().fields().phase = 0;
  core().SetState(OperationState::kLogin);
}

void ConnectionOperation::RequestDirectLink() {
  core().state().connection_requested = true;
  CloseStartWindow();
  core().fields().macro_text_sent = false;
  core().SetState(OperationState::kDirectLink);
}

void ConnectionOperation::StepDirectLink() {
  core().state().link_kind = LinkKind::kDirect;
  core().SyncContext();
  if (!core().OpenConnection(core().settings().com, core().settings().baud_rate, 0, 0, 0, "")) {
    core().EndOperation();
    return;
  }
  core().fields().step = 0;
  core().SetState(OperationState::kLogin);
  core().ui().SetWaitCursor(true);
}

// --- Log-in and the password prompt -----------------------------------------------------------------

void ConnectionOperation::StepLogin() {
  EngineLink& link = core().link();
  core().SetStatus(msg::kStatusLogin);
  if (core().fields().step == 0 && link.State() == LinkReady)
    link.SetPassword(core().fields().password.substr(0, 5));
  const int result = no_relogin_ ? core().RunCommandList(kLoginOnceList) : core().RunCommandList(kLoginList);
  switch (result) {
    case 0:
      EnterInitialisation();
      return;
    case LinkSerialFailed:
      core().FinishAndWarn(msg::kNotReadyOrBaud);
      core().Disconnect();
      return;
    case LinkTimedOut:
      core().FinishAndWarn(msg::kInitCommError);
      core().Disconnect();
      return;
    case LinkOffline:
      core().FinishOperation(1);
      core().SetState(OperationState::kPasswordPrompt);
      return;
    case LinkRefused:
    case LinkBadTarget:
    case LinkAbandoned:
      // A unit that refuses the log-in commands cannot be worked with; waiting would never end.
      core().FinishAndWarn(msg::kLoginError);
      core().Disconnect();
      return;
    default:
      return;
  }
}

void ConnectionOperation::StepPasswordPrompt() {
  core().SetState(OperationState::kIdle);
  core().state().busy = true;
  const TarvikSettings& settings = core().settings();
  std::string prefill = core().fields().password;
  if (prefill.empty() && settings.suggest_default_password == 1) prefill = kDefaultPassword;
  std::optional<std::string> answer;
  if (script_named_) {
    answer = settings.suggest_default_password == 1 ? prefill : std::string();
  } else {
    answer = core().ui().AskPassword(core().strings().Text(msg::kLoginTitle), prefill);
  }
  if (!answer) {
    core().EndOperation();
    core().Disconnect();
    return;
  }
  core().fields().password = *answer;
  core().link().SetPassword(answer->substr(0, 5));
  EnterInitialisation();
}

void ConnectionOperation::EnterInitialisation() {
  core().set_refusal_mark(false);
  core().state().logged_in = true;
  core().ui().SetMenuSet(MenuSet::kLoggedIn);
  core().fields().phase = 0;
  core().fields().step = 0;
  core().SetState(OperationState::kInitialisation);
}

}  // namespace tarvik
