#include "tarvik/gui/ad_values_dlg.h"

#include "tarvik/gui/gui_text.h"
#include "tarvik/gui/info_text.h"

namespace tarvik {

CAdValuesDlg::CAdValuesDlg(const kr::StringTable& strings, const QString& title,
                           const std::vector<PageLine>& lines, int interval_ms, QWidget* parent)
    : CInfoPageDlg(strings, title, lines, parent), strings_(strings) {
  setObjectName("CAdValuesDlg");
  timer_.setInterval(interval_ms);
  connect(&timer_, &QTimer::timeout, this, &CAdValuesDlg::OnTimer);
  note()->setText(Q(strings_.Format(info_text::kReadingEvery, std::max(1, interval_ms / 1000))));
  note()->show();
}

void CAdValuesDlg::StartReading() {
  timer_.start();
  QTimer::singleShot(0, this, &CAdValuesDlg::OnTimer);
}

void CAdValuesDlg::StopReading() {
  timer_.stop();
  note()->setText(Text(strings_, info_text::kReadingStopped));
}

void CAdValuesDlg::OnTimer() {
  if (!timer_.isActive()) return;
  if (!poll_ || !poll_()) StopReading();
}

void CAdValuesDlg::ShowValues(const std::vector<PageLine>& lines) {
  ++reads_;
  SetLines(lines);
}

void CAdValuesDlg::done(int result) {
  timer_.stop();
  CInfoPageDlg::done(result);
}

}  // namespace tarvik
