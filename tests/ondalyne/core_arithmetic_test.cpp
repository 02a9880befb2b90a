#include <gtest/gtest.h>

#include <cmath>
#include <complex>
#include <map>
#include <numbers>
#include <random>

#include "doc_test_support.h"
#include "ondalyne/core/frequency_analysis.h"
#include "ondalyne/core/level_cache.h"
#include "ondalyne/core/page_layout.h"
#include "ondalyne/core/step_rule.h"
#include "ondalyne/core/time_axis.h"
#include "ondalyne/core/trace_points.h"
#include "ondalyne/core/view_state.h"

namespace {

using namespace ondalyne;
using kr_test::EventFileBuilder;
using ondalyne_test::LoadDoc;

TEST(StepRule, SmallestOneTwoFiveStepNotBelowTheTarget) {
  struct Case {
    double target, major, minor;
    std::string format;
  };
  for (const Case& c :
       {Case{0.00001, 0.0001, 0.00002, "%.4lf"}, Case{0.0001, 0.0001, 0.00002, "%.4lf"},
        Case{0.00011, 0.0002, 0.00005, "%.4lf"}, Case{0.0011, 0.002, 0.0005, "%.3lf"},
        Case{0.03, 0.05, 0.01, "%.2lf"}, Case{0.15, 0.2, 0.05, "%.1lf"}, Case{0.2, 0.2, 0.05, "%.1lf"},
        Case{0.21, 0.5, 0.1, "%.1lf"}, Case{1.0, 1.0, 0.2, "%.0lf"}, Case{3, 5, 1, "%.0lf"},
        Case{60, 100, 20, "%.0lf"}, Case{0.3 / 10 * 10, 0.5, 0.1, "%.1lf"}}) {
    AxisStep step = StepRule(c.target);
    EXPECT_DOUBLE_EQ(step.major, c.major) << c.target;
    EXPECT_DOUBLE_EQ(step.minor, c.minor) << c.target;
    EXPECT_EQ(step.format, c.format) << c.target;
  }
}

TEST(ValueAxis, MajorTicksAtMultiplesOfTheStepLabelledWithZeroForTinyValues) {
  // The display range of a document from -0.2 to 0.3: -0.215 .. 0.315, step 0.1, minor 0.02.
  auto ticks = ValueTicks(-0.215, 0.315, StepRule(0.053));
  std::vector<std::string> labels;
  for (const ValueTick& t : ticks)
    if (t.major) labels.push_back(t.label);
  EXPECT_EQ(labels, (std::vector<std::string>{"-0.2", "-0.1", "0", "0.1", "0.2", "0.3"}));
  EXPECT_EQ(ticks.size(), 26u);  // -0.20, -0.18, ..., 0.30
  EXPECT_NEAR(ticks.front().value, -0.2, 1e-12);
  EXPECT_NEAR(ticks.back().value, 0.3, 1e-12);
}

TEST(TimeAxis, SecondsTypeLabelsTheSecondsWithinTheMinute) {
  // 10 s at 100 per second from 08:15:28.25: step 1 s, first label 29 at sample 75.
  TimeAxis axis = EventTimeAxis(0, 1000, 100, 8 * 3600 + 15 * 60 + 28.25, false);
  EXPECT_DOUBLE_EQ(axis.step.major, 1.0);
  EXPECT_EQ(axis.unit, "H:m:s");
  std::vector<std::pair<double, std::string>> majors;
  for (const TimeTick& t : axis.ticks)
    if (t.major) majors.emplace_back(t.position, t.label);
  ASSERT_EQ(majors.size(), 10u);
  EXPECT_NEAR(majors[0].first, 75, 1e-6);
  EXPECT_EQ(majors[0].second, "29");
  EXPECT_EQ(majors[9].second, "38");
  // Across the minute: 2 s from 08:15:59.5, step 0.2 s with one decimal.
  TimeAxis cross = EventTimeAxis(0, 200, 100, 8 * 3600 + 15 * 60 + 59.5, false);
  std::vector<std::string> labels;
  for (const TimeTick& t : cross.ticks)
    if (t.major) labels.push_back(t.label);
  EXPECT_EQ(labels.front(), "59.6");
  EXPECT_NE(std::find(labels.begin(), labels.end(), "00.0"), labels.end());
}

TEST(TimeAxis, ClockTypeFromTwentyNineSecondSteps) {
  // 600 s: target 60 -> step 100 s on clock multiples; 08:16:40 is the first.
  TimeAxis axis = EventTimeAxis(0, 60000, 100, 29728.25, false);
  const TimeTick* first = nullptr;
  for (const TimeTick& t : axis.ticks)
    if (t.major && !first) first = &t;
  ASSERT_NE(first, nullptr);
  EXPECT_EQ(first->label, "08:16:40");
  EXPECT_NEAR(first->position, 7175, 1e-6);
  TimeAxis pm = EventTimeAxis(0, 60000, 100, 13 * 3600 + 28.25, true);
  for (const TimeTick& t : pm.ticks)
    if (t.major) {
      EXPECT_EQ(t.label, "01:01:40 PM");
      break;
    }
  EXPECT_EQ(pm.unit, "h:m:s");
}

TEST(TimeAxis, IntervalFilesPickTheirLabelTypeByTheTarget) {
  kr::DateTime start{2024, 6, 5, 14, 30, 0, 0, 3};
  // 100 records of 30 s: target 300 s -> minute type, step 5 minutes.
  TimeAxis minutes = IntervalTimeAxis(0, 100, 1.0 / 30, start, 52200, false);
  EXPECT_EQ(minutes.unit, "H:m");
  EXPECT_DOUBLE_EQ(minutes.step.major, 300);
  std::vector<std::string> labels;
  for (const TimeTick& t : minutes.ticks)
    if (t.major) labels.push_back(t.label);
  ASSERT_GE(labels.size(), 2u);
  EXPECT_EQ(labels[0], "14:30");
  EXPECT_EQ(labels[1], "14:35");
  // 5000 records: target 15000 s -> hour type "D.M.-H:00", step 5 hours.
  TimeAxis hours = IntervalTimeAxis(0, 5000, 1.0 / 30, start, 52200, false);
  EXPECT_EQ(hours.unit, "D.M.-H:m");
  EXPECT_DOUBLE_EQ(hours.step.major, 5 * 3600);
  for (const TimeTick& t : hours.ticks)
    if (t.major) {
      EXPECT_EQ(t.label, "05.06-15:00");
      break;
    }
  TimeAxis days = IntervalTimeAxis(0, 50000, 1.0 / 30, start, 52200, true);
  EXPECT_EQ(days.unit, "M/D/Y");
  TimeAxis seconds = IntervalTimeAxis(0, 5, 1.0 / 30, start, 52200, false);
  EXPECT_EQ(seconds.unit, "H:m:s");
  for (const TimeTick& t : seconds.ticks)
    if (t.major) {
      EXPECT_EQ(t.label, "30:00");
      break;
    }
}

TEST(Zoom, ADragOfTwentyPixelsDoesNothingTwentyOneZooms) {
  SampleWindow whole{0, 1000};
  // Plot 999 pixels wide over 1000 samples: one pixel per sample.
  SampleWindow same = ZoomByDrag(whole, 300, 320, 100, 999);
  EXPECT_EQ(same.first, 0);
  EXPECT_EQ(same.end, 1000);
  SampleWindow zoomed = ZoomByDrag(whole, 300, 321, 100, 999);
  EXPECT_EQ(zoomed.first, 200);
  EXPECT_EQ(zoomed.end, 221);
  SampleWindow left = ZoomByDrag(whole, 300, 100, 100, 999);
  EXPECT_EQ(left.end, 1000);
}

TEST(Zoom, ShortWindowsWidenAboutTheirCentreAndStayInside) {
  auto file = EventFileBuilder::SkrHeader(2000).U16(10, 200);
  for (int i = 0; i < 2000; ++i) file.Frame16(i, 0, 0);
  auto doc = LoadDoc(file, "a.skr");
  SampleWindow w = ClampTimeWindow({1000, 1050}, doc);
  EXPECT_EQ(w.first, 925);
  EXPECT_EQ(w.end, 1125);
  w = ClampTimeWindow({-30, 20}, doc);
  EXPECT_EQ(w.first, 0);
  EXPECT_EQ(w.end, 200);
  w = ClampTimeWindow({1990, 2500}, doc);
  EXPECT_EQ(w.first, 1800);
  EXPECT_EQ(w.end, 2000);
  w = ClampTimeWindow({100, 900}, doc);
  EXPECT_EQ(w.first, 100);
  EXPECT_EQ(w.end, 900);
  // Interval files: at least 5 records.
  EXPECT_EQ(ClampWindow({10, 11}, 100, 5).first, 8);
  EXPECT_EQ(ClampWindow({10, 11}, 100, 5).end, 13);
  // A record shorter than the minimum shows whole.
  EXPECT_EQ(ClampWindow({1, 2}, 3, 200).first, 0);
  EXPECT_EQ(ClampWindow({1, 2}, 3, 200).end, 3);
  // Spectrum lines: 10 / 0.5 Hz + 0.5 -> 20 lines.
  w = ClampLineWindow({50, 55}, 512, 0.5);
  EXPECT_EQ(w.size(), 20);
}

TEST(Zoom, DoubleClicksZoomByThree) {
  // 300 px over 301 samples from 0: a click 150 px in covers +- 50 px.
  SampleWindow in = ZoomIn({0, 301}, 250, 100, 300);
  EXPECT_EQ(in.first, 100);
  EXPECT_EQ(in.end, 200);
  SampleWindow out = ZoomOut({0, 301}, 250, 100, 300);
  EXPECT_EQ(out.first, -300);
  EXPECT_EQ(out.end, 600);
  EXPECT_EQ(ZoomFromSeconds({0, 1000}, 2.0, 1.0, 200).first, 200);
  EXPECT_EQ(ZoomFromSeconds({0, 1000}, 2.0, 1.0, 200).end, 400);
}

TEST(Scales, OneSampleAndAFlatRecordUseScaleOne) {
  EXPECT_DOUBLE_EQ(XScale(1, 500), 1.0);
  EXPECT_DOUBLE_EQ(XScale(0, 500), 1.0);
  EXPECT_DOUBLE_EQ(XScale(11, 500), 50.0);
  BoxMapping map = MakeMapping(10, 20, 500, 100, {0, 1}, {2.0, 2.0});
  EXPECT_DOUBLE_EQ(map.y_scale, 1.0);
  EXPECT_EQ(map.Y(2.0), 20);
  EXPECT_EQ(map.X(0), 10);
}

TEST(Layout, ScreenAndPrinterArithmetic) {
  EXPECT_EQ(ScreenFontHeight(1300, 1000), 24);
  EXPECT_EQ(ScreenFontHeight(520, 1000), 10);
  PageLayout l = LayoutPage({0, 0, 1300, 1000}, 20, 10, false);
  EXPECT_EQ(l.left_margin, 110);
  EXPECT_EQ(l.plot_left, 110);
  EXPECT_EQ(l.plot_width, 990);
  EXPECT_EQ(l.text_left, 1110);
  EXPECT_DOUBLE_EQ(l.box_height, (1000 - 145) / 3.0);
  EXPECT_DOUBLE_EQ(l.BoxTop(0), 75);
  EXPECT_DOUBLE_EQ(l.BoxTop(1), 75 + l.box_height + 10);
  EXPECT_EQ(l.major_tick, 10);
  EXPECT_EQ(l.minor_tick, 3);
  EXPECT_DOUBLE_EQ(LayoutPage({0, 0, 1300, 1000}, 20, 10, true).box_height, 875);
  // A4 at 600 dpi, 4800 x 6600: w 36, h min(146, 96) = 96 -> reduced by 288 left, 384 top, 144 right,
  // 96 bottom; on 4368 x 6120: w 33, h min(136, 88) = 88.
  PrinterMetrics p = PrinterLayout({0, 0, 4800, 6600});
  EXPECT_EQ(p.rect.left, 288);
  EXPECT_EQ(p.rect.top, 384);
  EXPECT_EQ(p.rect.width, 4368);
  EXPECT_EQ(p.rect.height, 6120);
  EXPECT_EQ(p.char_width, 33);
  EXPECT_EQ(p.font_height, 88);
}

std::vector<std::complex<double>> DirectDft(const std::vector<std::complex<double>>& x) {
  const std::size_t n = x.size();
  std::vector<std::complex<double>> out(n);
  for (std::size_t k = 0; k < n; ++k)
    for (std::size_t j = 0; j < n; ++j)
      out[k] += x[j] * std::polar(1.0, -2 * std::numbers::pi * double(k * j % n) / double(n));
  return out;
}

TEST(Spectrum, RadixTwoTransformEqualsTheDirectSum) {
  std::mt19937 rng(7);
  std::uniform_real_distribution<double> u(-1, 1);
  for (std::size_t n : {2u, 8u, 64u, 1024u}) {
    std::vector<std::complex<double>> x(n);
    for (auto& v : x) v = {u(rng), u(rng)};
    auto expected = DirectDft(x);
    Radix2Fft(x);
    for (std::size_t k = 0; k < n; ++k)
      EXPECT_NEAR(std::abs(x[k] - expected[k]), 0, 1e-9 * n) << n << " " << k;
  }
}

TEST(Spectrum, ThreeSamplesGiveFourPointsAndTwoLines) {
  // Hann over n = 3: 0, 0.75, 0.75; values 1, 2, 3 -> 0, 1.5, 2.25, 0.
  // X0 = 3.75 -> 1.875; X1 = -2.25 - 1.5i -> sqrt(7.3125) / 2.
  Spectrum s = ComputeSpectrum(3, 200, 0, [](std::size_t k) { return 1.0 + k; });
  EXPECT_EQ(s.points, 4u);
  ASSERT_EQ(s.lines.size(), 2u);
  EXPECT_DOUBLE_EQ(s.delta_f, 50);
  EXPECT_NEAR(s.lines[0].amplitude, 1.875, 1e-12);
  EXPECT_NEAR(s.lines[1].amplitude, std::sqrt(7.3125) / 2, 1e-12);
  EXPECT_DOUBLE_EQ(s.lines[1].frequency, 50);
  EXPECT_NEAR(s.peak_amplitude, 1.875, 1e-12);
  EXPECT_EQ(s.peak_frequency, 0);
  EXPECT_EQ(SpectrumPoints(1), 2u);
  EXPECT_EQ(SpectrumPoints(1025), 2048u);
}

TEST(Spectrum, WindowedSineOnABinPeaksAtItsFrequency) {
  // 1000 samples at 1024 per second of a 64 Hz sine of amplitude 2, offset 5 removed; N 1024,
  // delta_f 1 Hz. Peak at 64 Hz; the Hann window halves the amplitude: about 1 (n < N reduces it).
  auto value = [](std::size_t k) { return 5 + 2 * std::sin(2 * std::numbers::pi * 64 * k / 1024.0); };
  Spectrum s = ComputeSpectrum(1000, 1024, 5, value);
  EXPECT_EQ(s.points, 1024u);
  EXPECT_DOUBLE_EQ(s.peak_frequency, 64);
  // Independent: the same sum written out directly at bin 64.
  std::complex<double> sum;
  for (std::size_t k = 0; k < 1000; ++k)
    sum += (value(k) - 5) * 0.5 * (1 - std::cos(2 * std::numbers::pi * k / 1000.0)) *
           std::polar(1.0, -2 * std::numbers::pi * 64.0 * k / 1024.0);
  EXPECT_NEAR(s.peak_amplitude, std::abs(sum) / 512, 1e-9);
}

TEST(LevelCache, ExtremesOfAnyRangeEqualTheScanOfEverySample) {
  auto file = EventFileBuilder::XkrHeader(100000);
  std::mt19937 rng(3);
  std::uniform_int_distribution<int> d(-8000000, 8000000);
  for (int i = 0; i < 100000; ++i) file.Frame24(d(rng), d(rng) / 100, i);
  auto doc = LoadDoc(file, "a.xkr");
  ASSERT_EQ(doc.count(), 100000u);
  LevelCache cache;
  cache.Build(doc);
  std::uniform_int_distribution<std::size_t> pos(0, 99999);
  for (int trial = 0; trial < 300; ++trial) {
    std::size_t a = pos(rng), b = pos(rng);
    if (a > b) std::swap(a, b);
    ++b;
    for (int c = 0; c < 3; ++c) {
      std::int32_t lo, hi;
      cache.MinMax(c, a, b, lo, hi);
      std::int32_t elo = INT32_MAX, ehi = INT32_MIN;
      for (std::size_t i = a; i < b; ++i) {
        elo = std::min(elo, doc.Count(c, i));
        ehi = std::max(ehi, doc.Count(c, i));
      }
      ASSERT_EQ(lo, elo) << a << ".." << b;
      ASSERT_EQ(hi, ehi) << a << ".." << b;
    }
  }
}

TEST(TracePoints, ColumnReductionKeepsEveryColumnsExtremesAndJoins) {
  auto file = EventFileBuilder::SkrHeader(20000);
  std::mt19937 rng(5);
  std::uniform_int_distribution<int> d(-30000, 30000);
  for (int i = 0; i < 20000; ++i) file.Frame16(d(rng), 0, 0);
  auto doc = LoadDoc(file, "a.skr");
  LevelCache cache;
  cache.Build(doc);
  SampleWindow window{123, 19000};
  BoxMapping map = MakeMapping(50, 10, 397, 300, window, {doc.overall_min(), doc.overall_max()});
  auto full = ChannelPoints(doc, 0, map, window, 0, 0);
  auto reduced = ChannelPointsFromLevels(doc, cache, 0, map, window, 0);
  EXPECT_LT(reduced.size(), full.size() / 10);
  // Per column: the same extremes; across columns: the same last and first points.
  std::map<int, std::pair<int, int>> full_span, reduced_span;
  for (auto* pair : {&full, &reduced}) {
    auto& span = pair == &full ? full_span : reduced_span;
    for (const DevicePoint& p : *pair) {
      auto [it, fresh] = span.try_emplace(p.x, p.y, p.y);
      it->second.first = std::min(it->second.first, p.y);
      it->second.second = std::max(it->second.second, p.y);
    }
  }
  EXPECT_EQ(full_span, reduced_span);
  EXPECT_EQ(full.front(), reduced.front());
  EXPECT_EQ(full.back(), reduced.back());
  for (std::size_t i = 1; i < reduced.size(); ++i) {
    if (reduced[i].x == reduced[i - 1].x) continue;
    // A join between columns: the last point of one column and the first of the next are
    // consecutive points of the full polyline too.
    auto it = std::find(full.begin(), full.end(), reduced[i]);
    ASSERT_NE(it, full.end());
    EXPECT_EQ(*(it - 1), reduced[i - 1]);
  }
}

TEST(Thinning, DropsPointsWithinTheToleranceOfTheLastKept) {
  std::vector<DevicePoint> points;
  AddThinned(points, {0, 0}, 2);
  AddThinned(points, {2, 1}, 2);
  AddThinned(points, {3, 0}, 2);
  AddThinned(points, {3, 0}, 0);
  AddThinned(points, {4, 0}, 0);
  EXPECT_EQ(points, (std::vector<DevicePoint>{{0, 0}, {3, 0}, {4, 0}}));
}

}  // namespace
