#include "krcommon/vibration_assessment.h"

#include <gtest/gtest.h>

#include <cmath>
#include <numbers>
#include <vector>

namespace {

// `lead` quiet samples, then `cycles` whole periods of amplitude x sin(2 pi f t), then `trail` quiet
// samples, plus a constant offset everywhere.
std::vector<double> SineBurst(double rate, double frequency, double amplitude, int cycles, int lead = 100,
                              int trail = 100, double offset = 0.0) {
  std::vector<double> values(static_cast<std::size_t>(lead), offset);
  auto burst = static_cast<int>(std::lround(cycles * rate / frequency));
  for (int i = 0; i < burst; ++i)
    values.push_back(offset + amplitude * std::sin(2 * std::numbers::pi * frequency * i / rate));
  values.insert(values.end(), static_cast<std::size_t>(trail), offset);
  return values;
}

void Append(std::vector<double>& to, const std::vector<double>& more) {
  to.insert(to.end(), more.begin(), more.end());
}

TEST(GuidelineVelocity, TableOneAtTheFoundation) {
  struct Row {
    double f;
    double line1, line2, line3;
  };
  // Worked by hand from the corner values 10/50/100 Hz: 20/40/50, 5/15/20, 3/8/10.
  const Row rows[] = {
      {0.5, 20, 5, 3},         {1, 20, 5, 3},     {5, 20, 5, 3},     {10, 20, 5, 3},
      {25, 27.5, 8.75, 4.875}, {30, 30, 10, 5.5}, {50, 40, 15, 8},   {62.5, 42.5, 16.25, 8.5},
      {75, 45, 17.5, 9},       {100, 50, 20, 10}, {125, 50, 20, 10}, {400, 50, 20, 10},
  };
  for (const Row& row : rows) {
    EXPECT_DOUBLE_EQ(kr::GuidelineVelocity(1, row.f), row.line1) << row.f;
    EXPECT_DOUBLE_EQ(kr::GuidelineVelocity(2, row.f), row.line2) << row.f;
    EXPECT_DOUBLE_EQ(kr::GuidelineVelocity(3, row.f), row.line3) << row.f;
  }
  // Without a frequency the lowest value of the line.
  EXPECT_DOUBLE_EQ(kr::GuidelineVelocity(1, std::nullopt), 20);
  EXPECT_DOUBLE_EQ(kr::GuidelineVelocity(3, std::nullopt), 3);
}

struct Burst {
  double rate;
  double frequency;
  double amplitude;
  int line;
  double guideline;  // by hand
  bool exceeded;
};

// One burst per band and on the band edges; the crest falls on a sample, so the peak is the amplitude.
TEST(AssessChannel, SineBurstsInEveryBand) {
  const Burst bursts[] = {
      {1000, 5, 4, 2, 5, false},         {1000, 10, 6, 2, 5, true},     {1000, 25, 7, 2, 8.75, false},
      {1000, 25, 7, 1, 27.5, false},     {1000, 25, 7, 3, 4.875, true}, {1000, 50, 16, 2, 15, true},
      {1000, 62.5, 13, 2, 16.25, false}, {2000, 100, 10, 2, 20, false}, {2000, 125, 25, 2, 20, true},
      {2000, 250, 12, 3, 10, true},      {2000, 250, 12, 1, 50, false},
  };
  for (const Burst& b : bursts) {
    std::vector<double> values = SineBurst(b.rate, b.frequency, b.amplitude, 3);
    kr::ChannelAssessment a = kr::AssessChannel(values, b.rate, b.line);
    SCOPED_TRACE(testing::Message() << b.frequency << " Hz, line " << b.line);
    ASSERT_TRUE(a.has_samples);
    EXPECT_NEAR(a.peak, b.amplitude, 1e-9);
    EXPECT_EQ(a.peak_index, 100 + static_cast<std::size_t>(b.rate / b.frequency / 4));  // first crest
    ASSERT_TRUE(a.frequency_hz.has_value());
    EXPECT_NEAR(*a.frequency_hz, b.frequency, b.frequency * 1e-6);
    EXPECT_NEAR(a.guideline, b.guideline, 1e-4);
    EXPECT_NEAR(a.ratio, b.amplitude / b.guideline, 1e-5);
    EXPECT_EQ(a.exceeded, b.exceeded);
  }
}

TEST(AssessChannel, PeakTimeAndSignOfANegativeCrest) {
  std::vector<double> values = SineBurst(1000, 10, -3, 2);
  kr::ChannelAssessment a = kr::AssessChannel(values, 1000, 2);
  EXPECT_EQ(a.peak_index, 125u);
  EXPECT_DOUBLE_EQ(a.peak_time_s, 0.125);
  EXPECT_NEAR(a.signed_peak, -3, 1e-12);
  EXPECT_NEAR(*a.frequency_hz, 10, 1e-5);
}

// The frequency is that of the half-wave carrying the peak, not of the strongest part of the spectrum.
TEST(AssessChannel, FrequencyOfTheHalfWaveAtThePeak) {
  std::vector<double> values = SineBurst(1000, 10, 2, 10, 100, 0);  // long, weaker 10 Hz part
  Append(values, SineBurst(1000, 50, 6, 1, 50, 100));               // one short, strong 50 Hz wave
  kr::ChannelAssessment a = kr::AssessChannel(values, 1000, 2);
  EXPECT_NEAR(a.peak, 6, 1e-9);
  EXPECT_NEAR(*a.frequency_hz, 50, 1e-4);
  EXPECT_NEAR(a.guideline, 15, 1e-4);
}

// A standing offset of the sensor does not move the crossings: they are taken about the mean.
TEST(AssessChannel, OffsetDoesNotShiftTheFrequency) {
  std::vector<double> values = SineBurst(1000, 25, 5, 4, 100, 100, 0.8);
  kr::ChannelAssessment a = kr::AssessChannel(values, 1000, 2);
  EXPECT_NEAR(a.peak, 5.8, 1e-9);  // the peak as recorded
  ASSERT_TRUE(a.frequency_hz.has_value());
  EXPECT_NEAR(*a.frequency_hz, 25, 0.3);
}

// A frequency between samples is found by interpolating the crossings.
TEST(AssessChannel, FrequencyBetweenSamples) {
  std::vector<double> values = SineBurst(1000, 33, 5, 3);
  kr::ChannelAssessment a = kr::AssessChannel(values, 1000, 1);
  ASSERT_TRUE(a.frequency_hz.has_value());
  EXPECT_NEAR(*a.frequency_hz, 33, 0.1);
}

TEST(AssessChannel, HalfWaveNotClosedInsideTheRecord) {
  // The record starts on the crest: no crossing before the peak.
  std::vector<double> values;
  for (int i = 0; i < 200; ++i) values.push_back(4 * std::cos(2 * std::numbers::pi * 10 * i / 1000.0));
  kr::ChannelAssessment a = kr::AssessChannel(values, 1000, 2);
  EXPECT_NEAR(a.peak, 4, 1e-12);
  EXPECT_FALSE(a.frequency_hz.has_value());
  EXPECT_DOUBLE_EQ(a.guideline, 5);  // the lowest value of line 2
  EXPECT_DOUBLE_EQ(a.ratio, 0.8);

  kr::ChannelAssessment empty = kr::AssessChannel({}, 1000, 2);
  EXPECT_FALSE(empty.has_samples);
  EXPECT_FALSE(empty.exceeded);
  EXPECT_FALSE(kr::HalfWaveFrequency(values, 50, 0.0, 0.0).has_value());
}

TEST(ClassifyUnit, UnitsOfTheRecorders) {
  EXPECT_EQ(kr::ClassifyUnit(" mm/s").quantity, kr::Quantity::kVelocity);
  EXPECT_DOUBLE_EQ(kr::ClassifyUnit(" mm/s").factor, 1.0);
  EXPECT_DOUBLE_EQ(kr::ClassifyUnit("m/s").factor, 1000.0);
  EXPECT_DOUBLE_EQ(kr::ClassifyUnit("IN/S").factor, 25.4);
  EXPECT_DOUBLE_EQ(kr::ClassifyUnit("\xC2\xB5m/s").factor, 0.001);
  EXPECT_EQ(kr::ClassifyUnit("g").quantity, kr::Quantity::kAcceleration);
  EXPECT_EQ(kr::ClassifyUnit("m/s\xC2\xB2").quantity, kr::Quantity::kAcceleration);
  EXPECT_EQ(kr::ClassifyUnit("mm/s^2").quantity, kr::Quantity::kAcceleration);
  EXPECT_EQ(kr::ClassifyUnit("mm").quantity, kr::Quantity::kDisplacement);
  EXPECT_EQ(kr::ClassifyUnit("   mV").quantity, kr::Quantity::kOther);
  EXPECT_EQ(kr::ClassifyUnit("").quantity, kr::Quantity::kOther);
}

}  // namespace
