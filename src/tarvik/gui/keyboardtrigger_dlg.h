#pragma once

#include <QDialog>
#include <QLabel>
#include <QPushButton>
#include <QTimer>

#include "krcommon/string_table.h"

namespace tarvik {

// The "Keyboard Trigger" window: open while a recording started from the keyboard runs. It counts
// the seconds since the start, shows the computer's time, and its Stop button ends the recording
// (the owner runs the stop once the window has closed).
class CKeyboardtriggerDlg : public QDialog {
  Q_OBJECT

 public:
  CKeyboardtriggerDlg(const kr::StringTable& strings, const QString& title, QWidget* parent = nullptr);

  int counter() const { return counter_; }
  QPushButton* stop_button() { return stop_button_; }
  QString time_text() const { return time_->text(); }

 private:
  void Count();

  int counter_ = 0;
  QLabel* counter_value_;
  QLabel* time_;
  QPushButton* stop_button_;
  QTimer timer_;
};

}  // namespace tarvik
