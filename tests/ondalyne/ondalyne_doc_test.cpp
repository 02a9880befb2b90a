#include "ondalyne/core/ondalyne_doc.h"

#include <gtest/gtest.h>

#include <cmath>
#include <filesystem>

#include "doc_test_support.h"
#include "ondalyne/core/view_state.h"

namespace {

using kr_test::BlockBuilder;
using kr_test::EventFileBuilder;
using ondalyne::COndalyneDoc;
using ondalyne_test::CkrHeader;
using ondalyne_test::LoadDoc;

TEST(FileKind, ComesFromTheLastThreeLettersOfTheNameInAnyCase) {
  EXPECT_EQ(ondalyne::KindFromFileName("event.xkr"), 3);
  EXPECT_EQ(ondalyne::KindFromFileName("EVENT.XkR"), 3);
  EXPECT_EQ(ondalyne::KindFromFileName("a.vmx"), 4);
  EXPECT_EQ(ondalyne::KindFromFileName("a.BKR"), 5);
  EXPECT_EQ(ondalyne::KindFromFileName("a.vkr"), 2);
  EXPECT_EQ(ondalyne::KindFromFileName("a.skr"), 1);
  EXPECT_EQ(ondalyne::KindFromFileName("a.dat"), 1);
  EXPECT_EQ(ondalyne::KindFromFileName("noextxkr"), 3);
}

TEST(DocumentLoad, XkrNameWinsOverAnSLayoutHeaderWhichThenFailsTheModelCheck) {
  auto file = EventFileBuilder::SkrHeader(1).Frame16(1, 2, 3);
  COndalyneDoc as_xkr = LoadDoc(file, "x.XKR");
  EXPECT_EQ(as_xkr.kind(), 0);
  COndalyneDoc as_other = LoadDoc(file, "x.abc");
  EXPECT_EQ(as_other.kind(), 1);
}

TEST(DocumentLoad, ImplausibleHeadersFailWithMessage156) {
  const std::string text156 = "Can't read strong waveform file (unknown format); Import halted.";
  auto check = [&](const EventFileBuilder& file, const std::string& name) {
    COndalyneDoc doc = LoadDoc(file, name);
    EXPECT_EQ(doc.kind(), 0) << name;
    ASSERT_FALSE(doc.messages().empty()) << name;
    EXPECT_EQ(doc.messages().back().id, 156);
    EXPECT_EQ(doc.last_error(), text156);
    EXPECT_EQ(doc.count(), 0u);
  };
  check(EventFileBuilder::SkrHeader(2).U16(10, 0).Frame16(1, 1, 1), "rate0.skr");
  check(EventFileBuilder::SkrHeader(2).U16(10, 10001).Frame16(1, 1, 1), "rate10001.skr");
  check(EventFileBuilder::SkrHeader(0).Frame16(1, 1, 1), "count0.skr");
  check(EventFileBuilder::SkrHeader(2).U8(12, 4).Frame16(1, 1, 1), "four.skr");
  check(EventFileBuilder::SkrHeader(2, "CKR4100").Frame16(1, 1, 1), "model.skr");
  check(EventFileBuilder::SkrHeader(2, "SKR4100"), "model.vkr");
  check(EventFileBuilder::XkrHeader(2).U16(54, 0), "rate.xkr");
  // Fewer than 256 bytes.
  kr_test::EventFileBuilder short_file;
  COndalyneDoc doc;
  static const kr::StringTable strings = ondalyne::MakeOndalyneStringTable();
  std::vector<std::uint8_t> bytes(short_file.bytes().begin(), short_file.bytes().begin() + 100);
  doc.LoadBytes(bytes, "short.skr", strings, {});
  EXPECT_EQ(doc.kind(), 0);
  EXPECT_EQ(doc.last_error(), text156);
}

TEST(DocumentLoad, BoundaryRatesLoad) {
  EXPECT_EQ(LoadDoc(EventFileBuilder::SkrHeader(1).U16(10, 1).Frame16(0, 0, 0), "a.skr").kind(), 1);
  EXPECT_EQ(LoadDoc(EventFileBuilder::SkrHeader(1).U16(10, 10000).Frame16(0, 0, 0), "a.skr").kind(), 1);
}

TEST(DocumentLoad, SixChannelSkrUsesTheFirstThreeChannelsOfEachTwelveByteFrame) {
  auto file = EventFileBuilder::SkrHeader(2).U8(12, 6);
  file.Frame16(100, -200, 300).Frame16(7000, 7000, 7000);
  file.Frame16(-400, 500, 600).Frame16(-7000, -7000, -7000);
  COndalyneDoc doc = LoadDoc(file, "six.skr");
  ASSERT_EQ(doc.kind(), 1);
  ASSERT_EQ(doc.count(), 2u);
  EXPECT_DOUBLE_EQ(doc.Value(0, 0), 0.1);
  EXPECT_DOUBLE_EQ(doc.Value(1, 0), -0.2);
  EXPECT_DOUBLE_EQ(doc.Value(2, 1), 0.6);
  EXPECT_DOUBLE_EQ(doc.minimum()[0], -0.4);
  EXPECT_DOUBLE_EQ(doc.maximum()[2], 0.6);
}

TEST(DocumentLoad, StatisticsAndTheDisplayMargin) {
  // X: 100, -200, 300 -> min -0.2, max 0.3, mean 0.2/3; Y: 10, 20, 30; Z: -50, -50, -50.
  auto file =
      EventFileBuilder::SkrHeader(3).Frame16(100, 10, -50).Frame16(-200, 20, -50).Frame16(300, 30, -50);
  COndalyneDoc doc = LoadDoc(file, "stats.skr");
  ASSERT_EQ(doc.kind(), 1);
  EXPECT_TRUE(doc.messages().empty());
  EXPECT_DOUBLE_EQ(doc.minimum()[0], -0.2);
  EXPECT_DOUBLE_EQ(doc.maximum()[0], 0.3);
  EXPECT_NEAR(doc.mean()[0], 0.2 / 3, 1e-12);
  EXPECT_NEAR(doc.mean()[1], 0.02, 1e-12);
  EXPECT_NEAR(doc.mean()[2], -0.05, 1e-12);
  // Overall -0.2 .. 0.3, span 0.5, widened by 0.015 each side.
  EXPECT_NEAR(doc.overall_min(), -0.215, 1e-12);
  EXPECT_NEAR(doc.overall_max(), 0.315, 1e-12);
  EXPECT_EQ(doc.rms()[0], 0.0);
}

TEST(DocumentLoad, TruncatedFileKeepsTheSamplesReadAndReports173) {
  auto file = EventFileBuilder::SkrHeader(10);
  for (int i = 0; i < 5; ++i) file.Frame16(i, 2 * i, 3 * i);
  file.Raw({1, 2, 3});  // a partial frame is not a sample
  COndalyneDoc doc = LoadDoc(file, "short.skr");
  EXPECT_EQ(doc.kind(), 1);
  EXPECT_EQ(doc.count(), 5u);
  EXPECT_EQ(doc.expected(), 10u);
  ASSERT_EQ(doc.messages().size(), 1u);
  EXPECT_EQ(doc.messages()[0].id, 173);
  EXPECT_EQ(doc.last_error(),
            "The data of the file were not complete.\nOnly 5 of 10 samples or periods were saved.");
  EXPECT_DOUBLE_EQ(doc.maximum()[2], 0.012);
}

TEST(DocumentLoad, HeaderOnlyFileLoadsWithZeroStatistics) {
  COndalyneDoc doc = LoadDoc(EventFileBuilder::SkrHeader(4), "empty.skr");
  EXPECT_EQ(doc.kind(), 1);
  EXPECT_EQ(doc.count(), 0u);
  EXPECT_EQ(doc.last_error(),
            "The data of the file were not complete.\nOnly 0 of 4 samples or periods were saved.");
  EXPECT_EQ(doc.overall_min(), 0.0);
  EXPECT_EQ(doc.overall_max(), 0.0);
  EXPECT_EQ(doc.mean()[0], 0.0);
}

TEST(DocumentLoad, FirmwareVersions) {
  // 70 * 256 + 125 = 18045, reported as 32070.
  EXPECT_EQ(
      LoadDoc(EventFileBuilder::SkrHeader(1).U8(79, 70).U8(26, 125).Frame16(0, 0, 0), "a.skr").firmware(),
      32070);
  EXPECT_EQ(
      LoadDoc(EventFileBuilder::SkrHeader(1).U8(79, 70).U8(26, 124).Frame16(0, 0, 0), "a.skr").firmware(),
      18044);
  // 'V' counts as 220; signed minor -2 -> 21998.
  EXPECT_EQ(LoadDoc(CkrHeader(1).U8(79, 'V').U8(233, 0xFE).Frame16(0, 0, 0), "a.vkr").firmware(), 21998);
  EXPECT_EQ(LoadDoc(EventFileBuilder::XkrHeader(1).U8(58, 2).U8(59, 3).Frame24(0, 0, 0), "a.xkr").firmware(),
            515);
}

TEST(DocumentLoad, ScaleFactorsAndTriggerLevels) {
  // Exponent +2 leaves the mantissa unscaled; -2 divides by 100.
  auto file =
      EventFileBuilder::SkrHeader(1).U16(94, 5).U8(96, 2).U16(97, 5).U8(99, 0xFE).U16(160, 1000).Frame16(3, 3,
                                                                                                         3);
  COndalyneDoc doc = LoadDoc(file, "a.skr");
  EXPECT_DOUBLE_EQ(doc.scale_factors()[0], 5.0);
  EXPECT_DOUBLE_EQ(doc.scale_factors()[1], 0.05);
  EXPECT_DOUBLE_EQ(doc.trigger_levels()[0], 5000.0);
  EXPECT_DOUBLE_EQ(doc.Value(0, 0), 15.0);

  // Gains 10000, 10000, 8000: one is out of 9000..11000, so all three get 1.036.
  auto xkr = EventFileBuilder::XkrHeader(1).U16(220, 8000).Frame24(1000, 1000, 1000);
  COndalyneDoc x = LoadDoc(xkr, "a.xkr");
  EXPECT_NEAR(x.scale_factors()[0], 0.001036, 1e-15);
  EXPECT_NEAR(x.scale_factors()[2], 0.001036, 1e-15);
  EXPECT_NEAR(x.Value(1, 0), 1.036, 1e-12);
  // Gains in range apply one by one.
  COndalyneDoc g = LoadDoc(EventFileBuilder::XkrHeader(1).U16(218, 9500).Frame24(0, 0, 0), "a.xkr");
  EXPECT_NEAR(g.scale_factors()[1], 0.00095, 1e-15);
  EXPECT_NEAR(g.scale_factors()[0], 0.001, 1e-15);
}

TEST(DocumentLoad, BkrResolution20MultipliesSampleFactorsButNotTriggerLevels) {
  auto file = EventFileBuilder::XkrHeader(1).U8(63, 20).I24(116, 100).U8(213, 10);
  file.Block(BlockBuilder().U16(8, 10).U16(10, 20).U16(12, 30).Count(1).bytes());
  COndalyneDoc doc = LoadDoc(file, "a.bkr");
  ASSERT_EQ(doc.kind(), 5);
  EXPECT_NEAR(doc.scale_factors()[0], 0.008, 1e-15);
  EXPECT_NEAR(doc.trigger_levels()[0], 0.1, 1e-12);
  EXPECT_NEAR(doc.Value(2, 0), 0.24, 1e-12);
  EXPECT_NEAR(doc.sampling_rate(), 0.1, 1e-15);
}

TEST(DocumentLoad, MillivoltChannelsOfXkrAreCorrected) {
  // Z reads "   mV": count - kbftm_z + ch_offset_z = 1000 - 300 + 50 = 750.
  auto file = EventFileBuilder::XkrHeader(1).Text(102, "   mV").I24(253, 300).I24(191, 50).I24(247, 999);
  file.Frame24(1000, 1000, 1000);
  COndalyneDoc doc = LoadDoc(file, "mv.xkr");
  EXPECT_EQ(doc.Count(2, 0), 750);
  EXPECT_EQ(doc.Count(0, 0), 1000);
  EXPECT_EQ(doc.units()[2], "mV");
  EXPECT_NEAR(doc.maximum()[2], 0.75, 1e-12);
}

TEST(DocumentLoad, UnitsAreTrimmedAndMapped) {
  auto file = EventFileBuilder::SkrHeader(1)
                  .Text(112, "mm/s2")
                  .Text(117, "  mg ")
                  .Text(122, " mm/s")
                  .Frame16(0, 0, 0);
  COndalyneDoc doc = LoadDoc(file, "a.skr");
  EXPECT_EQ(doc.units()[0], "mm/s\u00b2");
  EXPECT_EQ(doc.units()[1], "mg");
  EXPECT_EQ(doc.units()[2], "mm/s");
}

TEST(DocumentLoad, VmxIntervalZeroMeansThirtySecondsAndRecordingModeByFirmware) {
  auto file = CkrHeader(1).U8(247, 0).U8(250, 4).U8(254, 9);
  file.Block(BlockBuilder().U16(8, 1).U16(10, 2).U16(12, 3).Count(1).bytes());
  COndalyneDoc doc = LoadDoc(file, "a.vmx");
  ASSERT_EQ(doc.kind(), 4);
  EXPECT_DOUBLE_EQ(doc.sampling_rate(), 1.0 / 30);
  EXPECT_EQ(doc.recording_mode(), 4);  // firmware 0 < 22060: offset 250
  auto newer = CkrHeader(1).U8(79, 'V').U8(233, 60).U8(250, 4).U8(254, 9);
  newer.Block(BlockBuilder().Count(1).bytes());
  EXPECT_EQ(LoadDoc(newer, "a.vmx").recording_mode(), 9);  // 22060: offset 254
}

TEST(DocumentLoad, KbFileWithWrongUnitReports400AndStillLoads) {
  auto file = CkrHeader(2).Text(117, "mm/s2").U8(250, 3).U8(247, 30);
  // Records: X 200 (0.2), 50 (0.05, not above 0.1, counts only in the divisor).
  file.Block(BlockBuilder()
                 .U16(8, 200)
                 .U16(10, 300)
                 .U16(12, 400)
                 .U16(14, 50)
                 .U16(16, 60)
                 .U16(18, 70)
                 .Count(2)
                 .bytes());
  COndalyneDoc doc = LoadDoc(file, "kb.vmx");
  ASSERT_EQ(doc.kind(), 4);
  EXPECT_TRUE(doc.IsKbFile());
  ASSERT_EQ(doc.messages().size(), 1u);
  EXPECT_EQ(doc.messages()[0].id, 400);
  EXPECT_EQ(doc.messages()[0].text,
            "The measuring unit Y for KB-file must be \"mm/s\" instead of \"mm/s\u00b2\".");
  EXPECT_EQ(doc.count(), 2u);
  // RMS of X: sqrt(0.2^2 / 2); Y: sqrt(0.3^2 / 2); Z: sqrt(0.4^2 / 2).
  EXPECT_NEAR(doc.rms()[0], std::sqrt(0.04 / 2), 1e-12);
  EXPECT_NEAR(doc.rms()[2], std::sqrt(0.16 / 2), 1e-12);
  // Interval files start their range at the overall minimum widened like any other.
  EXPECT_NEAR(doc.mean()[0], 0.125, 1e-12);
}

TEST(DocumentLoad, BlocksAreReadUntilTheRecordCountAndTheLastContributesOnlyWhatIsMissing) {
  auto file = CkrHeader(3).U8(250, 4).U8(247, 60);
  file.Block(BlockBuilder().U16(8, 1).U16(14, 2).Count(2).bytes());
  file.Block(BlockBuilder().U16(8, 3).U16(14, 4).Count(2).bytes());
  COndalyneDoc doc = LoadDoc(file, "a.vmx");
  ASSERT_EQ(doc.count(), 3u);
  EXPECT_EQ(doc.Count(0, 2), 3);
  EXPECT_TRUE(doc.messages().empty());
  EXPECT_DOUBLE_EQ(doc.maximum()[0], 0.003);
}

TEST(DocumentLoad, AnEmptyBlockIsSkippedAndReadingGoesOn) {
  auto file = CkrHeader(2).U8(250, 4);
  file.Block(BlockBuilder().Count(0).bytes());
  file.Block(BlockBuilder().U16(8, 7).U16(14, 9).Count(2).bytes());
  COndalyneDoc doc = LoadDoc(file, "a.vmx");
  ASSERT_EQ(doc.count(), 2u);
  EXPECT_EQ(doc.Count(0, 1), 9);
  EXPECT_TRUE(doc.messages().empty());
}

TEST(DocumentLoad, FromADiskFileAsFromMemory) {
  const auto path = std::filesystem::temp_directory_path() / "ondalyne_doc_test_6ch.vkr";
  auto file = CkrHeader(3).U8(12, 6);
  for (int i = 0; i < 3; ++i) file.Frame16(i, -i, 2 * i).Frame16(99, 99, 99);
  file.WriteTo(path);
  static const kr::StringTable strings = ondalyne::MakeOndalyneStringTable();
  COndalyneDoc doc;
  doc.Load(path, strings, {});
  std::filesystem::remove(path);
  ASSERT_EQ(doc.kind(), 2);
  EXPECT_EQ(doc.count(), 3u);
  EXPECT_EQ(doc.Count(2, 2), 4);
  EXPECT_EQ(doc.path(), path.string());
  COndalyneDoc missing;
  missing.Load(path, strings, {});
  EXPECT_EQ(missing.kind(), 0);
  EXPECT_EQ(missing.messages().back().id, 156);
}

TEST(DocumentLoad, ACountByteLargerThanTheBlockHoldsIsCutToTheBlock) {
  auto file = CkrHeader(100).U8(250, 4);
  file.Block(BlockBuilder().U16(8, 5).Count(255).bytes());
  COndalyneDoc doc = LoadDoc(file, "a.vmx");
  EXPECT_EQ(doc.kind(), 4);
  EXPECT_EQ(doc.count(), 41u);  // (255 - 8) / 6 records fit
  EXPECT_EQ(doc.messages().back().id, 173);
}

TEST(DocumentLoad, BkrVectorSums) {
  // LSB 0.001 on all channels: vector sum = sqrt(sum) * 0.001. Sums 1e6 and 4e6 -> 1 and 2.
  auto file = EventFileBuilder::XkrHeader(2).U8(4, 6).U8(213, 30);
  BlockBuilder block;
  block.U16(8, 10).U48(14, 1000000).U16(20, 20).U48(26, 4000000).Count(2);
  file.Block(block.bytes());
  COndalyneDoc doc = LoadDoc(file, "v.bkr");
  ASSERT_EQ(doc.kind(), 5);
  EXPECT_EQ(doc.vm_sub_mode(), 6);
  ASSERT_EQ(doc.vector_sums().size(), 2u);
  EXPECT_NEAR(doc.vector_sums()[0], 1.0, 1e-12);
  EXPECT_NEAR(doc.vector_sum_max(), 2.0, 1e-12);
  EXPECT_NEAR(doc.vector_sum_min(), 1.0, 1e-12);
  EXPECT_EQ(doc.Count(0, 1), 20);
}

TEST(DocumentLoad, VectorSumUsesTheRootMeanSquareOfTheFactors) {
  // Factors 0.001, 0.002, 0.002: sqrt((1 + 4 + 4) / 3) * 0.001 = sqrt(3) * 0.001.
  auto file = EventFileBuilder::XkrHeader(1).U8(4, 6).U16(86, 2).U16(89, 2);
  file.Block(BlockBuilder().U48(14, 100).Count(1).bytes());
  COndalyneDoc doc = LoadDoc(file, "v.bkr");
  ASSERT_EQ(doc.vector_sums().size(), 1u);
  EXPECT_NEAR(doc.vector_sums()[0], 10 * std::sqrt(3.0) * 0.001, 1e-12);
}

TEST(DocumentLoad, PeakFrequenciesOfSubMode7) {
  auto file = CkrHeader(2).U8(250, 7).U8(254, 7).U8(247, 30);
  // Record size 12: peaks then X, Y, Z frequency in tenths of a hertz.
  BlockBuilder block;
  block.U16(8, 100).U16(14, 125).U16(16, 300).U16(18, 5);
  block.U16(20, 200).U16(26, 1000).U16(28, 20).U16(30, 40).Count(2);
  file.Block(block.bytes());
  COndalyneDoc doc = LoadDoc(file, "f.vmx");
  ASSERT_EQ(doc.count(), 2u);
  ASSERT_EQ(doc.frequencies().size(), 2u);
  EXPECT_EQ(doc.frequencies()[0].xy, 125 | (300 << 16));
  EXPECT_EQ(doc.frequencies()[0].z, 5);
  EXPECT_DOUBLE_EQ(doc.Frequency(1, 0), 30.0);
  EXPECT_DOUBLE_EQ(doc.frequency_min(), 0.5);
  EXPECT_DOUBLE_EQ(doc.frequency_max(), 100.0);
}

TEST(DocumentDates, TriggerStartPowerLossAndTimeMarkTexts) {
  // Trigger 21.03.24 08:15:30, 50 samples after the second at 200 per second: .250; pre-event 2 s.
  auto file =
      EventFileBuilder::SkrHeader(1).BcdTime(45, 30, 15, 8, 21, 3, 24).U16(43, 50).U16(10, 200).U8(173, 2);
  file.Bcd(210, 2).Bcd(211, 1).Bcd(212, 99);
  file.BcdTime(36, 5, 4, 3, 29, 2, 24);
  file.Frame16(0, 0, 0);
  COndalyneDoc doc = LoadDoc(file, "a.skr");
  EXPECT_EQ(doc.trigger_text(), "21.03.2024 08:15:30.250");
  EXPECT_EQ(doc.start_text(), "21.03.2024 08:15:28");
  EXPECT_EQ(doc.power_loss_text(), "02.01.1999");
  EXPECT_EQ(doc.time_mark_text(), "29.02.2024 03:04:05");
  EXPECT_NEAR(doc.start_seconds_of_day(), 8 * 3600 + 15 * 60 + 28.25, 1e-9);

  COndalyneDoc us = LoadDoc(file, "a.skr", true);
  EXPECT_EQ(us.trigger_text(), "03/21/2024 08:15:30 AM.250");
  EXPECT_EQ(us.time_mark_text(), "02/29/2024 03:04:05 AM");
}

TEST(DocumentDates, MillisecondsRoundHalfUpAndCarryIntoTheSecond) {
  // 1 / 2000 s = 0.5 ms -> 1 ms; 1999 / 2000 s = 999.5 ms -> 1000 ms, the next second.
  auto a = EventFileBuilder::SkrHeader(1)
               .BcdTime(45, 59, 59, 23, 31, 12, 25)
               .U16(10, 2000)
               .U16(43, 1)
               .Frame16(0, 0, 0);
  EXPECT_EQ(LoadDoc(a, "a.skr").trigger_text(), "31.12.2025 23:59:59.001");
  auto b = EventFileBuilder::SkrHeader(1)
               .BcdTime(45, 59, 59, 23, 31, 12, 25)
               .U16(10, 2000)
               .U16(43, 1999)
               .Frame16(0, 0, 0);
  EXPECT_EQ(LoadDoc(b, "a.skr").trigger_text(), "01.01.2026 00:00:00.000");
}

TEST(DocumentDates, InvalidDatesGiveTheTimeOnlyOrNothing) {
  auto file = EventFileBuilder::SkrHeader(1).BcdTime(45, 1, 2, 13, 0, 3, 24).BcdTime(36, 1, 2, 3, 31, 2, 24);
  file.Bcd(210, 30).Bcd(211, 2).Bcd(212, 24).Frame16(0, 0, 0);
  COndalyneDoc doc = LoadDoc(file, "a.skr");
  EXPECT_EQ(doc.trigger_text(), "13:02:01.000");
  EXPECT_EQ(doc.time_mark_text(), "");
  EXPECT_EQ(doc.power_loss_text(), "");
  EXPECT_EQ(LoadDoc(file, "a.skr", true).trigger_text(), "01:02:01 PM.000");
}

TEST(DocumentDates, TwoDigitYearsLieWithinFiftyYearsBelowAndFortyNineAbove) {
  auto y76 = EventFileBuilder::SkrHeader(1).BcdTime(45, 0, 0, 0, 1, 1, 76).Frame16(0, 0, 0);
  EXPECT_EQ(LoadDoc(y76, "a.skr").trigger_text(), "01.01.1976 00:00:00.000");
  auto y75 = EventFileBuilder::SkrHeader(1).BcdTime(45, 0, 0, 0, 1, 1, 75).Frame16(0, 0, 0);
  EXPECT_EQ(LoadDoc(y75, "a.skr").trigger_text(), "01.01.2075 00:00:00.000");
}

TEST(DocumentDates, IntervalFilesCarryNoMilliseconds) {
  auto file = CkrHeader(1).BcdTime(45, 0, 30, 14, 5, 6, 24).U16(43, 7).U8(250, 4);
  file.Block(BlockBuilder().Count(1).bytes());
  EXPECT_EQ(LoadDoc(file, "a.vmx").trigger_text(), "05.06.2024 14:30:00");
}

TEST(ViewState, InitialStateAndPages) {
  // 100 samples at 200 per second is half a second: offset correction follows the setting.
  auto half = EventFileBuilder::SkrHeader(100).U16(10, 200);
  for (int i = 0; i < 100; ++i) half.Frame16(i, 0, 0);
  COndalyneDoc doc = LoadDoc(half, "a.skr");
  ondalyne::ViewState view = ondalyne::InitialViewState(doc, true, false);
  EXPECT_TRUE(view.offset);
  EXPECT_EQ(view.mode, ondalyne::kModeTimeHistory);
  EXPECT_EQ(view.zoom.end, 100);
  EXPECT_FALSE(ondalyne::InitialViewState(doc, false, false).offset);
  EXPECT_EQ(ondalyne::InitialViewState(doc, true, true).mode, ondalyne::kModeStatus);
  // 99 samples are less than half a second.
  auto shorter = EventFileBuilder::SkrHeader(99).U16(10, 200);
  for (int i = 0; i < 99; ++i) shorter.Frame16(i, 0, 0);
  EXPECT_FALSE(ondalyne::InitialViewState(LoadDoc(shorter, "a.skr"), true, false).offset);
  // A millivolt X channel never starts corrected.
  auto mv = EventFileBuilder::XkrHeader(400).U16(54, 200).Text(92, "   mV");
  for (int i = 0; i < 400; ++i) mv.Frame24(i, 0, 0);
  EXPECT_FALSE(ondalyne::InitialViewState(LoadDoc(mv, "a.xkr"), true, false).offset);

  EXPECT_TRUE(ondalyne::PageAvailable(doc, ondalyne::kModeFrequency));
  EXPECT_FALSE(ondalyne::PageAvailable(doc, ondalyne::kModeVectorSum));
  EXPECT_FALSE(ondalyne::PageAvailable(doc, 2));
  auto vm = CkrHeader(1).U8(250, 6);
  vm.Block(BlockBuilder().Count(1).bytes());
  COndalyneDoc interval = LoadDoc(vm, "a.vmx");
  EXPECT_FALSE(ondalyne::InitialViewState(interval, true, false).offset);
  EXPECT_FALSE(ondalyne::PageAvailable(interval, ondalyne::kModeFrequency));
  EXPECT_TRUE(ondalyne::PageAvailable(interval, ondalyne::kModeVectorSum));
  EXPECT_FALSE(ondalyne::PageAvailable(interval, ondalyne::kModePeakFrequency));
}

}  // namespace
