#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "krsim/hayes_modem.h"

namespace krsim {

// Bytes waiting for a non-blocking descriptor, optionally released no faster than a serial line of
// the given rate would carry them (10 bits per byte: start, 8 data, stop).
class OutputQueue {
 public:
  void set_pacing(int baud) { baud_ = baud; }  // 0: as fast as the descriptor takes them
  void Push(std::string_view bytes, TimePoint now);
  // Writes what is due; false when the descriptor failed (the peer is gone).
  bool Flush(int fd, TimePoint now);
  bool Empty() const { return data_.empty(); }
  std::size_t Size() const { return data_.size(); }
  void Clear() { data_.clear(); }
  // When the next paced byte is due (nullopt when nothing waits or no pacing holds it back).
  std::optional<TimePoint> NextRelease() const;
  bool WantsWritable(TimePoint now) const;

 private:
  std::size_t Due(TimePoint now) const;

  std::string data_;
  int baud_ = 0;
  TimePoint next_release_{};
};

// A pseudo-terminal standing in for a serial line: the PC opens the slave side as its serial port.
// We keep a descriptor of the slave ourselves, which keeps the line alive while the PC closes and
// reopens it, and lets us read the line settings the PC applied (its baud rate).
class PtyLine {
 public:
  PtyLine() = default;
  ~PtyLine();
  PtyLine(const PtyLine&) = delete;
  PtyLine& operator=(const PtyLine&) = delete;

  // Creates the pseudo-terminal, sets it raw at the rate, and links `link` to it when not empty.
  bool Open(const std::string& link, int baud, std::string& error);
  void Close();

  int fd() const { return master_; }
  const std::string& path() const { return path_; }
  // The rate the PC's side is set to now, 0 when it cannot be read.
  int PcBaud() const;

 private:
  int master_ = -1;
  int slave_ = -1;
  std::string path_;
  std::string link_;
};

// Listening socket on the loopback address only.
class TcpListener {
 public:
  TcpListener() = default;
  ~TcpListener();
  TcpListener(const TcpListener&) = delete;
  TcpListener& operator=(const TcpListener&) = delete;

  bool Listen(int port, std::string& error);
  int fd() const { return fd_; }
  int port() const { return port_; }
  // The next waiting connection, non-blocking; -1 when none.
  int Accept();

 private:
  int fd_ = -1;
  int port_ = 0;
};

// Baud rate constants of termios as numbers, and back; 0 / B0 for rates termios does not have.
int SpeedToBaud(unsigned speed);
unsigned BaudToSpeed(int baud);

}  // namespace krsim
