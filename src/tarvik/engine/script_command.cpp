#include "tarvik/engine/script_command.h"

#include <array>
#include <cctype>

#include "krcommon/text_util.h"

namespace tarvik {

namespace {

struct Keyword {
  std::string_view word;
  ScriptCommandKind kind;
};

constexpr std::array kKeywords = {
    Keyword{"TransferLastFile", ScriptCommandKind::kTransferLastFile},
    Keyword{"TraceOn", ScriptCommandKind::kTraceOn},
    Keyword{"TransformFile", ScriptCommandKind::kTransformFile},
    Keyword{"WaitOnNewFile", ScriptCommandKind::kWaitOnNewFile},
    Keyword{"GoTo", ScriptCommandKind::kGoTo},
    Keyword{"IsLastFile", ScriptCommandKind::kIsLastFile},
};

// The decimal number that starts `text` (up to the next blank), 0 when there is none.
int NumberToBlank(std::string_view text) {
  const std::size_t blank = text.find(' ');
  return kr::LeadingInt(text.substr(0, blank));
}

}  // namespace

ScriptCommand InterpretScriptCommand(std::string_view command) {
  // An output line may mention a keyword ("::TransferLastFile done"); it is text, not a command.
  if (!command.empty() && command.front() == ':') {
    return {ScriptCommandKind::kOutput, std::string(command.substr(1)) + "\r\n"};
  }
  for (const Keyword& keyword : kKeywords) {
    const std::size_t at = command.find(keyword.word);
    if (at == std::string_view::npos) continue;
    std::string rest(command.substr(0, at));
    rest += command.substr(at + keyword.word.size());
    return {keyword.kind, std::string(kr::Trim(rest))};
  }
  return {ScriptCommandKind::kFreeForm, std::string(command)};
}

bool ScriptTraceValue(std::string_view argument) {
  return kr::EqualsNoCase(argument, "TRUE") || argument == "1";
}

int ScriptEventNumber(std::string_view argument) {
  const std::optional<int> number = kr::ParseWholeInt(kr::Trim(argument));
  return number && *number >= 1 && *number <= 255 ? *number : 0;
}

int ScriptJump(std::string_view argument) {
  return kr::LeadingInt(argument);
}

IsLastFileArguments ParseIsLastFile(std::string_view argument) {
  int values[3] = {0, 0, 0};
  std::size_t at = 0;
  for (int& value : values) {
    while (at < argument.size() && argument[at] == ' ') ++at;
    if (at >= argument.size()) break;
    const std::size_t end = argument.find(' ', at);
    value = kr::LeadingInt(argument.substr(at, end == std::string_view::npos ? end : end - at));
    at = end == std::string_view::npos ? argument.size() : end;
  }
  return {values[0], values[1], values[2]};
}

void ApplyTransformLetters(std::string_view letters, ExportOptions& options) {
  std::size_t i = 0;
  while (i < letters.size()) {
    const char letter = static_cast<char>(std::toupper(static_cast<unsigned char>(letters[i])));
    const bool plus = i + 1 < letters.size() && letters[i + 1] == '+';
    int* flag = nullptr;
    switch (letter) {
      case 'H':
        flag = &options.Header;
        break;
      case 'D':
        flag = &options.Data;
        break;
      case 'P':
        flag = &options.ChannelMinMax;
        break;
      case 'A':
        flag = &options.Average;
        break;
      case 'R':
        flag = &options.RootMeasSquare;
        break;
      case 'I':
        flag = &options.NotLSB;
        break;
      case 'T':
        flag = &options.TimeInformation;
        break;
      case 'N':
        options.Interpreted = plus ? 0 : 1;
        i += 2;
        continue;
      default:
        break;
    }
    if (flag != nullptr) {
      *flag = plus ? 1 : 0;
      i += 2;
      continue;
    }
    const std::string_view rest = letters.substr(i + 1);
    switch (letter) {
      case 'F':
        options.FirstSamples = NumberToBlank(rest);
        options.Trim = options.TrimFirstLast = 1;
        break;
      case 'L':
        options.LastSamples = NumberToBlank(rest);
        options.Trim = options.TrimFirstLast = 1;
        break;
      case 'C':
        options.Include = NumberToBlank(rest);
        options.Trim = 1;
        options.TrimFirstLast = 0;
        break;
      case 'B':
        options.IgnoreFirst = NumberToBlank(rest);
        break;
      default:
        ++i;
        continue;
    }
    const std::size_t blank = letters.find(' ', i);
    i = blank == std::string_view::npos ? letters.size() : blank;
  }
}

}  // namespace tarvik
