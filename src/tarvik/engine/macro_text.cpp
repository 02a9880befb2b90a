#include "tarvik/engine/macro_text.h"

#include <cstdio>
#include <memory>

#include "krcommon/macro_cipher.h"
#include "krcommon/text_util.h"

namespace tarvik {

namespace {

constexpr int kMsgTooManyCommands = 432;
constexpr int kMsgCannotOpenFile = 433;
constexpr std::string_view kScriptPrefix = "Script:";

// Every "{{...}}" block becomes its clear text; a block that does not decipher sends nothing, and an
// unclosed "{{" stays as it is.
std::string ReplaceEncipheredBlocks(std::string_view text) {
  std::string out;
  out.reserve(text.size());
  std::size_t at = 0;
  while (at < text.size()) {
    const std::size_t open = text.find("{{", at);
    if (open == std::string_view::npos) break;
    const std::size_t close = text.find("}}", open + 2);
    if (close == std::string_view::npos) break;
    out.append(text.substr(at, open - at));
    if (auto clear = kr::DecipherMacroText(text.substr(open + 2, close - open - 2))) out += *clear;
    at = close + 2;
  }
  out.append(text.substr(std::min(at, text.size())));
  return out;
}

// Step 3 and 4: comments, layout characters and questions.
std::string StripAndAsk(std::string_view text, UiPort& ui) {
  std::string out;
  out.reserve(text.size());
  std::size_t i = 0;
  while (i < text.size()) {
    const char c = text[i];
    if (c == '/' && i + 1 < text.size() && text[i + 1] == '/') {
      while (i < text.size() && text[i] != '\n' && text[i] != '\r') ++i;
      continue;
    }
    if (c == '/' && i + 1 < text.size() && text[i + 1] == '*') {
      const std::size_t end = text.find("*/", i + 2);
      i = end == std::string_view::npos ? text.size() : end + 2;
      continue;
    }
    // Carriage returns go here as well as line feeds, so that blanks that indent the line after a
    // ";" line end count as blanks right after the ";".
    if (c == '\n' || c == '\r' || c == '\t') {
      ++i;
      continue;
    }
    if (c == ' ' && (out.empty() || out.back() == ';')) {
      ++i;
      continue;
    }
    if (c == '[') {
      const std::size_t close = text.find(']', i + 1);
      if (close != std::string_view::npos) {
        const std::string prompt(text.substr(i + 1, close - i - 1));
        if (auto answer = ui.AskMacroScriptQuestion(prompt + ":")) {
          out += *answer;
        } else {
          out.erase(out.size() - std::min<std::size_t>(3, out.size()));
        }
        i = close + 1;
        continue;
      }
    }
    out.push_back(c);
    ++i;
  }
  return out;
}

}  // namespace

std::optional<std::string> ReadScriptFile(const std::filesystem::path& path) {
  std::unique_ptr<std::FILE, int (*)(std::FILE*)> file(std::fopen(path.c_str(), "rb"), &std::fclose);
  if (!file) return std::nullopt;
  std::string bytes(kMaxScriptFileBytes, '\0');
  bytes.resize(std::fread(bytes.data(), 1, bytes.size(), file.get()));
  return bytes;
}

std::string PrepareMacroText(std::string_view text, const std::filesystem::path& directory, UiPort& ui,
                             const kr::StringTable& strings) {
  std::string source;
  if (text.starts_with(kScriptPrefix)) {
    const std::string name(kr::Trim(text.substr(kScriptPrefix.size())));
    const std::filesystem::path path = directory / name;
    std::optional<std::string> bytes = name.empty() ? std::nullopt : ReadScriptFile(path);
    if (!bytes) {
      ui.ShowMessage(kMsgCannotOpenFile, strings.Format(kMsgCannotOpenFile, name), MessageIcon::kError,
                     MessageButtons::kOk);
      return {};
    }
    source = std::move(*bytes);
  } else {
    source = std::string(text);
  }
  std::string out = StripAndAsk(ReplaceEncipheredBlocks(source), ui);
  if (!out.empty() && out.back() == ';') out.pop_back();
  // Answers may bring line ends and tabs of their own.
  std::erase_if(out, [](char c) { return c == '\r' || c == '\n' || c == '\t'; });
  if (out.size() > kMaxMacroText) {
    ui.ShowMessage(kMsgTooManyCommands, strings.Text(kMsgTooManyCommands), MessageIcon::kError,
                   MessageButtons::kOk);
    return {};
  }
  return out;
}

}  // namespace tarvik
