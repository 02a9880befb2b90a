#include "krcommon/string_table.h"

#include <algorithm>
#include <cstdarg>

namespace kr {

namespace {

std::string FormatV(const char* format, va_list args) {
  va_list copy;
  va_copy(copy, args);
  int needed = std::vsnprintf(nullptr, 0, format, copy);
  va_end(copy);
  if (needed <= 0) return {};
  std::string out(static_cast<size_t>(needed), '\0');
  std::vsnprintf(out.data(), out.size() + 1, format, args);
  return out;
}

}  // namespace

Language LanguageFromSetting(int value) {
  switch (value) {
    case 1:
      return Language::kGerman;
    case 3:
      return Language::kChinese;
    default:
      return Language::kEnglish;
  }
}

std::string FormatPrintf(const char* format, ...) {
  va_list args;
  va_start(args, format);
  std::string out = FormatV(format, args);
  va_end(args);
  return out;
}

// The same as FormatPrintf, for formats that come from a string table at run time.
std::string FormatPrintfRuntime(const char* format, ...) {
  va_list args;
  va_start(args, format);
  std::string out = FormatV(format, args);
  va_end(args);
  return out;
}

StringTable::StringTable(std::initializer_list<std::span<const StringEntry>> parts) {
  for (const auto& part : parts) entries_.insert(entries_.end(), part.begin(), part.end());
  std::sort(entries_.begin(), entries_.end(),
            [](const StringEntry& a, const StringEntry& b) { return a.id < b.id; });
}

const StringEntry* StringTable::Find(int id) const {
  auto it = std::lower_bound(entries_.begin(), entries_.end(), id,
                             [](const StringEntry& e, int value) { return e.id < value; });
  return it != entries_.end() && it->id == id ? &*it : nullptr;
}

std::string StringTable::Text(int id) const {
  const StringEntry* entry = Find(id);
  if (entry == nullptr) return "#" + std::to_string(id);
  const char* text = entry->english;
  if (language_ == Language::kGerman && entry->german != nullptr) text = entry->german;
  if (language_ == Language::kChinese && entry->chinese != nullptr) text = entry->chinese;
  return text != nullptr ? text : "";
}

}  // namespace kr
