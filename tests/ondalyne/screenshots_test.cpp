// Writes a picture of every analysis page of every kind of file into docs/screenshots/, in English,
// and the busiest pages also in German and Chinese, so that a person can look at them.
#include <gtest/gtest.h>

#include <QGuiApplication>
#include <QImage>
#include <QPainter>
#include <filesystem>

#include "doc_test_support.h"
#include "ondalyne/render/page_renderer.h"
#include "sample_files.h"

namespace {

using namespace ondalyne;

struct Sample {
  const char* name;  // file kind as named in the screenshot
  kr_test::EventFileBuilder file;
  const char* file_name;
};

std::vector<Sample> Samples() {
  kr_test::EventFileBuilder broken;
  broken.Text(64, "SKR4100").U16(10, 20000).U8(12, 3).U32(6, 10);
  return {{"skr", ondalyne_test::WaveformFile(1, 200, 6), "01001.skr"},
          {"vkr", ondalyne_test::WaveformFile(2, 200, 6), "02001.vkr"},
          {"xkr", ondalyne_test::WaveformFile(3, 400, 6), "03001.xkr"},
          {"vmx", ondalyne_test::IntervalFile(4, 120), "02002.vmx"},
          {"bkr", ondalyne_test::IntervalFile(5, 120), "03255.bkr"},
          {"unreadable", broken, "broken.skr"}};
}

const std::pair<int, const char*> kPages[] = {{kModeStatus, "status"},
                                              {kModeTimeHistory, "time"},
                                              {kModeFrequency, "frequency"},
                                              {kModeVectorSum, "vector-sum"},
                                              {kModePeakFrequency, "peak-frequency"},
                                              {kModeAssessment, "assessment"}};

int CountTraceBlue(const QImage& image) {
  int blue = 0;
  for (int y = 0; y < image.height(); ++y) {
    for (int x = 0; x < image.width(); ++x) {
      QRgb p = image.pixel(x, y);
      blue += qBlue(p) > 200 && qRed(p) < 80 && qGreen(p) < 80;
    }
  }
  return blue;
}

QImage Shoot(const COndalyneDoc& doc, const kr::StringTable& strings, int mode, int channel = 0) {
  CPageRenderer renderer(doc, strings);
  ViewState view = InitialViewState(doc, true, false);
  view.mode = mode;
  view.channel = channel;
  QImage image(1200, 800, QImage::Format_RGB32);
  image.fill(Qt::white);
  QPainter painter(&image);
  renderer.Paint(painter, image.rect(), view, {});
  return image;
}

TEST(Screenshots, EveryPageOfEveryKind) {
  const std::filesystem::path dir = KR_SCREENSHOT_DIR;
  std::filesystem::create_directories(dir);
  kr::StringTable strings = MakeOndalyneStringTable();
  for (const Sample& sample : Samples()) {
    COndalyneDoc doc = ondalyne_test::LoadDoc(sample.file, sample.file_name);
    for (const auto& [mode, page] : kPages) {
      if (doc.kind() == 0 ? mode != kModeTimeHistory : !PageAvailable(doc, mode)) continue;
      QImage image = Shoot(doc, strings, mode);
      const std::string name = std::string("ondalyne_") + sample.name + "_" + page + ".png";
      ASSERT_TRUE(image.save(QString::fromStdString((dir / name).string()))) << name;
      if (mode != kModeStatus && doc.kind() > 0) {
        // The assessment draws three dots, the other pages whole traces.
        EXPECT_GT(CountTraceBlue(image), mode == kModeAssessment ? 100 : 500) << name;
      }
    }
  }
  // The same pages in the other languages, where the longest texts are.
  COndalyneDoc skr = ondalyne_test::LoadDoc(Samples()[0].file, "01001.skr");
  COndalyneDoc vmx = ondalyne_test::LoadDoc(Samples()[3].file, "02002.vmx");
  for (auto [language, suffix] :
       {std::pair{kr::Language::kGerman, "de"}, std::pair{kr::Language::kChinese, "zh"}}) {
    strings.SetLanguage(language);
    const std::string tail = std::string("_") + suffix + ".png";
    ASSERT_TRUE(Shoot(skr, strings, kModeStatus)
                    .save(QString::fromStdString((dir / ("ondalyne_skr_status" + tail)).string())));
    ASSERT_TRUE(Shoot(skr, strings, kModeTimeHistory)
                    .save(QString::fromStdString((dir / ("ondalyne_skr_time" + tail)).string())));
    COndalyneDoc xkr = ondalyne_test::LoadDoc(Samples()[2].file, "03001.xkr");
    ASSERT_TRUE(Shoot(xkr, strings, kModeAssessment)
                    .save(QString::fromStdString((dir / ("ondalyne_xkr_assessment" + tail)).string())));
    ASSERT_TRUE(Shoot(vmx, strings, kModePeakFrequency, 1)
                    .save(QString::fromStdString((dir / ("ondalyne_vmx_peak-frequency_x" + tail)).string())));
  }
}

}  // namespace

int main(int argc, char** argv) {
  qputenv("QT_QPA_PLATFORM", "offscreen");
  QGuiApplication app(argc, argv);
  testing::InitGoogleTest(&argc, argv);
  return RUN_ALL_TESTS();
}
