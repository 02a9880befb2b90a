#include "tarvik/gui/settings/settings_sheet.h"

#include <QDialogButtonBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QStackedWidget>
#include <QTreeWidget>
#include <QTreeWidgetItemIterator>
#include <QVBoxLayout>

#include "tarvik/gui/settings/appearance_page.h"
#include "tarvik/gui/settings/direct_link_page.h"
#include "tarvik/gui/settings/gui_text.h"
#include "tarvik/gui/settings/local_events_page.h"
#include "tarvik/gui/settings/memory_card_page.h"
#include "tarvik/gui/settings/modem_page.h"
#include "tarvik/gui/settings/paths_page.h"
#include "tarvik/gui/settings/serial_ports_page.h"
#include "tarvik/gui/settings/timeouts_page.h"

namespace tarvik {

namespace {

constexpr int kTitle = 9680;
constexpr int kBranchHint = 9681;
constexpr int kBranchName = 9682;
constexpr int kButtons = 9691;
constexpr int kPageRole = Qt::UserRole;

}  // namespace

CSettingsSheet::CSettingsSheet(TarvikSettings& settings, const kr::StringTable& strings, UiPort& ui,
                               std::function<bool()> write_settings, QWidget* parent,
                               const std::filesystem::path& dev_root)
    : QDialog(parent), settings_(settings), ui_(ui), write_settings_(std::move(write_settings)) {
  setObjectName(QStringLiteral("Settings"));
  setWindowTitle(ToQString(strings.Text(kTitle)));

  tree_ = new QTreeWidget(this);
  tree_->setObjectName(QStringLiteral("SettingsTree"));
  tree_->header()->hide();
  caption_ = new QLabel(this);
  caption_->setObjectName(QStringLiteral("PageCaption"));
  QFont caption_font = caption_->font();
  caption_font.setBold(true);
  caption_->setFont(caption_font);
  stack_ = new QStackedWidget(this);

  const QString branch_name = ToQString(strings.Text(kBranchName));
  hint_ = new QLabel(ToQString(strings.Format(kBranchHint, ToStdString(branch_name))), this);
  hint_->setObjectName(QStringLiteral("BranchHint"));
  hint_->setAlignment(Qt::AlignCenter);
  hint_->setWordWrap(true);
  stack_->addWidget(hint_);
  branch_ = new QTreeWidgetItem(tree_, QStringList(branch_name));

  AddPage(new CTimeoutsPage(settings, strings), branch_);
  AddPage(new CDirectLinkPage(settings, strings), branch_);
  AddPage(new CModemPage(1, settings, strings), branch_);
  AddPage(new CModemPage(2, settings, strings), branch_);
  AddPage(new CSerialPortsPage(settings, strings, dev_root), branch_);
  AddPage(new CMemoryCardPage(settings, strings), nullptr);
  AddPage(new CAppearancePage(settings, strings), nullptr);
  AddPage(new CLocalEventsPage(settings, strings), nullptr);
  AddPage(new CPathsPage(settings, strings, ui), nullptr);
  tree_->expandAll();
  tree_->resizeColumnToContents(0);
  tree_->setMinimumWidth(tree_->columnWidth(0) + 2 * tree_->frameWidth() + tree_->indentation());
  tree_->setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Expanding);

  const LayoutText buttons_text(strings, kButtons);
  auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
  buttons->button(QDialogButtonBox::Ok)->setText(buttons_text[0]);
  buttons->button(QDialogButtonBox::Cancel)->setText(buttons_text[1]);
  connect(buttons, &QDialogButtonBox::accepted, this, &CSettingsSheet::accept);
  connect(buttons, &QDialogButtonBox::rejected, this, &CSettingsSheet::reject);

  auto* right = new QVBoxLayout;
  right->addWidget(caption_);
  right->addWidget(stack_, 1);
  auto* body = new QHBoxLayout;
  body->addWidget(tree_);
  body->addLayout(right, 1);
  auto* outer = new QVBoxLayout(this);
  outer->addLayout(body, 1);
  outer->addWidget(buttons);

  connect(tree_, &QTreeWidget::currentItemChanged, this,
          [this](QTreeWidgetItem* item) { OnItemSelected(item); });
  ShowPage(pages_.front());
}

QTreeWidgetItem* CSettingsSheet::AddPage(CSettingsPage* page, QTreeWidgetItem* parent) {
  QTreeWidgetItem* item = parent != nullptr ? new QTreeWidgetItem(parent, QStringList(page->title()))
                                            : new QTreeWidgetItem(tree_, QStringList(page->title()));
  item->setData(0, kPageRole, stack_->addWidget(page));
  pages_.push_back(page);
  return item;
}

void CSettingsSheet::OnItemSelected(QTreeWidgetItem* item) {
  if (item == nullptr) return;
  const int index = item->data(0, kPageRole).isValid() ? item->data(0, kPageRole).toInt() : 0;
  stack_->setCurrentIndex(index);
  caption_->setText(item->text(0));
}

void CSettingsSheet::ShowPage(const CSettingsPage* page) {
  const int index = stack_->indexOf(const_cast<CSettingsPage*>(page));
  for (QTreeWidgetItemIterator it(tree_); *it != nullptr; ++it) {
    if ((*it)->data(0, kPageRole).isValid() && (*it)->data(0, kPageRole).toInt() == index) {
      tree_->setCurrentItem(*it);
      OnItemSelected(*it);
      return;
    }
  }
}

void CSettingsSheet::ShowBranch() {
  tree_->setCurrentItem(branch_);
  OnItemSelected(branch_);
}

QWidget* CSettingsSheet::current() const {
  return stack_->currentWidget();
}

void CSettingsSheet::accept() {
  for (CSettingsPage* page : pages_) {
    if (std::optional<FieldProblem> problem = page->Validate()) {
      ShowPage(page);
      ShowFieldProblem(*problem, settings_.show_warning_balloons != 0, ui_);
      return;
    }
  }
  const TarvikSettings before = settings_;
  for (CSettingsPage* page : pages_) page->Store(settings_);
  if (!write_settings_()) {
    // The writer has told why; what the program runs with stays what the file holds.
    settings_ = before;
    return;
  }
  QDialog::accept();
}

}  // namespace tarvik
