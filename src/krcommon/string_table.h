#pragma once

#include <cstdio>
#include <initializer_list>
#include <span>
#include <string>
#include <string_view>
#include <type_traits>
#include <vector>

namespace kr {

// User-interface languages, by the numbers the settings files store.
enum class Language { kEnglish = 0, kGerman = 1, kChinese = 3 };

// Any stored number other than 1 or 3 means English.
Language LanguageFromSetting(int value);

// One text of a string table in every language, keyed by the numeric id the programs have always
// used (message 212, string 379, ...). A program without a language leaves that text null.
struct StringEntry {
  int id;
  const char* english;
  const char* german;
  const char* chinese;
};

// printf-style formatting into a std::string; std::string arguments are passed as C strings.
std::string FormatPrintf(const char* format, ...) __attribute__((format(printf, 1, 2)));
std::string FormatPrintfRuntime(const char* format, ...);

class StringTable {
 public:
  // The parts are merged once; ids must be unique across all parts.
  explicit StringTable(std::initializer_list<std::span<const StringEntry>> parts);

  void SetLanguage(Language language) { language_ = language; }
  Language language() const { return language_; }

  bool Has(int id) const { return Find(id) != nullptr; }
  // The text in the current language, falling back to English; "#<id>" for an unknown id so that a
  // missing entry is visible instead of silently empty.
  std::string Text(int id) const;

  // The table text filled with the arguments, printf-style, exactly as the text reads.
  template <typename... Args>
  std::string Format(int id, const Args&... args) const {
    std::string format = Text(id);
    return FormatPrintfRuntime(format.c_str(), PrintfArg(args)...);
  }

  const std::vector<StringEntry>& entries() const { return entries_; }

 private:
  template <typename T>
  static auto PrintfArg(const T& value) {
    if constexpr (std::is_same_v<T, std::string>) {
      return value.c_str();
    } else {
      return value;
    }
  }

  const StringEntry* Find(int id) const;

  std::vector<StringEntry> entries_;  // sorted by id
  Language language_ = Language::kEnglish;
};

}  // namespace kr
