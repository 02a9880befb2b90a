#pragma once

#include <cstdio>
#include <filesystem>
#include <string>
#include <string_view>

namespace krsim {

// The simulator's own record of the line: every frame in and out with a time stamp, and notes on
// connections and faults. Without a file it records nothing.
//
//   12:04:31.207 RX (MN[80][b3])
//   12:04:31.209 TX *(3[80][cd])
//   12:04:33.018 TX block 1 (132 bytes)
//   12:04:33.020 -- fault: dropped reply
class Transcript {
 public:
  Transcript() = default;
  ~Transcript();
  Transcript(const Transcript&) = delete;
  Transcript& operator=(const Transcript&) = delete;

  // False when the file cannot be created.
  bool Open(const std::filesystem::path& path);
  bool IsOpen() const { return file_ != nullptr; }

  void Received(std::string_view bytes);
  void Sent(std::string_view bytes);
  void Note(std::string_view text);
  // A line with its own tag ("RX", "TX", "--") and text as it stands.
  void Line(std::string_view tag, std::string_view text);

 private:
  std::FILE* file_ = nullptr;
};

}  // namespace krsim
