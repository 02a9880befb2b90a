#include "tarvik/eventfiles/seismic_export.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include "../../support/event_file_builder.h"
#include "eventfiles_test_support.h"
#include "seismic_test_support.h"
#include "tarvik/eventfiles/event_traces.h"
#include "tarvik/eventfiles/mseed_writer.h"
#include "tarvik/eventfiles/sac_writer.h"
#include "tarvik/eventfiles/seed_naming.h"
#include "tarvik/resources/tarvik_strings.h"

namespace {

using kr_test::EventFileBuilder;

// 2026-03-15 23:59:58 plus int_offset 50 of 250 Hz: the first sample lies at 23:59:58.2, 1.8 s before
// midnight (epoch microseconds from a calendar program).
constexpr std::int64_t kStart = 1773619198200000;
constexpr std::int64_t kMidnight = 1773619200000000;
constexpr int kRate = 250;

struct Samples {
  std::vector<std::int32_t> x, y, z;
};

// Channel X spans the whole 24-bit range with large jumps, Y is a millivolt channel whose raw values
// are corrected by ch_offset_y - kbftm_y = 100 - 30, Z a slow ramp.
Samples MakeSamples(std::size_t count) {
  Samples s;
  std::uint32_t state = 12345;
  for (std::size_t i = 0; i < count; ++i) {
    state = state * 1103515245u + 12345u;
    std::int32_t x = static_cast<std::int32_t>((state >> 8) & 0xFFFFFF) - 0x800000;
    if (i % 97 == 0) x = (i % 2 == 0) ? 8388607 : -8388608;
    s.x.push_back(x);
    s.y.push_back(static_cast<std::int32_t>(i % 50) - 25);
    s.z.push_back(static_cast<std::int32_t>(i) * 3 - 1000);
  }
  return s;
}

EventFileBuilder XkrEvent(const Samples& s) {
  EventFileBuilder b = EventFileBuilder::XkrHeader(static_cast<std::uint32_t>(s.x.size()));
  b.U16(54, kRate).U16(33, 50).BcdTime(35, 58, 59, 23, 15, 3, 26).U8(41, 1);
  b.Text(71, "a-7z9").Text(92, " mm/s").Text(97, "   mV").Text(102, " mm/s");
  b.Text(107, "L").Text(110, "T").Text(113, "V");
  b.I24(188, 100).I24(250, 30);  // Y: ch_offset_y and kbftm_y
  for (std::size_t i = 0; i < s.x.size(); ++i) b.Frame24(s.x[i], s.y[i], s.z[i]);
  return b;
}

class SeismicExportTest : public ::testing::Test {
 protected:
  tarvik::EventTraces Load(const std::filesystem::path& path) {
    tarvik::EventTracesResult loaded = tarvik::LoadEventTraces(path, 2026, strings_);
    EXPECT_TRUE(loaded.traces.has_value()) << loaded.error;
    return loaded.traces.value_or(tarvik::EventTraces{});
  }

  kr::StringTable strings_ = tarvik::MakeTarvikStringTable();
  kr_test::ScratchDir dir_;
};

std::vector<std::int32_t> Plus(std::vector<std::int32_t> values, std::int32_t offset) {
  for (auto& v : values) v += offset;
  return values;
}

TEST_F(SeismicExportTest, MiniSeedCountsReadBackExactly) {
  Samples s = MakeSamples(1000);
  XkrEvent(s).WriteTo(dir_ / "e.xkr");
  tarvik::EventTraces traces = Load(dir_ / "e.xkr");
  tarvik::SeedNaming naming = tarvik::DefaultSeedNaming(traces);
  EXPECT_EQ(naming.station, "A7Z9");
  EXPECT_EQ(naming.channels[0], "DH1");  // 250 Hz geophone, "L" is no compass direction
  EXPECT_EQ(naming.channels[1], "DY2");  // a millivolt input: non-specific instrument
  EXPECT_EQ(naming.channels[2], "DHZ");  // "V" is vertical
  ASSERT_EQ(tarvik::MiniSeedWriter(traces, naming, false, strings_).WriteFile(dir_ / "e.mseed"), "");

  EXPECT_EQ(kr_test::FirstRecordEncoding(dir_ / "e.mseed"), DE_STEIM2);
  auto read = kr_test::ReadMiniSeed(dir_ / "e.mseed");
  ASSERT_EQ(read.size(), 3u);
  const std::vector<std::int32_t> expected[3] = {s.x, Plus(s.y, 70), s.z};
  const char* codes[3] = {"DH1", "DY2", "DHZ"};
  for (int c = 0; c < 3; ++c) {
    const kr_test::MiniSeedTrace& t = read[codes[c]];
    EXPECT_EQ(t.segments, 1) << codes[c];
    EXPECT_EQ(t.network, "XX");
    EXPECT_EQ(t.station, "A7Z9");
    EXPECT_EQ(t.location, "");
    EXPECT_EQ(t.start, kStart);
    EXPECT_EQ(t.rate, 250.0);
    EXPECT_EQ(t.counts, expected[c]) << codes[c];
  }
  EXPECT_FALSE(std::filesystem::exists(dir_ / "e.mseed.part"));
}

TEST_F(SeismicExportTest, MiniSeedPhysicalValuesAreFloat64) {
  Samples s = MakeSamples(300);
  EventFileBuilder b = XkrEvent(s);
  b.U16(83, 5).U8(85, 0xFC);  // X: 5 x 10^-4 per count
  b.WriteTo(dir_ / "e.xkr");
  tarvik::EventTraces traces = Load(dir_ / "e.xkr");
  tarvik::SeedNaming naming = tarvik::DefaultSeedNaming(traces);
  ASSERT_EQ(tarvik::MiniSeedWriter(traces, naming, true, strings_).WriteFile(dir_ / "p.mseed"), "");
  EXPECT_EQ(kr_test::FirstRecordEncoding(dir_ / "p.mseed"), DE_FLOAT64);
  auto read = kr_test::ReadMiniSeed(dir_ / "p.mseed");
  ASSERT_EQ(read["DH1"].values.size(), 300u);
  for (std::size_t i = 0; i < 300; ++i) {
    EXPECT_NEAR(read["DH1"].values[i], s.x[i] * 0.0005, 1e-9) << i;
    EXPECT_NEAR(read["DY2"].values[i], (s.y[i] + 70) * 0.001, 1e-12) << i;
  }
  EXPECT_EQ(read["DHZ"].start, kStart);
}

TEST_F(SeismicExportTest, SdsDayFilesSplitAtMidnight) {
  Samples s = MakeSamples(1000);  // 4 s from 23:59:58.2: 450 samples before midnight, 550 after
  XkrEvent(s).WriteTo(dir_ / "e.xkr");
  tarvik::EventTraces traces = Load(dir_ / "e.xkr");
  tarvik::SeedNaming naming = tarvik::DefaultSeedNaming(traces);
  naming.network = "KR";
  naming.location = "00";
  std::filesystem::path root = dir_ / "sds";
  std::vector<std::filesystem::path> written;
  ASSERT_EQ(tarvik::MiniSeedWriter(traces, naming, false, strings_).WriteSds(root, written), "");
  EXPECT_EQ(written.size(), 6u);

  std::filesystem::path day74 = root / "2026/KR/A7Z9/DHZ.D/KR.A7Z9.00.DHZ.D.2026.074";
  std::filesystem::path day75 = root / "2026/KR/A7Z9/DHZ.D/KR.A7Z9.00.DHZ.D.2026.075";
  ASSERT_TRUE(std::filesystem::exists(day74));
  ASSERT_TRUE(std::filesystem::exists(day75));
  auto before = kr_test::ReadMiniSeed(day74)["DHZ"];
  auto after = kr_test::ReadMiniSeed(day75)["DHZ"];
  EXPECT_EQ(before.start, kStart);
  EXPECT_EQ(after.start, kMidnight);
  EXPECT_EQ(before.counts, std::vector<std::int32_t>(s.z.begin(), s.z.begin() + 450));
  EXPECT_EQ(after.counts, std::vector<std::int32_t>(s.z.begin() + 450, s.z.end()));
  EXPECT_TRUE(std::filesystem::exists(root / "2026/KR/A7Z9/DH1.D/KR.A7Z9.00.DH1.D.2026.075"));

  // A day file collects the day's records: a second event is appended, not written over.
  auto size = std::filesystem::file_size(day75);
  written.clear();
  ASSERT_EQ(tarvik::MiniSeedWriter(traces, naming, false, strings_).WriteSds(root, written), "");
  EXPECT_EQ(std::filesystem::file_size(day75), 2 * size);
}

TEST_F(SeismicExportTest, Mseed2sacConvertsTheCountsUnchanged) {
  Samples s = MakeSamples(700);
  XkrEvent(s).WriteTo(dir_ / "e.xkr");
  tarvik::EventTraces traces = Load(dir_ / "e.xkr");
  tarvik::SeedNaming naming = tarvik::DefaultSeedNaming(traces);
  ASSERT_EQ(tarvik::MiniSeedWriter(traces, naming, false, strings_).WriteFile(dir_ / "e.mseed"), "");
  std::filesystem::path out = dir_ / "m2s";
  std::filesystem::create_directories(out);
  std::string command = "cd '" + out.string() + "' && mseed2sac -f 3 ../e.mseed >/dev/null 2>&1";
  ASSERT_EQ(std::system(command.c_str()), 0);

  std::vector<std::filesystem::path> files;
  for (const auto& entry : std::filesystem::directory_iterator(out)) files.push_back(entry.path());
  ASSERT_EQ(files.size(), 3u);
  for (const auto& file : files) {
    kr_test::SacFile sac = kr_test::SacFile::Read(file);
    ASSERT_TRUE(sac.ok);
    std::string channel = sac.K(160);
    const std::vector<std::int32_t>& expected = channel == "DH1"   ? s.x
                                                : channel == "DHZ" ? s.z
                                                                   : Plus(s.y, 70);
    EXPECT_EQ(sac.I(9), 700);
    EXPECT_FLOAT_EQ(sac.F(0), 0.004F);
    EXPECT_EQ(sac.BeginMicroseconds(), kStart);
    std::vector<float> data = sac.Data();
    ASSERT_EQ(data.size(), 700u);
    for (std::size_t i = 0; i < 700; ++i) EXPECT_EQ(data[i], static_cast<float>(expected[i])) << channel << i;
  }
}

// mseed2sac, a second SAC writer, turns the float64 miniSEED of the event into the same SAC file as ours.
TEST_F(SeismicExportTest, SacFileMatchesMseed2sacOfThePhysicalMiniSeed) {
  Samples s = MakeSamples(400);
  XkrEvent(s).WriteTo(dir_ / "e.xkr");
  tarvik::EventTraces traces = Load(dir_ / "e.xkr");
  tarvik::SeedNaming naming = tarvik::DefaultSeedNaming(traces);
  ASSERT_EQ(tarvik::MiniSeedWriter(traces, naming, true, strings_).WriteFile(dir_ / "p.mseed"), "");
  std::filesystem::path out = dir_ / "m2s";
  std::filesystem::create_directories(out);
  std::string command = "cd '" + out.string() + "' && mseed2sac -f 3 ../p.mseed >/dev/null 2>&1";
  ASSERT_EQ(std::system(command.c_str()), 0);

  std::vector<double> values = traces.channels[0].Physical();
  tarvik::SacTrace trace{traces.start_us, kRate, values, "XX", "A7Z9", "", "DH1", "XKR4100", "mm/s", {}, {}};
  ASSERT_EQ(tarvik::WriteSacFile(dir_ / "ours.sac", trace, strings_), "");
  kr_test::SacFile ours = kr_test::SacFile::Read(dir_ / "ours.sac");
  kr_test::SacFile theirs = kr_test::SacFile::Read(out / "XX.A7Z9..DH1.D.2026.074.235958.SAC");
  ASSERT_TRUE(ours.ok);
  ASSERT_TRUE(theirs.ok);
  EXPECT_EQ(ours.Data(), theirs.Data());
  EXPECT_EQ(ours.BeginMicroseconds(), theirs.BeginMicroseconds());
  for (std::size_t f : {0u, 5u, 6u}) EXPECT_FLOAT_EQ(ours.F(f), theirs.F(f)) << "float " << f;
  for (std::size_t i : {6u, 9u, 15u, 35u}) EXPECT_EQ(ours.I(i), theirs.I(i)) << "int " << i;
  for (std::size_t k : {0u, 160u, 168u}) EXPECT_EQ(ours.K(k), theirs.K(k)) << "name " << k;
}

TEST_F(SeismicExportTest, SacFileHeaderAndValues) {
  Samples s = MakeSamples(500);
  EventFileBuilder b = XkrEvent(s);
  b.Text(102, "  m/s").I24(44, 523456).I24(47, -12345);  // Z in m/s; position 52.3456 N, 1.2345 W
  b.WriteTo(dir_ / "e.xkr");
  tarvik::EventTraces traces = Load(dir_ / "e.xkr");
  std::vector<double> values = traces.channels[2].Physical();
  tarvik::SacTrace trace{kStart, kRate,     values, "XX",    "A7Z9", "00",
                         "DHZ",  "XKR4100", "m/s",  52.3456, -1.2345};
  ASSERT_EQ(tarvik::WriteSacFile(dir_ / "z.sac", trace, strings_), "");

  kr_test::SacFile sac = kr_test::SacFile::Read(dir_ / "z.sac");
  ASSERT_TRUE(sac.ok);
  EXPECT_EQ(sac.bytes.size(), 632u + 4 * 500);
  EXPECT_FLOAT_EQ(sac.F(0), 0.004F);                     // delta
  EXPECT_FLOAT_EQ(sac.F(5), 0.0F);                       // b: the reference is the start, 23:59:58.200
  EXPECT_FLOAT_EQ(sac.F(6), 499 * 0.004F);               // e
  EXPECT_FLOAT_EQ(sac.F(1), -1000 * 0.001F);             // depmin: first ramp value
  EXPECT_FLOAT_EQ(sac.F(2), (499 * 3 - 1000) * 0.001F);  // depmax
  EXPECT_FLOAT_EQ(sac.F(31), 52.3456F);
  EXPECT_FLOAT_EQ(sac.F(32), -1.2345F);
  EXPECT_EQ(sac.I(0), 2026);
  EXPECT_EQ(sac.I(1), 74);
  EXPECT_EQ(sac.I(2), 23);
  EXPECT_EQ(sac.I(3), 59);
  EXPECT_EQ(sac.I(4), 58);
  EXPECT_EQ(sac.I(5), 200);
  EXPECT_EQ(sac.BeginMicroseconds(), kStart);
  EXPECT_EQ(sac.I(6), 6);    // nvhdr
  EXPECT_EQ(sac.I(9), 500);  // npts
  EXPECT_EQ(sac.I(15), 1);   // iftype: time series
  EXPECT_EQ(sac.I(16), 7);   // idep: velocity
  EXPECT_EQ(sac.I(17), 9);   // iztype: begin time
  EXPECT_EQ(sac.I(35), 1);   // leven
  EXPECT_EQ(sac.K(0), "A7Z9");
  EXPECT_EQ(sac.K(24), "00");
  EXPECT_EQ(sac.K(160), "DHZ");
  EXPECT_EQ(sac.K(168), "XX");
  EXPECT_EQ(sac.K(184), "XKR4100");
  EXPECT_EQ(sac.K(8), "-12345");  // kevnm undefined
  std::vector<float> data = sac.Data();
  for (std::size_t i = 0; i < 500; ++i) EXPECT_FLOAT_EQ(data[i], static_cast<float>(s.z[i] * 0.001)) << i;
}

TEST_F(SeismicExportTest, SacDependentKindFollowsTheUnit) {
  EXPECT_EQ(tarvik::SacDependentKind("mm/s"), 7);
  EXPECT_EQ(tarvik::SacDependentKind("g"), 8);
  EXPECT_EQ(tarvik::SacDependentKind("mm/s2"), 8);
  EXPECT_EQ(tarvik::SacDependentKind("um"), 6);
  EXPECT_EQ(tarvik::SacDependentKind("mV"), 5);
}

TEST_F(SeismicExportTest, IntervalFilesAndBrokenHeadersAreRefused) {
  EventFileBuilder::XkrHeader(1).U8(4, 3).WriteTo(dir_ / "a.bkr");               // periodic XKR file
  EventFileBuilder::SkrHeader(1, "CKR4100").U8(250, 1).WriteTo(dir_ / "b.vmx");  // periodic CKR file
  EventFileBuilder::SkrHeader(1).U8(250, 3).WriteTo(dir_ / "c.skr");             // stamped blocks
  for (const char* name : {"a.bkr", "b.vmx", "c.skr"}) {
    tarvik::EventTracesResult r = tarvik::LoadEventTraces(dir_ / name, 2026, strings_);
    EXPECT_FALSE(r.traces.has_value()) << name;
    EXPECT_TRUE(r.interval_file) << name;
    EXPECT_NE(r.error.find("is an interval file"), std::string::npos) << r.error;
  }
  // No valid trigger date, no sampling rate, no whole frame.
  EventFileBuilder::SkrHeader(1).Frame16(1, 2, 3).WriteTo(dir_ / "d.skr");
  EXPECT_NE(tarvik::LoadEventTraces(dir_ / "d.skr", 2026, strings_).error.find("no valid event time"),
            std::string::npos);
  EventFileBuilder::SkrHeader(1)
      .U16(10, 0)
      .BcdTime(45, 0, 0, 12, 1, 2, 26)
      .Frame16(1, 2, 3)
      .WriteTo(dir_ / "e.skr");
  EXPECT_NE(tarvik::LoadEventTraces(dir_ / "e.skr", 2026, strings_).error.find("no sampling rate"),
            std::string::npos);
  EventFileBuilder::SkrHeader(1).BcdTime(45, 0, 0, 12, 1, 2, 26).Raw({1, 2, 3, 4, 5}).WriteTo(dir_ / "f.skr");
  EXPECT_NE(tarvik::LoadEventTraces(dir_ / "f.skr", 2026, strings_).error.find("holds no samples"),
            std::string::npos);
}

TEST_F(SeismicExportTest, SixteenBitFramesAndIncompleteLastFrame) {
  EventFileBuilder b = EventFileBuilder::SkrHeader(3);
  b.BcdTime(45, 5, 4, 3, 2, 1, 99).Frame16(-32768, 32767, 0).Frame16(1, -1, 2).Raw({9, 9, 9});
  b.WriteTo(dir_ / "a.skr");
  tarvik::EventTraces traces = Load(dir_ / "a.skr");
  EXPECT_EQ(traces.channels[0].counts, (std::vector<std::int32_t>{-32768, 1}));
  EXPECT_EQ(traces.channels[1].counts, (std::vector<std::int32_t>{32767, -1}));
  EXPECT_EQ(traces.start_us, 915246245000000);  // 1999-01-02 03:04:05 (year 99 with 2026 is 1999)
}

TEST_F(SeismicExportTest, ChannelCodesFollowRateAndSensor) {
  EXPECT_EQ(tarvik::BandCode(100, 'H'), 'E');
  EXPECT_EQ(tarvik::BandCode(80, 'H'), 'E');
  EXPECT_EQ(tarvik::BandCode(79, 'H'), 'S');
  EXPECT_EQ(tarvik::BandCode(1000, 'H'), 'G');
  EXPECT_EQ(tarvik::BandCode(250, 'N'), 'C');
  EXPECT_EQ(tarvik::BandCode(200, 'N'), 'H');
  EXPECT_EQ(tarvik::BandCode(2000, 'N'), 'F');
  EXPECT_EQ(tarvik::BandCode(20, 'N'), 'B');
  EXPECT_EQ(tarvik::BandCode(5, 'H'), 'M');
  EXPECT_EQ(tarvik::BandCode(1, 'H'), 'L');
  EXPECT_EQ(tarvik::InstrumentCode(" mm/s"), 'H');
  EXPECT_EQ(tarvik::InstrumentCode("g"), 'N');
  EXPECT_EQ(tarvik::InstrumentCode("mV"), 'Y');
  EXPECT_EQ(tarvik::OrientationCode("n", 0), 'N');
  EXPECT_EQ(tarvik::OrientationCode(" E", 1), 'E');
  EXPECT_EQ(tarvik::OrientationCode("Z", 0), 'Z');
  EXPECT_EQ(tarvik::OrientationCode("", 2), '3');

  tarvik::EventTraces traces;
  traces.recorder_serial = "";
  EXPECT_EQ(tarvik::DefaultSeedNaming(traces).station, "KR");
  traces.recorder_serial = "x/../12345";
  EXPECT_EQ(tarvik::DefaultSeedNaming(traces).station, "X1234");
}

TEST_F(SeismicExportTest, NamesAreValidated) {
  tarvik::SeedNaming naming;
  naming.station = "ST1";
  naming.channels = {"EHZ", "EHN", "EHE"};
  EXPECT_EQ(tarvik::ValidateSeedNaming(naming, strings_), "");
  naming.network = "ABC";
  EXPECT_NE(tarvik::ValidateSeedNaming(naming, strings_).find("network code \"ABC\""), std::string::npos);
  naming.network = "X";
  naming.location = "a/";
  EXPECT_NE(tarvik::ValidateSeedNaming(naming, strings_).find("location"), std::string::npos);
  naming.location = "";
  naming.station = "";
  EXPECT_NE(tarvik::ValidateSeedNaming(naming, strings_).find("station"), std::string::npos);

  EXPECT_EQ(tarvik::ParseChannelCodes("hhe, hhn,HHZ"), (std::array<std::string, 3>{"HHE", "HHN", "HHZ"}));
  EXPECT_FALSE(tarvik::ParseChannelCodes("HHE,HHN").has_value());
  EXPECT_FALSE(tarvik::ParseChannelCodes("A,B,C,D").has_value());
}

TEST_F(SeismicExportTest, ExportAfterDownloadWritesNextToTheEventFile) {
  Samples s = MakeSamples(100);
  XkrEvent(s).WriteTo(dir_ / "02017.xkr");
  tarvik::MiniSeedExportOptions options;
  // Switched off: nothing happens.
  EXPECT_EQ(tarvik::ExportMiniSeed(dir_ / "02017.xkr", options, strings_, 2026).status,
            tarvik::MiniSeedExportStatus::kNotWaveform);
  EXPECT_FALSE(std::filesystem::exists(dir_ / "02017.mseed"));

  options.MiniSeed = 1;
  options.MiniSeedNetwork = "kr";
  tarvik::MiniSeedExportResult result = tarvik::ExportMiniSeed(dir_ / "02017.xkr", options, strings_, 2026);
  ASSERT_EQ(result.status, tarvik::MiniSeedExportStatus::kWritten) << result.error;
  EXPECT_EQ(result.path, dir_ / "02017.mseed");
  auto read = kr_test::ReadMiniSeed(result.path);
  EXPECT_EQ(read["DHZ"].network, "KR");
  EXPECT_EQ(read["DHZ"].counts, s.z);

  EventFileBuilder::XkrHeader(1).U8(4, 3).WriteTo(dir_ / "02018.bkr");
  EXPECT_EQ(tarvik::ExportMiniSeed(dir_ / "02018.bkr", options, strings_, 2026).status,
            tarvik::MiniSeedExportStatus::kNotWaveform);
  EXPECT_EQ(tarvik::ExportMiniSeed(dir_ / "missing.xkr", options, strings_, 2026).status,
            tarvik::MiniSeedExportStatus::kFailed);
  options.MiniSeedNetwork = "TOO";
  result = tarvik::ExportMiniSeed(dir_ / "02017.xkr", options, strings_, 2026);
  EXPECT_EQ(result.status, tarvik::MiniSeedExportStatus::kFailed);
  EXPECT_NE(result.error.find("network"), std::string::npos);
}

}  // namespace
