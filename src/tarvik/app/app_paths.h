#pragma once

#include <filesystem>
#include <functional>
#include <optional>
#include <string>
#include <string_view>

#include "krcommon/string_table.h"
#include "tarvik/app/tarvik_settings.h"
#include "tarvik/uiport/ui_port.h"

namespace tarvik {

// Reads an environment variable; nullopt when it is not set. Tests pass their own.
using EnvironmentLookup = std::function<std::optional<std::string>(std::string_view name)>;
EnvironmentLookup ProcessEnvironment();

// The user's Documents folder: XDG_DOCUMENTS_DIR from $XDG_CONFIG_HOME/user-dirs.dirs (default
// ~/.config), else $HOME/Documents. Empty when not even HOME is known.
std::filesystem::path DocumentsDirectory(const EnvironmentLookup& environment);

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
