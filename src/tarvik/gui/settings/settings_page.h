#pragma once

#include <QString>
#include <QWidget>
#include <optional>

#include "tarvik/app/tarvik_settings.h"
#include "tarvik/gui/settings/field_problem.h"

class QFormLayout;

namespace tarvik {

// One page of the Settings dialog. A page copies its settings into its controls when it is made and
// back on OK of the sheet; it never touches the settings before every page has passed its checks.
class CSettingsPage : public QWidget {
 public:
  explicit CSettingsPage(QString title, QWidget* parent = nullptr);

  const QString& title() const { return title_; }

  // The first field whose value the page refuses, with the message to show at it.
  virtual std::optional<FieldProblem> Validate() const { return std::nullopt; }
  // Copies the controls into the page's settings (and only those).
  virtual void Store(TarvikSettings& settings) const = 0;

 protected:
  // The page's form: labels on the left, fields on the right, growing downwards from the top.
  QFormLayout* form() const { return form_; }

 private:
  QString title_;
  QFormLayout* form_;
};

}  // namespace tarvik
