#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <vector>

namespace tarvik {

// Kinds of link a connection document (or Direct Link) names, by the numbers the documents store.
// 3 and 5 are handled like the modem kinds; a document with a kind of 8 or more is opened but not
// connected (a file may hold any number there).
enum class LinkKind : int {
  kModem1 = 0,
  kModem2 = 1,
  kSerial = 2,  // the serial line of a connection document
  kModem3 = 3,
  kTcp = 4,
  kModem5 = 5,
  kDirect = 6,  // Direct Link, from the settings
  kFirstNotConnectable = 8,
};

constexpr int ToInt(LinkKind kind) {
  return static_cast<int>(kind);
}
constexpr bool IsModemLinkKind(LinkKind kind) {
  return kind == LinkKind::kModem1 || kind == LinkKind::kModem2 || kind == LinkKind::kModem3 ||
         kind == LinkKind::kModem5;
}
constexpr bool IsSerialLinkKind(LinkKind kind) {
  return kind == LinkKind::kSerial || kind == LinkKind::kDirect;
}
constexpr bool IsTcpLinkKind(LinkKind kind) {
  return kind == LinkKind::kTcp;
}
constexpr bool IsConnectableLinkKind(LinkKind kind) {
  return ToInt(kind) >= 0 && ToInt(kind) < ToInt(LinkKind::kFirstNotConnectable);
}

// Widths of the text fields in a connection file ("*.krc"); NUL-padded, not always terminated.
inline constexpr size_t kDialCommandField = 20;
inline constexpr size_t kModemInitField = 50;
inline constexpr size_t kPhoneNumberField = 40;
inline constexpr size_t kIpAddressField = 15;
inline constexpr size_t kHostNameField = 101;
inline constexpr size_t kHostNameMax = 100;  // the reader uses the first 100 bytes of the field

inline constexpr uint32_t kConnectionFileVersion = 7;
// File sizes: version 1 ends after the phone number, 2..6 after the IP port, 7 after the host name.
inline constexpr size_t kVersion1FileSize =
    3 + 6 * 4 + kDialCommandField + kModemInitField + kPhoneNumberField;
inline constexpr size_t kVersion2FileSize = kVersion1FileSize + kIpAddressField + 4;
inline constexpr size_t kVersion7FileSize = kVersion2FileSize + 4 + kHostNameField;

// Everything needed to reach one recorder or control unit, as a connection file stores it. The
// unsigned 32-bit file values are held as int; values above INT_MAX read as INT_MAX, so a huge link
// kind stays "8 or more" instead of turning negative.
struct ConnectionRecord {
  int version = static_cast<int>(kConnectionFileVersion);
  int baud = 9600;
  int com_port = 1;
  LinkKind link_kind = LinkKind::kModem1;
  int dial_timeout = 60;          // seconds
  int connection_timeout = 2000;  // ms, added to every reply time-out of the connection
  std::string dial_command;       // at most 20 characters
  std::string modem_init;         // at most 50, ";"-separated modem commands
  std::string phone_number;       // at most 40
  std::string ip_address;         // dotted decimal, at most 15 (from version 2)
  int ip_port = 0;                // from version 2
  int use_host_name = 0;          // from version 7: non-zero connects to host_name
  std::string host_name;          // from version 7, at most 100

  friend bool operator==(const ConnectionRecord&, const ConnectionRecord&) = default;
};

// Reads the bytes of a connection file: magic "krc", version 1..7 and all the fields that version
// has. Nothing when the magic or version is wrong or the file is shorter than its version needs.
// Bytes after the last field are ignored.
std::optional<ConnectionRecord> ParseConnectionRecord(std::span<const uint8_t> bytes);

// The bytes of a version-7 file (always version 7, whatever the record says), little-endian, texts
// cut to their field widths and NUL-padded.
std::vector<uint8_t> SerializeConnectionRecord(const ConnectionRecord& record);

}  // namespace tarvik
