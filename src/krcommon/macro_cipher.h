#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace kr {

// The enciphered form of macro commands that a macro or script writes between "{{" and "}}".
//
// Each byte is mixed with a fixed 12-character key, its position and the previous enciphered byte,
// and the bytes are then written three to four characters in the alphabet A-Z a-z 0-9 "+" "-".
// So the block is printable, never contains "}", ";", a blank or a line end, and the same command
// gives different characters at different places. It keeps commands away from a casual reader of a
// macro file; anyone with this program (or this source) reads them back, so it protects nothing.
std::string EncipherMacroText(std::string_view plain);

// The clear text of an enciphered block (blanks around it are ignored); nothing when the block
// holds a character outside the alphabet or has a length no enciphered text has.
std::optional<std::string> DecipherMacroText(std::string_view block);

}  // namespace kr
