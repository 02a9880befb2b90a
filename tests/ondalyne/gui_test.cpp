// The viewer's window, offscreen: documents of every kind, pages, channels, zooming, the menu's
// enabling, the clipboard picture, printing into PDF, the settings file and the language.
#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QClipboard>
#include <QDropEvent>
#include <QImage>
#include <QLineEdit>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenuBar>
#include <QMimeData>
#include <QPrinter>
#include <QTest>
#include <QTimer>
#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>

#include "ondalyne/core/view_commands.h"
#include "ondalyne/gui/command_line.h"
#include "ondalyne/gui/main_frame.h"
#include "ondalyne/gui/ondalyne_view.h"
#include "ondalyne/gui/zoom_dlg.h"
#include "sample_files.h"

namespace {

using namespace ondalyne;
namespace fs = std::filesystem;

std::string ReadText(const fs::path& path) {
  std::ifstream in(path, std::ios::binary);
  std::stringstream s;
  s << in.rdbuf();
  return s.str();
}

// The text of a PDF as pdftotext (poppler) extracts it, one page after the other.
std::string PdfText(const fs::path& pdf) {
  const fs::path txt = pdf.string() + ".txt";
  const std::string command = "pdftotext -layout '" + pdf.string() + "' '" + txt.string() + "'";
  if (std::system(command.c_str()) != 0) return "";
  return ReadText(txt);
}

class Window : public testing::Test {
 protected:
  void SetUp() override {
    dir_ = fs::temp_directory_path() / ("ondalyne_gui_" + std::to_string(::getpid()));
    fs::remove_all(dir_);
    fs::create_directories(dir_ / "data");
    setenv("ONDALYNE_DATA_ROOT", (dir_ / "data").c_str(), 1);
  }
  void TearDown() override {
    frame_.reset();
    app_.reset();
    fs::remove_all(dir_);
  }

  void Start(const std::string& ini_text = "") {
    if (!ini_text.empty()) std::ofstream(dir_ / "data" / "Ondalyne.ini") << ini_text;
    app_ = std::make_unique<COndalyneApp>();
    app_->warn = [this](const std::string& text) { warnings_.push_back(text); };
    app_->Start(ProcessEnvironment());
    frame_ = std::make_unique<CMainFrame>(*app_);
    frame_->resize(1200, 860);
    frame_->show();
  }

  std::string Write(const kr_test::EventFileBuilder& file, const std::string& name) {
    const fs::path path = dir_ / name;
    file.WriteTo(path);
    return path.string();
  }

  COndalyneView* Open(const kr_test::EventFileBuilder& file, const std::string& name,
                      const fs::path& folder = {}) {
    std::string path = Write(file, name);
    if (!folder.empty()) {
      fs::create_directories(folder);
      file.WriteTo(folder / name);
      path = (folder / name).string();
    }
    EXPECT_TRUE(frame_->OpenFile(QString::fromStdString(path)));
    COndalyneView* view = frame_->ActiveView();
    if (view != nullptr) {
      frame_->mdi_area()->activeSubWindow()->showMaximized();
      view->grab();  // one paint: the layout and the boxes exist from now on
    }
    return view;
  }

  bool Enabled(int id) {
    frame_->UpdateCommands();
    return frame_->Action(id)->isEnabled();
  }
  void Trigger(int id) { frame_->Action(id)->trigger(); }

  fs::path dir_;
  std::unique_ptr<COndalyneApp> app_;
  std::unique_ptr<CMainFrame> frame_;
  std::vector<std::string> warnings_;
};

TEST_F(Window, EveryKindOpensAndShowsEachOfItsPagesAndChannels) {
  Start();
  struct Case {
    kr_test::EventFileBuilder file;
    std::string name;
    int kind;
    std::vector<int> pages;   // commands that must be enabled
    std::vector<int> absent;  // page commands that must be disabled
  };
  const std::vector<Case> cases = {
      {ondalyne_test::WaveformFile(1, 200, 6),
       "01001.skr",
       1,
       {cmd::kTimeHistory, cmd::kFrequency, cmd::kStatus},
       {cmd::kVectorSum, cmd::kPeakFrequency}},
      {ondalyne_test::WaveformFile(2, 200, 6),
       "02001.VKR",
       2,
       {cmd::kTimeHistory, cmd::kFrequency, cmd::kStatus},
       {cmd::kVectorSum, cmd::kPeakFrequency}},
      {ondalyne_test::WaveformFile(3, 400, 6),
       "03001.xkr",
       3,
       {cmd::kTimeHistory, cmd::kFrequency, cmd::kStatus},
       {cmd::kVectorSum, cmd::kPeakFrequency}},
      {ondalyne_test::IntervalFile(4, 120),
       "02002.vmx",
       4,
       {cmd::kTimeHistory, cmd::kPeakFrequency, cmd::kStatus},
       {cmd::kFrequency, cmd::kVectorSum}},
      {ondalyne_test::IntervalFile(5, 120),
       "03255.bkr",
       5,
       {cmd::kTimeHistory, cmd::kVectorSum, cmd::kStatus},
       {cmd::kFrequency, cmd::kPeakFrequency}},
  };
  const std::map<int, int> page_mode = {{cmd::kTimeHistory, kModeTimeHistory},
                                        {cmd::kFrequency, kModeFrequency},
                                        {cmd::kVectorSum, kModeVectorSum},
                                        {cmd::kPeakFrequency, kModePeakFrequency},
                                        {cmd::kStatus, kModeStatus}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    COndalyneView* view = Open(c.file, c.name);
    ASSERT_NE(view, nullptr);
    EXPECT_EQ(view->doc().kind(), c.kind);
    EXPECT_EQ(view->state().mode, kModeTimeHistory);
    EXPECT_EQ(frame_->mdi_area()->activeSubWindow()->windowTitle().toStdString(), c.name);
    // The interval analyses are in the menus of vmx and bkr files only.
    EXPECT_EQ(frame_->Action(cmd::kVectorSum)->isVisible(), c.kind >= 4);
    for (int id : c.absent) EXPECT_FALSE(Enabled(id)) << id;
    for (int id : c.pages) {
      ASSERT_TRUE(Enabled(id)) << id;
      Trigger(id);
      EXPECT_EQ(view->state().mode, page_mode.at(id));
      EXPECT_TRUE(frame_->Action(id)->isChecked());
      const bool vector_sum = id == cmd::kVectorSum;
      for (int channel_id : {cmd::kChannelX, cmd::kChannelY, cmd::kChannelZ}) {
        EXPECT_EQ(Enabled(channel_id), !vector_sum);
        if (vector_sum) continue;
        Trigger(channel_id);
        EXPECT_EQ(view->state().channel, channel_id - cmd::kChannelX + 1);
        const QImage shown = view->grab().toImage();
        if (id != cmd::kStatus) {
          EXPECT_EQ(view->renderer().boxes().size(), 1u);
          EXPECT_EQ(view->renderer().boxes().front().channel, channel_id - cmd::kChannelX);
        }
      }
      Trigger(cmd::kAllChannels);
      EXPECT_EQ(view->state().channel, 0);
      view->grab();
      if (id == cmd::kStatus) {
        EXPECT_TRUE(view->renderer().boxes().empty());
      } else {
        EXPECT_EQ(view->renderer().boxes().size(), vector_sum ? 1u : 3u);
      }
      // Zoom on the time history only; Copy everywhere but the instrument status.
      EXPECT_EQ(Enabled(cmd::kZoom), id == cmd::kTimeHistory);
      EXPECT_EQ(Enabled(cmd::kCopy), id != cmd::kStatus);
      EXPECT_EQ(Enabled(cmd::kIncreaseDots), c.kind >= 4);
    }
    // Offset toggle: the check mark and the header follow it.
    Trigger(cmd::kTimeHistory);
    const bool before = view->state().offset;
    Trigger(cmd::kOffset);
    EXPECT_NE(view->state().offset, before);
    EXPECT_EQ(frame_->Action(cmd::kOffset)->isChecked(), !before);
  }
  EXPECT_TRUE(warnings_.empty());
  EXPECT_EQ(frame_->mdi_area()->subWindowList().size(), 5);
}

TEST_F(Window, NoDocumentMeansNoViewCommands) {
  Start();
  for (const ViewCommand& command : ViewCommands()) EXPECT_FALSE(Enabled(command.id)) << command.id;
  EXPECT_FALSE(Enabled(cmd::kPrint));
  EXPECT_TRUE(Enabled(cmd::kFileOpen));
}

TEST_F(Window, AnUnreadableFileOpensWithItsMessageAndNothingToAnalyse) {
  Start();
  kr_test::EventFileBuilder broken;
  broken.Text(64, "SKR4100").U16(10, 20000).U8(12, 3).U32(6, 10);
  COndalyneView* view = Open(broken, "broken.skr");
  ASSERT_NE(view, nullptr);
  EXPECT_EQ(view->doc().kind(), 0);
  ASSERT_EQ(warnings_.size(), 1u);
  EXPECT_EQ(warnings_[0], "Can't read strong waveform file (unknown format); Import halted.");
  EXPECT_FALSE(Enabled(cmd::kFrequency));
  // A missing file opens nothing and says so.
  EXPECT_FALSE(frame_->OpenFile(QString::fromStdString((dir_ / "nothing.skr").string())));
  EXPECT_EQ(warnings_.back(), "Cannot open " + (dir_ / "nothing.skr").string());
}

// 6 s at 200 per second: samples 0..1200.
TEST_F(Window, DragZoomsOnlyWhenReleasedMoreThanTwentyPixelsToTheRight) {
  Start();
  COndalyneView* view = Open(ondalyne_test::WaveformFile(1, 200, 6), "drag.skr");
  const QRectF box = view->renderer().boxes().front().rect;
  const double plot = view->renderer().layout().plot_width;
  const int left = static_cast<int>(box.left());
  const int y = static_cast<int>(box.center().y());
  const double per_pixel = 1199.0 / plot;  // samples per pixel at the whole record

  auto drag = [&](int x0, int x1) {
    QTest::mousePress(view, Qt::LeftButton, {}, QPoint(x0, y));
    QTest::mouseMove(view, QPoint((x0 + x1) / 2, y + 5));
    QTest::mouseMove(view, QPoint(x1, y + 10));
    QTest::mouseRelease(view, Qt::LeftButton, {}, QPoint(x1, y + 10));
    view->grab();
  };
  drag(left + 100, left + 120);  // exactly 20 pixels: nothing
  EXPECT_EQ(view->state().zoom.first, 0);
  EXPECT_EQ(view->state().zoom.end, 1200);
  drag(left + 300, left + 100);  // to the left: nothing
  EXPECT_EQ(view->state().zoom.end, 1200);

  const int x0 = left + static_cast<int>(plot / 4), x1 = left + static_cast<int>(3 * plot / 4);
  drag(x0, x1);
  EXPECT_EQ(view->state().zoom.first, static_cast<std::int64_t>((x0 - left) * per_pixel));
  EXPECT_EQ(view->state().zoom.end, static_cast<std::int64_t>((x1 - left) * per_pixel));
  frame_->UpdateCommands();

  // 21 pixels of a 600-sample window: ~20 samples, widened to one second (200) about its centre.
  const SampleWindow before = view->state().zoom;
  const double scale = (before.size() - 1) / plot;
  drag(left + 200, left + 221);
  const double centre = before.first + (200 * scale + 221 * scale) / 2;
  EXPECT_EQ(view->state().zoom.size(), 200);
  EXPECT_NEAR((view->state().zoom.first + view->state().zoom.end) / 2.0, centre, 1.0);
}

TEST_F(Window, DoubleClicksZoomInAndOutByThree) {
  Start();
  COndalyneView* view = Open(ondalyne_test::WaveformFile(3, 400, 6), "click.xkr");  // 2400 samples
  const QRectF box = view->renderer().boxes().front().rect;
  const double plot = view->renderer().layout().plot_width;
  const int x = static_cast<int>(box.left() + plot / 2);
  const int y = static_cast<int>(box.center().y());
  QTest::mouseDClick(view, Qt::LeftButton, {}, QPoint(x, y));
  view->grab();
  // A third of the plot width around the click: 2399 / 3 samples, centred on the middle.
  const SampleWindow in = view->state().zoom;
  EXPECT_NEAR(static_cast<double>(in.size()), 2399.0 / 3.0, 2.0);
  EXPECT_NEAR((in.first + in.end) / 2.0, 2399.0 * (x - box.left()) / plot, 2.0);
  QTest::mouseDClick(view, Qt::RightButton, {}, QPoint(x, y));
  view->grab();
  // Three times the window around the click: about 2400 samples, kept inside the record.
  const SampleWindow out = view->state().zoom;
  EXPECT_NEAR(static_cast<double>(out.size()), 3.0 * in.size(), 4.0);
  EXPECT_GE(out.first, 0);
  EXPECT_LE(out.end, 2400);

  // On the frequency page the gestures act on the spectrum lines.
  Trigger(cmd::kFrequency);
  view->grab();
  const SampleWindow lines = view->state().lines;  // 4096-point spectrum: 2048 lines
  EXPECT_EQ(lines.end, 2048);
  QTest::mouseDClick(view, Qt::LeftButton, {}, QPoint(x, y));
  view->grab();
  EXPECT_NEAR(static_cast<double>(view->state().lines.size()), 2047.0 / 3.0, 2.0);
  EXPECT_EQ(view->state().zoom.end, out.end);  // the time window stays
}

TEST_F(Window, TheZoomDialogSetsSecondsOrTheWholeRecord) {
  Start();
  COndalyneView* view = Open(ondalyne_test::WaveformFile(1, 200, 6), "dialog.skr");
  auto run_dialog = [&](const std::function<void(CZoomDlg*)>& fill) {
    QTimer::singleShot(0, [&] {
      auto* dialog = qobject_cast<CZoomDlg*>(QApplication::activeModalWidget());
      ASSERT_NE(dialog, nullptr);
      fill(dialog);
    });
    Trigger(cmd::kZoom);
  };
  run_dialog([](CZoomDlg* d) {
    EXPECT_EQ(d->windowTitle(), "Zooming");
    EXPECT_EQ(d->start_edit()->text(), "0.000");
    EXPECT_EQ(d->end_edit()->text(), "6.000");
    EXPECT_TRUE(d->whole_box()->isChecked());
    EXPECT_FALSE(d->start_edit()->isEnabled());
    d->whole_box()->setChecked(false);
    EXPECT_TRUE(d->start_edit()->isEnabled());
    d->start_edit()->setText("4.5");  // the smaller value is the start
    d->end_edit()->setText("1.25");
    d->accept();
  });
  EXPECT_EQ(view->state().zoom.first, 250);
  EXPECT_EQ(view->state().zoom.end, 900);
  run_dialog([](CZoomDlg* d) {
    EXPECT_FALSE(d->whole_box()->isChecked());
    d->start_edit()->setText("0");
    d->reject();  // Cancel changes nothing
  });
  EXPECT_EQ(view->state().zoom.first, 250);
  run_dialog([](CZoomDlg* d) {
    d->whole_box()->setChecked(true);
    d->accept();
  });
  EXPECT_EQ(view->state().zoom.first, 0);
  EXPECT_EQ(view->state().zoom.end, 1200);
}

// The black vertical runs at the column of the boxes' left edge: one per box, its length the box
// height plus the outline's pixel.
std::vector<int> BoxEdges(const QImage& image) {
  for (int x = 0; x < image.width(); ++x) {
    std::vector<int> runs;
    int run = 0;
    for (int y = 0; y <= image.height(); ++y) {
      const bool black = y < image.height() && qGray(image.pixel(x, y)) < 60;
      if (black) {
        ++run;
      } else if (run > 0) {
        if (run > 40) runs.push_back(run);
        run = 0;
      }
    }
    if (!runs.empty()) return runs;
  }
  return {};
}

TEST_F(Window, CopyPutsSvgAndPngWithFixedBoxHeights) {
  Start(
      "[Settings]\nOndScreenFontName=DejaVu Sans\nOndPrinterFontName=DejaVu Sans\nFixClipboardHeight=100\n");
  COndalyneView* view = Open(ondalyne_test::WaveformFile(1, 200, 6), "copy.skr");
  QClipboard* clipboard = QApplication::clipboard();
  for (QSize size : {QSize(900, 600), QSize(1300, 900)}) {
    frame_->mdi_area()->activeSubWindow()->showNormal();
    frame_->mdi_area()->activeSubWindow()->resize(size);
    view->grab();
    clipboard->clear();
    Trigger(cmd::kCopy);
    const QMimeData* mime = clipboard->mimeData();
    ASSERT_NE(mime, nullptr);
    ASSERT_TRUE(mime->hasFormat("image/svg+xml"));
    ASSERT_TRUE(mime->hasFormat("image/png"));
    const QImage png = QImage::fromData(mime->data("image/png"), "PNG");
    ASSERT_FALSE(png.isNull());
    // Three boxes of 120 pixels whatever the window's size; no text column, no header block.
    const std::vector<int> runs = BoxEdges(png);
    ASSERT_EQ(runs.size(), 3u) << size.width();
    for (int run : runs) EXPECT_NEAR(run, 121, 1);
    EXPECT_LT(png.width(), view->width());
    EXPECT_LT(png.height(), 3 * 121 + 200);
    const std::string svg = mime->data("image/svg+xml").toStdString();
    EXPECT_NE(svg.find("<svg"), std::string::npos);
    EXPECT_NE(svg.find("height=\"" + std::to_string(png.height())), std::string::npos);
    EXPECT_NE(svg.find("<title>Ondalyne</title>"), std::string::npos);
    EXPECT_NE(svg.find("X-Channel"), std::string::npos);
    EXPECT_EQ(svg.find("Station"), std::string::npos);
    EXPECT_EQ(svg.find("Max. uncorrected"), std::string::npos);
  }
  // One channel: one box; on the instrument status page Copy does nothing.
  Trigger(cmd::kChannelY);
  clipboard->clear();
  Trigger(cmd::kCopy);
  ASSERT_TRUE(clipboard->mimeData()->hasFormat("image/png"));
  EXPECT_EQ(BoxEdges(QImage::fromData(clipboard->mimeData()->data("image/png"), "PNG")).size(), 1u);
  Trigger(cmd::kStatus);
  clipboard->clear();
  Trigger(cmd::kCopy);
  EXPECT_FALSE(clipboard->mimeData() != nullptr && clipboard->mimeData()->hasFormat("image/png"));
}

TEST_F(Window, PrintingThePageIntoPdf) {
  Start();
  COndalyneView* view = Open(ondalyne_test::WaveformFile(2, 200, 6), "print.vkr");
  Trigger(cmd::kFrequency);
  QPrinter printer(QPrinter::HighResolution);
  printer.setOutputFormat(QPrinter::PdfFormat);
  const fs::path pdf = dir_ / "page.pdf";
  printer.setOutputFileName(QString::fromStdString(pdf.string()));
  view->PrintPage(printer);
  const std::string text = PdfText(pdf);
  EXPECT_NE(text.find("Frequency Analysis"), std::string::npos) << text;
  EXPECT_NE(text.find("Analysis date:"), std::string::npos);
  EXPECT_NE(text.find("print.vkr"), std::string::npos);
  EXPECT_EQ(text.find('\f', 0), text.rfind('\f'));  // one page
}

TEST_F(Window, CommandLinePrintingStartsWithTheInstrumentStatus) {
  Start();
  const std::string file = Write(ondalyne_test::WaveformFile(3, 400, 4), "03002.xkr");
  GuiCommand command;
  command.action = GuiCommand::Action::kPrintPdf;
  command.files = {file};
  command.pdf = (dir_ / "out.pdf").string();
  std::ostringstream err;
  ASSERT_EQ(PrintFromCommandLine(command, *app_, err), 0) << err.str();
  const std::string text = PdfText(command.pdf);
  const auto status = text.find("Instrument status");
  const auto time = text.find("Time history");
  const auto frequency = text.find("Frequency Analysis");
  ASSERT_NE(status, std::string::npos) << text;
  ASSERT_NE(time, std::string::npos);
  ASSERT_NE(frequency, std::string::npos);
  EXPECT_LT(status, time);
  EXPECT_LT(time, frequency);
  EXPECT_NE(text.find("Main battery voltage"), std::string::npos);
  // The assessment of the velocities closes the file's pages.
  const auto assessment = text.find("Assessment");
  ASSERT_NE(assessment, std::string::npos);
  EXPECT_LT(frequency, assessment);
  EXPECT_EQ(std::count(text.begin(), text.end(), '\f'), 4);

  // A KB check message goes to the stream, not into a box.
  auto vmx = ondalyne_test::IntervalFile(4, 20);
  vmx.U8(254, 2).Text(117, "mm/s2");  // KB recording (mode 2) with a Y unit that is not mm/s
  command.files = {Write(vmx, "kb.vmx")};
  err.str("");
  warnings_.clear();
  ASSERT_EQ(PrintFromCommandLine(command, *app_, err), 0);
  EXPECT_NE(err.str().find("The measuring unit Y for KB-file must be"), std::string::npos);
  EXPECT_TRUE(warnings_.empty());

  command.files = {(dir_ / "missing.xkr").string()};
  EXPECT_EQ(PrintFromCommandLine(command, *app_, err), 1);
}

// The assessment page of a waveform file: each channel's peak velocity, its frequency and the ratio
// to the guideline of each line. The sample's X channel is a 25 mm/s, 6 Hz burst decaying from 1 s.
TEST_F(Window, AssessmentPageShowsPeakFrequencyAndRatios) {
  Start();
  COndalyneView* view = Open(ondalyne_test::WaveformFile(1, 200, 6), "assess.skr");
  ASSERT_TRUE(Enabled(cmd::kAssessment));
  Trigger(cmd::kAssessment);
  EXPECT_EQ(view->state().mode, kModeAssessment);
  view->grab();
  ASSERT_EQ(view->renderer().boxes().size(), 1u);
  EXPECT_EQ(view->renderer().traces().front().size(), 3u);  // one point per channel

  // The peak of X as the file stores it: counts of 0.001 mm/s.
  double peak = 0;
  for (int i = 0; i < 1200; ++i)
    peak = std::max(peak, std::fabs(std::lround(ondalyne_test::Burst(0, i / 200.0) / 0.001) * 0.001));
  // Line 1 is 20 mm/s below 10 Hz, line 2 5 mm/s, line 3 3 mm/s.
  const std::string file = Write(ondalyne_test::WaveformFile(1, 200, 6), "assess2.skr");
  GuiCommand command{GuiCommand::Action::kPrintPdf, {file}, "", (dir_ / "assess.pdf").string()};
  std::ostringstream err;
  ASSERT_EQ(PrintFromCommandLine(command, *app_, err), 0);
  const std::string text = PdfText(command.pdf);
  char expected[64];
  std::snprintf(expected, sizeof expected, "PPV: %.2f mm/s", peak);
  EXPECT_NE(text.find(expected), std::string::npos) << expected << "\n" << text;
  EXPECT_NE(text.find("f: 6.0 Hz"), std::string::npos) << text;
  // pdftotext writes runs of blanks as one.
  std::snprintf(expected, sizeof expected, "1: 20.0 %.0f%%", 100 * peak / 20.0);
  EXPECT_NE(text.find(expected), std::string::npos) << expected;
  std::snprintf(expected, sizeof expected, "3: 3.0 %.0f%%", 100 * peak / 3.0);
  EXPECT_NE(text.find(expected), std::string::npos) << expected;

  // An interval file has no assessment; a file of accelerations neither.
  Open(ondalyne_test::IntervalFile(4, 60), "noassess.vmx");
  EXPECT_FALSE(Enabled(cmd::kAssessment));
  auto acceleration = ondalyne_test::WaveformFile(1, 200, 2);
  acceleration.Text(112, "mm/s2").Text(117, "mm/s2").Text(122, "mm/s2");
  Open(acceleration, "acc.skr");
  EXPECT_FALSE(Enabled(cmd::kAssessment));
}

TEST_F(Window, ParsingTheCommandLine) {
  using A = GuiCommand::Action;
  EXPECT_EQ(ParseGuiCommand({})->action, A::kWindow);
  EXPECT_EQ(ParseGuiCommand({"a.skr", "b.vmx"})->files, (std::vector<std::string>{"a.skr", "b.vmx"}));
  EXPECT_EQ(ParseGuiCommand({"-p", "a.skr"})->action, A::kPrintDefault);
  EXPECT_EQ(ParseGuiCommand({"/p", "a.skr"})->action, A::kPrintDefault);
  auto to = ParseGuiCommand({"-pt", "a.skr", "Office"});
  EXPECT_EQ(to->action, A::kPrintTo);
  EXPECT_EQ(to->printer, "Office");
  auto pdf = ParseGuiCommand({"--print-to-pdf", "o.pdf", "a.xkr"});
  EXPECT_EQ(pdf->pdf, "o.pdf");
  EXPECT_EQ(pdf->files, std::vector<std::string>{"a.xkr"});
  for (auto bad : std::vector<std::vector<std::string>>{
           {"-p"}, {"-pt", "a.skr"}, {"--print-to-pdf", "o.pdf"}, {"-x"}, {"a.skr", "--zoom"}})
    EXPECT_FALSE(ParseGuiCommand(bad).has_value()) << testing::PrintToString(bad);
}

TEST_F(Window, FirstStartFileRecentFilesAndDotRadiusAtExit) {
  Start();
  const std::string first = ReadText(dir_ / "data" / "Ondalyne.ini");
  for (const char* key :
       {"OndScreenFontName=Arial", "OndPrinterFontName=", "EnhancedGraphic=0", "UsDateFormat=0",
        "DotRadius=5", "Language=0", "FixClipboardHeight=0", "AutoOffset=1"})
    EXPECT_NE(first.find(key), std::string::npos) << key;
  COndalyneView* view = Open(ondalyne_test::IntervalFile(4, 60), "dots.vmx");
  Open(ondalyne_test::WaveformFile(1, 200, 2), "recent.skr");
  ASSERT_EQ(frame_->recent_menu()->actions().size(), 2);
  EXPECT_TRUE(frame_->recent_menu()->actions()[0]->text().endsWith("recent.skr"));
  frame_->mdi_area()->setActiveSubWindow(frame_->mdi_area()->subWindowList().first());
  EXPECT_EQ(frame_->ActiveView(), view);
  Trigger(cmd::kIncreaseDots);
  Trigger(cmd::kIncreaseDots);
  EXPECT_EQ(app_->settings().dot_radius, 9);
  frame_->close();
  const std::string saved = ReadText(dir_ / "data" / "Ondalyne.ini");
  EXPECT_NE(saved.find("DotRadius=9"), std::string::npos) << saved;
  EXPECT_NE(saved.find("File1=" + (dir_ / "recent.skr").string()), std::string::npos);
  EXPECT_NE(saved.find("File2=" + (dir_ / "dots.vmx").string()), std::string::npos);
}

TEST_F(Window, DroppedFilesOpenAndNewWindowSharesTheDocument) {
  Start();
  const std::string a = Write(ondalyne_test::WaveformFile(1, 200, 2), "drop1.skr");
  const std::string b = Write(ondalyne_test::IntervalFile(5, 30), "drop2.bkr");
  QMimeData mime;
  mime.setUrls(
      {QUrl::fromLocalFile(QString::fromStdString(a)), QUrl::fromLocalFile(QString::fromStdString(b))});
  frame_->OpenDropped(mime);
  ASSERT_EQ(frame_->mdi_area()->subWindowList().size(), 2);
  EXPECT_EQ(frame_->ActiveView()->doc().kind(), 5);
  Trigger(cmd::kNewWindow);
  ASSERT_EQ(frame_->mdi_area()->subWindowList().size(), 3);
  auto* first = qobject_cast<COndalyneView*>(frame_->mdi_area()->subWindowList()[1]->widget());
  EXPECT_EQ(frame_->ActiveView()->shared_doc(), first->shared_doc());
  EXPECT_EQ(frame_->mdi_area()->activeSubWindow()->windowTitle(), "drop2.bkr:2");
  // Each view has its own page.
  Trigger(cmd::kStatus);
  EXPECT_EQ(first->state().mode, kModeTimeHistory);
}

TEST_F(Window, LanguageSettingPicksTheMenus) {
  auto file_menu = [this] { return frame_->menuBar()->actions().front()->text().toStdString(); };
  for (auto [value, expected] : {std::pair{0, "&File"}, std::pair{1, "&Datei"}, std::pair{2, "&File"},
                                 std::pair{3, "文件(&F)"}, std::pair{7, "&File"}}) {
    frame_.reset();
    Start("[Settings]\nOndScreenFontName=Arial\nOndPrinterFontName=Arial\nLanguage=" + std::to_string(value) +
          "\n");
    EXPECT_EQ(file_menu(), expected) << value;
    EXPECT_EQ(app_->HelpFileName(), value == 1 ? "Ondalyne_deu.html" : "Ondalyne_enu.html");
  }
  EXPECT_EQ(frame_->Action(cmd::kTimeHistory)->text().toStdString(), "&Time history");
}

// Pictures of the window for a person to look at: English, German and Chinese, two documents, the
// analysis menu open in the picture's data (its texts), and the zoom dialog.
TEST_F(Window, ScreenshotsOfTheWindowInEveryLanguage) {
  const fs::path shots = KR_SCREENSHOT_DIR;
  fs::create_directories(shots);
  for (auto [language, suffix] : {std::pair{0, "en"}, std::pair{1, "de"}, std::pair{3, "zh"}}) {
    frame_.reset();
    Start("[Settings]\nOndScreenFontName=DejaVu Sans\nOndPrinterFontName=DejaVu Sans\nLanguage=" +
          std::to_string(language) + "\n");
    frame_->resize(1280, 860);
    // A folder of a fixed name, so that the pictures only change when the window does.
    const fs::path folder = fs::temp_directory_path() / "ondalyne_samples";
    Open(ondalyne_test::IntervalFile(4, 120), "02002.vmx", folder);
    Open(ondalyne_test::WaveformFile(1, 200, 6), "01001.skr", folder);
    frame_->mdi_area()->tileSubWindows();
    QTest::qWait(50);
    const QImage window = frame_->grab().toImage();
    ASSERT_TRUE(window.save(
        QString::fromStdString((shots / (std::string("ondalyne_window_") + suffix + ".png")).string())));
    CZoomDlg dialog(app_->strings(), 1.25, 4.5, false, frame_.get());
    dialog.adjustSize();
    ASSERT_TRUE(dialog.grab().toImage().save(
        QString::fromStdString((shots / (std::string("ondalyne_zoom_dialog_") + suffix + ".png")).string())));
  }
}

}  // namespace

int main(int argc, char** argv) {
  qputenv("QT_QPA_PLATFORM", "offscreen");
  QApplication app(argc, argv);
  testing::InitGoogleTest(&argc, argv);
  return RUN_ALL_TESTS();
}
