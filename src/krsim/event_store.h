#pragma once

#include <deque>
#include <vector>

#include "krsim/event_generator.h"

namespace krsim {

// The events in one recorder's memory, oldest first, with their file numbers 1..255. With ring
// memory the numbers wrap from 255 to 1 and a new event replaces the one that had its number;
// without, the memory is full at 255 events and takes no more until it is erased.
class EventStore {
 public:
  static constexpr int kMaxFileNumber = 255;

  explicit EventStore(RecorderIdentity identity) : identity_(std::move(identity)) {}

  const RecorderIdentity& identity() const { return identity_; }
  bool ring_memory() const { return ring_memory_; }
  void set_ring_memory(bool on) { ring_memory_ = on; }

  int Count() const { return static_cast<int>(events_.size()); }
  // The newest event's file number, 0 when the memory is empty.
  int Highest() const { return events_.empty() ? 0 : events_.back().file_number; }
  const StoredEvent* Find(int file_number) const;
  const std::deque<StoredEvent>& Events() const { return events_; }

  // The number the next event gets, 0 when the memory is full.
  int NextNumber() const;
  // Records a new event of the kind at the time; false when the memory is full.
  bool Add(EventKind kind, const kr::DateTime& time);
  // Records an event under a given number (the memory's contents at power-on), replacing any
  // event of that number.
  void AddAt(int file_number, EventKind kind, const kr::DateTime& time);
  bool Erase(int file_number);
  void EraseAll() { events_.clear(); }
  // Total bytes of all stored events, as the memory-used figures count them.
  long long BytesUsed() const;

 private:
  RecorderIdentity identity_;
  bool ring_memory_ = true;
  std::deque<StoredEvent> events_;
};

}  // namespace krsim
