#include "tarvik/protocol/directory_entry.h"

#include <cctype>
#include <charconv>

#include "krcommon/event_time.h"
#include "krcommon/text_util.h"

namespace tarvik {

namespace {

constexpr std::uint32_t kMaxSamples = 10000000;

bool IsDigit(char c) {
  return std::isdigit(static_cast<unsigned char>(c)) != 0;
}

// "dd?dd?dd" with the separator at positions 3 and 6.
bool ReadsAsTriple(std::string_view text, char separator) {
  return text.size() == 8 && IsDigit(text[0]) && IsDigit(text[1]) && text[2] == separator &&
         IsDigit(text[3]) && IsDigit(text[4]) && text[5] == separator && IsDigit(text[6]) && IsDigit(text[7]);
}

int Two(std::string_view text, std::size_t at) {
  return (text[at] - '0') * 10 + (text[at + 1] - '0');
}

int KindOf(char model, char letter) {
  const char upper = static_cast<char>(std::toupper(static_cast<unsigned char>(letter)));
  const bool periodic = upper == 'D' || upper == 'P';
  const bool waveform = upper == 'N' || upper == 'Y';
  if (model == 'C') {
    if (letter == '?') return 0;
    if (periodic) return 4;
    if (waveform) return 2;
  } else if (model == 'X') {
    if (letter == '?') return 0;
    if (periodic) return 5;
    if (waveform) return 3;
  }
  return 1;
}

// Splits off the text up to the next comma.
std::string_view NextField(std::string_view& rest) {
  const std::size_t comma = rest.find(',');
  std::string_view field = rest.substr(0, comma);
  rest = comma == std::string_view::npos ? std::string_view() : rest.substr(comma + 1);
  return field;
}

void StoreDateTime(DirectoryEntry& entry, const kr::DateTime& value, bool us_format) {
  entry.date = kr::FormatEventDate(value, us_format, true);
  kr::DateTimeStyle style;
  style.us_format = us_format;
  entry.time = kr::FormatEventTime(value, style);
}

// A date or a time alone is kept as far as it reads; it cannot be corrected without the other.
void StoreDateAlone(DirectoryEntry& entry, std::string_view date, bool us_format) {
  if (!us_format) {
    entry.date.assign(date);
    return;
  }
  entry.date.assign(date.substr(3, 2));
  entry.date += '/';
  entry.date += date.substr(0, 2);
  entry.date += '/';
  entry.date += date.substr(6, 2);
}

void StoreTimeAlone(DirectoryEntry& entry, std::string_view time, const kr::DateTime& value, bool us_format) {
  if (us_format && value.hour < 24) {
    kr::DateTimeStyle style;
    style.us_format = true;
    entry.time = kr::FormatEventTime(value, style);
  } else {
    entry.time.assign(time);
  }
}

}  // namespace

int CorrectionHours(std::string_view correction) {
  if (correction.empty()) return 0;
  const bool signed_text = correction[0] == '-' || correction[0] == '+';
  std::string_view digits = correction.substr(signed_text ? 1 : 0, 2);
  int hours = 0;
  for (const char c : digits) {
    if (!IsDigit(c)) break;
    hours = hours * 10 + (c - '0');
  }
  return correction[0] == '-' ? -hours : hours;
}

DirectoryEntry ParseDirectoryEntry(std::string_view payload, const DirectoryEntryOptions& options) {
  DirectoryEntry entry;
  entry.date.assign(8, ' ');
  entry.time.assign(11, ' ');
  if (payload.empty()) {
    entry.type_letter = '?';
    entry.kind = KindOf(options.model_letter, '?');
    return entry;
  }
  entry.type_letter = payload[0];
  entry.kind = KindOf(options.model_letter, payload[0]);

  std::string_view rest = payload.substr(1);
  const std::string_view time = kr::Trim(NextField(rest));
  const std::string_view date = kr::Trim(NextField(rest));
  for (double& peak : entry.peaks) peak = kr::LeadingInt(NextField(rest));

  const std::string_view samples_text = kr::Trim(rest);
  std::uint64_t samples = kMaxSamples;
  const auto parsed =
      std::from_chars(samples_text.data(), samples_text.data() + samples_text.size(), samples);
  if (parsed.ec != std::errc() || samples_text.empty() || samples >= kMaxSamples) {
    entry.samples = 0;
    entry.peaks = {};
  } else {
    entry.samples = static_cast<std::uint32_t>(samples);
  }

  const bool time_ok = ReadsAsTriple(time, ':');
  const bool date_ok = ReadsAsTriple(date, '.');
  kr::DateTime value;
  if (time_ok) {
    value.hour = Two(time, 0);
    value.minute = Two(time, 3);
    value.second = Two(time, 6);
  }
  if (date_ok) {
    value.day = Two(date, 0);
    value.month = Two(date, 3);
    value.year = options.current_year / 100 * 100 + Two(date, 6);
  }
  const bool instant_ok = time_ok && date_ok && kr::IsValidDateTime(value);

  if (instant_ok) {
    if (options.local_time_correction) {
      value = kr::AddSeconds(value, static_cast<std::int64_t>(CorrectionHours(options.correction)) * 3600);
    }
    entry.has_date_time = true;
    entry.date_time = value;
    StoreDateTime(entry, value, options.us_date_format);
    return entry;
  }
  if (date_ok) StoreDateAlone(entry, date, options.us_date_format);
  if (time_ok) StoreTimeAlone(entry, time, value, options.us_date_format);
  return entry;
}

}  // namespace tarvik
