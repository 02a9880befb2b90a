#include "tarvik/app/app_paths.h"

#include <cstdlib>
#include <fstream>
#include <system_error>

#include "krcommon/text_util.h"

namespace tarvik {

namespace {

constexpr int kMsgDirectoryFallback = 8571;

// The value of `XDG_DOCUMENTS_DIR="..."` in a user-dirs.dirs file, with $HOME expanded. The file
// format allows only "$HOME/..." or an absolute path.
std::filesystem::path DocumentsFromUserDirs(const std::filesystem::path& file, const std::string& home) {
  std::ifstream in(file);
  std::string line;
  constexpr std::string_view kKey = "XDG_DOCUMENTS_DIR";
  while (std::getline(in, line)) {
    std::string_view text = kr::Trim(line);
    if (!text.starts_with(kKey)) continue;
    text = kr::Trim(text.substr(kKey.size()));
    if (!text.starts_with('=')) continue;
    text = kr::Trim(text.substr(1));
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

bool MakeDirectory(const std::filesystem::path& folder) {
  if (folder.empty()) return false;
  std::error_code error;
  std::filesystem::create_directories(folder, error);
  return std::filesystem::is_directory(folder, error);
}

// Ensures one configured folder exists; falls back to its default with a warning. False when even
// the default cannot be created.
bool EnsureFolder(std::filesystem::path& configured, const std::filesystem::path& fallback, UiPort& ui,
                  const kr::StringTable& strings) {
  if (MakeDirectory(configured)) return true;
  if (configured != fallback) {
    ui.ShowMessage(kMsgDirectoryFallback,
                   strings.Format(kMsgDirectoryFallback, configured.string(), fallback.string()),
                   MessageIcon::kWarning, MessageButtons::kOk);
    configured = fallback;
  }
  return MakeDirectory(configured);
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

std::filesystem::path FindDataRoot(const EnvironmentLookup& environment) {
  if (auto root = environment("TARVIK_DATA_ROOT"); root && !root->empty()) {
    return std::filesystem::absolute(std::filesystem::path(*root)).lexically_normal();
  }
  std::filesystem::path documents = DocumentsDirectory(environment);
  if (documents.empty()) return {};
  return documents / "Tarvik";
}

std::filesystem::path ProgramDirectory() {
  std::error_code error;
  std::filesystem::path exe = std::filesystem::read_symlink("/proc/self/exe", error);
  if (error) return {};
  return exe.parent_path();
}

std::filesystem::path HelpFilePath(const std::filesystem::path& program_directory, kr::Language language) {
  const char* name = "Tarvik_enu.html";
  if (language == kr::Language::kGerman) name = "Tarvik_deu.html";
  if (language == kr::Language::kChinese) name = "Tarvik_chs.html";
  // Beside the program in the build tree; below share/tarvik once installed.
  const std::filesystem::path beside = program_directory / "help" / name;
  const std::filesystem::path installed = program_directory / ".." / "share" / "tarvik" / "help" / name;
  std::error_code ec;
  if (!std::filesystem::exists(beside, ec) && std::filesystem::exists(installed, ec)) {
    return installed.lexically_normal();
  }
  return beside;
}

std::optional<std::filesystem::path> PreparePaths(TarvikSettings& settings,
                                                  const std::filesystem::path& data_root, UiPort& ui,
                                                  const kr::StringTable& strings) {
  struct Folder {
    std::filesystem::path* configured;
    std::filesystem::path fallback;
  };
  const Folder folders[] = {
      {&settings.parameter_path, data_root / "Param"},
      {&settings.data_path, data_root / "Data"},
      {&settings.temp_path, data_root / "Temp"},
      {&settings.instant_path, data_root / "Instant"},
      {&settings.connect_path, data_root},
  };
  for (const Folder& folder : folders) {
    if (!EnsureFolder(*folder.configured, folder.fallback, ui, strings)) return *folder.configured;
  }
  return std::nullopt;
}

}  // namespace tarvik
