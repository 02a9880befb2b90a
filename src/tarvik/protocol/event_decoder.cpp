#include "tarvik/protocol/event_decoder.h"

namespace tarvik {

namespace {

// The n-bit two's-complement value in the low bits of v.
constexpr std::int32_t Sext(int bits, unsigned v) {
  const unsigned mask = (1u << bits) - 1u;
  v &= mask;
  const unsigned sign = 1u << (bits - 1);
  return (v & sign) != 0 ? static_cast<std::int32_t>(v) - static_cast<std::int32_t>(1u << bits)
                         : static_cast<std::int32_t>(v);
}

class SampleWriter {
 public:
  SampleWriter(DecodedPair& out, bool wide) : out_(out), wide_(wide) {}

  // A sample: the low 16 or 24 bits of its two's-complement value, low byte first.
  void Put(std::int32_t value) {
    const auto bits = static_cast<std::uint32_t>(value);
    out_.bytes[out_.size++] = static_cast<std::uint8_t>(bits);
    out_.bytes[out_.size++] = static_cast<std::uint8_t>(bits >> 8);
    if (wide_) out_.bytes[out_.size++] = static_cast<std::uint8_t>(bits >> 16);
  }

 private:
  DecodedPair& out_;
  bool wide_;
};

// Bytes a record takes, from its first byte.
std::size_t RecordLength(std::uint8_t b0, bool wide) {
  switch (b0 >> 6) {
    case 0:
      return wide ? 7 : 1;
    case 2:
      return 3;
    case 3:
      return 4;
    default:
      break;
  }
  switch (b0 >> 4) {
    case 0x4:
      return 2;
    case 0x5:
      return 5;
    case 0x6:
      return 6;
    default:  // 0111
      return wide ? 8 : 7;
  }
}

// A value with a sign-extended top part above `low_bytes` unchanged low bytes.
std::int32_t Compose(std::int32_t top, std::uint32_t low, int low_bytes) {
  return top * (1 << (8 * low_bytes)) + static_cast<std::int32_t>(low);
}

void DecodeRecord(const std::uint8_t* r, bool wide, SampleWriter& w) {
  const std::uint8_t b0 = r[0];
  switch (b0 >> 6) {
    case 0:
      if (wide) {
        w.Put(Compose(Sext(2, b0), r[1] | (r[2] << 8), 2));
        w.Put(Compose(Sext(2, b0 >> 2), r[3] | (r[4] << 8), 2));
        w.Put(Compose(Sext(2, b0 >> 4), r[5] | (r[6] << 8), 2));
      } else {
        w.Put(Sext(2, b0));
        w.Put(Sext(2, b0 >> 2));
        w.Put(Sext(2, b0 >> 4));
      }
      return;
    case 2:
      w.Put(Sext(7, r[2]));
      w.Put(Sext(7, r[1] >> 1));
      w.Put(Sext(7, (r[1] & 1u) | ((b0 & 0x3Fu) << 1)));
      return;
    case 3:
      w.Put(Compose(Sext(2, b0), r[1], 1));
      w.Put(Compose(Sext(2, b0 >> 2), r[2], 1));
      w.Put(Compose(Sext(2, b0 >> 4), r[3], 1));
      return;
    default:
      break;
  }
  switch (b0 >> 4) {
    case 0x4:
      w.Put(Sext(4, r[1]));
      w.Put(Sext(4, r[1] >> 4));
      w.Put(Sext(4, b0));
      return;
    case 0x5:
      w.Put(Compose(Sext(4, r[1]), r[2], 1));
      w.Put(Compose(Sext(4, r[1] >> 4), r[3], 1));
      w.Put(Compose(Sext(4, b0), r[4], 1));
      return;
    case 0x6:
      w.Put(Compose(Sext(6, r[2]), r[3], 1));
      w.Put(Compose(Sext(6, r[1]), r[4], 1));
      w.Put(Compose(Sext(6, ((r[1] >> 6) << 4) | (b0 & 0x0Fu)), r[5], 1));
      return;
    default:  // 0111
      if (wide) {
        w.Put(Compose(Sext(4, r[1]), r[2] | (r[3] << 8), 2));
        w.Put(Compose(Sext(4, r[1] >> 4), r[4] | (r[5] << 8), 2));
        w.Put(Compose(Sext(4, b0), r[6] | (r[7] << 8), 2));
      } else {
        // Full 16-bit samples, copied as they are.
        w.Put(static_cast<std::int16_t>(r[1] | (r[2] << 8)));
        w.Put(static_cast<std::int16_t>(r[3] | (r[4] << 8)));
        w.Put(static_cast<std::int16_t>(r[5] | (r[6] << 8)));
      }
      return;
  }
}

}  // namespace

void DecodeEventPair(std::span<const std::uint8_t, kEventPairSize> pair, bool wide, DecodedPair& out) {
  out.size = 0;
  out.records = 0;
  out.complete = true;
  SampleWriter writer(out, wide);
  const int count = pair[kRecordCountByte];
  std::size_t at = kFirstRecordByte;
  for (int i = 0; i < count; ++i) {
    if (at >= kRecordCountByte) {
      out.complete = false;
      return;
    }
    const std::size_t length = RecordLength(pair[at], wide);
    if (at + length > kRecordCountByte) {
      out.complete = false;
      return;
    }
    DecodeRecord(pair.data() + at, wide, writer);
    at += length;
    ++out.records;
  }
}

}  // namespace tarvik
