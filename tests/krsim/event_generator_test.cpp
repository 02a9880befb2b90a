#include "krsim/event_generator.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "krsim/event_export.h"
#include "table_decoder.h"

namespace krsim {
namespace {

// Field readers at the byte offsets of the event file layout, independent of the simulator's and
// the shared layout tables.
std::uint32_t U16(const kr::HeaderBytes& h, int at) {
  return h[at] | h[at + 1] << 8;
}
std::uint32_t U32(const kr::HeaderBytes& h, int at) {
  return U16(h, at) | U16(h, at + 2) << 16;
}
std::int32_t I24(const kr::HeaderBytes& h, int at) {
  const std::int32_t v = h[at] | h[at + 1] << 8 | h[at + 2] << 16;
  return v >= 0x800000 ? v - 0x1000000 : v;
}
int Bcd(std::uint8_t b) {
  return (b >> 4) * 10 + (b & 15);
}
std::string Text(const kr::HeaderBytes& h, int at, int width) {
  std::string text(reinterpret_cast<const char*>(&h[at]), static_cast<std::size_t>(width));
  return text.substr(0, text.find('\0'));
}

RecorderIdentity Recorder(char model, int firmware, int sampling = 200) {
  RecorderIdentity r;
  r.number = 2;
  r.seed = 5;
  r.config.model = model;
  r.config.firmware = firmware;
  r.config.sampling = sampling;
  r.config.station = "North pit";
  r.config.serial_number = "10418";
  return r;
}

const kr::DateTime kTime{2024, 3, 21, 14, 5, 9, 0, 4};

std::array<std::int32_t, 3> PeaksOf(const std::vector<Frame>& frames) {
  std::array<std::int32_t, 3> peaks{};
  for (const Frame& f : frames) {
    for (int c = 0; c < 3; ++c) peaks[c] = std::max(peaks[c], std::abs(f[c]));
  }
  return peaks;
}

std::vector<krsim_test::Triple> DecodeAll(const StoredEvent& e, bool xkr) {
  std::vector<krsim_test::Triple> frames;
  for (const DataPair& pair : e.pairs) {
    std::string problem;
    const auto decoded = krsim_test::DecodePair(pair, xkr, problem);
    EXPECT_EQ(problem, "");
    frames.insert(frames.end(), decoded.begin(), decoded.end());
  }
  return frames;
}

TEST(EventGenerator, SLayoutWaveformHeaderAgreesWithItsData) {
  for (auto [model, firmware, kind] :
       {std::tuple{'S', 42060, EventKind::kSkr}, std::tuple{'C', 22060, EventKind::kVkr}}) {
    const StoredEvent e = MakeEvent(Recorder(model, firmware), 7, kind, kTime);
    const kr::HeaderBytes& h = e.header;
    const auto frames = DecodeAll(e, false);
    ASSERT_EQ(std::vector<Frame>(frames.begin(), frames.end()), e.frames) << "the pairs carry the samples";
    EXPECT_EQ(U16(h, 0), 7u);
    EXPECT_EQ(U32(h, 6), frames.size()) << "nb_samples";
    EXPECT_EQ(U16(h, 10), 200u) << "sampling";
    EXPECT_EQ(h[12], 3) << "nb_channel";
    const auto peaks = PeaksOf(e.frames);
    EXPECT_EQ(U16(h, 13), static_cast<std::uint32_t>(peaks[0]));
    EXPECT_EQ(U16(h, 15), static_cast<std::uint32_t>(peaks[1]));
    EXPECT_EQ(U16(h, 17), static_cast<std::uint32_t>(peaks[2]));
    EXPECT_GT(peaks[0], 1000) << "a burst, not just noise";
    EXPECT_EQ((std::vector<int>{Bcd(h[45]), Bcd(h[46]), Bcd(h[47]), Bcd(h[48]), Bcd(h[49]), Bcd(h[50])}),
              (std::vector<int>{9, 5, 14, 21, 3, 24}))
        << "trigger time second .. year";
    EXPECT_EQ(h[51], 1) << "time valid";
    EXPECT_EQ(Text(h, 64, 7), model == 'S' ? "SKR4100" : "CKR4100");
    EXPECT_EQ(Text(h, 176, 30), "North pit");
    EXPECT_EQ(U16(h, 94), 10u) << "LSB mantissa";
    EXPECT_EQ(static_cast<std::int8_t>(h[96]), -4) << "LSB exponent: 0.001 per count";
    EXPECT_EQ(Text(h, 112, 5), " mm/s");
    EXPECT_EQ(h[250], 0) << "an ordinary triggered event";
    // The firmware as each kind's readers compute it.
    const int decoded =
        kind == EventKind::kSkr ? h[79] * 256 + h[26] : h[79] * 100 + static_cast<std::int8_t>(h[233]);
    EXPECT_EQ(decoded, firmware);
    // Sample-count rule of the download: sampling 1..10000, count not 0, 3 or 6 channels.
    EXPECT_EQ(e.BlockCount(), 2 * (1 + static_cast<int>(e.pairs.size())));
  }
}

TEST(EventGenerator, XkrHeaderAgreesWithItsTwentyBitData) {
  const StoredEvent e = MakeEvent(Recorder('C', 62080, 400), 3, EventKind::kXkr, kTime);
  const kr::HeaderBytes& h = e.header;
  const auto frames = DecodeAll(e, true);
  ASSERT_EQ(std::vector<Frame>(frames.begin(), frames.end()), e.frames);
  EXPECT_EQ(h[4], 0) << "engg_mode";
  EXPECT_EQ(U32(h, 8), frames.size());
  const auto peaks = PeaksOf(e.frames);
  EXPECT_EQ(I24(h, 12), peaks[0]);
  EXPECT_EQ(I24(h, 15), peaks[1]);
  EXPECT_EQ(I24(h, 18), peaks[2]);
  EXPECT_GT(std::max({peaks[0], peaks[1], peaks[2]}), 131071) << "uses the 20-bit form";
  EXPECT_EQ(U16(h, 54), 400u);
  EXPECT_EQ(h[56], 3);
  EXPECT_EQ(h[58] * 256 + h[59], 62080);
  EXPECT_EQ(Text(h, 64, 7), "XKR4100");
  EXPECT_EQ(Bcd(h[37]), 14) << "int_hour";
  EXPECT_EQ((std::vector<int>{static_cast<int>(U16(h, 216)), static_cast<int>(U16(h, 218)),
                              static_cast<int>(U16(h, 220))}),
            (std::vector<int>{10000, 10000, 10000}));
}

TEST(EventGenerator, PeriodicFilesCountTheirRecordsAndStampTheirBlocks) {
  const StoredEvent vmx = MakeEvent(Recorder('C', 22060), 2, EventKind::kVmx, kTime);
  int records = 0;
  for (const DataPair& block : vmx.pairs) {
    EXPECT_LE(block[255], 41);
    records += block[255];
  }
  EXPECT_EQ(U32(vmx.header, 6), static_cast<std::uint32_t>(records));
  EXPECT_EQ(vmx.header[250], 3);
  EXPECT_EQ(vmx.header[247], 30);
  // The first block's stamp is the end of the first 30-second interval: 14:05:39.
  const DataPair& first = vmx.pairs.front();
  EXPECT_EQ((std::vector<int>{Bcd(first[2]), Bcd(first[3]), Bcd(first[4]), Bcd(first[5]), Bcd(first[6]),
                              Bcd(first[7])}),
            (std::vector<int>{39, 5, 14, 21, 3, 24}));
  // Header peaks are the largest record peaks.
  std::uint32_t largest_x = 0;
  for (const DataPair& block : vmx.pairs) {
    for (int r = 0; r < block[255]; ++r)
      largest_x = std::max<std::uint32_t>(largest_x, block[8 + 6 * r] | block[9 + 6 * r] << 8);
  }
  EXPECT_EQ(U16(vmx.header, 13), largest_x);

  const StoredEvent bkr = MakeEvent(Recorder('C', 62080), 2, EventKind::kBkr, kTime);
  records = 0;
  for (const DataPair& block : bkr.pairs) {
    EXPECT_LE(block[255], 20);
    records += block[255];
  }
  EXPECT_EQ(U32(bkr.header, 8), static_cast<std::uint32_t>(records));
  EXPECT_EQ(bkr.header[4], 6) << "engg_mode: vector sum present";
  EXPECT_EQ(bkr.header[215], 8) << "recording_mode: vector sum";
  // Each record's 48-bit field is the squared length of its peak vector, so the viewer's vector sum
  // (square root times the scale) lies between the largest peak and the sum of the three.
  for (const DataPair& block : bkr.pairs) {
    for (int r = 0; r < block[255]; ++r) {
      const std::size_t at = 8 + 12 * static_cast<std::size_t>(r);
      std::uint64_t expected = 0;
      for (std::size_t c = 0; c < 3; ++c) {
        const std::uint64_t peak = block[at + 2 * c] | block[at + 2 * c + 1] << 8;
        expected += peak * peak;
      }
      std::uint64_t stored = 0;
      for (std::size_t b = 0; b < 6; ++b) stored |= static_cast<std::uint64_t>(block[at + 6 + b]) << (8 * b);
      EXPECT_EQ(stored, expected) << "record " << r;
    }
  }
}

TEST(EventGenerator, IsDeterministicPerRecorderFileAndSeed) {
  const RecorderIdentity r = Recorder('S', 42060);
  EXPECT_EQ(TransferImage(MakeEvent(r, 4, EventKind::kSkr, kTime)),
            TransferImage(MakeEvent(r, 4, EventKind::kSkr, kTime)));
  EXPECT_NE(TransferImage(MakeEvent(r, 4, EventKind::kSkr, kTime)),
            TransferImage(MakeEvent(r, 5, EventKind::kSkr, kTime)));
  RecorderIdentity other = r;
  other.seed = 6;
  EXPECT_NE(TransferImage(MakeEvent(r, 4, EventKind::kSkr, kTime)),
            TransferImage(MakeEvent(other, 4, EventKind::kSkr, kTime)));
}

TEST(EventExport, WritesHeaderAndDecodedSamplesUnderTheNumberedName) {
  SimConfig config = DefaultConfig();
  config.recorders[0].events = {EventKind::kVkr, EventKind::kVmx};
  kr::FixedClock clock(kTime);
  FaultInjector faults(config.faults);
  const UnitModel unit(config, faults, clock);
  const auto folder = std::filesystem::path(::testing::TempDir()) / "krsim_export";
  std::filesystem::remove_all(folder);
  std::string error;
  ASSERT_EQ(ExportEvents(unit, folder, error), 5) << error;
  const StoredEvent& vkr = *unit.recorders()[0].store().Find(1);
  std::ifstream in(folder / "01001.vkr", std::ios::binary);
  const std::vector<std::uint8_t> bytes((std::istreambuf_iterator<char>(in)),
                                        std::istreambuf_iterator<char>());
  ASSERT_EQ(bytes.size(), 256 + 6 * vkr.frames.size());
  EXPECT_TRUE(std::equal(vkr.header.begin(), vkr.header.end(), bytes.begin()));
  const Frame& last = vkr.frames.back();
  const std::size_t at = bytes.size() - 6;
  for (int c = 0; c < 3; ++c) {
    EXPECT_EQ(static_cast<std::int16_t>(bytes[at + 2 * c] | bytes[at + 2 * c + 1] << 8), last[c]);
  }
  EXPECT_EQ(std::filesystem::file_size(folder / "01002.vmx"),
            256 + 256 * unit.recorders()[0].store().Find(2)->pairs.size());
  EXPECT_TRUE(std::filesystem::exists(folder / "02003.xkr"));
  EXPECT_TRUE(std::filesystem::exists(folder / "02002.bkr"));
}

}  // namespace
}  // namespace krsim
