#include "tarvik/engine/parameter_write_operation.h"

#include <mutex>
#include <string_view>

#include "tarvik/engine/parameter_list_step.h"
#include "tarvik/engine/parameter_messages.h"
#include "tarvik/protocol/command_table.h"

namespace tarvik {

namespace {

using S = OperationState;

// A command list from codes; recorder codes are looked up from command 73 on, so that "Rs" of a
// recorder is 242 and "RS" 156, while the control unit's lists take the first row of a code.
std::vector<int> Codes(std::initializer_list<std::string_view> codes, bool recorder) {
  std::vector<int> list;
  if (recorder) list.push_back(cmd::kNa);
  for (std::string_view code : codes) {
    int number = recorder ? FindCommand(code, cmd::kFirstRecorderCommand) : -1;
    if (number < 0) number = FindCommand(code);
    list.push_back(number);
  }
  if (recorder) list.push_back(cmd::kNa0);
  return list;
}

std::vector<int> Recorder(std::initializer_list<std::string_view> codes) {
  return Codes(codes, true);
}

}  // namespace

ParameterWriteOperation::ParameterWriteOperation(EngineCore& core) : Operation(core) {
  // A write that fails is reported with 259 also where the old program ended such a write silently
  // (self-test set-up, alerting): a value that did not reach the recorder must not look stored.
  writes_ = {
      {S::kWriteTriggeredRecording,
       Recorder({"Pr", "Te", "To", "Tr", "Ar", "Aq", "Tm", "Tt", "Tw", "Ti", "Td", "Tl", "Tf", "Tg", "Tp",
                 "Ao0", "Fi"}),
       msg::kSetRecordingParameters, 0, msg::kParameterWriteError},
      {S::kWriteGeneral, Recorder({"Pr", "Rh", "Pc", "Pl", "Po", "Pe", "Zd", "Sy", "Fi", "Rs", "Ct", "Cd"}),
       msg::kSetGeneralParameters, 0, msg::kParameterWriteError},
      {S::kWriteHcuParameters, Codes({"Nd", "Nt", "No", "Nx", "Nm", "Nh", "Nl", "Rs", "Nz"}, false),
       msg::kSetHcuParameters, 0, msg::kParameterWriteError},
      {S::kWriteFilter, Recorder({"SO", "Ir", "Fs", "Fi"}), msg::kSetFilter, msg::kFilterSet,
       msg::kFilterNotSet},
      {S::kWriteSelfTestSetup, Recorder({"Fd", "Fc", "Ft"}), 0, 0, msg::kParameterWriteError},
      {S::kWriteSelfTestSetupToo, Recorder({"Fd", "Fc", "Ft"}), 0, 0, msg::kParameterWriteError},
      {S::kWriteHcuPeriodicTest, Codes({"Qp"}, false), msg::kSetHcuPeriodicTest, 0,
       msg::kParameterWriteError},
      {S::kWriteAlertingMessages, Recorder({"Ae"}), 0, 0, msg::kParameterWriteError},
      {S::kWriteAlertingPhonebook, Recorder({"Ad", "Ag"}), 0, 0, msg::kParameterWriteError},
      {S::kWriteAlerting, Recorder({"Al", "Ah", "Ap", "Aj", "Ad", "Ag", "Ae"}), 0, 0,
       msg::kParameterWriteError},
      {S::kWriteCavAlarm, Recorder({"Ao1", "Ao2", "Ak1", "Ak2"}), msg::kSetCavAlarm, 0,
       msg::kParameterWriteError},
      {S::kWriteSiAlarm, Recorder({"Ao1", "Ao2", "Ak1", "Ak2", "Si"}), msg::kSetSiAlarm, 0,
       msg::kParameterWriteError},
      {S::kWriteKrAlarm, Recorder({"At", "Ao0", "Ao1", "Ao2", "Aq", "Ar", "Au", "Fi"}), msg::kSetKrAlarm, 0,
       msg::kParameterWriteError},
      {S::kWriteTimedRecording, Recorder({"Tu", "CD", "CT", "TU"}), 0, 0, msg::kParameterWriteError},
      {S::kAlertingTest, Recorder({"Ai"}), msg::kAlertingTestProgress, 0, msg::kParameterWriteError},
  };
  filter_short_list_ = Recorder({"Ir", "Fi"});
  for (const WriteState& write : writes_) states_.push_back(write.state);
}

const ParameterWriteOperation::WriteState* ParameterWriteOperation::Find(OperationState state) const {
  for (const WriteState& write : writes_) {
    if (write.state == state) return &write;
  }
  return nullptr;
}

void ParameterWriteOperation::RequestWrite(OperationState state) {
  core().state().connection_requested = true;
  core().fields().step = 0;
  core().fields().phase = 0;
  core().set_refusal_mark(false);
  {
    std::lock_guard lock(core().ModelMutex());
    const KrParams* kr = core().TargetRecord();
    clock_pending_at_start_ = kr != nullptr && (kr->time_setting_pending || kr->date_setting_pending);
  }
  core().SetState(state);
}

void ParameterWriteOperation::RequestFilterWrite(bool with_characteristic) {
  filter_with_characteristic_ = with_characteristic;
  RequestWrite(S::kWriteFilter);
}

void ParameterWriteOperation::Step(OperationState state) {
  const WriteState* write = Find(state);
  if (write == nullptr) {
    core().FinishOperation(1);
    return;
  }
  if (write->progress_text != 0) core().ActionProgressTick(write->progress_text);
  std::span<const int> list = write->list;
  if (state == S::kWriteFilter && !filter_with_characteristic_) list = filter_short_list_;
  // The general write treats a refused clock command as "not now": the mark chooses the message.
  if (state == S::kWriteGeneral && core().link().State() == LinkRefused) {
    const int refused =
        list[static_cast<std::size_t>(core().fields().step > 0 ? core().fields().step - 1 : 0)];
    if (refused == cmd::kCt || refused == cmd::kCd) core().set_refusal_mark(true);
  }
  if (StepParameterList(core(), list, write->offline_message) != ParameterListResult::kDone) return;
  Complete(*write);
}

void ParameterWriteOperation::Complete(const WriteState& write) {
  const bool clock_refused =
      write.state == S::kWriteGeneral && clock_pending_at_start_ && core().refusal_mark();
  core().FinishOperation(1);
  if (clock_refused) {
    core().Warn(msg::kTimeSyncNotDone, core().strings().Text(msg::kTimeSyncNotDone));
    return;
  }
  if (write.success_message != 0) {
    core().ui().ShowMessage(write.success_message, core().strings().Text(write.success_message),
                            MessageIcon::kInformation, MessageButtons::kOk);
  }
}

}  // namespace tarvik
