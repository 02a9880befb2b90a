#pragma once

#include <QDialog>
#include <QTableWidget>
#include <vector>

#include "krcommon/string_table.h"
#include "tarvik/uiport/ui_port.h"

namespace tarvik {

// The recorder's event list: read only after View > Event, or, after Transfer > Single Events, a
// choice of events whose Transfer button hands back the chosen file numbers.
class CEventDlg : public QDialog {
  Q_OBJECT

 public:
  enum class Mode { kView, kChooseForTransfer };

  CEventDlg(const kr::StringTable& strings, Mode mode, int recorder, const std::vector<EventListRow>& rows,
            QWidget* parent = nullptr);

  // The file numbers of the selected rows, in list order.
  std::vector<int> ChosenFiles() const;
  QTableWidget* table() { return table_; }

 private:
  QTableWidget* table_;
  std::vector<int> numbers_;
};

}  // namespace tarvik
