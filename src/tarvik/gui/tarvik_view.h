#pragma once

#include <QAbstractScrollArea>
#include <QStringList>
#include <atomic>
#include <cstdint>

#include "krcommon/clock.h"
#include "tarvik/app/tarvik_app.h"
#include "tarvik/engine/link_adapter.h"
#include "tarvik/engine/operation_engine.h"
#include "tarvik/gui/engine_host.h"
#include "tarvik/gui/gui_ui_port.h"

namespace tarvik {

// The main view: owns the communication stack, the operation engine and its host, and shows the trace
// ring as scrolling monospace text. The view follows the newest line unless the operator has scrolled
// back. The serial reader thread asks for a repaint through the link layer's hook; that request only
// posts one queued event (while one is pending, further requests are dropped), so the widget is touched
// by the main thread alone. Each engine tick also looks whether the ring moved, so the text is current
// even when the repaint hook is off (setting InitFileView).
class CTarvikView : public QAbstractScrollArea {
  Q_OBJECT

 public:
  CTarvikView(CTarvikApp& app, CGuiUiPort& ui, const kr::StringTable& strings, QWidget* parent = nullptr);
  // The shut-down step (log-out without waiting, close), then the trace ring into Trace.dat.
  ~CTarvikView() override;

  OperationEngine& engine() { return engine_; }
  LinkAdapter& stack() { return stack_; }
  CEngineHost& host() { return host_; }

  // Thread-safe: asks for the text to be refreshed from the ring on the main thread.
  void RequestRepaint();

  // What the tests look at.
  const QStringList& lines() const { return lines_; }
  bool following() const;
  long long refreshes() const { return refreshes_; }
  long long refreshes_off_main_thread() const { return off_thread_; }

 protected:
  void paintEvent(QPaintEvent* event) override;
  void resizeEvent(QResizeEvent* event) override;

 private:
  void RefreshTrace();
  void RefreshIfMoved();
  void UpdateScrollBars();
  int VisibleRows() const;

  CTarvikApp& app_;
  kr::SystemClock clock_;
  LinkAdapter stack_;
  OperationEngine engine_;
  CEngineHost host_;
  QStringList lines_;
  int widest_ = 0;
  std::atomic<bool> repaint_posted_{false};
  // Where the ring stood at the last refresh: line, column, wrapped.
  std::uint64_t ring_mark_ = ~0ULL;
  long long refreshes_ = 0;
  long long off_thread_ = 0;
};

}  // namespace tarvik
