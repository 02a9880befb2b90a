#include "ondalyne/render/page_renderer.h"

#include <QFontMetrics>
#include <QPen>
#include <algorithm>
#include <cmath>

#include "krcommon/event_bytes.h"
#include "ondalyne/core/assessment.h"
#include "ondalyne/core/step_rule.h"
#include "ondalyne/core/time_axis.h"
#include "ondalyne/resources/ondalyne_strings.h"

namespace ondalyne {

namespace {

using F = kr::HeaderField;

constexpr std::size_t kPolylineChunk = 16383;
// Above this many samples per plot column the trace is drawn from the level cache.
constexpr double kSamplesPerColumnForLevels = 4.0;

const QColor kTraceBlue(0, 0, 255);

QString Q(const std::string& text) {
  return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

std::string Last(const std::string& text, std::size_t n) {
  return text.size() <= n ? text : text.substr(text.size() - n);
}

// The peak and corrected-peak values are written with the decimals the X channel's LSB needs.
const char* PeakFormat(int exponent) {
  switch (exponent) {
    case -9:
      return "%.7lf %s";
    case -8:
      return "%.6lf %s";
    case -7:
      return "%.5lf %s";
    case -6:
      return "%.4lf %s";
    default:
      return "%.2lf %s";
  }
}

}  // namespace

void CPageRenderer::PrepareLevels() {
  if (levels_ready_) return;
  levels_.Build(doc_);
  levels_ready_ = true;
}

std::vector<int> CPageRenderer::ShownChannels(const ViewState& view) const {
  if (view.channel >= 1 && view.channel <= 3) return {view.channel - 1};
  return {0, 1, 2};
}

int CPageRenderer::Tolerance(SampleWindow window) const {
  return options_.paper && window.size() > 1000 ? std::max(options_.enhanced_graphic, 0) : 0;
}

void CPageRenderer::SetUpFonts(QPaintDevice* device, const QRect& area, const RenderOptions& options,
                               bool single_box) {
  PageRect rect{area.left(), area.top(), area.width(), area.height()};
  int font_height = ScreenFontHeight(area.width(), area.height());
  int char_width = 0;
  if (options.paper) {
    PrinterMetrics metrics = PrinterLayout(rect);
    rect = metrics.rect;
    font_height = metrics.font_height;
    char_width = metrics.char_width;
  }
  normal_ = QFont(Q(options.font_name));
  normal_.setPixelSize(std::max(font_height, 1));
  normal_.setWeight(QFont::Normal);
  if (options.paper) {
    // On paper the character width is given by the page; the face is stretched to it, as the
    // printer fonts are created with both height and width.
    const int natural = QFontMetrics(normal_, device).averageCharWidth();
    if (natural > 0) normal_.setStretch(std::clamp(100 * char_width / natural, 1, 4000));
  }
  bold_ = normal_;
  bold_.setWeight(QFont::Bold);
  QFontMetrics metrics(normal_, device);
  ascent_ = metrics.ascent();
  if (char_width == 0) char_width = metrics.averageCharWidth();
  layout_ = LayoutPage(rect, metrics.lineSpacing(), char_width, single_box);
  if (options.picture) {
    // Room for the label of the top tick above the first box.
    layout_.first_box_top = rect.top + layout_.h / 2.0;
    if (options.picture_box_height > 0) layout_.box_height = options.picture_box_height;
  }
}

QSize CPageRenderer::PictureSize(QPaintDevice* device, const QRect& client, const ViewState& view,
                                 const RenderOptions& options) {
  const bool single = view.channel != 0 || view.mode == kModeVectorSum || view.mode == kModeAssessment;
  SetUpFonts(device, client, options, single);
  const PageLayout& l = layout_;
  const int boxes = single ? 1 : 3;
  double bottom = l.BoxTop(boxes - 1) + l.box_height + l.major_tick + l.h;
  // The trigger mark hangs one more line below the labels of an event file's time axis.
  if (view.mode == kModeTimeHistory && !doc_.IsInterval()) bottom += 2 * l.h;
  bottom += l.h / 2.0;
  const int width = l.text_left + 14 * l.w;
  return {width, static_cast<int>(std::ceil(bottom))};
}

void CPageRenderer::DrawText(QPainter& painter, double x, double line_top, const std::string& text,
                             bool bold) {
  painter.setFont(bold ? bold_ : normal_);
  painter.setPen(Qt::black);
  painter.drawText(QPointF(x, line_top + ascent_), Q(text));
  if (bold) painter.setFont(normal_);
}

void CPageRenderer::DrawTextRight(QPainter& painter, double right, double line_top, const std::string& text) {
  QFontMetrics metrics(painter.font(), painter.device());
  DrawText(painter, right - metrics.horizontalAdvance(Q(text)), line_top, text);
}

std::string CPageRenderer::PageTitle(int mode) const {
  switch (mode) {
    case kModeStatus:
      return T(sid::kTitleStatus);
    case kModeTimeHistory:
      if (doc_.IsKbFile()) return T(sid::kTitleKbFile);
      return doc_.IsInterval() ? T(sid::kTitlePeakFile) : T(sid::kTitleTimeHistory);
    case kModeFrequency:
      return T(sid::kTitleFrequency);
    case kModeVectorSum:
      return T(sid::kTitleVectorSum);
    case kModePeakFrequency:
      return T(sid::kTitlePeakFrequency);
    case kModeAssessment:
      return T(sid::kTitleAssessment);
    default:
      return "";
  }
}

void CPageRenderer::Paint(QPainter& painter, const QRect& area, ViewState& view,
                          const RenderOptions& options) {
  options_ = options;
  boxes_.clear();
  traces_.clear();
  if (doc_.kind() < 0) return;
  // A window outside the record (a caller's slip) is cut to the record rather than read past it.
  const auto count = static_cast<std::int64_t>(doc_.count());
  view.zoom.first = std::clamp<std::int64_t>(view.zoom.first, 0, count);
  view.zoom.end = std::clamp<std::int64_t>(view.zoom.end, view.zoom.first, count);
  if (view.zoom.end == view.zoom.first) view.zoom = {0, count};
  const bool single = view.channel != 0 || view.mode == kModeVectorSum || view.mode == kModeAssessment;
  SetUpFonts(painter.device(), area, options, single);
  painter.setFont(normal_);
  painter.save();
  if (options.picture) {
    if (view.mode != kModeStatus && doc_.kind() > 0) DrawPage(painter, view);
    painter.restore();
    view.recompute = false;
    return;
  }
  DrawHeader(painter, view);
  if (doc_.kind() == 0) {
    DrawText(painter, layout_.rect.left, layout_.rect.top + 5 * layout_.h, doc_.last_error());
    painter.restore();
    view.recompute = false;
    return;
  }
  DrawPage(painter, view);
  painter.restore();
  view.recompute = false;
}

void CPageRenderer::DrawPage(QPainter& painter, ViewState& view) {
  switch (view.mode) {
    case kModeStatus:
      DrawStatusPage(painter);
      break;
    case kModeTimeHistory:
      DrawTimeHistory(painter, view);
      break;
    case kModeFrequency:
      if (PageAvailable(doc_, kModeFrequency)) DrawFrequencyPage(painter, view);
      break;
    case kModeVectorSum:
      if (PageAvailable(doc_, kModeVectorSum)) DrawVectorSum(painter, view);
      break;
    case kModePeakFrequency:
      if (PageAvailable(doc_, kModePeakFrequency)) DrawPeakFrequency(painter, view);
      break;
    case kModeAssessment:
      if (PageAvailable(doc_, kModeAssessment)) DrawAssessment(painter, view);
      break;
    default:
      break;
  }
}

void CPageRenderer::DrawHeader(QPainter& painter, const ViewState& view) {
  const PageLayout& l = layout_;
  const double top = l.rect.top;
  const double left = l.rect.left;
  const std::string file_line = T(sid::kFileLabel) + " " + doc_.path();
  if (options_.paper) {
    // Paper carries the file and the analysis stamp in the top margin, above the block.
    DrawText(painter, left, top - 2 * l.h, file_line);
    DrawTextRight(
        painter, l.rect.left + l.rect.width, top - 2 * l.h,
        strings_.Format(sid::kPrintStamp, options_.program, options_.version, options_.analysis_date));
  } else {
    DrawText(painter, left, top, file_line);
  }
  const std::string& date_source = view.mode == kModeTimeHistory ? doc_.start_text() : doc_.trigger_text();
  DrawText(painter, left, top + l.h,
           T(sid::kDateLabel) + date_source.substr(0, std::min<std::size_t>(10, date_source.size())));
  if (doc_.kind() > 0) {
    DrawText(painter, left, top + 2 * l.h, T(sid::kStationLabel) + doc_.Header().Text(F::comment));
  }
  if (view.mode != kModeStatus && doc_.kind() > 0) {
    const double column = l.rect.left + l.rect.width - 30 * l.w;
    const bool whole = view.zoom.first == 0 && view.zoom.end == static_cast<std::int64_t>(doc_.count());
    DrawText(painter, column, top, T(sid::kWholeHistory) + T(whole ? sid::kYes : sid::kNo));
    const kr::EventHeader h = doc_.Header();
    const int state = h.Value(F::error) != 0     ? sid::kError
                      : h.Value(F::warning) != 0 ? sid::kWarning
                                                 : sid::kOk;
    const std::string label = T(sid::kStatusLabel);
    DrawText(painter, column, top + l.h, label);
    QFontMetrics metrics(normal_, painter.device());
    DrawText(painter, column + metrics.horizontalAdvance(Q(label)), top + l.h, T(state), true);
    if (doc_.units()[0] != "mV") {
      DrawText(painter, column, top + 2 * l.h,
               T(sid::kOffsetCorrected) + T(view.offset ? sid::kYes : sid::kNo));
    }
  }
  const std::string title = PageTitle(view.mode);
  QFontMetrics bold_metrics(bold_, painter.device());
  const double title_x = l.plot_left + l.plot_width / 2.0 - bold_metrics.horizontalAdvance(Q(title)) / 2.0;
  DrawText(painter, title_x, top + 2 * l.h, title, true);
}

void CPageRenderer::DrawStatusPage(QPainter& painter) {
  const kr::EventHeader h = doc_.Header();
  const bool x_layout = h.layout() == kr::HeaderLayout::kX;
  auto byte = [&](F f) { return static_cast<unsigned>(h.RawByte(f)); };
  std::vector<std::pair<std::string, std::string>> rows;
  auto row = [&](int label, std::string value) { rows.emplace_back(T(label), std::move(value)); };
  auto heading = [&](int label) { rows.emplace_back(T(label), std::string("\x01")); };

  row(sid::kStKrSerial, h.Text(F::s_number));
  row(sid::kStSensorSerial, h.Text(F::ss_number));
  heading(sid::kStRecording);
  const unsigned channel = byte(F::trig_chan);
  std::string channel_text;
  if (channel <= 3) {
    channel_text = T(channel == 0 ? sid::kTrigChanHardware : sid::kTrigChanX + static_cast<int>(channel) - 1);
  } else if (channel == 98) {
    channel_text = T(sid::kTrigChanAlarm);
  } else if (channel == 99) {
    channel_text = T(sid::kTrigChanHcu);
  } else {
    channel_text = kr::FormatPrintf("%u", channel);
  }
  row(sid::kStTriggerChannel, channel_text);
  row(sid::kStTimeOfTrigger, doc_.trigger_text());
  row(sid::kStDuration,
      kr::FormatPrintf("%.0lf s", doc_.sampling_rate() > 0 ? doc_.count() / doc_.sampling_rate() : 0.0));
  heading(sid::kStParameters);
  row(sid::kStTriggerLevels, "");
  for (std::size_t c = 0; c < 3; ++c) {
    row(sid::kStLevelX + static_cast<int>(c),
        kr::FormatPrintf("%.3lf %s", doc_.trigger_levels()[c], doc_.units()[c].c_str()));
  }
  const unsigned logic = byte(F::trig_mode);
  row(sid::kStTriggerLogic,
      logic <= 7 ? T(sid::kLogicFirst + static_cast<int>(logic)) : kr::FormatPrintf("%u", logic));
  row(sid::kStPreEvent, kr::FormatPrintf("%.0lf s", static_cast<double>(byte(F::prevent))));
  row(sid::kStPostEvent, kr::FormatPrintf("%.0lf s", static_cast<double>(byte(F::postevent))));
  const unsigned filter = byte(F::dsp_settings);
  row(sid::kStFilter, kr::FormatPrintf("%u / %u", filter >> 4, filter & 0x0F));
  const int mode = doc_.recording_mode();
  row(sid::kStRecordingMode,
      kr::FormatPrintf(
          "%u: %s", static_cast<unsigned>(mode),
          (mode >= 0 && mode <= 14 ? T(sid::kRecordingModeFirst + mode) : T(sid::kNotAvailable)).c_str()));
  heading(sid::kStCondition);
  row(sid::kStMainBattery, kr::FormatPrintf("%.3f V", static_cast<double>(h.Value(F::bat_main)) / 1000.0));
  row(sid::kStProcBattery, kr::FormatPrintf("%.3f V", static_cast<double>(h.Value(F::bat_backup)) / 1000.0));
  const std::span<const std::uint8_t> raw = doc_.header();
  const unsigned memory = x_layout ? kr::ReadU8(raw, 230) : kr::ReadU16Le(raw, 60);
  row(sid::kStMemoryBattery,
      memory <= 3 ? T(sid::kBatteryFirst + static_cast<int>(memory)) : kr::FormatPrintf("%u", memory));
  row(sid::kStRestarts, kr::FormatPrintf("%u", byte(F::nb_restart)));
  row(sid::kStPowerLosses, kr::FormatPrintf("%u", byte(F::nb_ac_lost)));
  row(sid::kStLastPowerLoss, doc_.power_loss_text());
  row(sid::kStFirmware, kr::FormatPrintf("%3.2f", doc_.firmware() / 100.0));
  row(sid::kStDspFirmware, kr::FormatPrintf("%u.%2.2u", byte(F::dsp_version), byte(F::dsp_revision)));
  heading(sid::kStTimeBase);
  row(sid::kStLastTimeMark, doc_.time_mark_text());
  row(sid::kStSynchronization, h.Value(F::sync_ok) != 0 ? T(sid::kOk) : T(sid::kSyncNone));

  const PageLayout& l = layout_;
  const double label_x = l.rect.left + 2 * l.w;
  const double value_x = l.rect.left + 45 * l.w;
  double y = l.rect.top + 4 * l.h;
  for (const auto& [label, value] : rows) {
    if (value == "\x01") {
      DrawText(painter, l.rect.left, y, label, true);
    } else {
      DrawText(painter, label_x, y, label);
      DrawText(painter, value_x, y, value);
    }
    y += l.h;
  }
}

void CPageRenderer::DrawBox(QPainter& painter, const QRectF& box, bool zero_line, const BoxMapping& map,
                            ValueRange range) {
  painter.setPen(QPen(Qt::black, 0));
  painter.setBrush(Qt::NoBrush);
  painter.drawRect(box);
  if (zero_line && range.lower <= 0 && range.upper >= 0) {
    painter.setPen(QPen(Qt::black, 0, Qt::DotLine));
    const int y = map.Y(0.0);
    painter.drawLine(QPointF(box.left(), y), QPointF(box.right(), y));
  }
}

void CPageRenderer::DrawValueAxis(QPainter& painter, const QRectF& box, ValueRange range,
                                  const BoxMapping& map, const std::string& unit, bool quantity) {
  const PageLayout& l = layout_;
  const AxisStep step = StepRule((range.upper - range.lower) / 10.0);
  painter.setPen(QPen(Qt::black, 0));
  for (const ValueTick& tick : ValueTicks(range.lower, range.upper, step)) {
    const int y = map.Y(tick.value);
    const int length = tick.major ? l.major_tick : l.minor_tick;
    painter.drawLine(QPointF(box.left() - length, y), QPointF(box.left(), y));
    if (!tick.major) continue;
    DrawTextRight(painter, box.left() - 2 * l.w, y - l.h / 2.0, tick.label);
    painter.setPen(QPen(Qt::black, 0));
    if (quantity && tick.label == "0") {
      DrawText(painter, l.rect.left, y - 1.5 * l.h, unit == "mg" ? " a" : " v");
      DrawText(painter, l.rect.left, y - l.h / 2.0, "[" + unit + "]");
      painter.setPen(QPen(Qt::black, 0));
    }
  }
}

void CPageRenderer::DrawPolyline(QPainter& painter, const std::vector<DevicePoint>& points) {
  QPen pen(kTraceBlue, options_.paper ? 3 : 1);
  painter.setPen(pen);
  painter.setRenderHint(QPainter::Antialiasing, false);
  if (points.size() == 1) {
    painter.drawPoint(points[0].x, points[0].y);
    return;
  }
  std::vector<QPoint> chunk;
  chunk.reserve(std::min(points.size(), kPolylineChunk));
  // Chunks share their end points so that the line has no gap.
  for (std::size_t start = 0; start + 1 < points.size(); start += kPolylineChunk - 1) {
    const std::size_t end = std::min(points.size(), start + kPolylineChunk);
    chunk.clear();
    for (std::size_t i = start; i < end; ++i) chunk.emplace_back(points[i].x, points[i].y);
    painter.drawPolyline(chunk.data(), static_cast<int>(chunk.size()));
  }
}

void CPageRenderer::DrawDots(QPainter& painter, const std::vector<DevicePoint>& points) {
  painter.setPen(QPen(kTraceBlue, options_.paper ? 3 : 1));
  painter.setBrush(Qt::NoBrush);
  int radius = static_cast<int>(std::ceil(layout_.left_margin * options_.dot_radius_percent / 100.0));
  radius = std::max(radius, options_.paper ? 4 : 1);
  for (const DevicePoint& p : points) painter.drawEllipse(QPoint(p.x, p.y), radius, radius);
}

void CPageRenderer::DrawChannelColumn(QPainter& painter, const QRectF& box, int channel,
                                      const ViewState& view) {
  const PageLayout& l = layout_;
  const auto c = static_cast<std::size_t>(channel);
  const double x = l.text_left;
  double y = box.top();
  DrawText(painter, x, y, T(sid::kChannelX + channel), true);
  if (options_.picture) return;
  y += 1.5 * l.h;
  const std::string& unit = doc_.units()[c];
  const bool kb = doc_.IsKbFile();
  DrawText(painter, x, y, T(kb ? sid::kKbfMax : unit == "mV" ? sid::kPeakValue : sid::kMaxUncorrected));
  y += l.h;
  const int exponent = static_cast<int>(doc_.Header().Value(F::ch_lsb_exp_x));
  const char* format = PeakFormat(exponent);
  const double peak = std::max(std::fabs(doc_.minimum()[c]), std::fabs(doc_.maximum()[c]));
  DrawText(painter, x, y, kr::FormatPrintfRuntime(format, peak, unit.c_str()));
  y += l.h;
  if (!doc_.IsInterval() && unit != "mV") {
    const double corrected = std::max(std::fabs(doc_.minimum()[c] - doc_.mean()[c]),
                                      std::fabs(doc_.maximum()[c] - doc_.mean()[c]));
    DrawText(painter, x, y, T(sid::kMaxCorrected));
    DrawText(painter, x, y + l.h, kr::FormatPrintfRuntime(format, corrected, unit.c_str()));
  } else if (kb) {
    DrawText(painter, x, y, T(sid::kKbfTm));
    DrawText(painter, x, y + l.h, kr::FormatPrintfRuntime(format, doc_.rms()[c], unit.c_str()));
  }
  (void)view;
}

void CPageRenderer::DrawTimeHistory(QPainter& painter, const ViewState& view) {
  const PageLayout& l = layout_;
  const std::vector<int> channels = ShownChannels(view);
  const SampleWindow window = view.zoom;
  for (std::size_t index = 0; index < channels.size(); ++index) {
    const int channel = channels[index];
    const auto c = static_cast<std::size_t>(channel);
    const QRectF box(l.plot_left, l.BoxTop(static_cast<int>(index)), l.plot_width, l.box_height);
    const ValueRange range = ChannelRange(doc_, view.channel, channel, view.offset);
    const BoxMapping map = MakeMapping(box.left(), box.top(), l.plot_width, l.box_height, window, range);
    const double offset = view.offset ? doc_.mean()[c] : 0.0;
    DrawBox(painter, box, !doc_.IsInterval(), map, range);
    std::vector<DevicePoint> points;
    const bool dense = window.size() > kSamplesPerColumnForLevels * l.plot_width;
    if (!doc_.IsInterval() && dense && Tolerance(window) == 0) {
      PrepareLevels();
      points = ChannelPointsFromLevels(doc_, levels_, channel, map, window, offset);
    } else {
      points = ChannelPoints(doc_, channel, map, window, offset, Tolerance(window));
    }
    if (doc_.IsInterval()) {
      DrawDots(painter, points);
    } else {
      DrawPolyline(painter, points);
    }
    DrawValueAxis(painter, box, range, map, doc_.units()[c], !doc_.IsKbFile());
    DrawChannelColumn(painter, box, channel, view);
    boxes_.push_back({channel, box, map});
    traces_.push_back(std::move(points));
  }
  const DrawnBox& last = boxes_.back();
  if (doc_.IsInterval()) {
    DrawIntervalTimeAxis(painter, last.rect, window, last.mapping);
  } else {
    DrawEventTimeAxis(painter, last.rect, window, last.mapping);
  }
}

void CPageRenderer::DrawEventTimeAxis(QPainter& painter, const QRectF& box, SampleWindow window,
                                      const BoxMapping& map) {
  const PageLayout& l = layout_;
  const TimeAxis axis = EventTimeAxis(static_cast<double>(window.first), static_cast<double>(window.end),
                                      doc_.sampling_rate(), doc_.start_seconds_of_day(), options_.us_date);
  const double bottom = box.bottom();
  QFontMetrics metrics(normal_, painter.device());
  for (const TimeTick& tick : axis.ticks) {
    const int x = map.X(tick.position);
    painter.setPen(QPen(Qt::black, 0));
    painter.drawLine(QPointF(x, bottom), QPointF(x, bottom + (tick.major ? l.major_tick : l.minor_tick)));
    if (tick.major)
      DrawText(painter, x - metrics.horizontalAdvance(Q(tick.label)) / 2.0, bottom + l.major_tick,
               tick.label);
  }
  DrawText(painter, l.text_left, bottom + l.major_tick, strings_.Format(sid::kTimeAxis, axis.unit));

  // The trigger: pre-event seconds after the first sample of the record.
  const double trigger = doc_.pre_event_seconds() * doc_.sampling_rate();
  if (trigger < window.first || trigger >= window.end) return;
  const int x = map.X(trigger);
  if (x < box.left() + l.w || x > box.right() - l.w) return;
  const double top = bottom + l.major_tick + l.h;
  const double arrow = l.h / 6.0;
  painter.setPen(QPen(Qt::black, 0));
  painter.drawLine(QPointF(x, top), QPointF(x, top + l.h));
  painter.drawLine(QPointF(x, top), QPointF(x - arrow, top + arrow));
  painter.drawLine(QPointF(x, top), QPointF(x + arrow, top + arrow));
  const std::string text = T(sid::kTrigger) + Last(doc_.trigger_text(), options_.us_date ? 15 : 12);
  double text_x = x + l.w;
  const double width = metrics.horizontalAdvance(Q(text));
  if (text_x + width > box.right()) text_x = x - l.w - width;
  DrawText(painter, text_x, top, text);
}

void CPageRenderer::DrawIntervalTimeAxis(QPainter& painter, const QRectF& box, SampleWindow window,
                                         const BoxMapping& map) {
  const PageLayout& l = layout_;
  const TimeAxis axis = IntervalTimeAxis(static_cast<double>(window.first), static_cast<double>(window.end),
                                         doc_.sampling_rate(), doc_.start_date_time(),
                                         doc_.start_seconds_of_day(), options_.us_date);
  const double bottom = box.bottom();
  QFontMetrics metrics(normal_, painter.device());
  for (const TimeTick& tick : axis.ticks) {
    const int x = map.X(tick.position);
    painter.setPen(QPen(Qt::black, 0));
    painter.drawLine(QPointF(x, bottom), QPointF(x, bottom + (tick.major ? l.major_tick : l.minor_tick)));
    if (tick.major)
      DrawText(painter, x - metrics.horizontalAdvance(Q(tick.label)) / 2.0, bottom + l.major_tick,
               tick.label);
  }
  DrawText(painter, l.text_left, bottom + l.major_tick, strings_.Format(sid::kTimeAxis, axis.unit));
}

void CPageRenderer::DrawXAxis(QPainter& painter, const QRectF& box, double lower, double upper,
                              const std::string& caption) {
  const PageLayout& l = layout_;
  const AxisStep step = StepRule((upper - lower) / 10.0);
  const double scale = upper > lower ? box.width() / (upper - lower) : 1.0;
  QFontMetrics metrics(normal_, painter.device());
  for (const ValueTick& tick : ValueTicks(lower, upper, step)) {
    const double x = std::floor(box.left() + (tick.value - lower) * scale + 0.5);
    painter.setPen(QPen(Qt::black, 0));
    painter.drawLine(QPointF(x, box.bottom()),
                     QPointF(x, box.bottom() + (tick.major ? l.major_tick : l.minor_tick)));
    if (tick.major)
      DrawText(painter, x - metrics.horizontalAdvance(Q(tick.label)) / 2.0, box.bottom() + l.major_tick,
               tick.label);
  }
  DrawText(painter, l.text_left, box.bottom() + l.major_tick, caption);
}

void CPageRenderer::DrawFrequencyPage(QPainter& painter, ViewState& view) {
  const PageLayout& l = layout_;
  const std::vector<int> channels = ShownChannels(view);
  const SampleWindow window = view.zoom;
  const bool moved = spectrum_window_.first != window.first || spectrum_window_.end != window.end ||
                     spectrum_offset_ != view.offset || spectra_[0].lines.empty();
  if (moved || view.recompute) {
    for (int c = 0; c < 3; ++c) {
      const double offset = view.offset ? doc_.mean()[static_cast<std::size_t>(c)] : 0.0;
      spectra_[static_cast<std::size_t>(c)] = ComputeSpectrum(
          static_cast<std::size_t>(std::max<std::int64_t>(window.size(), 0)), doc_.sampling_rate(), offset,
          [&](std::size_t k) { return doc_.Value(c, static_cast<std::size_t>(window.first) + k); });
    }
    spectrum_window_ = window;
    spectrum_offset_ = view.offset;
  }
  const auto line_count = static_cast<std::int64_t>(spectra_[0].lines.size());
  // A new time window starts the spectrum-line window afresh; a line zoom keeps it.
  if (view.lines.end <= view.lines.first || view.lines.end > line_count || moved)
    view.lines = {0, line_count};
  const SampleWindow lines = view.lines;
  double top_amplitude = 0;
  for (int channel : channels) {
    const Spectrum& s = spectra_[static_cast<std::size_t>(channel)];
    for (std::int64_t j = lines.first; j < lines.end; ++j)
      top_amplitude = std::max(top_amplitude, s.lines[static_cast<std::size_t>(j)].amplitude);
  }
  const ValueRange range{0.0, top_amplitude * 1.03};
  const double f_lo = spectra_[0].lines[static_cast<std::size_t>(lines.first)].frequency;
  const double f_hi = spectra_[0].lines[static_cast<std::size_t>(lines.end - 1)].frequency;
  for (std::size_t index = 0; index < channels.size(); ++index) {
    const int channel = channels[index];
    const Spectrum& s = spectra_[static_cast<std::size_t>(channel)];
    const QRectF box(l.plot_left, l.BoxTop(static_cast<int>(index)), l.plot_width, l.box_height);
    const BoxMapping map = MakeMapping(box.left(), box.top(), l.plot_width, l.box_height, lines, range);
    DrawBox(painter, box, false, map, range);
    std::vector<DevicePoint> points;
    for (std::int64_t j = lines.first; j < lines.end; ++j)
      AddThinned(points,
                 {map.X(static_cast<double>(j)), map.Y(s.lines[static_cast<std::size_t>(j)].amplitude)}, 0);
    DrawPolyline(painter, points);
    DrawValueAxis(painter, box, range, map, doc_.units()[static_cast<std::size_t>(channel)], false);
    DrawText(painter, l.text_left, box.top(), T(sid::kChannelX + channel), true);
    if (!options_.picture) {
      DrawText(painter, l.text_left, box.top() + 1.5 * l.h, T(sid::kMaxFrequency));
      DrawText(painter, l.text_left, box.top() + 2.5 * l.h, kr::FormatPrintf("%.2lf Hz", s.peak_frequency));
    }
    boxes_.push_back({channel, box, map});
    traces_.push_back(std::move(points));
  }
  const DrawnBox& last = boxes_.back();
  DrawXAxis(painter, last.rect, f_lo, f_hi, strings_.Format(sid::kFrequencyAxis, std::string("Hz")));
}

void CPageRenderer::DrawVectorSum(QPainter& painter, const ViewState& view) {
  const PageLayout& l = layout_;
  const SampleWindow window = view.zoom;
  const QRectF box(l.plot_left, l.BoxTop(0), l.plot_width, l.box_height);
  const double span = doc_.vector_sum_max() - doc_.vector_sum_min();
  const ValueRange range{doc_.vector_sum_min() - 0.03 * span, doc_.vector_sum_max() + 0.03 * span};
  const BoxMapping map = MakeMapping(box.left(), box.top(), l.plot_width, l.box_height, window, range);
  DrawBox(painter, box, false, map, range);
  std::vector<DevicePoint> points;
  const auto& sums = doc_.vector_sums();
  for (std::int64_t i = window.first; i < window.end && i < static_cast<std::int64_t>(sums.size()); ++i)
    AddThinned(points, {map.X(static_cast<double>(i)), map.Y(sums[static_cast<std::size_t>(i)])},
               Tolerance(window));
  DrawDots(painter, points);
  DrawValueAxis(painter, box, range, map, doc_.units()[0], !doc_.IsKbFile());
  DrawText(painter, l.text_left, box.top(), T(sid::kVectorSumLabel), true);
  boxes_.push_back({3, box, map});
  traces_.push_back(std::move(points));
  DrawIntervalTimeAxis(painter, box, window, map);
}

void CPageRenderer::DrawPeakFrequency(QPainter& painter, const ViewState& view) {
  const PageLayout& l = layout_;
  const std::vector<int> channels = ShownChannels(view);
  const SampleWindow window = view.zoom;
  const double f_span = doc_.frequency_max() - doc_.frequency_min();
  const double f_upper = doc_.frequency_max() + 0.03 * f_span;
  for (std::size_t index = 0; index < channels.size(); ++index) {
    const int channel = channels[index];
    const QRectF box(l.plot_left, l.BoxTop(static_cast<int>(index)), l.plot_width, l.box_height);
    const ValueRange range{0.0, doc_.overall_max()};
    BoxMapping map = MakeMapping(box.left(), box.top(), l.plot_width, l.box_height, {0, 2}, range);
    // x runs over the frequency: 0 .. f_upper across the plot width.
    map.first = 0;
    map.x_scale = f_upper > 0 ? l.plot_width / f_upper : 1.0;
    DrawBox(painter, box, false, map, range);
    std::vector<DevicePoint> points;
    for (std::int64_t i = window.first; i < window.end; ++i) {
      const auto record = static_cast<std::size_t>(i);
      AddThinned(points, {map.X(doc_.Frequency(channel, record)), map.Y(doc_.Value(channel, record))}, 0);
    }
    DrawDots(painter, points);
    DrawValueAxis(painter, box, range, map, doc_.units()[static_cast<std::size_t>(channel)],
                  !doc_.IsKbFile());
    DrawChannelColumn(painter, box, channel, view);
    boxes_.push_back({channel, box, map});
    traces_.push_back(std::move(points));
  }
  DrawXAxis(painter, boxes_.back().rect, 0.0, f_upper,
            strings_.Format(sid::kFrequencyAxis, std::string("Hz")));
}

void CPageRenderer::DrawAssessment(QPainter& painter, const ViewState& view) {
  const PageLayout& l = layout_;
  const DocumentAssessment assessment = AssessDocument(doc_);
  const std::vector<int> channels = ShownChannels(view);
  // The plane: frequency from 0 to at least 125 Hz, velocity from 0 to at least the top of line 1,
  // both wide enough for every shown point.
  double f_upper = 125.0, v_upper = 55.0;
  for (int c : channels) {
    const kr::ChannelAssessment& a = assessment.channels[static_cast<std::size_t>(c)];
    if (a.frequency_hz) f_upper = std::max(f_upper, *a.frequency_hz * 1.1);
    v_upper = std::max(v_upper, a.peak * 1.1);
  }
  const QRectF box(l.plot_left, l.BoxTop(0), l.plot_width, l.box_height);
  const ValueRange range{0.0, v_upper};
  BoxMapping map = MakeMapping(box.left(), box.top(), l.plot_width, box.height(), {0, 2}, range);
  map.first = 0;
  map.x_scale = l.plot_width / f_upper;
  DrawBox(painter, box, false, map, range);
  DrawValueAxis(painter, box, range, map, "mm/s", true);
  DrawXAxis(painter, box, 0.0, f_upper, strings_.Format(sid::kFrequencyAxis, std::string("Hz")));
  DrawText(painter, box.left() + l.w, box.top() + l.h / 2.0, T(sid::kAssessCaption));

  // The three lines: flat to 10 Hz, straight to 50 and 100 Hz, flat beyond.
  const QColor line_colours[3] = {QColor(0, 128, 0), QColor(200, 120, 0), QColor(200, 0, 0)};
  for (int line = kr::kFirstLine; line <= kr::kLastLine; ++line) {
    std::vector<QPointF> points;
    for (double f : {0.0, 10.0, 50.0, 100.0, f_upper})
      points.emplace_back(map.X(f), map.Y(kr::GuidelineVelocity(line, f)));
    painter.setPen(QPen(line_colours[line - 1], options_.paper ? 3 : 2));
    painter.drawPolyline(points.data(), static_cast<int>(points.size()));
    painter.setPen(Qt::black);
    const QPointF end = points.back();
    DrawTextRight(painter, end.x() - l.w, end.y() - l.h,
                  strings_.Format(sid::kLineLabel, line) + ": " + T(sid::kLineNameFirst + line - 1));
  }

  // Each channel's point (its peak at its frequency) and its figures in the text column.
  double y = box.top();
  std::vector<DevicePoint> points;
  for (int c : channels) {
    const auto ci = static_cast<std::size_t>(c);
    const kr::ChannelAssessment& a = assessment.channels[ci];
    const std::string letter = std::string(1, static_cast<char>('X' + c));
    if (a.frequency_hz) {
      const DevicePoint p{map.X(*a.frequency_hz), map.Y(a.peak)};
      points.push_back(p);
      painter.setPen(QPen(kTraceBlue, options_.paper ? 3 : 1));
      painter.setBrush(kTraceBlue);
      const int r = std::max(3, l.w / 2);
      painter.drawEllipse(QPoint(p.x, p.y), r, r);
      painter.setBrush(Qt::NoBrush);
      DrawText(painter, p.x + r + 2, p.y - l.h, letter, true);
    }
    DrawText(painter, l.text_left, y, T(sid::kChannelX + c), true);
    y += 1.25 * l.h;
    DrawText(painter, l.text_left, y, kr::FormatPrintfRuntime(T(sid::kAssessPeak).c_str(), a.peak));
    y += l.h;
    DrawText(painter, l.text_left, y,
             a.frequency_hz ? kr::FormatPrintfRuntime(T(sid::kAssessFrequency).c_str(), *a.frequency_hz)
                            : T(sid::kAssessNoFrequency));
    y += l.h;
    for (int line = kr::kFirstLine; line <= kr::kLastLine; ++line) {
      const auto li = static_cast<std::size_t>(line - 1);
      const double ratio = assessment.ratio[ci][li];
      DrawText(painter, l.text_left, y,
               kr::FormatPrintfRuntime(T(sid::kAssessLine).c_str(), line, assessment.guideline[ci][li],
                                       100.0 * ratio),
               ratio > 1.0);
      y += l.h;
    }
    y += 0.75 * l.h;
  }
  DrawText(painter, l.text_left, y, T(sid::kAssessLegend));
  boxes_.push_back({0, box, map});
  traces_.push_back(std::move(points));
}

}  // namespace ondalyne
