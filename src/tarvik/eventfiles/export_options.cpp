#include "tarvik/eventfiles/export_options.h"

#include <charconv>

#include "krcommon/text_util.h"

namespace tarvik {

namespace {

struct OptionField {
  std::string_view key;
  int ExportOptions::*member;
};

constexpr OptionField kFields[] = {
    {"Header", &ExportOptions::Header},
    {"Interpreted", &ExportOptions::Interpreted},
    {"Data", &ExportOptions::Data},
    {"ChannelFiles", &ExportOptions::ChannelFiles},
    {"ChannelMinMax", &ExportOptions::ChannelMinMax},
    {"Average", &ExportOptions::Average},
    {"RootMeasSquare", &ExportOptions::RootMeasSquare},
    {"NotLSB", &ExportOptions::NotLSB},
    {"Trim", &ExportOptions::Trim},
    {"TrimFirstLast", &ExportOptions::TrimFirstLast},
    {"FirstSamples", &ExportOptions::FirstSamples},
    {"LastSamples", &ExportOptions::LastSamples},
    {"IgnoreFirst", &ExportOptions::IgnoreFirst},
    {"Include", &ExportOptions::Include},
    {"TimeInformation", &ExportOptions::TimeInformation},
    {"UsDateFormat", &ExportOptions::UsDateFormat},
};

const OptionField* FindOption(std::string_view key) {
  key = kr::Trim(key);
  for (const OptionField& field : kFields) {
    if (kr::EqualsNoCase(field.key, key)) return &field;
  }
  return nullptr;
}

}  // namespace

bool SetExportOption(ExportOptions& options, std::string_view key, int value) {
  const OptionField* field = FindOption(key);
  if (field == nullptr) return false;
  options.*(field->member) = value;
  return true;
}

bool GetExportOption(const ExportOptions& options, std::string_view key, int& value) {
  const OptionField* field = FindOption(key);
  if (field == nullptr) return false;
  value = options.*(field->member);
  return true;
}

ExportOptionError SetExportOption(ExportOptions& options, std::string_view key_value) {
  std::size_t equals = key_value.find('=');
  if (equals == std::string_view::npos) return ExportOptionError::kMissingEquals;
  const OptionField* field = FindOption(key_value.substr(0, equals));
  if (field == nullptr) return ExportOptionError::kUnknownKey;
  const std::optional<int> value = kr::ParseWholeInt(kr::Trim(key_value.substr(equals + 1)));
  if (!value) return ExportOptionError::kNotANumber;
  options.*(field->member) = *value;
  return ExportOptionError::kNone;
}

}  // namespace tarvik
