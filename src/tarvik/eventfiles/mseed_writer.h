#pragma once

#include <filesystem>
#include <string>
#include <vector>

#include "krcommon/string_table.h"
#include "tarvik/eventfiles/event_traces.h"
#include "tarvik/eventfiles/seed_naming.h"

namespace tarvik {

// Message ids of the miniSEED writer (string table, area "event files").
inline constexpr int kMsgCannotWrite = 25141;
inline constexpr int kMsgPackFailed = 25142;

// miniSEED (SEED 2.4 data records, 512 bytes, big-endian) of the three channels of an event: counts
// as Steim-2 compressed 32-bit integers, or with `physical` the values in the channels' units as
// 64-bit floats. Quality indicator "D".
class MiniSeedWriter {
 public:
  MiniSeedWriter(const EventTraces& traces, const SeedNaming& naming, bool physical,
                 const kr::StringTable& strings)
      : traces_(traces), naming_(naming), physical_(physical), strings_(strings) {}

  // One file with the three traces, one after the other. The file is written under a temporary name
  // and renamed when complete, so a failed write never leaves a short file under the final name.
  // Returns the message on failure, empty on success.
  std::string WriteFile(const std::filesystem::path& path) const;

  // Appends each channel to the day files of an SDS archive below `root` (a record that crosses
  // midnight is split at it), creating the folders. `written` receives the day files touched.
  std::string WriteSds(const std::filesystem::path& root, std::vector<std::filesystem::path>& written) const;

  static constexpr int kRecordLength = 512;

 private:
  // Packs samples [begin, end) of one channel into records appended to `file`; false on failure.
  bool PackSegment(std::FILE* file, int channel, std::size_t begin, std::size_t end) const;
  // The first sample at or after `boundary_us`, searched from `from`.
  std::size_t FirstSampleFrom(std::size_t from, std::int64_t boundary_us) const;

  const EventTraces& traces_;
  const SeedNaming& naming_;
  bool physical_;
  const kr::StringTable& strings_;
};

}  // namespace tarvik
