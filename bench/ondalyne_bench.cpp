// Speed of the viewer: loading and first paint of a long record beside a plain decode of the same
// file, redraws at the whole record and at 1000x zoom, and the spectrum of 2^20 points.
// Run: build/bench/ondalyne_benchmarks
#include <benchmark/benchmark.h>

#include <QGuiApplication>
#include <QImage>
#include <QPainter>
#include <cmath>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <vector>

#include "krcommon/event_bytes.h"
#include "krcommon/event_header.h"
#include "ondalyne/core/frequency_analysis.h"
#include "ondalyne/core/ondalyne_doc.h"
#include "ondalyne/render/page_renderer.h"
#include "ondalyne/resources/ondalyne_strings.h"

namespace {

constexpr std::uint32_t kSamples = 10'800'000;  // one hour at 3000 per second
constexpr int kRate = 3000;

// A 3-channel xkr file of kSamples frames: noise and a few bursts, written once per run.
const std::string& LongFile() {
  static const std::string path = [] {
    const auto file = std::filesystem::temp_directory_path() / "ondalyne_bench_long.xkr";
    kr::HeaderBytes header{};
    using F = kr::HeaderField;
    const auto layout = kr::HeaderLayout::kX;
    kr::SetHeaderText(header, layout, F::rec_name, "XKR4100");
    kr::SetHeaderValue(header, layout, F::nb_samples, kSamples);
    kr::SetHeaderValue(header, layout, F::sampling, kRate);
    kr::SetHeaderValue(header, layout, F::nb_channel, 3);
    for (F f : {F::ch_lsb_mant_x, F::ch_lsb_mant_y, F::ch_lsb_mant_z})
      kr::SetHeaderValue(header, layout, f, 1);
    for (F f : {F::ch_lsb_exp_x, F::ch_lsb_exp_y, F::ch_lsb_exp_z}) kr::SetHeaderValue(header, layout, f, -6);
    for (F f : {F::gain_corr_x, F::gain_corr_y, F::gain_corr_z}) kr::SetHeaderValue(header, layout, f, 10000);
    for (F f : {F::ch_units_x, F::ch_units_y, F::ch_units_z}) kr::SetHeaderText(header, layout, f, " mm/s");
    std::ofstream out(file, std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(header.data()), header.size());
    std::vector<std::uint8_t> chunk;
    std::uint32_t noise = 12345;
    for (std::uint32_t i = 0; i < kSamples; ++i) {
      for (int c = 0; c < 3; ++c) {
        noise = noise * 1664525u + 1013904223u;
        double burst =
            (i % 600000) < 30000 ? 3e6 * std::sin(i * 0.02 * (c + 1)) * std::exp(-(i % 600000) / 8000.0) : 0;
        auto v = static_cast<std::int32_t>(burst) + static_cast<std::int32_t>(noise >> 24) - 128;
        auto raw = static_cast<std::uint32_t>(v);
        chunk.push_back(raw & 0xFF);
        chunk.push_back((raw >> 8) & 0xFF);
        chunk.push_back((raw >> 16) & 0xFF);
      }
      if (chunk.size() >= (1u << 20)) {
        out.write(reinterpret_cast<const char*>(chunk.data()), static_cast<std::streamsize>(chunk.size()));
        chunk.clear();
      }
    }
    out.write(reinterpret_cast<const char*>(chunk.data()), static_cast<std::streamsize>(chunk.size()));
    return file.string();
  }();
  return path;
}

const kr::StringTable& Strings() {
  static const kr::StringTable strings = ondalyne::MakeOndalyneStringTable();
  return strings;
}

// The least a reader must do: read the file and turn every count into its physical value.
void BM_PlainDecode(benchmark::State& state) {
  const std::string& path = LongFile();
  for (auto _ : state) {
    std::ifstream in(path, std::ios::binary);
    std::vector<std::uint8_t> bytes(std::filesystem::file_size(path));
    in.read(reinterpret_cast<char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
    std::vector<double> values(3ull * kSamples);
    const std::span<const std::uint8_t> data(bytes);
    for (std::size_t i = 0; i < values.size(); ++i) values[i] = kr::ReadI24Le(data, 256 + 3 * i) * 1e-6;
    benchmark::DoNotOptimize(values.data());
  }
}
BENCHMARK(BM_PlainDecode)->Unit(benchmark::kMillisecond);

void BM_Load(benchmark::State& state) {
  const std::string& path = LongFile();
  for (auto _ : state) {
    ondalyne::COndalyneDoc doc;
    doc.Load(path, Strings(), {});
    benchmark::DoNotOptimize(doc.count());
  }
}
BENCHMARK(BM_Load)->Unit(benchmark::kMillisecond);

void Paint(ondalyne::CPageRenderer& renderer, ondalyne::ViewState& view, QImage& image) {
  image.fill(Qt::white);
  QPainter painter(&image);
  renderer.Paint(painter, image.rect(), view, {});
}

void BM_LoadAndFirstPaint(benchmark::State& state) {
  const std::string& path = LongFile();
  QImage image(1200, 800, QImage::Format_RGB32);
  for (auto _ : state) {
    ondalyne::COndalyneDoc doc;
    doc.Load(path, Strings(), {});
    ondalyne::CPageRenderer renderer(doc, Strings());
    ondalyne::ViewState view = ondalyne::InitialViewState(doc, true, false);
    Paint(renderer, view, image);
  }
}
BENCHMARK(BM_LoadAndFirstPaint)->Unit(benchmark::kMillisecond);

// Redraws of a loaded document: state.range(0) is the zoom factor.
void BM_Redraw(benchmark::State& state) {
  static ondalyne::COndalyneDoc doc;
  if (doc.kind() != 3) doc.Load(LongFile(), Strings(), {});
  ondalyne::CPageRenderer renderer(doc, Strings());
  ondalyne::ViewState view = ondalyne::InitialViewState(doc, true, false);
  QImage image(1200, 800, QImage::Format_RGB32);
  Paint(renderer, view, image);  // builds the level cache, as the first paint does
  const std::int64_t shown = kSamples / state.range(0);
  const std::int64_t first = state.range(0) == 1 ? 0 : kSamples / 3;
  view.zoom = {first, first + shown};
  for (auto _ : state) {
    view.recompute = true;
    Paint(renderer, view, image);
  }
}
BENCHMARK(BM_Redraw)->Arg(1)->Arg(1000)->Unit(benchmark::kMillisecond);

void BM_Spectrum(benchmark::State& state) {
  const std::size_t n = 1u << 20;
  for (auto _ : state) {
    auto s = ondalyne::ComputeSpectrum(n, 3000, 0,
                                       [](std::size_t k) { return std::sin(0.01 * k) + 0.001 * (k % 7); });
    benchmark::DoNotOptimize(s.peak_amplitude);
  }
}
BENCHMARK(BM_Spectrum)->Unit(benchmark::kMillisecond);

}  // namespace

int main(int argc, char** argv) {
  qputenv("QT_QPA_PLATFORM", "offscreen");
  QGuiApplication app(argc, argv);
  benchmark::Initialize(&argc, argv);
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  return 0;
}
