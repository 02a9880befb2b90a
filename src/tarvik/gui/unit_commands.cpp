#include "tarvik/gui/unit_commands.h"

#include <QTimer>
#include <algorithm>
#include <mutex>

#include "tarvik/config/param_list_export.h"
#include "tarvik/engine/maintenance_operation.h"
#include "tarvik/engine/operation_engine.h"
#include "tarvik/engine/parameter_export_operation.h"
#include "tarvik/engine/parameter_messages.h"
#include "tarvik/engine/parameter_read_operation.h"
#include "tarvik/engine/recording_mode_operation.h"
#include "tarvik/gui/ad_values_dlg.h"
#include "tarvik/gui/gui_text.h"
#include "tarvik/gui/info_dlg.h"
#include "tarvik/gui/info_page.h"
#include "tarvik/gui/info_page_dlg.h"
#include "tarvik/gui/info_text.h"
#include "tarvik/gui/keyboardtrigger_dlg.h"
#include "tarvik/gui/recordingmode_text.h"
#include "tarvik/gui/sensor_dlg.h"
#include "tarvik/gui/tarvik_view.h"

namespace tarvik {

namespace {

using S = OperationState;

struct PageOfState {
  OperationState state;
  ParameterPage page;
};

// The reading states whose windows this unit shows.
constexpr PageOfState kPages[] = {
    {S::kInfoRecorder, ParameterPage::kRecorder},
    {S::kInfoSensor, ParameterPage::kSensor},
    {S::kInfoHcu, ParameterPage::kHcu},
    {S::kInfoNetwork, ParameterPage::kNetwork},
    {S::kRecorderTestResults, ParameterPage::kTestResults},
    {S::kHcuTestResults, ParameterPage::kHcuTestResults},
    {S::kHcuCommunication, ParameterPage::kHcuCommunication},
    {S::kAdWindowIdentification, ParameterPage::kAdValues},
    {S::kAdValues, ParameterPage::kAdValues},
};

std::optional<ParameterPage> PageOf(OperationState state) {
  for (const PageOfState& entry : kPages) {
    if (entry.state == state) return entry.page;
  }
  return std::nullopt;
}

QString PlainText(QString text) {
  text.remove('&');
  if (text.endsWith("...")) text.chop(3);
  return text;
}

}  // namespace

CUnitCommands::CUnitCommands(CTarvikView& view, CGuiUiPort& ui, const kr::StringTable& strings,
                             QWidget* window)
    : QObject(window), view_(view), ui_(ui), strings_(strings), window_(window) {
  view_.engine().Unit<ParameterReadOperation>().set_on_show([this](OperationState state) { OnShow(state); });
  connect(&view_.host(), &CEngineHost::Ticked, this, &CUnitCommands::OnTick);
}

bool CUnitCommands::Run(const MenuEntry& entry) {
  if (!entry.state) return false;
  const OperationState state = *entry.state;
  OperationEngine& engine = view_.engine();
  if (state == S::kRecordingMode) {
    // While blasting mode is active the recording mode is read by 52.
    auto& reader = engine.Unit<ParameterReadOperation>();
    reader.RequestRead(reader.StateForPage(ParameterPage::kRecordingMode));
    return true;
  }
  if (PageOf(state) && state != S::kAdValues) {
    engine.Unit<ParameterReadOperation>().RequestRead(state);
    return true;
  }
  if (state == S::kExportRecorderParameters || state == S::kExportHcuParameters) {
    export_state_ = state;
    export_failures_ = engine.failure_count();
    auto& exporter = engine.Unit<ParameterExportOperation>();
    if (state == S::kExportRecorderParameters) {
      exporter.RequestRecorderExport();
    } else {
      exporter.RequestHcuExport();
    }
    return true;
  }
  auto& maintenance = engine.Unit<MaintenanceOperation>();
  if (std::find(maintenance.States().begin(), maintenance.States().end(), state) !=
      maintenance.States().end()) {
    maintenance.Request(state);
    return true;
  }
  return false;
}

QString CUnitCommands::PageTitle(OperationState state) const {
  if (state == S::kInfoRecorder) return Text(strings_, info_text::kInfoRecorderTitle);
  if (state == S::kInfoSensor) return Text(strings_, info_text::kInfoSensorTitle);
  for (const MenuEntry& entry : MenuTable()) {
    if (entry.state != state) continue;
    const QString text = PlainText(Text(strings_, entry.text_id));
    // The Info menu's entries name only the unit ("HCU", "Network").
    return entry.popup_id == menu::kInfo ? PlainText(Text(strings_, menu::kInfo)) + " " + text : text;
  }
  return {};
}

void CUnitCommands::OnShow(OperationState state) {
  if (state == S::kAdWindowIdentification) {
    // After the tick: the engine must be free to read the values while the window is open.
    QTimer::singleShot(0, this, &CUnitCommands::OpenAdWindow);
    return;
  }
  if (state == S::kAdValues) {
    if (ad_window_) {
      ad_window_->ShowValues(ReadInfoPage(view_.engine(), view_.stack(), ParameterPage::kAdValues).lines);
    }
    return;
  }
  if (state == S::kRecordingMode || state == S::kRecordingModeBlasting) {
    // After the tick, as the A/D window: the console runs operations while it is open.
    if (!recording_window_) QTimer::singleShot(0, this, &CUnitCommands::OpenRecordingWindow);
    return;
  }
  if (PageOf(state)) ShowPage(state);
}

RecordingModeStatus CUnitCommands::ReadRecordingStatus() {
  LinkAdapter& stack = view_.stack();
  std::lock_guard lock(stack.ModelMutex());
  RecordingModeStatus status;
  if (const KrParams* recorder = stack.data().Recorder(stack.TargetRecorder())) {
    status.trigger_mode = recorder->TN.value;
    status.ring_buffer = recorder->KR.value == "1";
  }
  return status;
}

void CUnitCommands::OpenRecordingWindow() {
  CRecordingmodeDlg dialog(strings_, PlainText(Text(strings_, 9642)), window_);
  recording_window_ = &dialog;
  recording_state_.reset();
  dialog.SetStatus(ReadRecordingStatus());
  connect(&dialog, &CRecordingmodeDlg::BlastingRequested, this,
          [this] { StartRecordingMode(S::kBlastingMode); });
  connect(&dialog, &CRecordingmodeDlg::KeyboardTriggerRequested, this,
          [this] { StartRecordingMode(S::kStartKbMode); });
  OnTick();
  dialog.exec();
  recording_window_ = nullptr;
}

void CUnitCommands::StartRecordingMode(OperationState state) {
  if (recording_state_) return;
  recording_state_ = state;
  recording_requested_ = false;
  if (recording_window_) recording_window_->SetBusy(true);
  IssueRecordingMode();
}

// Asks for the waiting state once the engine is free (after a read it still returns to the control
// unit for a moment).
void CUnitCommands::IssueRecordingMode() {
  OperationEngine& engine = view_.engine();
  if (!engine.state().logged_in || !engine.link_open()) {
    // The connection is gone: nothing can be switched; the engine has said why.
    recording_state_.reset();
    if (recording_window_) recording_window_->SetBusy(false);
    return;
  }
  if (!engine.idle() || engine.state().busy) return;
  recording_failures_ = engine.failure_count();
  recording_requested_ = true;
  auto& modes = engine.Unit<RecordingModeOperation>();
  if (*recording_state_ == S::kBlastingMode) {
    modes.RequestBlastingMode();
  } else {
    modes.RequestKbMode(*recording_state_ == S::kStartKbMode);
  }
}

void CUnitCommands::RecordingModeDone() {
  const OperationState state = *recording_state_;
  recording_state_.reset();
  const bool failed = view_.engine().failure_count() != recording_failures_;
  if (recording_window_) {
    recording_window_->SetStatus(ReadRecordingStatus());
    recording_window_->SetBusy(false);
  }
  if (state == S::kStartKbMode && !failed) QTimer::singleShot(0, this, &CUnitCommands::OpenKeyboardTrigger);
}

void CUnitCommands::OpenKeyboardTrigger() {
  QWidget* parent = recording_window_ ? static_cast<QWidget*>(recording_window_.data()) : window_;
  CKeyboardtriggerDlg dialog(strings_, PlainText(Text(strings_, recordingmode_text::kKeyboardTrigger)),
                             parent);
  keyboard_window_ = &dialog;
  dialog.exec();
  keyboard_window_ = nullptr;
  // However the window was closed, the recording it stands for ends.
  StartRecordingMode(S::kStopKbMode);
}

void CUnitCommands::ShowPage(OperationState state) {
  const ParameterPage page = *PageOf(state);
  OperationEngine& engine = view_.engine();
  if (state == S::kInfoRecorder) {
    CInfoDlg dialog(strings_, ReadInfoPage(engine, view_.stack(), page), window_);
    dialog.exec();
  } else if (state == S::kInfoSensor) {
    CSensorDlg dialog(strings_, ReadInfoPage(engine, view_.stack(), page, {"IE", "ZX"}), window_);
    dialog.exec();
  } else {
    CInfoPageDlg dialog(strings_, PageTitle(state), ReadInfoPage(engine, view_.stack(), page).lines, window_);
    dialog.exec();
  }
}

void CUnitCommands::OpenAdWindow() {
  OperationEngine& engine = view_.engine();
  CAdValuesDlg dialog(strings_, PageTitle(S::kAdWindowIdentification),
                      ReadInfoPage(engine, view_.stack(), ParameterPage::kAdValues).lines, kAdIntervalMs,
                      window_);
  ad_window_ = &dialog;
  ad_read_pending_ = false;
  dialog.SetPoll([this] { return PollAdValues(); });
  dialog.StartReading();
  dialog.exec();
  ad_window_ = nullptr;
  if (!engine.state().logged_in) return;
  return_to_control_unit_ = true;
  OnTick();
}

// One timer step of the A/D window: collects the read that was asked for and asks for the next.
bool CUnitCommands::PollAdValues() {
  OperationEngine& engine = view_.engine();
  if (!engine.state().logged_in || !engine.link_open()) return false;
  if (ad_read_pending_) {
    if (!engine.idle()) return true;
    ad_read_pending_ = false;
    // A failed read has been reported (time-out, 265) and the engine went back to the control unit.
    if (engine.Unit<ParameterReadOperation>().shown_state() != S::kAdValues) return false;
  }
  if (!engine.idle() || engine.state().busy) return true;
  engine.Unit<ParameterReadOperation>().RequestRead(S::kAdValues);
  ad_read_pending_ = true;
  return true;
}

void CUnitCommands::OnTick() {
  OperationEngine& engine = view_.engine();
  if (recording_state_) {
    if (!recording_requested_) {
      IssueRecordingMode();
    } else if (engine.idle() && !engine.state().busy) {
      RecordingModeDone();
    }
  }
  if (!engine.idle() || engine.state().busy) return;
  if (return_to_control_unit_) {
    return_to_control_unit_ = false;
    if (engine.state().logged_in && engine.link_open()) engine.SetState(S::kBackToControlUnit);
    return;
  }
  if (export_state_) ReportExport();
}

// Tells where the list went, or that it could not be written; a failure of the reading itself has
// been reported by the engine already.
void CUnitCommands::ReportExport() {
  const bool recorder = *export_state_ == S::kExportRecorderParameters;
  export_state_.reset();
  OperationEngine& engine = view_.engine();
  if (engine.failure_count() != export_failures_) return;
  const std::filesystem::path& file = engine.Unit<ParameterExportOperation>().last_file();
  if (file.empty()) {
    const std::string name = recorder ? kParamListFileName : kHcuParamListFileName;
    ui_.ShowMessage(msg::kParamListNotWritten, strings_.Format(msg::kParamListNotWritten, name),
                    MessageIcon::kError, MessageButtons::kOk);
    return;
  }
  ui_.ShowMessage(info_text::kListWritten, strings_.Format(info_text::kListWritten, file.string()),
                  MessageIcon::kInformation, MessageButtons::kOk);
}

}  // namespace tarvik
