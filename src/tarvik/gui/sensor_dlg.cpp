#include "tarvik/gui/sensor_dlg.h"

#include <QDialogButtonBox>
#include <QGridLayout>
#include <QPushButton>
#include <QVBoxLayout>

#include "tarvik/gui/gui_text.h"
#include "tarvik/gui/info_text.h"

namespace tarvik {

namespace {

struct ChannelRow {
  int label;
  std::string_view code;
};

// IE's first line is the LSB as the event files use it (mantissa x 10^exponent); ZX is the offset in
// counts.
constexpr ChannelRow kRows[] = {
    {info_text::kAxisName, "IC"}, {info_text::kAxisOrientation, "ID"}, {info_text::kMeasuringUnit, "IU"},
    {info_text::kLsb, "IE"},      {info_text::kBaseline, "ZX"},
};

}  // namespace

CSensorDlg::CSensorDlg(const kr::StringTable& strings, const InfoPage& page, QWidget* parent)
    : QDialog(parent), serial_(new QLabel(this)) {
  setObjectName("CSensorDlg");
  setWindowTitle(Text(strings, info_text::kInfoSensorTitle));
  auto* grid = new QGridLayout;
  grid->setHorizontalSpacing(18);
  const PageLine* serial = page.Line("RR");
  serial_->setText(serial != nullptr ? Q(serial->value) : QString());
  serial_->setTextInteractionFlags(Qt::TextSelectableByMouse);
  grid->addWidget(new QLabel(Text(strings, info_text::kSerialNumber), this), 0, 0);
  grid->addWidget(serial_, 0, 1, 1, kChannels);
  for (int channel = 1; channel <= kChannels; ++channel) {
    auto* heading = new QLabel(Q(strings.Format(info_text::kChannel, channel)), this);
    QFont bold = heading->font();
    bold.setBold(true);
    heading->setFont(bold);
    grid->addWidget(heading, 1, channel);
  }
  int row = 2;
  for (const ChannelRow& entry : kRows) {
    grid->addWidget(new QLabel(Text(strings, entry.label), this), row, 0);
    for (int channel = 1; channel <= kChannels; ++channel) {
      auto* value = new QLabel(Q(page.Element(entry.code, static_cast<std::size_t>(channel - 1))), this);
      value->setTextInteractionFlags(Qt::TextSelectableByMouse);
      grid->addWidget(value, row, channel);
      values_[{entry.label, channel}] = value;
    }
    ++row;
  }
  auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok, this);
  buttons->button(QDialogButtonBox::Ok)->setText(Text(strings, gui_text::kOk));
  connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
  auto* layout = new QVBoxLayout(this);
  layout->addLayout(grid);
  layout->addStretch(1);
  layout->addWidget(buttons);
}

QString CSensorDlg::Value(int label_id, int channel) const {
  const auto found = values_.find({label_id, channel});
  return found == values_.end() ? QString() : found->second->text();
}

}  // namespace tarvik
