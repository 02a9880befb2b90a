#pragma once

#include <filesystem>
#include <string>

#include "krcommon/string_table.h"

namespace tarvik {

// The miniSEED copy written next to each downloaded event file (Tarvik.ini, section [Export]).
struct MiniSeedExportOptions {
  int MiniSeed = 0;                    // 1: write "<event file without extension>.mseed" after each download
  std::string MiniSeedNetwork = "XX";  // network code of the streams
  int MiniSeedPhysical = 0;            // 1: values in the channels' units (64-bit floats) instead of counts
};

enum class MiniSeedExportStatus {
  kWritten,      // `path` holds the miniSEED copy
  kNotWaveform,  // an interval file (vmx, bkr, block modes): nothing to write, not a failure
  kFailed,       // `error` says why
};

struct MiniSeedExportResult {
  MiniSeedExportStatus status = MiniSeedExportStatus::kFailed;
  std::filesystem::path path;
  std::string error;  // in the table's language
};

// The path of the miniSEED copy of an event file: same folder and name, extension ".mseed".
std::filesystem::path MiniSeedPathFor(const std::filesystem::path& event_file);

// Writes the miniSEED copy of `event_file` next to it, with the default station and channel names
// and the network of the options. To be called after a download has renamed the event file to its
// final name; it does nothing when `options.MiniSeed` is 0 (status kNotWaveform, no path).
// `current_year` expands the header's two-digit years (the caller's clock).
MiniSeedExportResult ExportMiniSeed(const std::filesystem::path& event_file,
                                    const MiniSeedExportOptions& options, const kr::StringTable& strings,
                                    int current_year);

}  // namespace tarvik
