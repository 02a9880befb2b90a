#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

namespace kr {

std::string_view Trim(std::string_view text);
bool EqualsNoCase(std::string_view a, std::string_view b);
// Leading optionally signed decimal digits after blanks, 0 when there are none (the way the
// classic profile and C runtime conversions read numbers); saturates instead of overflowing.
int LeadingInt(std::string_view text);
// The whole text as a decimal integer: an optional sign, then digits only. Nothing for anything
// else or a number that does not fit an int.
std::optional<int> ParseWholeInt(std::string_view text);
// The whole text as a decimal number with "." as the point whatever the process locale says.
std::optional<double> ParseWholeDecimal(std::string_view text);
// A decimal number at the start of the text, after blanks and an optional "+", with "." as the
// point whatever the locale; what follows the number is ignored.
std::optional<double> LeadingDecimal(std::string_view text);
// ASCII letters changed, every other byte kept (texts here are ASCII or UTF-8).
std::string ToLowerAscii(std::string_view text);
std::string ToUpperAscii(std::string_view text);
// Copies at most capacity-1 bytes and always terminates; returns the bytes copied.
size_t CopyTruncated(char* destination, size_t capacity, std::string_view source);

}  // namespace kr
