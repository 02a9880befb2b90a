#include "tarvik/app/tarvik_app.h"

#include "tarvik/app/settings_validation.h"

namespace tarvik {

namespace {

constexpr int kMsgStarting = 377;
constexpr int kMsgHelp = 710;
constexpr int kMsgCannotAccessDirectory = 8570;
constexpr int kMsgCannotWrite = 9401;
constexpr int kMsgNoDataRoot = 9402;

}  // namespace

CTarvikApp::CTarvikApp(UiPort& ui, kr::StringTable& strings, AppEnvironment environment)
    : ui_(ui), strings_(strings), environment_(std::move(environment)) {}

StartupResult CTarvikApp::InitInstance(const CCommandLine& command_line) {
  data_root_ = FindDataRoot(environment_.environment);
  if (data_root_.empty()) {
    ui_.ShowMessage(kMsgNoDataRoot, strings_.Text(kMsgNoDataRoot), MessageIcon::kError, MessageButtons::kOk);
    return StartupResult::kFailed;
  }
  settings_file_.emplace(settings_path(), data_root_);

  const kr::Language language = kr::LanguageFromSetting(settings().language);
  strings_.SetLanguage(language);
  help_file_ = HelpFilePath(environment_.program_directory, language);

  command_line_ = command_line;
  if (!command_line_.connection_file().empty())
    first_document_ = OpenDocument(command_line_.connection_file());

  ui_.SetStatusText(strings_.Text(kMsgStarting));
  if (!ValidateSettings(settings(), settings_path().string(), ui_, strings_)) return StartupResult::kFailed;

  if (auto failed = PreparePaths(settings(), data_root_, ui_, strings_)) {
    ui_.ShowMessage(kMsgCannotAccessDirectory, strings_.Format(kMsgCannotAccessDirectory, failed->string()),
                    MessageIcon::kError, MessageButtons::kOk);
    return StartupResult::kFailed;
  }
  WriteSettings();

  if (command_line_.show_help()) {
    ui_.ShowMessage(kMsgHelp, strings_.Text(kMsgHelp), MessageIcon::kInformation, MessageButtons::kOk);
    return StartupResult::kQuit;
  }
  return StartupResult::kRun;
}

std::optional<ConnectionDocument> CTarvikApp::OpenDocument(const std::filesystem::path& path) {
  return LoadConnectionDocument(path, settings(), environment_.resolver, ui_, strings_);
}

bool CTarvikApp::WriteSettings() {
  if (settings_file_->Save()) return true;
  ui_.ShowMessage(kMsgCannotWrite, strings_.Format(kMsgCannotWrite, settings_path().string()),
                  MessageIcon::kWarning, MessageButtons::kOk);
  return false;
}

WindowPlacement CTarvikApp::InitialPlacement() const {
  return InitialMainPlacement(settings(), command_line_.minimized());
}

bool CTarvikApp::OnMainFrameDestroyed(const WindowPlacement& placement) {
  StoreMainPlacement(placement, settings());
  return WriteSettings();
}

}  // namespace tarvik
