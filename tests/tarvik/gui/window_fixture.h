#pragma once

#include <QWidget>
#include <filesystem>
#include <functional>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "krcommon/string_table.h"
#include "krsim/sim_process.h"
#include "tarvik/app/tarvik_app.h"
#include "tarvik/gui/gui_ui_port.h"
#include "tarvik/gui/main_frame.h"

namespace tarvik_gui_test {

namespace fs = std::filesystem;

// A fresh folder below the system's temporary folder, removed afterwards.
class TempFolder {
 public:
  TempFolder();
  ~TempFolder();
  const fs::path& path() const { return path_; }

 private:
  fs::path path_;
};

// Runs the event loop until `done` holds or `timeout_ms` has passed; true when it held.
bool WaitUntil(const std::function<bool()>& done, int timeout_ms = 20000);

// Answers modal windows as a person would: every 30 ms the active modal window is offered to the
// handlers in turn; the first that returns true has dealt with it. The titles of all modal windows
// seen are kept.
class ModalAnswerer {
 public:
  using Handler = std::function<bool(QWidget*)>;
  ModalAnswerer();
  ~ModalAnswerer();
  void Add(Handler handler) { handlers_.push_back(std::move(handler)); }
  const std::vector<std::string>& titles() const { return titles_; }

 private:
  struct Impl;
  std::unique_ptr<Impl> impl_;
  std::vector<Handler> handlers_;
  std::vector<std::string> titles_;
};

std::string ReadAll(const fs::path& path);
void WriteText(const fs::path& path, const std::string& text);
// A version-7 connection document for krsim on 127.0.0.1:port.
fs::path WriteTcpDocument(const fs::path& folder, int port);
// Event files of a folder by the name krsim gives them; `root_length` characters in front are dropped.
std::map<std::string, std::string> EventFiles(const fs::path& folder, std::size_t root_length);
// What krsim says the PC must write.
std::map<std::string, std::string> ExpectedFiles(const fs::path& folder);
int PortOf(krsim_test::SimProcess& sim);

// The program as tarvik_main.cpp puts it together, with its data in a folder of the test.
class WindowSession {
 public:
  // `settings_text` goes into Tarvik.ini before the start; `words` is the command line after the program.
  WindowSession(const fs::path& data_root, const std::string& settings_text, std::vector<std::string> words);
  ~WindowSession();

  bool started() const { return frame_ != nullptr; }
  tarvik::CMainFrame& frame() { return *frame_; }
  tarvik::CGuiUiPort& ui() { return ui_; }
  tarvik::CTarvikApp& app() { return app_; }
  const kr::StringTable& strings() const { return strings_; }
  // Destroys the window: shut-down step, Trace.dat, Tarvik.ini.
  void DestroyWindow();

 private:
  kr::StringTable strings_;
  tarvik::CGuiUiPort ui_;
  tarvik::CTarvikApp app_;
  std::unique_ptr<tarvik::CMainFrame> frame_;
};

// Accepts the log-in window with what it is filled with, after checking its title; counts them.
ModalAnswerer::Handler AcceptPasswordPrompt(int* prompts, std::string* title = nullptr,
                                            std::string* prefill = nullptr);
// Saves under `name` in the save dialog of Transfer > All Events; its title is kept in *title.
ModalAnswerer::Handler AnswerSaveDialog(const std::string& name, std::string* title);

// Logs in from the command line's document: password prompt accepted, logged-in menu shown.
bool WaitLoggedIn(WindowSession& session);

// Writes the window into docs/screenshots/<name>.png.
bool SaveScreenshot(QWidget& widget, const std::string& name);

}  // namespace tarvik_gui_test
