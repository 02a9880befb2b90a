#pragma once

#include <QDialog>
#include <QLabel>
#include <QPushButton>
#include <QTimer>
#include <functional>

#include "krcommon/string_table.h"

namespace tarvik {

// The connect window of a modem connection: Connect starts the dialling and from then on the status
// text is refreshed every 500 ms; the details button shows the document's modem data below (the
// window grows by 70 pixels); Cancel or closing the window hangs up or disconnects.
class CConnectDlg : public QDialog {
  Q_OBJECT

 public:
  static constexpr int kRefreshMs = 500;
  static constexpr int kDetailsHeight = 70;

  CConnectDlg(const kr::StringTable& strings, QWidget* parent = nullptr);

  void SetHandlers(std::function<void()> on_connect, std::function<void()> on_cancel);
  void SetDetails(const QString& details) { details_->setText(details); }
  // The status text the engine wants shown; it reaches the window at the next refresh.
  void SetStatus(const QString& text) { pending_status_ = text; }
  void Start();  // shown anew: Connect enabled, no timer, details hidden
  void Stop();   // closed by the engine: timer off, hidden, no cancel notice

  QString status() const { return status_->text(); }
  QPushButton* connect_button() { return connect_; }
  QPushButton* cancel_button() { return cancel_; }
  QPushButton* details_button() { return details_button_; }
  bool refreshing() const { return timer_.isActive(); }

 protected:
  void reject() override;

 private:
  void ToggleDetails();

  const kr::StringTable& strings_;
  QLabel* status_;
  QLabel* details_;
  QPushButton* connect_;
  QPushButton* details_button_;
  QPushButton* cancel_;
  QTimer timer_;
  QString pending_status_;
  std::function<void()> on_connect_;
  std::function<void()> on_cancel_;
};

}  // namespace tarvik
