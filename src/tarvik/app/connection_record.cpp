#include "tarvik/app/connection_record.h"

#include <algorithm>
#include <climits>
#include <cstring>

namespace tarvik {

namespace {

// A cursor over the file bytes; the caller has checked the length the version needs.
class ByteReader {
 public:
  explicit ByteReader(std::span<const uint8_t> bytes) : bytes_(bytes) {}

  uint32_t U32() {
    uint32_t value = static_cast<uint32_t>(bytes_[pos_]) | static_cast<uint32_t>(bytes_[pos_ + 1]) << 8 |
                     static_cast<uint32_t>(bytes_[pos_ + 2]) << 16 |
                     static_cast<uint32_t>(bytes_[pos_ + 3]) << 24;
    pos_ += 4;
    return value;
  }

  int Int() {
    uint32_t value = U32();
    return value > static_cast<uint32_t>(INT_MAX) ? INT_MAX : static_cast<int>(value);
  }

  // A NUL-padded text field of `width` bytes, of which at most `used` count.
  std::string Text(size_t width, size_t used) {
    std::span<const uint8_t> field = bytes_.subspan(pos_, std::min(width, used));
    pos_ += width;
    auto end = std::find(field.begin(), field.end(), uint8_t{0});
    return std::string(field.begin(), end);
  }

  std::string Text(size_t width) { return Text(width, width); }

 private:
  std::span<const uint8_t> bytes_;
  size_t pos_ = 0;
};

void PutU32(std::vector<uint8_t>& out, int value) {
  uint32_t v = value < 0 ? 0 : static_cast<uint32_t>(value);
  out.push_back(static_cast<uint8_t>(v));
  out.push_back(static_cast<uint8_t>(v >> 8));
  out.push_back(static_cast<uint8_t>(v >> 16));
  out.push_back(static_cast<uint8_t>(v >> 24));
}

// `used` bytes at most of the text, then NULs up to the field width.
void PutText(std::vector<uint8_t>& out, const std::string& text, size_t width, size_t used) {
  size_t n = std::min(text.size(), used);
  out.insert(out.end(), text.begin(), text.begin() + static_cast<std::ptrdiff_t>(n));
  out.insert(out.end(), width - n, uint8_t{0});
}

size_t FileSizeOfVersion(uint32_t version) {
  if (version == 1) return kVersion1FileSize;
  if (version < 7) return kVersion2FileSize;
  return kVersion7FileSize;
}

}  // namespace

std::optional<ConnectionRecord> ParseConnectionRecord(std::span<const uint8_t> bytes) {
  if (bytes.size() < 7 || std::memcmp(bytes.data(), "krc", 3) != 0) return std::nullopt;
  ByteReader reader(bytes.subspan(3));
  uint32_t version = reader.U32();
  if (version == 0 || version > kConnectionFileVersion) return std::nullopt;
  if (bytes.size() < FileSizeOfVersion(version)) return std::nullopt;

  ConnectionRecord record;
  record.version = static_cast<int>(version);
  record.baud = reader.Int();
  record.com_port = reader.Int();
  record.link_kind = static_cast<LinkKind>(reader.Int());
  record.dial_timeout = reader.Int();
  record.connection_timeout = reader.Int();
  record.dial_command = reader.Text(kDialCommandField);
  record.modem_init = reader.Text(kModemInitField);
  record.phone_number = reader.Text(kPhoneNumberField);
  if (version >= 2) {
    record.ip_address = reader.Text(kIpAddressField);
    record.ip_port = reader.Int();
  }
  if (version >= 7) {
    record.use_host_name = reader.Int();
    record.host_name = reader.Text(kHostNameField, kHostNameMax);
  }
  return record;
}

std::vector<uint8_t> SerializeConnectionRecord(const ConnectionRecord& record) {
  std::vector<uint8_t> out;
  out.reserve(kVersion7FileSize);
  out.insert(out.end(), {'k', 'r', 'c'});
  PutU32(out, static_cast<int>(kConnectionFileVersion));
  PutU32(out, record.baud);
  PutU32(out, record.com_port);
  PutU32(out, ToInt(record.link_kind));
  PutU32(out, record.dial_timeout);
  PutU32(out, record.connection_timeout);
  PutText(out, record.dial_command, kDialCommandField, kDialCommandField);
  PutText(out, record.modem_init, kModemInitField, kModemInitField);
  PutText(out, record.phone_number, kPhoneNumberField, kPhoneNumberField);
  PutText(out, record.ip_address, kIpAddressField, kIpAddressField);
  PutU32(out, record.ip_port);
  PutU32(out, record.use_host_name);
  PutText(out, record.host_name, kHostNameField, kHostNameMax);
  return out;
}

}  // namespace tarvik
