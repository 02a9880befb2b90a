#include "tarvik/app/app_paths.h"

#include <system_error>

namespace tarvik {

namespace {

constexpr int kMsgDirectoryFallback = 8571;

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

std::filesystem::path FindDataRoot(const EnvironmentLookup& environment) {
  if (auto root = environment("TARVIK_DATA_ROOT"); root && !root->empty()) {
    return std::filesystem::absolute(std::filesystem::path(*root)).lexically_normal();
  }
  std::filesystem::path documents = kr::DocumentsDirectory(environment);
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
