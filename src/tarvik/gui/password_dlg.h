#pragma once

#include <QDialog>
#include <QLineEdit>

#include "krcommon/string_table.h"

namespace tarvik {

// The log-in dialog and the password prompt of protected operations: one field, OK and Cancel.
class CPasswordDlg : public QDialog {
  Q_OBJECT

 public:
  CPasswordDlg(const kr::StringTable& strings, const QString& title, const QString& prefill,
               QWidget* parent = nullptr);

  QString password() const { return edit_->text(); }
  QLineEdit* edit() { return edit_; }

 private:
  QLineEdit* edit_;
};

}  // namespace tarvik
