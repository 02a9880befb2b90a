#include "tarvik/gui/settings/appearance_page.h"

#include <QCheckBox>
#include <QComboBox>
#include <QFormLayout>
#include <QLabel>

#include "tarvik/app/settings_validation.h"
#include "tarvik/gui/settings/gui_text.h"
#include "tarvik/gui/settings/page_controls.h"

namespace tarvik {

namespace {

constexpr int kLayout = 9687;

// The check boxes in page order: the line of the layout text, the key and the member.
struct FlagRow {
  int line;
  const char* key;
  int TarvikSettings::*member;
};
constexpr FlagRow kFlagRows[] = {
    {3, "UsDateFormat", &TarvikSettings::us_date_format},
    {4, "RepositionCursor", &TarvikSettings::reposition_cursor},
    {5, "ShowWarningBalloons", &TarvikSettings::show_warning_balloons},
    {6, "InitFileView", &TarvikSettings::init_file_view},
    {7, "ShowFreqDirInfo", &TarvikSettings::show_freq_dir_info},
    {8, "AlwaysAskPassword", &TarvikSettings::always_ask_password},
    {9, "SuggestDefaultPassword", &TarvikSettings::suggest_default_password},
};

}  // namespace

CAppearancePage::CAppearancePage(const TarvikSettings& settings, const kr::StringTable& strings,
                                 QWidget* parent)
    : CSettingsPage(LayoutText(strings, kLayout).title(), parent) {
  const LayoutText text(strings, kLayout);
  language_ = new QComboBox(this);
  language_->setObjectName(QStringLiteral("Language"));
  for (const LanguageChoice& choice : kLanguageChoices) {
    language_->addItem(ToQString(strings.Text(choice.string_id)), choice.setting);
  }
  initial_language_ = LanguageChoiceIndex(settings.language);
  language_->setCurrentIndex(initial_language_);
  form()->addRow(text[1], language_);
  auto* note = new QLabel(text[2], this);
  note->setWordWrap(true);
  form()->addRow(note);
  for (const FlagRow& row : kFlagRows) {
    QCheckBox* check = MakeCheck(QLatin1String(row.key), text[row.line], settings.*row.member != 0, this);
    form()->addRow(check);
    flags_.push_back({check, row.member});
  }
}

void CAppearancePage::Store(TarvikSettings& settings) const {
  // An unknown stored value (2, say) that the operator left alone stays as it is.
  if (language_->currentIndex() != initial_language_) settings.language = language_->currentData().toInt();
  for (const Flag& flag : flags_) settings.*flag.member = flag.check->isChecked() ? 1 : 0;
}

}  // namespace tarvik
