#include "krcommon/ini_file.h"

#include <algorithm>
#include <cctype>
#include <fstream>
#include <sstream>

#include "krcommon/text_util.h"

namespace kr {

namespace {

std::string_view Unquote(std::string_view value) {
  if (value.size() >= 2 && (value.front() == '"' || value.front() == '\'') && value.back() == value.front()) {
    return value.substr(1, value.size() - 2);
  }
  return value;
}

}  // namespace

IniFile IniFile::Parse(std::string_view text) {
  IniFile ini;
  // The file keeps the line end of its first line.
  size_t first_break = text.find('\n');
  if (first_break != std::string_view::npos && (first_break == 0 || text[first_break - 1] != '\r')) {
    ini.newline_ = "\n";
  }
  size_t pos = 0;
  while (pos < text.size()) {
    size_t end = text.find('\n', pos);
    if (end == std::string_view::npos) end = text.size();
    std::string_view raw = text.substr(pos, end - pos);
    pos = end + 1;
    while (!raw.empty() && raw.back() == '\r') raw.remove_suffix(1);

    Line line;
    line.text = std::string(raw);
    std::string_view trimmed = Trim(raw);
    if (!trimmed.empty() && trimmed.front() == '[') {
      size_t close = trimmed.find(']');
      if (close != std::string_view::npos) {
        line.kind = Line::Kind::kSection;
        line.name = std::string(Trim(trimmed.substr(1, close - 1)));
      }
    } else if (!trimmed.empty() && trimmed.front() != ';' && trimmed.front() != '#') {
      size_t eq = trimmed.find('=');
      if (eq != std::string_view::npos && eq > 0) {
        line.kind = Line::Kind::kKey;
        line.name = std::string(Trim(trimmed.substr(0, eq)));
        line.value = std::string(Trim(trimmed.substr(eq + 1)));
      }
    }
    ini.lines_.push_back(std::move(line));
  }
  return ini;
}

bool IniFile::Load(const std::filesystem::path& path) {
  std::ifstream in(path, std::ios::binary);
  if (!in) {
    *this = IniFile();
    return false;
  }
  std::ostringstream buffer;
  buffer << in.rdbuf();
  *this = Parse(buffer.str());
  return true;
}

bool IniFile::Save(const std::filesystem::path& path) const {
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  if (!out) return false;
  out << ToText();
  out.flush();
  return static_cast<bool>(out);
}

std::string IniFile::ToText() const {
  std::string text;
  for (const Line& line : lines_) {
    if (line.kind == Line::Kind::kKey) {
      text += line.name + "=" + line.value;
    } else {
      text += line.text;
    }
    text += newline_;
  }
  return text;
}

int IniFile::FindSection(std::string_view section) const {
  for (size_t i = 0; i < lines_.size(); ++i) {
    if (lines_[i].kind == Line::Kind::kSection && EqualsNoCase(lines_[i].name, section)) {
      return static_cast<int>(i);
    }
  }
  return -1;
}

int IniFile::SectionEnd(int section_line) const {
  size_t i = static_cast<size_t>(section_line) + 1;
  while (i < lines_.size() && lines_[i].kind != Line::Kind::kSection) ++i;
  return static_cast<int>(i);
}

int IniFile::FindKey(int section_line, std::string_view key) const {
  if (section_line < 0) return -1;
  int end = SectionEnd(section_line);
  for (int i = section_line + 1; i < end; ++i) {
    if (lines_[i].kind == Line::Kind::kKey && EqualsNoCase(lines_[i].name, key)) return i;
  }
  return -1;
}

int IniFile::AppendSection(std::string_view section) {
  Line line;
  line.kind = Line::Kind::kSection;
  line.name = std::string(section);
  line.text = "[" + line.name + "]";
  lines_.push_back(std::move(line));
  return static_cast<int>(lines_.size()) - 1;
}

bool IniFile::HasSection(std::string_view section) const {
  return FindSection(section) >= 0;
}

bool IniFile::HasKey(std::string_view section, std::string_view key) const {
  return FindKey(FindSection(section), key) >= 0;
}

std::vector<std::string> IniFile::SectionNames() const {
  std::vector<std::string> names;
  for (const Line& line : lines_) {
    if (line.kind == Line::Kind::kSection) names.push_back(line.name);
  }
  return names;
}

std::vector<IniFile::KeyValue> IniFile::Section(std::string_view section) const {
  std::vector<KeyValue> entries;
  int start = FindSection(section);
  if (start < 0) return entries;
  int end = SectionEnd(start);
  for (int i = start + 1; i < end; ++i) {
    if (lines_[i].kind == Line::Kind::kKey) {
      entries.emplace_back(lines_[i].name, std::string(Unquote(lines_[i].value)));
    }
  }
  return entries;
}

std::string IniFile::GetString(std::string_view section, std::string_view key,
                               std::string_view fallback) const {
  int line = FindKey(FindSection(section), key);
  if (line < 0) return std::string(fallback);
  return std::string(Unquote(lines_[line].value));
}

int IniFile::GetInt(std::string_view section, std::string_view key, int fallback) const {
  int line = FindKey(FindSection(section), key);
  if (line < 0) return fallback;
  return LeadingInt(Unquote(lines_[line].value));
}

void IniFile::SetString(std::string_view section, std::string_view key, std::string_view value) {
  int start = FindSection(section);
  if (start < 0) start = AppendSection(section);
  int line = FindKey(start, key);
  if (line >= 0) {
    lines_[line].value = std::string(value);
    return;
  }
  // New keys go after the last key of the section, so trailing blank lines and comments stay put.
  int insert_at = start + 1;
  int end = SectionEnd(start);
  for (int i = start + 1; i < end; ++i) {
    if (lines_[i].kind == Line::Kind::kKey) insert_at = i + 1;
  }
  Line entry;
  entry.kind = Line::Kind::kKey;
  entry.name = std::string(key);
  entry.value = std::string(value);
  lines_.insert(lines_.begin() + insert_at, std::move(entry));
}

void IniFile::SetInt(std::string_view section, std::string_view key, int value) {
  SetString(section, key, std::to_string(value));
}

void IniFile::RemoveKey(std::string_view section, std::string_view key) {
  int line = FindKey(FindSection(section), key);
  if (line >= 0) lines_.erase(lines_.begin() + line);
}

void IniFile::WriteSection(std::string_view section, const std::vector<KeyValue>& entries) {
  int start = FindSection(section);
  if (start < 0) start = AppendSection(section);
  // The new keys take the place of the first old one, so comments above the keys stay above them.
  int end = SectionEnd(start);
  int insert_at = end;
  for (int i = end - 1; i > start; --i) {
    if (lines_[i].kind != Line::Kind::kKey) continue;
    lines_.erase(lines_.begin() + i);
    insert_at = i;
  }
  for (const auto& [key, value] : entries) {
    Line entry;
    entry.kind = Line::Kind::kKey;
    entry.name = key;
    entry.value = value;
    lines_.insert(lines_.begin() + insert_at++, std::move(entry));
  }
}

}  // namespace kr
