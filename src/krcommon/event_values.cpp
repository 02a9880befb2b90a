#include "krcommon/event_values.h"

#include <algorithm>

#include "krcommon/event_time.h"

namespace kr {

namespace {

using F = HeaderField;

constexpr F kMantissa[3] = {F::ch_lsb_mant_x, F::ch_lsb_mant_y, F::ch_lsb_mant_z};
constexpr F kExponent[3] = {F::ch_lsb_exp_x, F::ch_lsb_exp_y, F::ch_lsb_exp_z};
constexpr F kGain[3] = {F::gain_corr_x, F::gain_corr_y, F::gain_corr_z};
constexpr F kUnits[3] = {F::ch_units_x, F::ch_units_y, F::ch_units_z};
constexpr F kOffset[3] = {F::ch_offset_x, F::ch_offset_y, F::ch_offset_z};
constexpr F kKbftm[3] = {F::kbftm_x, F::kbftm_y, F::kbftm_z};

}  // namespace

HeaderLayout LayoutForKind(int kind) {
  return kind == 3 || kind == 5 ? HeaderLayout::kX : HeaderLayout::kS;
}

std::array<double, 3> LsbVector(int kind, const HeaderBytes& bytes, bool without_x8_step) {
  EventHeader header(bytes, LayoutForKind(kind));
  std::array<double, 3> lsb{};
  for (int c = 0; c < 3; ++c) {
    double value = static_cast<double>(header.Value(kMantissa[c]));
    for (std::int64_t e = header.Value(kExponent[c]); e < 0; ++e) value /= 10.0;
    lsb[static_cast<std::size_t>(c)] = value;
  }
  if (kind == 3 || kind == 5) {
    bool gains_plausible = true;
    for (F gain : kGain) {
      std::int64_t g = header.Value(gain);
      if (g < 9000 || g > 11000) gains_plausible = false;
    }
    for (int c = 0; c < 3; ++c) {
      lsb[static_cast<std::size_t>(c)] *=
          gains_plausible ? static_cast<double>(header.Value(kGain[c])) / 10000.0 : 1.036;
    }
  }
  if (kind == 5 && !without_x8_step && header.Value(F::adc_resol) == 20) {
    for (double& value : lsb) value *= 8.0;
  }
  return lsb;
}

int FirmwareVersion(int kind, const HeaderBytes& bytes) {
  EventHeader header(bytes, LayoutForKind(kind));
  int major = static_cast<int>(header.Value(F::firmware_major));
  if (kind == 3 || kind == 5) return major * 256 + static_cast<int>(header.Value(F::firmware_minor));
  if (kind == 2 || kind == 4) {
    if (major == 'V') major = 220;
    return major * 100 + static_cast<std::int8_t>(header.RawByte(F::firmware_minor_c));
  }
  int version = major * 256 + static_cast<int>(header.Value(F::firmware_minor));
  return version == 18045 ? 32070 : version;
}

bool IsMillivoltChannel(const EventHeader& header, int channel) {
  if (header.layout() != HeaderLayout::kX || channel < 0 || channel > 2) return false;
  std::span<const std::uint8_t> unit = header.RawBytes(kUnits[channel]);
  static constexpr std::uint8_t kMillivolt[5] = {' ', ' ', ' ', 'm', 'V'};
  return unit.size() == 5 && std::equal(unit.begin(), unit.end(), kMillivolt);
}

std::int32_t MillivoltCorrection(const EventHeader& header, int channel) {
  if (!IsMillivoltChannel(header, channel)) return 0;
  return static_cast<std::int32_t>(header.Value(kOffset[channel]) - header.Value(kKbftm[channel]));
}

EventStart EventStartTime(const EventHeader& header, int current_year) {
  EventStart start;
  start.int_offset = static_cast<int>(header.Value(F::int_offset));
  start.sampling = static_cast<int>(header.Value(F::sampling));
  auto field = [&](F f) { return static_cast<int>(header.Value(f)); };
  if (field(F::int_day) != 0 && field(F::int_month) != 0) {
    start.time =
        MakeEventDateTime(field(F::int_year), field(F::int_month), field(F::int_day), field(F::int_hour),
                          field(F::int_minute), field(F::int_second), current_year);
  }
  return start;
}

}  // namespace kr
