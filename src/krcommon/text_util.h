#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace kr {

std::string_view Trim(std::string_view text);
bool EqualsNoCase(std::string_view a, std::string_view b);
// Leading optionally signed decimal digits after blanks, 0 when there are none (the way the
// classic profile and C runtime conversions read numbers); saturates instead of overflowing.
int LeadingInt(std::string_view text);
// Copies at most capacity-1 bytes and always terminates; returns the bytes copied.
size_t CopyTruncated(char* destination, size_t capacity, std::string_view source);

}  // namespace kr
