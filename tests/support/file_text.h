#pragma once

#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>

namespace kr_test {

// The bytes of a file as a string ("" when it cannot be read).
inline std::string ReadAll(const std::filesystem::path& path) {
  std::ifstream file(path, std::ios::binary);
  std::ostringstream text;
  text << file.rdbuf();
  return text.str();
}

// Writes `text` as the whole file, byte for byte.
inline void WriteText(const std::filesystem::path& path, const std::string& text) {
  std::ofstream file(path, std::ios::binary | std::ios::trunc);
  file << text;
}

}  // namespace kr_test
