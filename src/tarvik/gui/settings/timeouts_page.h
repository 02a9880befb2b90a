#pragma once

#include "krcommon/string_table.h"
#include "tarvik/app/settings_validation.h"
#include "tarvik/gui/settings/settings_page.h"

class QLineEdit;

namespace tarvik {

// The polling time and the four reply time-outs ([Monitoring] ComPollingTime, ComTimeoutKR,
// ComTimeoutHCU, ComTimeoutSet, ComTimeoutFp), checked by ValidateTimeoutPage.
class CTimeoutsPage : public CSettingsPage {
 public:
  CTimeoutsPage(const TarvikSettings& settings, const kr::StringTable& strings, QWidget* parent = nullptr);

  std::optional<FieldProblem> Validate() const override;
  void Store(TarvikSettings& settings) const override;

 private:
  TimeoutPageValues Values() const;
  QLineEdit* FieldOf(TimeoutField field) const;

  const kr::StringTable& strings_;
  QLineEdit* polling_time_;
  QLineEdit* timeout_kr_;
  QLineEdit* timeout_hcu_;
  QLineEdit* timeout_set_;
  QLineEdit* timeout_fp_;
};

}  // namespace tarvik
