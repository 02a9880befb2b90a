#pragma once

#include <cstdint>
#include <vector>

#include "ondalyne/core/view_state.h"

namespace ondalyne {

class COndalyneDoc;
class LevelCache;

struct DevicePoint {
  int x = 0;
  int y = 0;
  bool operator==(const DevicePoint&) const = default;
};

// The value range of a trace box.
struct ValueRange {
  double lower = 0;
  double upper = 0;
};

// Range of the box of `channel` (0 X, 1 Y, 2 Z) when `selection` channels are shown (0 all, else
// one): all channels share the document's overall range, one channel gets its own extremes widened
// by 3 % of their span. With offset correction the channel's mean is subtracted; interval files
// start at 0.
ValueRange ChannelRange(const COndalyneDoc& doc, int selection, int channel, bool offset);

// The mapping of a box: x = left + (i - first) * x_scale, y = top + (upper - value) * y_scale, both
// rounded to whole device units. y_scale is 1 when upper equals lower.
struct BoxMapping {
  double left = 0;
  double top = 0;
  double x_scale = 1;
  double y_scale = 1;
  double upper = 0;
  std::int64_t first = 0;
  int X(double index) const;
  int Y(double value) const;
};
BoxMapping MakeMapping(double left, double top, double plot_width, double box_height, SampleWindow window,
                       ValueRange range);

// Appends a point unless both its x and y lie within `tolerance` of the last point kept.
void AddThinned(std::vector<DevicePoint>& points, DevicePoint p, int tolerance);

// The points of a channel over the window, one per sample (thinned by `tolerance`). `offset` is
// subtracted from every value.
std::vector<DevicePoint> ChannelPoints(const COndalyneDoc& doc, int channel, const BoxMapping& map,
                                       SampleWindow window, double offset, int tolerance);

// The same picture from the level cache: per device column the first, the extreme and the last
// samples of the column, so that a polyline through them covers exactly the pixels of the polyline
// through every sample. Used when a window holds many more samples than the plot has columns.
std::vector<DevicePoint> ChannelPointsFromLevels(const COndalyneDoc& doc, const LevelCache& cache,
                                                 int channel, const BoxMapping& map, SampleWindow window,
                                                 double offset);

}  // namespace ondalyne
