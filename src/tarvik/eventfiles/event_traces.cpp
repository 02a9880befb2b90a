#include "tarvik/eventfiles/event_traces.h"

#include <cerrno>
#include <cstring>
#include <fstream>
#include <iterator>
#include <span>

#include "krcommon/event_bytes.h"
#include "krcommon/event_header.h"
#include "krcommon/event_values.h"
#include "tarvik/eventfiles/event_kind.h"
#include "tarvik/eventfiles/seed_time.h"

namespace tarvik {

namespace {

using F = kr::HeaderField;

constexpr std::int64_t kMicrosPerSecond = 1000000;

// engg_mode 2, 3 and 4 store periodic blocks whatever the recorder model (the export reads them so).
bool IsBlockMode(int engg_mode) {
  return engg_mode == 2 || engg_mode == 3 || engg_mode == 4;
}

std::optional<std::vector<std::uint8_t>> ReadWholeFile(const std::filesystem::path& path,
                                                       std::string& reason) {
  std::error_code error;
  if (std::filesystem::is_directory(path, error)) {
    reason = std::strerror(EISDIR);
    return std::nullopt;
  }
  std::ifstream in(path, std::ios::binary);
  if (!in) {
    reason = std::strerror(errno);
    return std::nullopt;
  }
  return std::vector<std::uint8_t>(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

void DecodeFrames(std::span<const std::uint8_t> data, int kind, const kr::EventHeader& header,
                  EventTraces& traces) {
  const bool wide = kind == kKindXkr;
  const std::size_t value_size = wide ? 3 : 2;
  const std::size_t frame_size = 3 * value_size;
  std::array<std::int32_t, 3> correction{};
  for (int c = 0; c < 3; ++c) correction[static_cast<std::size_t>(c)] = kr::MillivoltCorrection(header, c);
  const std::size_t frames = data.size() / frame_size;  // an incomplete last frame is left out
  for (ChannelTrace& channel : traces.channels) channel.counts.reserve(frames);
  for (std::size_t f = 0; f < frames; ++f) {
    for (std::size_t c = 0; c < 3; ++c) {
      std::size_t at = f * frame_size + c * value_size;
      std::int32_t value = wide ? kr::ReadI24Le(data, at) + correction[c] : kr::ReadI16Le(data, at);
      traces.channels[c].counts.push_back(value);
    }
  }
}

}  // namespace

std::vector<double> ChannelTrace::Physical() const {
  std::vector<double> values;
  values.reserve(counts.size());
  for (std::int32_t count : counts) values.push_back(static_cast<double>(count) * lsb);
  return values;
}

std::int64_t EventTraces::SampleTime(std::size_t index) const {
  if (sampling <= 0) return start_us;
  auto i = static_cast<std::int64_t>(index);
  // Whole seconds and the remainder apart, so that long records at odd rates do not overflow.
  return start_us + (i / sampling) * kMicrosPerSecond + (i % sampling) * kMicrosPerSecond / sampling;
}

EventTracesResult LoadEventTraces(const std::filesystem::path& path, int current_year,
                                  const kr::StringTable& strings) {
  EventTracesResult result;
  std::string reason;
  std::optional<std::vector<std::uint8_t>> bytes = ReadWholeFile(path, reason);
  if (!bytes) {
    result.error = strings.Format(kMsgTracesOpenError, path.string(), reason);
    return result;
  }
  if (bytes->size() < kr::kEventHeaderSize) {
    result.error = strings.Text(kMsgTracesShortHeader);
    return result;
  }
  kr::HeaderBytes header_bytes{};
  std::memcpy(header_bytes.data(), bytes->data(), kr::kEventHeaderSize);
  const int kind = EventKindFromHeader(header_bytes);
  const kr::EventHeader header(header_bytes, kr::LayoutForKind(kind));
  if (kind == kKindVmx || kind == kKindBkr || IsBlockMode(static_cast<int>(header.Value(F::engg_mode)))) {
    result.error = strings.Format(kMsgIntervalFile, path.string(), std::string(KindExtension(kind)));
    result.interval_file = true;
    return result;
  }

  EventTraces traces;
  traces.kind = kind;
  traces.recorder_serial = header.Text(F::s_number);
  traces.recorder_model = header.Text(F::rec_name);
  kr::EventStart start = kr::EventStartTime(header, current_year);
  traces.sampling = start.sampling;
  if (traces.sampling <= 0) {
    result.error = strings.Format(kMsgNoSampling, path.string());
    return result;
  }
  if (!start.time) {
    result.error = strings.Format(kMsgNoEventTime, path.string());
    return result;
  }
  traces.start_us =
      EpochMicroseconds(*start.time) + std::int64_t{start.int_offset} * kMicrosPerSecond / traces.sampling;
  std::int64_t latitude = header.Value(F::latitude);
  std::int64_t longitude = header.Value(F::longitude);
  if (latitude != 0 || longitude != 0) {
    traces.latitude = static_cast<double>(latitude) / 10000.0;
    traces.longitude = static_cast<double>(longitude) / 10000.0;
  }

  const std::array<double, 3> lsb = kr::LsbVector(kind, header_bytes, /*without_x8_step=*/false);
  const F names[3] = {F::ch_names_x, F::ch_names_y, F::ch_names_z};
  const F units[3] = {F::ch_units_x, F::ch_units_y, F::ch_units_z};
  for (std::size_t c = 0; c < 3; ++c) {
    traces.channels[c].name = header.Text(names[c]);
    traces.channels[c].unit = header.Text(units[c]);
    traces.channels[c].lsb = lsb[c];
  }
  DecodeFrames(std::span<const std::uint8_t>(*bytes).subspan(kr::kEventHeaderSize), kind, header, traces);
  if (traces.SampleCount() == 0) {
    result.error = strings.Format(kMsgNoSamples, path.string());
    return result;
  }
  result.traces = std::move(traces);
  return result;
}

}  // namespace tarvik
