#pragma once

#include <QObject>
#include <QSocketNotifier>
#include <QTimer>
#include <memory>

#include "tarvik/engine/operation_engine.h"
#include "tarvik/gui/gui_ui_port.h"
#include "tarvik/link/link_layer.h"

namespace tarvik {

// The engine's host in the window: a QTimer at the polling time runs one engine tick per timeout,
// and socket notifiers hand the TCP socket's readiness to the link layer. A tick never runs inside
// another one: a modal dialog opened by a step runs its own event loop, and the timer's ticks that
// arrive meanwhile are skipped, so the engine sees one step at a time.
class CEngineHost : public QObject {
  Q_OBJECT

 public:
  CEngineHost(LinkLayer& link, OperationEngine& engine, CGuiUiPort& ui, int polling_ms,
              QObject* parent = nullptr);
  ~CEngineHost() override;

  void Start();
  void Stop();
  // After anything that may have opened or closed the socket (ticks, menu commands).
  void SyncSocket();
  long long ticks() const { return ticks_; }
  int polling_ms() const { return timer_.interval(); }

 signals:
  void Ticked();

 private:
  void Tick();
  void OnSocket(unsigned readiness);
  void DropNotifiers();

  LinkLayer& link_;
  OperationEngine& engine_;
  CGuiUiPort& ui_;
  QTimer timer_;
  std::unique_ptr<QSocketNotifier> read_;
  std::unique_ptr<QSocketNotifier> write_;
  int socket_fd_ = -1;
  bool in_tick_ = false;
  long long ticks_ = 0;
};

}  // namespace tarvik
