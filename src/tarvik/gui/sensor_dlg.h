#pragma once

#include <QDialog>
#include <QLabel>
#include <map>
#include <utility>

#include "krcommon/string_table.h"
#include "tarvik/gui/info_page.h"

namespace tarvik {

// "Info Sensor": the sensor's serial number and, for channels 1 to 3, axis name, axis orientation,
// measuring unit, LSB and baseline. State 33 reads the names, orientations and units; the LSB and the
// baseline are the values the log-in read.
class CSensorDlg : public QDialog {
  Q_OBJECT

 public:
  static constexpr int kChannels = 3;

  CSensorDlg(const kr::StringTable& strings, const InfoPage& page, QWidget* parent = nullptr);

  QString SerialNumber() const { return serial_->text(); }
  // The value of row `label_id` for channel 1..3.
  QString Value(int label_id, int channel) const;

 private:
  QLabel* serial_;
  std::map<std::pair<int, int>, QLabel*> values_;
};

}  // namespace tarvik
