#include "tarvik/engine/parameter_export_operation.h"

#include <mutex>

#include "tarvik/config/param_list_export.h"
#include "tarvik/engine/parameter_list_step.h"
#include "tarvik/engine/parameter_messages.h"

namespace tarvik {

ParameterExportOperation::ParameterExportOperation(EngineCore& core)
    : Operation(core), recorder_list_(RecorderExportReadList()), hcu_list_(HcuExportReadList()) {}

void ParameterExportOperation::Request(OperationState state) {
  core().state().connection_requested = true;
  last_file_.clear();
  core().fields().step = 0;
  core().fields().phase = 0;
  core().SetState(state);
}

void ParameterExportOperation::Step(OperationState state) {
  const bool recorder = state == OperationState::kExportRecorderParameters;
  const std::vector<int>& list = recorder ? recorder_list_ : hcu_list_;
  core().state().busy = true;
  core().ShowProgress(core().strings().Text(recorder ? msg::kExportRecorderTitle : msg::kExportHcuTitle),
                      static_cast<int>(list.size()), core().fields().step);
  if (StepParameterList(core(), list, msg::kParameterReadError) != ParameterListResult::kDone) return;
  WriteList(state);
  core().FinishOperation(1);
}

void ParameterExportOperation::WriteList(OperationState state) {
  std::string text;
  const char* name = kParamListFileName;
  {
    std::lock_guard lock(core().ModelMutex());
    if (state == OperationState::kExportRecorderParameters) {
      const KrParams* kr = core().TargetRecord();
      if (kr == nullptr) return;
      text = BuildRecorderParamList(
          {*kr, core().data().hcu.LL.value, core().fields().password, KR_APP_VERSION}, core().strings());
    } else {
      name = kHcuParamListFileName;
      text = BuildHcuParamList({core().data().hcu, KR_APP_VERSION}, core().strings());
    }
  }
  // A file that cannot be created ends the operation quietly; the caller sees no file.
  const std::filesystem::path file = core().settings().data_path / name;
  if (WriteParamList(file, text)) last_file_ = file;
}

}  // namespace tarvik
