#pragma once

#include <cstdint>
#include <filesystem>
#include <optional>
#include <span>
#include <string>

#include "krcommon/string_table.h"

namespace tarvik {

// What one SAC file holds: an evenly sampled trace with its start and names.
struct SacTrace {
  std::int64_t start_us = 0;  // first sample, microseconds since 1970
  int sampling = 0;           // samples per second
  std::span<const double> values;
  std::string network;
  std::string station;
  std::string location;
  std::string channel;
  std::string instrument;  // the recorder model
  std::string unit;        // decides idep
  std::optional<double> latitude;
  std::optional<double> longitude;
};

// SAC's enumerated values of idep.
inline constexpr int kSacUnknown = 5;
inline constexpr int kSacDisplacement = 6;
inline constexpr int kSacVelocity = 7;
inline constexpr int kSacAcceleration = 8;
int SacDependentKind(const std::string& unit);

// Writes a binary SAC file, header version 6, little-endian: the 158-word header (70 floats, 40
// integers and logicals, 192 bytes of names) and the values as 32-bit floats. The reference time is
// the start time cut to the millisecond, `b` the rest, `e` the time of the last sample; iztype is
// "begin time". The file is written under a temporary name and renamed when complete. Returns the
// message on failure, empty on success.
std::string WriteSacFile(const std::filesystem::path& path, const SacTrace& trace,
                         const kr::StringTable& strings);

}  // namespace tarvik
