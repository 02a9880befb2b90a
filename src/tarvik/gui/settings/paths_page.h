#pragma once

#include <filesystem>
#include <vector>

#include "krcommon/string_table.h"
#include "tarvik/gui/settings/settings_page.h"

class QLineEdit;

namespace tarvik {

class UiPort;

// The five folders of [Monitoring]: ParameterPath, DataPath, TempPath, InstantPath, ConnectPath,
// typed or chosen with the folder chooser. A folder must be a full path: the running program would
// otherwise take a relative one from wherever it was started. A missing folder is created at the
// next start (or replaced by the default, with a warning, when it cannot be).
class CPathsPage : public CSettingsPage {
 public:
  CPathsPage(const TarvikSettings& settings, const kr::StringTable& strings, UiPort& ui,
             QWidget* parent = nullptr);

  std::optional<FieldProblem> Validate() const override;
  void Store(TarvikSettings& settings) const override;

 private:
  struct Folder {
    QLineEdit* edit;
    std::filesystem::path TarvikSettings::*member;
  };

  const kr::StringTable& strings_;
  std::vector<Folder> folders_;
};

}  // namespace tarvik
