#include "tarvik/app/settings_validation.h"

#include <algorithm>
#include <climits>
#include <cstdint>

namespace tarvik {

namespace {

constexpr int kMsgComPort = 202;
constexpr int kMsgBaudRate = 233;
constexpr int kMsgPollingTime = 209;
constexpr int kMsgTimeout = 203;
constexpr int kMsgRootNameChars = 101;
constexpr int kMsgInvalidValue = 497;
constexpr int kMsgPollingPage = 516;

// Twice the polling time, as an int even for absurd polling values read from a hand-edited file.
int DoublePolling(int polling) {
  return static_cast<int>(std::clamp<int64_t>(int64_t{2} * polling, INT_MIN, INT_MAX));
}

class Checker {
 public:
  Checker(const std::string& file, UiPort& ui, const kr::StringTable& strings)
      : file_(file), ui_(ui), strings_(strings) {}

  void Check(int value, int min, int max, int message, const char* key) {
    if (value >= min && value <= max) return;
    ok_ = false;
    ui_.ShowMessage(message, strings_.Format(message, min, max, key, file_), MessageIcon::kError,
                    MessageButtons::kOk);
  }

  bool ok() const { return ok_; }

 private:
  const std::string& file_;
  UiPort& ui_;
  const kr::StringTable& strings_;
  bool ok_ = true;
};

}  // namespace

bool ValidateSettings(const TarvikSettings& settings, const std::string& settings_file, UiPort& ui,
                      const kr::StringTable& strings) {
  Checker check(settings_file, ui, strings);
  const int min_timeout = DoublePolling(settings.com_polling_time);
  check.Check(settings.com, 1, 16, kMsgComPort, "COM");
  check.Check(settings.baud_rate, 110, 256000, kMsgBaudRate, "BaudRate");
  check.Check(settings.com_polling_time, 5, 500, kMsgPollingTime, "ComPollingTime");
  check.Check(settings.com_timeout_kr, min_timeout, 10000, kMsgTimeout, "ComTimeoutKR");
  check.Check(settings.com_timeout_hcu, min_timeout, 10000, kMsgTimeout, "ComTimeoutHCU");
  check.Check(settings.com_timeout_set, min_timeout, 30000, kMsgTimeout, "ComTimeoutSet");
  check.Check(settings.com_timeout_fp, min_timeout, 30000, kMsgTimeout, "ComTimeoutFp");
  check.Check(settings.num_root_name_chars, 0, 3, kMsgRootNameChars, "NumRootNameChars");
  return check.ok();
}

std::optional<FieldError> ValidateTimeoutPage(const TimeoutPageValues& values,
                                              const kr::StringTable& strings) {
  auto error = [&](TimeoutField field, int message, int min, int max) {
    return FieldError{field, message, min, max, strings.Format(message, min, max)};
  };
  const struct {
    TimeoutField field;
    int value;
    int max;
  } timeouts[] = {
      {TimeoutField::kTimeoutKr, values.timeout_kr, 10000},
      {TimeoutField::kTimeoutHcu, values.timeout_hcu, 10000},
      {TimeoutField::kTimeoutSet, values.timeout_set, 30000},
      {TimeoutField::kTimeoutFp, values.timeout_fp, 30000},
  };
  for (const auto& t : timeouts) {
    if (t.value < 10 || t.value > t.max) return error(t.field, kMsgInvalidValue, 10, t.max);
  }
  // At most 500 ms as well: the start-up check refuses more.
  const int max_polling = std::min(500, std::min(values.timeout_kr, values.timeout_hcu) / 2);
  if (values.polling_time < 5 || values.polling_time > max_polling) {
    return error(TimeoutField::kPollingTime, kMsgPollingPage, 5, max_polling);
  }
  // Set and slow time-outs below twice the polling time would stop the next start.
  const int min_slow = std::max(10, DoublePolling(values.polling_time));
  for (const auto& t : timeouts) {
    if (t.field != TimeoutField::kTimeoutSet && t.field != TimeoutField::kTimeoutFp) continue;
    if (t.value < min_slow) return error(t.field, kMsgInvalidValue, min_slow, t.max);
  }
  return std::nullopt;
}

TimeoutPageValues TimeoutPageFrom(const TarvikSettings& settings) {
  return {settings.com_polling_time, settings.com_timeout_kr, settings.com_timeout_hcu,
          settings.com_timeout_set, settings.com_timeout_fp};
}

void StoreTimeoutPage(const TimeoutPageValues& values, TarvikSettings& settings) {
  settings.com_polling_time = values.polling_time;
  settings.com_timeout_kr = values.timeout_kr;
  settings.com_timeout_hcu = values.timeout_hcu;
  settings.com_timeout_set = values.timeout_set;
  settings.com_timeout_fp = values.timeout_fp;
}

int LanguageChoiceIndex(int setting) {
  for (size_t i = 0; i < std::size(kLanguageChoices); ++i) {
    if (kLanguageChoices[i].setting == setting) return static_cast<int>(i);
  }
  return 0;
}

}  // namespace tarvik
