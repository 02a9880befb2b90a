#include "tarvik/gui/settings/modem_page.h"

#include <QComboBox>
#include <QFormLayout>
#include <QLineEdit>

#include "tarvik/app/connection_record.h"
#include "tarvik/gui/settings/gui_text.h"
#include "tarvik/gui/settings/page_controls.h"

namespace tarvik {

namespace {

constexpr int kLayout = 9685;

QString TitleOf(int number, const kr::StringTable& strings) {
  return ToQString(
      kr::FormatPrintfRuntime(ToStdString(LayoutText(strings, kLayout).title()).c_str(), number));
}

QLineEdit* MakeText(const QString& object_name, const std::string& value, int max_length, QWidget* parent) {
  auto* edit = new QLineEdit(ToQString(value), parent);
  edit->setObjectName(object_name);
  edit->setMaxLength(max_length);
  return edit;
}

}  // namespace

CModemPage::CModemPage(int number, const TarvikSettings& settings, const kr::StringTable& strings,
                       QWidget* parent)
    : CSettingsPage(TitleOf(number, strings), parent),
      modem_(number == 2 ? &TarvikSettings::modem2 : &TarvikSettings::modem1) {
  const LayoutText text(strings, kLayout);
  const ModemDefinition& modem = settings.*modem_;
  const QString prefix = QStringLiteral("Modem%1.").arg(number == 2 ? 2 : 1);
  name_ = MakeText(prefix + QStringLiteral("ModemName"), modem.modem_name, 64, this);
  com_ = MakeComPortChoice(prefix + QStringLiteral("ModemCom"), modem.modem_com, this);
  init_ =
      MakeText(prefix + QStringLiteral("ModemIni"), modem.modem_ini, static_cast<int>(kModemInitField), this);
  dial_ = MakeText(prefix + QStringLiteral("ModemDial"), modem.modem_dial,
                   static_cast<int>(kDialCommandField), this);
  form()->addRow(text[1], name_);
  form()->addRow(text[2], com_);
  form()->addRow(text[3], init_);
  form()->addRow(text[4], dial_);
}

void CModemPage::Store(TarvikSettings& settings) const {
  ModemDefinition& modem = settings.*modem_;
  modem.modem_name = ToStdString(name_->text().trimmed());
  modem.modem_com = ComPortIn(com_);
  modem.modem_ini = ToStdString(init_->text().trimmed());
  modem.modem_dial = ToStdString(dial_->text().trimmed());
}

}  // namespace tarvik
