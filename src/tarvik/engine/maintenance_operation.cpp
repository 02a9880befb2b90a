#include "tarvik/engine/maintenance_operation.h"

#include <algorithm>
#include <mutex>

#include "tarvik/engine/engine_messages.h"
#include "tarvik/engine/maintenance_messages.h"
#include "tarvik/engine/protected_prompt.h"
#include "tarvik/protocol/command_table.h"

namespace tarvik {

namespace {

constexpr int kBaselineList[] = {cmd::kNa, CommandNumber("Zm"), cmd::kNa0};
constexpr int kClearFlagsList[] = {cmd::kNa, CommandNumber("Fe"), cmd::kNa0};
constexpr int kClearHcuFlagsList[] = {CommandNumber("Qw")};
constexpr int kResetAlarmsList[] = {cmd::kNa, CommandNumber("As"), cmd::kNa0};
constexpr int kResetHcuAlarmsList[] = {CommandNumber("Nq")};
constexpr int kInitFilterList[] = {cmd::kNa, cmd::kFi, cmd::kNa0};
constexpr int kSelfTestList[] = {cmd::kNa, CommandNumber("St"), cmd::kNa0};
constexpr int kHcuSelfTestList[] = {cmd::kQt};
constexpr int kClearCountersList[] = {CommandNumber("Qn")};
constexpr int kSyncClockList[] = {cmd::kNa, cmd::kCt, cmd::kCd, cmd::kNa0};

// Erase all events: read the trigger mode; switch triggering off, stop recording, erase, count;
// restore the trigger mode. The Tn of phases 1 and 2 is skipped when the trigger mode is 0.
constexpr int kErasePhase0[] = {cmd::kNa, CommandNumber("TN")};
constexpr int kErasePhase1[] = {CommandNumber("Tn"), CommandNumber("Th"), CommandNumber("Mf"),
                                CommandNumber("MN")};
constexpr int kErasePhase2[] = {CommandNumber("Tn"), cmd::kNa0};
constexpr int kEraseMfStep = 2;  // the step of Mf in phase 1

}  // namespace

struct MaintenanceOperation::Action {
  OperationState state;
  std::span<const int> list;
  int title;     // the password prompt's title; 0 = not protected
  int status;    // the status text
  int progress;  // the progress window's text; 0 = none
  int success;
  int offline;  // the LinkOffline message (212: the no-reply message with its names)
  int refused;  // a refused command sets the refusal mark and gives this message; 0 = cleared
};

const MaintenanceOperation::Action* MaintenanceOperation::Find(OperationState state) {
  using S = OperationState;
  static constexpr Action kActions[] = {
      {S::kEraseAll,
       {},
       msg::kTitleErase,
       msg::kStatusErase,
       0,
       msg::kAllEventsErased,
       msg::kEraseWrongPassword,
       0},
      {S::kBaseline, kBaselineList, msg::kTitleBaseline, msg::kStatusBaseline, msg::kTitleBaseline,
       msg::kBaselineDone, msg::kBaselineWrongPassword, 0},
      {S::kClearRecorderFlags, kClearFlagsList, msg::kTitleClearFlags, msg::kStatusClearFlags, 0,
       msg::kFlagsCleared, msg::kFlagsWrongPassword, 0},
      {S::kClearHcuFlags, kClearHcuFlagsList, msg::kTitleClearHcuFlags, msg::kStatusClearHcuFlags, 0,
       msg::kFlagsCleared, msg::kFlagsWrongPassword, 0},
      {S::kResetRecorderAlarms, kResetAlarmsList, msg::kTitleResetAlarms, msg::kStatusResetAlarms, 0,
       msg::kAlarmsCleared, msg::kAlarmsWrongPassword, 0},
      {S::kResetHcuAlarms, kResetHcuAlarmsList, msg::kTitleResetHcuAlarms, msg::kStatusResetAlarms, 0,
       msg::kAlarmsCleared, msg::kAlarmsWrongPassword, 0},
      {S::kInitialiseFilter, kInitFilterList, msg::kTitleInitFilter, msg::kStatusInitFilter,
       msg::kProgressInitFilter, msg::kFilterInitialised, msg::kFilterNotInitialised, 0},
      {S::kRecorderSelfTest, kSelfTestList, msg::kTitleSelfTest, msg::kStatusSelfTest, msg::kTitleSelfTest,
       msg::kSelfTestDone, msg::kNoReply, msg::kSelfTestError},
      {S::kHcuSelfTest, kHcuSelfTestList, msg::kTitleHcuSelfTest, msg::kStatusHcuSelfTest,
       msg::kTitleHcuSelfTest, msg::kSelfTestDone, msg::kSelfTestError, msg::kSelfTestError},
      {S::kClearCommunicationCounters, kClearCountersList, 0, msg::kStatusClearCounters, 0,
       msg::kCountersCleared, msg::kCountersNotCleared, 0},
      {S::kSyncClock, kSyncClockList, 0, msg::kStatusSyncClock, 0, msg::kClockSet, msg::kClockNotSet,
       msg::kClockNotSet},
  };
  const auto* found = std::find_if(std::begin(kActions), std::end(kActions),
                                   [state](const Action& action) { return action.state == state; });
  return found == std::end(kActions) ? nullptr : found;
}

bool MaintenanceOperation::IsProtected(OperationState state) {
  const Action* action = Find(state);
  return action != nullptr && action->title != 0;
}

bool MaintenanceOperation::Request(OperationState state) {
  const Action* action = Find(state);
  if (action == nullptr) return false;
  {
    std::lock_guard lock(core().ModelMutex());
    KrParams* recorder = core().TargetRecord();
    if (state == OperationState::kSyncClock && recorder != nullptr) {
      // Ct and Cd carry the PC's clock only while a clock setting is pending.
      recorder->RequestClockSetting();
    } else if (state == OperationState::kInitialiseFilter) {
      // Fi goes out only after a settings write; here it is the action itself.
      core().context().settings_touched = true;
    } else if (state == OperationState::kClearCommunicationCounters && recorder != nullptr) {
      for (std::size_t i = 0; i < 2; ++i) {
        recorder->Qn[i].value = 0;
        recorder->Qn[i].changed = true;
      }
    }
  }
  erase_refused_ = false;
  if (action->title != 0) return RunProtectedPrompt(core(), state, action->title);
  core().state().connection_requested = true;
  core().fields().step = 0;
  core().fields().phase = 0;
  core().SetState(state);
  core().ui().SetWaitCursor(true);
  return true;
}

void MaintenanceOperation::Step(OperationState state) {
  if (state == OperationState::kEraseAll) {
    StepErase();
    return;
  }
  if (const Action* action = Find(state)) StepAction(*action);
}

// The results that end or hold up a list, common to every action: true when the result was one.
bool MaintenanceOperation::HandleStopping(int result, int offline_message) {
  switch (result) {
    case LinkTimedOut:
      core().ReportTimeout();
      return true;
    case LinkOffline:
      if (offline_message == msg::kNoReply) {
        core().ReportTimeout();
      } else {
        core().ReportFailure(offline_message);
      }
      return true;
    case LinkBadTarget:
      core().FinishAndWarn(msg::kRecorderNotAvailable, core().TargetRecorder());
      return true;
    default:
      return false;
  }
}

void MaintenanceOperation::StepAction(const Action& action) {
  core().SetStatus(action.status);
  if (action.progress != 0) core().ActionProgressTick(action.progress);
  const int result = core().RunCommandList(action.list);
  if (result == kListDone) {
    CompleteAction(action);
    return;
  }
  if (result == LinkRefused) {
    if (action.refused != 0) core().set_refusal_mark(true);
    core().link().SetState(LinkReady);
    return;
  }
  HandleStopping(result, action.offline);
}

void MaintenanceOperation::CompleteAction(const Action& action) {
  const bool refused = core().refusal_mark();
  if (refused && action.refused != 0) {
    core().FinishAndWarn(action.refused);
    return;
  }
  core().FinishOperation(0);
  core().ui().ShowMessage(action.success, core().strings().Text(action.success), MessageIcon::kInformation,
                          MessageButtons::kOk);
}

// --- Erase all events ---------------------------------------------------------------------------------

void MaintenanceOperation::ForceFileNumber(int number) {
  std::lock_guard lock(core().ModelMutex());
  core().context().forced_file_number = number;
}

void MaintenanceOperation::StepErase() {
  EngineFields& fields = core().fields();
  core().SetStatus(msg::kStatusErase);
  const std::span<const int> list = fields.phase == 0   ? std::span<const int>(kErasePhase0)
                                    : fields.phase == 1 ? std::span<const int>(kErasePhase1)
                                                        : std::span<const int>(kErasePhase2);
  const int result = core().RunCommandList(list);
  if (result == kListDone) {
    CompleteErasePhase();
    return;
  }
  if (result == LinkRefused) {
    core().link().SetState(LinkReady);
    return;
  }
  // A refused Mf (wrong password) comes back as LinkOffline after Tn and Th have switched triggering
  // off: the trigger mode is restored before the failure is reported, so that the recorder does not
  // stay blind because of a mistyped password.
  if (result == LinkOffline && fields.phase == 1 && fields.step > kEraseMfStep && saved_trigger_mode_ != 0) {
    erase_refused_ = true;
    core().link().SetState(LinkReady);
    fields.phase = 2;
    fields.step = 0;
    ForceFileNumber(saved_trigger_mode_);
    return;
  }
  HandleStopping(result, msg::kEraseWrongPassword);
}

void MaintenanceOperation::CompleteErasePhase() {
  EngineFields& fields = core().fields();
  switch (fields.phase) {
    case 0: {
      {
        std::lock_guard lock(core().ModelMutex());
        const KrParams* recorder = core().TargetRecord();
        saved_trigger_mode_ = recorder != nullptr ? recorder->TN.value : 0;
      }
      fields.phase = 1;
      // Tn switches triggering off and Th stops recording, both with file number 0.
      ForceFileNumber(0);
      fields.step = saved_trigger_mode_ != 0 ? 0 : 1;
      return;
    }
    case 1:
      fields.phase = 2;
      if (saved_trigger_mode_ != 0) {
        ForceFileNumber(saved_trigger_mode_);  // Tn restores the trigger mode
        fields.step = 0;
      } else {
        fields.step = 1;
      }
      return;
    default:
      EndErase(erase_refused_);
      return;
  }
}

void MaintenanceOperation::EndErase(bool refused) {
  int events = 0;
  {
    std::lock_guard lock(core().ModelMutex());
    KrParams* recorder = core().TargetRecord();
    if (recorder != nullptr) events = recorder->MN.value;
    if (!refused && events == 0 && recorder != nullptr) {
      recorder->downloaded_events = 0;
      recorder->directory_entries_read = 0;
      recorder->directory = {};
    }
  }
  if (refused || events != 0) {
    core().FinishAndWarn(msg::kEraseWrongPassword);
    return;
  }
  core().FinishOperation(1);
  core().SetInterrupted(false);
  core().ui().ShowMessage(msg::kAllEventsErased, core().strings().Text(msg::kAllEventsErased),
                          MessageIcon::kInformation, MessageButtons::kOk);
}

}  // namespace tarvik
