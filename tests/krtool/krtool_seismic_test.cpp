#include <gtest/gtest.h>

#include <cmath>
#include <numbers>
#include <sstream>
#include <string>
#include <vector>

#include "../support/event_file_builder.h"
#include "../tarvik/eventfiles/eventfiles_test_support.h"
#include "../tarvik/eventfiles/seismic_test_support.h"
#include "krtool/krtool_app.h"

namespace {

using kr_test::EventFileBuilder;

struct Outcome {
  int status;
  std::string out;
  std::string err;
};

// A 1000 Hz skr event in mm/s (1 count = 0.001 mm/s) starting 2026-03-15 12:00:30.2: X a 25 Hz burst
// of 7 mm/s, Y a 10 Hz burst of 1 mm/s, Z a 62.5 Hz burst of 13 mm/s, each three periods after 100
// quiet samples. The crests and zero crossings fall on samples.
EventFileBuilder BurstEvent() {
  const std::size_t frames = 600;
  EventFileBuilder b = EventFileBuilder::SkrHeader(frames);
  b.U16(10, 1000).U16(43, 200).BcdTime(45, 30, 0, 12, 15, 3, 26).Text(71, "S0042");
  for (std::size_t offset : {112u, 117u, 122u}) b.Text(offset, " mm/s");
  auto burst = [](int i, double frequency, double amplitude) {
    int n = i - 100;
    if (n < 0 || n >= std::lround(3 * 1000 / frequency)) return 0;
    return static_cast<int>(
        std::lround(amplitude * 1000 * std::sin(2 * std::numbers::pi * frequency * n / 1000)));
  };
  for (int i = 0; i < static_cast<int>(frames); ++i)
    b.Frame16(burst(i, 25, 7), burst(i, 10, 1), burst(i, 62.5, 13));
  return b;
}

class KrtoolSeismicTest : public ::testing::Test {
 protected:
  Outcome Krtool(std::vector<std::string> args) {
    std::ostringstream out;
    std::ostringstream err;
    int status = krtool::RunKrtool(args, out, err, clock_);
    return {status, out.str(), err.str()};
  }
  std::string Path(const std::string& name) { return (dir_ / name).string(); }

  kr_test::ScratchDir dir_;
  kr::FixedClock clock_{kr::DateTime{2026, 3, 15, 9, 0, 0, 0, 0}};
};

TEST_F(KrtoolSeismicTest, MseedWithNamesFromTheCommandLine) {
  BurstEvent().WriteTo(dir_ / "a.skr");
  Outcome run = Krtool({"mseed", Path("a.skr"), Path("a.mseed"), "--network", "kr", "--station", "quarr",
                        "--location", "10", "--channels", "HHE,HHN,HHZ"});
  EXPECT_EQ(run.status, 0) << run.err;
  EXPECT_EQ(run.out,
            "KR.QUARR.10.HHE  2026-03-15T12:00:30.200000Z  1000 Hz  600 samples\n"
            "KR.QUARR.10.HHN  2026-03-15T12:00:30.200000Z  1000 Hz  600 samples\n"
            "KR.QUARR.10.HHZ  2026-03-15T12:00:30.200000Z  1000 Hz  600 samples\n"
            "Written: " +
                Path("a.mseed") + "\n");
  auto read = kr_test::ReadMiniSeed(dir_ / "a.mseed");
  ASSERT_EQ(read.size(), 3u);
  ASSERT_EQ(read["HHE"].counts.size(), 600u);
  EXPECT_EQ(read["HHZ"].station, "QUARR");
  EXPECT_EQ(read["HHZ"].location, "10");
  EXPECT_EQ(read["HHZ"].start, 1773576030200000);
  EXPECT_EQ(read["HHE"].counts[120], 0);     // a zero crossing of the 25 Hz wave
  EXPECT_EQ(read["HHE"].counts[110], 7000);  // its crest

  // Defaults: the recorder's serial number and the 1000 Hz geophone codes; unnamed channels by position.
  Outcome plain = Krtool({"mseed", Path("a.skr"), Path("b.mseed"), "--physical"});
  EXPECT_EQ(plain.status, 0) << plain.err;
  EXPECT_TRUE(plain.out.starts_with("XX.S0042..GH1  ")) << plain.out;
  std::vector<double> physical = kr_test::ReadMiniSeed(dir_ / "b.mseed")["GH3"].values;
  ASSERT_EQ(physical.size(), 600u);
  EXPECT_NEAR(physical[104], 13.0, 1e-12);

  // A recorder clock one hour ahead of UTC (set from a PC on Central European Time).
  Outcome shifted = Krtool({"mseed", Path("a.skr"), Path("c.mseed"), "--utc-offset", "+1"});
  EXPECT_EQ(shifted.status, 0) << shifted.err;
  EXPECT_EQ(kr_test::ReadMiniSeed(dir_ / "c.mseed")["GH1"].start, 1773576030200000 - 3600000000LL);
  Outcome west = Krtool({"sac", Path("a.skr"), Path("west"), "--utc-offset", "-5.5"});
  EXPECT_EQ(west.status, 0) << west.err;
  EXPECT_TRUE(std::filesystem::exists(dir_ / "west/XX.S0042..GH1.2026.074.173030.SAC"));
  Outcome bad = Krtool({"mseed", Path("a.skr"), Path("d.mseed"), "--utc-offset", "15"});
  EXPECT_EQ(bad.status, 2);
  EXPECT_EQ(bad.err, "Invalid UTC offset \"15\": hours between -14 and 14, for example +1 or -5.5.\n");
  EXPECT_FALSE(std::filesystem::exists(dir_ / "d.mseed"));

  Outcome sds = Krtool({"mseed", Path("a.skr"), "--sds", Path("sds")});
  EXPECT_EQ(sds.status, 0) << sds.err;
  EXPECT_TRUE(std::filesystem::exists(dir_ / "sds/2026/XX/S0042/GH3.D/XX.S0042..GH3.D.2026.074"));
}

TEST_F(KrtoolSeismicTest, MseedRefusesWhatItCannotWrite) {
  EventFileBuilder::XkrHeader(1).U8(4, 3).WriteTo(dir_ / "p.bkr");
  Outcome interval = Krtool({"mseed", Path("p.bkr"), Path("p.mseed")});
  EXPECT_EQ(interval.status, 1);
  EXPECT_EQ(interval.err,
            "\"" + Path("p.bkr") +
                "\" is an interval file (bkr): it holds periodic records, not a waveform, and cannot "
                "be exported.\n");
  EXPECT_FALSE(std::filesystem::exists(dir_ / "p.mseed"));

  BurstEvent().WriteTo(dir_ / "a.skr");
  Outcome network = Krtool({"mseed", Path("a.skr"), Path("a.mseed"), "--network", "K-R"});
  EXPECT_EQ(network.status, 2);
  EXPECT_EQ(network.err, "Invalid network code \"K-R\": 1 or 2 letters or digits.\n");
  Outcome channels = Krtool({"mseed", Path("a.skr"), Path("a.mseed"), "--channels", "HHZ,HHN"});
  EXPECT_EQ(channels.status, 2);
  EXPECT_EQ(Krtool({"mseed", Path("a.skr")}).status, 2);  // neither OUT nor --sds
  EXPECT_EQ(Krtool({"mseed", Path("a.skr"), Path("a.mseed"), "--station"}).err,
            "Option \"--station\" needs a value.\n");
  EXPECT_EQ(Krtool({"mseed", Path("a.skr"), Path("a.mseed"), "--steim1"}).err,
            "Unknown option \"--steim1\".\n");
  EXPECT_FALSE(std::filesystem::exists(dir_ / "a.mseed"));
  auto size = std::filesystem::file_size(dir_ / "a.skr");
  Outcome same = Krtool({"mseed", Path("a.skr"), dir_.path().string() + "/./a.skr"});
  EXPECT_EQ(same.status, 1);
  EXPECT_EQ(same.err, "\"" + dir_.path().string() +
                          "/./a.skr\" is the event file itself; choose another output file.\n");
  EXPECT_EQ(std::filesystem::file_size(dir_ / "a.skr"), size);
  Outcome folder = Krtool({"mseed", Path("a.skr"), dir_.path().string()});
  EXPECT_EQ(folder.status, 1);
  EXPECT_TRUE(folder.err.starts_with("Cannot write")) << folder.err;
}

TEST_F(KrtoolSeismicTest, SacWritesOneFilePerChannel) {
  BurstEvent().WriteTo(dir_ / "a.skr");
  Outcome run = Krtool({"sac", Path("a.skr"), Path("out/sac")});
  EXPECT_EQ(run.status, 0) << run.err;
  std::filesystem::path x = dir_ / "out/sac/XX.S0042..GH1.2026.074.120030.SAC";
  EXPECT_NE(run.out.find("Written: " + x.string() + "\n"), std::string::npos) << run.out;
  kr_test::SacFile sac = kr_test::SacFile::Read(x);
  ASSERT_TRUE(sac.ok);
  EXPECT_EQ(sac.I(9), 600);
  EXPECT_EQ(sac.I(16), 7);  // velocity
  EXPECT_EQ(sac.K(160), "GH1");
  EXPECT_EQ(sac.BeginMicroseconds(), 1773576030200000);
  std::vector<float> data = sac.Data();
  ASSERT_EQ(data.size(), 600u);
  EXPECT_FLOAT_EQ(data[110], 7.0F);
  EXPECT_FLOAT_EQ(data[130], -7.0F);
  EXPECT_EQ(Krtool({"sac", Path("a.skr")}).status, 2);
}

TEST_F(KrtoolSeismicTest, AssessTextAndVerdicts) {
  BurstEvent().WriteTo(dir_ / "a.skr");
  Outcome line2 = Krtool({"assess", Path("a.skr"), "--line", "2"});
  EXPECT_EQ(line2.status, 0) << line2.err;
  // Line 2 by hand: 25 Hz -> 5 + 10 x 15/40 = 8.75; 10 Hz -> 5; 62.5 Hz -> 15 + 5 x 12.5/50 = 16.25.
  EXPECT_EQ(line2.out,
            "Short-term vibration at the foundation, DIN 4150-3 table 1, line 2: dwellings and buildings of "
            "similar use\n"
            "Start time: 2026-03-15T12:00:30.200000Z (the recorder's clock)\n"
            "Channel\tPeak [mm/s]\tTime [s]\tFrequency [Hz]\tGuideline [mm/s]\tRatio\tVerdict\n"
            "X\t7.000\t0.110\t25.0\t8.75\t0.80\tbelow the guideline value\n"
            "Y\t1.000\t0.125\t10.0\t5.00\t0.20\tbelow the guideline value\n"
            "Z\t13.000\t0.104\t62.5\t16.25\t0.80\tbelow the guideline value\n"
            "Result: below the guideline value (highest ratio 0.80, channel X)\n");

  // The default is the strictest line: 25 Hz -> 3 + 5 x 15/40 = 4.875, 7 / 4.875 = 1.44.
  Outcome line3 = Krtool({"assess", Path("a.skr")});
  EXPECT_EQ(line3.status, 3);
  EXPECT_NE(line3.out.find("X\t7.000\t0.110\t25.0\t4.88\t1.44\tEXCEEDS the guideline value\n"),
            std::string::npos)
      << line3.out;
  EXPECT_NE(line3.out.find("Result: EXCEEDS the guideline value (highest ratio 1.53, channel Z)\n"),
            std::string::npos)
      << line3.out;

  Outcome json = Krtool({"assess", Path("a.skr"), "--line", "1", "--json"});
  EXPECT_EQ(json.status, 0);
  EXPECT_NE(json.out.find("\"name\": \"X\", \"unit\": \"mm/s\", \"velocity\": true, \"peak_mm_s\": 7.000000, "
                          "\"peak_time_s\": 0.110000, \"peak_time\": \"2026-03-15T12:00:30.310000Z\", "
                          "\"frequency_hz\": 25.000, \"guideline_mm_s\": 27.5000, \"ratio\": 0.2545, "
                          "\"verdict\": \"below\"}"),
            std::string::npos)
      << json.out;
  EXPECT_TRUE(json.out.ends_with("\"highest_ratio\": 0.3059,\n  \"verdict\": \"below\"\n}\n")) << json.out;

  EXPECT_EQ(Krtool({"assess", Path("a.skr"), "--line", "4"}).err, "Invalid line \"4\": 1, 2 or 3.\n");
}

TEST_F(KrtoolSeismicTest, AssessOtherUnitsOnlyWhenForced) {
  BurstEvent().Text(117, "    g").WriteTo(dir_ / "a.skr");
  Outcome refused = Krtool({"assess", Path("a.skr"), "--line", "2"});
  EXPECT_EQ(refused.status, 1);
  EXPECT_EQ(refused.out, "");
  EXPECT_EQ(
      refused.err,
      "The unit \"g\" of channel Y is not a velocity; \"--force\" assesses it anyway, as if the values were "
      "mm/s.\n");
  Outcome forced = Krtool({"assess", Path("a.skr"), "--line", "2", "--force"});
  EXPECT_EQ(forced.status, 0) << forced.err;
  EXPECT_NE(
      forced.out.find("Note: the unit \"g\" of channel Y is not a velocity; its values were assessed as mm/s "
                      "(--force).\n"),
      std::string::npos)
      << forced.out;
  Outcome json = Krtool({"assess", Path("a.skr"), "--json", "--force"});
  EXPECT_NE(json.out.find("\"forced\": true"), std::string::npos);
  EXPECT_NE(json.out.find("\"unit\": \"g\", \"velocity\": false"), std::string::npos);
}

TEST_F(KrtoolSeismicTest, HelpOfTheNewCommands) {
  for (const char* command : {"mseed", "sac", "assess"}) {
    Outcome run = Krtool({command, "--help"});
    EXPECT_EQ(run.status, 0) << command;
    EXPECT_TRUE(run.out.starts_with(std::string("Usage: krtool ") + command)) << run.out;
  }
}

}  // namespace
