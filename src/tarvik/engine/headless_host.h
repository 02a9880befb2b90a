#pragma once

#include <functional>

#include "tarvik/engine/operation_engine.h"
#include "tarvik/link/link_layer.h"
#include "tarvik/link/wake_event.h"

namespace tarvik {

// The host of the engine without windows (tarvik-cli, integration tests): a poll() loop that ticks
// the engine every polling period and, between ticks, hands the TCP socket's readiness to the link
// layer. The serial reader runs on its own thread; its repaint requests wake the loop through an
// eventfd so that what it received is looked at by the next tick without delay. The poll() timeout
// is the only place anything waits.
class HeadlessHost {
 public:
  HeadlessHost(LinkLayer& link, OperationEngine& engine, int polling_ms);
  HeadlessHost(const HeadlessHost&) = delete;
  HeadlessHost& operator=(const HeadlessHost&) = delete;

  // Ticks until `done` holds (checked before every tick) or `max_ticks` ticks have run; true when
  // `done` held.
  bool RunUntil(const std::function<bool()>& done, long long max_ticks);
  // Runs until the engine is idle.
  bool RunUntilIdle(long long max_ticks);

  long long ticks() const { return ticks_; }

 private:
  void WaitUntil(long long deadline_ms);

  LinkLayer& link_;
  OperationEngine& engine_;
  int polling_ms_;
  long long ticks_ = 0;
  WakeEvent wake_;
};

}  // namespace tarvik
