#pragma once

#include <QDialog>
#include <QLineEdit>
#include <functional>
#include <string>

#include "krcommon/string_table.h"
#include "tarvik/uiport/ui_port.h"

namespace tarvik {

// Change Password: the old password and the new one twice. OK checks them against the password the
// unit reported (CheckPasswordChange); a problem is shown and the dialog stays open on the field
// concerned, so only a change that may be sent closes it.
class CChangePwdDlg : public QDialog {
  Q_OBJECT

 public:
  // `warn` shows a problem (its string id and text); the window's message box by default.
  using Warn = std::function<void(int id, const std::string& text)>;

  CChangePwdDlg(const kr::StringTable& strings, const QString& title, std::string current,
                QWidget* parent = nullptr, Warn warn = {});

  PasswordChange change() const;
  QLineEdit* old_edit() { return old_; }
  QLineEdit* new_edit() { return new_; }
  QLineEdit* repeat_edit() { return repeat_; }

  void accept() override;

 private:
  const kr::StringTable& strings_;
  std::string current_;
  Warn warn_;
  QLineEdit* old_;
  QLineEdit* new_;
  QLineEdit* repeat_;
};

}  // namespace tarvik
