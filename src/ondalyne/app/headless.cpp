#include "ondalyne/app/headless.h"

#include <QPainter>
#include <charconv>
#include <filesystem>

#include "kr_version.h"
#include "krcommon/clock.h"
#include "krcommon/event_time.h"
#include "ondalyne/app/describe.h"
#include "ondalyne/core/ondalyne_doc.h"
#include "ondalyne/core/view_state.h"
#include "ondalyne/render/page_output.h"
#include "ondalyne/render/page_renderer.h"
#include "ondalyne/resources/ondalyne_strings.h"

namespace ondalyne {

namespace {

bool ParseInt(const std::string& text, std::int64_t& value) {
  const char* end = text.data() + text.size();
  auto [ptr, ec] = std::from_chars(text.data(), end, value);
  return ec == std::errc() && ptr == end;
}

bool ParseSize(const std::string& text, int& width, int& height) {
  auto x = text.find_first_of("xX");
  if (x == std::string::npos) return false;
  std::int64_t w = 0, h = 0;
  if (!ParseInt(text.substr(0, x), w) || !ParseInt(text.substr(x + 1), h)) return false;
  if (w < 100 || h < 100 || w > 20000 || h > 20000) return false;
  width = static_cast<int>(w);
  height = static_cast<int>(h);
  return true;
}

}  // namespace

std::string AnalysisDate(const kr::DateTime& now, bool us) {
  std::string text = kr::FormatEventDate(now, us) + " ";
  if (!us) return text + kr::FormatPrintf("%02d:%02d", now.hour, now.minute);
  const int hour = now.hour % 12 == 0 ? 12 : now.hour % 12;
  return text + kr::FormatPrintf("%02d:%02d %s", hour, now.minute, now.hour >= 12 ? "PM" : "AM");
}

int ModeFromPageName(const std::string& page) {
  if (page == "status") return kModeStatus;
  if (page == "time") return kModeTimeHistory;
  if (page == "frequency") return kModeFrequency;
  if (page == "vector-sum") return kModeVectorSum;
  if (page == "peak-frequency") return kModePeakFrequency;
  if (page == "assessment") return kModeAssessment;
  return -1;
}

std::optional<HeadlessCommand> ParseHeadless(const std::vector<std::string>& args,
                                             const kr::StringTable& strings, std::string& error) {
  HeadlessCommand command;
  auto bad = [&](const std::string& what) {
    error = strings.Format(sid::kBadArgument, what);
    return std::nullopt;
  };
  if (args.empty()) return bad("");
  std::size_t next = 0;
  if (args[0] == "--describe") {
    if (args.size() < 2) return bad(args[0]);
    command.file = args[1];
    next = 2;
  } else if (args[0] == "--render") {
    if (args.size() < 4) return bad(args[0]);
    command.action = HeadlessCommand::Action::kRender;
    command.page = args[1];
    if (ModeFromPageName(command.page) < 0) return bad(command.page);
    command.file = args[2];
    command.out = args[3];
    if (FormatFromPath(command.out) == PageFormat::kUnknown) return bad(command.out);
    next = 4;
  } else {
    return bad(args[0]);
  }
  const bool render = command.action == HeadlessCommand::Action::kRender;
  for (std::size_t i = next; i < args.size(); ++i) {
    const std::string& a = args[i];
    const bool has_value = i + 1 < args.size();
    if (a == "--us-date") {
      command.us_date = true;
    } else if (a == "--language" && has_value) {
      const std::string& v = args[++i];
      if (v == "en")
        command.language = kr::Language::kEnglish;
      else if (v == "de")
        command.language = kr::Language::kGerman;
      else if (v == "zh")
        command.language = kr::Language::kChinese;
      else
        return bad(a + " " + v);
    } else if (render && a == "--size" && has_value) {
      if (!ParseSize(args[++i], command.width, command.height)) return bad(a + " " + args[i]);
    } else if (render && a == "--channel" && has_value) {
      const std::string& v = args[++i];
      if (v == "all")
        command.channel = 0;
      else if (v == "x")
        command.channel = 1;
      else if (v == "y")
        command.channel = 2;
      else if (v == "z")
        command.channel = 3;
      else
        return bad(a + " " + v);
    } else if (render && a == "--offset" && has_value) {
      const std::string& v = args[++i];
      if (v != "on" && v != "off") return bad(a + " " + v);
      command.offset = v == "on";
    } else if (render && a == "--zoom" && has_value) {
      const std::string& v = args[++i];
      auto colon = v.find(':');
      std::int64_t first = 0, end = 0;
      if (colon == std::string::npos || !ParseInt(v.substr(0, colon), first) ||
          !ParseInt(v.substr(colon + 1), end) || end <= first)
        return bad(a + " " + v);
      command.zoom_first = first;
      command.zoom_end = end;
    } else {
      return bad(a);
    }
  }
  return command;
}

int RunHeadless(const HeadlessCommand& command, kr::StringTable& strings, std::ostream& out,
                std::ostream& err) {
  strings.SetLanguage(command.language);
  std::error_code ec;
  if (!std::filesystem::is_regular_file(command.file, ec)) {
    err << strings.Format(sid::kCannotOpen, command.file) << "\n";
    return 1;
  }
  LoadOptions options;
  options.us_date = command.us_date;
  options.current_year = kr::SystemClock().LocalNow().year;
  COndalyneDoc doc;
  doc.Load(command.file, strings, options);
  const bool loaded = doc.kind() > 0;
  for (const DocMessage& message : doc.messages()) err << message.text << "\n";

  if (command.action == HeadlessCommand::Action::kDescribe) {
    out << DescribeJson(doc);
    return loaded ? 0 : 1;
  }

  ViewState view = InitialViewState(doc, true, false);
  view.mode = ModeFromPageName(command.page);
  if (loaded && !PageAvailable(doc, view.mode)) {
    err << strings.Format(sid::kUnknownPage, command.page) << "\n";
    return 2;
  }
  if (view.mode != kModeVectorSum) view.channel = command.channel;
  if (command.offset) view.offset = *command.offset;
  if (command.zoom_first && loaded)
    view.zoom = ClampTimeWindow({*command.zoom_first, *command.zoom_end}, doc);

  CPageRenderer renderer(doc, strings);
  RenderOptions render_options;
  render_options.us_date = command.us_date;
  render_options.paper = FormatFromPath(command.out) == PageFormat::kPdf;
  render_options.version = kr::kAppVersion;
  render_options.analysis_date = AnalysisDate(kr::SystemClock().LocalNow(), command.us_date);
  const bool written = WritePage(
      command.out, QSize(command.width, command.height),
      [&](QPainter& painter, const QRect& area) { renderer.Paint(painter, area, view, render_options); });
  if (!written) {
    err << strings.Format(sid::kCannotWrite, command.out) << "\n";
    return 1;
  }
  return loaded ? 0 : 1;
}

}  // namespace ondalyne
