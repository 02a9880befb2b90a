#include "tarvik/gui/keyboardtrigger_dlg.h"

#include <QDateTime>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QVBoxLayout>

#include "tarvik/gui/gui_text.h"
#include "tarvik/gui/recordingmode_text.h"

namespace tarvik {

namespace rt = recordingmode_text;

CKeyboardtriggerDlg::CKeyboardtriggerDlg(const kr::StringTable& strings, const QString& title,
                                         QWidget* parent)
    : QDialog(parent),
      counter_value_(new QLabel(this)),
      time_(new QLabel(this)),
      stop_button_(new QPushButton(Text(strings, rt::kStop), this)) {
  setObjectName("CKeyboardtriggerDlg");
  setWindowTitle(title);
  auto* grid = new QGridLayout;
  grid->setHorizontalSpacing(16);
  grid->setColumnStretch(1, 1);
  grid->addWidget(new QLabel(Text(strings, rt::kCounter), this), 0, 0);
  grid->addWidget(counter_value_, 0, 1);
  grid->addWidget(new QLabel(Text(strings, rt::kTime), this), 1, 0);
  grid->addWidget(time_, 1, 1);
  auto* bottom = new QHBoxLayout;
  bottom->addStretch(1);
  bottom->addWidget(stop_button_);
  auto* layout = new QVBoxLayout(this);
  layout->addWidget(new QLabel(Text(strings, rt::kRecordingStarted), this));
  layout->addLayout(grid);
  layout->addLayout(bottom);
  // Closing the window any way ends the recording: the owner stops it after exec() returns.
  connect(stop_button_, &QPushButton::clicked, this, &QDialog::accept);
  counter_value_->setText("0");
  time_->setText(QDateTime::currentDateTime().toString("dd.MM.yyyy  HH:mm:ss"));
  connect(&timer_, &QTimer::timeout, this, &CKeyboardtriggerDlg::Count);
  timer_.start(1000);
  setMinimumWidth(320);
}

void CKeyboardtriggerDlg::Count() {
  ++counter_;
  counter_value_->setText(QString::number(counter_));
  time_->setText(QDateTime::currentDateTime().toString("dd.MM.yyyy  HH:mm:ss"));
}

}  // namespace tarvik
