#pragma once

// Event files of every kind with plausible content for the page tests and the screenshots: damped
// oscillations after a trigger for the waveform kinds, slowly varying peaks with a few large ones for
// the interval kinds.

#include <cmath>
#include <numbers>
#include <string>

#include "../support/event_file_builder.h"

namespace ondalyne_test {

inline void CommonHeader(kr_test::EventFileBuilder& b, bool x_layout) {
  // Trigger 21.03.24 08:15:30, last time mark, power loss, station, serial numbers.
  b.BcdTime(x_layout ? 35 : 45, 30, 15, 8, 21, 3, 24);
  b.BcdTime(x_layout ? 26 : 36, 0, 58, 4, 21, 3, 24);
  b.Bcd(x_layout ? 196 : 210, 2).Bcd(x_layout ? 197 : 211, 2).Bcd(x_layout ? 198 : 212, 24);
  b.Text(x_layout ? 145 : 176, "Quarry North").Text(71, "10417").Text(x_layout ? 76 : 27, "S0833");
  b.U8(x_layout ? 143 : 173, 1).U8(x_layout ? 144 : 174, 4);
  b.U16(x_layout ? 180 : 54, 12650).U16(x_layout ? 182 : 56, 3310);
  b.U8(x_layout ? 142 : 175, 1).U8(x_layout ? 141 : 172, 4).U8(x_layout ? 62 : 249, 0x21);
  b.U8(x_layout ? 32 : 42, 1);
}

inline double Burst(int channel, double t) {
  const double start = 1.0;
  if (t < start) return 0.02 * std::sin(37.0 * t + channel);
  const double f[3] = {6.0, 9.5, 14.0};
  const double a[3] = {25.0, 18.0, 11.0};
  return a[channel] * std::exp(-(t - start) * 0.9) *
         std::sin(2 * std::numbers::pi * f[channel] * (t - start));
}

// A waveform file of `seconds` at `rate`, counts = value / 0.001.
inline kr_test::EventFileBuilder WaveformFile(int kind, int rate, double seconds) {
  const bool x = kind == 3;
  const auto count = static_cast<std::uint32_t>(rate * seconds);
  kr_test::EventFileBuilder b =
      x ? kr_test::EventFileBuilder::XkrHeader(count)
        : kr_test::EventFileBuilder::SkrHeader(count, kind == 1 ? "SKR4100" : "CKR4100");
  b.U16(x ? 54 : 10, static_cast<unsigned>(rate));
  b.Text(x ? 92 : 112, " mm/s").Text(x ? 97 : 117, " mm/s").Text(x ? 102 : 122, " mm/s");
  if (x) {
    b.I24(116, 200).I24(119, 200).I24(122, 200).U8(58, 242).U8(59, 124).U8(4, 0);
  } else {
    b.U16(160, 200).U16(162, 200).U16(164, 200).U8(79, kind == 1 ? 164 : 'V').U8(26, 76).U8(233, 60);
  }
  CommonHeader(b, x);
  b.U16(x ? 33 : 43, static_cast<unsigned>(rate / 4));
  for (std::uint32_t i = 0; i < count; ++i) {
    const double t = static_cast<double>(i) / rate;
    int v[3];
    for (int c = 0; c < 3; ++c) v[c] = static_cast<int>(std::lround(Burst(c, t) / 0.001));
    if (x) {
      b.Frame24(v[0], v[1], v[2]);
    } else {
      b.Frame16(v[0], v[1], v[2]);
    }
  }
  return b;
}

// vmx (kind 4) with peak frequencies (VM sub-mode 7) or bkr (kind 5) with vector sums (sub-mode 6);
// `records` intervals of 30 s.
inline kr_test::EventFileBuilder IntervalFile(int kind, int records) {
  const bool x = kind == 5;
  kr_test::EventFileBuilder b =
      x ? kr_test::EventFileBuilder::XkrHeader(static_cast<std::uint32_t>(records))
        : kr_test::EventFileBuilder::SkrHeader(static_cast<std::uint32_t>(records), "CKR4100");
  b.Text(x ? 92 : 112, " mm/s").Text(x ? 97 : 117, " mm/s").Text(x ? 102 : 122, " mm/s");
  CommonHeader(b, x);
  b.U8(x ? 143 : 173, 0);
  if (x) {
    b.U8(4, 6).U8(215, 8).U8(213, 30).U8(58, 242).U8(59, 124);
  } else {
    b.U8(250, 7).U8(254, 10).U8(247, 30).U8(79, 'V').U8(233, 60);
  }
  const std::size_t record = x ? 12 : 12;
  const int per_block = static_cast<int>((255 - 8) / record);
  for (int first = 0; first < records; first += per_block) {
    kr_test::BlockBuilder block;
    const int in_block = std::min(per_block, records - first);
    for (int r = 0; r < in_block; ++r) {
      const int i = first + r;
      const std::size_t at = 8 + static_cast<std::size_t>(r) * record;
      unsigned peaks[3];
      for (int c = 0; c < 3; ++c) {
        double base = 300 + 200 * std::sin(i / 9.0 + c);
        if ((i * 7 + c * 3) % 23 == 0) base += 2500 + 400 * c;
        peaks[c] = static_cast<unsigned>(base);
        block.U16(at + 2 * static_cast<std::size_t>(c), peaks[c]);
      }
      if (x) {
        std::uint64_t squares = 0;
        for (unsigned p : peaks) squares += static_cast<std::uint64_t>(p) * p;
        block.U48(at + 6, squares);
      } else {
        for (int c = 0; c < 3; ++c)
          block.U16(at + 6 + 2 * static_cast<std::size_t>(c),
                    static_cast<unsigned>(40 + (i * 37 + c * 91) % 600));
      }
    }
    block.Count(static_cast<unsigned>(in_block));
    b.Block(block.bytes());
  }
  return b;
}

}  // namespace ondalyne_test
