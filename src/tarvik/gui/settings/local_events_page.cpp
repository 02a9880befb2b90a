#include "tarvik/gui/settings/local_events_page.h"

#include <QCheckBox>
#include <QFormLayout>
#include <QListWidget>
#include <QPushButton>
#include <QSpinBox>
#include <algorithm>

#include "krcommon/string_table.h"
#include "tarvik/eventfiles/header_text.h"
#include "tarvik/gui/settings/gui_text.h"
#include "tarvik/gui/settings/page_controls.h"

namespace tarvik {

namespace {

constexpr int kLayout = 9688;

// The correction in hours, read as the downloads read it (an optional sign and two digits).
int CorrectionHoursOf(const std::string& value) {
  if (value.empty()) return 0;
  const bool has_sign = value.front() == '+' || value.front() == '-';
  return LocalCorrectionHours(has_sign ? value : "+" + value);
}

// Hours shown with their sign, as the settings file writes them ("+8", "-5").
class SignedHoursBox : public QSpinBox {
 public:
  using QSpinBox::QSpinBox;

 protected:
  QString textFromValue(int value) const override {
    return value > 0 ? QStringLiteral("+%1").arg(value) : QString::number(value);
  }
};

}  // namespace

CLocalEventsPage::CLocalEventsPage(const TarvikSettings& settings, const kr::StringTable& strings,
                                   QWidget* parent)
    : CSettingsPage(LayoutText(strings, kLayout).title(), parent) {
  const LayoutText text(strings, kLayout);
  date_time_file_names_ =
      MakeCheck(QStringLiteral("DateTimeFileNames"), text[1], settings.date_time_file_names != 0, this);
  local_time_correction_ =
      MakeCheck(QStringLiteral("LocalTimeCorrection"), text[2], settings.local_time_correction != 0, this);
  correction_hours_ = new SignedHoursBox(this);
  correction_hours_->setObjectName(QStringLiteral("LocalCorrectionValue"));
  correction_hours_->setRange(-kMaxCorrectionHours, kMaxCorrectionHours);
  correction_hours_->setValue(std::clamp(CorrectionHoursOf(settings.local_correction_value),
                                         -kMaxCorrectionHours, kMaxCorrectionHours));
  history_ = new QListWidget(this);
  history_->setObjectName(QStringLiteral("LocalEventsHistory"));
  for (const std::string& folder : settings.local_events_history) {
    if (!folder.empty()) history_->addItem(ToQString(folder));
  }
  auto* clear = new QPushButton(text[5], this);
  clear->setObjectName(QStringLiteral("ClearHistory"));
  connect(clear, &QPushButton::clicked, this, [this] { history_->clear(); });

  form()->addRow(date_time_file_names_);
  form()->addRow(local_time_correction_);
  form()->addRow(text[3], correction_hours_);
  form()->addRow(text[4], history_);
  form()->addRow(QString(), clear);
}

void CLocalEventsPage::Store(TarvikSettings& settings) const {
  settings.date_time_file_names = date_time_file_names_->isChecked() ? 1 : 0;
  settings.local_time_correction = local_time_correction_->isChecked() ? 1 : 0;
  // Unchanged hours keep the text as written ("+08" stays "+08").
  if (correction_hours_->value() != CorrectionHoursOf(settings.local_correction_value)) {
    settings.local_correction_value = kr::FormatPrintf("%+d", correction_hours_->value());
  }
  if (history_->count() == 0) settings.local_events_history.fill(std::string());
}

}  // namespace tarvik
