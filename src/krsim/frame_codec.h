#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace krsim {

// Control bytes of the line.
inline constexpr std::uint8_t kSoh = 1;
inline constexpr std::uint8_t kEot = 4;
inline constexpr std::uint8_t kAck = 6;
inline constexpr std::uint8_t kNak = 21;
inline constexpr std::uint8_t kCan = 24;

// A request frame is "(" code ... checksum ")" and never longer than this; anything longer is noise.
inline constexpr std::size_t kMaxRequestFrame = 100;

// The two checksum bytes of a frame: v = (256 - sum of the payload bytes) mod 256; bytes 128, v + 128
// when v < 128, else 0, v. The second byte therefore always has bit 7 set and is never ")".
std::array<std::uint8_t, 2> FrameChecksum(std::string_view payload);

// "*(" payload checksum ")" - the answer to a read command.
std::string BuildDataReply(std::string_view payload);

// What arrives from the PC, cut into its units.
struct InboundToken {
  enum class Kind {
    kFrame,        // a complete frame whose checksum matched, or one ending "++)"
    kBadChecksum,  // a complete frame whose checksum did not match
    kOverlong,     // more than kMaxRequestFrame bytes without an end; discarded
    kProbe,        // CAN ")" - the baud-rate probe
    kCancel,       // a lone CAN: the PC gave up waiting
  };
  Kind kind = Kind::kFrame;
  // For frames: the bytes between "(" and the checksum (or the "++").
  std::string body;
  // The frame ended with "++)" instead of checksum bytes (typed commands, and the Au write).
  bool unchecked = false;
  // The bytes as received, for the transcript.
  std::string raw;
};

// Cuts the byte stream from the PC into frames, probes and cancels. Bytes outside a frame are
// dropped; a CAN inside a frame discards the frame (the PC sends CAN when it gives up on a reply and
// then repeats the whole command).
class RequestParser {
 public:
  void Feed(std::string_view bytes, std::vector<InboundToken>& out);
  // True while part of a frame (or a CAN that may start a probe) is held.
  bool Busy() const { return in_frame_ || can_pending_; }
  void Reset();

 private:
  void FeedByte(char c, std::vector<InboundToken>& out);
  void FeedFrameByte(char c, std::vector<InboundToken>& out);
  bool EndsFrame() const;
  void FinishFrame(std::vector<InboundToken>& out);

  std::string frame_;  // from "(" on
  bool in_frame_ = false;
  bool can_pending_ = false;
};

// Printable form of protocol bytes for the transcript: ASCII 32..126 as they are, everything else
// as "[xx]" in hex.
std::string Printable(std::string_view bytes);

}  // namespace krsim
