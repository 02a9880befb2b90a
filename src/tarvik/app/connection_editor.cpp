#include "tarvik/app/connection_editor.h"

#include <algorithm>
#include <cctype>
#include <charconv>
#include <cstring>

#include "krcommon/string_table.h"

namespace tarvik {

namespace {

constexpr int kMsgBadPhoneNumber = 387;
constexpr int kMsgBadPhoneLength = 388;
constexpr int kMsgInvalidValue = 497;

// What the record holds once written: every text cut to its field.
ConnectionRecord AsWritten(ConnectionRecord record) {
  record.version = static_cast<int>(kConnectionFileVersion);
  record.dial_command = record.dial_command.substr(0, kDialCommandField);
  record.modem_init = record.modem_init.substr(0, kModemInitField);
  record.phone_number = record.phone_number.substr(0, kPhoneNumberField);
  record.ip_address = record.ip_address.substr(0, kIpAddressField);
  record.host_name = record.host_name.substr(0, kHostNameMax);
  return record;
}

}  // namespace

int CheckPhoneNumber(const std::string& number) {
  if (number.empty() || number.size() > kPhoneNumberField) return kMsgBadPhoneLength;
  // ";" is not among them: modem texts are sent in ";"-separated pieces.
  constexpr const char* kDialCharacters = " +-(),./*#!@WwPpTt";
  bool has_digit = false;
  for (char c : number) {
    if (std::isdigit(static_cast<unsigned char>(c))) {
      has_digit = true;
    } else if (std::strchr(kDialCharacters, c) == nullptr || c == '\0') {
      return kMsgBadPhoneNumber;
    }
  }
  return has_digit ? 0 : kMsgBadPhoneNumber;
}

ConnectionEditorModel::ConnectionEditorModel(const TarvikSettings& settings) : settings_(settings) {
  values_.baud = settings.file_link_baud_rate;
  values_.com_port = settings.modem1.modem_com;
  values_.dial_timeout = settings.dial_timeout;
  values_.connection_timeout = settings.modem_timeout;
  values_.ip_address = "0.0.0.0";
  SelectLinkKind(LinkKind::kModem1);
}

void ConnectionEditorModel::SelectLinkKind(LinkKind kind) {
  values_.link_kind = kind;
  const ModemDefinition* modem = ModemDefinitionFor(kind, settings_);
  if (modem == nullptr) return;
  values_.dial_command = modem->modem_dial.substr(0, kDialCommandField);
  values_.modem_init = modem->modem_ini.substr(0, kModemInitField);
}

void ConnectionEditorModel::SetIpAddress(int a, int b, int c, int d) {
  auto octet = [](int v) { return std::clamp(v, 0, 255); };
  values_.ip_address = kr::FormatPrintf("%d.%d.%d.%d", octet(a), octet(b), octet(c), octet(d));
}

std::array<int, 4> ConnectionEditorModel::IpAddressParts() const {
  std::array<int, 4> parts = {0, 0, 0, 0};
  const char* p = values_.ip_address.data();
  const char* end = p + values_.ip_address.size();
  for (size_t i = 0; i < parts.size(); ++i) {
    int value = 0;
    auto [next, error] = std::from_chars(p, end, value);
    if (error != std::errc() || value < 0 || value > 255) return {0, 0, 0, 0};
    parts[i] = value;
    p = next;
    if (i + 1 < parts.size()) {
      if (p == end || *p != '.') return {0, 0, 0, 0};
      ++p;
    }
  }
  if (p != end) return {0, 0, 0, 0};
  return parts;
}

bool ConnectionEditorModel::LoadExisting(const std::filesystem::path& path, UiPort& ui,
                                         const kr::StringTable& strings) {
  std::optional<ConnectionRecord> record = ReadConnectionFile(path, ui, strings);
  if (!record) return false;
  values_ = std::move(*record);
  return true;
}

std::optional<ConnectionEditorModel::Problem> ConnectionEditorModel::Validate(
    const kr::StringTable& strings) const {
  if (IsModemLinkKind(values_.link_kind)) {
    if (int message = CheckPhoneNumber(values_.phone_number); message != 0) {
      return Problem{Field::kPhoneNumber, message, strings.Text(message)};
    }
  }
  if (values_.link_kind == LinkKind::kTcp && (values_.ip_port < 1 || values_.ip_port > 65535)) {
    return Problem{Field::kIpPort, kMsgInvalidValue, strings.Format(kMsgInvalidValue, 1, 65535)};
  }
  return std::nullopt;
}

ConnectionEditorModel::SaveOutcome ConnectionEditorModel::Save(const std::filesystem::path& path,
                                                               const HostResolver& resolver, UiPort& ui,
                                                               const kr::StringTable& strings) {
  if (Validate(strings)) return SaveOutcome::kInvalid;
  ConnectionRecord record = AsWritten(values_);
  switch (WriteConnectionFile(path, record, ui, strings)) {
    case WriteOutcome::kDeclined:
      return SaveOutcome::kDeclined;
    case WriteOutcome::kFailed:
      return SaveOutcome::kFailed;
    case WriteOutcome::kWritten:
      break;
  }
  ResolveHostAddress(record, resolver);
  document_ = ConnectionDocument{path, std::move(record)};
  return SaveOutcome::kSaved;
}

}  // namespace tarvik
