// The trace ring of a link channel: 1000 lines of at most 99 characters, written in place.
#include <algorithm>
#include <cstring>

#include "tarvik/link/link_layer.h"

namespace tarvik {

namespace {

constexpr int kLastColumn = kTraceLineSize - 2;  // the 99th character ends a wrapped line

void DiscardInput(LinkChannel& record) {
  record.last_reply_length = record.input_fill - 5;
  record.input_fill = 0;
}

// Calls visit for every line, oldest first. A line still being written (column above 0) is the
// newest one and comes last, so neither it nor the oldest line is lost.
template <typename Visit>
void ForEachLineOldestFirst(const LinkChannel& record, Visit visit) {
  const int current = std::clamp(record.trace_line, 0, kTraceLines - 1);
  const bool partial = record.trace_column > 0;
  int first = 0;
  int count = current + (partial ? 1 : 0);
  if (record.ring_wrapped) {
    count = kTraceLines;
    first = partial ? (current + 1) % kTraceLines : current;
  }
  for (int i = 0; i < count; ++i) {
    const auto& line = record.trace_ring[(first + i) % kTraceLines];
    visit(std::string_view(line.data(), strnlen(line.data(), line.size())));
  }
}

bool WriteRing(const LinkChannel& record, std::FILE* file) {
  bool ok = true;
  ForEachLineOldestFirst(record, [&](std::string_view line) {
    if (!ok) return;
    if (std::fwrite(line.data(), 1, line.size(), file) != line.size() ||
        std::fwrite("\r\n", 1, 2, file) != 2) {
      ok = false;
    }
  });
  return ok && std::fflush(file) == 0;
}

void StartRingAfresh(LinkChannel& record) {
  record.trace_line = 0;
  record.trace_column = 0;
  record.ring_wrapped = false;
}

}  // namespace

void LinkLayer::WriteToRing(LinkChannel& record, const char* bytes, int length) {
  // Fields the protocol layer rewinds directly are kept in range here.
  record.trace_line = std::clamp(record.trace_line, 0, kTraceLines - 1);
  record.trace_column = std::clamp(record.trace_column, 0, kLastColumn);

  auto clear_current = [&record] { record.trace_ring[record.trace_line].fill('\0'); };
  auto end_line = [&record] {
    record.trace_column = 0;
    if (++record.trace_line >= kTraceLines) {
      record.trace_line = 0;
      record.ring_wrapped = true;
    }
  };

  if (record.trace_column == 0) clear_current();
  // A line that a line end starts is cleared when its first byte arrives, so that the oldest line
  // of a full ring survives until it is really overwritten.
  bool clear_pending = false;
  for (int i = 0; i < length; ++i) {
    const char byte = bytes[i];
    if (byte == '\n') {
      end_line();
      clear_pending = true;
      continue;
    }
    if (byte == '\r') {
      record.trace_column = 0;
      if (record.cr_ends_trace_line) {
        end_line();
        clear_pending = true;
      }
      continue;
    }
    if (clear_pending) {
      clear_current();
      clear_pending = false;
    }
    record.trace_ring[record.trace_line][record.trace_column] = byte;
    if (record.trace_column < kLastColumn) {
      ++record.trace_column;
    } else if (record.wrap_long_trace_lines) {
      end_line();
      clear_pending = true;
    }
  }
}

void LinkLayer::TraceWrite(const char* bytes, int length, std::uint16_t channel) {
  LinkChannel* c = Channel(channel);
  if (c == nullptr || bytes == nullptr || length <= 0) return;
  WriteToRing(*c, bytes, length);
}

void LinkLayer::TraceLine(std::string_view text, std::uint16_t channel) {
  LinkChannel* c = Channel(channel);
  if (c == nullptr || text.empty()) return;
  if (c->trace_column != 0) WriteToRing(*c, "\n", 1);
  WriteToRing(*c, text.data(), static_cast<int>(text.size()));
  WriteToRing(*c, "\n", 1);
  DiscardInput(*c);
  RepaintTrace(channel);
}

void LinkLayer::TraceError(std::string_view text, std::uint16_t channel) {
  LinkChannel* c = Channel(channel);
  if (c == nullptr || text.empty()) return;
  TraceLine(text, channel);
  c->tick_counter = 0;
  if (c->link_state != LinkCommError && c->link_state != LinkOffline && c->link_state != LinkTimedOut) {
    c->link_state = LinkCommError;
  }
}

void LinkLayer::TraceEndReply(std::uint16_t channel) {
  LinkChannel* c = Channel(channel);
  if (c == nullptr) return;
  c->tick_counter = 0;
  WriteToRing(*c, "\n", 1);
  DiscardInput(*c);
  RepaintTrace(channel);
}

int LinkLayer::TraceLineCount(std::uint16_t channel) const {
  const LinkChannel* c = Channel(channel);
  if (c == nullptr) return 0;
  return c->ring_wrapped ? kTraceLines : c->trace_line;
}

void LinkLayer::TraceReset(std::uint16_t channel) {
  // The wrapped flag goes too: otherwise the next dump would repeat the discarded lines.
  if (LinkChannel* c = Channel(channel)) StartRingAfresh(*c);
}

bool LinkLayer::TraceDumpToFile(std::FILE* file, std::uint16_t channel) {
  LinkChannel* c = Channel(channel);
  if (c == nullptr || file == nullptr) return false;
  if (!WriteRing(*c, file)) return false;
  StartRingAfresh(*c);
  return true;
}

bool LinkLayer::TraceDumpToFile(const std::filesystem::path& path, std::uint16_t channel) {
  LinkChannel* c = Channel(channel);
  if (c == nullptr) return false;
  std::FILE* file = std::fopen(path.c_str(), "wb");
  if (file == nullptr) return false;
  const bool written = WriteRing(*c, file);
  const bool closed = std::fclose(file) == 0;
  if (!written || !closed) return false;
  StartRingAfresh(*c);
  return true;
}

void LinkLayer::TraceAppendToText(std::string& text, std::uint16_t channel) const {
  const LinkChannel* c = Channel(channel);
  if (c == nullptr) return;
  ForEachLineOldestFirst(*c, [&text](std::string_view line) {
    text.append(line);
    text.append("\r\n");
  });
}

void LinkLayer::RepaintTrace(std::uint16_t channel) {
  const LinkChannel* c = Channel(channel);
  if (c != nullptr && c->trace_view_visible && !c->trace_view_frozen && repaint_) repaint_(channel);
}

}  // namespace tarvik
