// Log-in, the password prompt, the initialisation after log-in and the firmware check
// (states 13, 14, 15).
#include <algorithm>
#include <mutex>

#include "tarvik/engine/engine_messages.h"
#include "tarvik/engine/firmware_check.h"
#include "tarvik/engine/operation_engine.h"
#include "tarvik/protocol/command_table.h"

namespace tarvik {

namespace {

constexpr int kLL = CommandNumber("LL");
constexpr int kLo = CommandNumber("Lo");
constexpr int kNN = cmd::kNN;
constexpr int kNa = cmd::kNa;
constexpr int kNa0 = cmd::kNa0;
constexpr int kKR = CommandNumber("KR", cmd::kFirstRecorderCommand);
constexpr int kMD = cmd::kMD;

constexpr int kLoginList[] = {cmd::kProbe, kLL, kLo, kLL};
constexpr int kLoginOnceList[] = {cmd::kProbe, kLL};

constexpr int kPhase0[] = {kLL, kLL, kNN, kNa0, CommandNumber("NC"), CommandNumber("NR")};
constexpr int kPhase0NnStep = 3;  // the step after NN was issued
constexpr int kPhase1[] = {kNa,
                           CommandNumber("SO"),
                           CommandNumber("IN"),
                           CommandNumber("IV"),
                           kKR,
                           CommandNumber("IE"),
                           CommandNumber("IG"),
                           CommandNumber("AO"),
                           CommandNumber("IO"),
                           CommandNumber("ZX"),
                           CommandNumber("PR")};
constexpr int kPhase2[] = {CommandNumber("MN"), CommandNumber("MB"), cmd::kMI,           cmd::kMJ, kMD,
                           CommandNumber("MS"), CommandNumber("MU"), CommandNumber("PR")};
constexpr int kPhase2MdStep = 4;
constexpr int kTh = CommandNumber("Th");
constexpr int kPhase34[] = {kTh, kNa0};

constexpr const char* kDefaultPassword = "TORVE";

}  // namespace

void OperationEngine::StepLogin() {
  SetStatus(msg::kStatusLogin);
  if (fields_.step == 0 && services_.link.State() == LinkReady)
    services_.link.SetPassword(fields_.password.substr(0, 5));
  const int result = no_relogin_ ? RunCommandList(kLoginOnceList) : RunCommandList(kLoginList);
  switch (result) {
    case 0:
      EnterInitialisation();
      return;
    case LinkSerialFailed:
      FinishOperation(1);
      Warn(msg::kNotReadyOrBaud, services_.strings.Text(msg::kNotReadyOrBaud));
      Disconnect();
      return;
    case LinkTimedOut:
      FinishOperation(1);
      Warn(msg::kInitCommError, services_.strings.Text(msg::kInitCommError));
      Disconnect();
      return;
    case LinkOffline:
      FinishOperation(1);
      SetState(14);
      return;
    case LinkRefused:
    case LinkBadTarget:
    case LinkAbandoned:
      // A unit that refuses the log-in commands cannot be worked with; waiting would never end.
      FinishOperation(1);
      Warn(msg::kLoginError, services_.strings.Text(msg::kLoginError));
      Disconnect();
      return;
    default:
      return;
  }
}

void OperationEngine::StepPasswordPrompt() {
  SetState(0);
  state_.busy = true;
  std::string prefill = fields_.password;
  if (prefill.empty() && services_.settings.suggest_default_password == 1) prefill = kDefaultPassword;
  std::optional<std::string> answer;
  if (script_named_) {
    answer = services_.settings.suggest_default_password == 1 ? prefill : std::string();
  } else {
    answer = services_.ui.AskPassword(services_.strings.Text(msg::kLoginTitle), prefill);
  }
  if (!answer) {
    EndOperation();
    Disconnect();
    return;
  }
  fields_.password = *answer;
  services_.link.SetPassword(answer->substr(0, 5));
  EnterInitialisation();
}

void OperationEngine::EnterInitialisation() {
  th_refused_ = false;
  state_.logged_in = true;
  services_.ui.SetMenuSet(MenuSet::kLoggedIn);
  fields_.phase = 0;
  fields_.step = 0;
  SetState(15);
}

void OperationEngine::ClearRefusal() {
  services_.link.SetState(LinkReady);
}

void OperationEngine::StepInitialisation() {
  int result = -1;
  switch (fields_.phase) {
    case 0:
      result = StepInitPhase0();
      break;
    case 1:
    case 2:
      result = StepInitPhase12();
      break;
    default:
      result = StepInitPhase34();
      break;
  }
  HandleInitResult(result);
}

int OperationEngine::StepInitPhase0() {
  EngineLink& link = services_.link;
  if (fields_.step == kPhase0NnStep && link.State() == LinkRefused) {
    // A recorder on its own line: it knows nothing of NN.
    state_.control_unit_present = false;
    SyncContext();
    link.SetTargetRecorder(1);
    ClearRefusal();
    fields_.phase = 1;
    fields_.step = 0;
    return -1;
  }
  if (fields_.step == kPhase0NnStep && !state_.control_unit_present) {
    // NN is outstanding or answered: a control unit is at the other end.
    state_.control_unit_present = true;
    SyncContext();
  }
  const int result = RunCommandList(kPhase0);
  if (result == LinkRefused) {
    ClearRefusal();
    return -1;
  }
  if (result != 0) return result;
  std::string name;
  {
    std::lock_guard lock(link.ModelMutex());
    name = services_.data.hcu.NN.value;
  }
  if (!name.empty() && name[0] == 'M') {
    state_.direct_recorder = true;
    link.SetTargetRecorder(1);
  } else {
    link.SetTargetRecorder(services_.settings.activate_kr_no);
  }
  services_.ui.SetMenuSet(MenuSet::kLoggedIn);
  fields_.phase = 1;
  fields_.step = 0;
  return -1;
}

int OperationEngine::StepInitPhase12() {
  EngineLink& link = services_.link;
  const bool phase1 = fields_.phase == 1;
  if (!phase1 && fields_.step == kPhase2MdStep) {
    std::lock_guard lock(link.ModelMutex());
    const KrParams* recorder = services_.data.Recorder(TargetRecorder());
    if (recorder == nullptr || recorder->MN.value == 0) {
      ++fields_.step;
    } else {
      // The link's file number is 0 after the connection reset, which no event has: read the
      // newest event's entry instead of an "E".
      services_.context.file_number_request = FileNumberRequest::kNewest;
    }
  }
  const int last_step = fields_.step;
  const int result = phase1 ? RunCommandList(kPhase1) : RunCommandList(kPhase2);
  if (result == LinkRefused) {
    // A recorder that refuses KR keeps no ring memory; any other refused read is not supported by
    // this recorder and is skipped.
    if (phase1 && last_step > 0 && kPhase1[static_cast<size_t>(last_step - 1)] == kKR) {
      std::lock_guard lock(link.ModelMutex());
      if (KrParams* recorder = TargetRecord()) recorder->ring_memory = false;
    }
    ClearRefusal();
    return -1;
  }
  if (result != 0) return result;
  if (phase1) {
    std::string identification;
    {
      std::lock_guard lock(link.ModelMutex());
      if (const KrParams* recorder = TargetRecord()) identification = recorder->IN.value;
    }
    services_.ui.SetWindowTitle(fields_.window_title + " [" + identification + "]");
  }
  if (phase1 && state_.control_unit_present) {
    fields_.phase = 2;
    fields_.step = 0;
    return -1;
  }
  EnterFinalInitPhase();
  return -1;
}

void OperationEngine::EnterFinalInitPhase() {
  int firmware = 0;
  {
    std::lock_guard lock(services_.link.ModelMutex());
    if (const KrParams* recorder = TargetRecord()) firmware = recorder->IV.value;
    services_.context.forced_file_number = 0;
  }
  fields_.phase = firmware < 22000 ? 3 : 4;
  fields_.step = 0;
}

int OperationEngine::StepInitPhase34() {
  const int last_step = fields_.step;
  const int result = RunCommandList(kPhase34);
  if (result == LinkRefused) {
    if (last_step > 0 && kPhase34[static_cast<size_t>(last_step - 1)] == kTh) th_refused_ = true;
    ClearRefusal();
    return -1;
  }
  if (result != 0) return result;
  CompleteLogin();
  return -1;
}

void OperationEngine::HandleInitResult(int result) {
  switch (result) {
    case LinkBadTarget: {
      const int target = TargetRecorder();
      FinishOperation(1);
      services_.link.SetTargetRecorder(0);
      Warn(msg::kRecorderNotAvailable, services_.strings.Format(msg::kRecorderNotAvailable, target));
      return;
    }
    case LinkTimedOut:
      ReportTimeout();
      return;
    case LinkOffline:
      ReportFailure(msg::kLoginError);
      ResetEngine();
      services_.ui.SetMenuSet(MenuSet::kNotLoggedIn);
      state_.control_unit_present = false;
      state_.direct_recorder = false;
      Disconnect();
      return;
    case LinkSerialFailed:
    case LinkAbandoned:
      ReportTimeout();
      return;
    default:
      return;
  }
}

void OperationEngine::CompleteLogin() {
  const bool th_refused = th_refused_;
  FinishOperation(1);
  th_refused_ = th_refused;
  SetInterrupted(false);
  {
    std::lock_guard lock(services_.link.ModelMutex());
    const KrParams* recorder = TargetRecord();
    current_event_index_ = recorder != nullptr ? std::max(recorder->MN.value - 1, 0) : 0;
  }
  FirmwareCheck();
}

bool OperationEngine::FirmwareCheck() {
  unsigned firmware = 0;
  std::string unit_name;
  int device_type = kNoDeviceType;
  {
    std::lock_guard lock(services_.link.ModelMutex());
    if (const KrParams* recorder = TargetRecord()) {
      firmware = static_cast<unsigned>(recorder->IV.value);
      unit_name = recorder->IN.value;
      device_type = recorder->device_type;
    }
  }
  if (!FirmwareSupported(firmware)) {
    FinishOperation(1);
    Warn(msg::kFirmwareUnsupported,
         services_.strings.Format(msg::kFirmwareUnsupported, firmware / 100.0, VersionForFirmware(firmware)));
    return false;
  }
  if (unit_name.empty()) {
    FinishOperation(1);
    Warn(msg::kWrongSystem, services_.strings.Format(msg::kWrongSystem, unit_name));
    return false;
  }
  if (device_type < 0) {
    FinishOperation(1);
    Warn(msg::kFirmwareUnsupportedType,
         services_.strings.Format(msg::kFirmwareUnsupportedType, unit_name, firmware / 100.0));
    return false;
  }
  return true;
}

void OperationEngine::ActivateRecorder(int recorder) {
  SetInterrupted(true);
  services_.settings.activate_kr_no = recorder;
  services_.link.SetTargetRecorder(recorder);
  state_.connection_requested = true;
  fields_.phase = 1;
  fields_.step = 0;
  SetState(15);
}

}  // namespace tarvik
