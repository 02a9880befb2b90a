#include "tarvik/app/command_line.h"

#include <cctype>

#include "krcommon/text_util.h"

namespace tarvik {

namespace {

bool IsBlank(char c) {
  return c == ' ' || c == '\t';
}

std::vector<std::string> SplitAtBlanks(std::string_view line) {
  std::vector<std::string> words;
  size_t pos = 0;
  while (pos < line.size()) {
    while (pos < line.size() && IsBlank(line[pos])) ++pos;
    size_t end = pos;
    while (end < line.size() && !IsBlank(line[end])) ++end;
    if (end > pos) words.emplace_back(line.substr(pos, end - pos));
    pos = end;
  }
  return words;
}

bool EndsQuote(const std::string& text) {
  return text.size() >= 2 && text.back() == '"';
}

// A word that starts with a double quote takes the following words up to one that ends with a double
// quote; the quotes go. An unmatched quote takes the rest of the line.
std::vector<std::string> JoinQuoted(const std::vector<std::string>& words) {
  std::vector<std::string> joined;
  for (size_t i = 0; i < words.size(); ++i) {
    std::string word = words[i];
    if (!word.starts_with('"')) {
      joined.push_back(std::move(word));
      continue;
    }
    while (!EndsQuote(word) && i + 1 < words.size()) word += " " + words[++i];
    word.erase(0, 1);
    if (!word.empty() && word.back() == '"') word.pop_back();
    joined.push_back(std::move(word));
  }
  return joined;
}

bool IsOptionName(std::string_view name) {
  for (char c : name) {
    if (!std::isalpha(static_cast<unsigned char>(c)) && c != '?') return false;
  }
  return true;
}

bool IsOption(const std::string& word) {
  if (word.starts_with('-')) return true;
  return word.starts_with('/') && IsOptionName(word.substr(1));
}

// The switches of the table take no parameter: the word after them is a parameter on its own, so
// "tarvik /m site.krc" still opens site.krc.
bool IsSwitch(const std::string& option) {
  return option == "m" || option == "d" || option == "l" || option == "q" || option == "?" || option == "h" ||
         option == "help";
}

std::string OptionName(const std::string& word) {
  std::string name = word.substr(1);
  if (name.size() >= 2 && name.front() == '"' && name.back() == '"') name = name.substr(1, name.size() - 2);
  return name;
}

}  // namespace

CCommandLine CCommandLine::FromLine(std::string_view line) {
  return FromWords(SplitAtBlanks(kr::Trim(line)));
}

CCommandLine CCommandLine::FromArgv(int argc, const char* const* argv) {
  std::vector<std::string> words;
  for (int i = 0; i < argc; ++i) {
    if (argv[i] != nullptr && argv[i][0] != '\0') words.emplace_back(argv[i]);
  }
  return FromWords(std::move(words));
}

CCommandLine CCommandLine::FromWords(std::vector<std::string> words) {
  words = JoinQuoted(words);
  CCommandLine command_line;
  for (size_t i = 1; i < words.size(); ++i) {
    Item item;
    if (IsOption(words[i])) {
      item.option = OptionName(words[i]);
      if (!IsSwitch(item.option) && i + 1 < words.size() && !IsOption(words[i + 1]))
        item.parameter = words[++i];
    } else {
      item.parameter = words[i];
    }
    command_line.Apply(item);
    command_line.items_.push_back(std::move(item));
  }
  return command_line;
}

void CCommandLine::Apply(const Item& item) {
  const std::string& option = item.option;
  if (option.empty()) {
    if (!item.parameter.empty() && connection_file_.empty()) connection_file_ = item.parameter;
  } else if (option == "i") {
    script_file_ = item.parameter;
  } else if (option == "o") {
    output_file_ = item.parameter;
  } else if (option == "m") {
    minimized_ = true;
  } else if (option == "d") {
    direct_link_ = true;
  } else if (option == "l") {
    no_relogin_ = true;
  } else if (option == "q") {
    quit_at_end_ = true;
  } else if (option == "?" || option == "h" || option == "help") {
    show_help_ = true;
  }
}

}  // namespace tarvik
