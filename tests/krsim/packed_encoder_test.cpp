#include "krsim/packed_encoder.h"

#include <gtest/gtest.h>

#include <random>
#include <vector>

#include "table_decoder.h"

namespace krsim {
namespace {

using Bytes = std::vector<std::uint8_t>;

std::vector<Frame> DecodePairs(const std::vector<DataPair>& pairs, bool xkr) {
  std::vector<Frame> frames;
  for (const DataPair& pair : pairs) {
    std::string problem;
    const std::vector<krsim_test::Triple> decoded = krsim_test::DecodePair(pair, xkr, problem);
    EXPECT_EQ(problem, "");
    frames.insert(frames.end(), decoded.begin(), decoded.end());
  }
  return frames;
}

Bytes Encode(const Frame& f, SampleWidth w) {
  Bytes out;
  EXPECT_TRUE(EncodeRecord(f, w, out));
  return out;
}

// Record sizes and ranges of the forms, from the table: (size, bits of each value).
struct FormSize {
  std::size_t size;
  int bits;
};
constexpr FormSize k16Sizes[] = {{1, 2}, {2, 4}, {3, 7}, {4, 10}, {5, 12}, {6, 14}, {7, 16}};
constexpr FormSize k24Sizes[] = {{2, 4}, {3, 7}, {4, 10}, {5, 12}, {6, 14}, {7, 18}, {8, 20}};

bool Holds(int bits, std::int32_t v) {
  return v >= -(1 << (bits - 1)) && v < (1 << (bits - 1));
}

std::size_t SmallestSize(const Frame& f, bool xkr) {
  for (const FormSize& form :
       xkr ? std::span<const FormSize>(k24Sizes) : std::span<const FormSize>(k16Sizes)) {
    if (Holds(form.bits, f[0]) && Holds(form.bits, f[1]) && Holds(form.bits, f[2])) return form.size;
  }
  return 0;
}

// ---- Tests ----

TEST(PackedEncoder, WritesTheBytesOfWorkedExamples) {
  // (1, 2, 3) in the two-byte form: b0 = 0100 and the third value, b1 = second << 4 | first.
  EXPECT_EQ(Encode({1, 2, 3}, SampleWidth::k16), (Bytes{0x43, 0x21}));
  // (-1, 5, 33): 7-bit form; b2 = 0x7F, b1 = 5 << 1 | (33 & 1) = 0x0B, b0 = 10 and 33 >> 1 = 0x90.
  EXPECT_EQ(Encode({-1, 5, 33}, SampleWidth::k16), (Bytes{0x90, 0x0B, 0x7F}));
  // (1, -2, 0): one byte, 2-bit fields 01, 10, 00.
  EXPECT_EQ(Encode({1, -2, 0}, SampleWidth::k16), (Bytes{0x09}));
  // (300, -1, 0): 10-bit form; tops 01, 11, 00 -> b0 = 0xC0 | 1 | 3 << 2, then the low bytes.
  EXPECT_EQ(Encode({300, -1, 0}, SampleWidth::k16), (Bytes{0xCD, 0x2C, 0xFF, 0x00}));
  // (-32768, 32767, 256): the full 16-bit form copies the samples little-endian.
  EXPECT_EQ(Encode({-32768, 32767, 256}, SampleWidth::k16),
            (Bytes{0x70, 0x00, 0x80, 0xFF, 0x7F, 0x00, 0x01}));
  // xkr (0, 0, 0) has no one-byte form: the two-byte form is the smallest.
  EXPECT_EQ(Encode({0, 0, 0}, SampleWidth::k24), (Bytes{0x40, 0x00}));
  // xkr (100000, 0, -1): 18-bit form; 100000 = 0x186A0 -> top 01, low A0 86.
  EXPECT_EQ(Encode({100000, 0, -1}, SampleWidth::k24), (Bytes{0x31, 0xA0, 0x86, 0x00, 0x00, 0xFF, 0xFF}));
}

TEST(PackedEncoder, PicksTheSmallestFormAtEveryBoundary) {
  const std::pair<Frame, std::size_t> cases16[] = {
      {{1, -2, 0}, 1},        {{2, 0, 0}, 2},     {{7, -8, 0}, 2},       {{8, 0, 0}, 3},
      {{63, -64, 0}, 3},      {{0, 64, 0}, 4},    {{511, -512, 0}, 4},   {{0, 0, 512}, 5},
      {{2047, -2048, 0}, 5},  {{-2049, 0, 0}, 6}, {{8191, -8192, 5}, 6}, {{8192, 0, 0}, 7},
      {{32767, -32768, 0}, 7}};
  for (const auto& [frame, size] : cases16) {
    EXPECT_EQ(RecordSize(frame, SampleWidth::k16), size) << frame[0] << "," << frame[1] << "," << frame[2];
  }
  const std::pair<Frame, std::size_t> cases24[] = {{{0, 0, 0}, 2},
                                                   {{-8, 7, 0}, 2},
                                                   {{8191, 0, 0}, 6},
                                                   {{8192, 0, 0}, 7},
                                                   {{131071, -131072, 0}, 7},
                                                   {{131072, 0, 0}, 8},
                                                   {{524287, -524288, 0}, 8},
                                                   {{524288, 0, 0}, 0},
                                                   {{0, 0, -524289}, 0}};
  for (const auto& [frame, size] : cases24) {
    EXPECT_EQ(RecordSize(frame, SampleWidth::k24), size) << frame[0] << "," << frame[1] << "," << frame[2];
  }
  EXPECT_EQ(RecordSize({32768, 0, 0}, SampleWidth::k16), 0u);
  Bytes out;
  EXPECT_FALSE(EncodeRecord({524288, 0, 0}, SampleWidth::k24, out));
  EXPECT_TRUE(out.empty());
}

// Random triples of every magnitude, each channel of its own size, plus the extremes.
std::vector<Frame> MixedFrames(bool xkr, unsigned seed, int count) {
  std::mt19937 rng(seed);
  const int max_bits = xkr ? 20 : 16;
  std::uniform_int_distribution<int> bits_of(1, max_bits);
  std::vector<Frame> frames;
  for (int i = 0; i < count; ++i) {
    Frame f{};
    for (auto& v : f) {
      const int bits = bits_of(rng);
      std::uniform_int_distribution<std::int32_t> value(-(1 << (bits - 1)), (1 << (bits - 1)) - 1);
      v = value(rng);
    }
    frames.push_back(f);
  }
  const std::int32_t high = xkr ? 524287 : 32767;
  frames.push_back({high, -high - 1, 0});
  frames.push_back({-high - 1, -high - 1, -high - 1});
  frames.push_back({high, high, high});
  frames.push_back({0, 0, 0});
  frames.push_back({-1, -1, -1});
  return frames;
}

TEST(PackedEncoder, RoundTripsRandomAndExtremeTriplesThroughTheTableDecoder) {
  for (bool xkr : {false, true}) {
    const SampleWidth width = xkr ? SampleWidth::k24 : SampleWidth::k16;
    const std::vector<Frame> frames = MixedFrames(xkr, xkr ? 7u : 11u, 5000);
    for (const Frame& f : frames) {
      Bytes record;
      ASSERT_TRUE(EncodeRecord(f, width, record));
      krsim_test::Triple back{};
      ASSERT_EQ(krsim_test::DecodeRecord(record, xkr, back), record.size());
      ASSERT_EQ(back, f) << (xkr ? "xkr " : "skr ") << f[0] << "," << f[1] << "," << f[2];
      ASSERT_EQ(record.size(), SmallestSize(f, xkr)) << f[0] << "," << f[1] << "," << f[2];
    }
  }
}

TEST(PackedEncoder, PacksFramesIntoPairsWithCountsAndNoSplitRecords) {
  for (bool xkr : {false, true}) {
    const std::vector<Frame> frames = MixedFrames(xkr, 3u, 2000);
    const std::vector<DataPair> pairs = PackFrames(frames, xkr ? SampleWidth::k24 : SampleWidth::k16);
    EXPECT_EQ(DecodePairs(pairs, xkr), frames);
    for (std::size_t i = 0; i < pairs.size(); ++i) {
      EXPECT_EQ(pairs[i][0] | pairs[i][1] << 8, static_cast<int>(i)) << "running pair number";
      EXPECT_GT(pairs[i][255], 0);
    }
  }
}

TEST(PackedEncoder, FillsAPairWithTheMostRecordsThatFit) {
  // 253 record bytes per pair: 253 one-byte records, the 254th goes to the next pair.
  const std::vector<Frame> quiet(254, Frame{0, 1, -1});
  const std::vector<DataPair> pairs = PackFrames(quiet, SampleWidth::k16);
  ASSERT_EQ(pairs.size(), 2u);
  EXPECT_EQ(pairs[0][255], 253);
  EXPECT_EQ(pairs[1][255], 1);
  // Seven-byte records: 36 fit (252 bytes), the 37th does not.
  const std::vector<Frame> loud(37, Frame{30000, -30000, 1});
  const std::vector<DataPair> loud_pairs = PackFrames(loud, SampleWidth::k16);
  ASSERT_EQ(loud_pairs.size(), 2u);
  EXPECT_EQ(loud_pairs[0][255], 36);
  EXPECT_TRUE(PackFrames(std::vector<Frame>{}, SampleWidth::k16).empty());
}

TEST(PackedEncoder, ClipsValuesBeyondTheWidestFormAsAConverterSaturates) {
  const std::vector<Frame> frames = {{40000, -40000, 0}, {600000, -600000, 3}};
  EXPECT_EQ(DecodePairs(PackFrames(std::vector<Frame>{frames[0]}, SampleWidth::k16), false),
            (std::vector<Frame>{{32767, -32768, 0}}));
  EXPECT_EQ(DecodePairs(PackFrames(std::vector<Frame>{frames[1]}, SampleWidth::k24), true),
            (std::vector<Frame>{{524287, -524288, 3}}));
}

}  // namespace
}  // namespace krsim
