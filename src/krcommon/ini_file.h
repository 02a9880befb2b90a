#pragma once

#include <filesystem>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace kr {

// A private profile (INI) file as operators edit it by hand: sections and keys are found without
// regard to case, their order is kept, comments and lines we do not understand survive a rewrite,
// values are trimmed and lose one pair of surrounding quotes.
class IniFile {
 public:
  using KeyValue = std::pair<std::string, std::string>;

  IniFile() = default;

  static IniFile Parse(std::string_view text);
  // False when the file is missing or unreadable; the object is then empty.
  bool Load(const std::filesystem::path& path);
  // Writes the whole file; false when it cannot be written.
  bool Save(const std::filesystem::path& path) const;
  std::string ToText() const;

  bool HasSection(std::string_view section) const;
  bool HasKey(std::string_view section, std::string_view key) const;
  std::vector<std::string> SectionNames() const;
  // The key/value pairs of a section, in file order.
  std::vector<KeyValue> Section(std::string_view section) const;

  std::string GetString(std::string_view section, std::string_view key, std::string_view fallback) const;
  // Integer reading as the classic profile API does it: a missing key gives the fallback; a present
  // value gives its leading optionally signed decimal digits, and 0 when there are none.
  int GetInt(std::string_view section, std::string_view key, int fallback) const;

  // Replaces the value in place, or appends the key to its section (creating the section at the end).
  void SetString(std::string_view section, std::string_view key, std::string_view value);
  void SetInt(std::string_view section, std::string_view key, int value);
  void RemoveKey(std::string_view section, std::string_view key);
  // Replaces all key lines of a section by the given list, in that order; comments stay.
  void WriteSection(std::string_view section, const std::vector<KeyValue>& entries);

 private:
  struct Line {
    enum class Kind { kOther, kSection, kKey } kind = Kind::kOther;
    std::string text;   // the line as read, for kOther and kSection
    std::string name;   // section or key name
    std::string value;  // raw value text after '=' (trimmed, quotes kept)
  };

  int FindSection(std::string_view section) const;
  int SectionEnd(int section_line) const;
  int FindKey(int section_line, std::string_view key) const;
  int AppendSection(std::string_view section);

  std::vector<Line> lines_;
  std::string newline_ = "\r\n";
};

}  // namespace kr
