#include "tarvik/eventfiles/seismic_export.h"

#include <cerrno>
#include <cstring>

#include "tarvik/eventfiles/event_traces.h"
#include "tarvik/eventfiles/mseed_writer.h"
#include "tarvik/eventfiles/seed_naming.h"

namespace tarvik {

std::filesystem::path MiniSeedPathFor(const std::filesystem::path& event_file) {
  std::filesystem::path path = event_file;
  path.replace_extension(".mseed");
  return path;
}

MiniSeedExportResult ExportMiniSeed(const std::filesystem::path& event_file,
                                    const MiniSeedExportOptions& options, const kr::StringTable& strings,
                                    int current_year) {
  MiniSeedExportResult result;
  if (options.MiniSeed == 0) {
    result.status = MiniSeedExportStatus::kNotWaveform;
    return result;
  }
  EventTracesResult loaded = LoadEventTraces(event_file, current_year, strings);
  if (!loaded.traces) {
    result.status = loaded.interval_file ? MiniSeedExportStatus::kNotWaveform : MiniSeedExportStatus::kFailed;
    result.error = loaded.error;
    return result;
  }
  SeedNaming naming = DefaultSeedNaming(*loaded.traces);
  naming.network = ToSeedCode(options.MiniSeedNetwork);
  result.error = ValidateSeedNaming(naming, strings);
  if (!result.error.empty()) return result;
  std::filesystem::path path = MiniSeedPathFor(event_file);
  if (path == event_file) {  // an event file named *.mseed: its copy would replace it
    result.error = strings.Format(kMsgCannotWrite, path.string(), std::string(std::strerror(EEXIST)));
    return result;
  }
  MiniSeedWriter writer(*loaded.traces, naming, options.MiniSeedPhysical != 0, strings);
  result.error = writer.WriteFile(path);
  if (!result.error.empty()) return result;
  result.status = MiniSeedExportStatus::kWritten;
  result.path = path;
  return result;
}

}  // namespace tarvik
