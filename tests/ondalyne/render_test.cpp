#include <gtest/gtest.h>

#include <QGuiApplication>
#include <QImage>
#include <QPainter>
#include <cmath>
#include <filesystem>
#include <fstream>

#include "doc_test_support.h"
#include "ondalyne/render/page_output.h"
#include "ondalyne/render/page_renderer.h"
#include "sample_files.h"

namespace {

using namespace ondalyne;
using ondalyne_test::LoadDoc;

const kr::StringTable& Strings() {
  static const kr::StringTable strings = MakeOndalyneStringTable();
  return strings;
}

QImage Render(CPageRenderer& renderer, ViewState& view, QSize size, const RenderOptions& options = {}) {
  QImage image(size, QImage::Format_RGB32);
  image.fill(Qt::white);
  QPainter painter(&image);
  renderer.Paint(painter, image.rect(), view, options);
  return image;
}

bool IsTraceBlue(QRgb p) {
  return qBlue(p) > 200 && qRed(p) < 80 && qGreen(p) < 80;
}

// Blue pixels that one image has and the other lacks, inside the given rectangles.
struct BlueDiff {
  int blue_a = 0, blue_b = 0, only_a = 0, only_b = 0;
};
BlueDiff CompareBlue(const QImage& a, const QImage& b, const std::vector<QRect>& areas) {
  BlueDiff d;
  for (const QRect& r : areas) {
    for (int y = r.top(); y <= r.bottom(); ++y) {
      for (int x = r.left(); x <= r.right(); ++x) {
        const bool in_a = IsTraceBlue(a.pixel(x, y)), in_b = IsTraceBlue(b.pixel(x, y));
        d.blue_a += in_a;
        d.blue_b += in_b;
        d.only_a += in_a && !in_b;
        d.only_b += in_b && !in_a;
      }
    }
  }
  return d;
}

// The reference: every sample as a point of the box mapping written out here, joined by one blue
// polyline of width 1, without level cache, chunks or thinning.
QImage ReferenceTraces(QSize size, const COndalyneDoc& doc, const std::vector<DrawnBox>& boxes,
                       SampleWindow window, const std::array<double, 3>& offsets,
                       const std::array<std::pair<double, double>, 3>& ranges) {
  QImage image(size, QImage::Format_RGB32);
  image.fill(Qt::white);
  QPainter painter(&image);
  painter.setPen(QPen(QColor(0, 0, 255), 1));
  for (const DrawnBox& box : boxes) {
    const auto c = static_cast<std::size_t>(box.channel);
    const auto [lower, upper] = ranges[c];
    const double n = static_cast<double>(window.size());
    QPolygon polygon;
    for (std::int64_t i = window.first; i < window.end; ++i) {
      const double x = box.rect.left() + (i - window.first) * box.rect.width() / (n - 1);
      const double v = doc.Value(box.channel, static_cast<std::size_t>(i)) - offsets[c];
      const double y = box.rect.top() + (upper - v) * box.rect.height() / (upper - lower);
      polygon << QPoint(static_cast<int>(std::floor(x + 0.5)), static_cast<int>(std::floor(y + 0.5)));
    }
    painter.drawPolyline(polygon);
  }
  return image;
}

std::vector<QRect> Interiors(const std::vector<DrawnBox>& boxes) {
  std::vector<QRect> areas;
  for (const DrawnBox& b : boxes) areas.push_back(b.rect.toRect().adjusted(1, 1, -1, -1));
  return areas;
}

TEST(RenderTimeHistory, TracesMatchAReferenceDrawnFromEverySample) {
  COndalyneDoc doc = LoadDoc(ondalyne_test::WaveformFile(1, 200, 3), "a.skr");
  ASSERT_EQ(doc.kind(), 1);
  CPageRenderer renderer(doc, Strings());
  ViewState view = InitialViewState(doc, false, false);
  const QSize size(1000, 700);
  QImage page = Render(renderer, view, size);
  ASSERT_EQ(renderer.boxes().size(), 3u);
  // All channels share the document's range.
  std::array<std::pair<double, double>, 3> ranges;
  ranges.fill({doc.overall_min(), doc.overall_max()});
  QImage reference = ReferenceTraces(size, doc, renderer.boxes(), view.zoom, {0, 0, 0}, ranges);
  BlueDiff d = CompareBlue(page, reference, Interiors(renderer.boxes()));
  EXPECT_GT(d.blue_b, 1000);
  EXPECT_LE(d.only_a + d.only_b, d.blue_b / 100) << d.only_a << " " << d.only_b;
  EXPECT_FALSE(view.recompute);
}

TEST(RenderTimeHistory, OneChannelWithOffsetUsesItsOwnRangeMinusTheMean) {
  COndalyneDoc doc = LoadDoc(ondalyne_test::WaveformFile(3, 400, 3), "a.xkr");
  CPageRenderer renderer(doc, Strings());
  ViewState view = InitialViewState(doc, true, false);
  EXPECT_TRUE(view.offset);
  view.channel = 2;
  view.zoom = {500, 900};
  const QSize size(900, 600);
  QImage page = Render(renderer, view, size);
  ASSERT_EQ(renderer.boxes().size(), 1u);
  EXPECT_EQ(renderer.boxes()[0].channel, 1);
  const double span = doc.maximum()[1] - doc.minimum()[1];
  std::array<std::pair<double, double>, 3> ranges;
  ranges[1] = {doc.minimum()[1] - 0.03 * span - doc.mean()[1],
               doc.maximum()[1] + 0.03 * span - doc.mean()[1]};
  QImage reference = ReferenceTraces(size, doc, renderer.boxes(), view.zoom, {0, doc.mean()[1], 0}, ranges);
  BlueDiff d = CompareBlue(page, reference, Interiors(renderer.boxes()));
  EXPECT_GT(d.blue_b, 500);
  EXPECT_LE(d.only_a + d.only_b, d.blue_b / 100) << d.only_a << " " << d.only_b;
}

TEST(RenderTimeHistory, LongRecordsDrawnFromTheLevelCacheGiveTheSamePixels) {
  // 600 000 samples in a 900-pixel plot: the cache path.
  COndalyneDoc doc = LoadDoc(ondalyne_test::WaveformFile(3, 10000, 60), "long.xkr");
  ASSERT_EQ(doc.count(), 600000u);
  CPageRenderer renderer(doc, Strings());
  ViewState view = InitialViewState(doc, false, false);
  const QSize size(1200, 800);
  for (SampleWindow window : {SampleWindow{0, 600000}, SampleWindow{12345, 212345}}) {
    view.zoom = window;
    QImage page = Render(renderer, view, size);
    std::array<std::pair<double, double>, 3> ranges;
    ranges.fill({doc.overall_min(), doc.overall_max()});
    QImage reference = ReferenceTraces(size, doc, renderer.boxes(), window, {0, 0, 0}, ranges);
    BlueDiff d = CompareBlue(page, reference, Interiors(renderer.boxes()));
    EXPECT_GT(d.blue_b, 3000);
    EXPECT_LE(d.only_a + d.only_b, d.blue_b / 200) << window.first << ": " << d.only_a << " " << d.only_b;
    // Far fewer points than samples were handed to the painter.
    EXPECT_LT(renderer.traces()[0].size(), 8u * 1200);
  }
}

TEST(RenderTimeHistory, PolylinesLongerThanOneChunkHaveNoGap) {
  // 17000 samples a little more than a pixel apart: every sample is a point, two chunks, and the
  // segment across the chunk border is the only one that covers its pixels.
  auto file = kr_test::EventFileBuilder::SkrHeader(17000).U16(10, 10000);
  std::uint32_t noise = 1;
  for (int i = 0; i < 17000; ++i) {
    noise = noise * 1664525u + 1013904223u;
    file.Frame16(static_cast<int>(noise >> 20) - 2048, 0, 0);
  }
  COndalyneDoc doc = LoadDoc(file, "wide.skr");
  CPageRenderer renderer(doc, Strings());
  ViewState view = InitialViewState(doc, false, false);
  view.channel = 1;
  const QSize size(17300, 400);
  QImage page = Render(renderer, view, size);
  ASSERT_GT(renderer.traces()[0].size(), 16383u);
  std::array<std::pair<double, double>, 3> ranges;
  const double span = doc.maximum()[0] - doc.minimum()[0];
  ranges[0] = {doc.minimum()[0] - 0.03 * span, doc.maximum()[0] + 0.03 * span};
  QImage reference = ReferenceTraces(size, doc, renderer.boxes(), view.zoom, {0, 0, 0}, ranges);
  BlueDiff d = CompareBlue(page, reference, Interiors(renderer.boxes()));
  EXPECT_EQ(d.only_b, 0);
  EXPECT_LE(d.only_a, d.blue_b / 500);
}

TEST(RenderIntervalPages, DotsSitAtTheComputedPoints) {
  COndalyneDoc doc = LoadDoc(ondalyne_test::IntervalFile(5, 60), "a.bkr");
  ASSERT_EQ(doc.kind(), 5);
  CPageRenderer renderer(doc, Strings());
  ViewState view = InitialViewState(doc, true, false);
  EXPECT_FALSE(view.offset);
  view.mode = kModeVectorSum;
  QImage page = Render(renderer, view, {1000, 700});
  ASSERT_EQ(renderer.boxes().size(), 1u);
  const DrawnBox& box = renderer.boxes()[0];
  const double span = doc.vector_sum_max() - doc.vector_sum_min();
  const double lower = doc.vector_sum_min() - 0.03 * span, upper = doc.vector_sum_max() + 0.03 * span;
  // Dot radius: left margin 11 w times 5 % rounded up; the ring passes through (x + r, y).
  const int radius = static_cast<int>(std::ceil(renderer.layout().left_margin * 5 / 100.0));
  int hits = 0;
  for (std::size_t i = 0; i < 60; ++i) {
    const double x = box.rect.left() + i * box.rect.width() / 59.0;
    const double y = box.rect.top() + (upper - doc.vector_sums()[i]) * box.rect.height() / (upper - lower);
    const int px = static_cast<int>(std::floor(x + 0.5)), py = static_cast<int>(std::floor(y + 0.5));
    bool ring = false;
    for (int dx = -1; dx <= 1; ++dx)
      for (int dy = -1; dy <= 1; ++dy) ring |= IsTraceBlue(page.pixel(px + radius + dx, py + dy));
    hits += ring;
    EXPECT_FALSE(IsTraceBlue(page.pixel(px, py)) && radius > 2) << i;  // a circle, not a filled dot
  }
  EXPECT_GE(hits, 58);
}

TEST(RenderPages, UnreadableFileShowsOnlyTheHeaderAndTheErrorText) {
  kr_test::EventFileBuilder broken;
  broken.Text(64, "garbage");
  COndalyneDoc doc = LoadDoc(broken, "broken.skr");
  ASSERT_EQ(doc.kind(), 0);
  CPageRenderer renderer(doc, Strings());
  ViewState view;
  QImage page = Render(renderer, view, {800, 500});
  EXPECT_TRUE(renderer.boxes().empty());
  int blue = 0, dark_rows = 0;
  for (int y = 0; y < page.height(); ++y) {
    bool dark = false;
    for (int x = 0; x < page.width(); ++x) {
      blue += IsTraceBlue(page.pixel(x, y));
      dark |= qGray(page.pixel(x, y)) < 100;
    }
    dark_rows += dark;
  }
  EXPECT_EQ(blue, 0);
  // The error line sits five lines down: text there, nothing below it.
  const int h = renderer.layout().h;
  bool text_in_error_line = false, below = false;
  for (int y = 5 * h; y < 6 * h; ++y)
    for (int x = 0; x < page.width(); ++x) text_in_error_line |= qGray(page.pixel(x, y)) < 100;
  for (int y = 7 * h; y < page.height(); ++y)
    for (int x = 0; x < page.width(); ++x) below |= qGray(page.pixel(x, y)) < 100;
  EXPECT_TRUE(text_in_error_line);
  EXPECT_FALSE(below);
}

TEST(RenderPages, FrequencyPageKeepsItsSpectrumUntilTheWindowChanges) {
  COndalyneDoc doc = LoadDoc(ondalyne_test::WaveformFile(2, 200, 5), "a.vkr");
  CPageRenderer renderer(doc, Strings());
  ViewState view = InitialViewState(doc, false, false);
  view.mode = kModeFrequency;
  Render(renderer, view, {900, 600});
  // Channel X oscillates at 6 Hz: the peak line lies within one resolution step of it.
  const Spectrum& s = renderer.spectrum(0);
  EXPECT_EQ(s.points, 1024u);
  EXPECT_NEAR(s.peak_frequency, 6.0, s.delta_f);
  EXPECT_EQ(view.lines.first, 0);
  EXPECT_EQ(view.lines.end, 512);
  view.lines = {10, 100};
  view.recompute = true;
  Render(renderer, view, {900, 600});
  EXPECT_EQ(view.lines.first, 10);  // a line zoom survives the repaint
  view.zoom = {200, 1000};
  Render(renderer, view, {900, 600});
  EXPECT_EQ(renderer.spectrum(0).n, 800u);
  EXPECT_EQ(view.lines.first, 0);
}

TEST(RenderPages, AWindowBeyondTheRecordIsCutToTheRecord) {
  COndalyneDoc doc = LoadDoc(ondalyne_test::WaveformFile(1, 200, 2), "a.skr");
  CPageRenderer renderer(doc, Strings());
  ViewState view = InitialViewState(doc, false, false);
  view.zoom = {300, 5000};
  Render(renderer, view, {800, 600});
  EXPECT_EQ(view.zoom.first, 300);
  EXPECT_EQ(view.zoom.end, 400);
  view.zoom = {-50, -10};
  Render(renderer, view, {800, 600});
  EXPECT_EQ(view.zoom.first, 0);
  EXPECT_EQ(view.zoom.end, 400);
}

TEST(PageOutput, WritesPngSvgAndPdfByExtension) {
  COndalyneDoc doc = LoadDoc(ondalyne_test::WaveformFile(1, 200, 2), "a.skr");
  CPageRenderer renderer(doc, Strings());
  ViewState view = InitialViewState(doc, true, false);
  const auto dir = std::filesystem::temp_directory_path() / "ondalyne_output_test";
  std::filesystem::create_directories(dir);
  for (const char* name : {"p.png", "p.SVG", "p.pdf"}) {
    const std::string path = (dir / name).string();
    ASSERT_TRUE(
        WritePage(path, {800, 600}, [&](QPainter& p, const QRect& r) { renderer.Paint(p, r, view, {}); }));
    std::ifstream in(path, std::ios::binary);
    std::string head(8, '\0');
    in.read(head.data(), 8);
    const std::string file = name;
    if (file == "p.png") {
      EXPECT_EQ(head.substr(1, 3), "PNG");
    } else if (file == "p.pdf") {
      EXPECT_EQ(head.substr(0, 5), "%PDF-");
    } else {
      EXPECT_NE(head.find("<?xml"), std::string::npos);
    }
  }
  EXPECT_FALSE(WritePage((dir / "p.txt").string(), {800, 600}, [](QPainter&, const QRect&) {}));
  EXPECT_FALSE(WritePage((dir / "missing" / "p.png").string(), {800, 600}, [](QPainter&, const QRect&) {}));
  std::filesystem::remove_all(dir);
}

}  // namespace

int main(int argc, char** argv) {
  qputenv("QT_QPA_PLATFORM", "offscreen");
  QGuiApplication app(argc, argv);
  testing::InitGoogleTest(&argc, argv);
  return RUN_ALL_TESTS();
}
