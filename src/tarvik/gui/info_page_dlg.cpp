#include "tarvik/gui/info_page_dlg.h"

#include <QDialogButtonBox>
#include <QPushButton>
#include <QScreen>
#include <QScrollArea>
#include <QVBoxLayout>

#include "tarvik/gui/gui_text.h"

namespace tarvik {

CInfoPageDlg::CInfoPageDlg(const kr::StringTable& strings, const QString& title,
                           const std::vector<PageLine>& lines, QWidget* parent)
    : QDialog(parent), grid_(new QGridLayout), note_(new QLabel(this)) {
  setObjectName("CInfoPageDlg");
  setWindowTitle(title);
  auto* body = new QWidget;
  auto* body_layout = new QVBoxLayout(body);
  body_layout->addLayout(grid_);
  body_layout->addStretch(1);  // rows keep their height when the window is taller than they need
  grid_->setColumnStretch(1, 1);
  grid_->setHorizontalSpacing(16);
  // Long pages (test results, the control unit's information) scroll instead of leaving the screen.
  auto* scroll = new QScrollArea(this);
  scroll->setWidget(body);
  scroll->setWidgetResizable(true);
  scroll->setFrameShape(QFrame::NoFrame);
  auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok, this);
  buttons->button(QDialogButtonBox::Ok)->setText(Text(strings, gui_text::kOk));
  connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
  note_->hide();
  auto* layout = new QVBoxLayout(this);
  layout->addWidget(scroll, 1);
  layout->addWidget(note_);
  layout->addWidget(buttons);
  SetLines(lines);
  body->adjustSize();
  const int available = screen() != nullptr ? screen()->availableGeometry().height() * 3 / 4 : 700;
  resize(std::max(body->sizeHint().width() + 48, 440),
         std::min(body->sizeHint().height() + buttons->sizeHint().height() + 48, available));
}

void CInfoPageDlg::SetLines(const std::vector<PageLine>& lines) {
  // Rows are made once per line and kept, so that a periodic update does not flicker.
  while (rows_.size() > lines.size()) {
    delete rows_.back().first;
    delete rows_.back().second;
    rows_.pop_back();
  }
  for (std::size_t i = 0; i < lines.size(); ++i) {
    if (i == rows_.size()) {
      auto* label = new QLabel;
      auto* value = new QLabel;
      value->setTextInteractionFlags(Qt::TextSelectableByMouse);
      value->setWordWrap(true);
      const int row = static_cast<int>(i);
      grid_->addWidget(label, row, 0, Qt::AlignTop);
      grid_->addWidget(value, row, 1, Qt::AlignTop);
      rows_.emplace_back(label, value);
    }
    rows_[i].first->setText(Q(lines[i].label));
    rows_[i].second->setText(Q(lines[i].value));
  }
}

std::vector<std::pair<QString, QString>> CInfoPageDlg::Rows() const {
  std::vector<std::pair<QString, QString>> rows;
  for (const auto& [label, value] : rows_) {
    rows.emplace_back(label->text(), value->text());
  }
  return rows;
}

QString CInfoPageDlg::Value(const QString& label) const {
  for (const auto& [name, value] : Rows()) {
    if (name == label) return value;
  }
  return {};
}

}  // namespace tarvik
