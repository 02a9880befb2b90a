#pragma once

#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "krcommon/string_table.h"
#include "tarvik/protocol/hcu_info.h"
#include "tarvik/protocol/kr_params.h"

namespace tarvik {

// The pages that show what a reading state read, by the names tarvik-cli takes.
enum class ParameterPage {
  kRecorder,
  kHcu,
  kNetwork,
  kSensor,
  kRecording,
  kGeneral,
  kRecordingMode,
  kTestResults,
  kHcuTestResults,
  kHcuCommunication,
  kHcuParameters,
  kFilter,
  kSelfTestSetup,
  kHcuPeriodicTest,
  kAlertingMessages,
  kAlertingPhonebook,
  kAlerting,
  kCavAlarm,
  kSiAlarm,
  kBackgroundRecording,
  kTimedRecording,
  kKrAlarm,
  kAdValues,
};

struct ParameterPageName {
  ParameterPage page;
  std::string_view name;
};

// Every page with its name, in menu order.
std::span<const ParameterPageName> ParameterPageNames();
std::optional<ParameterPage> FindParameterPage(std::string_view name);

// One value a page shows.
struct PageLine {
  std::string label;
  std::string value;
  // The element lines of a list value one by one (value is them joined with ", "); empty for a
  // single value.
  std::vector<std::string> elements;
};

// What a page shows once its reading state has run: one labelled value per parameter the state
// read, in the order of its command list, in the table's language. Parameters whose command the
// recorder's type lacks are left out; list values are joined with ", ".
struct PageSource {
  const HcuInfo& hcu;
  const KrParams* kr = nullptr;  // the target recorder; null for the control unit's pages
  int login_level = 0;
  std::string password;
};
std::vector<PageLine> BuildPageLines(ParameterPage page, std::span<const int> read_list,
                                     const PageSource& source, const kr::StringTable& strings);

}  // namespace tarvik
