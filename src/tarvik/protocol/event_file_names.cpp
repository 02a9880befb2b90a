#include "tarvik/protocol/event_file_names.h"

#include <algorithm>
#include <cstdio>
#include <cstring>

#include "krcommon/string_table.h"
#include "krcommon/text_util.h"

namespace tarvik {

namespace {

constexpr std::size_t kMaxNamePart = 64;

}  // namespace

std::string SanitiseFileNamePart(std::string_view text) {
  std::string result;
  result.reserve(std::min(text.size(), kMaxNamePart));
  for (const char c : text) {
    const auto byte = static_cast<unsigned char>(c);
    const bool unsafe = byte < 0x20 || byte == 0x7F || std::strchr("/\\*?<>|:\"", c) != nullptr;
    // A second point in a row would make ".." out of recorder text.
    const bool double_point = c == '.' && !result.empty() && result.back() == '.';
    result.push_back(unsafe || double_point ? '_' : c);
  }
  const std::size_t first = result.find_first_not_of(" .");
  result.erase(0, first == std::string::npos ? result.size() : first);
  if (result.size() > kMaxNamePart) result.resize(kMaxNamePart);
  return result;
}

std::string SanitisedPrefix(std::string_view prefix) {
  const std::size_t slash = prefix.find_last_of('/');
  if (slash == std::string_view::npos) return SanitiseFileNamePart(prefix);
  std::string result(prefix.substr(0, slash + 1));
  result += SanitiseFileNamePart(prefix.substr(slash + 1));
  return result;
}

std::string DateTimeEventFileName(std::string_view prefix, std::string_view station, const kr::DateTime& time,
                                  std::string_view extension) {
  char year[8], month[8], day[8], clock[16];
  std::snprintf(year, sizeof year, "%02d", ((time.year % 100) + 100) % 100);
  std::snprintf(month, sizeof month, "%02d", time.month % 100);
  std::snprintf(day, sizeof day, "%02d", time.day % 100);
  std::snprintf(clock, sizeof clock, "%02d%02d%02d", time.hour % 100, time.minute % 100, time.second % 100);
  return kr::FormatPrintf("%s%s-20%s%s%s%s.%s", SanitisedPrefix(prefix).c_str(),
                          SanitiseFileNamePart(station).c_str(), year, month, day, clock,
                          kr::ToLowerAscii(extension).c_str());
}

std::string RecorderNumericEventFileName(std::string_view prefix, int recorder, int file_number,
                                         std::string_view extension) {
  return kr::FormatPrintf("%s%2.2d%3.3d.%s", SanitisedPrefix(prefix).c_str(), recorder, file_number,
                          kr::ToLowerAscii(extension).c_str());
}

std::string NumericEventFileName(std::string_view prefix, int file_number, std::string_view extension) {
  return kr::FormatPrintf("%s%3.3d.%s", SanitisedPrefix(prefix).c_str(), file_number,
                          kr::ToLowerAscii(extension).c_str());
}

std::string SecondPartFileName(std::string_view first) {
  const std::size_t point = first.find_last_of('.');
  const std::size_t slash = first.find_last_of('/');
  if (point == std::string_view::npos || (slash != std::string_view::npos && point < slash)) {
    return std::string(first) + "_2";
  }
  std::string result(first.substr(0, point));
  result += "_2";
  result += first.substr(point);
  return result;
}

std::string TemporaryFileName(std::string_view final_name) {
  return std::string(final_name) + ".part";
}

}  // namespace tarvik
