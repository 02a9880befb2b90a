#include "tarvik/app/connection_document.h"

#include <arpa/inet.h>
#include <netdb.h>
#include <sys/socket.h>

#include <fstream>
#include <system_error>
#include <vector>

namespace tarvik {

namespace {

constexpr int kMsgNotAConnectionFile = 513;
constexpr int kMsgOverwrite = 507;
constexpr int kMsgCannotRead = 9400;
constexpr int kMsgCannotWrite = 9401;

void Warn(UiPort& ui, const kr::StringTable& strings, int message, const std::filesystem::path& path) {
  ui.ShowMessage(message, strings.Format(message, path.string()), MessageIcon::kWarning, MessageButtons::kOk);
}

bool WriteBytes(const std::filesystem::path& path, const std::vector<uint8_t>& bytes) {
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  if (!out) return false;
  out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
  out.close();
  return static_cast<bool>(out);
}

}  // namespace

HostResolver SystemHostResolver() {
  return [](const std::string& host) -> std::optional<std::string> {
    if (host.empty()) return std::nullopt;
    addrinfo hints{};
    hints.ai_family = AF_INET;
    hints.ai_socktype = SOCK_STREAM;
    addrinfo* found = nullptr;
    if (getaddrinfo(host.c_str(), nullptr, &hints, &found) != 0 || found == nullptr) return std::nullopt;
    char text[INET_ADDRSTRLEN] = {};
    const auto* address = reinterpret_cast<const sockaddr_in*>(found->ai_addr);
    const char* ok = inet_ntop(AF_INET, &address->sin_addr, text, sizeof text);
    freeaddrinfo(found);
    if (ok == nullptr) return std::nullopt;
    return std::string(text);
  };
}

std::optional<ConnectionRecord> ReadConnectionFile(const std::filesystem::path& path, UiPort& ui,
                                                   const kr::StringTable& strings) {
  std::error_code error;
  std::ifstream in;
  if (std::filesystem::is_regular_file(path, error)) in.open(path, std::ios::binary);
  if (!in.is_open()) {
    Warn(ui, strings, kMsgCannotRead, path);
    return std::nullopt;
  }
  // No proper file is longer than a version-7 one; what lies beyond is never looked at.
  std::vector<uint8_t> bytes(kVersion7FileSize);
  in.read(reinterpret_cast<char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
  bytes.resize(static_cast<size_t>(in.gcount()));
  std::optional<ConnectionRecord> record = ParseConnectionRecord(bytes);
  if (!record) Warn(ui, strings, kMsgNotAConnectionFile, path);
  return record;
}

void ResolveHostAddress(ConnectionRecord& record, const HostResolver& resolver) {
  if (record.use_host_name == 0 || record.host_name.empty() || !resolver) return;
  std::optional<std::string> address = resolver(record.host_name);
  if (address && !address->empty() && address->size() <= kIpAddressField) record.ip_address = *address;
}

const ModemDefinition* ModemDefinitionFor(LinkKind link_kind, const TarvikSettings& settings) {
  if (link_kind == LinkKind::kModem1) return &settings.modem1;
  if (link_kind == LinkKind::kModem2) return &settings.modem2;
  return nullptr;
}

void ApplyModemDefinition(ConnectionRecord& record, const TarvikSettings& settings) {
  const ModemDefinition* modem = ModemDefinitionFor(record.link_kind, settings);
  if (modem == nullptr) return;
  record.com_port = modem->modem_com;
  record.modem_init = modem->modem_ini.substr(0, kModemInitField);
  record.dial_command = modem->modem_dial.substr(0, kDialCommandField);
}

std::optional<ConnectionDocument> LoadConnectionDocument(const std::filesystem::path& path,
                                                         const TarvikSettings& settings,
                                                         const HostResolver& resolver, UiPort& ui,
                                                         const kr::StringTable& strings) {
  std::optional<ConnectionRecord> record = ReadConnectionFile(path, ui, strings);
  if (!record) return std::nullopt;
  ResolveHostAddress(*record, resolver);
  ApplyModemDefinition(*record, settings);
  return ConnectionDocument{path, std::move(*record)};
}

WriteOutcome WriteConnectionFile(const std::filesystem::path& path, const ConnectionRecord& record,
                                 UiPort& ui, const kr::StringTable& strings) {
  std::error_code error;
  if (std::filesystem::exists(path, error)) {
    MessageAnswer answer = ui.ShowMessage(kMsgOverwrite, strings.Format(kMsgOverwrite, path.string()),
                                          MessageIcon::kQuestion, MessageButtons::kYesNo);
    if (answer != MessageAnswer::kYes) return WriteOutcome::kDeclined;
  }
  std::filesystem::path temporary = path;
  temporary += ".part";
  bool ok = WriteBytes(temporary, SerializeConnectionRecord(record));
  if (ok) {
    std::filesystem::rename(temporary, path, error);
    ok = !error;
  }
  if (!ok) {
    std::filesystem::remove(temporary, error);
    Warn(ui, strings, kMsgCannotWrite, path);
    return WriteOutcome::kFailed;
  }
  return WriteOutcome::kWritten;
}

}  // namespace tarvik
