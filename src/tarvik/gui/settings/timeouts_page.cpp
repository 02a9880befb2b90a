#include "tarvik/gui/settings/timeouts_page.h"

#include <QFormLayout>
#include <QLineEdit>

#include "tarvik/gui/settings/gui_text.h"
#include "tarvik/gui/settings/page_controls.h"

namespace tarvik {

namespace {

constexpr int kLayout = 9683;
constexpr int kDigits = 6;

}  // namespace

CTimeoutsPage::CTimeoutsPage(const TarvikSettings& settings, const kr::StringTable& strings, QWidget* parent)
    : CSettingsPage(LayoutText(strings, kLayout).title(), parent), strings_(strings) {
  const LayoutText text(strings, kLayout);
  const TimeoutPageValues values = TimeoutPageFrom(settings);
  polling_time_ = MakeNumberEdit(QStringLiteral("ComPollingTime"), values.polling_time, kDigits, this);
  timeout_kr_ = MakeNumberEdit(QStringLiteral("ComTimeoutKR"), values.timeout_kr, kDigits, this);
  timeout_hcu_ = MakeNumberEdit(QStringLiteral("ComTimeoutHCU"), values.timeout_hcu, kDigits, this);
  timeout_set_ = MakeNumberEdit(QStringLiteral("ComTimeoutSet"), values.timeout_set, kDigits, this);
  timeout_fp_ = MakeNumberEdit(QStringLiteral("ComTimeoutFp"), values.timeout_fp, kDigits, this);
  form()->addRow(text[1], polling_time_);
  form()->addRow(text[2], timeout_kr_);
  form()->addRow(text[3], timeout_hcu_);
  form()->addRow(text[4], timeout_set_);
  form()->addRow(text[5], timeout_fp_);
}

TimeoutPageValues CTimeoutsPage::Values() const {
  return {NumberIn(polling_time_), NumberIn(timeout_kr_), NumberIn(timeout_hcu_), NumberIn(timeout_set_),
          NumberIn(timeout_fp_)};
}

QLineEdit* CTimeoutsPage::FieldOf(TimeoutField field) const {
  switch (field) {
    case TimeoutField::kPollingTime:
      return polling_time_;
    case TimeoutField::kTimeoutKr:
      return timeout_kr_;
    case TimeoutField::kTimeoutHcu:
      return timeout_hcu_;
    case TimeoutField::kTimeoutSet:
      return timeout_set_;
    case TimeoutField::kTimeoutFp:
      return timeout_fp_;
  }
  return polling_time_;
}

std::optional<FieldProblem> CTimeoutsPage::Validate() const {
  std::optional<FieldError> error = ValidateTimeoutPage(Values(), strings_);
  if (!error) return std::nullopt;
  return FieldProblem{FieldOf(error->field), error->message_id, ToQString(error->text)};
}

void CTimeoutsPage::Store(TarvikSettings& settings) const {
  StoreTimeoutPage(Values(), settings);
}

}  // namespace tarvik
