#pragma once

#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace tarvik {

// The command line of Tarvik:
//   tarvik [connection file] [/i script] [/o output] [/m] [/d] [/l] [/q] [/?]
// Options start with "/" or "-"; the next word that does not is the option's parameter, except
// after the switches m, d, l, q, ?, h and help, which take none (that word stays a parameter on its
// own, such as the connection file). Options are compared exactly (lower case); unknown ones are
// ignored together with their parameter.
//
// A whole command line (FromLine) is trimmed, split at blanks, and a word that starts with a double
// quote is joined with the following words (one blank between) up to one that ends with a double
// quote; the quotes are removed. The first word is the program and is skipped.
//
// From argv (FromArgv) the shell has already split and unquoted the words, so each argument is one
// word as it stands, blanks included; only an argument that still starts with a double quote (quotes
// passed through literally, as Windows-style scripts do) is joined with the following ones as above.
//
// Since absolute paths on this system start with "/", a word that starts with "/" counts as an
// option only when the rest is a plain option name (letters and "?", no "/" or "."); so
// "/home/op/site.krc" is a parameter while "/i" and "/help" are options.
class CCommandLine {
 public:
  struct Item {
    std::string option;     // empty for a parameter on its own
    std::string parameter;  // empty when the option has none
  };

  CCommandLine() = default;
  static CCommandLine FromLine(std::string_view line);
  static CCommandLine FromArgv(int argc, const char* const* argv);

  // The (option, parameter) pairs in order, after the program word.
  const std::vector<Item>& items() const { return items_; }

  const std::string& connection_file() const { return connection_file_; }
  const std::string& script_file() const { return script_file_; }
  const std::string& output_file() const { return output_file_; }
  bool minimized() const { return minimized_; }
  bool direct_link() const { return direct_link_; }
  bool no_relogin() const { return no_relogin_; }
  bool quit_at_end() const { return quit_at_end_; }
  bool show_help() const { return show_help_; }

 private:
  static CCommandLine FromWords(std::vector<std::string> words);
  void Apply(const Item& item);

  std::vector<Item> items_;
  std::string connection_file_;
  std::string script_file_;
  std::string output_file_;
  bool minimized_ = false;
  bool direct_link_ = false;
  bool no_relogin_ = false;
  bool quit_at_end_ = false;
  bool show_help_ = false;
};

}  // namespace tarvik
