#include "ondalyne/gui/zoom_dlg.h"

#include <QCheckBox>
#include <QDialogButtonBox>
#include <QDoubleValidator>
#include <QFormLayout>
#include <QGroupBox>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

#include "ondalyne/resources/ondalyne_strings.h"

namespace ondalyne {

namespace {
QString Q(const std::string& text) {
  return QString::fromStdString(text);
}
}  // namespace

CZoomDlg::CZoomDlg(const kr::StringTable& strings, double start_s, double end_s, bool whole, QWidget* parent)
    : QDialog(parent) {
  setWindowTitle(Q(strings.Text(sid::kZoomTitle)));
  auto* group = new QGroupBox(Q(strings.Text(sid::kZoomFrame)), this);
  auto* form = new QFormLayout(group);
  start_ = new QLineEdit(QString::number(start_s, 'f', 3), group);
  end_ = new QLineEdit(QString::number(end_s, 'f', 3), group);
  for (QLineEdit* edit : {start_, end_}) {
    auto* validator = new QDoubleValidator(0.0, 1e9, 6, edit);
    validator->setLocale(QLocale::c());
    edit->setValidator(validator);
  }
  form->addRow(Q(strings.Text(sid::kZoomStart)), start_);
  form->addRow(Q(strings.Text(sid::kZoomEnd)), end_);
  whole_ = new QCheckBox(Q(strings.Text(sid::kZoomWhole)), group);
  whole_->setChecked(whole);
  form->addRow(whole_);
  auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
  buttons->button(QDialogButtonBox::Ok)->setText(Q(strings.Text(sid::kButtonOk)));
  buttons->button(QDialogButtonBox::Cancel)->setText(Q(strings.Text(sid::kButtonCancel)));
  connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
  connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
  connect(whole_, &QCheckBox::toggled, this, [this] { UpdateFields(); });
  auto* layout = new QVBoxLayout(this);
  layout->addWidget(group);
  layout->addWidget(buttons);
  UpdateFields();
}

void CZoomDlg::UpdateFields() {
  start_->setEnabled(!whole_->isChecked());
  end_->setEnabled(!whole_->isChecked());
}

double CZoomDlg::start_seconds() const {
  return QLocale::c().toDouble(start_->text());
}
double CZoomDlg::end_seconds() const {
  return QLocale::c().toDouble(end_->text());
}
bool CZoomDlg::whole() const {
  return whole_->isChecked();
}

}  // namespace ondalyne
