#include "tarvik/gui/settings/field_problem.h"

#include <QAbstractSpinBox>
#include <QApplication>
#include <QComboBox>
#include <QLineEdit>
#include <QToolTip>
#include <QWidget>

#include "tarvik/gui/settings/gui_text.h"
#include "tarvik/uiport/ui_port.h"

namespace tarvik {

namespace {

constexpr int kBalloonMilliseconds = 6000;

void SelectText(QWidget* field) {
  if (auto* edit = qobject_cast<QLineEdit*>(field)) {
    edit->selectAll();
  } else if (auto* combo = qobject_cast<QComboBox*>(field);
             combo != nullptr && combo->lineEdit() != nullptr) {
    combo->lineEdit()->selectAll();
  } else if (auto* spin = qobject_cast<QAbstractSpinBox*>(field)) {
    spin->selectAll();
  }
}

}  // namespace

void ShowFieldProblem(const FieldProblem& problem, bool balloons, UiPort& ui) {
  QWidget* field = problem.field;
  if (field != nullptr) {
    field->setFocus(Qt::OtherFocusReason);
    SelectText(field);
  }
  QApplication::beep();
  if (balloons && field != nullptr) {
    // Below the field, as a balloon points at it.
    const QPoint at = field->mapToGlobal(QPoint(field->width() / 4, field->height()));
    QToolTip::showText(at, problem.text, field, QRect(), kBalloonMilliseconds);
    return;
  }
  ui.ShowMessage(problem.message_id, ToStdString(problem.text), MessageIcon::kWarning, MessageButtons::kOk);
}

}  // namespace tarvik
