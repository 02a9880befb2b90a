#pragma once

#include <vector>

#include "krcommon/string_table.h"
#include "tarvik/gui/settings/settings_page.h"

class QCheckBox;
class QComboBox;

namespace tarvik {

// The language (takes effect at the next start) and how the program shows things: date format,
// pointer moves to messages, balloon tips, the trace view, frequency columns, password prompts.
class CAppearancePage : public CSettingsPage {
 public:
  CAppearancePage(const TarvikSettings& settings, const kr::StringTable& strings, QWidget* parent = nullptr);

  void Store(TarvikSettings& settings) const override;

 private:
  // A check box and the setting it stands for.
  struct Flag {
    QCheckBox* check;
    int TarvikSettings::*member;
  };

  QComboBox* language_;
  int initial_language_ = 0;
  std::vector<Flag> flags_;
};

}  // namespace tarvik
