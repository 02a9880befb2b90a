#include "krcommon/event_bytes.h"

namespace kr {

namespace {

bool Fits(std::size_t size, std::size_t offset, std::size_t width) {
  return offset <= size && width <= size - offset;
}

void AppendLatin1(std::uint8_t byte, std::string& out) {
  if (byte < 0x20 || byte == 0x7F) {
    out.push_back(' ');
  } else if (byte < 0x80) {
    out.push_back(static_cast<char>(byte));
  } else {
    out.push_back(static_cast<char>(0xC0 | (byte >> 6)));
    out.push_back(static_cast<char>(0x80 | (byte & 0x3F)));
  }
}

}  // namespace

std::uint8_t ReadU8(std::span<const std::uint8_t> bytes, std::size_t offset) {
  return Fits(bytes.size(), offset, 1) ? bytes[offset] : 0;
}

std::int8_t ReadI8(std::span<const std::uint8_t> bytes, std::size_t offset) {
  return static_cast<std::int8_t>(ReadU8(bytes, offset));
}

std::uint16_t ReadU16Le(std::span<const std::uint8_t> bytes, std::size_t offset) {
  if (!Fits(bytes.size(), offset, 2)) return 0;
  return static_cast<std::uint16_t>(bytes[offset] | (bytes[offset + 1] << 8));
}

std::int16_t ReadI16Le(std::span<const std::uint8_t> bytes, std::size_t offset) {
  return static_cast<std::int16_t>(ReadU16Le(bytes, offset));
}

std::uint32_t ReadU32Le(std::span<const std::uint8_t> bytes, std::size_t offset) {
  if (!Fits(bytes.size(), offset, 4)) return 0;
  return static_cast<std::uint32_t>(bytes[offset]) | (static_cast<std::uint32_t>(bytes[offset + 1]) << 8) |
         (static_cast<std::uint32_t>(bytes[offset + 2]) << 16) |
         (static_cast<std::uint32_t>(bytes[offset + 3]) << 24);
}

std::int32_t ReadI32Le(std::span<const std::uint8_t> bytes, std::size_t offset) {
  return static_cast<std::int32_t>(ReadU32Le(bytes, offset));
}

std::int32_t ReadI24Le(std::span<const std::uint8_t> bytes, std::size_t offset) {
  if (!Fits(bytes.size(), offset, 3)) return 0;
  std::uint32_t raw = static_cast<std::uint32_t>(bytes[offset]) |
                      (static_cast<std::uint32_t>(bytes[offset + 1]) << 8) |
                      (static_cast<std::uint32_t>(bytes[offset + 2]) << 16);
  // Sign extension by arithmetic rather than shifts keeps it free of implementation-defined behaviour.
  return (raw & 0x800000u) != 0 ? static_cast<std::int32_t>(raw) - 0x1000000 : static_cast<std::int32_t>(raw);
}

std::uint64_t ReadU48Le(std::span<const std::uint8_t> bytes, std::size_t offset) {
  if (!Fits(bytes.size(), offset, 6)) return 0;
  std::uint64_t value = 0;
  for (int i = 5; i >= 0; --i) value = (value << 8) | bytes[offset + static_cast<std::size_t>(i)];
  return value;
}

std::string ReadFixedText(std::span<const std::uint8_t> bytes, std::size_t offset, std::size_t width) {
  std::string out;
  for (std::size_t i = 0; i < width && offset + i < bytes.size(); ++i) {
    std::uint8_t byte = bytes[offset + i];
    if (byte == 0) break;
    AppendLatin1(byte, out);
  }
  return out;
}

std::string ReadUnitText(std::span<const std::uint8_t> bytes, std::size_t offset, std::size_t width) {
  std::string text = ReadFixedText(bytes, offset, width);
  std::size_t first = text.find_first_not_of(' ');
  return first == std::string::npos ? std::string() : text.substr(first);
}

std::string Latin1Char(std::uint8_t byte) {
  if (byte < 0x20 || byte == 0x7F) return {};
  std::string out;
  AppendLatin1(byte, out);
  return out;
}

void WriteU8(std::span<std::uint8_t> bytes, std::size_t offset, std::uint8_t value) {
  if (Fits(bytes.size(), offset, 1)) bytes[offset] = value;
}

void WriteU16Le(std::span<std::uint8_t> bytes, std::size_t offset, std::uint16_t value) {
  if (!Fits(bytes.size(), offset, 2)) return;
  bytes[offset] = static_cast<std::uint8_t>(value & 0xFF);
  bytes[offset + 1] = static_cast<std::uint8_t>(value >> 8);
}

void WriteU32Le(std::span<std::uint8_t> bytes, std::size_t offset, std::uint32_t value) {
  if (!Fits(bytes.size(), offset, 4)) return;
  for (std::size_t i = 0; i < 4; ++i) bytes[offset + i] = static_cast<std::uint8_t>(value >> (8 * i));
}

void WriteI24Le(std::span<std::uint8_t> bytes, std::size_t offset, std::int32_t value) {
  if (!Fits(bytes.size(), offset, 3)) return;
  auto raw = static_cast<std::uint32_t>(value);
  for (std::size_t i = 0; i < 3; ++i) bytes[offset + i] = static_cast<std::uint8_t>(raw >> (8 * i));
}

void WriteU48Le(std::span<std::uint8_t> bytes, std::size_t offset, std::uint64_t value) {
  if (!Fits(bytes.size(), offset, 6)) return;
  for (std::size_t i = 0; i < 6; ++i) bytes[offset + i] = static_cast<std::uint8_t>(value >> (8 * i));
}

void WriteFixedText(std::span<std::uint8_t> bytes, std::size_t offset, std::size_t width,
                    std::string_view text) {
  if (!Fits(bytes.size(), offset, width)) return;
  for (std::size_t i = 0; i < width; ++i) {
    bytes[offset + i] = i < text.size() ? static_cast<std::uint8_t>(text[i]) : 0;
  }
}

}  // namespace kr
