// The macro preprocessor and the script command interpreter on arbitrary text: the first byte says
// how questions are answered, the rest is the macro. Every input must end in a result, never a crash,
// and every "{{...}}" block the program writes must read back.

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <string>

#include "krcommon/macro_cipher.h"
#include "tarvik/engine/macro_text.h"
#include "tarvik/engine/script_command.h"
#include "tarvik/resources/tarvik_strings.h"

namespace {

class AnsweringUi final : public tarvik::UiPort {
 public:
  tarvik::MessageAnswer ShowMessage(int, const std::string&, tarvik::MessageIcon,
                                    tarvik::MessageButtons) override {
    return tarvik::MessageAnswer::kOk;
  }
  std::optional<std::string> AskMacroScriptQuestion(const std::string& label) override {
    if (mode_ % 3 == 0) return std::nullopt;
    if (mode_ % 3 == 1) return std::string("12");
    return label;  // the prompt itself, brackets and line ends included
  }
  std::uint8_t mode_ = 0;
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size < 1) return 0;
  static const kr::StringTable strings = tarvik::MakeTarvikStringTable();
  AnsweringUi ui;
  ui.mode_ = data[0];
  const std::string_view text(reinterpret_cast<const char*>(data + 1), size - 1);
  // "Script:" names are looked up in a folder that does not exist.
  const std::string prepared = tarvik::PrepareMacroText(text, "/nonexistent-kr-fuzz", ui, strings);
  if (prepared.size() > tarvik::kMaxMacroText) std::abort();
  if (prepared.find_first_of("\r\n\t") != std::string::npos) std::abort();

  std::size_t at = 0;
  while (at <= prepared.size()) {
    const std::size_t semicolon = prepared.find(';', at);
    const std::size_t end = semicolon == std::string::npos ? prepared.size() : semicolon;
    const tarvik::ScriptCommand command = tarvik::InterpretScriptCommand(prepared.substr(at, end - at));
    tarvik::ExportOptions options;
    tarvik::ApplyTransformLetters(command.argument, options);
    (void)tarvik::ParseIsLastFile(command.argument);
    (void)tarvik::ScriptEventNumber(command.argument);
    (void)tarvik::ScriptJump(command.argument);
    if (semicolon == std::string::npos) break;
    at = semicolon + 1;
  }

  const std::string block = kr::EncipherMacroText(text);
  if (block.find_first_of("};\r\n ") != std::string::npos) std::abort();
  const std::optional<std::string> back = kr::DecipherMacroText(block);
  if (!back || *back != text) std::abort();
  (void)kr::DecipherMacroText(text);
  return 0;
}
