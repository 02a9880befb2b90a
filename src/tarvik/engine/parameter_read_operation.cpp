#include "tarvik/engine/parameter_read_operation.h"

#include <mutex>
#include <string_view>

#include "tarvik/engine/parameter_list_step.h"
#include "tarvik/engine/parameter_messages.h"
#include "tarvik/protocol/command_table.h"

namespace tarvik {

namespace {

using S = OperationState;
using P = ParameterPage;

constexpr int kAlertingFeatureBit = 8;
// The recorder's trigger mode while blasting mode runs.
constexpr int kBlastingTriggerMode = 5;

// A command list from codes: control-unit codes first, recorder codes from command 73 on.
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

std::vector<int> Hcu(std::initializer_list<std::string_view> codes) {
  return Codes(codes, false);
}

}  // namespace

ParameterReadOperation::ParameterReadOperation(EngineCore& core) : Operation(core) {
  const int kAE = FindCommand("AE");
  const int kAG = FindCommand("AG");
  const int kAH = FindCommand("AH");
  // The A/D window keeps the recorder addressed while it reads the values periodically.
  std::vector<int> ad_identification = Recorder({"IU", "ID", "ZX", "IO", "IE", "IG"});
  ad_identification.pop_back();
  reads_ = {
      {S::kInfoRecorder, P::kRecorder,
       Recorder({"IP", "IN", "IB", "IV", "IF", "SO", "BP", "BB", "WS", "WL", "ME",
                 "MN", "MS", "MU", "IA", "IR", "TN", "IH", "IS", "IT", "AS", "FR",
                 "TA", "KR", "TU", "FS", "TQ", "AH", "MG", "CT", "CD"}),
       msg::kParameterReadError, -1},
      {S::kInfoHcu, P::kHcu,
       Hcu({"NP", "NN", "QB", "QV", "NC", "NQ", "ND", "NT", "NS", "NR", "NW", "NE", "NY", "NF", "NV"}),
       msg::kParameterReadError, -1},
      {S::kInfoNetwork, P::kNetwork, Hcu({"NN", "NC", "NR", "NW", "NE"}), msg::kParameterReadError, -1},
      {S::kInfoSensor, P::kSensor, Recorder({"RR", "IC", "ID", "IU"}), msg::kParameterReadError, -1},
      {S::kReadTriggeredRecording, P::kRecording,
       Recorder({"PR", "IN", "IA", "TE", "TO", "IC", "IU", "TR", "AR", "AQ", "TM",
                 "TT", "TW", "TI", "TD", "TL", "TC", "IR", "TP", "TF", "TG", "AO"}),
       msg::kParameterReadError, -1},
      {S::kReadGeneral, P::kGeneral,
       Recorder({"SO", "PR", "RS", "RH", "CT", "CD", "DT", "DD", "DS", "DM", "PC", "PL", "PO", "PE", "ZD",
                 "SY", "IG"}),
       msg::kParameterReadError, -1},
      {S::kRecordingMode, P::kRecordingMode,
       Recorder({"SO", "TN", "TK", "TV", "CD", "CT", "TU", "TQ", "FS", "IR"}), msg::kRecordingModeError, -1},
      {S::kRecordingModeBlasting, P::kRecordingMode, Recorder({"FM", "FF", "Sr"}), msg::kRecordingModeError,
       -1},
      {S::kRecorderTestResults, P::kTestResults,
       Recorder({"FR", "FE", "FW", "FV", "FM", "FF", "SF", "AF", "HF", "CF", "BF", "MF"}),
       msg::kTestResultsReadError, -1},
      {S::kHcuTestResults, P::kHcuTestResults, Hcu({"QW", "NW", "NE"}), msg::kTestResultsReadError, -1},
      {S::kHcuCommunication, P::kHcuCommunication, Hcu({"NC", "XC", "QC", "QN"}),
       msg::kHcuCommunicationReadError, -1},
      {S::kReadHcuParameters, P::kHcuParameters,
       Hcu({"RS", "ND", "NT", "NO", "NX", "NM", "NH", "NL", "NZ", "QZ"}), msg::kHcuParametersReadError, -1},
      {S::kReadFilter, P::kFilter, Recorder({"SO", "FS", "IR"}), msg::kFilterReadError, -1},
      {S::kReadSelfTestSetup, P::kSelfTestSetup, Recorder({"FD", "FC", "FT"}), msg::kSelfTestSetupReadError,
       -1},
      {S::kReadHcuPeriodicTest, P::kHcuPeriodicTest, Hcu({"QP"}), msg::kParameterReadError, -1},
      {S::kReadAlertingMessages, P::kAlertingMessages, Recorder({"SO", "AL", "AE"}), msg::kAlertingReadError,
       kAE},
      {S::kReadAlertingPhonebook, P::kAlertingPhonebook, Recorder({"SO", "AD", "AG"}),
       msg::kAlertingReadError, kAG},
      {S::kReadAlerting, P::kAlerting,
       Recorder({"SO", "AL", "AH", "AP", "AJ", "SO", "AL", "AE", "SO", "AD", "AG"}), msg::kAlertingReadError,
       kAH},
      {S::kReadCavAlarm, P::kCavAlarm, Recorder({"IC", "IU", "AO", "AK1", "AK2", "IA"}),
       msg::kParameterReadError, -1},
      {S::kReadSiAlarm, P::kSiAlarm, Recorder({"IC", "IU", "AO", "AK1", "AK2", "IA", "SI"}),
       msg::kParameterReadError, -1},
      {S::kReadBackgroundRecording, P::kBackgroundRecording,
       Recorder({"TN", "TK", "TV", "TQ", "CT", "FS", "SO", "IR", "IA", "AO", "AQ", "IC", "IU", "AR", "AU"}),
       msg::kParameterReadError, -1},
      {S::kReadTimedRecording, P::kTimedRecording, Recorder({"TU", "CD", "CT"}), msg::kParameterReadError,
       -1},
      // An unreadable alarm set-up is a reading error like every other page's, not "Memory is full".
      {S::kReadKrAlarm, P::kKrAlarm, Recorder({"AT", "IA", "AO", "AQ", "IC", "IU", "AR", "AU", "TN"}),
       msg::kParameterReadError, -1},
      {S::kAdWindowIdentification, P::kAdValues, ad_identification, msg::kAdValuesReadError, -1},
      {S::kAdValues, P::kAdValues, Hcu({}), msg::kAdValuesReadError, -1},
  };
  reads_.back().list = {FindCommand("AV")};
  for (const ReadState& read : reads_) states_.push_back(read.state);
}

const ParameterReadOperation::ReadState* ParameterReadOperation::Find(OperationState state) const {
  for (const ReadState& read : reads_) {
    if (read.state == state) return &read;
  }
  return nullptr;
}

void ParameterReadOperation::RequestRead(OperationState state) {
  core().state().connection_requested = true;
  shown_state_ = OperationState::kIdle;
  core().fields().step = 0;
  core().fields().phase = 0;
  core().SetState(state);
}

bool ParameterReadOperation::BlastingModeActive() {
  std::lock_guard lock(core().ModelMutex());
  const KrParams* kr = core().TargetRecord();
  return kr != nullptr && kr->TN.value == kBlastingTriggerMode;
}

OperationState ParameterReadOperation::StateForPage(ParameterPage page) {
  if (page == ParameterPage::kRecordingMode)
    return BlastingModeActive() ? S::kRecordingModeBlasting : S::kRecordingMode;
  if (page == ParameterPage::kAdValues) return S::kAdWindowIdentification;
  for (const ReadState& read : reads_) {
    if (read.page == page) return read.state;
  }
  return S::kIdle;
}

std::vector<int> ParameterReadOperation::PageReadList(ParameterPage page) {
  std::vector<int> list;
  const OperationState state = StateForPage(page);
  if (const ReadState* read = Find(state)) list = read->list;
  if (page == ParameterPage::kAdValues) list.push_back(FindCommand("AV"));
  return list;
}

bool ParameterReadOperation::AlertingUnavailableAt(const ReadState& read) {
  const int step = core().fields().step;
  if (read.feature_test_command < 0 || step >= static_cast<int>(read.list.size())) return false;
  if (read.list[static_cast<std::size_t>(step)] != read.feature_test_command) return false;
  std::lock_guard lock(core().ModelMutex());
  const KrParams* kr = core().TargetRecord();
  return kr != nullptr && !kr->HasFeature(kAlertingFeatureBit);
}

void ParameterReadOperation::Step(OperationState state) {
  const ReadState* read = Find(state);
  if (read == nullptr) {
    core().FinishOperation(1);
    return;
  }
  if (AlertingUnavailableAt(*read)) {
    core().ReportFailure(msg::kNotReadyForAlerting);
    return;
  }
  if (StepParameterList(core(), read->list, read->offline_message) != ParameterListResult::kDone) return;
  if (state == S::kReadBackgroundRecording && BlastingModeActive()) {
    core().FinishOperation(1);
    core().ui().ShowMessage(msg::kBlastingModeActive, core().strings().Text(msg::kBlastingModeActive),
                            MessageIcon::kError, MessageButtons::kOk);
    return;
  }
  Show(*read);
}

void ParameterReadOperation::Show(const ReadState& read) {
  // The window is modal: the engine idles while it is open and the operation ends behind it.
  core().SetState(S::kIdle);
  shown_state_ = read.state;
  if (on_show_) on_show_(read.state);
  core().FinishOperation(1);
}

}  // namespace tarvik
