#pragma once

#include <filesystem>
#include <functional>
#include <string>

#include "krcommon/string_table.h"
#include "ondalyne/core/ondalyne_doc.h"
#include "ondalyne/core/ondalyne_settings.h"
#include "ondalyne/render/page_renderer.h"

namespace ondalyne {

// The application object of the viewer: its folders, settings, recent files, string table and the
// way messages reach the operator. One per run; the frame, the views and the printing use it.
class COndalyneApp {
 public:
  COndalyneApp();

  // Finds the data folder, reads Ondalyne.ini (writing a complete one on a first start) and picks
  // the language.
  void Start(const EnvironmentLookup& environment);

  kr::StringTable& strings() { return strings_; }
  const kr::StringTable& strings() const { return strings_; }
  OndalyneSettings& settings() { return settings_; }
  const OndalyneSettings& settings() const { return settings_; }
  RecentFiles& recent() { return recent_; }
  const std::filesystem::path& data_folder() const { return data_folder_; }
  const std::filesystem::path& ini_path() const { return ini_path_; }

  // Command-line printing: no message boxes, the instrument status first.
  bool command_line_printing() const { return command_line_printing_; }
  void set_command_line_printing(bool on) { command_line_printing_ = on; }

  // A warning for the operator: a message box, or only the stream of command-line printing. Tests
  // replace it to collect the texts.
  std::function<void(const std::string&)> warn;

  LoadOptions MakeLoadOptions() const;
  // Drawing options for the screen or for paper (printer font, thinning, analysis stamp).
  RenderOptions MakeRenderOptions(bool paper) const;

  // Loads a document and reports its messages (unless command-line printing is on).
  void LoadDocument(COndalyneDoc& doc, const std::string& path) const;

  // The help file of the language (Ondalyne_enu.html or Ondalyne_deu.html) next to the program or
  // in its shared data folder; empty when none is found.
  std::filesystem::path HelpFile() const;
  std::string HelpFileName() const;

  void AddRecent(const std::string& path);
  void SaveDotRadius() const;

 private:
  kr::StringTable strings_;
  OndalyneSettings settings_;
  RecentFiles recent_;
  std::filesystem::path data_folder_;
  std::filesystem::path ini_path_;
  bool command_line_printing_ = false;
};

}  // namespace ondalyne
