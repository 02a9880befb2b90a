#pragma once

#include <QTimer>
#include <functional>

#include "tarvik/gui/info_page_dlg.h"

namespace tarvik {

// The A/D values window: the recorder's identification read by state 81 and the values that state 45
// reads again and again while the window is open. Its timer asks the owner for the next read; the
// owner stops it when a read failed, and closing the window stops it too.
class CAdValuesDlg : public CInfoPageDlg {
  Q_OBJECT

 public:
  // What the timer asks for: true to go on, false when reading has to stop (a read failed, the
  // link is gone).
  using Poll = std::function<bool()>;

  CAdValuesDlg(const kr::StringTable& strings, const QString& title, const std::vector<PageLine>& lines,
               int interval_ms, QWidget* parent = nullptr);

  void SetPoll(Poll poll) { poll_ = std::move(poll); }
  // Starts reading: the first read at once, then every interval.
  void StartReading();
  void StopReading();
  bool reading() const { return timer_.isActive(); }
  int reads() const { return reads_; }
  // After each read: the new values.
  void ShowValues(const std::vector<PageLine>& lines);

 protected:
  void done(int result) override;

 private:
  void OnTimer();

  const kr::StringTable& strings_;
  QTimer timer_;
  Poll poll_;
  int reads_ = 0;
};

}  // namespace tarvik
