// Export of a one-million-frame xkr file with the time column on, beside a plain read-and-decode of
// the same file. The export is reported as output bytes per second, the decode as input bytes per
// second.

#include <benchmark/benchmark.h>
#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <string>
#include <vector>

#include "krcommon/clock.h"
#include "krcommon/event_bytes.h"
#include "tarvik/eventfiles/event_converter.h"
#include "tarvik/resources/tarvik_strings.h"

namespace {

constexpr std::uint32_t kFrames = 1000000;

class SilentUi final : public tarvik::UiPort {
 public:
  tarvik::MessageAnswer ShowMessage(int, const std::string&, tarvik::MessageIcon,
                                    tarvik::MessageButtons) override {
    return tarvik::MessageAnswer::kOk;
  }
};

// A scratch folder with the input file, made once for all benchmarks.
struct BenchFiles {
  BenchFiles() {
    folder = std::filesystem::temp_directory_path() / ("kr_bench_" + std::to_string(::getpid()));
    std::filesystem::create_directories(folder);
    input = folder / "bench.xkr";
    output = folder / "bench.txt";
    std::vector<std::uint8_t> bytes(256 + std::size_t{kFrames} * 9);
    std::span<std::uint8_t> header(bytes.data(), 256);
    kr::WriteFixedText(header, 64, 7, "XKR4100");
    kr::WriteU32Le(header, 8, kFrames);
    kr::WriteU16Le(header, 54, 1000);  // sampling
    header[56] = 3;                    // nb_channel
    for (std::size_t offset : {83u, 86u, 89u}) {
      kr::WriteU16Le(header, offset, 1);
      header[offset + 2] = 0xFA;  // 10^-6
    }
    for (std::size_t offset : {216u, 218u, 220u}) kr::WriteU16Le(header, offset, 10000);
    const std::uint8_t trigger[6] = {0x30, 0x15, 0x12, 0x15, 0x03, 0x26};
    std::copy(trigger, trigger + 6, header.begin() + 35);
    std::uint32_t noise = 12345;
    for (std::uint32_t i = 0; i < kFrames * 3; ++i) {
      noise = noise * 1103515245u + 12345u;
      kr::WriteI24Le(bytes, 256 + std::size_t{i} * 3, static_cast<std::int32_t>(noise >> 8) - 0x800000);
    }
    std::FILE* file = std::fopen(input.c_str(), "wb");
    std::fwrite(bytes.data(), 1, bytes.size(), file);
    std::fclose(file);
  }
  ~BenchFiles() {
    std::error_code error;
    std::filesystem::remove_all(folder, error);
  }
  std::filesystem::path folder;
  std::filesystem::path input;
  std::filesystem::path output;
};

BenchFiles& Files() {
  static BenchFiles files;
  return files;
}

void BM_ExportXkrWithTimeColumn(benchmark::State& state) {
  BenchFiles& files = Files();
  kr::StringTable strings = tarvik::MakeTarvikStringTable();
  SilentUi ui;
  kr::FixedClock clock(kr::DateTime{2026, 3, 15, 12, 0, 0, 0, 0});
  tarvik::EventConverter converter(strings, ui, clock);
  tarvik::ExportOptions options;
  options.TimeInformation = 1;
  converter.SetOptions(options);
  std::uintmax_t written = 0;
  for (auto _ : state) {
    if (converter.Convert(files.input, files.output) != 1) state.SkipWithError("conversion stopped");
    written += std::filesystem::file_size(files.output);
  }
  state.SetBytesProcessed(static_cast<std::int64_t>(written));
  state.counters["frames"] = kFrames;
}
BENCHMARK(BM_ExportXkrWithTimeColumn)->Unit(benchmark::kMillisecond);

void BM_ReadAndDecodeXkr(benchmark::State& state) {
  BenchFiles& files = Files();
  std::int64_t checksum = 0;
  for (auto _ : state) {
    tarvik::EventConverter::ByteSource source;
    source.Open(files.input);
    std::uint8_t header[256];
    source.Read(header, sizeof header);
    std::uint8_t frame[9];
    while (source.Read(frame, sizeof frame)) {
      for (std::size_t c = 0; c < 3; ++c) checksum += kr::ReadI24Le(frame, 3 * c);
    }
    benchmark::DoNotOptimize(checksum);
  }
  state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations()) *
                          static_cast<std::int64_t>(std::filesystem::file_size(files.input)));
}
BENCHMARK(BM_ReadAndDecodeXkr)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
