#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <string_view>

namespace kr {

// Byte-level encodings of the recorders' event files and block records. All multi-byte integers are
// little-endian. Every reader takes the whole buffer and an offset and returns 0 (or an empty text)
// when the value would reach past the end, so that a short or hostile buffer can never be read out
// of bounds.

std::uint8_t ReadU8(std::span<const std::uint8_t> bytes, std::size_t offset);
std::int8_t ReadI8(std::span<const std::uint8_t> bytes, std::size_t offset);
std::uint16_t ReadU16Le(std::span<const std::uint8_t> bytes, std::size_t offset);
std::int16_t ReadI16Le(std::span<const std::uint8_t> bytes, std::size_t offset);
std::uint32_t ReadU32Le(std::span<const std::uint8_t> bytes, std::size_t offset);
std::int32_t ReadI32Le(std::span<const std::uint8_t> bytes, std::size_t offset);
// Three bytes, low byte first, sign-extended from bit 23 (FE FF FF is -2).
std::int32_t ReadI24Le(std::span<const std::uint8_t> bytes, std::size_t offset);
// Six bytes, low byte first, unsigned (the sums of squares of periodic records).
std::uint64_t ReadU48Le(std::span<const std::uint8_t> bytes, std::size_t offset);

// Two decimal digits in one byte: high nibble x 10 + low nibble (0x59 is 59). Nibbles above 9 are
// not rejected; 0xFF decodes to 165 as the recorders' own readers do.
constexpr int DecodeBcd(std::uint8_t byte) {
  return (byte >> 4) * 10 + (byte & 0x0F);
}
// 0..99 to a BCD byte; other values are taken modulo 100 so the byte stays two digits.
constexpr std::uint8_t EncodeBcd(int value) {
  int v = ((value % 100) + 100) % 100;
  return static_cast<std::uint8_t>(((v / 10) << 4) | (v % 10));
}

// A fixed text of `width` 8-bit characters, not necessarily zero-terminated: the characters up to the
// first zero byte or the field width, whichever comes first. The bytes are taken as Latin-1 and
// returned as UTF-8; control characters become blanks so that a text stays on its line.
std::string ReadFixedText(std::span<const std::uint8_t> bytes, std::size_t offset, std::size_t width);
// The same with leading blanks removed (unit texts are stored right-aligned, "   mV").
std::string ReadUnitText(std::span<const std::uint8_t> bytes, std::size_t offset, std::size_t width);
// One 8-bit character as UTF-8 (Latin-1); a zero byte or a control character gives an empty text.
std::string Latin1Char(std::uint8_t byte);

// Writers for producers of event files (the download, the simulator, test builders). Each writes
// nothing when the value would not fit inside the buffer.
void WriteU8(std::span<std::uint8_t> bytes, std::size_t offset, std::uint8_t value);
void WriteU16Le(std::span<std::uint8_t> bytes, std::size_t offset, std::uint16_t value);
void WriteU32Le(std::span<std::uint8_t> bytes, std::size_t offset, std::uint32_t value);
// Stores the low 24 bits of a two's-complement value.
void WriteI24Le(std::span<std::uint8_t> bytes, std::size_t offset, std::int32_t value);
void WriteU48Le(std::span<std::uint8_t> bytes, std::size_t offset, std::uint64_t value);
// Copies at most `width` characters and pads the rest of the field with zero bytes.
void WriteFixedText(std::span<std::uint8_t> bytes, std::size_t offset, std::size_t width,
                    std::string_view text);

}  // namespace kr
