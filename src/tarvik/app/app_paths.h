#pragma once

#include <filesystem>
#include <optional>
#include <string>
#include <string_view>

#include "krcommon/string_table.h"
#include "krcommon/user_folders.h"
#include "tarvik/app/tarvik_settings.h"
#include "tarvik/uiport/ui_port.h"

namespace tarvik {

using kr::EnvironmentLookup;
using kr::ProcessEnvironment;

// Where Tarvik keeps its settings, traces and data: $TARVIK_DATA_ROOT when set and not empty, else
// <Documents>/Tarvik. Empty when neither can be found.
std::filesystem::path FindDataRoot(const EnvironmentLookup& environment);

// The folder of the running executable (empty when it cannot be found).
std::filesystem::path ProgramDirectory();

// The help page of a language (Tarvik_enu.html, Tarvik_deu.html or Tarvik_chs.html): in <program dir>/help,
// or, when it is not there, in <program dir>/../share/tarvik/help where the installation puts it.
std::filesystem::path HelpFilePath(const std::filesystem::path& program_directory, kr::Language language);

// Creates the parameter, data, temporary, instant and connection folders, in that order, with their
// missing parents. A folder that cannot be created is reported with message 8571 (warning) and
// replaced by its default below the data root, which is then created. Returns nothing on success, or
// the folder that could not be created even as the default.
std::optional<std::filesystem::path> PreparePaths(TarvikSettings& settings,
                                                  const std::filesystem::path& data_root, UiPort& ui,
                                                  const kr::StringTable& strings);

}  // namespace tarvik
