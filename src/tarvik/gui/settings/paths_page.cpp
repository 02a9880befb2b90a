#include "tarvik/gui/settings/paths_page.h"

#include <QFormLayout>
#include <QHBoxLayout>
#include <QLineEdit>
#include <QPushButton>

#include "tarvik/gui/settings/gui_text.h"
#include "tarvik/uiport/ui_port.h"

namespace tarvik {

namespace {

constexpr int kLayout = 9689;
constexpr int kBrowseLine = 6;
constexpr int kMsgFullPath = 9695;

struct FolderRow {
  int line;
  const char* key;
  std::filesystem::path TarvikSettings::*member;
};
constexpr FolderRow kFolderRows[] = {
    {1, "ParameterPath", &TarvikSettings::parameter_path}, {2, "DataPath", &TarvikSettings::data_path},
    {3, "TempPath", &TarvikSettings::temp_path},           {4, "InstantPath", &TarvikSettings::instant_path},
    {5, "ConnectPath", &TarvikSettings::connect_path},
};

std::filesystem::path PathIn(const QLineEdit* edit) {
  return std::filesystem::path(ToStdString(edit->text().trimmed()));
}

}  // namespace

CPathsPage::CPathsPage(const TarvikSettings& settings, const kr::StringTable& strings, UiPort& ui,
                       QWidget* parent)
    : CSettingsPage(LayoutText(strings, kLayout).title(), parent), strings_(strings) {
  const LayoutText text(strings, kLayout);
  for (const FolderRow& row : kFolderRows) {
    auto* edit = new QLineEdit(ToQString((settings.*row.member).string()), this);
    edit->setObjectName(QLatin1String(row.key));
    edit->setMinimumWidth(edit->fontMetrics().horizontalAdvance(QLatin1Char('x')) * 44);
    auto* browse = new QPushButton(text[kBrowseLine], this);
    browse->setObjectName(QLatin1String(row.key) + QStringLiteral(".Browse"));
    const QString title = text[row.line];
    connect(browse, &QPushButton::clicked, this, [edit, title, &ui] {
      auto chosen = ui.ChooseFolder(ToStdString(title), PathIn(edit));
      if (chosen) edit->setText(ToQString(chosen->string()));
    });
    auto* line = new QHBoxLayout;
    line->addWidget(edit, 1);
    line->addWidget(browse);
    form()->addRow(text[row.line], line);
    folders_.push_back({edit, row.member});
  }
}

std::optional<FieldProblem> CPathsPage::Validate() const {
  for (const Folder& folder : folders_) {
    if (!PathIn(folder.edit).is_absolute()) {
      return FieldProblem{folder.edit, kMsgFullPath, ToQString(strings_.Text(kMsgFullPath))};
    }
  }
  return std::nullopt;
}

void CPathsPage::Store(TarvikSettings& settings) const {
  for (const Folder& folder : folders_) {
    // Stored without a trailing separator, as the settings file keeps its folders.
    std::filesystem::path path = PathIn(folder.edit);
    std::string text = path.string();
    while (text.size() > 1 && text.back() == '/') text.pop_back();
    settings.*folder.member = std::filesystem::path(text);
  }
}

}  // namespace tarvik
