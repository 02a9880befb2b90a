#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <vector>

// Test-side counterparts of the simulator's encoders, written from the protocol's tables and not
// from the simulator's code: the packed-record decoder, the frame checksum, and the reply check.
namespace krsim_test {

using Triple = std::array<std::int32_t, 3>;

// Decodes the record at the front of `bytes`; returns its length, or 0 when the bytes are no
// record or the record does not fit in them.
std::size_t DecodeRecord(std::span<const std::uint8_t> bytes, bool xkr, Triple& out);

// The records of one 256-byte pair (bytes 2..254, count in byte 255). An empty `problem` when
// all records decoded inside the pair.
std::vector<Triple> DecodePair(std::span<const std::uint8_t> pair, bool xkr, std::string& problem);

// "(" body checksum ")", the request frame of the PC.
std::string RequestFrame(std::string_view body);

// The payload of a data reply "*(" payload c1 c2 ")" when its checksum matches.
bool OpenDataReply(std::string_view reply, std::string& payload);

}  // namespace krsim_test
