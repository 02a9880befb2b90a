#include "table_decoder.h"

namespace krsim_test {

namespace {

// sext(n, v): the n-bit two's-complement value v.
std::int32_t Sext(int bits, unsigned value) {
  value &= (1u << bits) - 1;
  if (value & (1u << (bits - 1))) return static_cast<std::int32_t>(value) - (1 << bits);
  return static_cast<std::int32_t>(value);
}

// A low byte under a top part of `bits` bits; and the same with a 16-bit low part.
std::int32_t WithTop(int bits, unsigned top, unsigned low) {
  return Sext(bits, top) * 256 + static_cast<int>(low);
}
std::int32_t WithTop16(int bits, unsigned top, unsigned low, unsigned mid) {
  return Sext(bits, top) * 65536 + static_cast<int>(mid) * 256 + static_cast<int>(low);
}

std::size_t Length(unsigned b0, bool xkr) {
  switch (b0 >> 6) {
    case 0:
      return xkr ? 7 : 1;
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
    default:
      return xkr ? 8 : 7;
  }
}

}  // namespace

std::size_t DecodeRecord(std::span<const std::uint8_t> bytes, bool xkr, Triple& out) {
  if (bytes.empty()) return 0;
  const unsigned b0 = bytes[0];
  const std::size_t length = Length(b0, xkr);
  if (bytes.size() < length) return 0;
  const auto p = [&](std::size_t i) -> unsigned { return bytes[i]; };
  switch (b0 >> 6) {
    case 0:
      if (!xkr) {
        out = {Sext(2, b0 & 3), Sext(2, (b0 >> 2) & 3), Sext(2, (b0 >> 4) & 3)};
      } else {
        out = {WithTop16(2, b0 & 3, p(1), p(2)), WithTop16(2, (b0 >> 2) & 3, p(3), p(4)),
               WithTop16(2, (b0 >> 4) & 3, p(5), p(6))};
      }
      return length;
    case 2:
      out = {Sext(7, p(2) & 0x7F), Sext(7, p(1) >> 1), Sext(7, (p(1) & 1) | ((b0 & 0x3F) << 1))};
      return length;
    case 3:
      out = {WithTop(2, b0 & 3, p(1)), WithTop(2, (b0 >> 2) & 3, p(2)), WithTop(2, (b0 >> 4) & 3, p(3))};
      return length;
    default:
      break;
  }
  switch (b0 >> 4) {
    case 0x4:
      out = {Sext(4, p(1) & 0xF), Sext(4, p(1) >> 4), Sext(4, b0 & 0xF)};
      break;
    case 0x5:
      out = {WithTop(4, p(1) & 0xF, p(2)), WithTop(4, p(1) >> 4, p(3)), WithTop(4, b0 & 0xF, p(4))};
      break;
    case 0x6:
      out = {WithTop(6, p(2) & 0x3F, p(3)), WithTop(6, p(1) & 0x3F, p(4)),
             WithTop(6, ((p(1) >> 6) << 4) | (b0 & 0xF), p(5))};
      break;
    default:
      if (!xkr) {
        out = {static_cast<std::int16_t>(p(1) | p(2) << 8), static_cast<std::int16_t>(p(3) | p(4) << 8),
               static_cast<std::int16_t>(p(5) | p(6) << 8)};
      } else {
        out = {WithTop16(4, p(1) & 0xF, p(2), p(3)), WithTop16(4, p(1) >> 4, p(4), p(5)),
               WithTop16(4, b0 & 0xF, p(6), p(7))};
      }
  }
  return length;
}

std::vector<Triple> DecodePair(std::span<const std::uint8_t> pair, bool xkr, std::string& problem) {
  std::vector<Triple> frames;
  problem.clear();
  if (pair.size() != 256) {
    problem = "a pair is 256 bytes";
    return frames;
  }
  std::size_t at = 2;
  for (int r = 0; r < pair[255]; ++r) {
    Triple t{};
    const std::size_t n = DecodeRecord(pair.subspan(at, 255 - at), xkr, t);
    if (n == 0) {
      problem = "record " + std::to_string(r) + " at byte " + std::to_string(at) +
                " does not decode inside the pair";
      return frames;
    }
    frames.push_back(t);
    at += n;
  }
  return frames;
}

std::string RequestFrame(std::string_view body) {
  unsigned sum = 0;
  for (char c : body) sum += static_cast<unsigned char>(c);
  const unsigned v = (256 - sum % 256) % 256;
  std::string frame = "(";
  frame.append(body);
  frame.push_back(static_cast<char>(v < 128 ? 128 : 0));
  frame.push_back(static_cast<char>(v < 128 ? v + 128 : v));
  frame.push_back(')');
  return frame;
}

bool OpenDataReply(std::string_view reply, std::string& payload) {
  if (reply.size() < 5 || reply.substr(0, 2) != "*(" || reply.back() != ')') return false;
  payload = std::string(reply.substr(2, reply.size() - 5));
  const std::string expected = RequestFrame(payload);
  return expected.substr(expected.size() - 3) == reply.substr(reply.size() - 3);
}

}  // namespace krsim_test
