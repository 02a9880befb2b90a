#include "tarvik/engine/macro_table.h"

#include "krcommon/ini_file.h"
#include "tarvik/engine/macro_text.h"

namespace tarvik {

MacroTable ReadMacroTable(const std::filesystem::path& path) {
  MacroTable table;
  kr::IniFile file;
  if (!file.Load(path)) return table;
  for (int i = 0; i < kMacroEntries; ++i) {
    const std::string section = "Macro" + std::to_string(i + 1);
    MacroEntry& entry = table[static_cast<std::size_t>(i)];
    entry.description = file.GetString(section, "Description", "");
    entry.definition = file.GetString(section, "Definition", "");
    if (entry.definition.size() > kMaxMacroText) entry.definition.resize(kMaxMacroText);
  }
  return table;
}

}  // namespace tarvik
