#pragma once

#include <string_view>

namespace tarvik {

// Options of the ASCII export. They live in section "Export" of Tarvik.ini (one int per key, 0 =
// off); the field names are the key names and the initialisers are the defaults a missing key
// takes. UsDateFormat belongs to section "Monitoring" but also decides the date and time texts of
// the export, so the converter gets it here.
struct ExportOptions {
  int Header = 1;           // event header as text at the top of the output
  int Interpreted = 1;      // header as readable file information instead of the raw field dump
  int Data = 1;             // column headings and sample rows
  int ChannelFiles = 0;     // one file per channel instead of three columns
  int ChannelMinMax = 0;    // append per-channel maxima and minima
  int Average = 0;          // append per-channel means
  int RootMeasSquare = 0;   // append per-channel RMS about the mean
  int NotLSB = 0;           // counts instead of physical values
  int Trim = 0;             // export only a selection of the samples
  int TrimFirstLast = 0;    // with Trim: first and last samples instead of a window
  int FirstSamples = 100;   // leading samples kept by TrimFirstLast
  int LastSamples = 100;    // trailing samples kept by TrimFirstLast
  int IgnoreFirst = 0;      // samples skipped before the window
  int Include = 100;        // length of the window
  int TimeInformation = 0;  // date, time and microseconds on every row
  int UsDateFormat = 0;     // "%m/%d/%Y" and 12-hour times instead of "%d.%m.%Y" and 24-hour times
};

enum class ExportOptionError { kNone, kMissingEquals, kUnknownKey, kNotANumber };

// Sets one option from a "KEY=VALUE" text. KEY is one of the field names above, UsDateFormat included
// (case-insensitive, surrounding blanks ignored); VALUE is a decimal integer (optionally signed, blanks
// around it ignored, nothing else). On failure `options` is left unchanged.
ExportOptionError SetExportOption(ExportOptions& options, std::string_view key_value);

// Sets one option by key (case-insensitive, UsDateFormat included) and integer value; false when the
// key is unknown.
bool SetExportOption(ExportOptions& options, std::string_view key, int value);

// The option keys in settings-file order, for writers that iterate them (the settings code).
inline constexpr std::string_view kExportOptionKeys[] = {
    "Header",       "Interpreted",    "Data",        "ChannelFiles", "ChannelMinMax",
    "Average",      "RootMeasSquare", "NotLSB",      "Trim",         "TrimFirstLast",
    "FirstSamples", "LastSamples",    "IgnoreFirst", "Include",      "TimeInformation"};

// Reads one option by key (case-insensitive, UsDateFormat included); false when the key is unknown
// (`value` untouched).
bool GetExportOption(const ExportOptions& options, std::string_view key, int& value);

}  // namespace tarvik
