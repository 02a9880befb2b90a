#include "krsim/cli_options.h"

#include <charconv>
#include <cstdlib>
#include <functional>
#include <map>

#include "krcommon/text_util.h"

namespace krsim {

namespace {

bool ToInt(std::string_view text, int low, int high, int& value) {
  const std::optional<int> parsed = kr::ParseWholeInt(text);
  if (!parsed || *parsed < low || *parsed > high) return false;
  value = *parsed;
  return true;
}

bool ToDouble(const std::string& text, double& value) {
  const std::optional<double> parsed = kr::ParseWholeDecimal(text);
  if (!parsed || *parsed < 0) return false;
  value = *parsed;
  return true;
}

struct Parser {
  CliOptions& options;
  std::string& error;

  bool Int(const std::string& option, const std::string& text, int low, int high, int& value) {
    if (ToInt(text, low, high, value)) return true;
    error = option + ": expected a whole number from " + std::to_string(low) + " to " + std::to_string(high) +
            ", found \"" + text + "\"";
    return false;
  }

  bool Unit(const std::string& text) {
    SimConfig& c = options.config;
    if (kr::EqualsNoCase(text, "hcu"))
      c.unit = UnitKind::kHcu;
    else if (kr::EqualsNoCase(text, "recorder"))
      c.unit = UnitKind::kRecorder;
    else if (kr::EqualsNoCase(text, "mkr"))
      c.unit = UnitKind::kMkr;
    else {
      error = "--unit: expected hcu, recorder or mkr";
      return false;
    }
    if (c.unit != UnitKind::kHcu && c.recorders.size() > 1) c.recorders.resize(1);
    return true;
  }

  bool Recorders(const std::string& text, std::vector<int>& list) {
    list.clear();
    for (const std::string& item : SplitList(text)) {
      int n = 0;
      if (!Int("--offline", item, 1, 16, n)) return false;
      list.push_back(n);
    }
    return true;
  }

  // Applies one option with its value; false for errors.
  bool Apply(const std::string& option, const std::string& value) {
    SimConfig& c = options.config;
    ServerOptions& s = options.server;
    FaultSettings& f = c.faults;
    const std::map<std::string, std::function<bool()>> handlers = {
        {"--tcp",
         [&] {
           s.line = ServerOptions::Line::kTcp;
           return Int(option, value, 0, 65535, s.port);
         }},
        {"--link",
         [&] {
           s.link = value;
           return true;
         }},
        {"--baud", [&] { return Int(option, value, 300, 115200, c.baud); }},
        {"--unit", [&] { return Unit(value); }},
        {"--seed",
         [&] {
           int seed = 0;
           bool ok = Int(option, value, 0, 1 << 30, seed);
           c.seed = static_cast<std::uint64_t>(seed);
           return ok;
         }},
        {"--log",
         [&] {
           s.log_path = value;
           return true;
         }},
        {"--max-run-time",
         [&] {
           if (ToDouble(value, s.max_run_time_s)) return true;
           error = "--max-run-time: expected seconds";
           return false;
         }},
        {"--trigger-recorder", [&] { return Int(option, value, 1, 16, s.trigger_recorder); }},
        {"--trigger-every",
         [&] {
           if (ToDouble(value, s.trigger_every_s) && s.trigger_every_s >= 0.05) return true;
           error = "--trigger-every: expected seconds (at least 0.05)";
           return false;
         }},
        {"--export-events",
         [&] {
           options.export_dir = value;
           return true;
         }},
        {"--corrupt-block-every", [&] { return Int(option, value, 0, 1000000, f.corrupt_block_every); }},
        {"--drop-reply-every", [&] { return Int(option, value, 0, 1000000, f.drop_reply_every); }},
        {"--late-reply-ms", [&] { return Int(option, value, 0, 600000, f.late_reply_ms); }},
        {"--late-reply-every", [&] { return Int(option, value, 1, 1000000, f.late_reply_every); }},
        {"--break-after-blocks", [&] { return Int(option, value, 0, 1000000, f.break_after_blocks); }},
        {"--refuse",
         [&] {
           f.refuse_codes = SplitList(value);
           return true;
         }},
        {"--offline", [&] { return Recorders(value, f.offline_recorders); }},
        {"--slow-write",
         [&] {
           f.slow_codes = SplitList(value);
           return true;
         }},
        {"--slow-minutes", [&] { return Int(option, value, 1, 99, f.slow_minutes); }},
        {"--slow-seconds", [&] { return Int(option, value, 0, 3600, f.slow_seconds); }},
        {"--connect-delay-ms", [&] { return Int(option, value, 0, 120000, c.modem.connect_delay_ms); }},
        {"--busy",
         [&] {
           c.modem.busy_numbers.push_back(value);
           return true;
         }},
        {"--no-carrier",
         [&] {
           c.modem.no_carrier_numbers.push_back(value);
           return true;
         }},
        {"--guard-ms", [&] { return Int(option, value, 0, 5100, c.modem.guard_time_ms); }},
        {"--config", [] { return true; }},  // read in the first pass
    };
    const auto it = handlers.find(option);
    if (it == handlers.end()) {
      error = "unknown option " + option + " (see krsim --help)";
      return false;
    }
    return it->second();
  }

  bool Flag(const std::string& option) {
    if (option == "--help" || option == "-h")
      options.help = true;
    else if (option == "--version")
      options.version = true;
    else if (option == "--pty")
      options.server.line = ServerOptions::Line::kPty;
    else if (option == "--modem")
      options.server.line = ServerOptions::Line::kModem;
    else if (option == "--pace")
      options.server.pace = true;
    else if (option == "--no-stdin")
      options.server.control_from_stdin = false;
    else
      return false;
    return true;
  }
};

}  // namespace

bool ParseCommandLine(int argc, const char* const argv[], CliOptions& options, std::string& error) {
  options = CliOptions{};
  options.config = DefaultConfig();
  for (int i = 1; i + 1 < argc; ++i) {
    if (std::string(argv[i]) == "--config" && !LoadConfig(argv[i + 1], options.config, error)) return false;
  }
  Parser parser{options, error};
  for (int i = 1; i < argc; ++i) {
    const std::string option = argv[i];
    if (parser.Flag(option)) continue;
    if (option.rfind("--", 0) != 0) {
      error = "unexpected argument \"" + option + "\" (see krsim --help)";
      return false;
    }
    if (i + 1 >= argc) {
      error = option + " needs a value";
      return false;
    }
    if (!parser.Apply(option, argv[++i])) return false;
  }
  const int count = static_cast<int>(options.config.recorders.size());
  if (options.server.trigger_recorder > count) {
    error = "--trigger-recorder: the unit has " + std::to_string(count) + " recorder(s)";
    return false;
  }
  return true;
}

std::string HelpText() {
  return R"(krsim - simulator of the HCU4100 control unit and the KR recorders

Usage: krsim [options]

Without options krsim listens on a free TCP port of 127.0.0.1 as an HCU4100 with two
recorders of three events each, and prints "PORT <n>".

Line (one of):
  --tcp PORT              listen on 127.0.0.1:PORT (0 picks a free port; printed as PORT <n>)
  --pty                   a serial line on a pseudo-terminal (printed as PTY <path>); the unit
                          answers only while the PC's side is set to the unit's baud rate
  --modem                 a Hayes modem on a pseudo-terminal; the unit answers after CONNECT
  --link PATH             also make PATH a symbolic link to the pseudo-terminal
  --baud N                the unit's line rate (default 9600)
  --pace                  send no faster than the line rate allows (10 bits per byte)

Unit:
  --config FILE           units, recorders, events, faults and modem from an INI file
  --unit hcu|recorder|mkr an HCU with recorders, one recorder on its own, or an MKR4100
  --seed N                seed of the generated events (default 1)
  --export-events DIR     write the file the PC is expected to write for every stored event
                          into DIR, named <recorder><file>.<kind> (01003.vkr), and stop

Running:
  --log FILE              transcript of every frame in and out, with time stamps
  --max-run-time S        stop after S seconds
  --trigger-recorder N    the recorder that SIGUSR1 gives a new event (default 1)
  --trigger-every S       that recorder records a new event every S seconds
  --no-stdin              ignore standard input
  Control lines on standard input: "trigger [n]", "ring", "status", "quit".
  SIGUSR1 records a new event, SIGUSR2 rings the modem, SIGTERM and SIGINT stop cleanly.

Faults (each is counted and reported when krsim stops):
  --corrupt-block-every N every Nth data block goes out with a wrong checksum
  --drop-reply-every N    every Nth reply is not sent
  --late-reply-ms MS      replies are sent MS milliseconds late ...
  --late-reply-every N    ... every Nth of them (default 1: all)
  --break-after-blocks N  the connection breaks once, after N data blocks
  --refuse CODES          answer "N" to these commands (comma-separated codes: MD,Te)
  --offline RECORDERS     show these recorders offline ("O") in the HCU status strings
  --slow-write CODES      answer these writes "W<minutes>" first and "*" later
  --slow-minutes M        the minutes named in the "W" reply (default 1)
  --slow-seconds S        how long the slow write really takes (default 3)

Modem:
  --connect-delay-ms MS   time from ATD to the result (default 2000)
  --busy NUMBER           this number answers BUSY (repeatable)
  --no-carrier NUMBER     this number answers NO CARRIER (repeatable)
  --guard-ms MS           escape guard time around "+++" (default 1000)

  --help                  this text
  --version               the version
)";
}

}  // namespace krsim
