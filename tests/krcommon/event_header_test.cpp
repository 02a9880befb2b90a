#include "krcommon/event_header.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cstdint>
#include <vector>

#include "krcommon/event_bytes.h"
#include "krcommon/event_values.h"

namespace {

using kr::HeaderBytes;
using kr::HeaderField;
using kr::HeaderLayout;

TEST(EventBytes, TwentyFourBitValuesAreSignExtended) {
  const std::vector<std::uint8_t> bytes = {0xFF, 0xFF, 0x7F, 0x00, 0x00, 0x80,
                                           0xFE, 0xFF, 0xFF, 0x01, 0x00, 0x00};
  EXPECT_EQ(kr::ReadI24Le(bytes, 0), 8388607);
  EXPECT_EQ(kr::ReadI24Le(bytes, 3), -8388608);
  EXPECT_EQ(kr::ReadI24Le(bytes, 6), -2);
  EXPECT_EQ(kr::ReadI24Le(bytes, 9), 1);
}

TEST(EventBytes, ReadsPastTheEndGiveZeroInsteadOfReadingOutside) {
  const std::vector<std::uint8_t> bytes = {0x11, 0x22, 0x33};
  EXPECT_EQ(kr::ReadU16Le(bytes, 1), 0x3322);
  EXPECT_EQ(kr::ReadU16Le(bytes, 2), 0);
  EXPECT_EQ(kr::ReadI24Le(bytes, 1), 0);
  EXPECT_EQ(kr::ReadU32Le(bytes, 0), 0u);
  EXPECT_EQ(kr::ReadU8(bytes, 3), 0);
  EXPECT_EQ(kr::ReadU8(bytes, static_cast<std::size_t>(-1)), 0);
  EXPECT_EQ(kr::ReadFixedText(bytes, 2, 10), "3");
}

TEST(EventBytes, BcdAndFixedTexts) {
  EXPECT_EQ(kr::DecodeBcd(0x59), 59);
  EXPECT_EQ(kr::DecodeBcd(0x07), 7);
  EXPECT_EQ(kr::EncodeBcd(59), 0x59);
  // Fixed texts stop at the field width even without a terminating zero, or at the first zero.
  const std::vector<std::uint8_t> text = {'A', 'B', 'C', 'D', 0, 'E'};
  EXPECT_EQ(kr::ReadFixedText(text, 0, 3), "ABC");
  EXPECT_EQ(kr::ReadFixedText(text, 0, 6), "ABCD");
  const std::vector<std::uint8_t> unit = {' ', ' ', ' ', 'm', 'V'};
  EXPECT_EQ(kr::ReadUnitText(unit, 0, 5), "mV");
  // 8-bit characters arrive as Latin-1 and leave as UTF-8; control characters do not break lines.
  const std::vector<std::uint8_t> latin = {0xB0, 'C', '\n', 'x'};
  EXPECT_EQ(kr::ReadFixedText(latin, 0, 4),
            "\xC2\xB0"
            "C x");
}

TEST(EventHeader, WritersProduceWhatTheFormatPrescribes) {
  HeaderBytes x{};
  kr::SetHeaderValue(x, HeaderLayout::kX, HeaderField::kbftm_z, -2);   // 253..255
  kr::SetHeaderValue(x, HeaderLayout::kX, HeaderField::int_year, 26);  // BCD at 40
  kr::SetHeaderText(x, HeaderLayout::kX, HeaderField::rec_name, "XKR4100EXTRA");
  EXPECT_EQ(x[253], 0xFE);
  EXPECT_EQ(x[254], 0xFF);
  EXPECT_EQ(x[255], 0xFF);
  EXPECT_EQ(x[40], 0x26);
  EXPECT_EQ(std::string(x.begin() + 64, x.begin() + 71), "XKR4100");
  EXPECT_EQ(x[71], 0);  // nothing beyond the field width
}

HeaderBytes LsbHeader(HeaderLayout layout, std::array<std::pair<unsigned, int>, 3> lsb) {
  HeaderBytes h{};
  std::size_t base = layout == HeaderLayout::kX ? 83 : 94;
  for (std::size_t c = 0; c < 3; ++c) {
    h[base + 3 * c] = static_cast<std::uint8_t>(lsb[c].first & 0xFF);
    h[base + 3 * c + 1] = static_cast<std::uint8_t>(lsb[c].first >> 8);
    h[base + 3 * c + 2] = static_cast<std::uint8_t>(lsb[c].second);
  }
  return h;
}

void SetGains(HeaderBytes& h, unsigned gx, unsigned gy, unsigned gz) {
  unsigned gains[3] = {gx, gy, gz};
  for (std::size_t c = 0; c < 3; ++c) {
    h[216 + 2 * c] = static_cast<std::uint8_t>(gains[c] & 0xFF);
    h[217 + 2 * c] = static_cast<std::uint8_t>(gains[c] >> 8);
  }
}

TEST(LsbVector, NegativeExponentsDivideAndPositiveOnesLeaveTheMantissa) {
  HeaderBytes h = LsbHeader(HeaderLayout::kS, {{{5, 2}, {1234, -3}, {7, 0}}});
  auto lsb = kr::LsbVector(1, h, false);
  EXPECT_DOUBLE_EQ(lsb[0], 5.0);  // exponent +2 is not applied
  EXPECT_DOUBLE_EQ(lsb[1], 1.234);
  EXPECT_DOUBLE_EQ(lsb[2], 7.0);
}

TEST(LsbVector, GainCorrectionsApplyOnlyWhenAllThreeArePlausible) {
  HeaderBytes h = LsbHeader(HeaderLayout::kX, {{{1, 0}, {1, 0}, {1, 0}}});
  SetGains(h, 9000, 11000, 10500);
  auto lsb = kr::LsbVector(3, h, false);
  EXPECT_DOUBLE_EQ(lsb[0], 0.9);
  EXPECT_DOUBLE_EQ(lsb[1], 1.1);
  EXPECT_DOUBLE_EQ(lsb[2], 1.05);

  SetGains(h, 10000, 8999, 10000);
  lsb = kr::LsbVector(3, h, false);
  for (double v : lsb) EXPECT_DOUBLE_EQ(v, 1.036);
  SetGains(h, 10000, 10000, 11001);
  EXPECT_DOUBLE_EQ(kr::LsbVector(3, h, false)[0], 1.036);

  // The S layout has no gain corrections: the same bytes there are not looked at.
  HeaderBytes s = LsbHeader(HeaderLayout::kS, {{{1, 0}, {1, 0}, {1, 0}}});
  EXPECT_DOUBLE_EQ(kr::LsbVector(1, s, false)[0], 1.0);
}

TEST(LsbVector, TimesEightOnlyForBkrWithResolutionTwentyAndOnlyWhenAsked) {
  HeaderBytes h = LsbHeader(HeaderLayout::kX, {{{2, -1}, {2, -1}, {2, -1}}});
  SetGains(h, 10000, 10000, 10000);
  h[63] = 20;  // adc_resol
  EXPECT_DOUBLE_EQ(kr::LsbVector(5, h, false)[0], 1.6);
  EXPECT_DOUBLE_EQ(kr::LsbVector(5, h, true)[0], 0.2);
  EXPECT_DOUBLE_EQ(kr::LsbVector(3, h, false)[0], 0.2);  // xkr: no x8 step
  h[63] = 24;
  EXPECT_DOUBLE_EQ(kr::LsbVector(5, h, false)[0], 0.2);
}

TEST(FirmwareVersion, EachKindHasItsRule) {
  HeaderBytes s{};
  s[79] = 70;  // 70 x 256 + 125 = 18045, reported as 32070
  s[26] = 125;
  EXPECT_EQ(kr::FirmwareVersion(1, s), 32070);
  s[26] = 126;
  EXPECT_EQ(kr::FirmwareVersion(1, s), 18046);

  HeaderBytes c{};
  c[79] = 'V';    // counts as 220
  c[233] = 0xFD;  // -3
  EXPECT_EQ(kr::FirmwareVersion(2, c), 21997);
  c[79] = 200;
  c[233] = 60;
  EXPECT_EQ(kr::FirmwareVersion(4, c), 20060);

  HeaderBytes x{};
  x[58] = 3;
  x[59] = 7;
  EXPECT_EQ(kr::FirmwareVersion(3, x), 775);
  EXPECT_EQ(kr::FirmwareVersion(5, x), 775);
}

TEST(MillivoltCorrection, OnlyChannelsWithTheExactUnitTextInXLayout) {
  HeaderBytes x{};
  const char* units[3] = {"   mV", "  mV ", "mm/s "};
  for (std::size_t c = 0; c < 3; ++c) {
    for (std::size_t i = 0; i < 5; ++i) x[92 + 5 * c + i] = static_cast<std::uint8_t>(units[c][i]);
  }
  kr::WriteI24Le(x, 185, 100);  // ch_offset_x
  kr::WriteI24Le(x, 247, 30);   // kbftm_x
  kr::WriteI24Le(x, 188, 5);
  kr::EventHeader header(x, HeaderLayout::kX);
  EXPECT_TRUE(kr::IsMillivoltChannel(header, 0));
  EXPECT_FALSE(kr::IsMillivoltChannel(header, 1));
  EXPECT_EQ(kr::MillivoltCorrection(header, 0), 70);
  EXPECT_EQ(kr::MillivoltCorrection(header, 1), 0);
  EXPECT_EQ(kr::MillivoltCorrection(kr::EventHeader(x, HeaderLayout::kS), 0), 0);
}

TEST(EventStartTime, TriggerTimePlusSubSecondOffset) {
  HeaderBytes x{};
  const std::uint8_t trigger[6] = {0x05, 0x04, 0x03, 0x29, 0x02, 0x76};  // 29.02.1976 03:04:05
  std::copy(trigger, trigger + 6, x.begin() + 35);
  x[33] = 50;   // int_offset
  x[54] = 200;  // sampling
  kr::EventStart start = kr::EventStartTime(kr::EventHeader(x, HeaderLayout::kX), 2026);
  ASSERT_TRUE(start.time.has_value());
  EXPECT_EQ(start.time->year, 1976);
  EXPECT_EQ(start.time->month, 2);
  EXPECT_EQ(start.time->day, 29);
  EXPECT_EQ(start.time->second, 5);
  EXPECT_DOUBLE_EQ(start.SubSecond(), 0.25);

  x[38] = 0;  // int_day 0: no date
  EXPECT_FALSE(kr::EventStartTime(kr::EventHeader(x, HeaderLayout::kX), 2026).time.has_value());
  x[38] = 0x29;
  x[40] = 0x77;  // 29 February 1977 does not exist
  EXPECT_FALSE(kr::EventStartTime(kr::EventHeader(x, HeaderLayout::kX), 2026).time.has_value());
  x[54] = 0;
  EXPECT_DOUBLE_EQ(kr::EventStartTime(kr::EventHeader(x, HeaderLayout::kX), 2026).SubSecond(), 0.0);
}

// The bytes a six-channel event's second file takes over, as the firmware documentation lists them.
TEST(SecondSensorTest, FieldsAndUnnamedBytesCoverExactlyTheSensorsBytes) {
  const auto covered = [](HeaderLayout layout) {
    std::vector<int> bytes;
    for (const kr::HeaderField field : kr::SecondSensorFields(layout)) {
      const kr::FieldEntry* entry = kr::FindField(layout, field);
      EXPECT_NE(entry, nullptr);
      if (entry == nullptr) continue;
      for (int b = entry->offset; b < entry->offset + entry->width; ++b) bytes.push_back(b);
    }
    for (const kr::HeaderByteRange& range : kr::SecondSensorUnnamedBytes(layout))
      for (int b = range.offset; b < range.offset + range.length; ++b) bytes.push_back(b);
    std::sort(bytes.begin(), bytes.end());
    return bytes;
  };
  const auto ranges = [](std::initializer_list<std::pair<int, int>> list) {
    std::vector<int> bytes;
    for (const auto& [first, last] : list)
      for (int b = first; b <= last; ++b) bytes.push_back(b);
    std::sort(bytes.begin(), bytes.end());
    return bytes;
  };
  EXPECT_EQ(covered(HeaderLayout::kS),
            ranges({{12, 20}, {185, 193}, {82, 87}, {94, 102}, {112, 126}, {142, 150}}));
  EXPECT_EQ(
      covered(HeaderLayout::kX),
      ranges({{12, 21}, {83, 91}, {92, 106}, {107, 115}, {116, 124}, {185, 193}, {216, 221}, {247, 255}}));
}

}  // namespace
