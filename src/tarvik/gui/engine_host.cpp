#include "tarvik/gui/engine_host.h"

#include <poll.h>

#include <algorithm>

#include "tarvik/link/tcp_socket.h"

namespace tarvik {

CEngineHost::CEngineHost(LinkLayer& link, OperationEngine& engine, CGuiUiPort& ui, int polling_ms,
                         QObject* parent)
    : QObject(parent), link_(link), engine_(engine), ui_(ui) {
  timer_.setTimerType(Qt::PreciseTimer);
  timer_.setInterval(std::max(polling_ms, 1));
  connect(&timer_, &QTimer::timeout, this, &CEngineHost::Tick);
}

CEngineHost::~CEngineHost() {
  Stop();
}

void CEngineHost::Start() {
  timer_.start();
}

void CEngineHost::Stop() {
  timer_.stop();
  DropNotifiers();
}

void CEngineHost::DropNotifiers() {
  // A notifier may be the sender of the signal being handled: it goes when control is back in the
  // event loop.
  for (auto* notifier : {&read_, &write_}) {
    if (!*notifier) continue;
    (*notifier)->setEnabled(false);
    notifier->release()->deleteLater();
  }
  socket_fd_ = -1;
}

void CEngineHost::Tick() {
  if (in_tick_) return;
  in_tick_ = true;
  ui_.BeginTick();
  engine_.Tick();
  ++ticks_;
  ui_.EndTick();
  in_tick_ = false;
  SyncSocket();
  emit Ticked();
}

void CEngineHost::SyncSocket() {
  const int fd = link_.SocketFd();
  const short events = link_.SocketPollEvents();
  if (fd != socket_fd_ || fd < 0) {
    DropNotifiers();
    socket_fd_ = fd;
    if (fd < 0) return;
    read_ = std::make_unique<QSocketNotifier>(fd, QSocketNotifier::Read);
    write_ = std::make_unique<QSocketNotifier>(fd, QSocketNotifier::Write);
    connect(read_.get(), &QSocketNotifier::activated, this, [this] { OnSocket(kSocketReadable); });
    connect(write_.get(), &QSocketNotifier::activated, this, [this] { OnSocket(kSocketWritable); });
  }
  read_->setEnabled((events & POLLIN) != 0);
  // Writable only matters while the connect is in progress; otherwise it would fire for ever.
  write_->setEnabled((events & POLLOUT) != 0);
}

void CEngineHost::OnSocket(unsigned readiness) {
  link_.HandleSocketReadiness(readiness, 0);
  SyncSocket();
}

}  // namespace tarvik
