#include "krsim/unit_clock.h"

#include <cstdio>

#include "krcommon/event_time.h"

namespace krsim {

namespace {

// Two digits at text[at], or -1.
int TwoDigits(std::string_view text, std::size_t at) {
  if (at + 2 > text.size()) return -1;
  const char a = text[at];
  const char b = text[at + 1];
  if (a < '0' || a > '9' || b < '0' || b > '9') return -1;
  return (a - '0') * 10 + (b - '0');
}

// "aa?bb?cc" with the separator at positions 2 and 5.
bool ThreeFields(std::string_view text, char separator, int (&fields)[3]) {
  if (text.size() != 8 || text[2] != separator || text[5] != separator) return false;
  for (int i = 0; i < 3; ++i) {
    fields[i] = TwoDigits(text, static_cast<std::size_t>(3 * i));
    if (fields[i] < 0) return false;
  }
  return true;
}

std::int64_t DaysFromCivil(int y, int m, int d) {
  y -= m <= 2 ? 1 : 0;
  const int era = (y >= 0 ? y : y - 399) / 400;
  const int yoe = y - era * 400;
  const int doy = (153 * (m + (m > 2 ? -3 : 9)) + 2) / 5 + d - 1;
  const int doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
  return static_cast<std::int64_t>(era) * 146097 + doe - 719468;
}

}  // namespace

std::int64_t SecondsSinceEpoch(const kr::DateTime& t) {
  return DaysFromCivil(t.year, t.month, t.day) * 86400 + t.hour * 3600 + t.minute * 60 + t.second;
}

kr::DateTime UnitClock::Now() const {
  return kr::AddSeconds(pc_->LocalNow(), offset_s_);
}

void UnitClock::SetTo(const kr::DateTime& target) {
  offset_s_ = SecondsSinceEpoch(target) - SecondsSinceEpoch(pc_->LocalNow());
}

bool UnitClock::SetTime(std::string_view text) {
  int f[3];
  if (!ThreeFields(text, ':', f) || f[0] > 23 || f[1] > 59 || f[2] > 59) return false;
  kr::DateTime t = Now();
  t.hour = f[0];
  t.minute = f[1];
  t.second = f[2];
  SetTo(t);
  return true;
}

bool UnitClock::SetDate(std::string_view text) {
  int f[3];
  if (!ThreeFields(text, '.', f)) return false;
  kr::DateTime t = Now();
  t.day = f[0];
  t.month = f[1];
  t.year = 2000 + f[2];
  if (!kr::IsValidDateTime(t)) return false;
  SetTo(t);
  return true;
}

std::string TimeText(const kr::DateTime& t) {
  char text[16];
  std::snprintf(text, sizeof text, "%02d:%02d:%02d", t.hour, t.minute, t.second);
  return text;
}

std::string DateText(const kr::DateTime& t) {
  char text[16];
  std::snprintf(text, sizeof text, "%02d.%02d.%02d", t.day, t.month, t.year % 100);
  return text;
}

}  // namespace krsim
