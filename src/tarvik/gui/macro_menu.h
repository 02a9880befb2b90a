#pragma once

#include <QAction>
#include <QMenu>
#include <QString>
#include <QWidget>
#include <filesystem>
#include <functional>
#include <map>

#include "krcommon/string_table.h"
#include "tarvik/engine/macro_operation.h"

namespace tarvik {

// The macro side of the main window: Operate > Run Macro with its dialog, and one menu item per entry
// of "Macro.def". The dialog's text and the folder of its last "Script:" file are kept between runs
// (the data root at first); the "Script:" files of Macro.def entries are looked for beside Macro.def.
class CMacroMenu {
 public:
  CMacroMenu(const kr::StringTable& strings, std::filesystem::path data_root);

  // A separator and one item per non-empty entry, in table order: its description as the text
  // ("&" shown as written), tooltip 453. Each item calls `on_command` with its command id.
  void AppendItems(QMenu* menu, const MacroTable& table, const std::function<void(int)>& on_command,
                   std::map<int, QAction*>& actions) const;

  // Run Macro: the dialog; OK prepares its text and sends it as the connection's own macro.
  void RunDialog(QWidget* parent, MacroOperation& macros);
  // The item of a Macro.def entry: selects the entry and sends it.
  void RunItem(int command_id, MacroOperation& macros) const;

  const std::filesystem::path& directory() const { return directory_; }

 private:
  const kr::StringTable& strings_;
  std::filesystem::path data_root_;
  std::filesystem::path directory_;
  QString text_;
};

}  // namespace tarvik
