#include "tarvik/gui/connect_dlg.h"

#include <QHBoxLayout>
#include <QVBoxLayout>

#include "tarvik/gui/file_filter.h"
#include "tarvik/gui/gui_text.h"

namespace tarvik {

CConnectDlg::CConnectDlg(const kr::StringTable& strings, QWidget* parent)
    : QDialog(parent),
      strings_(strings),
      status_(new QLabel(this)),
      details_(new QLabel(this)),
      connect_(new QPushButton(Text(strings, gui_text::kConnect), this)),
      details_button_(new QPushButton(Text(strings, gui_text::kDetailsMore), this)),
      cancel_(new QPushButton(Text(strings, gui_text::kCancel), this)) {
  setObjectName("CConnectDlg");
  setModal(false);
  setWindowTitle(Q(ResourceField(strings.Text(gui_text::kDocumentStrings), 2)));
  status_->setMinimumWidth(320);
  details_->setVisible(false);
  details_->setFixedHeight(kDetailsHeight);
  details_->setAlignment(Qt::AlignLeft | Qt::AlignTop);
  auto* buttons = new QHBoxLayout;
  buttons->addWidget(connect_);
  buttons->addWidget(details_button_);
  buttons->addStretch();
  buttons->addWidget(cancel_);
  auto* layout = new QVBoxLayout(this);
  layout->addWidget(status_);
  layout->addLayout(buttons);
  layout->addWidget(details_);
  layout->setSizeConstraint(QLayout::SetFixedSize);
  timer_.setInterval(kRefreshMs);
  connect(&timer_, &QTimer::timeout, this, [this] { status_->setText(pending_status_); });
  connect(connect_, &QPushButton::clicked, this, [this] {
    connect_->setEnabled(false);
    timer_.start();
    if (on_connect_) on_connect_();
  });
  connect(details_button_, &QPushButton::clicked, this, &CConnectDlg::ToggleDetails);
  connect(cancel_, &QPushButton::clicked, this, &CConnectDlg::reject);
}

void CConnectDlg::SetHandlers(std::function<void()> on_connect, std::function<void()> on_cancel) {
  on_connect_ = std::move(on_connect);
  on_cancel_ = std::move(on_cancel);
}

void CConnectDlg::Start() {
  timer_.stop();
  connect_->setEnabled(true);
  details_->setVisible(false);
  details_button_->setText(Text(strings_, gui_text::kDetailsMore));
  status_->clear();
  pending_status_.clear();
  show();
  if (parentWidget() != nullptr) move(parentWidget()->geometry().center() - rect().center());
}

void CConnectDlg::Stop() {
  timer_.stop();
  hide();
}

void CConnectDlg::reject() {
  timer_.stop();
  hide();
  if (on_cancel_) on_cancel_();
}

void CConnectDlg::ToggleDetails() {
  const bool show = !details_->isVisible();
  details_->setVisible(show);
  details_button_->setText(Text(strings_, show ? gui_text::kDetailsLess : gui_text::kDetailsMore));
}

}  // namespace tarvik
