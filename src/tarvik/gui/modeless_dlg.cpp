#include "tarvik/gui/modeless_dlg.h"

#include <QHBoxLayout>
#include <QVBoxLayout>
#include <algorithm>

#include "tarvik/gui/file_filter.h"
#include "tarvik/gui/gui_text.h"

namespace tarvik {

CModelessDlg::CModelessDlg(const kr::StringTable& strings, QWidget* parent)
    : QDialog(parent),
      label_(new QLabel(this)),
      bar_(new QProgressBar(this)),
      cancel_(new QPushButton(Text(strings, gui_text::kCancel), this)) {
  setObjectName("CModelessDlg");
  setModal(false);
  setWindowTitle(Q(ResourceField(strings.Text(gui_text::kDocumentStrings), 2)));
  bar_->setTextVisible(true);
  auto* buttons = new QHBoxLayout;
  buttons->addStretch();
  buttons->addWidget(cancel_);
  auto* layout = new QVBoxLayout(this);
  layout->addWidget(label_);
  layout->addWidget(bar_);
  layout->addLayout(buttons);
  setMinimumWidth(380);
  connect(cancel_, &QPushButton::clicked, this, [this] {
    if (on_cancel_) on_cancel_();
  });
}

void CModelessDlg::Open(const QString& text, int total, int position) {
  label_->setText(text);
  bar_->setRange(0, std::max(total, 1));
  bar_->setValue(std::clamp(position, 0, bar_->maximum()));
  if (!isVisible()) {
    show();
    if (parentWidget() != nullptr) {
      move(parentWidget()->geometry().center() - rect().center());
    }
  }
}

void CModelessDlg::Update(const QString& text, int position) {
  label_->setText(text);
  bar_->setValue(std::clamp(position, 0, bar_->maximum()));
}

void CModelessDlg::reject() {
  if (on_cancel_) on_cancel_();
}

}  // namespace tarvik
