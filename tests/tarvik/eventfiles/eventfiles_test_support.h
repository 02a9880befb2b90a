#pragma once

#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "tarvik/uiport/ui_port.h"

namespace kr_test {

// Records the messages instead of showing them.
class FakeUi final : public tarvik::UiPort {
 public:
  tarvik::MessageAnswer ShowMessage(int string_id, const std::string& text, tarvik::MessageIcon,
                                    tarvik::MessageButtons) override {
    ids.push_back(string_id);
    texts.push_back(text);
    return tarvik::MessageAnswer::kOk;
  }
  std::vector<int> ids;
  std::vector<std::string> texts;
};

// A fresh folder per test, removed afterwards.
class ScratchDir {
 public:
  ScratchDir() {
    const ::testing::TestInfo* info = ::testing::UnitTest::GetInstance()->current_test_info();
    path_ =
        std::filesystem::temp_directory_path() / (std::string("kr_eventfiles_") + info->test_suite_name() +
                                                  "_" + info->name() + "_" + std::to_string(::getpid()));
    std::filesystem::remove_all(path_);
    std::filesystem::create_directories(path_);
  }
  ~ScratchDir() {
    std::error_code error;
    std::filesystem::remove_all(path_, error);
  }
  const std::filesystem::path& path() const { return path_; }
  std::filesystem::path operator/(const std::string& name) const { return path_ / name; }

 private:
  std::filesystem::path path_;
};

inline std::string RunAndCapture(const std::string& command, int* status = nullptr) {
  std::string output;
  FILE* pipe = ::popen(command.c_str(), "r");
  if (pipe == nullptr) return output;
  char buffer[4096];
  size_t got;
  while ((got = std::fread(buffer, 1, sizeof buffer, pipe)) > 0) output.append(buffer, got);
  int rc = ::pclose(pipe);
  if (status != nullptr) *status = rc;
  return output;
}

inline std::string ReadBytes(const std::filesystem::path& path) {
  std::ifstream in(path, std::ios::binary);
  std::ostringstream text;
  text << in.rdbuf();
  return text.str();
}

// Decodes an exported text file with Python, independently of the program: the file must start with
// the UTF-16LE byte-order mark, hold no second one, and end its lines with CR LF only. The text comes
// back as UTF-8 with "\n" line ends; a broken file comes back as "DECODE FAILED: <reason>".
inline std::string DecodeWithPython(const std::filesystem::path& path) {
  const std::string script =
      "import sys\n"
      "b = open(sys.argv[1], 'rb').read()\n"
      "if b == b'': sys.stdout.write(''); sys.exit(0)\n"
      "assert b[:2] == b'\\xff\\xfe', 'no BOM'\n"
      "t = b[2:].decode('utf-16-le')\n"
      "assert '\\ufeff' not in t, 'second BOM'\n"
      "assert '\\r' not in t.replace('\\r\\n', ''), 'CR without LF'\n"
      "assert '\\n' not in t.replace('\\r\\n', ''), 'LF without CR'\n"
      "sys.stdout.buffer.write(t.replace('\\r\\n', '\\n').encode('utf-8'))\n";
  std::filesystem::path script_path = path.parent_path() / "decode_utf16.py";
  {
    std::ofstream out(script_path, std::ios::trunc);
    out << script;
  }
  int status = 0;
  std::string text =
      RunAndCapture("python3 '" + script_path.string() + "' '" + path.string() + "' 2>&1", &status);
  if (status != 0) return "DECODE FAILED: " + text;
  return text;
}

// The same checks in a few lines of C++, for the many tests that only need the text: BOM once at the
// start, CR LF only, UTF-16LE code units (surrogate pairs included) to UTF-8.
inline std::string DecodeUtf16File(const std::filesystem::path& path) {
  std::string bytes = ReadBytes(path);
  if (bytes.empty()) return "";
  if (bytes.size() % 2 != 0) return "DECODE FAILED: odd length";
  std::u32string units;
  for (std::size_t i = 0; i < bytes.size(); i += 2) {
    units.push_back(static_cast<unsigned char>(bytes[i]) | (static_cast<unsigned char>(bytes[i + 1]) << 8));
  }
  if (units[0] != 0xFEFF) return "DECODE FAILED: no BOM";
  std::string out;
  for (std::size_t i = 1; i < units.size(); ++i) {
    char32_t c = units[i];
    if (c == 0xFEFF) return "DECODE FAILED: second BOM";
    if (c == '\r') {
      if (i + 1 >= units.size() || units[i + 1] != '\n') return "DECODE FAILED: CR without LF";
      continue;
    }
    if (c == '\n' && (i == 1 || units[i - 1] != '\r')) return "DECODE FAILED: LF without CR";
    if (c >= 0xD800 && c <= 0xDBFF && i + 1 < units.size()) {
      c = 0x10000 + ((c - 0xD800) << 10) + (units[++i] - 0xDC00);
    }
    if (c < 0x80) {
      out.push_back(static_cast<char>(c));
    } else if (c < 0x800) {
      out.push_back(static_cast<char>(0xC0 | (c >> 6)));
      out.push_back(static_cast<char>(0x80 | (c & 0x3F)));
    } else if (c < 0x10000) {
      out.push_back(static_cast<char>(0xE0 | (c >> 12)));
      out.push_back(static_cast<char>(0x80 | ((c >> 6) & 0x3F)));
      out.push_back(static_cast<char>(0x80 | (c & 0x3F)));
    } else {
      out.push_back(static_cast<char>(0xF0 | (c >> 18)));
      out.push_back(static_cast<char>(0x80 | ((c >> 12) & 0x3F)));
      out.push_back(static_cast<char>(0x80 | ((c >> 6) & 0x3F)));
      out.push_back(static_cast<char>(0x80 | (c & 0x3F)));
    }
  }
  return out;
}

inline int CountLines(const std::string& text) {
  int lines = 0;
  for (char c : text) lines += c == '\n';
  return lines;
}

}  // namespace kr_test
