#include <cstdio>

#include "kr_version.h"
#include "krcommon/clock.h"
#include "krsim/cli_options.h"
#include "krsim/event_export.h"
#include "krsim/sim_server.h"

int main(int argc, char* argv[]) {
  krsim::CliOptions options;
  std::string error;
  if (!krsim::ParseCommandLine(argc, argv, options, error)) {
    std::fprintf(stderr, "krsim: %s\n", error.c_str());
    return 2;
  }
  if (options.help) {
    std::fputs(krsim::HelpText().c_str(), stdout);
    return 0;
  }
  if (options.version) {
    std::printf("krsim %s\n", kr::kAppVersion);
    return 0;
  }
  if (!options.export_dir.empty()) {
    kr::SystemClock clock;
    krsim::FaultInjector faults(options.config.faults);
    const krsim::UnitModel unit(options.config, faults, clock);
    const int written = krsim::ExportEvents(unit, options.export_dir, error);
    if (written < 0) {
      std::fprintf(stderr, "krsim: %s\n", error.c_str());
      return 1;
    }
    std::printf("EXPORTED %d files to %s\n", written, options.export_dir.c_str());
    return 0;
  }
  krsim::SimServer server(options.config, options.server);
  return server.Run();
}
