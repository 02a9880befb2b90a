// The seismic exports on arbitrary files: load the traces, write miniSEED and SAC, assess the channels.
// Anything the loader accepts must be written and assessed without a crash; anything else must end in
// a message.

#include <unistd.h>

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <string>
#include <vector>

#include "krcommon/vibration_assessment.h"
#include "tarvik/eventfiles/event_traces.h"
#include "tarvik/eventfiles/mseed_writer.h"
#include "tarvik/eventfiles/sac_writer.h"
#include "tarvik/eventfiles/seed_naming.h"
#include "tarvik/resources/tarvik_strings.h"

namespace {

const std::filesystem::path& Folder() {
  static const std::filesystem::path folder = [] {
    auto path = std::filesystem::temp_directory_path() / ("kr_fuzz_seismic_" + std::to_string(::getpid()));
    std::filesystem::create_directories(path);
    return path;
  }();
  return folder;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  static const kr::StringTable strings = tarvik::MakeTarvikStringTable();
  std::filesystem::path input = Folder() / "in.evt";
  std::FILE* file = std::fopen(input.c_str(), "wb");
  if (file == nullptr) return 0;
  std::fwrite(data, 1, size, file);
  std::fclose(file);

  tarvik::EventTracesResult loaded = tarvik::LoadEventTraces(input, 2026, strings);
  if (!loaded.traces) {
    if (loaded.error.empty()) __builtin_trap();
    return 0;
  }
  const tarvik::EventTraces& traces = *loaded.traces;
  tarvik::SeedNaming naming = tarvik::DefaultSeedNaming(traces);
  if (!tarvik::ValidateSeedNaming(naming, strings).empty()) __builtin_trap();  // defaults are always valid
  tarvik::MiniSeedWriter(traces, naming, size % 2 == 0, strings).WriteFile(Folder() / "out.mseed");
  for (std::size_t c = 0; c < 3; ++c) {
    std::vector<double> values = traces.channels[c].Physical();
    tarvik::SacTrace sac{traces.start_us,    traces.sampling,       values,
                         naming.network,     naming.station,        naming.location,
                         naming.channels[c], traces.recorder_model, traces.channels[c].unit,
                         traces.latitude,    traces.longitude};
    tarvik::WriteSacFile(Folder() / "out.sac", sac, strings);
    kr::AssessChannel(values, traces.sampling, static_cast<int>(c) + 1);
  }
  return 0;
}
