#pragma once

#include <filesystem>
#include <functional>
#include <optional>
#include <string>

#include "krcommon/string_table.h"
#include "tarvik/app/connection_record.h"
#include "tarvik/app/tarvik_settings.h"
#include "tarvik/uiport/ui_port.h"

namespace tarvik {

// Turns a host name into the dotted form of its first IPv4 address; nothing when it cannot.
using HostResolver = std::function<std::optional<std::string>(const std::string& host)>;
HostResolver SystemHostResolver();

// An opened connection document: the engine stores the path and the link kind and connects
// (state 8); the document title is the file name.
struct ConnectionDocument {
  std::filesystem::path path;
  ConnectionRecord record;
};

// Reads a connection file as it stands (the connection editor shows it so). A file that is not a
// proper connection file gives message 513, one that cannot be read at all message 9400 (both with
// the warning icon), and nothing is returned.
std::optional<ConnectionRecord> ReadConnectionFile(const std::filesystem::path& path, UiPort& ui,
                                                   const kr::StringTable& strings);

// With the host-name flag set, the first address of the host replaces the IP address; a name that
// cannot be resolved leaves the address as it was.
void ResolveHostAddress(ConnectionRecord& record, const HostResolver& resolver);

// The modem definition of link kind 0 (Modem 1) or 1 (Modem 2); null for every other kind.
const ModemDefinition* ModemDefinitionFor(LinkKind link_kind, const TarvikSettings& settings);

// Link kinds 0 and 1 take COM port, initialisation (at most 50) and dial command (at most 20) from
// the Modem 1 or Modem 2 definition of the settings; other kinds keep the file's values.
void ApplyModemDefinition(ConnectionRecord& record, const TarvikSettings& settings);

// Opening a document: read, resolve the host name, apply the modem definition.
std::optional<ConnectionDocument> LoadConnectionDocument(const std::filesystem::path& path,
                                                         const TarvikSettings& settings,
                                                         const HostResolver& resolver, UiPort& ui,
                                                         const kr::StringTable& strings);

enum class WriteOutcome { kWritten, kDeclined, kFailed };

// Writes `record` as a version-7 file. When the file exists, message 507 asks whether to overwrite
// it (No: kDeclined, nothing written). The bytes go to a temporary file first that replaces the old
// one only when complete, so a failed write never destroys it; a failure shows message 9401.
WriteOutcome WriteConnectionFile(const std::filesystem::path& path, const ConnectionRecord& record,
                                 UiPort& ui, const kr::StringTable& strings);

}  // namespace tarvik
