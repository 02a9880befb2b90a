#include "tarvik/gui/recordingmode_dlg.h"

#include <QGridLayout>
#include <QHBoxLayout>
#include <QVBoxLayout>

#include "tarvik/gui/gui_text.h"
#include "tarvik/gui/recordingmode_text.h"

namespace tarvik {

namespace rt = recordingmode_text;

int RecordingModeTextId(int trigger_mode) {
  switch (trigger_mode) {
    case 0:
      return rt::kEventOnly;
    case 2:
      return rt::kKbSingleFile;
    case 3:
      return rt::kKbAtNextStart;
    case 4:
      return rt::kVmSingle;
    case 5:
      return rt::kBlast;
    case 6:
      return rt::kVmRepeat;
    case 7:
      return rt::kKbRepeat;
    default:
      return 0;
  }
}

CRecordingmodeDlg::CRecordingmodeDlg(const kr::StringTable& strings, const QString& title, QWidget* parent)
    : QDialog(parent),
      strings_(strings),
      mode_(new QLabel(this)),
      blasting_state_(new QLabel(this)),
      blasting_button_(new QPushButton(this)),
      keyboard_button_(new QPushButton(Text(strings, rt::kStart), this)),
      close_button_(new QPushButton(Text(strings, rt::kClose), this)) {
  setObjectName("CRecordingmodeDlg");
  setWindowTitle(title);
  auto* grid = new QGridLayout;
  grid->setHorizontalSpacing(16);
  grid->setColumnStretch(1, 1);
  grid->addWidget(new QLabel(Text(strings, rt::kRecordingModeLabel), this), 0, 0);
  grid->addWidget(mode_, 0, 1, 1, 2);
  auto* keyboard_label = new QLabel(Text(strings, rt::kKeyboardTrigger), this);
  keyboard_label->setBuddy(keyboard_button_);
  grid->addWidget(keyboard_label, 1, 0);
  grid->addWidget(keyboard_button_, 1, 2);
  grid->addWidget(new QLabel(Text(strings, rt::kBlastingMode), this), 2, 0);
  grid->addWidget(blasting_state_, 2, 1);
  grid->addWidget(blasting_button_, 2, 2);
  auto* bottom = new QHBoxLayout;
  bottom->addStretch(1);
  bottom->addWidget(close_button_);
  auto* layout = new QVBoxLayout(this);
  layout->addLayout(grid);
  layout->addSpacing(8);
  layout->addLayout(bottom);
  connect(blasting_button_, &QPushButton::clicked, this, &CRecordingmodeDlg::BlastingRequested);
  connect(keyboard_button_, &QPushButton::clicked, this, &CRecordingmodeDlg::KeyboardTriggerRequested);
  connect(close_button_, &QPushButton::clicked, this, &QDialog::accept);
  SetStatus({});
  setMinimumWidth(380);
}

void CRecordingmodeDlg::SetStatus(const RecordingModeStatus& status) {
  const int id = RecordingModeTextId(status.trigger_mode);
  QString mode = id != 0 ? Text(strings_, id)
                         : (status.trigger_mode >= 0 ? QString::number(status.trigger_mode) : QString());
  if (status.ring_buffer) mode += (mode.isEmpty() ? "" : ", ") + Text(strings_, rt::kRingBufferMode);
  mode_->setText(mode);
  const bool blasting = status.trigger_mode == kBlastingTriggerMode;
  blasting_state_->setText(Text(strings_, blasting ? rt::kCurrentlyActive : rt::kDisabled));
  blasting_button_->setText(Text(strings_, blasting ? rt::kStopBlasting : rt::kStartBlasting));
}

void CRecordingmodeDlg::SetBusy(bool busy) {
  blasting_button_->setEnabled(!busy);
  keyboard_button_->setEnabled(!busy);
  close_button_->setEnabled(!busy);
}

}  // namespace tarvik
