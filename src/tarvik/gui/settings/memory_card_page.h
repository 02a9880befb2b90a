#pragma once

#include "krcommon/string_table.h"
#include "tarvik/gui/settings/settings_page.h"

class QCheckBox;
class QComboBox;

namespace tarvik {

// [MemoryCard]: WatchAllDrives and NumRootNameChars (0..3, a choice, so nothing to refuse).
class CMemoryCardPage : public CSettingsPage {
 public:
  CMemoryCardPage(const TarvikSettings& settings, const kr::StringTable& strings, QWidget* parent = nullptr);

  void Store(TarvikSettings& settings) const override;

 private:
  QCheckBox* watch_all_drives_;
  QComboBox* root_name_chars_;
};

}  // namespace tarvik
