#include "krcommon/vibration_assessment.h"

#include <algorithm>
#include <array>
#include <cctype>
#include <cmath>
#include <string>

namespace kr {

namespace {

std::string NormaliseUnit(std::string_view unit) {
  std::string text;
  for (std::size_t i = 0; i < unit.size(); ++i) {
    auto c = static_cast<unsigned char>(unit[i]);
    // "µ" as UTF-8 (C2 B5) or as a single Latin-1 byte both read as "u".
    if (c == 0xC2 && i + 1 < unit.size() && static_cast<unsigned char>(unit[i + 1]) == 0xB5) {
      text.push_back('u');
      ++i;
      continue;
    }
    if (c == 0xB5) {
      text.push_back('u');
      continue;
    }
    // "²" (C2 B2 or B2) is the same as a plain 2.
    if (c == 0xC2 && i + 1 < unit.size() && static_cast<unsigned char>(unit[i + 1]) == 0xB2) {
      text.push_back('2');
      ++i;
      continue;
    }
    if (c == 0xB2) {
      text.push_back('2');
      continue;
    }
    if (std::isspace(c) || c == '^') continue;
    text.push_back(static_cast<char>(std::tolower(c)));
  }
  return text;
}

struct UnitRow {
  std::string_view text;
  Quantity quantity;
  double factor;
};

constexpr std::array kUnits = {
    UnitRow{"mm/s", Quantity::kVelocity, 1.0},          UnitRow{"m/s", Quantity::kVelocity, 1000.0},
    UnitRow{"cm/s", Quantity::kVelocity, 10.0},         UnitRow{"um/s", Quantity::kVelocity, 0.001},
    UnitRow{"nm/s", Quantity::kVelocity, 1e-6},         UnitRow{"in/s", Quantity::kVelocity, 25.4},
    UnitRow{"ips", Quantity::kVelocity, 25.4},          UnitRow{"g", Quantity::kAcceleration, 9.80665},
    UnitRow{"mg", Quantity::kAcceleration, 9.80665e-3}, UnitRow{"m/s2", Quantity::kAcceleration, 1.0},
    UnitRow{"cm/s2", Quantity::kAcceleration, 0.01},    UnitRow{"gal", Quantity::kAcceleration, 0.01},
    UnitRow{"mm/s2", Quantity::kAcceleration, 0.001},   UnitRow{"mm", Quantity::kDisplacement, 1.0},
    UnitRow{"m", Quantity::kDisplacement, 1000.0},      UnitRow{"cm", Quantity::kDisplacement, 10.0},
    UnitRow{"um", Quantity::kDisplacement, 0.001},      UnitRow{"nm", Quantity::kDisplacement, 1e-6},
    UnitRow{"in", Quantity::kDisplacement, 25.4},
};

// The corner values of one line at 10, 50 and 100 Hz.
struct LineValues {
  double at10;
  double at50;
  double at100;
};

constexpr std::array<LineValues, 3> kLines = {
    LineValues{20.0, 40.0, 50.0},
    LineValues{5.0, 15.0, 20.0},
    LineValues{3.0, 8.0, 10.0},
};

double Interpolate(double f, double f0, double v0, double f1, double v1) {
  return v0 + (v1 - v0) * (f - f0) / (f1 - f0);
}

// Which side of the level a value lies on; values closer to it than `tolerance` count as on it, so
// that rounding in the mean cannot put a quiet stretch of exact zeros on one side.
int Side(double value, double level, double tolerance) {
  if (value > level + tolerance) return 1;
  if (value < level - tolerance) return -1;
  return 0;
}

}  // namespace

UnitMeaning ClassifyUnit(std::string_view unit) {
  std::string text = NormaliseUnit(unit);
  for (const UnitRow& row : kUnits) {
    if (text == row.text) return {row.quantity, row.factor};
  }
  return {};
}

double GuidelineVelocity(int line, std::optional<double> frequency_hz) {
  const LineValues& v = kLines[static_cast<std::size_t>(std::clamp(line, kFirstLine, kLastLine) - 1)];
  if (!frequency_hz || !std::isfinite(*frequency_hz)) return v.at10;
  double f = *frequency_hz;
  if (f <= 10.0) return v.at10;
  if (f <= 50.0) return Interpolate(f, 10.0, v.at10, 50.0, v.at50);
  if (f <= 100.0) return Interpolate(f, 50.0, v.at50, 100.0, v.at100);
  return v.at100;
}

std::optional<double> HalfWaveFrequency(std::span<const double> values, std::size_t peak_index, double level,
                                        double sampling_hz) {
  if (sampling_hz <= 0.0 || peak_index >= values.size()) return std::nullopt;
  const double tolerance = 1e-9 * std::fabs(values[peak_index] - level);
  auto side_of = [&](double v) { return Side(v, level, tolerance); };
  const int side = side_of(values[peak_index]);
  if (side == 0) return std::nullopt;
  // Walk back to the first sample that is no longer on the peak's side of the level; the crossing
  // lies between it and the next sample (exactly on it when it equals the level).
  std::optional<double> before;
  for (std::size_t i = peak_index; i-- > 0;) {
    if (side_of(values[i]) == side) continue;
    double a = values[i];
    double b = values[i + 1];
    before = static_cast<double>(i) + (side_of(a) == 0 ? 0.0 : (level - a) / (b - a));
    break;
  }
  std::optional<double> after;
  for (std::size_t j = peak_index + 1; j < values.size(); ++j) {
    if (side_of(values[j]) == side) continue;
    double a = values[j - 1];
    double b = values[j];
    after = static_cast<double>(j) - (side_of(b) == 0 ? 0.0 : (b - level) / (b - a));
    break;
  }
  if (!before || !after || *after <= *before) return std::nullopt;
  double half_period_s = (*after - *before) / sampling_hz;
  return 1.0 / (2.0 * half_period_s);
}

ChannelAssessment AssessChannel(std::span<const double> velocity_mm_s, double sampling_hz, int line) {
  ChannelAssessment result;
  if (velocity_mm_s.empty()) {
    result.guideline = GuidelineVelocity(line, std::nullopt);
    return result;
  }
  result.has_samples = true;
  double sum = 0.0;
  for (std::size_t i = 0; i < velocity_mm_s.size(); ++i) {
    double v = velocity_mm_s[i];
    sum += v;
    if (std::fabs(v) > result.peak) {
      result.peak = std::fabs(v);
      result.signed_peak = v;
      result.peak_index = i;
    }
  }
  result.peak_time_s = sampling_hz > 0.0 ? static_cast<double>(result.peak_index) / sampling_hz : 0.0;
  // The half-wave is measured against the record's mean, so that a small standing offset of the
  // sensor does not shift the crossings or hide them altogether.
  double mean = sum / static_cast<double>(velocity_mm_s.size());
  result.frequency_hz = HalfWaveFrequency(velocity_mm_s, result.peak_index, mean, sampling_hz);
  result.guideline = GuidelineVelocity(line, result.frequency_hz);
  result.ratio = result.peak / result.guideline;
  result.exceeded = result.ratio > 1.0;
  return result;
}

}  // namespace kr
