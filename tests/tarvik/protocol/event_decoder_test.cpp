// Packed records of downloaded event pairs; every expected sample was worked out by hand from the
// record bytes (sign bits, nibbles, low bytes) and is written as the little-endian bytes of the file.
#include "tarvik/protocol/event_decoder.h"

#include <gtest/gtest.h>

#include <vector>

namespace tarvik {
namespace {

using Bytes = std::vector<std::uint8_t>;

std::array<std::uint8_t, kEventPairSize> Pair(const Bytes& records, int count) {
  std::array<std::uint8_t, kEventPairSize> pair{};
  pair[0] = 0xAA;  // prefix bytes are not records
  pair[1] = 0x55;
  std::copy(records.begin(), records.end(), pair.begin() + 2);
  pair[255] = static_cast<std::uint8_t>(count);
  return pair;
}

Bytes Decode(const Bytes& records, int count, bool wide, bool* complete = nullptr) {
  const auto pair = Pair(records, count);
  DecodedPair out;
  DecodeEventPair(pair, wide, out);
  if (complete != nullptr) *complete = out.complete;
  return Bytes(out.bytes.begin(), out.bytes.begin() + static_cast<std::ptrdiff_t>(out.size));
}

struct FormCase {
  const char* name;
  Bytes record;
  Bytes narrow;  // three 16-bit samples
  Bytes wide;    // three 24-bit samples
};

TEST(EventDecoderTest, EveryRecordFormGivesItsThreeSamples) {
  const std::vector<FormCase> cases = {
      // 00: 0x36 = 00 11 01 10 -> -2, 1, -1 (narrow: one byte; wide: seven, low words follow)
      {"00 narrow", {0x36}, {0xFE, 0xFF, 0x01, 0x00, 0xFF, 0xFF}, {}},
      {"00 wide",
       {0x36, 0x34, 0x12, 0x00, 0x80, 0xFF, 0xFF},
       {},
       {0x34, 0x12, 0xFE, 0x00, 0x80, 0x01, 0xFF, 0xFF, 0xFF}},
      // 0100: b1 = 0x8F -> low F = -1, high 8 = -8; b0 low nibble 7 = 7
      {"0100",
       {0x47, 0x8F},
       {0xFF, 0xFF, 0xF8, 0xFF, 0x07, 0x00},
       {0xFF, 0xFF, 0xFF, 0xF8, 0xFF, 0xFF, 0x07, 0x00, 0x00}},
      // 0101: tops -6, 7, -7 over the low bytes 34, 12, FF -> -1484, 1810, -1537
      {"0101",
       {0x59, 0x7A, 0x34, 0x12, 0xFF},
       {0x34, 0xFA, 0x12, 0x07, 0xFF, 0xF9},
       {0x34, 0xFA, 0xFF, 0x12, 0x07, 0x00, 0xFF, 0xF9, 0xFF}},
      // 0110: tops -1 (b2), 3 (b1), 101100b = -20 (b1 bits 6-7 over b0 nibble) -> -256, 896, -5119
      {"0110",
       {0x6C, 0x83, 0x3F, 0x00, 0x80, 0x01},
       {0x00, 0xFF, 0x80, 0x03, 0x01, 0xEC},
       {0x00, 0xFF, 0xFF, 0x80, 0x03, 0x00, 0x01, 0xEC, 0xFF}},
      // 0111 narrow: six bytes copied -> -32767, 32767, 0
      {"0111 narrow", {0x70, 0x01, 0x80, 0xFF, 0x7F, 0x00, 0x00}, {0x01, 0x80, 0xFF, 0x7F, 0x00, 0x00}, {}},
      // 0111 wide: tops 7, 1, -2 over the words ABCD, 0001, 0000 -> 502733, 65537, -131072
      {"0111 wide",
       {0x7E, 0x17, 0xCD, 0xAB, 0x01, 0x00, 0x00, 0x00},
       {},
       {0xCD, 0xAB, 0x07, 0x01, 0x00, 0x01, 0x00, 0x00, 0xFE}},
      // 10: b2 = 0x40 -> -64; b1 >> 1 = 127 -> -1; b1 bit 0 with b0 100000b -> 1000001b = -63
      {"10",
       {0xA0, 0xFF, 0x40},
       {0xC0, 0xFF, 0xFF, 0xFF, 0xC1, 0xFF},
       {0xC0, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xC1, 0xFF, 0xFF}},
      // 11: 0xDB = 11 01 10 11 -> tops -1, -2, 1 over 05, FE, 00 -> -251, -258, 256
      {"11",
       {0xDB, 0x05, 0xFE, 0x00},
       {0x05, 0xFF, 0xFE, 0xFE, 0x00, 0x01},
       {0x05, 0xFF, 0xFF, 0xFE, 0xFE, 0xFF, 0x00, 0x01, 0x00}},
  };
  for (const FormCase& c : cases) {
    if (!c.narrow.empty()) {
      EXPECT_EQ(Decode(c.record, 1, false), c.narrow) << c.name;
    }
    if (!c.wide.empty()) {
      EXPECT_EQ(Decode(c.record, 1, true), c.wide) << c.name;
    }
  }
}

TEST(EventDecoderTest, RecordsFollowEachOtherWithoutGaps) {
  // 0100, 00 and 10 back to back, in the narrow form.
  const Bytes records = {0x47, 0x8F, 0x36, 0xA0, 0xFF, 0x40};
  const Bytes expected = {0xFF, 0xFF, 0xF8, 0xFF, 0x07, 0x00, 0xFE, 0xFF, 0x01,
                          0x00, 0xFF, 0xFF, 0xC0, 0xFF, 0xFF, 0xFF, 0xC1, 0xFF};
  bool complete = false;
  EXPECT_EQ(Decode(records, 3, false, &complete), expected);
  EXPECT_TRUE(complete);
}

TEST(EventDecoderTest, ACountBeyondThePairEndsAtTheLastWholeRecord) {
  // 50 records of 7 bytes cannot fit in 253 bytes: 36 do (252 bytes), the 37th would overrun.
  Bytes records;
  for (int i = 0; i < 36; ++i) records.insert(records.end(), {0x70, 1, 0, 2, 0, 3, 0});
  records.push_back(0x70);
  const auto pair = Pair(records, 50);
  DecodedPair out;
  DecodeEventPair(pair, false, out);
  EXPECT_FALSE(out.complete);
  EXPECT_EQ(out.records, 36);
  EXPECT_EQ(out.size, 36u * 6u);
}

TEST(EventDecoderTest, TheLargestPairFitsTheBuffer) {
  // 253 one-byte records, the most a pair can hold.
  const Bytes records(253, 0x00);
  bool complete = false;
  const Bytes samples = Decode(records, 255, false, &complete);
  EXPECT_FALSE(complete);  // the count names two more than there is room for
  EXPECT_EQ(samples.size(), 253u * 6u);
}

}  // namespace
}  // namespace tarvik
