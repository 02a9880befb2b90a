#pragma once

#include <QDialog>
#include <QLineEdit>

#include "krcommon/string_table.h"

namespace tarvik {

// The question a macro or script asks with "[prompt]": the prompt as its label, one field for the
// answer, OK and Cancel.
class CMacroScriptQuestionDlg : public QDialog {
  Q_OBJECT

 public:
  CMacroScriptQuestionDlg(const kr::StringTable& strings, const QString& label, QWidget* parent = nullptr);

  QString answer() const { return edit_->text(); }
  QLineEdit* edit() { return edit_; }

 private:
  QLineEdit* edit_;
};

}  // namespace tarvik
