#pragma once

#include <QDialog>

#include "krcommon/string_table.h"

namespace tarvik {

// The start window shown for a moment after the program starts: name, version, what it is for.
class CStartDlg : public QDialog {
  Q_OBJECT

 public:
  CStartDlg(const kr::StringTable& strings, QWidget* parent = nullptr);
};

}  // namespace tarvik
