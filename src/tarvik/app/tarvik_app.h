#pragma once

#include <filesystem>
#include <optional>

#include "krcommon/string_table.h"
#include "tarvik/app/app_paths.h"
#include "tarvik/app/command_line.h"
#include "tarvik/app/connection_document.h"
#include "tarvik/app/tarvik_settings.h"
#include "tarvik/app/window_placement.h"
#include "tarvik/uiport/ui_port.h"

namespace tarvik {

// What the application object takes from the machine; tests replace it.
struct AppEnvironment {
  EnvironmentLookup environment = ProcessEnvironment();
  std::filesystem::path program_directory = ProgramDirectory();
  HostResolver resolver = SystemHostResolver();
};

enum class StartupResult {
  kRun,     // show the main window and go on
  kQuit,    // the help text was shown; end normally
  kFailed,  // a message explained why; end with an error status
};

// The application object without its windows: finds the folders, reads and writes Tarvik.ini,
// selects the language and help file, evaluates the command line and opens the first document.
// The GUI and tarvik-cli each own one and show the main window (or run headless) after InitInstance.
class CTarvikApp {
 public:
  static constexpr const char* kSettingsFileName = "Tarvik.ini";

  CTarvikApp(UiPort& ui, kr::StringTable& strings, AppEnvironment environment = {});

  // The start-up: data root, settings, language, command line and first document, status text 377,
  // validation of the communication settings, folders; then the settings file is written (so a first
  // start leaves a complete file and a folder fallback is remembered); finally "?", "h" or "help"
  // shows message 710.
  StartupResult InitInstance(const CCommandLine& command_line);

  const std::filesystem::path& data_root() const { return data_root_; }
  std::filesystem::path settings_path() const { return data_root_ / kSettingsFileName; }
  const std::filesystem::path& help_file() const { return help_file_; }
  const CCommandLine& command_line() const { return command_line_; }
  // How host names in connection documents are resolved.
  const HostResolver& resolver() const { return environment_.resolver; }
  // Valid after InitInstance has found the data root.
  TarvikSettings& settings() { return settings_file_->settings(); }
  const TarvikSettings& settings() const { return settings_file_->settings(); }

  // The connection document named on the command line, when it could be read.
  const std::optional<ConnectionDocument>& first_document() const { return first_document_; }

  // File > Open, a dropped file, the recent-file list.
  std::optional<ConnectionDocument> OpenDocument(const std::filesystem::path& path);

  // OK of the Settings dialog. A file that cannot be written is reported (9401); false then.
  bool WriteSettings();

  // How the main window is first shown ("/m" or the stored placement).
  WindowPlacement InitialPlacement() const;
  // The main window is being destroyed: remember its placement and write the settings.
  bool OnMainFrameDestroyed(const WindowPlacement& placement);

 private:
  UiPort& ui_;
  kr::StringTable& strings_;
  AppEnvironment environment_;
  std::filesystem::path data_root_;
  std::filesystem::path help_file_;
  std::optional<SettingsFile> settings_file_;
  CCommandLine command_line_;
  std::optional<ConnectionDocument> first_document_;
};

}  // namespace tarvik
