#include "krcommon/user_folders.h"

#include <cstdlib>
#include <fstream>

#include "krcommon/text_util.h"

namespace kr {

namespace {

// The value of `XDG_DOCUMENTS_DIR="..."` in a user-dirs.dirs file, with $HOME expanded. The file
// format allows only "$HOME/..." or an absolute path.
std::filesystem::path DocumentsFromUserDirs(const std::filesystem::path& file, const std::string& home) {
  std::ifstream in(file);
  std::string line;
  constexpr std::string_view kKey = "XDG_DOCUMENTS_DIR";
  while (std::getline(in, line)) {
    std::string_view text = Trim(line);
    if (!text.starts_with(kKey)) continue;
    text = Trim(text.substr(kKey.size()));
    if (!text.starts_with('=')) continue;
    text = Trim(text.substr(1));
    if (text.size() < 2 || text.front() != '"') continue;
    std::string value;
    for (size_t i = 1; i < text.size() && text[i] != '"'; ++i) {
      if (text[i] == '\\' && i + 1 < text.size()) ++i;
      value += text[i];
    }
    if (value.starts_with("$HOME")) {
      if (home.empty()) continue;
      return std::filesystem::path(home + value.substr(5)).lexically_normal();
    }
    if (!value.empty() && value.front() == '/') return std::filesystem::path(value).lexically_normal();
  }
  return {};
}

}  // namespace

EnvironmentLookup ProcessEnvironment() {
  return [](std::string_view name) -> std::optional<std::string> {
    const char* value = std::getenv(std::string(name).c_str());
    if (value == nullptr) return std::nullopt;
    return std::string(value);
  };
}

std::filesystem::path DocumentsDirectory(const EnvironmentLookup& environment) {
  std::string home = environment("HOME").value_or("");
  std::filesystem::path config_home;
  if (auto xdg = environment("XDG_CONFIG_HOME"); xdg && !xdg->empty() && xdg->front() == '/') {
    config_home = *xdg;
  } else if (!home.empty()) {
    config_home = std::filesystem::path(home) / ".config";
  }
  if (!config_home.empty()) {
    std::filesystem::path documents = DocumentsFromUserDirs(config_home / "user-dirs.dirs", home);
    if (!documents.empty()) return documents;
  }
  if (home.empty()) return {};
  return std::filesystem::path(home) / "Documents";
}

}  // namespace kr
