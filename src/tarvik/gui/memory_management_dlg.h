#pragma once

#include <QCheckBox>
#include <QDialog>

#include "krcommon/string_table.h"
#include "tarvik/uiport/ui_port.h"

namespace tarvik {

// Memory Managment: whether the recorder's memory is a ring (the oldest events are overwritten when it
// is full) and whether the events are mirrored. Shows the set-up read from the recorder.
class CMemoryManagementDlg : public QDialog {
  Q_OBJECT

 public:
  CMemoryManagementDlg(const kr::StringTable& strings, const QString& title, const MemoryManagement& current,
                       QWidget* parent = nullptr);

  MemoryManagement choice() const { return {ring_->isChecked(), mirror_->isChecked()}; }
  QCheckBox* ring_box() { return ring_; }
  QCheckBox* mirror_box() { return mirror_; }

 private:
  QCheckBox* ring_;
  QCheckBox* mirror_;
};

}  // namespace tarvik
