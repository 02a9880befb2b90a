#pragma once

namespace tarvik {

// A descriptor the serial reader polls next to its port, so that closing the link can wake it
// from its wait at once (an eventfd).
class WakeEvent {
 public:
  WakeEvent() = default;
  ~WakeEvent() { Close(); }
  WakeEvent(const WakeEvent&) = delete;
  WakeEvent& operator=(const WakeEvent&) = delete;

  // 0 or the errno value.
  int Create();
  void Signal();
  // Forgets earlier signals, so that a new reader does not leave at once.
  void Drain();
  void Close();

  bool IsValid() const { return fd_ >= 0; }
  int fd() const { return fd_; }

 private:
  int fd_ = -1;
};

}  // namespace tarvik
