// tarvik-cli: the communication program without windows, for unattended runs and tests.
#include <unistd.h>

#include <iostream>

#include "tarvik/cli/cli_session.h"

int main(int argc, char** argv) {
  const tarvik::CliOptions options = tarvik::ParseCliOptions(argc, argv);
  if (!options.new_document.empty()) {
    return tarvik::WriteTcpDocument(options.new_document, options.new_document_address, std::cerr) ? 0 : 1;
  }
  tarvik::ConsoleUi ui(std::cout, std::cerr);
  // Questions of macros and scripts are asked only of a person at a terminal.
  if (::isatty(STDIN_FILENO) == 1) ui.SetQuestionInput(&std::cin);
  return tarvik::RunCliSession(options, ui, tarvik::AppEnvironment{});
}
