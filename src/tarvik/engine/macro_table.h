#pragma once

#include <array>
#include <filesystem>
#include <string>

namespace tarvik {

// The named macros of "Macro.def" in the data root: sections "Macro1" to "Macro20", keys
// "Description" (the menu text) and "Definition" (the macro text).
struct MacroEntry {
  std::string description;
  std::string definition;
  bool empty() const { return definition.empty(); }
};

inline constexpr int kMacroEntries = 20;
using MacroTable = std::array<MacroEntry, kMacroEntries>;

// The table from the file; a missing file gives empty entries. Definitions longer than the longest
// macro text are cut.
MacroTable ReadMacroTable(const std::filesystem::path& path);

}  // namespace tarvik
