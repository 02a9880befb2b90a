#pragma once

// Builds event files byte by byte for the tests of every program that reads them, from the documented offsets
// of the file format, without any of the program's own header code.

#include <cstdint>
#include <filesystem>
#include <fstream>
#include <string>
#include <string_view>
#include <vector>

namespace kr_test {

class EventFileBuilder {
 public:
  EventFileBuilder() : bytes_(256, 0) {}

  // Header bytes (offsets below 256).
  EventFileBuilder& U8(std::size_t offset, unsigned value) {
    bytes_.at(offset) = static_cast<std::uint8_t>(value);
    return *this;
  }
  EventFileBuilder& U16(std::size_t offset, unsigned value) {
    U8(offset, value & 0xFF);
    return U8(offset + 1, (value >> 8) & 0xFF);
  }
  EventFileBuilder& U32(std::size_t offset, std::uint32_t value) {
    for (std::size_t i = 0; i < 4; ++i) U8(offset + i, (value >> (8 * i)) & 0xFF);
    return *this;
  }
  EventFileBuilder& I24(std::size_t offset, std::int32_t value) {
    auto raw = static_cast<std::uint32_t>(value);
    for (std::size_t i = 0; i < 3; ++i) U8(offset + i, (raw >> (8 * i)) & 0xFF);
    return *this;
  }
  // Two decimal digits in one byte, written the way the recorders store them (25 -> 0x25).
  EventFileBuilder& Bcd(std::size_t offset, unsigned decimal) {
    return U8(offset, (decimal / 10) * 16 + decimal % 10);
  }
  // Six BCD bytes: second, minute, hour, day, month, two-digit year.
  EventFileBuilder& BcdTime(std::size_t offset, unsigned second, unsigned minute, unsigned hour, unsigned day,
                            unsigned month, unsigned year) {
    Bcd(offset, second).Bcd(offset + 1, minute).Bcd(offset + 2, hour).Bcd(offset + 3, day);
    return Bcd(offset + 4, month).Bcd(offset + 5, year);
  }
  EventFileBuilder& Text(std::size_t offset, std::string_view text) {
    for (std::size_t i = 0; i < text.size(); ++i) U8(offset + i, static_cast<unsigned char>(text[i]));
    return *this;
  }

  // Data after the header.
  EventFileBuilder& Frame16(int x, int y, int z) {
    for (int v : {x, y, z}) Append(static_cast<std::uint32_t>(v), 2);
    return *this;
  }
  EventFileBuilder& Frame24(int x, int y, int z) {
    for (int v : {x, y, z}) Append(static_cast<std::uint32_t>(v), 3);
    return *this;
  }
  EventFileBuilder& Frame32(std::int32_t x, std::int32_t y, std::int32_t z) {
    for (std::int32_t v : {x, y, z}) Append(static_cast<std::uint32_t>(v), 4);
    return *this;
  }
  EventFileBuilder& Raw(std::initializer_list<std::uint8_t> raw) {
    bytes_.insert(bytes_.end(), raw.begin(), raw.end());
    return *this;
  }
  EventFileBuilder& Block(const std::vector<std::uint8_t>& block) {
    bytes_.insert(bytes_.end(), block.begin(), block.end());
    return *this;
  }

  // A 3-channel S-layout header (SKR4100 unless told otherwise) with LSB 0.001 on every channel.
  static EventFileBuilder SkrHeader(std::uint32_t nb_samples, std::string_view model = "SKR4100") {
    EventFileBuilder b;
    b.Text(64, model).U32(6, nb_samples).U16(10, 100).U8(12, 3);
    for (std::size_t offset : {94u, 97u, 100u}) b.U16(offset, 1).U8(offset + 2, 0xFD);  // 1 x 10^-3
    return b;
  }
  // A 3-channel X-layout header with LSB 0.001 and gain corrections 10000 (factor 1).
  static EventFileBuilder XkrHeader(std::uint32_t nb_samples) {
    EventFileBuilder b;
    b.Text(64, "XKR4100").U32(8, nb_samples).U16(54, 100).U8(56, 3);
    for (std::size_t offset : {83u, 86u, 89u}) b.U16(offset, 1).U8(offset + 2, 0xFD);
    for (std::size_t offset : {216u, 218u, 220u}) b.U16(offset, 10000);
    return b;
  }

  const std::vector<std::uint8_t>& bytes() const { return bytes_; }

  void WriteTo(const std::filesystem::path& path) const {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(bytes_.data()), static_cast<std::streamsize>(bytes_.size()));
  }

 private:
  void Append(std::uint32_t value, std::size_t width) {
    for (std::size_t i = 0; i < width; ++i)
      bytes_.push_back(static_cast<std::uint8_t>((value >> (8 * i)) & 0xFF));
  }

  std::vector<std::uint8_t> bytes_;
};

// A periodic block: prefix, BCD stamp (second .. two-digit year) at bytes 2..7, records from `first`,
// the record count at byte 255.
class BlockBuilder {
 public:
  BlockBuilder() : block_(256, 0) {}
  BlockBuilder& Stamp(unsigned second, unsigned minute, unsigned hour, unsigned day, unsigned month,
                      unsigned year) {
    unsigned values[6] = {second, minute, hour, day, month, year};
    for (std::size_t i = 0; i < 6; ++i)
      block_[2 + i] = static_cast<std::uint8_t>((values[i] / 10) * 16 + values[i] % 10);
    return *this;
  }
  BlockBuilder& U16(std::size_t offset, unsigned value) {
    block_.at(offset) = static_cast<std::uint8_t>(value & 0xFF);
    block_.at(offset + 1) = static_cast<std::uint8_t>((value >> 8) & 0xFF);
    return *this;
  }
  BlockBuilder& U48(std::size_t offset, std::uint64_t value) {
    for (std::size_t i = 0; i < 6; ++i)
      block_.at(offset + i) = static_cast<std::uint8_t>((value >> (8 * i)) & 0xFF);
    return *this;
  }
  BlockBuilder& Count(unsigned records) {
    block_[255] = static_cast<std::uint8_t>(records);
    return *this;
  }
  const std::vector<std::uint8_t>& bytes() const { return block_; }

 private:
  std::vector<std::uint8_t> block_;
};

}  // namespace kr_test
