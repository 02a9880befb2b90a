#pragma once

#include <string>

#include "tarvik/engine/engine_core.h"

namespace tarvik {

// Hands a prepared macro text to the link piece by piece: each ";" piece is one free-form command
// (69), sent when the link is idle. A piece the recorder refuses does not stop the text.
class MacroSender {
 public:
  void Start(std::string text);
  bool active() const { return active_; }
  // One tick: kListRunning while pieces remain or the link is busy, kListDone when the last piece
  // has been handed over (the engine's macro-text-sent flag is then set), LinkTimedOut or
  // LinkOffline when the link failed.
  int Step(EngineCore& core);

 private:
  std::string text_;
  std::size_t offset_ = 0;
  bool active_ = false;
};

}  // namespace tarvik
