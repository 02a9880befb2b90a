#include "ondalyne/core/trace_points.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>

#include "ondalyne/core/level_cache.h"
#include "ondalyne/core/ondalyne_doc.h"

namespace ondalyne {

namespace {
int RoundToInt(double v) {
  v = std::floor(v + 0.5);
  return static_cast<int>(std::clamp(v, -1.0e9, 1.0e9));
}
}  // namespace

ValueRange ChannelRange(const COndalyneDoc& doc, int selection, int channel, bool offset) {
  auto c = static_cast<std::size_t>(channel);
  ValueRange range;
  if (selection == 0) {
    range = {doc.overall_min(), doc.overall_max()};
  } else {
    const double span = doc.maximum()[c] - doc.minimum()[c];
    range = {doc.minimum()[c] - 0.03 * span, doc.maximum()[c] + 0.03 * span};
  }
  if (offset) {
    range.lower -= doc.mean()[c];
    range.upper -= doc.mean()[c];
  }
  if (doc.IsInterval()) range.lower = 0;
  return range;
}

int BoxMapping::X(double index) const {
  return RoundToInt(left + (index - static_cast<double>(first)) * x_scale);
}

int BoxMapping::Y(double value) const {
  return RoundToInt(top + (upper - value) * y_scale);
}

BoxMapping MakeMapping(double left, double top, double plot_width, double box_height, SampleWindow window,
                       ValueRange range) {
  BoxMapping map;
  map.left = left;
  map.top = top;
  map.first = window.first;
  map.x_scale = XScale(window.size(), plot_width);
  map.y_scale = range.upper == range.lower ? 1.0 : box_height / (range.upper - range.lower);
  map.upper = range.upper;
  return map;
}

void AddThinned(std::vector<DevicePoint>& points, DevicePoint p, int tolerance) {
  if (!points.empty()) {
    const DevicePoint& last = points.back();
    if (std::abs(p.x - last.x) <= tolerance && std::abs(p.y - last.y) <= tolerance) return;
  }
  points.push_back(p);
}

std::vector<DevicePoint> ChannelPoints(const COndalyneDoc& doc, int channel, const BoxMapping& map,
                                       SampleWindow window, double offset, int tolerance) {
  std::vector<DevicePoint> points;
  points.reserve(static_cast<std::size_t>(std::max<std::int64_t>(window.size(), 0)));
  for (std::int64_t i = window.first; i < window.end; ++i) {
    const double value = doc.Value(channel, static_cast<std::size_t>(i)) - offset;
    AddThinned(points, {map.X(static_cast<double>(i)), map.Y(value)}, tolerance);
  }
  return points;
}

std::vector<DevicePoint> ChannelPointsFromLevels(const COndalyneDoc& doc, const LevelCache& cache,
                                                 int channel, const BoxMapping& map, SampleWindow window,
                                                 double offset) {
  std::vector<DevicePoint> points;
  const double factor = doc.scale_factors()[static_cast<std::size_t>(channel)];
  auto y_of_count = [&](std::int32_t count) { return map.Y(count * factor - offset); };
  std::int64_t i0 = window.first;
  while (i0 < window.end) {
    const int column = map.X(static_cast<double>(i0));
    // First sample of the next column, from the inverse of the mapping, then made exact.
    double guess = static_cast<double>(map.first) + (column + 0.5 - map.left) / map.x_scale;
    auto i1 = static_cast<std::int64_t>(std::ceil(guess));
    i1 = std::clamp<std::int64_t>(i1, i0 + 1, window.end);
    while (i1 > i0 + 1 && map.X(static_cast<double>(i1 - 1)) > column) --i1;
    while (i1 < window.end && map.X(static_cast<double>(i1)) == column) ++i1;

    std::int32_t lo = 0, hi = 0;
    cache.MinMax(channel, static_cast<std::size_t>(i0), static_cast<std::size_t>(i1), lo, hi);
    const int y_first = y_of_count(doc.Count(channel, static_cast<std::size_t>(i0)));
    const int y_last = y_of_count(doc.Count(channel, static_cast<std::size_t>(i1 - 1)));
    // Larger counts are higher up (smaller y).
    AddThinned(points, {column, y_first}, 0);
    AddThinned(points, {column, y_of_count(hi)}, 0);
    AddThinned(points, {column, y_of_count(lo)}, 0);
    AddThinned(points, {column, y_last}, 0);
    i0 = i1;
  }
  return points;
}

}  // namespace ondalyne
