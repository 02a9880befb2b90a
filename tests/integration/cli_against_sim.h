#pragma once

// tarvik-cli against krsim over loopback TCP: a krsim process per test with its own unit
// description, tarvik-cli run in the test's process, and krsim's transcript to read the frames it
// received.
#include <gtest/gtest.h>
#include <stdlib.h>

#include <filesystem>
#include <fstream>
#include <map>
#include <memory>
#include <sstream>
#include <string>
#include <vector>

#include "../support/file_text.h"
#include "krsim/sim_process.h"
#include "tarvik/cli/cli_session.h"

namespace tarvik::cli_test {

namespace fs = std::filesystem;
using kr_test::ReadAll;
using kr_test::WriteText;
using krsim_test::In;
using krsim_test::SimProcess;

// The frames krsim received, in order: the text of each "RX" line of its transcript.
inline std::vector<std::string> ReceivedFrames(const fs::path& log) {
  std::vector<std::string> frames;
  std::istringstream lines(ReadAll(log));
  std::string line;
  while (std::getline(lines, line)) {
    const size_t rx = line.find(" RX ");
    if (rx != std::string::npos) frames.push_back(line.substr(rx + 4));
  }
  return frames;
}

// The frames from the first one that begins with `first` on, each cut to the length of the prefix
// expected at its place; empty when no frame begins with `first`.
inline std::vector<std::string> FramesFrom(const std::vector<std::string>& frames, const std::string& first,
                                           const std::vector<std::string>& expected) {
  for (size_t i = 0; i < frames.size(); ++i) {
    if (!frames[i].starts_with(first)) continue;
    std::vector<std::string> cut;
    for (size_t k = 0; k < expected.size() && i + k < frames.size(); ++k)
      cut.push_back(frames[i + k].substr(0, expected[k].size()));
    return cut;
  }
  return {};
}

struct CliResult {
  int status = -1;
  std::string out;
  std::string err;
  std::vector<int> messages;
  int password_prompts = 0;
};

class CliAgainstSimTest : public ::testing::Test {
 protected:
  CliAgainstSimTest() {
    std::string pattern = (fs::temp_directory_path() / "kr-maint-it-XXXXXX").string();
    folder_ = ::mkdtemp(pattern.data());
  }
  ~CliAgainstSimTest() override {
    std::error_code ec;
    fs::remove_all(folder_, ec);
  }

  fs::path Log() const { return folder_ / "krsim.log"; }

  // krsim on a free TCP port with the given unit description (empty: its default unit).
  std::unique_ptr<SimProcess> StartSim(const std::string& config) {
    std::vector<std::string> args = {"--tcp", "0", "--no-stdin", "--log", Log().string()};
    if (!config.empty()) {
      WriteText(folder_ / "sim.ini", config);
      args.push_back("--config");
      args.push_back((folder_ / "sim.ini").string());
    }
    auto sim = std::make_unique<SimProcess>(args);
    const std::string port = sim->WaitFor("PORT ", In(krsim_test::kGenerous));
    port_ = port.empty() ? 0 : std::stoi(port);
    return sim;
  }

  fs::path Document() {
    ConnectionRecord record;
    record.link_kind = LinkKind::kTcp;
    record.ip_address = "127.0.0.1";
    record.ip_port = port_;
    record.connection_timeout = 500;
    const fs::path path = folder_ / "site.krc";
    const std::vector<uint8_t> bytes = SerializeConnectionRecord(record);
    std::ofstream file(path, std::ios::binary | std::ios::trunc);
    file.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
    return path;
  }

  CliResult RunCli(std::vector<std::string> args) {
    std::map<std::string, std::string> environment = {{"TARVIK_DATA_ROOT", (folder_ / "root").string()}};
    std::vector<const char*> argv = {"tarvik-cli"};
    const std::string document = Document().string();
    argv.push_back(document.c_str());
    for (const std::string& a : args) argv.push_back(a.c_str());
    const CliOptions options = ParseCliOptions(static_cast<int>(argv.size()), argv.data());
    std::ostringstream out;
    std::ostringstream err;
    ConsoleUi ui(out, err);
    AppEnvironment app_environment;
    app_environment.environment = [environment](std::string_view name) -> std::optional<std::string> {
      const auto it = environment.find(std::string(name));
      if (it == environment.end()) return std::nullopt;
      return it->second;
    };
    app_environment.program_directory = folder_;
    CliResult result;
    result.status = RunCliSession(options, ui, app_environment);
    result.out = out.str();
    result.err = err.str();
    result.messages = ui.message_ids();
    result.password_prompts = ui.password_prompts();
    return result;
  }

  fs::path folder_;
  int port_ = 0;
};

}  // namespace tarvik::cli_test
