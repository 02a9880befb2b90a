#pragma once

#include <cstdint>
#include <string>

namespace tarvik {

// Write time-outs of a serial port: a frame must be written within
// per_byte_ms * length + constant_ms milliseconds.
struct SerialWriteTimeouts {
  int per_byte_ms = 0;
  int constant_ms = 0;
};

// 12000 / baud + 1 ms per byte and 12000 / baud + 2 ms, in integer arithmetic (about one character
// time per byte at the slow rates, never less than 1 ms).
SerialWriteTimeouts ComputeSerialWriteTimeouts(std::uint32_t baud);

// Settings applied to an open port, with the meanings the link record gives them.
struct SerialSettings {
  std::uint32_t baud = 9600;
  std::uint8_t data_bits = 8;
  std::uint8_t parity = 0;     // 0 none, 1 odd, 2 even, 3 mark, 4 space
  std::uint8_t stop_bits = 0;  // 0 one, 2 two (1.5 is not offered by POSIX ports)
  std::uint8_t handshake = 0;  // bit 0 DSR/DTR (not available here), bit 1 CTS/RTS, bit 2 XON/XOFF
};

inline constexpr std::uint32_t kMinSerialBaud = 110;
inline constexpr std::uint32_t kMaxSerialBaud = 256000;

// The device a COM number stands for when the settings name none: COM1 is /dev/ttyS0.
std::string DefaultSerialDevice(std::uint16_t com_port);

// One open serial device (POSIX termios), non-blocking, raw 8-bit. Every operation that can fail
// returns 0 on success or the errno value, so the caller can write it to the trace.
class SerialPort {
 public:
  SerialPort() = default;
  ~SerialPort() { Close(); }
  SerialPort(const SerialPort&) = delete;
  SerialPort& operator=(const SerialPort&) = delete;

  int Open(const std::string& path);
  // Raw mode, no flow control unless asked, reads return at once with what is queued.
  int Configure(const SerialSettings& settings);
  // Bytes the driver holds for reading.
  int QueuedBytes(int& count) const;
  // Bytes read (0 when nothing is there), or minus the errno value.
  int Read(void* buffer, int maximum);

  enum class WriteResult { kComplete, kTimedOut, kFailed };
  // Writes the whole buffer, waiting for the device to drain while the deadline allows. error gets
  // the errno value for kFailed.
  WriteResult Write(const void* bytes, int length, int deadline_ms, int& error);

  // Modem line DTR; devices without modem lines (pseudo-terminals) accept the call and ignore it.
  void SetDtr(bool on);
  // Drops whatever is queued in both directions.
  void Purge();
  void Close();

  bool IsOpen() const { return fd_ >= 0; }
  int fd() const { return fd_; }

 private:
  int fd_ = -1;
};

}  // namespace tarvik
