#pragma once

#include <filesystem>
#include <functional>
#include <optional>
#include <string>
#include <string_view>

namespace kr {

// Reads an environment variable; nullopt when it is not set. Tests pass their own.
using EnvironmentLookup = std::function<std::optional<std::string>(std::string_view name)>;
EnvironmentLookup ProcessEnvironment();

// The user's Documents folder: XDG_DOCUMENTS_DIR from $XDG_CONFIG_HOME/user-dirs.dirs (default
// ~/.config), else $HOME/Documents. Empty when not even HOME is known.
std::filesystem::path DocumentsDirectory(const EnvironmentLookup& environment);

}  // namespace kr
