#include "krcommon/macro_cipher.h"

#include <algorithm>
#include <array>
#include <cstdint>

#include "krcommon/text_util.h"

namespace kr {

namespace {

constexpr std::string_view kKey = "KRmacroKey41";
constexpr std::string_view kAlphabet = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+-";
constexpr std::uint8_t kStart = 0x5A;  // the "previous byte" of the first one
constexpr std::uint8_t kPositionStep = 29;

std::uint8_t KeyByte(std::size_t i) {
  return static_cast<std::uint8_t>(kKey[i % kKey.size()]);
}

std::uint8_t Offset(std::size_t i, std::uint8_t previous) {
  return static_cast<std::uint8_t>(previous + static_cast<std::uint8_t>(i * kPositionStep));
}

int AlphabetValue(char c) {
  const std::size_t at = kAlphabet.find(c);
  return at == std::string_view::npos ? -1 : static_cast<int>(at);
}

}  // namespace

std::string EncipherMacroText(std::string_view plain) {
  std::string mixed;
  mixed.reserve(plain.size());
  std::uint8_t previous = kStart;
  for (std::size_t i = 0; i < plain.size(); ++i) {
    const auto b = static_cast<std::uint8_t>(plain[i]);
    const auto c = static_cast<std::uint8_t>((b ^ KeyByte(i)) + Offset(i, previous));
    mixed.push_back(static_cast<char>(c));
    previous = c;
  }
  std::string out;
  out.reserve((mixed.size() + 2) / 3 * 4);
  for (std::size_t i = 0; i < mixed.size(); i += 3) {
    const std::size_t n = std::min<std::size_t>(3, mixed.size() - i);
    std::uint32_t group = 0;
    for (std::size_t k = 0; k < 3; ++k)
      group = (group << 8) | (k < n ? static_cast<std::uint8_t>(mixed[i + k]) : 0u);
    for (std::size_t k = 0; k < n + 1; ++k) out.push_back(kAlphabet[(group >> (18 - 6 * k)) & 0x3F]);
  }
  return out;
}

std::optional<std::string> DecipherMacroText(std::string_view block) {
  block = Trim(block);
  if (block.size() % 4 == 1) return std::nullopt;
  std::string mixed;
  mixed.reserve(block.size() / 4 * 3 + 2);
  for (std::size_t i = 0; i < block.size(); i += 4) {
    const std::size_t n = std::min<std::size_t>(4, block.size() - i);
    std::uint32_t group = 0;
    for (std::size_t k = 0; k < 4; ++k) {
      int value = 0;
      if (k < n) {
        value = AlphabetValue(block[i + k]);
        if (value < 0) return std::nullopt;
      }
      group = (group << 6) | static_cast<std::uint32_t>(value);
    }
    // The bits below the last whole byte of a short group are always 0 in an enciphered text.
    const std::size_t bytes = n - 1;
    if ((group & ((1u << (24 - 8 * bytes)) - 1)) != 0) return std::nullopt;
    for (std::size_t k = 0; k < bytes; ++k)
      mixed.push_back(static_cast<char>((group >> (16 - 8 * k)) & 0xFF));
  }
  std::string plain;
  plain.reserve(mixed.size());
  std::uint8_t previous = kStart;
  for (std::size_t i = 0; i < mixed.size(); ++i) {
    const auto c = static_cast<std::uint8_t>(mixed[i]);
    const auto b = static_cast<std::uint8_t>(static_cast<std::uint8_t>(c - Offset(i, previous)) ^ KeyByte(i));
    plain.push_back(static_cast<char>(b));
    previous = c;
  }
  return plain;
}

}  // namespace kr
