#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <span>
#include <vector>

namespace krsim {

// One sampling instant of the three channels X, Y, Z, in counts.
using Frame = std::array<std::int32_t, 3>;

// Sample width of the waveform files: 16 bits for skr/vkr, 24 bits for xkr. The packed forms differ
// between the two (the xkr file has no one-byte form and reaches 20 bits instead of 16).
enum class SampleWidth { k16, k24 };

// A 256-byte pair of transfer blocks: bytes 0-1 a running pair number, packed records from byte 2
// on, byte 255 the number of records in the pair.
using DataPair = std::array<std::uint8_t, 256>;

inline constexpr std::size_t kPairRecordStart = 2;
inline constexpr std::size_t kPairRecordEnd = 255;  // first byte that records may not use

// Size in bytes of the smallest record form that holds the frame exactly; 0 when no form of that
// width holds it (beyond 16 bits for skr/vkr, beyond 20 bits for xkr).
std::size_t RecordSize(const Frame& frame, SampleWidth width);

// Appends the smallest record that holds the frame. False (and nothing appended) when no form
// holds it.
bool EncodeRecord(const Frame& frame, SampleWidth width, std::vector<std::uint8_t>& out);

// Packs the frames, in order, into as many pairs as they need; a record never straddles two pairs.
// Frames that no form holds are clipped to the widest form's range first, the way a recorder's
// converter saturates.
std::vector<DataPair> PackFrames(std::span<const Frame> frames, SampleWidth width);

// The largest magnitude any record form of the width can carry (32767 or 524287).
std::int32_t MaxEncodableMagnitude(SampleWidth width);

}  // namespace krsim
