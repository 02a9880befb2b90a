#pragma once

#include <array>
#include <filesystem>
#include <string>
#include <vector>

namespace tarvik {

// COM port numbers stay the names operators use (settings and connection files store them); this
// maps them to the device files of this machine. Section [SerialPorts] of Tarvik.ini holds
// COM<n>=<device path>; a port that is not mapped is /dev/ttyS<n-1>.
class SerialPortMap {
 public:
  static constexpr int kFirstPort = 1;
  static constexpr int kLastPort = 16;

  SerialPortMap();

  // The device of COM `port`; "" for a number below 1. Numbers above 16 are never mapped but still
  // get the conventional device name, so a hand-edited file gets a clear "cannot open" later.
  std::string DevicePath(int port) const;
  // Maps a port 1..16; other numbers are ignored.
  void SetDevicePath(int port, std::string device);

  static std::string DefaultDevicePath(int port);

 private:
  std::array<std::string, kLastPort> devices_;
};

// The serial devices present below `dev_root` (normally /dev): serial/by-id/* first, since those
// names stay the same when adapters are plugged in another order, then ttyS*, ttyUSB* and ttyACM*;
// each group sorted naturally (ttyS2 before ttyS10). Missing folders are skipped.
std::vector<std::string> ListSerialDevices(const std::filesystem::path& dev_root = "/dev");

}  // namespace tarvik
