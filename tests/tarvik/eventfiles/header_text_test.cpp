#include "tarvik/eventfiles/header_text.h"

#include <gtest/gtest.h>

#include <algorithm>

#include "../../support/event_file_builder.h"
#include "eventfiles_test_support.h"
#include "krcommon/stdio_file_ex.h"
#include "tarvik/eventfiles/event_kind.h"

namespace {

using kr_test::EventFileBuilder;

kr::HeaderBytes HeaderOf(const EventFileBuilder& builder) {
  kr::HeaderBytes header{};
  std::copy_n(builder.bytes().begin(), header.size(), header.begin());
  return header;
}

tarvik::HeaderTextSettings Settings2026(bool us = false) {
  tarvik::HeaderTextSettings settings;
  settings.current_year = 2026;
  settings.style.us_format = us;
  return settings;
}

std::string Line(const std::string& text, const std::string& prefix) {
  std::size_t at = text.find("\n" + prefix);
  if (at == std::string::npos) return "<missing " + prefix + ">";
  std::size_t end = text.find('\n', at + 1);
  return text.substr(at + 1, end - at - 1);
}

// The whole field dump and file information of two rich headers against an independent Python model
// of the texts (tests/tarvik/eventfiles/data/header_texts.py), which also builds the headers.
class HeaderTextGolden : public ::testing::Test {
 protected:
  void SetUp() override {
    std::string command = std::string("python3 '") + KR_EVENTFILES_TEST_DATA + "/header_texts.py' '" +
                          dir_.path().string() + "' 2>&1";
    int status = 0;
    std::string output = kr_test::RunAndCapture(command, &status);
    ASSERT_EQ(status, 0) << output;
  }
  kr::HeaderBytes Header(const std::string& name) {
    std::string bytes = kr_test::ReadBytes(dir_ / name);
    kr::HeaderBytes header{};
    EXPECT_EQ(bytes.size(), header.size());
    std::copy_n(bytes.begin(), std::min(bytes.size(), header.size()), header.begin());
    return header;
  }
  std::string Expected(const std::string& name) { return kr_test::ReadBytes(dir_ / name); }

  kr_test::ScratchDir dir_;
};

TEST_F(HeaderTextGolden, SLayoutTextsMatchTheModel) {
  kr::HeaderBytes header = Header("s_header.bin");
  EXPECT_EQ(tarvik::FieldDump(header), Expected("s_dump.txt"));
  EXPECT_EQ(tarvik::FileInformation(header, Settings2026()), Expected("s_info.txt"));
}

TEST_F(HeaderTextGolden, XLayoutTextsMatchTheModel) {
  kr::HeaderBytes header = Header("x_header.bin");
  EXPECT_EQ(tarvik::FieldDump(header), Expected("x_dump.txt"));
  EXPECT_EQ(tarvik::FileInformation(header, Settings2026()), Expected("x_info.txt"));
}

TEST(FieldDump, BothLayoutsGiveTheSameLinesInTheSamePlaces) {
  std::string s = tarvik::FieldDump(HeaderOf(EventFileBuilder::SkrHeader(10)));
  std::string x = tarvik::FieldDump(HeaderOf(EventFileBuilder::XkrHeader(10)));
  EXPECT_EQ(kr_test::CountLines(s), kr_test::CountLines(x));
  EXPECT_EQ(kr_test::CountLines(s), 140);
  // 1 overflow_flag + 1 no_gps_sats + 19 trigger group + 3 sensor group + 1 test_2nd_mem + 28 tail.
  std::size_t unused = 0;
  for (std::size_t at = s.find("unused\n"); at != std::string::npos; at = s.find("unused\n", at + 1))
    ++unused;
  EXPECT_EQ(unused, 53u);
  EXPECT_EQ(x.find("unused"), std::string::npos);
  EXPECT_TRUE(s.ends_with("\n\n\n\n\n"));  // last field line, then the four empty lines
}

TEST(FieldDump, DspSettingsAreTwoDigitsRunTogether) {
  EventFileBuilder skr = EventFileBuilder::SkrHeader(10);
  skr.U8(249, 0x35);
  kr::HeaderBytes header = HeaderOf(skr);
  EXPECT_EQ(Line(tarvik::FieldDump(header), "dsp_settings:"), "dsp_settings:\t35");
  EXPECT_EQ(Line(tarvik::FileInformation(header, Settings2026()), "DSP Settings:"), "DSP Settings:\t3 / 5");
}

TEST(FileInformation, BatteryVoltsAreRoundedHalfUp) {
  EventFileBuilder skr = EventFileBuilder::SkrHeader(10);
  skr.U16(54, 12345).U16(56, 12344);
  std::string info = tarvik::FileInformation(HeaderOf(skr), Settings2026());
  EXPECT_EQ(Line(info, "Main Battery:"), "Main Battery:\t12.35\tV");
  EXPECT_EQ(Line(info, "Backup Battery:"), "Backup Battery:\t12.34\tV");
}

TEST(FileInformation, SyncOkShowsYesOrNo) {
  EventFileBuilder xkr = EventFileBuilder::XkrHeader(10);
  EXPECT_EQ(Line(tarvik::FileInformation(HeaderOf(xkr), Settings2026()), "Sync. OK:"), "Sync. OK:\tNO");
  xkr.U8(32, 7);
  EXPECT_EQ(Line(tarvik::FileInformation(HeaderOf(xkr), Settings2026()), "Sync. OK:"), "Sync. OK:\tYES");
}

TEST(FileInformation, LayoutOnlyLinesAreLeftOutOfTheSLayout) {
  std::string s = tarvik::FileInformation(HeaderOf(EventFileBuilder::SkrHeader(10)), Settings2026());
  std::string x = tarvik::FileInformation(HeaderOf(EventFileBuilder::XkrHeader(10)), Settings2026());
  for (const char* x_only :
       {"Offset:  \t", "Sat at Sync:", "Gain Corr. X:", "LTA X:", "Massstorage:", "Sensor Type:"}) {
    EXPECT_EQ(s.find(x_only), std::string::npos) << x_only;
    EXPECT_NE(x.find(x_only), std::string::npos) << x_only;
  }
}

// The sync and trigger times move by the local correction during a download, and only then.
TEST(FileInformation, LocalTimeCorrectionDuringADownload) {
  EventFileBuilder xkr = EventFileBuilder::XkrHeader(10);
  xkr.BcdTime(26, 0, 30, 1, 1, 1, 26);    // sync 01.01.2026 01:30:00
  xkr.BcdTime(35, 15, 0, 12, 15, 3, 26);  // trigger 15.03.2026 12:00:15
  kr::HeaderBytes header = HeaderOf(xkr);
  kr::FixedClock clock(kr::DateTime{2026, 6, 1, 10, 0, 0, 0, 1});

  auto during = tarvik::MakeHeaderTextSettings(clock, false, /*download_in_progress=*/true, true, "-02");
  std::string shifted = tarvik::FileInformation(header, during);
  EXPECT_EQ(Line(shifted, "Sync. Time:"), "Sync. Time:\t31.12.2025 23:30:00");
  EXPECT_EQ(Line(shifted, "Trigger Time:"), "Trigger Time:\t15.03.2026 10:00:15");

  auto after = tarvik::MakeHeaderTextSettings(clock, false, /*download_in_progress=*/false, true, "-02");
  std::string plain = tarvik::FileInformation(header, after);
  EXPECT_EQ(Line(plain, "Sync. Time:"), "Sync. Time:\t01.01.2026 01:30:00");
  EXPECT_EQ(Line(plain, "Trigger Time:"), "Trigger Time:\t15.03.2026 12:00:15");

  auto switched_off =
      tarvik::MakeHeaderTextSettings(clock, false, true, /*local_time_correction=*/false, "-02");
  EXPECT_EQ(Line(tarvik::FileInformation(header, switched_off), "Sync. Time:"),
            "Sync. Time:\t01.01.2026 01:30:00");
}

TEST(FileInformation, LocalCorrectionValueText) {
  EXPECT_EQ(tarvik::LocalCorrectionHours("-02"), -2);
  EXPECT_EQ(tarvik::LocalCorrectionHours("+8"), 8);
  EXPECT_EQ(tarvik::LocalCorrectionHours("+12"), 12);
  EXPECT_EQ(tarvik::LocalCorrectionHours(" 05"), 5);
  EXPECT_EQ(tarvik::LocalCorrectionHours("-"), 0);
  EXPECT_EQ(tarvik::LocalCorrectionHours(""), 0);
}

TEST(FileInformation, UsDatesAndDayOnlyLines) {
  EventFileBuilder skr = EventFileBuilder::SkrHeader(10);
  skr.BcdTime(45, 0, 30, 12, 24, 12, 25);     // trigger 24.12.2025 12:30:00
  skr.Bcd(210, 5).Bcd(211, 11).Bcd(212, 99);  // loss 05.11.1999 (window 1976..2075)
  tarvik::HeaderTextSettings us = Settings2026(true);
  us.style.am_designator = "";
  us.style.pm_designator = "";
  std::string info = tarvik::FileInformation(HeaderOf(skr), us);
  EXPECT_EQ(Line(info, "Trigger Time:"), "Trigger Time:\t12/24/2025 12:30:00 PM");
  EXPECT_EQ(Line(info, "Day of Loss:"), "Day of Loss:\t11/05/1999");
  EXPECT_EQ(Line(info, "Sync. Time:"), "Sync. Time:\t");  // no date stored
}

TEST(HeaderInformationFile, NameAndUtf16Content) {
  kr_test::ScratchDir dir;
  std::filesystem::path path = tarvik::HeaderInformationFilePath(dir.path(), 2, 123);
  EXPECT_EQ(path.filename().string(), "$hd02123.txt");
  EXPECT_EQ(tarvik::HeaderInformationFilePath(dir.path(), 12, 7).filename().string(), "$hd12007.txt");

  kr::HeaderBytes header = HeaderOf(EventFileBuilder::SkrHeader(10));
  ASSERT_TRUE(tarvik::WriteHeaderInformationFile(path, header, Settings2026()));
  EXPECT_EQ(kr_test::DecodeWithPython(path), tarvik::FileInformation(header, Settings2026()));
  EXPECT_FALSE(tarvik::WriteHeaderInformationFile(dir / "missing/folder.txt", header, Settings2026()));
}

TEST(EventKind, FromTheHeader) {
  auto kind = [](const char* model, std::size_t mode_offset, unsigned mode) {
    EventFileBuilder b;
    b.Text(64, model).U8(mode_offset, mode);
    return tarvik::EventKindFromHeader(HeaderOf(b));
  };
  EXPECT_EQ(kind("CKR4100", 250, 9), 1);  // a CKR file in an unknown mode stays skr
  EXPECT_EQ(kind("CKR4100", 250, 0), 2);
  EXPECT_EQ(kind("CKR4100", 250, 5), 2);
  for (unsigned mode : {1u, 2u, 3u, 4u, 6u, 7u}) EXPECT_EQ(kind("CKR4100", 250, mode), 4) << mode;
  EXPECT_EQ(kind("CKR4100", 4, 3), 2);  // byte 4 is not the mode of S-layout files
  EXPECT_EQ(kind("XKR4100", 4, 0), 3);
  EXPECT_EQ(kind("XKR4100", 4, 5), 3);
  EXPECT_EQ(kind("XKR4100", 4, 8), 5);
  EXPECT_EQ(kind("XKR4100", 250, 8), 3);
  EXPECT_EQ(kind("SKR4100", 250, 3), 1);
  EXPECT_EQ(kind("MKR4100", 250, 0), 1);
  EXPECT_EQ(tarvik::KindExtension(4), "vmx");
  EXPECT_EQ(tarvik::KindExtension(0), "unknown");
  EXPECT_EQ(tarvik::KindExtension(6), "unknown");
}

TEST(EventKind, ExportExtensionCodes) {
  EXPECT_EQ(tarvik::ExportExtensionCode("/data/a.SKR"), 1);
  EXPECT_EQ(tarvik::ExportExtensionCode("/data/a.vkr"), 2);
  EXPECT_EQ(tarvik::ExportExtensionCode("a.Xkr"), 3);
  EXPECT_EQ(tarvik::ExportExtensionCode("a.vmx"), 4);
  EXPECT_EQ(tarvik::ExportExtensionCode("a.bkr"), 5);
  EXPECT_EQ(tarvik::ExportExtensionCode("a.16"), 6);
  EXPECT_EQ(tarvik::ExportExtensionCode("a.24"), 7);
  EXPECT_EQ(tarvik::ExportExtensionCode("a.skr.xkr"), 3);
  EXPECT_EQ(tarvik::ExportExtensionCode("a.skrx"), 1);  // first three characters
  EXPECT_EQ(tarvik::ExportExtensionCode("a.160"), 0);
  EXPECT_EQ(tarvik::ExportExtensionCode("a.txt"), 0);
  EXPECT_EQ(tarvik::ExportExtensionCode("/data.xkr/event"), 0);  // a dotted folder is no extension
}

}  // namespace
