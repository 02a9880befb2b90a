#pragma once

#include <QFont>
#include <QPainter>
#include <QRect>
#include <array>
#include <string>
#include <vector>

#include "krcommon/string_table.h"
#include "ondalyne/core/frequency_analysis.h"
#include "ondalyne/core/level_cache.h"
#include "ondalyne/core/ondalyne_doc.h"
#include "ondalyne/core/page_layout.h"
#include "ondalyne/core/trace_points.h"
#include "ondalyne/core/view_state.h"

namespace ondalyne {

struct RenderOptions {
  bool paper = false;  // printer or PDF page: printer layout, wide pens, larger dots
  std::string font_name = "Arial";
  int dot_radius_percent = 5;  // DotRadius setting
  int enhanced_graphic = 0;    // thinning tolerance on paper for windows of more than 1000 samples
  bool us_date = false;
  // On paper: the program and the time of the analysis, for the line above the header block
  // ("Ondalyne 1.0.0 Analysis date: 07.12.2026 13:40").
  std::string program = "Ondalyne ";
  std::string version;
  std::string analysis_date;
  // The clipboard picture: no header block and no text column beside the boxes (only the bold
  // channel label), the boxes from the top of the picture; `picture_box_height` above 0 fixes their
  // height (FixClipboardHeight x 1.2).
  bool picture = false;
  double picture_box_height = 0;
};

// The boxes of the last page drawn, for the window's mouse handling and for tests.
struct DrawnBox {
  int channel = 0;  // 0 X, 1 Y, 2 Z; 3 the vector sum
  QRectF rect;
  BoxMapping mapping;
};

// Paints one analysis page of a document with QPainter: the same code draws on the screen, on a
// printer, into PDF, SVG and PNG. Spectra are kept between paints and recomputed only while the
// view's recompute flag is set; the flag is cleared once a page is drawn.
class CPageRenderer {
 public:
  CPageRenderer(const COndalyneDoc& doc, const kr::StringTable& strings) : doc_(doc), strings_(strings) {}

  // Builds the level cache of a long record (once) so that every later paint is fast at any zoom.
  void PrepareLevels();

  void Paint(QPainter& painter, const QRect& area, ViewState& view, const RenderOptions& options);

  // The size of the clipboard picture of a view whose window is `client` (options.picture set):
  // as wide as the plot with its label and value axis, as high as the boxes with the time axis.
  QSize PictureSize(QPaintDevice* device, const QRect& client, const ViewState& view,
                    const RenderOptions& options);

  const PageLayout& layout() const { return layout_; }
  const std::vector<DrawnBox>& boxes() const { return boxes_; }
  const Spectrum& spectrum(int channel) const { return spectra_[static_cast<std::size_t>(channel)]; }
  // The points of the last trace drawn per box (device units), in drawing order.
  const std::vector<std::vector<DevicePoint>>& traces() const { return traces_; }

 private:
  void SetUpFonts(QPaintDevice* device, const QRect& area, const RenderOptions& options, bool single_box);
  void DrawText(QPainter& painter, double x, double line_top, const std::string& text, bool bold = false);
  void DrawTextRight(QPainter& painter, double right, double line_top, const std::string& text);
  void DrawHeader(QPainter& painter, const ViewState& view);
  void DrawPage(QPainter& painter, ViewState& view);
  void DrawStatusPage(QPainter& painter);
  void DrawTimeHistory(QPainter& painter, const ViewState& view);
  void DrawFrequencyPage(QPainter& painter, ViewState& view);
  void DrawVectorSum(QPainter& painter, const ViewState& view);
  void DrawPeakFrequency(QPainter& painter, const ViewState& view);
  void DrawAssessment(QPainter& painter, const ViewState& view);

  void DrawBox(QPainter& painter, const QRectF& box, bool zero_line, const BoxMapping& map, ValueRange range);
  void DrawValueAxis(QPainter& painter, const QRectF& box, ValueRange range, const BoxMapping& map,
                     const std::string& unit, bool quantity);
  void DrawEventTimeAxis(QPainter& painter, const QRectF& box, SampleWindow window, const BoxMapping& map);
  void DrawIntervalTimeAxis(QPainter& painter, const QRectF& box, SampleWindow window, const BoxMapping& map);
  void DrawXAxis(QPainter& painter, const QRectF& box, double lower, double upper,
                 const std::string& caption);
  void DrawPolyline(QPainter& painter, const std::vector<DevicePoint>& points);
  void DrawDots(QPainter& painter, const std::vector<DevicePoint>& points);
  void DrawChannelColumn(QPainter& painter, const QRectF& box, int channel, const ViewState& view);
  std::string PageTitle(int mode) const;
  std::vector<int> ShownChannels(const ViewState& view) const;
  int Tolerance(SampleWindow window) const;
  std::string T(int id) const { return strings_.Text(id); }

  const COndalyneDoc& doc_;
  const kr::StringTable& strings_;
  LevelCache levels_;
  bool levels_ready_ = false;
  RenderOptions options_;
  PageLayout layout_;
  QFont normal_, bold_;
  int ascent_ = 0;
  std::vector<DrawnBox> boxes_;
  std::vector<std::vector<DevicePoint>> traces_;
  std::array<Spectrum, 3> spectra_;
  SampleWindow spectrum_window_{-1, -1};
  bool spectrum_offset_ = false;
};

}  // namespace ondalyne
