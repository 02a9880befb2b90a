#pragma once

#include <cstdint>

namespace ondalyne {

class COndalyneDoc;

// Analysis modes. 2 and 4 exist as page titles only; nothing selects them.
enum AnalysisMode : int {
  kModeStatus = 0,
  kModeTimeHistory = 1,
  kModeFrequency = 3,
  kModeVectorSum = 5,
  kModePeakFrequency = 6,
  kModeAssessment = 7,  // the vibration assessment of a waveform file (frequency-velocity plane)
};

// A half-open window [first, end) of samples (or spectrum lines).
struct SampleWindow {
  std::int64_t first = 0;
  std::int64_t end = 0;
  std::int64_t size() const { return end - first; }
};

// What a view of a document shows; everything that changes the drawing sets `recompute`.
struct ViewState {
  int mode = kModeTimeHistory;
  int channel = 0;  // 0 all three stacked, 1 X, 2 Y, 3 Z
  SampleWindow zoom;
  SampleWindow lines;  // frequency page: spectrum lines 0 .. M
  bool offset = false;
  bool recompute = true;
};

// After a file is opened: all channels, the whole record, the time history (the instrument status
// when printing from the command line). Offset correction starts as `auto_offset` for records of at
// least half a second of kinds 1 to 3 whose X unit is not "mV", and off otherwise.
ViewState InitialViewState(const COndalyneDoc& doc, bool auto_offset, bool command_line_printing);

// Whether the document has the page: the frequency analysis for kinds 1 to 3, the vector sum and the
// peak with frequency for interval files of VM sub-mode 6 and 7; status and time history always.
bool PageAvailable(const COndalyneDoc& doc, int mode);

// Clamps a time window: into [0, count], at least one second of samples for kinds 1 to 3 and 5
// records for kinds 4 and 5; a shorter window is widened about its centre and shifted back inside.
SampleWindow ClampTimeWindow(SampleWindow window, const COndalyneDoc& doc);
// The same for a spectrum-line window in [0, lines]: at least 10 / delta_f + 0.5 lines.
SampleWindow ClampLineWindow(SampleWindow window, std::int64_t lines, double delta_f);
// The widening rule itself: at least `minimum` within [0, limit].
SampleWindow ClampWindow(SampleWindow window, std::int64_t limit, std::int64_t minimum);

// Horizontal scale of a plot: pixels per sample, 1 for fewer than two samples.
double XScale(std::int64_t shown, double plot_width);

// Zoom gestures on a plot whose left edge is `box_left`, returning the unclamped new window.
// A drag zooms only when released more than 20 pixels right of the press point (nullopt-like:
// returns the old window otherwise).
SampleWindow ZoomByDrag(SampleWindow current, int x_press, int x_release, int box_left, double plot_width);
// Left double click: a third of the plot width centred on the click; right double click: three plot
// widths centred on it.
SampleWindow ZoomIn(SampleWindow current, int x, int box_left, double plot_width);
SampleWindow ZoomOut(SampleWindow current, int x, int box_left, double plot_width);
// The zoom dialog: start and end in seconds; nothing changes when both equal the current window.
SampleWindow ZoomFromSeconds(SampleWindow current, double start_s, double end_s, double rate);

}  // namespace ondalyne
