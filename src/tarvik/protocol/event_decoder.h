#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <span>

namespace tarvik {

// Bytes of one downloaded pair of blocks (two 128-byte data parts).
inline constexpr std::size_t kEventPairSize = 256;

// The packed records of a pair: bytes 2..254 hold records back to back, byte 255 their count. The
// smallest record is one byte, so a pair yields at most 253 records of three samples.
inline constexpr std::size_t kFirstRecordByte = 2;
inline constexpr std::size_t kRecordCountByte = 255;
inline constexpr std::size_t kMaxPairRecords = kRecordCountByte - kFirstRecordByte;
inline constexpr std::size_t kMaxDecodedPairBytes = kMaxPairRecords * 3 * 3;

// Samples of one pair, written into a fixed buffer so that the download allocates nothing per block.
struct DecodedPair {
  std::array<std::uint8_t, kMaxDecodedPairBytes> bytes{};
  std::size_t size = 0;   // bytes of samples in `bytes`
  int records = 0;        // records decoded
  bool complete = false;  // all records the count byte names were inside the pair
};

// Decodes the packed records of an skr/vkr pair (`wide` false: three 16-bit samples per record) or
// of an xkr pair (`wide` true: three 24-bit samples), each sample little-endian, channels in order.
// A record that would reach past byte 254 ends the decoding; `complete` is then false and only the
// records before it are in `out`.
void DecodeEventPair(std::span<const std::uint8_t, kEventPairSize> pair, bool wide, DecodedPair& out);

}  // namespace tarvik
