#pragma once

#include <stdlib.h>

#include <cstdint>
#include <deque>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <map>
#include <optional>
#include <string>
#include <vector>

#include "../../support/temp_dir.h"
#include "tarvik/app/app_paths.h"
#include "tarvik/uiport/ui_port.h"

namespace apptest {

// Records every message box; answers come from a queue (Yes for questions, OK otherwise, when empty).
class FakeUi : public tarvik::UiPort {
 public:
  struct Shown {
    int id;
    std::string text;
    tarvik::MessageIcon icon;
    tarvik::MessageButtons buttons;
  };

  tarvik::MessageAnswer ShowMessage(int string_id, const std::string& text, tarvik::MessageIcon icon,
                                    tarvik::MessageButtons buttons) override {
    shown.push_back({string_id, text, icon, buttons});
    if (!answers.empty()) {
      tarvik::MessageAnswer answer = answers.front();
      answers.pop_front();
      return answer;
    }
    return buttons == tarvik::MessageButtons::kYesNo ? tarvik::MessageAnswer::kYes
                                                     : tarvik::MessageAnswer::kOk;
  }

  void SetStatusText(const std::string& text) override { status_texts.push_back(text); }

  std::vector<int> Ids() const {
    std::vector<int> ids;
    for (const Shown& s : shown) ids.push_back(s.id);
    return ids;
  }

  std::vector<Shown> shown;
  std::deque<tarvik::MessageAnswer> answers;
  std::vector<std::string> status_texts;
};

using TempDir = kr_test::TempDir;

inline tarvik::EnvironmentLookup FakeEnvironment(std::map<std::string, std::string> values) {
  return [values = std::move(values)](std::string_view name) -> std::optional<std::string> {
    auto it = values.find(std::string(name));
    if (it == values.end()) return std::nullopt;
    return it->second;
  };
}

inline std::string ReadText(const std::filesystem::path& path) {
  std::ifstream in(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

inline void WriteText(const std::filesystem::path& path, const std::string& text) {
  std::ofstream(path, std::ios::binary) << text;
}

inline std::vector<uint8_t> FromHex(const std::string& hex) {
  std::vector<uint8_t> bytes;
  for (size_t i = 0; i + 1 < hex.size(); i += 2)
    bytes.push_back(static_cast<uint8_t>(std::stoi(hex.substr(i, 2), nullptr, 16)));
  return bytes;
}

inline void WriteBytes(const std::filesystem::path& path, const std::vector<uint8_t>& bytes) {
  std::ofstream(path, std::ios::binary)
      .write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
}

inline std::vector<uint8_t> ReadBytes(const std::filesystem::path& path) {
  std::ifstream in(path, std::ios::binary);
  return std::vector<uint8_t>(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

}  // namespace apptest
