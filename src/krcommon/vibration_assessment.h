#pragma once

#include <cstddef>
#include <optional>
#include <span>
#include <string_view>

namespace kr {

// The assessment of short-term vibration at a building's foundation: per channel the peak particle
// velocity, the frequency of the oscillation that carries it, and the guideline value of DIN 4150-3
// (table 1, foundation) at that frequency. Pure arithmetic on arrays of physical values, shared by
// krtool and the viewer so that both show the same numbers.

// What a channel's unit measures, and the factor that turns its values into the base unit of that
// quantity used here: mm/s for velocities, m/s² for accelerations, mm for displacements.
enum class Quantity { kVelocity, kAcceleration, kDisplacement, kOther };
struct UnitMeaning {
  Quantity quantity = Quantity::kOther;
  double factor = 1.0;
};
// Reads unit texts as the recorders store them ("mm/s", "m/s", "g", "m/s2", "mm", "mV", ...),
// ignoring surrounding blanks and case; "u" and "µ" both mean micro.
UnitMeaning ClassifyUnit(std::string_view unit);

// The three lines of the table: 1 commercial and industrial buildings, 2 dwellings, 3 buildings
// that are particularly sensitive.
inline constexpr int kFirstLine = 1;
inline constexpr int kLastLine = 3;

// The guideline value in mm/s of `line` (1..3) at `frequency_hz`: constant up to 10 Hz (also below
// 1 Hz, where the table ends), linear from 10 to 50 Hz and from 50 to 100 Hz, constant above 100 Hz.
// Line 1: 20, 20..40, 40..50, 50; line 2: 5, 5..15, 15..20, 20; line 3: 3, 3..8, 8..10, 10.
// Without a frequency the lowest value of the line (its 1..10 Hz value) is the safe choice.
double GuidelineVelocity(int line, std::optional<double> frequency_hz);

struct ChannelAssessment {
  bool has_samples = false;
  double peak = 0.0;           // largest absolute value, mm/s
  double signed_peak = 0.0;    // the value at the peak with its sign
  std::size_t peak_index = 0;  // sample of the peak (0 = first sample)
  double peak_time_s = 0.0;    // peak_index / sampling rate
  // The frequency of the half-wave that holds the peak: 1 / (2 x the time between the crossings of
  // the record's mean before and after the peak). None when the half-wave is not closed on both
  // sides within the record.
  std::optional<double> frequency_hz;
  double guideline = 0.0;  // mm/s at that frequency
  double ratio = 0.0;      // peak / guideline
  bool exceeded = false;   // ratio above 1
};

// Assesses one channel of velocities in mm/s sampled at `sampling_hz` against `line`.
ChannelAssessment AssessChannel(std::span<const double> velocity_mm_s, double sampling_hz, int line);

// The frequency of the half-wave around sample `peak_index`, by its crossings of `level` (linear
// interpolation between samples); none when a crossing is missing or the rate is not positive.
std::optional<double> HalfWaveFrequency(std::span<const double> values, std::size_t peak_index, double level,
                                        double sampling_hz);

}  // namespace kr
