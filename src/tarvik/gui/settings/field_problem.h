#pragma once

#include <QString>

class QWidget;

namespace tarvik {

class UiPort;

// The first invalid field of a page or dialog and the message that says why.
struct FieldProblem {
  QWidget* field = nullptr;
  int message_id = 0;
  QString text;
};

// Points the operator at an invalid field: the field gets the focus (its text selected), the
// computer beeps, and the message shows as a balloon tip at the field. Without balloons
// (ShowWarningBalloons 0) the message comes as a message box instead, so the range is still told.
void ShowFieldProblem(const FieldProblem& problem, bool balloons, UiPort& ui);

}  // namespace tarvik
