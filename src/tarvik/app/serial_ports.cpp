#include "tarvik/app/serial_ports.h"

#include <algorithm>
#include <cctype>
#include <string_view>
#include <system_error>

namespace tarvik {

namespace {

// Compares names so that embedded numbers order by value: ttyS2 < ttyS10, ttyUSB0 < ttyUSB1.
bool NaturalLess(std::string_view a, std::string_view b) {
  size_t i = 0;
  size_t j = 0;
  while (i < a.size() && j < b.size()) {
    bool digit_a = std::isdigit(static_cast<unsigned char>(a[i])) != 0;
    bool digit_b = std::isdigit(static_cast<unsigned char>(b[j])) != 0;
    if (digit_a && digit_b) {
      size_t end_a = i;
      size_t end_b = j;
      while (end_a < a.size() && std::isdigit(static_cast<unsigned char>(a[end_a]))) ++end_a;
      while (end_b < b.size() && std::isdigit(static_cast<unsigned char>(b[end_b]))) ++end_b;
      std::string_view num_a = a.substr(i, end_a - i);
      std::string_view num_b = b.substr(j, end_b - j);
      while (num_a.size() > 1 && num_a.front() == '0') num_a.remove_prefix(1);
      while (num_b.size() > 1 && num_b.front() == '0') num_b.remove_prefix(1);
      if (num_a.size() != num_b.size()) return num_a.size() < num_b.size();
      if (num_a != num_b) return num_a < num_b;
      i = end_a;
      j = end_b;
      continue;
    }
    if (a[i] != b[j]) return a[i] < b[j];
    ++i;
    ++j;
  }
  return a.size() - i < b.size() - j;
}

// Entries of `folder` whose names start with `prefix` (all entries for an empty prefix).
std::vector<std::string> EntriesWithPrefix(const std::filesystem::path& folder, std::string_view prefix) {
  std::vector<std::string> names;
  std::error_code error;
  std::filesystem::directory_iterator it(folder, error);
  if (error) return names;
  for (const auto& entry : it) {
    std::string name = entry.path().filename().string();
    if (name.starts_with(prefix)) names.push_back(name);
  }
  std::sort(names.begin(), names.end(),
            [](const std::string& x, const std::string& y) { return NaturalLess(x, y); });
  return names;
}

}  // namespace

SerialPortMap::SerialPortMap() {
  for (int port = kFirstPort; port <= kLastPort; ++port) devices_[port - 1] = DefaultDevicePath(port);
}

std::string SerialPortMap::DefaultDevicePath(int port) {
  if (port < 1) return {};
  return "/dev/ttyS" + std::to_string(port - 1);
}

std::string SerialPortMap::DevicePath(int port) const {
  if (port >= kFirstPort && port <= kLastPort) return devices_[port - 1];
  return DefaultDevicePath(port);
}

void SerialPortMap::SetDevicePath(int port, std::string device) {
  if (port < kFirstPort || port > kLastPort) return;
  devices_[port - 1] = std::move(device);
}

std::vector<std::string> ListSerialDevices(const std::filesystem::path& dev_root) {
  std::vector<std::string> devices;
  const std::filesystem::path by_id = dev_root / "serial" / "by-id";
  for (const std::string& name : EntriesWithPrefix(by_id, "")) devices.push_back((by_id / name).string());
  for (std::string_view prefix : {"ttyS", "ttyUSB", "ttyACM"}) {
    for (const std::string& name : EntriesWithPrefix(dev_root, prefix)) {
      devices.push_back((dev_root / name).string());
    }
  }
  return devices;
}

}  // namespace tarvik
