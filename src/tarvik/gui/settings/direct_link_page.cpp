#include "tarvik/gui/settings/direct_link_page.h"

#include <QComboBox>
#include <QFormLayout>
#include <QLineEdit>
#include <QRegularExpressionValidator>

#include "tarvik/gui/settings/gui_text.h"
#include "tarvik/gui/settings/page_controls.h"

namespace tarvik {

namespace {

constexpr int kLayout = 9684;
constexpr int kMsgInvalidValue = 497;
constexpr int kUsualBaudRates[] = {1200, 2400, 4800, 9600, 19200, 38400, 57600, 115200, 230400};

}  // namespace

CDirectLinkPage::CDirectLinkPage(const TarvikSettings& settings, const kr::StringTable& strings,
                                 QWidget* parent)
    : CSettingsPage(LayoutText(strings, kLayout).title(), parent), strings_(strings) {
  const LayoutText text(strings, kLayout);
  com_ = MakeComPortChoice(QStringLiteral("COM"), settings.com, this);
  baud_rate_ = new QComboBox(this);
  baud_rate_->setObjectName(QStringLiteral("BaudRate"));
  baud_rate_->setEditable(true);
  baud_rate_->setInsertPolicy(QComboBox::NoInsert);
  for (int rate : kUsualBaudRates) baud_rate_->addItem(QString::number(rate));
  baud_rate_->lineEdit()->setValidator(
      new QRegularExpressionValidator(QRegularExpression(QStringLiteral("[0-9]{0,7}")), baud_rate_));
  baud_rate_->setEditText(QString::number(settings.baud_rate));
  form()->addRow(text[1], com_);
  form()->addRow(text[2], baud_rate_);
}

int CDirectLinkPage::BaudRate() const {
  bool ok = false;
  const int rate = baud_rate_->currentText().trimmed().toInt(&ok);
  return ok ? rate : -1;
}

std::optional<FieldProblem> CDirectLinkPage::Validate() const {
  const int rate = BaudRate();
  if (rate >= kMinBaudRate && rate <= kMaxBaudRate) return std::nullopt;
  return FieldProblem{baud_rate_, kMsgInvalidValue,
                      ToQString(strings_.Format(kMsgInvalidValue, kMinBaudRate, kMaxBaudRate))};
}

void CDirectLinkPage::Store(TarvikSettings& settings) const {
  settings.com = ComPortIn(com_);
  settings.baud_rate = BaudRate();
}

}  // namespace tarvik
