#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <string_view>

namespace tarvik {

inline constexpr std::uint8_t kCan = 24;  // sent alone to cancel an exchange, and in the probe
inline constexpr std::uint8_t kCr = 13;

// The two checksum bytes of a frame or reply payload: v = (256 - sum) mod 256; v below 128 gives
// 128, v + 128, else 0, v. The second byte always has bit 7 set, so it can never be mistaken for
// a character of the payload.
std::array<std::uint8_t, 2> FrameChecksum(const std::uint8_t* payload, std::size_t length);
inline std::array<std::uint8_t, 2> FrameChecksum(std::string_view payload) {
  return FrameChecksum(reinterpret_cast<const std::uint8_t*>(payload.data()), payload.size());
}

// Frames are built in a fixed buffer of 101 bytes: the text between the framing bytes plus the
// four framing bytes (one for a modem string) may not exceed 100.
inline constexpr int kFrameBufferSize = 101;
inline constexpr int kMaxFrameText = 100;

// A frame under construction. Text that does not fit is cut and remembered as an overflow, so the
// caller can refuse the frame instead of sending a truncated one.
class FrameWriter {
 public:
  void Clear() {
    size_ = 0;
    overflow_ = false;
  }
  void Append(std::string_view text);
  void AppendByte(std::uint8_t byte);
  void Printf(const char* format, ...) __attribute__((format(printf, 2, 3)));
  // Protocol text is 8-bit: each character of a UTF-8 text becomes its code as one byte; characters
  // above 255 become "?" (their low byte could be a framing character).
  void AppendNarrowed(std::string_view utf8_text);
  // Decimal with four places and "." as the point, whatever the PC's locale says.
  void AppendFixed4(double value);

  bool overflow() const { return overflow_; }
  int size() const { return size_; }
  const std::uint8_t* data() const { return bytes_.data(); }
  std::string_view view() const {
    return {reinterpret_cast<const char*>(bytes_.data()), static_cast<size_t>(size_)};
  }

 private:
  // Room for a frame of the maximum size and the terminating zero vsnprintf writes.
  std::array<std::uint8_t, kFrameBufferSize + 4> bytes_{};
  int size_ = 0;
  bool overflow_ = false;
};

// Closing a request frame "(" + text: the checksum over the text and ")", or, for the frames that
// carry no checksum (free-form commands, Au), "++)". False (and nothing appended) when the text is
// too long for a frame.
bool FinishRequestFrame(FrameWriter& frame, bool plus_ending);

// The frame of a modem string: the text, and CR when it is an "AT" command. False when too long.
bool BuildModemFrame(std::string_view modem_text, FrameWriter& frame);

// The probe: CAN and ")"; a unit that answers "?" runs at our baud rate.
void BuildProbeFrame(FrameWriter& frame);

}  // namespace tarvik
