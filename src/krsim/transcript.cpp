#include "krsim/transcript.h"

#include <chrono>
#include <ctime>

#include "krsim/frame_codec.h"

namespace krsim {

Transcript::~Transcript() {
  if (file_ != nullptr) std::fclose(file_);
}

bool Transcript::Open(const std::filesystem::path& path) {
  if (file_ != nullptr) std::fclose(file_);
  file_ = std::fopen(path.c_str(), "w");
  return file_ != nullptr;
}

void Transcript::Received(std::string_view bytes) {
  Line("RX", Printable(bytes));
}

void Transcript::Sent(std::string_view bytes) {
  Line("TX", Printable(bytes));
}

void Transcript::Note(std::string_view text) {
  Line("--", text);
}

void Transcript::Line(std::string_view tag, std::string_view text) {
  if (file_ == nullptr) return;
  const auto now = std::chrono::system_clock::now();
  const std::time_t seconds = std::chrono::system_clock::to_time_t(now);
  const auto millis =
      std::chrono::duration_cast<std::chrono::milliseconds>(now.time_since_epoch()).count() % 1000;
  std::tm local{};
  localtime_r(&seconds, &local);
  std::fprintf(file_, "%02d:%02d:%02d.%03d %.*s %.*s\n", local.tm_hour, local.tm_min, local.tm_sec,
               static_cast<int>(millis), static_cast<int>(tag.size()), tag.data(),
               static_cast<int>(text.size()), text.data());
  // Flushed line by line: the transcript is read while the simulator runs, and must survive a kill.
  std::fflush(file_);
}

}  // namespace krsim
