#include "tarvik/gui/password_dlg.h"

#include <QDialogButtonBox>
#include <QFormLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

#include "tarvik/gui/gui_text.h"

namespace tarvik {

CPasswordDlg::CPasswordDlg(const kr::StringTable& strings, const QString& title, const QString& prefill,
                           QWidget* parent)
    : QDialog(parent), edit_(new QLineEdit(prefill, this)) {
  setWindowTitle(title);
  setObjectName("CPasswordDlg");
  edit_->setEchoMode(QLineEdit::Password);
  edit_->setObjectName("password");
  edit_->selectAll();
  auto* form = new QFormLayout;
  form->addRow(Text(strings, gui_text::kPassword), edit_);
  auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
  buttons->button(QDialogButtonBox::Ok)->setText(Text(strings, gui_text::kOk));
  buttons->button(QDialogButtonBox::Cancel)->setText(Text(strings, gui_text::kCancel));
  connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
  connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
  auto* layout = new QVBoxLayout(this);
  layout->addLayout(form);
  layout->addWidget(buttons);
  setMinimumWidth(320);
}

}  // namespace tarvik
