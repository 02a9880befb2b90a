#pragma once

#include <stdlib.h>

#include <QApplication>
#include <QToolTip>
#include <deque>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <optional>
#include <string>
#include <vector>

#include "../../../support/temp_dir.h"
#include "tarvik/uiport/ui_port.h"

namespace guitest {

// One application object for the whole test program, on the offscreen platform unless the
// environment asks for another (a real X server, say).
inline QApplication& App() {
  static int argc = 1;
  static char name[] = "tarvik_gui_settings_tests";
  static char* argv[] = {name, nullptr};
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  static QApplication app(argc, argv);
  // A balloon left by an earlier test must not pass for this test's.
  QToolTip::hideText();
  return app;
}

// Records what the windows ask a person; answers come from queues (Yes/OK when a queue is empty,
// Cancel for a chooser without a prepared answer).
class FakeUi : public tarvik::UiPort {
 public:
  struct Shown {
    int id;
    std::string text;
  };
  struct Chooser {
    std::string title;
    std::filesystem::path directory;
    std::string filter;
  };

  tarvik::MessageAnswer ShowMessage(int string_id, const std::string& text, tarvik::MessageIcon,
                                    tarvik::MessageButtons buttons) override {
    shown.push_back({string_id, text});
    if (!answers.empty()) {
      tarvik::MessageAnswer answer = answers.front();
      answers.pop_front();
      return answer;
    }
    return buttons == tarvik::MessageButtons::kYesNo ? tarvik::MessageAnswer::kYes
                                                     : tarvik::MessageAnswer::kOk;
  }

  std::optional<std::filesystem::path> ChooseFolder(const std::string& title,
                                                    const std::filesystem::path& start) override {
    folder_choosers.push_back({title, start, {}});
    return Next(folders);
  }

  std::optional<std::filesystem::path> ChooseSaveFile(const std::string& title,
                                                      const std::filesystem::path& directory,
                                                      const std::string&,
                                                      const std::string& filter) override {
    save_choosers.push_back({title, directory, filter});
    return Next(save_files);
  }

  std::vector<int> Ids() const {
    std::vector<int> ids;
    for (const Shown& s : shown) ids.push_back(s.id);
    return ids;
  }

  std::vector<Shown> shown;
  std::deque<tarvik::MessageAnswer> answers;
  std::deque<std::filesystem::path> folders;
  std::deque<std::filesystem::path> save_files;
  std::vector<Chooser> folder_choosers;
  std::vector<Chooser> save_choosers;

 private:
  static std::optional<std::filesystem::path> Next(std::deque<std::filesystem::path>& queue) {
    if (queue.empty()) return std::nullopt;
    std::filesystem::path path = queue.front();
    queue.pop_front();
    return path;
  }
};

using TempDir = kr_test::TempDir;

inline std::string ReadText(const std::filesystem::path& path) {
  std::ifstream in(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

inline void WriteText(const std::filesystem::path& path, const std::string& text) {
  std::ofstream(path, std::ios::binary) << text;
}

// The text of the balloon tip shown now ("" when none is).
inline std::string BalloonText() {
  return QToolTip::isVisible() ? QToolTip::text().toStdString() : std::string();
}

}  // namespace guitest
