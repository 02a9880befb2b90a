#pragma once

#include <filesystem>
#include <string>
#include <string_view>

#include "krcommon/string_table.h"
#include "tarvik/uiport/ui_port.h"

namespace tarvik {

// The longest macro text, and the bytes read of a macro or script file.
inline constexpr std::size_t kMaxMacroText = 50000;
inline constexpr std::size_t kMaxScriptFileBytes = 2048;

// Reads at most kMaxScriptFileBytes of a macro or script file; nothing when it cannot be opened.
std::optional<std::string> ReadScriptFile(const std::filesystem::path& path);

// The preprocessor of macros and scripts: "Script:" files (relative to `directory`), "{{...}}"
// blocks, comments, line ends, tabs and the blanks that only lay the text out, "[prompt]" questions
// asked through `ui`, and the ";" at the end. The result is the commands separated by ";", or
// empty when the file cannot be opened (433) or the text is too long (432).
std::string PrepareMacroText(std::string_view text, const std::filesystem::path& directory, UiPort& ui,
                             const kr::StringTable& strings);

}  // namespace tarvik
