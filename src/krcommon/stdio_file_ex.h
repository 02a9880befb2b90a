#pragma once

#include <cstdio>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>

namespace kr {

// The text-file class for files operators pass on: UTF-16 little-endian with a byte-order mark,
// written on the first write to an empty file. Text is handed in as UTF-8 and written as is: callers
// put "\r\n" themselves, nothing is translated.
class CStdioFileEx {
 public:
  enum class OpenMode { kCreate, kAppend };

  CStdioFileEx() = default;
  ~CStdioFileEx();
  CStdioFileEx(const CStdioFileEx&) = delete;
  CStdioFileEx& operator=(const CStdioFileEx&) = delete;

  bool Open(const std::filesystem::path& path, OpenMode mode);
  bool IsOpen() const { return file_ != nullptr; }
  // Converts and writes; false once any write failed.
  bool WriteString(std::string_view utf8);
  // Flushes and closes; false when a write or the close failed.
  bool Close();

  // Reads a whole UTF-16LE file (BOM optional) into UTF-8; nullopt when unreadable.
  static std::optional<std::string> ReadAll(const std::filesystem::path& path);

 private:
  std::FILE* file_ = nullptr;
  bool needs_bom_ = false;
  bool failed_ = false;
};

// UTF-8 to UTF-16LE bytes appended to out; invalid sequences become U+FFFD.
void AppendUtf16Le(std::string_view utf8, std::string& out);
// UTF-16LE bytes to UTF-8; unpaired surrogates become U+FFFD.
std::string Utf16LeToUtf8(std::string_view bytes);

}  // namespace kr
