#pragma once

#include <QDialog>
#include <QLabel>
#include <QPushButton>
#include <QString>

#include "krcommon/string_table.h"

namespace tarvik {

// What the console shows of the recorder: its trigger mode as read last and the ring-buffer flag.
struct RecordingModeStatus {
  int trigger_mode = -1;  // -1: not read
  bool ring_buffer = false;
};

// The string id naming a trigger mode; 0 for a mode that has no name.
int RecordingModeTextId(int trigger_mode);

// The "Recording mode" console: the recorder's current recording mode, the blasting mode with its
// state and its start/stop button, the keyboard trigger's start, and Close. The buttons only ask;
// the owner runs the operation and calls SetBusy/SetStatus as the engine goes on.
class CRecordingmodeDlg : public QDialog {
  Q_OBJECT

 public:
  static constexpr int kBlastingTriggerMode = 5;

  CRecordingmodeDlg(const kr::StringTable& strings, const QString& title, QWidget* parent = nullptr);

  void SetStatus(const RecordingModeStatus& status);
  // While an operation runs, nothing else may be asked for.
  void SetBusy(bool busy);

  QPushButton* blasting_button() { return blasting_button_; }
  QPushButton* keyboard_button() { return keyboard_button_; }
  QPushButton* close_button() { return close_button_; }
  QString mode_text() const { return mode_->text(); }
  QString blasting_text() const { return blasting_state_->text(); }

 signals:
  void BlastingRequested();
  void KeyboardTriggerRequested();

 private:
  const kr::StringTable& strings_;
  QLabel* mode_;
  QLabel* blasting_state_;
  QPushButton* blasting_button_;
  QPushButton* keyboard_button_;
  QPushButton* close_button_;
};

}  // namespace tarvik
