#include "krcommon/stdio_file_ex.h"

#include <array>
#include <fstream>
#include <sstream>

namespace kr {

namespace {

constexpr char32_t kReplacement = 0xFFFD;

// Decodes one code point from utf8 at pos and advances pos.
char32_t DecodeUtf8(std::string_view s, size_t& pos) {
  auto byte = [&](size_t i) { return static_cast<unsigned char>(s[i]); };
  unsigned char lead = byte(pos);
  int extra = lead < 0x80           ? 0
              : (lead >> 5) == 0x6  ? 1
              : (lead >> 4) == 0xE  ? 2
              : (lead >> 3) == 0x1E ? 3
                                    : -1;
  if (extra == 0) {
    ++pos;
    return lead;
  }
  if (extra < 0 || pos + extra >= s.size()) {
    ++pos;
    return kReplacement;
  }
  char32_t cp = lead & (0x3F >> extra);
  for (int i = 1; i <= extra; ++i) {
    unsigned char c = byte(pos + i);
    if ((c & 0xC0) != 0x80) {
      pos += i;
      return kReplacement;
    }
    cp = (cp << 6) | (c & 0x3F);
  }
  pos += extra + 1;
  if (cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF)) return kReplacement;
  return cp;
}

void PutUnit(char16_t unit, std::string& out) {
  out.push_back(static_cast<char>(unit & 0xFF));
  out.push_back(static_cast<char>(unit >> 8));
}

void AppendUtf8(char32_t cp, std::string& out) {
  if (cp < 0x80) {
    out.push_back(static_cast<char>(cp));
  } else if (cp < 0x800) {
    out.push_back(static_cast<char>(0xC0 | (cp >> 6)));
    out.push_back(static_cast<char>(0x80 | (cp & 0x3F)));
  } else if (cp < 0x10000) {
    out.push_back(static_cast<char>(0xE0 | (cp >> 12)));
    out.push_back(static_cast<char>(0x80 | ((cp >> 6) & 0x3F)));
    out.push_back(static_cast<char>(0x80 | (cp & 0x3F)));
  } else {
    out.push_back(static_cast<char>(0xF0 | (cp >> 18)));
    out.push_back(static_cast<char>(0x80 | ((cp >> 12) & 0x3F)));
    out.push_back(static_cast<char>(0x80 | ((cp >> 6) & 0x3F)));
    out.push_back(static_cast<char>(0x80 | (cp & 0x3F)));
  }
}

}  // namespace

void AppendUtf16Le(std::string_view utf8, std::string& out) {
  size_t pos = 0;
  while (pos < utf8.size()) {
    char32_t cp = DecodeUtf8(utf8, pos);
    if (cp >= 0x10000) {
      cp -= 0x10000;
      PutUnit(static_cast<char16_t>(0xD800 + (cp >> 10)), out);
      PutUnit(static_cast<char16_t>(0xDC00 + (cp & 0x3FF)), out);
    } else {
      PutUnit(static_cast<char16_t>(cp), out);
    }
  }
}

std::string Utf16LeToUtf8(std::string_view bytes) {
  std::string out;
  out.reserve(bytes.size() / 2);
  size_t i = 0;
  auto unit_at = [&](size_t k) {
    return static_cast<char16_t>(static_cast<unsigned char>(bytes[k]) |
                                 (static_cast<unsigned char>(bytes[k + 1]) << 8));
  };
  if (bytes.size() >= 2 && unit_at(0) == 0xFEFF) i = 2;
  for (; i + 1 < bytes.size(); i += 2) {
    char16_t unit = unit_at(i);
    if (unit >= 0xD800 && unit <= 0xDBFF && i + 3 < bytes.size()) {
      char16_t low = unit_at(i + 2);
      if (low >= 0xDC00 && low <= 0xDFFF) {
        AppendUtf8(0x10000 + ((unit - 0xD800) << 10) + (low - 0xDC00), out);
        i += 2;
        continue;
      }
    }
    AppendUtf8(unit >= 0xD800 && unit <= 0xDFFF ? kReplacement : unit, out);
  }
  return out;
}

CStdioFileEx::~CStdioFileEx() {
  Close();
}

bool CStdioFileEx::Open(const std::filesystem::path& path, OpenMode mode) {
  Close();
  failed_ = false;
  file_ = std::fopen(path.c_str(), mode == OpenMode::kCreate ? "wb" : "ab");
  if (file_ == nullptr) return false;
  std::fseek(file_, 0, SEEK_END);
  needs_bom_ = std::ftell(file_) == 0;
  return true;
}

bool CStdioFileEx::WriteString(std::string_view utf8) {
  if (file_ == nullptr) return false;
  // Converts through a fixed buffer so that long exports do not allocate per line.
  std::array<char, 1024> buffer;
  size_t fill = 0;
  auto flush = [&] {
    if (fill > 0 && std::fwrite(buffer.data(), 1, fill, file_) != fill) failed_ = true;
    fill = 0;
  };
  auto put = [&](char16_t unit) {
    if (fill + 2 > buffer.size()) flush();
    buffer[fill++] = static_cast<char>(unit & 0xFF);
    buffer[fill++] = static_cast<char>(unit >> 8);
  };
  if (needs_bom_) {
    put(0xFEFF);
    needs_bom_ = false;
  }
  size_t pos = 0;
  while (pos < utf8.size()) {
    unsigned char c = static_cast<unsigned char>(utf8[pos]);
    if (c < 0x80) {
      put(c);
      ++pos;
      continue;
    }
    char32_t cp = DecodeUtf8(utf8, pos);
    if (cp >= 0x10000) {
      cp -= 0x10000;
      put(static_cast<char16_t>(0xD800 + (cp >> 10)));
      put(static_cast<char16_t>(0xDC00 + (cp & 0x3FF)));
    } else {
      put(static_cast<char16_t>(cp));
    }
  }
  flush();
  return !failed_;
}

bool CStdioFileEx::Close() {
  if (file_ == nullptr) return !failed_;
  bool ok = std::fflush(file_) == 0;
  ok = std::fclose(file_) == 0 && ok;
  file_ = nullptr;
  return ok && !failed_;
}

std::optional<std::string> CStdioFileEx::ReadAll(const std::filesystem::path& path) {
  std::ifstream in(path, std::ios::binary);
  if (!in) return std::nullopt;
  std::ostringstream buffer;
  buffer << in.rdbuf();
  return Utf16LeToUtf8(buffer.str());
}

}  // namespace kr
