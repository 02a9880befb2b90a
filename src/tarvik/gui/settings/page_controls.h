#pragma once

#include <QString>
#include <initializer_list>

class QCheckBox;
class QComboBox;
class QLineEdit;
class QWidget;

namespace tarvik {

// A field for a whole number that the operator types; the check on OK tells the range, so the field
// itself takes any digits (up to `max_digits`).
QLineEdit* MakeNumberEdit(const QString& object_name, int value, int max_digits, QWidget* parent);
// The number in the field; -1 when it is empty (every range the pages check starts above that).
int NumberIn(const QLineEdit* edit);

// A list of the COM ports 1..16 ("COM1".."COM16") showing `port`; a port outside shows COM1.
QComboBox* MakeComPortChoice(const QString& object_name, int port, QWidget* parent);
int ComPortIn(const QComboBox* combo);

// A list of numbers with the item data holding the number; a value not in `choices` is added so
// that a value from a file is shown as it is instead of silently becoming another.
QComboBox* MakeNumberChoice(const QString& object_name, std::initializer_list<int> choices, int value,
                            QWidget* parent);
void ShowNumberChoice(QComboBox* combo, int value);
int NumberChoiceIn(const QComboBox* combo);

QCheckBox* MakeCheck(const QString& object_name, const QString& text, bool checked, QWidget* parent);

}  // namespace tarvik
