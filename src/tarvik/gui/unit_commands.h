#pragma once

#include <QObject>
#include <QPointer>
#include <QWidget>
#include <optional>

#include "krcommon/string_table.h"
#include "tarvik/engine/operation_state.h"
#include "tarvik/gui/ad_values_dlg.h"
#include "tarvik/gui/gui_ui_port.h"
#include "tarvik/gui/keyboardtrigger_dlg.h"
#include "tarvik/gui/menu_table.h"
#include "tarvik/gui/recordingmode_dlg.h"

namespace tarvik {

class CTarvikView;

// The menu entries of the operations that read and show, test and maintain a unit: Info > Recorder,
// Sensor, HCU, Network; Tests > the flags, the A/D values, the test results, the communication
// parameters, the recording system tests and the parameter list exports; Operate > Initialize
// Filter, Erase, Set Baseline, the alarm resets, Sync now from PC and Recording mode.
//
// The reading states show their window through the engine's show hook: the engine has gone idle,
// the window is modal, and the operation finishes when it closes. The A/D window is the exception:
// it opens after the tick that read the identification, so that the engine can go on reading the
// values (state 45) while it is open; closing it addresses the control unit again (Na0), because the
// identification and the values are read without returning to it. The recording-mode console opens
// after its read (38, or 52 while blasting) in the same way: its buttons run the recording modes
// (57, 60, 61) while it is open, each of which returns to the control unit by itself.
class CUnitCommands : public QObject {
  Q_OBJECT

 public:
  static constexpr int kAdIntervalMs = 1000;

  CUnitCommands(CTarvikView& view, CGuiUiPort& ui, const kr::StringTable& strings, QWidget* window);

  // Runs the menu entry when it is one of these; false otherwise.
  bool Run(const MenuEntry& entry);

  // What the tests look at: the A/D window while it is open.
  CAdValuesDlg* ad_window() { return ad_window_.data(); }
  // The recording-mode console while it is open.
  CRecordingmodeDlg* recording_window() { return recording_window_.data(); }
  CKeyboardtriggerDlg* keyboard_window() { return keyboard_window_.data(); }

 private:
  void OnShow(OperationState state);
  void ShowPage(OperationState state);
  void OpenAdWindow();
  bool PollAdValues();
  void OnTick();
  void ReportExport();
  QString PageTitle(OperationState state) const;
  void OpenRecordingWindow();
  RecordingModeStatus ReadRecordingStatus();
  // Runs a recording-mode state from the console; the console waits until the engine is idle again.
  void StartRecordingMode(OperationState state);
  void IssueRecordingMode();
  void RecordingModeDone();
  void OpenKeyboardTrigger();

  CTarvikView& view_;
  CGuiUiPort& ui_;
  const kr::StringTable& strings_;
  QWidget* window_;
  QPointer<CAdValuesDlg> ad_window_;
  bool ad_read_pending_ = false;
  bool return_to_control_unit_ = false;
  QPointer<CRecordingmodeDlg> recording_window_;
  QPointer<CKeyboardtriggerDlg> keyboard_window_;
  // The recording-mode state the console waits for, and the failures counted when it was asked for.
  std::optional<OperationState> recording_state_;
  int recording_failures_ = 0;
  bool recording_requested_ = false;
  // The export running and the failures counted when it was asked for.
  std::optional<OperationState> export_state_;
  int export_failures_ = 0;
};

}  // namespace tarvik
