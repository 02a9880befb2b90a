#include "krsim/packed_encoder.h"

#include <algorithm>

namespace krsim {

namespace {

using Bytes = std::vector<std::uint8_t>;

std::uint8_t Low(std::int32_t v) {
  return static_cast<std::uint8_t>(v & 0xFF);
}
std::uint8_t Mid(std::int32_t v) {
  return static_cast<std::uint8_t>((v >> 8) & 0xFF);
}
// Bits above the low byte (or the low 16 bits), masked to the field the form has for them.
std::uint8_t Top8(std::int32_t v, int mask) {
  return static_cast<std::uint8_t>((v >> 8) & mask);
}
std::uint8_t Top16(std::int32_t v, int mask) {
  return static_cast<std::uint8_t>((v >> 16) & mask);
}

bool Fits(std::int32_t v, int bits) {
  const std::int32_t limit = 1 << (bits - 1);
  return v >= -limit && v < limit;
}

bool AllFit(const Frame& f, int bits) {
  return Fits(f[0], bits) && Fits(f[1], bits) && Fits(f[2], bits);
}

// Form 00 of skr/vkr: three 2-bit values in one byte.
void Put2Bit(const Frame& f, Bytes& out) {
  out.push_back(static_cast<std::uint8_t>((f[0] & 3) | (f[1] & 3) << 2 | (f[2] & 3) << 4));
}

// Form 0100: two bytes, three 4-bit values (third in b0, first and second in b1).
void Put4Bit(const Frame& f, Bytes& out) {
  out.push_back(static_cast<std::uint8_t>(0x40 | (f[2] & 0x0F)));
  out.push_back(static_cast<std::uint8_t>((f[0] & 0x0F) | (f[1] & 0x0F) << 4));
}

// Form 10: three bytes, three 7-bit values; the third is split over b1 bit 0 and b0 bits 0-5.
void Put7Bit(const Frame& f, Bytes& out) {
  out.push_back(static_cast<std::uint8_t>(0x80 | ((f[2] >> 1) & 0x3F)));
  out.push_back(static_cast<std::uint8_t>(((f[1] & 0x7F) << 1) | (f[2] & 1)));
  out.push_back(static_cast<std::uint8_t>(f[0] & 0x7F));
}

// Form 11: low bytes with 2-bit tops in b0 (10-bit values).
void Put10Bit(const Frame& f, Bytes& out) {
  out.push_back(static_cast<std::uint8_t>(0xC0 | Top8(f[0], 3) | Top8(f[1], 3) << 2 | Top8(f[2], 3) << 4));
  out.insert(out.end(), {Low(f[0]), Low(f[1]), Low(f[2])});
}

// Form 0101: low bytes with 4-bit tops (12-bit values).
void Put12Bit(const Frame& f, Bytes& out) {
  out.push_back(static_cast<std::uint8_t>(0x50 | Top8(f[2], 0x0F)));
  out.push_back(static_cast<std::uint8_t>(Top8(f[0], 0x0F) | Top8(f[1], 0x0F) << 4));
  out.insert(out.end(), {Low(f[0]), Low(f[1]), Low(f[2])});
}

// Form 0110: low bytes with 6-bit tops (14-bit values); the third top is split over b1 bits 6-7
// (its bits 4-5) and the low nibble of b0 (its bits 0-3).
void Put14Bit(const Frame& f, Bytes& out) {
  const int top3 = Top8(f[2], 0x3F);
  out.push_back(static_cast<std::uint8_t>(0x60 | (top3 & 0x0F)));
  out.push_back(static_cast<std::uint8_t>(Top8(f[1], 0x3F) | ((top3 >> 4) & 3) << 6));
  out.push_back(Top8(f[0], 0x3F));
  out.insert(out.end(), {Low(f[0]), Low(f[1]), Low(f[2])});
}

// Form 0111 of skr/vkr: the three 16-bit samples as they are.
void Put16Bit(const Frame& f, Bytes& out) {
  out.push_back(0x70);
  for (std::int32_t v : f) out.insert(out.end(), {Low(v), Mid(v)});
}

// Form 00 of xkr: 16-bit low parts with 2-bit tops in b0 (18-bit values).
void Put18Bit(const Frame& f, Bytes& out) {
  out.push_back(static_cast<std::uint8_t>(Top16(f[0], 3) | Top16(f[1], 3) << 2 | Top16(f[2], 3) << 4));
  for (std::int32_t v : f) out.insert(out.end(), {Low(v), Mid(v)});
}

// Form 0111 of xkr: 16-bit low parts with 4-bit tops (20-bit values).
void Put20Bit(const Frame& f, Bytes& out) {
  out.push_back(static_cast<std::uint8_t>(0x70 | Top16(f[2], 0x0F)));
  out.push_back(static_cast<std::uint8_t>(Top16(f[0], 0x0F) | Top16(f[1], 0x0F) << 4));
  for (std::int32_t v : f) out.insert(out.end(), {Low(v), Mid(v)});
}

struct Form {
  int bits;
  std::size_t size;
  void (*put)(const Frame&, Bytes&);
};

// Smallest first; both lists grow in size and in range together, so the first that fits is the
// smallest that fits.
constexpr Form k16Forms[] = {{2, 1, Put2Bit},   {4, 2, Put4Bit},   {7, 3, Put7Bit},  {10, 4, Put10Bit},
                             {12, 5, Put12Bit}, {14, 6, Put14Bit}, {16, 7, Put16Bit}};
constexpr Form k24Forms[] = {{4, 2, Put4Bit},   {7, 3, Put7Bit},   {10, 4, Put10Bit}, {12, 5, Put12Bit},
                             {14, 6, Put14Bit}, {18, 7, Put18Bit}, {20, 8, Put20Bit}};

std::span<const Form> FormsFor(SampleWidth width) {
  if (width == SampleWidth::k16) return k16Forms;
  return k24Forms;
}

const Form* SmallestForm(const Frame& frame, SampleWidth width) {
  for (const Form& form : FormsFor(width)) {
    if (AllFit(frame, form.bits)) return &form;
  }
  return nullptr;
}

Frame Clip(const Frame& frame, SampleWidth width) {
  const std::int32_t high = MaxEncodableMagnitude(width);
  Frame clipped{};
  for (int c = 0; c < 3; ++c) clipped[c] = std::clamp(frame[c], -high - 1, high);
  return clipped;
}

}  // namespace

std::int32_t MaxEncodableMagnitude(SampleWidth width) {
  return width == SampleWidth::k16 ? 32767 : 524287;
}

std::size_t RecordSize(const Frame& frame, SampleWidth width) {
  const Form* form = SmallestForm(frame, width);
  return form == nullptr ? 0 : form->size;
}

bool EncodeRecord(const Frame& frame, SampleWidth width, std::vector<std::uint8_t>& out) {
  const Form* form = SmallestForm(frame, width);
  if (form == nullptr) return false;
  form->put(frame, out);
  return true;
}

std::vector<DataPair> PackFrames(std::span<const Frame> frames, SampleWidth width) {
  std::vector<DataPair> pairs;
  std::vector<std::uint8_t> record;
  DataPair pair{};
  std::size_t fill = kPairRecordStart;
  int count = 0;
  auto finish_pair = [&] {
    const std::size_t number = pairs.size();
    pair[0] = static_cast<std::uint8_t>(number & 0xFF);
    pair[1] = static_cast<std::uint8_t>((number >> 8) & 0xFF);
    pair[kPairRecordEnd] = static_cast<std::uint8_t>(count);
    pairs.push_back(pair);
    pair.fill(0);
    fill = kPairRecordStart;
    count = 0;
  };
  for (const Frame& frame : frames) {
    record.clear();
    EncodeRecord(Clip(frame, width), width, record);
    if (fill + record.size() > kPairRecordEnd) finish_pair();
    std::copy(record.begin(), record.end(), pair.begin() + static_cast<std::ptrdiff_t>(fill));
    fill += record.size();
    ++count;
  }
  if (count > 0) finish_pair();
  return pairs;
}

}  // namespace krsim
