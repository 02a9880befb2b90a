#pragma once

#include <QDialog>
#include <QGridLayout>
#include <QLabel>
#include <QString>
#include <utility>
#include <vector>

#include "krcommon/string_table.h"
#include "tarvik/config/parameter_page.h"

namespace tarvik {

// A window that only shows what a reading state read, one "label value" row per page line: the
// control unit's information, its network, the test results and communication parameters, and the
// A/D values. The pages have no fixed layout; their lines come from the page builder.
class CInfoPageDlg : public QDialog {
  Q_OBJECT

 public:
  CInfoPageDlg(const kr::StringTable& strings, const QString& title, const std::vector<PageLine>& lines,
               QWidget* parent = nullptr);

  // Shows new values (the A/D window after each read).
  void SetLines(const std::vector<PageLine>& lines);
  // The rows as shown: label and value.
  std::vector<std::pair<QString, QString>> Rows() const;
  QString Value(const QString& label) const;

 protected:
  // Space for a line of text below the rows (the A/D window's reading state).
  QLabel* note() { return note_; }

 private:
  QGridLayout* grid_;
  QLabel* note_;
  std::vector<std::pair<QLabel*, QLabel*>> rows_;
};

}  // namespace tarvik
