#include "tarvik/engine/initialisation_operation.h"

#include <algorithm>
#include <mutex>

#include "tarvik/engine/engine_messages.h"
#include "tarvik/engine/firmware_check.h"
#include "tarvik/protocol/command_table.h"

namespace tarvik {

namespace {

constexpr int kLL = CommandNumber("LL");
constexpr int kKR = CommandNumber("KR", cmd::kFirstRecorderCommand);
constexpr int kTh = CommandNumber("Th");

constexpr int kPhase0[] = {kLL, kLL, cmd::kNN, cmd::kNa0, CommandNumber("NC"), CommandNumber("NR")};
constexpr int kPhase0NnStep = 3;  // the step after NN was issued
constexpr int kPhase1[] = {cmd::kNa,
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
constexpr int kPhase2[] = {CommandNumber("MN"), CommandNumber("MB"), cmd::kMI,           cmd::kMJ, cmd::kMD,
                           CommandNumber("MS"), CommandNumber("MU"), CommandNumber("PR")};
constexpr int kPhase2MdStep = 4;
constexpr int kPhase34[] = {kTh, cmd::kNa0};

// Recorders with firmware below 220.00 take phase 3, later ones phase 4 (the same list).
constexpr int kPhase4Firmware = 22000;

}  // namespace

void InitialisationOperation::Step(OperationState) {
  int result = -1;
  switch (core().fields().phase) {
    case 0:
      result = StepPhase0();
      break;
    case 1:
    case 2:
      result = StepPhase12();
      break;
    default:
      result = StepPhase34();
      break;
  }
  HandleResult(result);
}

void InitialisationOperation::ClearRefusal() {
  core().link().SetState(LinkReady);
}

int InitialisationOperation::StepPhase0() {
  EngineLink& link = core().link();
  EngineFields& fields = core().fields();
  EngineState& state = core().state();
  if (fields.step == kPhase0NnStep && link.State() == LinkRefused) {
    // A recorder on its own line: it knows nothing of NN.
    state.control_unit_present = false;
    core().SyncContext();
    link.SetTargetRecorder(1);
    ClearRefusal();
    fields.phase = 1;
    fields.step = 0;
    return -1;
  }
  if (fields.step == kPhase0NnStep && !state.control_unit_present) {
    // NN is outstanding or answered: a control unit is at the other end.
    state.control_unit_present = true;
    core().SyncContext();
  }
  const int result = core().RunCommandList(kPhase0);
  if (result == LinkRefused) {
    ClearRefusal();
    return -1;
  }
  if (result != 0) return result;
  std::string name;
  {
    std::lock_guard lock(core().ModelMutex());
    name = core().data().hcu.NN.value;
  }
  if (!name.empty() && name[0] == 'M') {
    state.direct_recorder = true;
    link.SetTargetRecorder(1);
  } else {
    link.SetTargetRecorder(core().settings().activate_kr_no);
  }
  core().ui().SetMenuSet(MenuSet::kLoggedIn);
  fields.phase = 1;
  fields.step = 0;
  return -1;
}

int InitialisationOperation::StepPhase12() {
  EngineFields& fields = core().fields();
  const bool phase1 = fields.phase == 1;
  if (!phase1 && fields.step == kPhase2MdStep) {
    std::lock_guard lock(core().ModelMutex());
    const KrParams* recorder = core().TargetRecord();
    if (recorder == nullptr || recorder->MN.value == 0) {
      ++fields.step;
    } else {
      // The link's file number is 0 after the connection reset, which no event has: read the
      // newest event's entry instead of an "E".
      core().context().file_number_request = FileNumberRequest::kNewest;
    }
  }
  const int last_step = fields.step;
  const int result = phase1 ? core().RunCommandList(kPhase1) : core().RunCommandList(kPhase2);
  if (result == LinkRefused) {
    // A recorder that refuses KR keeps no ring memory; any other refused read is not supported by
    // this recorder and is skipped.
    if (phase1 && last_step > 0 && kPhase1[static_cast<size_t>(last_step - 1)] == kKR) {
      std::lock_guard lock(core().ModelMutex());
      if (KrParams* recorder = core().TargetRecord()) recorder->ring_memory = false;
    }
    ClearRefusal();
    return -1;
  }
  if (result != 0) return result;
  if (phase1) {
    std::string identification;
    {
      std::lock_guard lock(core().ModelMutex());
      if (const KrParams* recorder = core().TargetRecord()) identification = recorder->IN.value;
    }
    core().ui().SetWindowTitle(fields.window_title + " [" + identification + "]");
  }
  if (phase1 && core().state().control_unit_present) {
    fields.phase = 2;
    fields.step = 0;
    return -1;
  }
  EnterFinalPhase();
  return -1;
}

void InitialisationOperation::EnterFinalPhase() {
  int firmware = 0;
  {
    std::lock_guard lock(core().ModelMutex());
    if (const KrParams* recorder = core().TargetRecord()) firmware = recorder->IV.value;
    core().context().forced_file_number = 0;
  }
  core().fields().phase = firmware < kPhase4Firmware ? 3 : 4;
  core().fields().step = 0;
}

int InitialisationOperation::StepPhase34() {
  const int last_step = core().fields().step;
  const int result = core().RunCommandList(kPhase34);
  if (result == LinkRefused) {
    if (last_step > 0 && kPhase34[static_cast<size_t>(last_step - 1)] == kTh) core().set_refusal_mark(true);
    ClearRefusal();
    return -1;
  }
  if (result != 0) return result;
  CompleteLogin();
  return -1;
}

void InitialisationOperation::HandleResult(int result) {
  switch (result) {
    case LinkBadTarget: {
      const int target = core().TargetRecorder();
      core().FinishOperation(1);
      core().link().SetTargetRecorder(0);
      core().Warn(msg::kRecorderNotAvailable, core().strings().Format(msg::kRecorderNotAvailable, target));
      return;
    }
    case LinkTimedOut:
    case LinkSerialFailed:
    case LinkAbandoned:
      core().ReportTimeout();
      return;
    case LinkOffline: {
      core().ReportFailure(msg::kLoginError);
      core().ResetEngine();
      core().ui().SetMenuSet(MenuSet::kNotLoggedIn);
      core().state().control_unit_present = false;
      core().state().direct_recorder = false;
      core().Disconnect();
      return;
    }
    default:
      return;
  }
}

void InitialisationOperation::CompleteLogin() {
  const bool th_refused = core().refusal_mark();
  core().FinishOperation(1);
  core().set_refusal_mark(th_refused);
  core().SetInterrupted(false);
  {
    std::lock_guard lock(core().ModelMutex());
    const KrParams* recorder = core().TargetRecord();
    current_event_index_ = recorder != nullptr ? std::max(recorder->MN.value - 1, 0) : 0;
  }
  if (FirmwareCheck() && login_complete_) login_complete_();
}

bool InitialisationOperation::FirmwareCheck() {
  unsigned firmware = 0;
  std::string unit_name;
  int device_type = kNoDeviceType;
  {
    std::lock_guard lock(core().ModelMutex());
    if (const KrParams* recorder = core().TargetRecord()) {
      firmware = static_cast<unsigned>(recorder->IV.value);
      unit_name = recorder->IN.value;
      device_type = recorder->device_type;
    }
  }
  if (!FirmwareSupported(firmware)) {
    core().FinishAndWarn(msg::kFirmwareUnsupported, firmware / 100.0, VersionForFirmware(firmware));
    return false;
  }
  if (unit_name.empty()) {
    core().FinishAndWarn(msg::kWrongSystem, unit_name);
    return false;
  }
  if (device_type < 0) {
    core().FinishAndWarn(msg::kFirmwareUnsupportedType, unit_name, firmware / 100.0);
    return false;
  }
  return true;
}

void InitialisationOperation::ActivateRecorder(int recorder) {
  core().SetInterrupted(true);
  core().settings().activate_kr_no = recorder;
  core().link().SetTargetRecorder(recorder);
  core().state().connection_requested = true;
  core().fields().phase = 1;
  core().fields().step = 0;
  core().SetState(OperationState::kInitialisation);
}

}  // namespace tarvik
