#pragma once

#include <QDialog>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <functional>

#include "krcommon/string_table.h"

namespace tarvik {

// The progress window of the operations: a text, a bar and a button that cancels the operation (for
// transfers: stops after the event in progress). It stays open beside the main window, which keeps
// working.
class CModelessDlg : public QDialog {
  Q_OBJECT

 public:
  CModelessDlg(const kr::StringTable& strings, QWidget* parent = nullptr);

  void SetCancelHandler(std::function<void()> handler) { on_cancel_ = std::move(handler); }
  void Open(const QString& text, int total, int position);
  void Update(const QString& text, int position);

  QString text() const { return label_->text(); }
  int position() const { return bar_->value(); }
  int total() const { return bar_->maximum(); }
  QPushButton* cancel_button() { return cancel_; }

 protected:
  void reject() override;  // Escape and the window's close button cancel as the button does

 private:
  QLabel* label_;
  QProgressBar* bar_;
  QPushButton* cancel_;
  std::function<void()> on_cancel_;
};

}  // namespace tarvik
