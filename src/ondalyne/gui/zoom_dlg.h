#pragma once

#include <QDialog>

#include "krcommon/string_table.h"

class QCheckBox;
class QLineEdit;

namespace ondalyne {

// "Zooming": the start and end of the shown time frame in seconds, or the whole time history.
class CZoomDlg : public QDialog {
  Q_OBJECT
 public:
  CZoomDlg(const kr::StringTable& strings, double start_s, double end_s, bool whole, QWidget* parent);

  double start_seconds() const;
  double end_seconds() const;
  bool whole() const;

  QLineEdit* start_edit() const { return start_; }
  QLineEdit* end_edit() const { return end_; }
  QCheckBox* whole_box() const { return whole_; }

 private:
  void UpdateFields();

  QLineEdit* start_ = nullptr;
  QLineEdit* end_ = nullptr;
  QCheckBox* whole_ = nullptr;
};

}  // namespace ondalyne
