#include "tarvik/gui/settings/page_controls.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <QRegularExpression>
#include <QRegularExpressionValidator>

namespace tarvik {

namespace {

constexpr int kFirstComPort = 1;
constexpr int kLastComPort = 16;

}  // namespace

QLineEdit* MakeNumberEdit(const QString& object_name, int value, int max_digits, QWidget* parent) {
  auto* edit = new QLineEdit(QString::number(value), parent);
  edit->setObjectName(object_name);
  const QRegularExpression digits(QStringLiteral("[0-9]{0,%1}").arg(max_digits));
  edit->setValidator(new QRegularExpressionValidator(digits, edit));
  edit->setMaximumWidth(edit->fontMetrics().horizontalAdvance(QString(max_digits + 4, QLatin1Char('0'))));
  return edit;
}

int NumberIn(const QLineEdit* edit) {
  bool ok = false;
  const int value = edit->text().trimmed().toInt(&ok);
  return ok ? value : -1;
}

QComboBox* MakeComPortChoice(const QString& object_name, int port, QWidget* parent) {
  auto* combo = new QComboBox(parent);
  combo->setObjectName(object_name);
  for (int n = kFirstComPort; n <= kLastComPort; ++n) combo->addItem(QStringLiteral("COM%1").arg(n), n);
  const int index = combo->findData(port);
  combo->setCurrentIndex(index < 0 ? 0 : index);
  return combo;
}

int ComPortIn(const QComboBox* combo) {
  return combo->currentData().toInt();
}

QComboBox* MakeNumberChoice(const QString& object_name, std::initializer_list<int> choices, int value,
                            QWidget* parent) {
  auto* combo = new QComboBox(parent);
  combo->setObjectName(object_name);
  for (int choice : choices) combo->addItem(QString::number(choice), choice);
  ShowNumberChoice(combo, value);
  return combo;
}

void ShowNumberChoice(QComboBox* combo, int value) {
  int index = combo->findData(value);
  if (index < 0) {
    combo->addItem(QString::number(value), value);
    index = combo->count() - 1;
  }
  combo->setCurrentIndex(index);
}

int NumberChoiceIn(const QComboBox* combo) {
  return combo->currentData().toInt();
}

QCheckBox* MakeCheck(const QString& object_name, const QString& text, bool checked, QWidget* parent) {
  auto* check = new QCheckBox(text, parent);
  check->setObjectName(object_name);
  check->setChecked(checked);
  return check;
}

}  // namespace tarvik
