#include "krtool/seismic_commands.h"

#include <cmath>
#include <cstdlib>
#include <filesystem>
#include <optional>
#include <vector>

#include "krcommon/vibration_assessment.h"
#include "krtool/krtool_app.h"
#include "tarvik/eventfiles/event_traces.h"
#include "tarvik/eventfiles/mseed_writer.h"
#include "tarvik/eventfiles/sac_writer.h"
#include "tarvik/eventfiles/seed_naming.h"
#include "tarvik/eventfiles/seed_time.h"

namespace krtool {

namespace {

bool IsHelp(const std::string& arg) {
  return arg == "--help" || arg == "-h" || arg == "help";
}

// The command line of mseed and sac: positional arguments and the stream options.
struct StreamArguments {
  std::vector<std::string> positional;
  std::optional<std::string> network;
  std::optional<std::string> station;
  std::optional<std::string> location;
  std::optional<std::string> channels;
  std::optional<std::string> sds;
  std::optional<std::string> utc_offset;
  bool physical = false;
};

// Hours between -14 and 14 ("+1", "-5.5"), as microseconds; nullopt for anything else.
std::optional<std::int64_t> ParseUtcOffset(const std::string& text) {
  if (text.empty()) return std::nullopt;
  char* end = nullptr;
  double hours = std::strtod(text.c_str(), &end);
  if (end == nullptr || *end != '\0' || !std::isfinite(hours) || hours < -14.0 || hours > 14.0)
    return std::nullopt;
  return static_cast<std::int64_t>(std::llround(hours * 3600.0)) * 1000000;
}

class Command {
 public:
  explicit Command(const ToolContext& context) : c_(context) {}

  int Help(int id) const {
    c_.out << c_.strings.Text(id);
    return kExitOk;
  }
  int Usage(const char* command) const {
    c_.err << c_.strings.Format(kMsgWrongArguments, std::string(command)) << '\n';
    return kExitUsage;
  }
  int Failed(const std::string& message) const {
    c_.err << message << '\n';
    return kExitFailed;
  }

  // Reads the options; nullopt (after a message) for an unknown option or one without its value.
  std::optional<StreamArguments> ParseStream(std::span<const std::string> args, bool mseed) const {
    StreamArguments parsed;
    for (std::size_t i = 0; i < args.size(); ++i) {
      const std::string& arg = args[i];
      if (!arg.starts_with("--")) {
        parsed.positional.push_back(arg);
        continue;
      }
      if (mseed && arg == "--physical") {
        parsed.physical = true;
        continue;
      }
      std::optional<std::string>* target = nullptr;
      if (arg == "--network") target = &parsed.network;
      if (arg == "--station") target = &parsed.station;
      if (arg == "--location") target = &parsed.location;
      if (arg == "--channels") target = &parsed.channels;
      if (arg == "--utc-offset") target = &parsed.utc_offset;
      if (mseed && arg == "--sds") target = &parsed.sds;
      if (target == nullptr) {
        c_.err << c_.strings.Format(kMsgUnknownOption, arg) << '\n';
        return std::nullopt;
      }
      if (i + 1 >= args.size()) {
        c_.err << c_.strings.Format(kMsgNeedsValue, arg) << '\n';
        return std::nullopt;
      }
      *target = args[++i];
    }
    return parsed;
  }

  // Moves the start from the recorder's clock to UTC when the command line says how far that clock is
  // ahead; false after a message when the offset is no number of hours.
  bool ApplyUtcOffset(tarvik::EventTraces& traces, const StreamArguments& args) const {
    if (!args.utc_offset) return true;
    std::optional<std::int64_t> offset = ParseUtcOffset(*args.utc_offset);
    if (!offset) {
      c_.err << c_.strings.Format(kMsgBadUtcOffset, *args.utc_offset) << '\n';
      return false;
    }
    traces.start_us -= *offset;
    return true;
  }

  std::optional<tarvik::EventTraces> Load(const std::string& path) const {
    std::error_code error;
    if (std::filesystem::is_directory(path, error)) {
      c_.err << c_.strings.Format(kMsgNotAFile, path) << '\n';
      return std::nullopt;
    }
    tarvik::EventTracesResult loaded = tarvik::LoadEventTraces(path, c_.clock.LocalNow().year, c_.strings);
    if (!loaded.traces) c_.err << loaded.error << '\n';
    return std::move(loaded.traces);
  }

  // The default names with the command line's choices; nullopt after a message when one is invalid.
  std::optional<tarvik::SeedNaming> Naming(const tarvik::EventTraces& traces,
                                           const StreamArguments& args) const {
    tarvik::SeedNaming naming = tarvik::DefaultSeedNaming(traces);
    if (args.network) naming.network = tarvik::ToSeedCode(*args.network);
    if (args.station) naming.station = tarvik::ToSeedCode(*args.station);
    if (args.location) naming.location = tarvik::ToSeedCode(*args.location);
    if (args.channels) {
      auto codes = tarvik::ParseChannelCodes(*args.channels);
      if (!codes) {
        c_.err << c_.strings.Format(tarvik::kMsgBadChannels, *args.channels) << '\n';
        return std::nullopt;
      }
      naming.channels = *codes;
    }
    std::string error = tarvik::ValidateSeedNaming(naming, c_.strings);
    if (!error.empty()) {
      c_.err << error << '\n';
      return std::nullopt;
    }
    return naming;
  }

  void PrintTraces(const tarvik::EventTraces& traces, const tarvik::SeedNaming& naming) const {
    for (std::size_t c = 0; c < 3; ++c) {
      std::string id =
          naming.network + "." + naming.station + "." + naming.location + "." + naming.channels[c];
      c_.out << c_.strings.Format(kMsgTraceLine, id, tarvik::IsoTime(traces.start_us), traces.sampling,
                                  static_cast<unsigned long>(traces.SampleCount()));
    }
  }

  const ToolContext& context() const { return c_; }

 private:
  const ToolContext& c_;
};

std::string SacFileName(const tarvik::EventTraces& traces, const tarvik::SeedNaming& naming,
                        std::size_t channel) {
  tarvik::SeedTimeParts t = tarvik::SplitEpochMicroseconds(traces.start_us);
  return kr::FormatPrintf("%s.%s.%s.%s.%04d.%03d.%02d%02d%02d.SAC", naming.network.c_str(),
                          naming.station.c_str(), naming.location.c_str(), naming.channels[channel].c_str(),
                          t.year, t.day_of_year, t.hour, t.minute, t.second);
}

// ---------------------------------------------------------------------------------------------------
// assess

std::string ChannelLabel(const tarvik::EventTraces& traces, std::size_t channel) {
  const std::string& name = traces.channels[channel].name;
  return name.empty() ? std::string(1, static_cast<char>('X' + channel)) : name;
}

std::string JsonString(const std::string& text) {
  std::string out = "\"";
  for (char ch : text) {
    auto c = static_cast<unsigned char>(ch);
    if (c == '"' || c == '\\') {
      out += '\\';
      out += ch;
    } else if (c < 0x20) {
      out += kr::FormatPrintf("\\u%04x", c);
    } else {
      out += ch;
    }
  }
  return out + "\"";
}

std::string JsonNumber(double value, int decimals) {
  if (!std::isfinite(value)) return "null";
  return kr::FormatPrintf("%.*f", decimals, value);
}

struct AssessedChannel {
  std::string label;
  std::string unit;
  bool velocity = false;
  kr::ChannelAssessment result;
};

struct AssessArguments {
  std::string file;
  int line = kr::kLastLine;  // the strictest line unless told otherwise
  bool json = false;
  bool force = false;
};

std::optional<AssessArguments> ParseAssess(std::span<const std::string> args, const Command& command) {
  const ToolContext& c = command.context();
  AssessArguments parsed;
  std::vector<std::string> positional;
  for (std::size_t i = 0; i < args.size(); ++i) {
    const std::string& arg = args[i];
    if (arg == "--json") {
      parsed.json = true;
    } else if (arg == "--force") {
      parsed.force = true;
    } else if (arg == "--line") {
      if (i + 1 >= args.size()) {
        c.err << c.strings.Format(kMsgNeedsValue, arg) << '\n';
        return std::nullopt;
      }
      const std::string& value = args[++i];
      if (value != "1" && value != "2" && value != "3") {
        c.err << c.strings.Format(kMsgBadLine, value) << '\n';
        return std::nullopt;
      }
      parsed.line = value[0] - '0';
    } else if (arg.starts_with("--")) {
      c.err << c.strings.Format(kMsgUnknownOption, arg) << '\n';
      return std::nullopt;
    } else {
      positional.push_back(arg);
    }
  }
  if (positional.size() != 1) {
    command.Usage("assess");
    return std::nullopt;
  }
  parsed.file = positional[0];
  return parsed;
}

void PrintAssessmentText(const ToolContext& c, const tarvik::EventTraces& traces, const AssessArguments& args,
                         const std::vector<AssessedChannel>& channels, std::size_t worst) {
  c.out << c.strings.Format(kMsgAssessTitle, args.line, c.strings.Text(kMsgLine1 + args.line - 1));
  c.out << c.strings.Format(kMsgStartTime, tarvik::IsoTime(traces.start_us));
  c.out << c.strings.Text(kMsgAssessHeadings);
  for (const AssessedChannel& ch : channels) {
    const kr::ChannelAssessment& r = ch.result;
    std::string frequency = r.frequency_hz ? kr::FormatPrintf("%.1f", *r.frequency_hz) : "-";
    c.out << kr::FormatPrintf("%s\t%.3f\t%.3f\t%s\t%.2f\t%.2f\t", ch.label.c_str(), r.peak, r.peak_time_s,
                              frequency.c_str(), r.guideline, r.ratio)
          << c.strings.Text(r.exceeded ? kMsgVerdictExceeded : kMsgVerdictBelow) << '\n';
  }
  for (const AssessedChannel& ch : channels) {
    if (!ch.velocity) c.out << c.strings.Format(kMsgForcedNotVelocity, ch.unit, ch.label);
    if (!ch.result.frequency_hz) c.out << c.strings.Format(kMsgNoHalfWave, ch.label);
  }
  const AssessedChannel& w = channels[worst];
  c.out << c.strings.Format(kMsgAssessResult,
                            c.strings.Text(w.result.exceeded ? kMsgVerdictExceeded : kMsgVerdictBelow),
                            w.result.ratio, w.label);
}

void PrintAssessmentJson(const ToolContext& c, const tarvik::EventTraces& traces, const AssessArguments& args,
                         const std::vector<AssessedChannel>& channels, std::size_t worst) {
  std::ostream& out = c.out;
  out << "{\n  \"file\": " << JsonString(args.file) << ",\n  \"line\": " << args.line
      << ",\n  \"forced\": " << (args.force ? "true" : "false")
      << ",\n  \"start\": " << JsonString(tarvik::IsoTime(traces.start_us))
      << ",\n  \"sampling_hz\": " << traces.sampling << ",\n  \"channels\": [";
  for (std::size_t i = 0; i < channels.size(); ++i) {
    const AssessedChannel& ch = channels[i];
    const kr::ChannelAssessment& r = ch.result;
    auto peak_us = static_cast<std::int64_t>(std::llround(r.peak_time_s * 1e6));
    out << (i == 0 ? "\n" : ",\n") << "    {\"name\": " << JsonString(ch.label)
        << ", \"unit\": " << JsonString(ch.unit) << ", \"velocity\": " << (ch.velocity ? "true" : "false")
        << ", \"peak_mm_s\": " << JsonNumber(r.peak, 6)
        << ", \"peak_time_s\": " << JsonNumber(r.peak_time_s, 6)
        << ", \"peak_time\": " << JsonString(tarvik::IsoTime(traces.start_us + peak_us))
        << ", \"frequency_hz\": " << (r.frequency_hz ? JsonNumber(*r.frequency_hz, 3) : "null")
        << ", \"guideline_mm_s\": " << JsonNumber(r.guideline, 4) << ", \"ratio\": " << JsonNumber(r.ratio, 4)
        << ", \"verdict\": \"" << (r.exceeded ? "exceeded" : "below") << "\"}";
  }
  out << "\n  ],\n  \"highest_ratio\": " << JsonNumber(channels[worst].result.ratio, 4)
      << ",\n  \"verdict\": \"" << (channels[worst].result.exceeded ? "exceeded" : "below") << "\"\n}\n";
}

}  // namespace

int RunMseed(std::span<const std::string> args, const ToolContext& context) {
  Command command(context);
  if (!args.empty() && IsHelp(args[0])) return command.Help(kMsgMseedHelp);
  std::optional<StreamArguments> parsed = command.ParseStream(args, /*mseed=*/true);
  if (!parsed) return kExitUsage;
  const std::size_t wanted_min = parsed->sds ? 1 : 2;
  if (parsed->positional.size() < wanted_min || parsed->positional.size() > 2) return command.Usage("mseed");
  std::optional<tarvik::EventTraces> traces = command.Load(parsed->positional[0]);
  if (!traces) return kExitFailed;
  std::optional<tarvik::SeedNaming> naming = command.Naming(*traces, *parsed);
  if (!naming || !command.ApplyUtcOffset(*traces, *parsed)) return kExitUsage;

  tarvik::MiniSeedWriter writer(*traces, *naming, parsed->physical, context.strings);
  command.PrintTraces(*traces, *naming);
  if (parsed->positional.size() == 2) {
    // Writing over the event file itself would lose the recording.
    std::error_code same_error;
    if (std::filesystem::equivalent(parsed->positional[0], parsed->positional[1], same_error))
      return command.Failed(context.strings.Format(kMsgOutputIsInput, parsed->positional[1]));
    std::string error = writer.WriteFile(parsed->positional[1]);
    if (!error.empty()) return command.Failed(error);
    context.out << context.strings.Format(kMsgWritten, parsed->positional[1]);
  }
  if (parsed->sds) {
    std::vector<std::filesystem::path> written;
    std::string error = writer.WriteSds(*parsed->sds, written);
    for (const auto& path : written) context.out << context.strings.Format(kMsgWritten, path.string());
    if (!error.empty()) return command.Failed(error);
  }
  return kExitOk;
}

int RunSac(std::span<const std::string> args, const ToolContext& context) {
  Command command(context);
  if (!args.empty() && IsHelp(args[0])) return command.Help(kMsgSacHelp);
  std::optional<StreamArguments> parsed = command.ParseStream(args, /*mseed=*/false);
  if (!parsed) return kExitUsage;
  if (parsed->positional.size() != 2) return command.Usage("sac");
  std::optional<tarvik::EventTraces> traces = command.Load(parsed->positional[0]);
  if (!traces) return kExitFailed;
  std::optional<tarvik::SeedNaming> naming = command.Naming(*traces, *parsed);
  if (!naming || !command.ApplyUtcOffset(*traces, *parsed)) return kExitUsage;

  std::filesystem::path folder = parsed->positional[1];
  std::error_code error;
  std::filesystem::create_directories(folder, error);
  if (error || !std::filesystem::is_directory(folder, error))
    return command.Failed(context.strings.Format(tarvik::kMsgCannotWrite, folder.string(), error.message()));
  command.PrintTraces(*traces, *naming);
  for (std::size_t c = 0; c < 3; ++c) {
    const tarvik::ChannelTrace& channel = traces->channels[c];
    std::vector<double> values = channel.Physical();
    tarvik::SacTrace sac;
    sac.start_us = traces->start_us;
    sac.sampling = traces->sampling;
    sac.values = values;
    sac.network = naming->network;
    sac.station = naming->station;
    sac.location = naming->location;
    sac.channel = naming->channels[c];
    sac.instrument = traces->recorder_model;
    sac.unit = channel.unit;
    sac.latitude = traces->latitude;
    sac.longitude = traces->longitude;
    std::filesystem::path path = folder / SacFileName(*traces, *naming, c);
    std::string message = tarvik::WriteSacFile(path, sac, context.strings);
    if (!message.empty()) return command.Failed(message);
    context.out << context.strings.Format(kMsgWritten, path.string());
  }
  return kExitOk;
}

int RunAssess(std::span<const std::string> args, const ToolContext& context) {
  Command command(context);
  if (!args.empty() && IsHelp(args[0])) return command.Help(kMsgAssessHelp);
  std::optional<AssessArguments> parsed = ParseAssess(args, command);
  if (!parsed) return kExitUsage;
  std::optional<tarvik::EventTraces> traces = command.Load(parsed->file);
  if (!traces) return kExitFailed;

  std::vector<AssessedChannel> channels;
  std::size_t worst = 0;
  for (std::size_t c = 0; c < 3; ++c) {
    const tarvik::ChannelTrace& trace = traces->channels[c];
    AssessedChannel assessed;
    assessed.label = ChannelLabel(*traces, c);
    assessed.unit = trace.unit;
    kr::UnitMeaning meaning = kr::ClassifyUnit(trace.unit);
    assessed.velocity = meaning.quantity == kr::Quantity::kVelocity;
    if (!assessed.velocity && !parsed->force) {
      return command.Failed(context.strings.Format(kMsgNotVelocity, trace.unit, assessed.label));
    }
    // Velocities in their unit become mm/s; forced channels keep their numbers.
    double factor = assessed.velocity ? meaning.factor : 1.0;
    std::vector<double> values = trace.Physical();
    for (double& v : values) v *= factor;
    assessed.result = kr::AssessChannel(values, traces->sampling, parsed->line);
    if (channels.empty() || assessed.result.ratio > channels[worst].result.ratio) worst = c;
    channels.push_back(std::move(assessed));
  }
  if (parsed->json) {
    PrintAssessmentJson(context, *traces, *parsed, channels, worst);
  } else {
    PrintAssessmentText(context, *traces, *parsed, channels, worst);
  }
  return channels[worst].result.exceeded ? kExitExceeded : kExitOk;
}

}  // namespace krtool
