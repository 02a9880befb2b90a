#include "ondalyne/app/headless.h"

#include <gtest/gtest.h>

#include <QGuiApplication>
#include <QImage>
#include <filesystem>
#include <sstream>

#include "ondalyne/render/page_output.h"
#include "ondalyne/render/page_renderer.h"
#include "ondalyne/resources/ondalyne_strings.h"
#include "sample_files.h"

namespace {

using namespace ondalyne;
namespace fs = std::filesystem;

class Headless : public testing::Test {
 protected:
  void SetUp() override {
    dir_ = fs::temp_directory_path() / ("ondalyne_headless_" + std::to_string(::getpid()));
    fs::create_directories(dir_);
  }
  void TearDown() override { fs::remove_all(dir_); }

  std::string Write(const kr_test::EventFileBuilder& file, const std::string& name) {
    const fs::path path = dir_ / name;
    file.WriteTo(path);
    return path.string();
  }

  // Runs a command line as main() does: 2 when it does not parse.
  int Run(const std::vector<std::string>& args) {
    out_.str("");
    err_.str("");
    std::string error;
    auto command = ParseHeadless(args, strings_, error);
    if (!command) {
      err_ << error;
      return 2;
    }
    return RunHeadless(*command, strings_, out_, err_);
  }

  kr::StringTable strings_ = MakeOndalyneStringTable();
  fs::path dir_;
  std::ostringstream out_, err_;
};

TEST_F(Headless, BadCommandLinesExitWithTwo) {
  const std::string file = Write(ondalyne_test::WaveformFile(1, 200, 2), "a.skr");
  for (const auto& args : std::vector<std::vector<std::string>>{
           {},
           {"--describe"},
           {"--print", file},
           {"--render", "time", file},
           {"--render", "graph", file, "o.png"},
           {"--render", "time", file, "o.bmp"},
           {"--render", "time", file, "o.png", "--size", "12x"},
           {"--render", "time", file, "o.png", "--size", "50x50"},
           {"--render", "time", file, "o.png", "--channel", "w"},
           {"--render", "time", file, "o.png", "--offset", "yes"},
           {"--render", "time", file, "o.png", "--zoom", "10:5"},
           {"--render", "time", file, "o.png", "--zoom", "a:5"},
           {"--describe", file, "--channel", "x"},
       }) {
    EXPECT_EQ(Run(args), 2) << testing::PrintToString(args);
  }
  // A page the file does not have.
  EXPECT_EQ(Run({"--render", "vector-sum", file, (dir_ / "v.png").string()}), 2);
  EXPECT_NE(err_.str().find("vector-sum"), std::string::npos);
}

TEST_F(Headless, DescribePrintsTheDocumentAsJson) {
  // X: 100, -200, 300 counts of 0.001 mm/s, at 200 per second.
  auto file = kr_test::EventFileBuilder::SkrHeader(3).U16(10, 200).Text(112, " mm/s");
  file.Frame16(100, 10, -50).Frame16(-200, 20, -50).Frame16(300, 30, -50);
  ASSERT_EQ(Run({"--describe", Write(file, "s.skr")}), 0) << err_.str();
  const std::string json = out_.str();
  for (const char* expected :
       {"\"kind\": 1", "\"sampling_rate\": 200", "\"units\": [\"mm/s\", \"\", \"\"]", "\"expected\": 3",
        "\"count\": 3", "\"min\": [-0.20000000000000001, 0.01, -0.050000000000000003]", "\"messages\": []",
        "\"lines\": 2, \"delta_f\": 50}", "\"axis_min\": -0.215"}) {
    EXPECT_NE(json.find(expected), std::string::npos) << expected << "\n" << json;
  }
  EXPECT_EQ(json.find("vector_sum_min"), std::string::npos);
}

TEST_F(Headless, DescribeOfIntervalFilesHasTheirExtremesAndNoSpectrum) {
  ASSERT_EQ(Run({"--describe", Write(ondalyne_test::IntervalFile(4, 30), "f.vmx"), "--us-date"}), 0);
  const std::string json = out_.str();
  EXPECT_NE(json.find("\"frequency_min\""), std::string::npos);
  EXPECT_EQ(json.find("\"spectrum\""), std::string::npos);
  EXPECT_NE(json.find("\"trigger_text\": \"03/21/2024 08:15:30 AM\""), std::string::npos) << json;
}

TEST_F(Headless, UnloadableFilesExitWithOneAndSayWhy) {
  EXPECT_EQ(Run({"--describe", (dir_ / "missing.skr").string()}), 1);
  EXPECT_NE(err_.str().find("missing.skr"), std::string::npos);
  kr_test::EventFileBuilder broken;
  const std::string path = Write(broken, "broken.xkr");
  EXPECT_EQ(Run({"--describe", path}), 1);
  EXPECT_NE(err_.str().find("Can't read strong waveform file"), std::string::npos);
  EXPECT_NE(out_.str().find("\"kind\": 0"), std::string::npos);
  // The page of an unreadable file is still written: it carries the error text.
  const std::string png = (dir_ / "broken.png").string();
  EXPECT_EQ(Run({"--render", "time", path, png}), 1);
  EXPECT_TRUE(fs::exists(png));
  // A truncated file loads: exit 0, message 173 on stderr.
  auto truncated = kr_test::EventFileBuilder::SkrHeader(10).Frame16(1, 2, 3);
  EXPECT_EQ(Run({"--describe", Write(truncated, "t.skr")}), 0);
  EXPECT_NE(err_.str().find("Only 1 of 10"), std::string::npos);
}

TEST_F(Headless, RenderWritesThePageWithTheChosenOptions) {
  const std::string file = Write(ondalyne_test::WaveformFile(3, 400, 4), "w.xkr");
  const std::string png = (dir_ / "w.png").string();
  ASSERT_EQ(Run({"--render", "time", file, png, "--size", "640x480", "--channel", "y", "--offset", "off",
                 "--zoom", "100:300"}),
            0)
      << err_.str();
  QImage image(QString::fromStdString(png));
  EXPECT_EQ(image.width(), 640);
  EXPECT_EQ(image.height(), 480);
  // The same page painted directly: channel Y alone, offset off, the zoom widened to one second.
  COndalyneDoc doc;
  doc.Load(file, strings_, {});
  ViewState view = InitialViewState(doc, true, false);
  view.channel = 2;
  view.offset = false;
  view.zoom = {0, 400};
  CPageRenderer renderer(doc, strings_);
  QImage expected(640, 480, QImage::Format_RGB32);
  expected.fill(Qt::white);
  {
    QPainter painter(&expected);
    renderer.Paint(painter, expected.rect(), view, {});
  }
  EXPECT_EQ(image.convertToFormat(QImage::Format_RGB32), expected);
  for (const char* name : {"w.svg", "w.pdf"}) {
    EXPECT_EQ(Run({"--render", "frequency", file, (dir_ / name).string()}), 0);
    EXPECT_GT(fs::file_size(dir_ / name), 1000u);
  }
}

TEST(AnalysisDate, DayFirstOrUsWithTwelveHourClock) {
  EXPECT_EQ(AnalysisDate({2026, 12, 7, 13, 5, 9, 0, 1}, false), "07.12.2026 13:05");
  EXPECT_EQ(AnalysisDate({2026, 12, 7, 13, 5, 9, 0, 1}, true), "12/07/2026 01:05 PM");
  EXPECT_EQ(AnalysisDate({2026, 12, 7, 0, 5, 9, 0, 1}, true), "12/07/2026 12:05 AM");
}

}  // namespace

int main(int argc, char** argv) {
  qputenv("QT_QPA_PLATFORM", "offscreen");
  QGuiApplication app(argc, argv);
  testing::InitGoogleTest(&argc, argv);
  return RUN_ALL_TESTS();
}
