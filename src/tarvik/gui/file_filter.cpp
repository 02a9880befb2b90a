#include "tarvik/gui/file_filter.h"

#include <sstream>

namespace tarvik {

namespace {

std::vector<std::string> Split(const std::string& text, char separator) {
  std::vector<std::string> parts;
  std::string part;
  std::istringstream in(text);
  while (std::getline(in, part, separator)) parts.push_back(part);
  return parts;
}

std::string Trim(const std::string& text) {
  const auto first = text.find_first_not_of(' ');
  if (first == std::string::npos) return {};
  return text.substr(first, text.find_last_not_of(' ') - first + 1);
}

}  // namespace

std::vector<std::string> QtNameFilters(const std::string& table_filter) {
  const std::vector<std::string> fields = Split(table_filter, '|');
  std::vector<std::string> filters;
  for (std::size_t i = 0; i + 1 < fields.size(); i += 2) {
    std::string name = fields[i];
    const auto bracket = name.find(" (");
    if (bracket != std::string::npos) name = name.substr(0, bracket);
    name = Trim(name);
    std::string patterns;
    for (const std::string& raw : Split(fields[i + 1], ';')) {
      std::string pattern = Trim(raw);
      if (pattern.empty()) continue;
      if (pattern == "*.*") pattern = "*";
      if (!patterns.empty()) patterns += ' ';
      patterns += pattern;
    }
    if (name.empty() || patterns.empty()) continue;
    filters.push_back(name + " (" + patterns + ")");
  }
  return filters;
}

std::string ResourceField(const std::string& text, int index) {
  const std::vector<std::string> fields = Split(text, '\n');
  if (index < 0 || static_cast<std::size_t>(index) >= fields.size()) return {};
  return fields[static_cast<std::size_t>(index)];
}

}  // namespace tarvik
