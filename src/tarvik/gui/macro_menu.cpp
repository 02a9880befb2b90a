#include "tarvik/gui/macro_menu.h"

#include "tarvik/gui/gui_text.h"
#include "tarvik/gui/macro_dlg.h"
#include "tarvik/gui/menu_table.h"

namespace tarvik {

namespace {
constexpr int kItemTooltip = 453;
}  // namespace

CMacroMenu::CMacroMenu(const kr::StringTable& strings, std::filesystem::path data_root)
    : strings_(strings), data_root_(data_root), directory_(std::move(data_root)) {}

void CMacroMenu::AppendItems(QMenu* menu, const MacroTable& table, const std::function<void(int)>& on_command,
                             std::map<int, QAction*>& actions) const {
  bool separated = false;
  for (int index = 0; index < kMacroEntries; ++index) {
    const MacroEntry& entry = table[static_cast<std::size_t>(index)];
    if (entry.empty()) continue;
    if (!separated) {
      menu->addSeparator();
      menu->setToolTipsVisible(true);
      separated = true;
    }
    // An entry without a description still needs something to click: its number in Macro.def.
    const QString name = entry.description.empty() ? QString::number(index + 1) : Q(entry.description);
    QAction* action = menu->addAction(QString(name).replace('&', "&&"));
    action->setToolTip(Text(strings_, kItemTooltip).arg(name));
    const int id = cmd::kMacroItem + index;
    action->setObjectName(QString("macro%1").arg(index + 1));
    QObject::connect(action, &QAction::triggered, menu, [on_command, id] { on_command(id); });
    actions[id] = action;
  }
}

void CMacroMenu::RunDialog(QWidget* parent, MacroOperation& macros) {
  CMacroDlg dialog(strings_, text_, directory_, parent);
  if (dialog.exec() != QDialog::Accepted) return;
  text_ = dialog.text();
  directory_ = dialog.directory();
  macros.RequestMacroText(text_.toStdString(), directory_);
}

void CMacroMenu::RunItem(int command_id, MacroOperation& macros) const {
  macros.RequestMacroEntry(command_id - cmd::kMacroItem, data_root_);
}

}  // namespace tarvik
