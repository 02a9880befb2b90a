#include "tarvik/gui/change_pwd_dlg.h"

#include <QDialogButtonBox>
#include <QFormLayout>
#include <QMessageBox>
#include <QPushButton>
#include <QVBoxLayout>

#include "tarvik/engine/maintenance_messages.h"
#include "tarvik/engine/password_check.h"
#include "tarvik/gui/gui_text.h"
#include "tarvik/gui/operate_text.h"

namespace tarvik {

namespace {

QLineEdit* PasswordField(const char* name, QWidget* parent) {
  auto* edit = new QLineEdit(parent);
  edit->setObjectName(name);
  edit->setEchoMode(QLineEdit::Password);
  return edit;
}

}  // namespace

CChangePwdDlg::CChangePwdDlg(const kr::StringTable& strings, const QString& title, std::string current,
                             QWidget* parent, Warn warn)
    : QDialog(parent),
      strings_(strings),
      current_(std::move(current)),
      warn_(std::move(warn)),
      old_(PasswordField("old", this)),
      new_(PasswordField("new", this)),
      repeat_(PasswordField("repeat", this)) {
  setWindowTitle(title);
  setObjectName("CChangePwdDlg");
  if (!warn_) {
    warn_ = [this](int, const std::string& text) { QMessageBox::warning(this, windowTitle(), Q(text)); };
  }
  auto* form = new QFormLayout;
  form->addRow(Text(strings, operate_text::kOldPassword), old_);
  form->addRow(Text(strings, operate_text::kNewPassword), new_);
  form->addRow(Text(strings, operate_text::kRepeatPassword), repeat_);
  auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
  buttons->button(QDialogButtonBox::Ok)->setText(Text(strings, gui_text::kOk));
  buttons->button(QDialogButtonBox::Cancel)->setText(Text(strings, gui_text::kCancel));
  connect(buttons, &QDialogButtonBox::accepted, this, &CChangePwdDlg::accept);
  connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
  auto* layout = new QVBoxLayout(this);
  layout->addLayout(form);
  layout->addWidget(buttons);
  setMinimumWidth(360);
}

PasswordChange CChangePwdDlg::change() const {
  return {old_->text().toStdString(), new_->text().toStdString(), repeat_->text().toStdString()};
}

void CChangePwdDlg::accept() {
  const int problem = CheckPasswordChange(current_, change());
  if (problem == 0) {
    QDialog::accept();
    return;
  }
  warn_(problem, strings_.Format(problem, kUnitPasswordLength));
  QLineEdit* field = problem == msg::kWrongOldPassword  ? old_
                     : problem == msg::kPasswordsDiffer ? repeat_
                                                        : new_;
  field->setFocus();
  field->selectAll();
}

}  // namespace tarvik
