#pragma once

#include <QDialog>
#include <filesystem>
#include <functional>
#include <vector>

#include "krcommon/string_table.h"
#include "tarvik/app/tarvik_settings.h"

class QLabel;
class QStackedWidget;
class QTreeWidget;
class QTreeWidgetItem;

namespace tarvik {

class CSettingsPage;
class UiPort;

// File > Settings...: the tree property sheet "Settings". The tree holds the branch "Communication"
// (Time-outs, Direct Link, Modem 1, Modem 2, Serial ports) and the pages Memory Card, Appearance,
// Local Events and Paths; a branch shows the hint to pick one of its items.
//
// OK checks every page in order; the first refused field brings its page to the front and is shown
// to the operator (ShowFieldProblem), and nothing is stored. When all pages pass, they store into
// `settings` and `write_settings` writes the settings file; if that fails the settings are put back
// and the sheet stays open.
class CSettingsSheet : public QDialog {
 public:
  CSettingsSheet(TarvikSettings& settings, const kr::StringTable& strings, UiPort& ui,
                 std::function<bool()> write_settings, QWidget* parent = nullptr,
                 const std::filesystem::path& dev_root = "/dev");

  // The pages in tree order.
  const std::vector<CSettingsPage*>& pages() const { return pages_; }
  // Brings a page to the front, as a click on its tree item does.
  void ShowPage(const CSettingsPage* page);
  // Shows the hint of the branch (the "Communication" item).
  void ShowBranch();
  // The page or hint shown now.
  QWidget* current() const;

  void accept() override;

 private:
  QTreeWidgetItem* AddPage(CSettingsPage* page, QTreeWidgetItem* parent);
  void OnItemSelected(QTreeWidgetItem* item);

  TarvikSettings& settings_;
  UiPort& ui_;
  std::function<bool()> write_settings_;
  QTreeWidget* tree_;
  QLabel* caption_;
  QStackedWidget* stack_;
  QLabel* hint_;
  QTreeWidgetItem* branch_;
  std::vector<CSettingsPage*> pages_;
};

}  // namespace tarvik
