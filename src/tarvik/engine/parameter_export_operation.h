#pragma once

#include <filesystem>
#include <vector>

#include "tarvik/engine/operation.h"

namespace tarvik {

// Tests > Export all KR / HCU parameters (76 / 92): every parameter is read into the data model,
// then "ParamList.txt" or "HcuParamList.txt" is written into the data folder.
class ParameterExportOperation final : public Operation {
 public:
  explicit ParameterExportOperation(EngineCore& core);

  std::span<const OperationState> States() const override { return kStates; }
  void Step(OperationState state) override;

  void RequestRecorderExport() { Request(OperationState::kExportRecorderParameters); }
  void RequestHcuExport() { Request(OperationState::kExportHcuParameters); }

  // The file the last export wrote; empty when it could not be written or none ran.
  const std::filesystem::path& last_file() const { return last_file_; }

 private:
  static constexpr OperationState kStates[] = {OperationState::kExportRecorderParameters,
                                               OperationState::kExportHcuParameters};

  void Request(OperationState state);
  void WriteList(OperationState state);

  std::vector<int> recorder_list_;
  std::vector<int> hcu_list_;
  std::filesystem::path last_file_;
};

}  // namespace tarvik
