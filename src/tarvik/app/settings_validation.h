#pragma once

#include <optional>
#include <string>

#include "krcommon/string_table.h"
#include "tarvik/app/tarvik_settings.h"
#include "tarvik/uiport/ui_port.h"

namespace tarvik {

// The start-up checks of the communication settings. Every check runs; each one that fails shows its
// message (naming the key and `settings_file`) with the stop icon. False when any failed.
bool ValidateSettings(const TarvikSettings& settings, const std::string& settings_file, UiPort& ui,
                      const kr::StringTable& strings);

// The values of the Settings dialog's time-out page.
struct TimeoutPageValues {
  int polling_time = 40;
  int timeout_kr = 400;
  int timeout_hcu = 400;
  int timeout_set = 600;
  int timeout_fp = 8000;
};

enum class TimeoutField { kPollingTime, kTimeoutKr, kTimeoutHcu, kTimeoutSet, kTimeoutFp };

// The first invalid field of the page and the message to show at it (already formatted).
struct FieldError {
  TimeoutField field;
  int message_id;
  int min;
  int max;
  std::string text;
};

// The page's rules: time-outs KR and HCU 10..10000, Set and slow 10..30000 (message 497); the
// polling time 5 .. half the smaller of the KR and HCU time-outs (message 516). The polling time is
// also held to 500 and Set and slow to at least twice the polling time (497 with that minimum), or
// the next start would refuse the values the page accepted. The time-outs are checked first, since the
// polling limit derives from them.
std::optional<FieldError> ValidateTimeoutPage(const TimeoutPageValues& values,
                                              const kr::StringTable& strings);

TimeoutPageValues TimeoutPageFrom(const TarvikSettings& settings);
void StoreTimeoutPage(const TimeoutPageValues& values, TarvikSettings& settings);

// The language choices of the Appearance page: the label's string id and the value stored.
struct LanguageChoice {
  int string_id;
  int setting;
};
inline constexpr LanguageChoice kLanguageChoices[] = {{517, 0}, {518, 1}, {519, 3}};
// The list position that shows a stored value (any unknown value shows English).
int LanguageChoiceIndex(int setting);

}  // namespace tarvik
