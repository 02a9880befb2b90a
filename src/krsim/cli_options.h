#pragma once

#include <string>

#include "krsim/sim_config.h"
#include "krsim/sim_server.h"

namespace krsim {

struct CliOptions {
  SimConfig config;
  ServerOptions server;
  std::string export_dir;  // --export-events: write the event files and stop
  bool help = false;
  bool version = false;
};

// Reads the command line: the configuration file first (over the built-in default), then every other
// option over it. False with a message naming the option when something is wrong.
bool ParseCommandLine(int argc, const char* const argv[], CliOptions& options, std::string& error);

// The text of "krsim --help".
std::string HelpText();

}  // namespace krsim
