#include "ondalyne/core/view_state.h"

#include <algorithm>
#include <cmath>

#include "ondalyne/core/assessment.h"
#include "ondalyne/core/ondalyne_doc.h"

namespace ondalyne {

ViewState InitialViewState(const COndalyneDoc& doc, bool auto_offset, bool command_line_printing) {
  ViewState view;
  view.mode = command_line_printing ? kModeStatus : kModeTimeHistory;
  view.zoom = {0, doc.count()};
  const bool long_enough = doc.count() >= 0.5 * doc.sampling_rate();
  view.offset = auto_offset && long_enough && !doc.IsInterval() && doc.kind() > 0 && doc.units()[0] != "mV";
  return view;
}

bool PageAvailable(const COndalyneDoc& doc, int mode) {
  switch (mode) {
    case kModeStatus:
    case kModeTimeHistory:
      return true;
    case kModeFrequency:
      return doc.kind() >= 1 && doc.kind() <= 3 && doc.count() > 0;
    case kModeVectorSum:
      return doc.IsInterval() && doc.vm_sub_mode() == 6;
    case kModePeakFrequency:
      return doc.IsInterval() && doc.vm_sub_mode() == 7;
    case kModeAssessment:
      return CanAssess(doc);
    default:
      return false;
  }
}

SampleWindow ClampWindow(SampleWindow w, std::int64_t limit, std::int64_t minimum) {
  w.first = std::max<std::int64_t>(w.first, 0);
  w.end = std::min(w.end, limit);
  if (minimum > limit) minimum = limit;
  if (w.end - w.first < minimum) {
    // Centre of the window as the user chose it, in half samples to stay in integers.
    const std::int64_t twice_centre = w.first + w.end;
    w.first = (twice_centre - minimum) / 2;
    w.end = w.first + minimum;
    if (w.first < 0) {
      w.end -= w.first;
      w.first = 0;
    }
    if (w.end > limit) {
      w.first -= w.end - limit;
      w.end = limit;
    }
    w.first = std::max<std::int64_t>(w.first, 0);
  }
  return w;
}

SampleWindow ClampTimeWindow(SampleWindow window, const COndalyneDoc& doc) {
  const std::int64_t minimum = doc.IsInterval() ? 5 : static_cast<std::int64_t>(doc.sampling_rate());
  return ClampWindow(window, doc.count(), minimum);
}

SampleWindow ClampLineWindow(SampleWindow window, std::int64_t lines, double delta_f) {
  const auto minimum = delta_f > 0 ? static_cast<std::int64_t>(10.0 / delta_f + 0.5) : 1;
  return ClampWindow(window, lines, std::max<std::int64_t>(minimum, 1));
}

double XScale(std::int64_t shown, double plot_width) {
  return shown < 2 ? 1.0 : plot_width / static_cast<double>(shown - 1);
}

SampleWindow ZoomByDrag(SampleWindow current, int x_press, int x_release, int box_left, double plot_width) {
  if (x_release - x_press <= 20) return current;
  const double xs = XScale(current.size(), plot_width);
  return {current.first + static_cast<std::int64_t>((x_press - box_left) / xs),
          current.first + static_cast<std::int64_t>((x_release - box_left) / xs)};
}

namespace {
SampleWindow AroundClick(SampleWindow current, int x, int box_left, double plot_width, double half_pixels) {
  const double xs = XScale(current.size(), plot_width);
  const double centre = current.first + (x - box_left) / xs;
  const double half = half_pixels / xs;
  return {static_cast<std::int64_t>(std::floor(centre - half)),
          static_cast<std::int64_t>(std::ceil(centre + half))};
}
}  // namespace

SampleWindow ZoomIn(SampleWindow current, int x, int box_left, double plot_width) {
  return AroundClick(current, x, box_left, plot_width, plot_width / 6.0);
}

SampleWindow ZoomOut(SampleWindow current, int x, int box_left, double plot_width) {
  return AroundClick(current, x, box_left, plot_width, 1.5 * plot_width);
}

SampleWindow ZoomFromSeconds(SampleWindow current, double start_s, double end_s, double rate) {
  const double lo = std::min(start_s, end_s), hi = std::max(start_s, end_s);
  if (lo == current.first / rate && hi == current.end / rate) return current;
  return {static_cast<std::int64_t>(std::llround(rate * lo)),
          static_cast<std::int64_t>(std::llround(rate * hi))};
}

}  // namespace ondalyne
