#include "krsim/event_store.h"

#include <algorithm>

namespace krsim {

const StoredEvent* EventStore::Find(int file_number) const {
  for (const StoredEvent& event : events_) {
    if (event.file_number == file_number) return &event;
  }
  return nullptr;
}

int EventStore::NextNumber() const {
  const int next = Highest() + 1;
  if (next <= kMaxFileNumber) return Find(next) == nullptr || ring_memory_ ? next : 0;
  return ring_memory_ ? 1 : 0;
}

bool EventStore::Add(EventKind kind, const kr::DateTime& time) {
  const int number = NextNumber();
  if (number == 0) return false;
  AddAt(number, kind, time);
  return true;
}

void EventStore::AddAt(int file_number, EventKind kind, const kr::DateTime& time) {
  Erase(file_number);  // ring memory: the oldest event of this number is overwritten
  events_.push_back(MakeEvent(identity_, file_number, kind, time));
}

bool EventStore::Erase(int file_number) {
  const auto it = std::find_if(events_.begin(), events_.end(),
                               [&](const StoredEvent& e) { return e.file_number == file_number; });
  if (it == events_.end()) return false;
  events_.erase(it);
  return true;
}

long long EventStore::BytesUsed() const {
  long long bytes = 0;
  for (const StoredEvent& event : events_) bytes += 128LL * event.BlockCount();
  return bytes;
}

}  // namespace krsim
