#include "tarvik/config/parameter_page.h"

#include <algorithm>
#include <map>

#include "krcommon/text_util.h"
#include "tarvik/config/param_list_export.h"
#include "tarvik/protocol/command_table.h"

namespace tarvik {

namespace {

constexpr ParameterPageName kPages[] = {
    {ParameterPage::kRecorder, "recorder"},
    {ParameterPage::kHcu, "hcu"},
    {ParameterPage::kNetwork, "network"},
    {ParameterPage::kSensor, "sensor"},
    {ParameterPage::kRecording, "recording"},
    {ParameterPage::kGeneral, "general"},
    {ParameterPage::kRecordingMode, "recording-mode"},
    {ParameterPage::kTestResults, "test-results"},
    {ParameterPage::kHcuTestResults, "hcu-test-results"},
    {ParameterPage::kHcuCommunication, "hcu-communication"},
    {ParameterPage::kHcuParameters, "hcu-parameters"},
    {ParameterPage::kFilter, "filter"},
    {ParameterPage::kSelfTestSetup, "self-test-setup"},
    {ParameterPage::kHcuPeriodicTest, "hcu-periodic-test"},
    {ParameterPage::kAlertingMessages, "alerting-messages"},
    {ParameterPage::kAlertingPhonebook, "alerting-phonebook"},
    {ParameterPage::kAlerting, "alerting"},
    {ParameterPage::kCavAlarm, "cav-alarm"},
    {ParameterPage::kSiAlarm, "si-alarm"},
    {ParameterPage::kBackgroundRecording, "background-recording"},
    {ParameterPage::kTimedRecording, "timed-recording"},
    {ParameterPage::kKrAlarm, "kr-alarm"},
    {ParameterPage::kAdValues, "ad-values"},
};

using LinesByCode = std::map<std::string, std::vector<PageLine>, std::less<>>;

std::string_view TrimView(std::string_view text) {
  while (!text.empty() && (text.front() == ' ' || text.front() == '\t')) text.remove_prefix(1);
  while (!text.empty() && (text.back() == ' ' || text.back() == '\t')) text.remove_suffix(1);
  return text;
}

std::string Unquoted(std::string_view text) {
  text = TrimView(text);
  if (text.size() >= 2 && text.front() == '"' && text.back() == '"') text = text.substr(1, text.size() - 2);
  return std::string(text);
}

// A label without its closing colon (the Chinese texts close with the full-width one).
std::string WithoutColon(std::string_view label) {
  label = TrimView(label);
  constexpr std::string_view kWideColon = "\xEF\xBC\x9A";
  if (label.ends_with(kWideColon)) {
    label.remove_suffix(kWideColon.size());
  } else if (label.ends_with(':')) {
    label.remove_suffix(1);
  }
  return std::string(TrimView(label));
}

// The lines of a parameter list, grouped by the code in front of them: "[CODE] Label:\tvalue" is a
// labelled value; the element lines below a heading become its value, joined with ", ".
LinesByCode ParseList(const std::string& text) {
  LinesByCode lines;
  PageLine* current = nullptr;
  std::size_t start = 0;
  while (start < text.size()) {
    std::size_t end = text.find("\r\n", start);
    if (end == std::string::npos) end = text.size();
    const std::string_view line(text.data() + start, end - start);
    start = end + 2;
    if (line.starts_with("     ")) {
      if (current == nullptr) continue;
      std::string_view element = TrimView(line);
      const std::size_t bracket = element.starts_with('[') ? element.find("] ") : std::string_view::npos;
      const std::size_t colon = element.find(": ");
      if (bracket != std::string_view::npos) {
        element.remove_prefix(bracket + 2);
      } else if (colon != std::string_view::npos) {
        element.remove_prefix(colon + 2);
      }
      if (!current->value.empty()) current->value += ", ";
      current->elements.push_back(Unquoted(element));
      current->value += current->elements.back();
      continue;
    }
    current = nullptr;
    if (!line.starts_with('[')) continue;
    const std::size_t close = line.find(']');
    if (close == std::string_view::npos) continue;
    const std::string code(line.substr(1, close - 1));
    const std::string_view rest = TrimView(line.substr(close + 1));
    const std::size_t tab = rest.find('\t');
    PageLine entry;
    if (tab != std::string_view::npos) {
      entry.label = WithoutColon(rest.substr(0, tab));
      entry.value = Unquoted(rest.substr(tab + 1));
    } else if (rest.ends_with(':') || rest.ends_with("\xEF\xBC\x9A")) {
      entry.label = WithoutColon(rest);
    } else {
      entry.label = code;  // a block that is switched off says so in one sentence
      entry.value = std::string(rest);
    }
    std::vector<PageLine>& group = lines[code];
    group.push_back(std::move(entry));
    current = &group.back();
  }
  return lines;
}

template <std::size_t N>
std::string JoinList(const ParamList<N>& list) {
  std::string text;
  for (int i = 0; i < list.count; ++i) {
    if (i > 0) text += ", ";
    text += std::to_string(list.Value(static_cast<std::size_t>(i)));
  }
  return text;
}

// One letter per recorder on the line, as the status strings report them.
std::string StatusLetters(const HcuInfo& hcu, StatusFlag HcuRecorderStatus::*flag) {
  std::string letters;
  const int recorders = std::clamp(hcu.NC.value, 0, kMaxRecorders);
  for (int r = 0; r < recorders; ++r) {
    const HcuRecorderStatus& status = hcu.recorders[static_cast<std::size_t>(r)];
    letters += status.offline ? 'O' : ((status.*flag).current ? 'Y' : 'N');
  }
  return letters;
}

std::string EventFlagLetters(const HcuInfo& hcu, bool second) {
  std::string letters;
  const int recorders = std::clamp(hcu.NC.value, 0, kMaxRecorders);
  for (int r = 0; r < recorders; ++r) {
    const HcuRecorderStatus& status = hcu.recorders[static_cast<std::size_t>(r)];
    letters += status.offline ? 'O' : ((second ? status.NE : status.NW).current ? 'Y' : 'N');
  }
  return letters;
}

// Values the parameter lists do not carry; shown under their command code.
std::optional<std::string> OtherValue(std::string_view code, const PageSource& source) {
  const HcuInfo& h = source.hcu;
  if (source.kr != nullptr) {
    const KrParams& k = *source.kr;
    if (code == "SF") return JoinList(k.SF);
    if (code == "AF") return JoinList(k.AF);
    if (code == "HF") return JoinList(k.HF);
    if (code == "CF") return JoinList(k.CF);
    if (code == "BF") return JoinList(k.BF);
    if (code == "MF") return JoinList(k.MF);
    if (code == "SI") return JoinList(k.SI);
  }
  if (code == "NQ") return h.NQ.value == 0 ? std::string() : std::string(1, h.NQ.value);
  if (code == "NF") return JoinList(h.NF);
  if (code == "NV") return JoinList(h.NV);
  if (code == "NR") return StatusLetters(h, &HcuRecorderStatus::NR);
  if (code == "NY") return StatusLetters(h, &HcuRecorderStatus::NY);
  if (code == "NW") return EventFlagLetters(h, false);
  if (code == "NE") return EventFlagLetters(h, true);
  return std::nullopt;
}

}  // namespace

std::span<const ParameterPageName> ParameterPageNames() {
  return kPages;
}

std::optional<ParameterPage> FindParameterPage(std::string_view name) {
  for (const ParameterPageName& page : kPages) {
    if (page.name == name) return page.page;
  }
  return std::nullopt;
}

std::vector<PageLine> BuildPageLines(ParameterPage page, std::span<const int> read_list,
                                     const PageSource& source, const kr::StringTable& strings) {
  (void)page;
  LinesByCode recorder_lines;
  if (source.kr != nullptr) {
    recorder_lines =
        ParseList(BuildRecorderParamList({*source.kr, source.login_level, source.password, ""}, strings));
  }
  const LinesByCode hcu_lines = ParseList(BuildHcuParamList({source.hcu, ""}, strings));

  std::vector<PageLine> lines;
  std::vector<int> seen;
  for (const int command : read_list) {
    if (command == cmd::kNa || command == cmd::kNa0) continue;
    if (std::find(seen.begin(), seen.end(), command) != seen.end()) continue;
    seen.push_back(command);
    const std::string_view code = CommandAt(command).code;
    const LinesByCode& group = command >= cmd::kFirstRecorderCommand ? recorder_lines : hcu_lines;
    if (auto found = group.find(code); found != group.end()) {
      lines.insert(lines.end(), found->second.begin(), found->second.end());
    } else if (command < cmd::kFirstRecorderCommand || source.kr == nullptr ||
               DeviceTypeSupports(source.kr->device_type, command)) {
      if (std::optional<std::string> value = OtherValue(code, source))
        lines.push_back({std::string(code), *value, {}});
    }
  }
  return lines;
}

}  // namespace tarvik
