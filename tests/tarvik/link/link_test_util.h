#pragma once

#include <chrono>
#include <cstdint>
#include <functional>
#include <mutex>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

#include "kr_version.h"
#include "tarvik/link/link_layer.h"

namespace tarvik::test {

// The ring's lines, oldest first, read under the channel lock.
inline std::vector<std::string> TraceLines(LinkLayer& link, std::uint16_t channel = 0) {
  std::string text;
  {
    std::lock_guard lock(*link.ChannelMutex(channel));
    link.TraceAppendToText(text, channel);
  }
  std::vector<std::string> lines;
  std::size_t start = 0;
  for (std::size_t end; (end = text.find("\r\n", start)) != std::string::npos; start = end + 2) {
    lines.push_back(text.substr(start, end - start));
  }
  return lines;
}

inline bool HasLine(LinkLayer& link, const std::string& line) {
  for (const std::string& l : TraceLines(link)) {
    if (l == line) return true;
  }
  return false;
}

// Checks the condition until it holds or a generous deadline passes.
inline bool WaitFor(const std::function<bool()>& condition,
                    std::chrono::milliseconds deadline = std::chrono::seconds(10)) {
  const auto end = std::chrono::steady_clock::now() + deadline;
  while (!condition()) {
    if (std::chrono::steady_clock::now() > end) return false;
    std::this_thread::sleep_for(std::chrono::milliseconds(1));
  }
  return true;
}

inline std::string AppPrefix() {
  return std::string("[Tarvik V") + kr::kAppVersion;
}

}  // namespace tarvik::test
