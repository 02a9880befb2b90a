#pragma once

#include <QDialog>
#include <QLabel>
#include <map>

#include "krcommon/string_table.h"
#include "tarvik/gui/info_page.h"

namespace tarvik {

// "Info Recorder": what state 31 read, in the groups Hardware/Firmware, Power Supply, Digitizer
// Recorder, Memory / Primary, Memory / Secondary and System Condition. A row whose command the
// recorder's type lacks is left out.
class CInfoDlg : public QDialog {
  Q_OBJECT

 public:
  CInfoDlg(const kr::StringTable& strings, const InfoPage& page, QWidget* parent = nullptr);

  // The value shown beside the label `label_id`; null when the row is not there.
  const QLabel* Value(int label_id) const;

 private:
  std::map<int, QLabel*> values_;
};

}  // namespace tarvik
