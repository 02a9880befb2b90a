#include "tarvik/eventfiles/event_converter.h"

#include <gtest/gtest.h>

#include <cmath>
#include <string>

#include "../../support/event_file_builder.h"
#include "eventfiles_test_support.h"
#include "tarvik/eventfiles/header_text.h"
#include "tarvik/resources/tarvik_strings.h"

namespace {

using kr_test::BlockBuilder;
using kr_test::EventFileBuilder;
using tarvik::ExportOptions;

constexpr const char* kHeadings = "X-Axis \tY-Axis \tZ-Axis ";
constexpr const char* kTimeHeadings = "\tData     \tTime    \tMicroseconds [\xC2\xB5s]";
constexpr const char* kPeriodEnd = "\t<- time at end of this period";

ExportOptions RowsOnly() {
  ExportOptions options;
  options.Header = 0;
  return options;
}

class EventConverterTest : public ::testing::Test {
 protected:
  EventConverterTest() : strings_(tarvik::MakeTarvikStringTable()), converter_(strings_, ui_, clock_) {}

  // Writes the file, converts it into out.txt and returns the decoded output.
  std::string Export(const EventFileBuilder& file, const std::string& name, const ExportOptions& options) {
    file.WriteTo(dir_ / name);
    converter_.SetOptions(options);
    result_ = converter_.Convert(dir_ / name, dir_ / "out.txt");
    return kr_test::DecodeUtf16File(dir_ / "out.txt");
  }

  kr_test::ScratchDir dir_;
  kr_test::FakeUi ui_;
  kr::FixedClock clock_{kr::DateTime{2026, 3, 15, 9, 0, 0, 0, 0}};
  kr::StringTable strings_;
  tarvik::EventConverter converter_;
  int result_ = -1;
};

TEST_F(EventConverterTest, SkrRowsInPhysicalUnits) {
  EventFileBuilder skr = EventFileBuilder::SkrHeader(2);
  skr.Frame16(1, -2, 3).Frame16(1000, -32768, 32767);
  EXPECT_EQ(Export(skr, "ev.skr", RowsOnly()),
            std::string(kHeadings) + "\n0.0010\t-0.0020\t0.0030\n1.0000\t-32.7680\t32.7670");
  EXPECT_EQ(result_, 1);
  EXPECT_TRUE(ui_.ids.empty());
}

// A second tool reads the export as spreadsheets do: UTF-16LE, one BOM, CR LF line ends.
TEST_F(EventConverterTest, ExportDecodesWithPython) {
  EventFileBuilder skr = EventFileBuilder::SkrHeader(2);
  skr.U16(10, 2).BcdTime(45, 0, 0, 8, 1, 2, 26).Frame16(1, -2, 3).Frame16(4, 5, 6);
  ExportOptions options;
  options.TimeInformation = 1;
  options.Average = 1;
  Export(skr, "ev.skr", options);
  std::string text = kr_test::DecodeWithPython(dir_ / "out.txt");
  EXPECT_TRUE(text.starts_with("File Info\n---------\nFile Number:\t0\n")) << text.substr(0, 200);
  EXPECT_NE(text.find("\nInterneal Temp:\t0\t\u00b0celsius\n"), std::string::npos);
  EXPECT_TRUE(text.ends_with(std::string("\n\n") + kHeadings + kTimeHeadings +
                             "\n0.0010\t-0.0020\t0.0030\t01.02.2026\t08:00:00\t0\t\t"
                             "\n0.0040\t0.0050\t0.0060\t01.02.2026\t08:00:00\t500000\t\t"
                             "\nAverage:\n0.00250000\t0.00150000\t0.00450000"))
      << text;
}

TEST_F(EventConverterTest, AShortFileEndsAtTheLastWholeFrame) {
  EventFileBuilder skr = EventFileBuilder::SkrHeader(30);  // promises 10 frames
  skr.Frame16(1, 1, 1).Frame16(2, 2, 2).Raw({3, 0, 3, 0});
  ExportOptions options = RowsOnly();
  options.NotLSB = 1;
  EXPECT_EQ(Export(skr, "ev.skr", options), std::string(kHeadings) + "\n1\t1\t1\n2\t2\t2");
  EXPECT_EQ(result_, 1);
  EXPECT_TRUE(ui_.ids.empty());
}

TEST_F(EventConverterTest, XkrCountsOrSixDecimalsWithTheMillivoltCorrection) {
  EventFileBuilder xkr = EventFileBuilder::XkrHeader(6);
  xkr.Text(92, "   mV").I24(185, 100).I24(247, 30);  // X: + ch_offset_x - kbftm_x = +70
  xkr.Text(97, "  mV ").I24(188, 100);               // Y: not exactly "   mV", no correction
  xkr.Frame24(8388607, -8388608, -1).Frame24(-70, 5, 0);
  ExportOptions options = RowsOnly();
  options.NotLSB = 1;
  EXPECT_EQ(Export(xkr, "ev.xkr", options), std::string(kHeadings) + "\n8388677\t-8388608\t-1\n0\t5\t0");
  options.NotLSB = 0;
  EXPECT_EQ(Export(xkr, "ev.xkr", options),
            std::string(kHeadings) + "\n8388.677000\t-8388.608000\t-0.001000\n0.000000\t0.005000\t0.000000");
}

TEST_F(EventConverterTest, BlastXkrFilesKeepTheir24BitFrames) {
  EventFileBuilder xkr = EventFileBuilder::XkrHeader(3);
  xkr.U8(4, 5).Frame24(-2, 70000, 3);
  ExportOptions options = RowsOnly();
  options.NotLSB = 1;
  EXPECT_EQ(Export(xkr, "ev.xkr", options), std::string(kHeadings) + "\n-2\t70000\t3");
  // Other blast files hold 16-bit frames.
  EventFileBuilder vkr = EventFileBuilder::SkrHeader(3, "CKR4100");
  vkr.U8(250, 5).Frame16(-2, 7000, 3);
  EXPECT_EQ(Export(vkr, "ev.vkr", options), std::string(kHeadings) + "\n-2\t7000\t3");
}

EventFileBuilder RampFile(int frames) {
  EventFileBuilder skr = EventFileBuilder::SkrHeader(static_cast<std::uint32_t>(frames));
  for (int i = 1; i <= frames; ++i) skr.Frame16(i, -i, 0);
  return skr;
}

std::string RampRows(int from, int to) {
  std::string rows;
  for (int i = from; i <= to; ++i) rows += "\n" + std::to_string(i) + "\t" + std::to_string(-i) + "\t0";
  return rows;
}

TEST_F(EventConverterTest, TrimFirstAndLastSamples) {
  ExportOptions options = RowsOnly();
  options.NotLSB = 1;
  options.Trim = 1;
  options.TrimFirstLast = 1;
  options.FirstSamples = 100;
  options.LastSamples = 100;
  EXPECT_EQ(Export(RampFile(1000), "ev.skr", options), kHeadings + RampRows(1, 100) + RampRows(901, 1000));
  EXPECT_EQ(result_, 1);

  options.FirstSamples = 600;
  options.LastSamples = 500;
  options.Header = 1;
  options.Interpreted = 0;
  std::string text = Export(RampFile(1000), "ev.skr", options);
  EXPECT_EQ(result_, 0);
  ASSERT_EQ(ui_.ids.size(), 1u);
  EXPECT_EQ(ui_.ids[0], tarvik::kMsgFirstLastOutOfRange);
  EXPECT_EQ(ui_.texts[0], "ERROR: number for first and last samples out of range");
  // The header text stays; no heading and no row follow it.
  EXPECT_TRUE(text.starts_with("file_number:\t0\n")) << text.substr(0, 40);
  EXPECT_TRUE(text.ends_with("unused\n\n\n\n\n\n")) << text.size();
  EXPECT_EQ(text.find("X-Axis"), std::string::npos);

  // Exactly the whole file is still in range; the converter keeps no state from the failed call.
  options.FirstSamples = 500;
  options.Header = 0;
  ui_.ids.clear();
  EXPECT_EQ(Export(RampFile(1000), "ev.skr", options), kHeadings + RampRows(1, 500) + RampRows(501, 1000));
  EXPECT_TRUE(ui_.ids.empty());
}

TEST_F(EventConverterTest, TrimWindowWithStatisticsOverTheKeptFramesOnly) {
  ExportOptions options = RowsOnly();
  options.NotLSB = 1;
  options.Trim = 1;
  options.IgnoreFirst = 10;
  options.Include = 5;
  options.ChannelMinMax = 1;
  options.Average = 1;
  options.RootMeasSquare = 1;
  // Kept X: 11..15, mean 13, deviations -2..2: rms = sqrt(10 / 5) = 1.41421356.
  EXPECT_EQ(Export(RampFile(1000), "ev.skr", options),
            kHeadings + RampRows(11, 15) +
                "\nPEAKS:\n15\t-11\t0\n11\t-15\t0"
                "\nAverage:\n13.00000000\t-13.00000000\t0.00000000"
                "\nRoot meas square value:\n1.41421356\t1.41421356\t0.00000000");
  EXPECT_EQ(result_, 1);

  // In physical units (LSB 0.001) the extremes take four decimals and the statistics eight.
  options.NotLSB = 0;
  EXPECT_EQ(Export(RampFile(1000), "ev.skr", options),
            std::string(kHeadings) +
                "\n0.0110\t-0.0110\t0.0000\n0.0120\t-0.0120\t0.0000\n0.0130\t-0.0130\t0.0000"
                "\n0.0140\t-0.0140\t0.0000\n0.0150\t-0.0150\t0.0000"
                "\nPEAKS:\n0.0150\t-0.0110\t0.0000\n0.0110\t-0.0150\t0.0000"
                "\nAverage:\n0.01300000\t-0.01300000\t0.00000000"
                "\nRoot meas square value:\n0.00141421\t0.00141421\t0.00000000");

  options.IgnoreFirst = 996;
  std::string text = Export(RampFile(1000), "ev.skr", options);
  EXPECT_EQ(result_, 0);
  ASSERT_EQ(ui_.ids.size(), 1u);
  EXPECT_EQ(ui_.ids[0], tarvik::kMsgIgnoreIncludeOutOfRange);
  EXPECT_EQ(ui_.texts[0], "ERROR: number for ignore first and include samples out of range");
  EXPECT_EQ(text, "");
}

TEST_F(EventConverterTest, TrimCountsFromTheHeaderNotFromTheFile) {
  // Six channels: C = nb_samples x 3 / 6. 60 samples give 30 frames, whatever the file holds.
  EventFileBuilder skr = EventFileBuilder::SkrHeader(60);
  skr.U8(12, 6);
  for (int i = 1; i <= 5; ++i) skr.Frame16(i, 0, 0);
  ExportOptions options = RowsOnly();
  options.NotLSB = 1;
  options.Trim = 1;
  options.TrimFirstLast = 1;
  options.FirstSamples = 2;
  options.LastSamples = 28;  // frames 3..30 form the tail; the file ends after frame 5
  EXPECT_EQ(Export(skr, "ev.skr", options),
            std::string(kHeadings) + "\n1\t0\t0\n2\t0\t0\n3\t0\t0\n4\t0\t0\n5\t0\t0");
  options.LastSamples = 29;
  Export(skr, "ev.skr", options);
  EXPECT_EQ(result_, 0);
  // Negative counts select nothing sensible; they are out of range too.
  options.FirstSamples = -5;
  options.LastSamples = 0;
  Export(skr, "ev.skr", options);
  EXPECT_EQ(result_, 0);
}

TEST_F(EventConverterTest, NoKeptFramesWriteNoStatistics) {
  EventFileBuilder skr = EventFileBuilder::SkrHeader(30);  // the frames never arrive
  ExportOptions options = RowsOnly();
  options.Average = 1;
  options.ChannelMinMax = 1;
  options.RootMeasSquare = 1;
  EXPECT_EQ(Export(skr, "ev.skr", options), kHeadings);
  EXPECT_EQ(result_, 1);
}

TEST_F(EventConverterTest, ChannelFilesInADottedFolder) {
  std::filesystem::create_directories(dir_ / "exports.v1");
  EventFileBuilder skr = EventFileBuilder::SkrHeader(6);
  skr.Frame16(1, 2, 3).Frame16(-4, -5, -6);
  skr.WriteTo(dir_ / "ev.skr");
  ExportOptions options;  // header on, as the settings default
  options.ChannelFiles = 1;
  options.ChannelMinMax = 1;
  converter_.SetOptions(options);
  ASSERT_EQ(converter_.Convert(dir_ / "ev.skr", dir_ / "exports.v1" / "ev.txt"), 1);

  kr::HeaderBytes header{};
  std::copy_n(skr.bytes().begin(), header.size(), header.begin());
  tarvik::HeaderTextSettings settings;
  settings.current_year = 2026;
  EXPECT_EQ(kr_test::DecodeUtf16File(dir_ / "exports.v1" / "ev.txt"),
            tarvik::FileInformation(header, settings) + "\n");
  EXPECT_EQ(kr_test::DecodeUtf16File(dir_ / "exports.v1" / "ev_x.txt"),
            "X-Axis \n0.0010\n-0.0040\nPEAKS:\n0.0010\n-0.0040");
  EXPECT_EQ(kr_test::DecodeUtf16File(dir_ / "exports.v1" / "ev_y.txt"),
            "Y-Axis \n0.0020\n-0.0050\nPEAKS:\n0.0020\n-0.0050");
  EXPECT_EQ(kr_test::DecodeUtf16File(dir_ / "exports.v1" / "ev_z.txt"),
            "Z-Axis \n0.0030\n-0.0060\nPEAKS:\n0.0030\n-0.0060");
  EXPECT_FALSE(std::filesystem::exists(dir_ / "exports_x.v1"));
}

TEST(ChannelFilePath, DotsOfTheFileNameOnly) {
  using tarvik::EventConverter;
  EXPECT_EQ(EventConverter::ChannelFilePath("/tmp/Temp/$ex00012.txt", 'x'), "/tmp/Temp/$ex00012_x.txt");
  EXPECT_EQ(EventConverter::ChannelFilePath("/tmp/Temp/$ex00012.txt", 'z'), "/tmp/Temp/$ex00012_z.txt");
  EXPECT_EQ(EventConverter::ChannelFilePath("/a.b/c.d.txt", 'y'), "/a.b/c_y.d_y.txt");
  EXPECT_EQ(EventConverter::ChannelFilePath("/a.b/plain", 'x'), "/a.b/plain_x");
}

TEST_F(EventConverterTest, VmxInNonBlockModesWritesHeaderAndHeadingsOnly) {
  for (unsigned mode : {1u, 6u, 7u}) {
    EventFileBuilder vmx = EventFileBuilder::SkrHeader(3, "CKR4100");
    vmx.U8(250, mode).Frame16(1, 2, 3).Block(BlockBuilder().Stamp(0, 0, 10, 15, 3, 26).U16(8, 5).bytes());
    ExportOptions options;
    options.Interpreted = 0;
    options.Average = 1;
    options.ChannelMinMax = 1;
    options.RootMeasSquare = 1;
    std::string text = Export(vmx, "ev.vmx", options);
    EXPECT_EQ(result_, 1) << mode;
    EXPECT_TRUE(text.starts_with("file_number:")) << mode;
    EXPECT_TRUE(text.ends_with("\n\n" + std::string(kHeadings))) << mode;
  }
}

TEST_F(EventConverterTest, TimeColumnWithoutADate) {
  EventFileBuilder skr = EventFileBuilder::SkrHeader(12);
  skr.U16(10, 3);                      // sampling 3
  skr.BcdTime(45, 5, 4, 3, 0, 1, 26);  // int_day 0: no date
  for (int i = 0; i < 4; ++i) skr.Frame16(i, 0, 0);
  ExportOptions options = RowsOnly();
  options.NotLSB = 1;
  options.TimeInformation = 1;
  // Microseconds k / 3 x 1000000, rounded half up.
  EXPECT_EQ(Export(skr, "ev.skr", options), std::string(kHeadings) + kTimeHeadings +
                                                "\n0\t0\t0\t\t\t0\t\t"
                                                "\n1\t0\t0\t\t\t333333\t\t"
                                                "\n2\t0\t0\t\t\t666667\t\t"
                                                "\n3\t0\t0\t\t\t1000000\t\t");
}

TEST_F(EventConverterTest, TimeColumnFromTheTriggerTimeAcrossTheYear) {
  EventFileBuilder skr = EventFileBuilder::SkrHeader(12);
  skr.U16(10, 4).U16(43, 2);                // sampling 4, int_offset 2: t = (2 + k) / 4
  skr.BcdTime(45, 59, 59, 23, 31, 12, 25);  // 31.12.2025 23:59:59
  for (int i = 0; i < 4; ++i) skr.Frame16(i, 0, 0);
  ExportOptions options = RowsOnly();
  options.NotLSB = 1;
  options.TimeInformation = 1;
  EXPECT_EQ(Export(skr, "ev.skr", options), std::string(kHeadings) + kTimeHeadings +
                                                "\n0\t0\t0\t31.12.2025\t23:59:59\t500000\t\t"
                                                "\n1\t0\t0\t31.12.2025\t23:59:59\t750000\t\t"
                                                "\n2\t0\t0\t01.01.2026\t00:00:00\t0\t\t"
                                                "\n3\t0\t0\t01.01.2026\t00:00:00\t250000\t\t");
}

TEST_F(EventConverterTest, TimeColumnInUsStyleWithoutLocaleDesignators) {
  EventFileBuilder skr = EventFileBuilder::SkrHeader(9);
  skr.U16(10, 1);                          // one sample per second
  skr.BcdTime(45, 59, 59, 11, 15, 3, 26);  // 15.03.2026 11:59:59
  for (int i = 0; i < 3; ++i) skr.Frame16(i, 0, 0);
  ExportOptions options = RowsOnly();
  options.NotLSB = 1;
  options.TimeInformation = 1;
  options.UsDateFormat = 1;
  converter_.SetDayPeriodDesignators("", "");
  EXPECT_EQ(Export(skr, "ev.skr", options), std::string(kHeadings) + kTimeHeadings +
                                                "\n0\t0\t0\t03/15/2026\t11:59:59 AM\t0\t\t"
                                                "\n1\t0\t0\t03/15/2026\t12:00:00 PM\t0\t\t"
                                                "\n2\t0\t0\t03/15/2026\t12:00:01 PM\t0\t\t");
}

TEST_F(EventConverterTest, TimeColumnKeepsItsValueWhenSamplingIsZero) {
  EventFileBuilder skr = EventFileBuilder::SkrHeader(6);
  skr.U16(10, 0).BcdTime(45, 0, 0, 8, 1, 2, 26);
  skr.Frame16(0, 0, 0).Frame16(1, 0, 0);
  ExportOptions options = RowsOnly();
  options.NotLSB = 1;
  options.TimeInformation = 1;
  EXPECT_EQ(Export(skr, "ev.skr", options), std::string(kHeadings) + kTimeHeadings +
                                                "\n0\t0\t0\t01.02.2026\t08:00:00\t0\t\t"
                                                "\n1\t0\t0\t01.02.2026\t08:00:00\t0\t\t");
}

TEST_F(EventConverterTest, PeriodicBlocksWithTimeStamps) {
  EventFileBuilder vmx = EventFileBuilder::SkrHeader(43, "CKR4100");
  vmx.U8(250, 3);
  BlockBuilder first;
  first.Stamp(0, 0, 10, 15, 3, 26).Count(41);
  for (unsigned r = 0; r < 41; ++r) first.U16(8 + 6 * r, r).U16(8 + 6 * r + 2, 0xFFFF);  // Y = -1
  BlockBuilder second;
  second.Stamp(30, 20, 22, 15, 3, 26).Count(2).U16(8, 100).U16(14, 101);
  BlockBuilder beyond;  // past nb_samples: never read as records
  beyond.Stamp(0, 0, 0, 1, 1, 26).U16(8, 999).Count(1);
  vmx.Block(first.bytes()).Block(second.bytes()).Block(beyond.bytes());
  ExportOptions options = RowsOnly();
  options.NotLSB = 1;
  options.TimeInformation = 1;  // no time column for blocks
  options.Average = 1;          // and no statistics

  std::string expected = std::string(kHeadings) + kTimeHeadings;
  for (int r = 0; r < 41; ++r) {
    expected += "\n" + std::to_string(r) + "\t-1\t0";
    if (r == 0) expected += std::string("\t15.03.26 10:00:00") + kPeriodEnd;
  }
  expected += std::string("\n100\t0\t0\t15.03.26 22:20:30") + kPeriodEnd + "\n101\t0\t0";
  EXPECT_EQ(Export(vmx, "ev.vmx", options), expected);
  EXPECT_EQ(result_, 1);

  options.UsDateFormat = 1;
  std::string us = Export(vmx, "ev.vmx", options);
  EXPECT_NE(us.find(std::string("\n100\t0\t0\t03/15/26 10:20:30 PM") + kPeriodEnd), std::string::npos);
}

TEST_F(EventConverterTest, BlocksWithoutTimeStampHold42Frames) {
  EventFileBuilder vmx = EventFileBuilder::SkrHeader(44, "CKR4100");
  vmx.U8(250, 2);
  BlockBuilder first;
  for (unsigned r = 0; r < 42; ++r) first.U16(2 + 6 * r, r + 1);
  BlockBuilder second;
  second.U16(2, 43).U16(8, 44).U16(14, 45);
  vmx.Block(first.bytes()).Block(second.bytes());
  ExportOptions options = RowsOnly();
  options.NotLSB = 1;
  std::string expected = kHeadings;
  for (int r = 1; r <= 44; ++r) expected += "\n" + std::to_string(r) + "\t0\t0";
  EXPECT_EQ(Export(vmx, "ev.vmx", options), expected);
}

EventFileBuilder BkrFile(unsigned recording_mode, std::uint32_t records) {
  EventFileBuilder bkr = EventFileBuilder::XkrHeader(records);
  bkr.U8(4, 1).U8(215, recording_mode);
  return bkr;
}

TEST_F(EventConverterTest, BkrFrequencyRecordsWithUnsignedPeaks) {
  EventFileBuilder bkr = BkrFile(10, 2);
  BlockBuilder block;
  block.Stamp(0, 15, 6, 2, 1, 26).Count(2);
  block.U16(8, 40000).U16(10, 1).U16(12, 2).U16(14, 125).U16(16, 0).U16(18, 1000);
  block.U16(20, 3).U16(22, 4).U16(24, 5).U16(26, 7).U16(28, 8).U16(30, 9);
  bkr.Block(block.bytes());
  ExportOptions options = RowsOnly();
  options.NotLSB = 1;
  EXPECT_EQ(Export(bkr, "ev.bkr", options), std::string(kHeadings) +
                                                "\n40000\t1\t2\t12.5\t0.0\t100.0\t02.01.26 06:15:00" +
                                                kPeriodEnd + "\n3\t4\t5\t0.7\t0.8\t0.9");
}

TEST_F(EventConverterTest, BkrVectorSumRecords) {
  EventFileBuilder bkr = BkrFile(8, 1);
  BlockBuilder block;
  block.Stamp(0, 0, 0, 2, 1, 26).Count(1).U16(8, 3).U16(10, 4).U16(12, 0).U48(14, 25);
  bkr.Block(block.bytes());
  ExportOptions options = RowsOnly();
  options.NotLSB = 1;
  EXPECT_EQ(Export(bkr, "ev.bkr", options),
            std::string(kHeadings) + "\n3\t4\t0\t25\t02.01.26 00:00:00" + kPeriodEnd);
  // In units: sqrt(25) x sqrt((0.001^2 x 3) / 3) = 0.005.
  options.NotLSB = 0;
  EXPECT_EQ(Export(bkr, "ev.bkr", options),
            std::string(kHeadings) + "\n0.0030\t0.0040\t0.0000\t0.0050\t02.01.26 00:00:00" + kPeriodEnd);
  // Recording modes without a record form write no rows.
  EXPECT_EQ(Export(BkrFile(9, 1).Block(block.bytes()), "ev.bkr", options), kHeadings);
}

TEST_F(EventConverterTest, ThirtyTwoBitFramesOfSixteenAndTwentyFourFiles) {
  EventFileBuilder file = EventFileBuilder::SkrHeader(3);
  file.Frame32(100000, -100000, 2147483647);
  ExportOptions options = RowsOnly();
  EXPECT_EQ(Export(file, "ev.24", options),
            std::string(kHeadings) + "\n100.000000\t-100.000000\t2147483.647000");
  EXPECT_EQ(Export(file, "ev.16", options), std::string(kHeadings) + "\n100.0000\t-100.0000\t2147483.6470");
  options.NotLSB = 1;
  EXPECT_EQ(Export(file, "ev.16", options), std::string(kHeadings) + "\n100000\t-100000\t2147483647");
}

TEST_F(EventConverterTest, UnknownExtensionsWriteNoRowsUnlessTheModeSaysSo) {
  EventFileBuilder skr = EventFileBuilder::SkrHeader(3);
  skr.Frame16(1, 2, 3);
  ExportOptions options = RowsOnly();
  options.NotLSB = 1;
  EXPECT_EQ(Export(skr, "ev.dat", options), kHeadings);
  EXPECT_EQ(result_, 1);
  // A blast recording is read as waveform; the header tells the layout (here X, 24-bit).
  EventFileBuilder xkr = EventFileBuilder::XkrHeader(3);
  xkr.U8(4, 5).Frame24(-5, 6, 7);
  EXPECT_EQ(Export(xkr, "ev.dat", options), std::string(kHeadings) + "\n-5\t6\t7");
}

TEST_F(EventConverterTest, DataOffWritesNeitherRowsNorTimes) {
  EventFileBuilder skr = EventFileBuilder::SkrHeader(6);
  skr.BcdTime(45, 0, 0, 8, 1, 2, 26).Frame16(1, 2, 3).Frame16(4, 5, 6);
  ExportOptions options = RowsOnly();
  options.Data = 0;
  options.TimeInformation = 1;
  options.Average = 1;
  options.NotLSB = 1;
  EXPECT_EQ(Export(skr, "ev.skr", options), "\nAverage:\n2.50000000\t3.50000000\t4.50000000");
}

TEST_F(EventConverterTest, FailuresAreReportedAndNothingIsDestroyed) {
  converter_.SetOptions(RowsOnly());
  EXPECT_EQ(converter_.Convert(dir_ / "missing.skr", dir_ / "out.txt"), 0);
  EventFileBuilder::SkrHeader(3).Frame16(1, 2, 3).WriteTo(dir_ / "ev.skr");
  EXPECT_EQ(converter_.Convert(dir_ / "ev.skr", dir_ / "no" / "such" / "out.txt"), 0);
  EXPECT_EQ(converter_.Convert(dir_.path(), dir_ / "out.txt"), 0);  // a folder is no input

  // Writing the export over its own input would destroy the event.
  std::string before = kr_test::ReadBytes(dir_ / "ev.skr");
  EXPECT_EQ(converter_.Convert(dir_ / "ev.skr", dir_ / "ev.skr"), 0);
  EXPECT_EQ(kr_test::ReadBytes(dir_ / "ev.skr"), before);

  std::ofstream(dir_ / "short.skr", std::ios::binary) << std::string(100, 'x');
  EXPECT_EQ(converter_.Convert(dir_ / "short.skr", dir_ / "out.txt"), 0);
  std::ofstream(dir_ / "empty.skr", std::ios::binary).close();
  EXPECT_EQ(converter_.Convert(dir_ / "empty.skr", dir_ / "out.txt"), 0);

  EXPECT_EQ(ui_.ids, (std::vector<int>{tarvik::kMsgInputFileOpenError, tarvik::kMsgOutputFileOpenError,
                                       tarvik::kMsgInputFileOpenError, tarvik::kMsgOutputFileOpenError,
                                       tarvik::kMsgCantReadHeader, tarvik::kMsgCantReadHeader}));
  EXPECT_EQ(ui_.texts[0], "Input file open error");
  EXPECT_EQ(ui_.texts[1], "Output file open error");
  EXPECT_EQ(ui_.texts[4], "Can't read Headerbuffer");
}

TEST_F(EventConverterTest, AFullDiskIsNoSuccess) {
  if (!std::filesystem::exists("/dev/full")) GTEST_SKIP() << "no /dev/full";
  EventFileBuilder::SkrHeader(3).Frame16(1, 2, 3).WriteTo(dir_ / "ev.skr");
  converter_.SetOptions(ExportOptions{});
  EXPECT_EQ(converter_.Convert(dir_ / "ev.skr", "/dev/full"), 0);
  EXPECT_EQ(ui_.ids, std::vector<int>{tarvik::kMsgOutputFileWriteError});
}

TEST(ExportOptions, DefaultsAndKeyValueTexts) {
  ExportOptions options;
  EXPECT_EQ(options.Header, 1);
  EXPECT_EQ(options.Interpreted, 1);
  EXPECT_EQ(options.Data, 1);
  EXPECT_EQ(options.ChannelFiles + options.ChannelMinMax + options.Average + options.RootMeasSquare +
                options.NotLSB + options.Trim + options.TrimFirstLast + options.IgnoreFirst +
                options.TimeInformation + options.UsDateFormat,
            0);
  EXPECT_EQ(options.FirstSamples, 100);
  EXPECT_EQ(options.LastSamples, 100);
  EXPECT_EQ(options.Include, 100);

  using tarvik::ExportOptionError;
  EXPECT_EQ(tarvik::SetExportOption(options, "trimfirstlast=1"), ExportOptionError::kNone);
  EXPECT_EQ(options.TrimFirstLast, 1);
  EXPECT_EQ(tarvik::SetExportOption(options, " Include = -7 "), ExportOptionError::kNone);
  EXPECT_EQ(options.Include, -7);
  EXPECT_EQ(tarvik::SetExportOption(options, "UsDateFormat=+1"), ExportOptionError::kNone);
  EXPECT_EQ(options.UsDateFormat, 1);
  EXPECT_EQ(tarvik::SetExportOption(options, "Include"), ExportOptionError::kMissingEquals);
  EXPECT_EQ(tarvik::SetExportOption(options, "Colour=1"), ExportOptionError::kUnknownKey);
  EXPECT_EQ(tarvik::SetExportOption(options, "Include=12x"), ExportOptionError::kNotANumber);
  EXPECT_EQ(tarvik::SetExportOption(options, "Include="), ExportOptionError::kNotANumber);
  EXPECT_EQ(tarvik::SetExportOption(options, "Include=99999999999"), ExportOptionError::kNotANumber);
  EXPECT_EQ(options.Include, -7);

  int value = 0;
  for (std::string_view key : tarvik::kExportOptionKeys)
    EXPECT_TRUE(tarvik::GetExportOption(options, key, value)) << key;
  EXPECT_TRUE(tarvik::SetExportOption(options, "notlsb", 1));
  EXPECT_EQ(options.NotLSB, 1);
  EXPECT_FALSE(tarvik::GetExportOption(options, "Colour", value));
}

}  // namespace
