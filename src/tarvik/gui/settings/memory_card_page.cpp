#include "tarvik/gui/settings/memory_card_page.h"

#include <QCheckBox>
#include <QComboBox>
#include <QFormLayout>
#include <algorithm>

#include "tarvik/gui/settings/gui_text.h"
#include "tarvik/gui/settings/page_controls.h"

namespace tarvik {

namespace {

constexpr int kLayout = 9686;

}  // namespace

CMemoryCardPage::CMemoryCardPage(const TarvikSettings& settings, const kr::StringTable& strings,
                                 QWidget* parent)
    : CSettingsPage(LayoutText(strings, kLayout).title(), parent) {
  const LayoutText text(strings, kLayout);
  watch_all_drives_ =
      MakeCheck(QStringLiteral("WatchAllDrives"), text[1], settings.watch_all_drives != 0, this);
  root_name_chars_ = MakeNumberChoice(QStringLiteral("NumRootNameChars"), {0, 1, 2, 3},
                                      std::clamp(settings.num_root_name_chars, 0, 3), this);
  form()->addRow(watch_all_drives_);
  form()->addRow(text[2], root_name_chars_);
}

void CMemoryCardPage::Store(TarvikSettings& settings) const {
  settings.watch_all_drives = watch_all_drives_->isChecked() ? 1 : 0;
  settings.num_root_name_chars = NumberChoiceIn(root_name_chars_);
}

}  // namespace tarvik
