// The macro windows on their own: the Run Macro dialog's Browse, the question a macro asks through
// the window's UI port (answer and Cancel), the macro items of the Operate menu, and pictures of them
// in each language (docs/screenshots).
#include <gtest/gtest.h>

#include <QApplication>
#include <QFileDialog>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMessageBox>

#include "picture_sheet.h"
#include "tarvik/engine/macro_text.h"
#include "tarvik/gui/gui_ui_port.h"
#include "tarvik/gui/macro_dlg.h"
#include "tarvik/gui/macro_menu.h"
#include "tarvik/gui/macro_script_question_dlg.h"
#include "tarvik/gui/menu_table.h"
#include "tarvik/resources/tarvik_strings.h"
#include "window_fixture.h"

namespace tarvik_gui_test {
namespace {

namespace cmd = tarvik::cmd;

// Chooses `file` in the Open Macro File dialog; its title and filters are kept.
ModalAnswerer::Handler ChooseMacroFile(const fs::path& file, std::string* title, QStringList* filters) {
  return [=](QWidget* modal) {
    auto* dialog = qobject_cast<QFileDialog*>(modal);
    if (dialog == nullptr || dialog->objectName() != "OpenMacroFile") return false;
    *title = dialog->windowTitle().toStdString();
    *filters = dialog->nameFilters();
    auto* edit = dialog->findChild<QLineEdit*>("fileNameEdit");
    if (edit == nullptr) return false;
    edit->setText(QString::fromStdString(file.string()));
    static_cast<QDialog*>(dialog)->accept();
    return true;
  };
}

// Answers the question of a macro with `answer`, or cancels it when there is none; prompts are kept.
ModalAnswerer::Handler AnswerQuestion(std::optional<std::string> answer, std::vector<std::string>* prompts) {
  return [=](QWidget* modal) {
    auto* dialog = qobject_cast<tarvik::CMacroScriptQuestionDlg*>(modal);
    if (dialog == nullptr) return false;
    prompts->push_back(dialog->findChild<QLabel*>("prompt")->text().toStdString());
    if (answer) {
      dialog->edit()->setText(QString::fromStdString(*answer));
      dialog->accept();
    } else {
      dialog->reject();
    }
    return true;
  };
}

tarvik::MacroTable SampleTable() {
  tarvik::MacroTable table;
  table[0] = {"Identification", "Na1;IB"};
  table[1] = {"Not shown", ""};
  table[2] = {"Rock & Roll", "IN"};
  table[4] = {"", "NC"};
  return table;
}

TEST(MacroDialog, BrowseNamesTheScriptAndRemembersItsFolder) {
  TempFolder temp;
  const fs::path scripts = temp.path() / "scripts";
  WriteText(scripts / "hourly.krs", "Na1;IN");
  const kr::StringTable strings = tarvik::MakeTarvikStringTable();
  tarvik::CMacroDlg dialog(strings, "Na1", temp.path());
  EXPECT_EQ(dialog.windowTitle().toStdString(), "Run Macro");

  ModalAnswerer answerer;
  std::string title;
  QStringList filters;
  answerer.Add(ChooseMacroFile(scripts / "hourly.krs", &title, &filters));
  dialog.browse_button()->click();
  EXPECT_EQ(title, "Open Macro File");
  EXPECT_EQ(filters, (QStringList{"KR Script Files (*.krs)", "All Files (*)"}));
  EXPECT_EQ(dialog.text().toStdString(), "Script: hourly.krs");
  EXPECT_EQ(dialog.directory(), scripts);
}

TEST(MacroDialog, BrowseCancelledLeavesTextAndFolder) {
  TempFolder temp;
  const kr::StringTable strings = tarvik::MakeTarvikStringTable();
  tarvik::CMacroDlg dialog(strings, "Na1;IB", temp.path());
  ModalAnswerer answerer;
  answerer.Add([](QWidget* modal) {
    auto* file_dialog = qobject_cast<QFileDialog*>(modal);
    if (file_dialog == nullptr) return false;
    file_dialog->reject();
    return true;
  });
  dialog.browse_button()->click();
  EXPECT_EQ(dialog.text().toStdString(), "Na1;IB");
  EXPECT_EQ(dialog.directory(), temp.path());
}

// The question comes from the window's UI port while the text is prepared: an answer goes in where the
// brackets stood; Cancel takes away the three characters written before "[" (worked out by hand).
TEST(MacroDialog, QuestionsOfAScriptFileAreAskedInTheWindow) {
  TempFolder temp;
  WriteText(temp.path() / "pre.krs", "Na1;\r\nPE 1[Pre-event time]; // seconds\r\nIN;");
  const kr::StringTable strings = tarvik::MakeTarvikStringTable();
  tarvik::CGuiUiPort ui(strings);
  tarvik::CMacroDlg dialog(strings, "", fs::path("/nowhere"));
  dialog.UseChosenFile(temp.path() / "pre.krs");

  std::vector<std::string> prompts;
  {
    ModalAnswerer answerer;
    answerer.Add(AnswerQuestion("2", &prompts));
    EXPECT_EQ(tarvik::PrepareMacroText(dialog.text().toStdString(), dialog.directory(), ui, strings),
              "Na1;PE 12;IN");
  }
  {
    ModalAnswerer answerer;
    answerer.Add(AnswerQuestion(std::nullopt, &prompts));
    EXPECT_EQ(tarvik::PrepareMacroText(dialog.text().toStdString(), dialog.directory(), ui, strings),
              "Na1;P;IN");
  }
  EXPECT_EQ(prompts, (std::vector<std::string>{"Pre-event time:", "Pre-event time:"}));
  // The file is looked for in the folder Browse remembered, not where the program runs.
  tarvik::CMacroDlg elsewhere(strings, "Script: pre.krs", fs::path("/nowhere"));
  ModalAnswerer answerer;
  answerer.Add([](QWidget* modal) {
    auto* box = qobject_cast<QMessageBox*>(modal);
    if (box == nullptr) return false;
    box->accept();
    return true;
  });
  EXPECT_EQ(tarvik::PrepareMacroText(elsewhere.text().toStdString(), elsewhere.directory(), ui, strings), "");
  EXPECT_FALSE(ui.message_ids().empty());
  EXPECT_EQ(ui.message_ids().back(), 433);
}

TEST(MacroMenu, ItemsOfTheNonEmptyEntriesWithTheirTooltips) {
  kr::StringTable strings = tarvik::MakeTarvikStringTable();
  tarvik::CMacroMenu macros(strings, "/tmp");
  QMenu menu;
  menu.addAction("Run Macro");
  std::map<int, QAction*> actions;
  std::vector<int> chosen;
  macros.AppendItems(
      &menu, SampleTable(), [&](int id) { chosen.push_back(id); }, actions);

  const QList<QAction*> items = menu.actions();
  ASSERT_EQ(items.size(), 5);
  EXPECT_TRUE(items[1]->isSeparator());
  EXPECT_EQ(items[2]->text().toStdString(), "Identification");
  EXPECT_EQ(items[3]->text().toStdString(), "Rock && Roll");  // shown with its "&", no mnemonic
  EXPECT_EQ(items[4]->text().toStdString(), "5");             // no description: its number in Macro.def
  EXPECT_EQ(items[2]->toolTip().toStdString(), "Run macro \"Identification\"");
  EXPECT_EQ(items[3]->toolTip().toStdString(), "Run macro \"Rock & Roll\"");
  EXPECT_TRUE(menu.toolTipsVisible());
  EXPECT_EQ(actions.size(), 3u);
  EXPECT_EQ(actions.at(cmd::kMacroItem + 2), items[3]);
  items[4]->trigger();
  items[2]->trigger();
  EXPECT_EQ(chosen, (std::vector<int>{cmd::kMacroItem + 4, cmd::kMacroItem}));

  // The items follow Run Macro's enabling rule; ids beyond the twenty entries are nobody's.
  EXPECT_EQ(tarvik::FindMenuEntry(cmd::kMacroItem + 19)->command_id, cmd::kRunMacro);
  EXPECT_EQ(tarvik::FindMenuEntry(cmd::kMacroItem + 20), nullptr);
  EXPECT_EQ(tarvik::FindMenuEntry(cmd::kMacroItem - 1), nullptr);

  strings.SetLanguage(kr::Language::kGerman);
  QMenu german;
  actions.clear();
  macros.AppendItems(
      &german, SampleTable(), [](int) {}, actions);
  EXPECT_EQ(german.actions()[1]->toolTip().toStdString(), "Makro \"Identification\" ausführen");

  // Without macros nothing is added, not even the separator.
  QMenu empty;
  actions.clear();
  macros.AppendItems(
      &empty, tarvik::MacroTable{}, [](int) {}, actions);
  EXPECT_TRUE(empty.actions().isEmpty());
}

// The Run Macro dialog, the question and the Operate menu's macro items of one language in one picture.
QImage MacroSheet(const kr::StringTable& strings) {
  std::vector<std::unique_ptr<QWidget>> widgets;
  widgets.push_back(std::make_unique<tarvik::CMacroDlg>(
      strings, "Na1;\nPE 1[Pre-event time];  // seconds\nScript: hourly.krs", fs::path("/tmp")));
  widgets.push_back(std::make_unique<tarvik::CMacroScriptQuestionDlg>(strings, "Pre-event time:"));
  auto menu = std::make_unique<QMenu>();
  menu->addAction(QString::fromStdString(strings.Text(9652)));
  std::map<int, QAction*> actions;
  tarvik::CMacroMenu(strings, "/tmp")
      .AppendItems(
          menu.get(), SampleTable(), [](int) {}, actions);
  widgets.push_back(std::move(menu));
  std::vector<QImage> pictures;
  for (auto& widget : widgets) {
    if (dynamic_cast<tarvik::CMacroDlg*>(widget.get()) == nullptr) widget->adjustSize();
    pictures.push_back(widget->grab().toImage());
  }
  return PictureSheet(pictures);
}

TEST(MacroPictures, MacroWindowsInEveryLanguage) {
  SaveInEveryLanguage("tarvik_macro", MacroSheet);
}

}  // namespace
}  // namespace tarvik_gui_test
