#include <array>

#include "tarvik/resources/tarvik_strings.h"

namespace tarvik {

namespace {

// Start-up, settings, connection documents and the command line.
constexpr std::array kEntries = std::to_array<kr::StringEntry>({
    {517, "English", "Englisch", "英语"},
    {518, "German", "Deutsch", "德语"},
    {519, "Chinese", "Chinesisch", "中文"},
});

}  // namespace

std::span<const kr::StringEntry> AppStrings() { return kEntries; }

}  // namespace tarvik
