#pragma once

#include "krcommon/string_table.h"
#include "tarvik/gui/settings/settings_page.h"

class QCheckBox;
class QListWidget;
class QSpinBox;

namespace tarvik {

// Event files on this computer: names by date and time, the correction of recorder times to local
// time ([Monitoring] LocalCorrectionValue, "+h"/"-h" hours), and the folders the local event browser
// used last ([LocalEventsHistory]), which the operator can clear.
class CLocalEventsPage : public CSettingsPage {
 public:
  static constexpr int kMaxCorrectionHours = 23;

  CLocalEventsPage(const TarvikSettings& settings, const kr::StringTable& strings, QWidget* parent = nullptr);

  void Store(TarvikSettings& settings) const override;

 private:
  QCheckBox* date_time_file_names_;
  QCheckBox* local_time_correction_;
  QSpinBox* correction_hours_;
  QListWidget* history_;
};

}  // namespace tarvik
