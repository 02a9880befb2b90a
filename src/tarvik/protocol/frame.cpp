#include "tarvik/protocol/frame.h"

#include <charconv>
#include <cmath>
#include <cstdarg>
#include <cstdio>

namespace tarvik {

std::array<std::uint8_t, 2> FrameChecksum(const std::uint8_t* payload, std::size_t length) {
  unsigned sum = 0;
  for (std::size_t i = 0; i < length; ++i) sum += payload[i];
  const unsigned v = (256u - (sum & 0xFFu)) & 0xFFu;
  if (v < 128) return {128, static_cast<std::uint8_t>(v + 128)};
  return {0, static_cast<std::uint8_t>(v)};
}

void FrameWriter::Append(std::string_view text) {
  for (char c : text) AppendByte(static_cast<std::uint8_t>(c));
}

void FrameWriter::AppendByte(std::uint8_t byte) {
  if (size_ >= kFrameBufferSize) {
    overflow_ = true;
    return;
  }
  bytes_[static_cast<size_t>(size_++)] = byte;
}

void FrameWriter::Printf(const char* format, ...) {
  const int room = kFrameBufferSize - size_;
  va_list args;
  va_start(args, format);
  // The buffer has spare bytes behind the frame's capacity for vsnprintf's terminating zero.
  const int written = std::vsnprintf(reinterpret_cast<char*>(bytes_.data()) + size_,
                                     static_cast<size_t>(room) + 1, format, args);
  va_end(args);
  if (written < 0) {
    overflow_ = true;
    return;
  }
  if (written > room) {
    size_ = kFrameBufferSize;
    overflow_ = true;
    return;
  }
  size_ += written;
}

void FrameWriter::AppendNarrowed(std::string_view utf8_text) {
  const size_t n = utf8_text.size();
  size_t i = 0;
  while (i < n) {
    const auto lead = static_cast<unsigned char>(utf8_text[i]);
    const size_t extra = (lead & 0xE0) == 0xC0   ? 1
                         : (lead & 0xF0) == 0xE0 ? 2
                         : (lead & 0xF8) == 0xF0 ? 3
                                                 : 0;
    unsigned code = lead;
    bool decoded = extra > 0 && i + extra < n;
    if (decoded) {
      code = lead & (0x3Fu >> extra);
      for (size_t k = 1; k <= extra && decoded; ++k) {
        const auto next = static_cast<unsigned char>(utf8_text[i + k]);
        decoded = (next & 0xC0) == 0x80;
        code = (code << 6) | (next & 0x3Fu);
      }
    }
    if (!decoded) {
      // ASCII, or a byte that is not part of a UTF-8 sequence: an 8-bit character as it stands.
      AppendByte(lead);
      ++i;
      continue;
    }
    AppendByte(code <= 0xFF ? static_cast<std::uint8_t>(code) : static_cast<std::uint8_t>('?'));
    i += extra + 1;
  }
}

void FrameWriter::AppendFixed4(double value) {
  if (!std::isfinite(value)) value = 0.0;
  char text[64];
  auto result = std::to_chars(text, text + sizeof text, value, std::chars_format::fixed, 4);
  if (result.ec != std::errc()) {
    overflow_ = true;
    return;
  }
  Append(std::string_view(text, static_cast<size_t>(result.ptr - text)));
}

bool FinishRequestFrame(FrameWriter& frame, bool plus_ending) {
  // Everything after "(" counts as the text; four framing bytes make the frame.
  const int text_length = frame.size() - 1;
  if (frame.overflow() || text_length + 4 > kMaxFrameText) return false;
  if (plus_ending) {
    frame.Append("++)");
    return true;
  }
  const auto checksum = FrameChecksum(frame.data() + 1, static_cast<size_t>(text_length));
  frame.AppendByte(checksum[0]);
  frame.AppendByte(checksum[1]);
  frame.AppendByte(')');
  return true;
}

bool BuildModemFrame(std::string_view modem_text, FrameWriter& frame) {
  frame.Clear();
  if (static_cast<int>(modem_text.size()) + 1 > kMaxFrameText) return false;
  frame.Append(modem_text);
  // Only Hayes commands end with CR; "+++" must reach the modem as the bare escape sequence.
  if (modem_text.starts_with("AT")) frame.AppendByte(kCr);
  return true;
}

void BuildProbeFrame(FrameWriter& frame) {
  frame.Clear();
  frame.AppendByte(kCan);
  frame.AppendByte(')');
}

}  // namespace tarvik
