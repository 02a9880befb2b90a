#pragma once

#include <span>

#include "krcommon/string_table.h"

namespace tarvik {

// The entries of each area of the program, in English, German and Chinese.
std::span<const kr::StringEntry> AppStrings();
std::span<const kr::StringEntry> EventFilesStrings();
std::span<const kr::StringEntry> EngineStrings();
std::span<const kr::StringEntry> SettingsStrings();
std::span<const kr::StringEntry> GuiStrings();
std::span<const kr::StringEntry> MaintenanceStrings();
std::span<const kr::StringEntry> ConfigStrings();
std::span<const kr::StringEntry> MacroStrings();
std::span<const kr::StringEntry> InfoStrings();

// The complete string table of the communication program. The application owns one and sets its
// language from the settings.
kr::StringTable MakeTarvikStringTable();

}  // namespace tarvik
