#include "tarvik/gui/memory_management_dlg.h"

#include <QDialogButtonBox>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>
#include <algorithm>

#include "tarvik/engine/maintenance_messages.h"
#include "tarvik/gui/gui_text.h"
#include "tarvik/gui/operate_text.h"

namespace tarvik {

CMemoryManagementDlg::CMemoryManagementDlg(const kr::StringTable& strings, const QString& title,
                                           const MemoryManagement& current, QWidget* parent)
    : QDialog(parent),
      ring_(new QCheckBox(Text(strings, operate_text::kRingMemory), this)),
      mirror_(new QCheckBox(Text(strings, operate_text::kMirrorMemory), this)) {
  setWindowTitle(title);
  setObjectName("CMemoryManagementDlg");
  ring_->setObjectName("ring");
  mirror_->setObjectName("mirror");
  ring_->setChecked(current.ring);
  mirror_->setChecked(current.mirror);
  // The warning is asked again when OK is pressed; here it tells what a change costs beforehand.
  auto* warning = new QLabel(Text(strings, msg::kMemoryManagementWarning), this);
  warning->setWordWrap(true);
  auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
  buttons->button(QDialogButtonBox::Ok)->setText(Text(strings, gui_text::kOk));
  buttons->button(QDialogButtonBox::Cancel)->setText(Text(strings, gui_text::kCancel));
  connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
  connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
  auto* layout = new QVBoxLayout(this);
  layout->addWidget(ring_);
  layout->addWidget(mirror_);
  layout->addWidget(warning);
  layout->addWidget(buttons);
  // Wide enough for the longest check box text of every language.
  setMinimumWidth(std::max(420, ring_->sizeHint().width() + 40));
}

}  // namespace tarvik
