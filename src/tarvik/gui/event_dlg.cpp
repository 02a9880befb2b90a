#include "tarvik/gui/event_dlg.h"

#include <QDialogButtonBox>
#include <QHeaderView>
#include <QPushButton>
#include <QVBoxLayout>

#include "tarvik/gui/gui_text.h"

namespace tarvik {

namespace {

QTableWidgetItem* Cell(const QString& text, bool number) {
  auto* item = new QTableWidgetItem(text);
  item->setFlags(Qt::ItemIsSelectable | Qt::ItemIsEnabled);
  if (number) item->setTextAlignment(Qt::AlignRight | Qt::AlignVCenter);
  return item;
}

}  // namespace

CEventDlg::CEventDlg(const kr::StringTable& strings, Mode mode, int recorder,
                     const std::vector<EventListRow>& rows, QWidget* parent)
    : QDialog(parent), table_(new QTableWidget(this)) {
  setObjectName("CEventDlg");
  const bool choose = mode == Mode::kChooseForTransfer;
  setWindowTitle(
      Q(strings.Format(choose ? gui_text::kSingleEventsTitle : gui_text::kEventListTitle, recorder)));
  const QStringList headers = Text(strings, gui_text::kEventColumns).split('\t');
  table_->setColumnCount(static_cast<int>(headers.size()));
  table_->setHorizontalHeaderLabels(headers);
  table_->setRowCount(static_cast<int>(rows.size()));
  table_->verticalHeader()->setVisible(false);
  table_->setSelectionBehavior(QAbstractItemView::SelectRows);
  table_->setSelectionMode(choose ? QAbstractItemView::ExtendedSelection
                                  : QAbstractItemView::SingleSelection);
  for (int r = 0; r < static_cast<int>(rows.size()); ++r) {
    const EventListRow& row = rows[static_cast<std::size_t>(r)];
    numbers_.push_back(row.number);
    table_->setItem(r, 0, Cell(QString::number(row.number), true));
    table_->setItem(r, 1, Cell(row.type_letter != 0 ? QString(QChar(row.type_letter)) : QString(), false));
    table_->setItem(r, 2, Cell(Q(row.date), false));
    table_->setItem(r, 3, Cell(Q(row.time), false));
    for (int p = 0; p < 3; ++p) table_->setItem(r, 4 + p, Cell(QString::number(row.peaks[p], 'f', 3), true));
    table_->setItem(r, 7, Cell(QString::number(row.samples), true));
  }
  table_->resizeColumnsToContents();
  table_->horizontalHeader()->setStretchLastSection(true);

  auto* buttons = new QDialogButtonBox(this);
  if (choose) {
    QPushButton* transfer =
        buttons->addButton(Text(strings, gui_text::kTransferButton), QDialogButtonBox::AcceptRole);
    transfer->setObjectName("transfer");
    buttons->addButton(Text(strings, gui_text::kCancel), QDialogButtonBox::RejectRole);
    transfer->setEnabled(false);
    connect(table_, &QTableWidget::itemSelectionChanged, transfer,
            [this, transfer] { transfer->setEnabled(!ChosenFiles().empty()); });
  } else {
    buttons->addButton(Text(strings, gui_text::kOk), QDialogButtonBox::AcceptRole);
  }
  connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
  connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
  auto* layout = new QVBoxLayout(this);
  layout->addWidget(table_);
  layout->addWidget(buttons);
  resize(720, 420);
}

std::vector<int> CEventDlg::ChosenFiles() const {
  std::vector<int> chosen;
  for (int r = 0; r < table_->rowCount(); ++r) {
    const QTableWidgetItem* item = table_->item(r, 0);
    if (item != nullptr && item->isSelected()) chosen.push_back(numbers_[static_cast<std::size_t>(r)]);
  }
  return chosen;
}

}  // namespace tarvik
