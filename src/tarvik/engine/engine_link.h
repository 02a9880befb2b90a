#pragma once

#include <cstdio>
#include <mutex>
#include <string>
#include <string_view>

#include "tarvik/link/link_layer.h"

namespace tarvik {

// What the operation engine needs from the link and the command builder, always on channel 0.
// LinkAdapter is the real one; unit tests script a fake. Every call takes the channel's lock itself
// where it needs it, except Open*, Close and Create, which must run without it (they join the
// serial reader); the engine therefore never holds the lock while calling this interface.
class EngineLink {
 public:
  virtual ~EngineLink() = default;

  // BuildAndSend: 1 when the command was issued (or skipped as not applicable) and nothing remains
  // of it, 0 when nothing was sent or items remain.
  virtual int Issue(int command) = 0;
  // The link state; kNoChannelState when there is no channel.
  virtual LinkState State() const = 0;
  // Forces a link state; LinkReady also rewinds the item cursor.
  virtual void SetState(LinkState state) = 0;
  virtual int ItemCursor() const = 0;
  virtual int FileNumber() const = 0;
  virtual int BlockCount() const = 0;
  virtual int TargetRecorder() const = 0;
  virtual void SetTargetRecorder(int recorder) = 0;
  // The final name of the last event file the download completed ("" before the first).
  virtual std::string LastEventFileName() const = 0;
  // The name the download gives event `file_number` of the target recorder, of the type of the
  // event being written, under the current prefix: the download's own naming rule.
  virtual std::string EventFileName(int file_number) const = 0;

  virtual bool HasChannel() const = 0;
  // The link is usable: the port is open or the TCP connection is established and not lost.
  virtual bool Connected() const = 0;
  // Frames the link failed to write since the channel was created.
  virtual unsigned WriteFailures() const = 0;

  virtual bool Create(int com_port, int baud, int ip_port, const std::string& host) = 0;
  virtual bool OpenSerial() = 0;
  virtual bool ConnectTcp() = 0;
  virtual void Close() = 0;

  virtual void SetPassword(std::string_view password) = 0;
  // The password of the link record: what was set last, or what the unit reported with LP.
  virtual std::string Password() const = 0;
  // Where the next downloaded event files go: a folder followed by "/" and an optional root name.
  virtual void SetDownloadPrefix(const std::string& prefix) = 0;
  // Text up to the first ";" becomes the modem text; the position after the ";" or 0.
  virtual int SetModemText(std::string_view text) = 0;
  // Text up to the first ";" becomes the free-form command (69); the position after the ";" or 0.
  virtual int SetRawCommand(std::string_view text) = 0;

  virtual void TraceLine(std::string_view text) = 0;
  // The trace ring starts afresh.
  virtual void TraceReset() = 0;
  // Every trace line, oldest first, each with CR LF, into `file`; then the ring starts afresh.
  // False on a file error (the ring is kept).
  virtual bool TraceDumpToFile(std::FILE* file) = 0;
  virtual void LogDisconnect(const char* format, const DisconnectReport& report) = 0;
  virtual void SetTraceViewVisible(bool visible) = 0;
  virtual void SetTraceViewFrozen(bool frozen) = 0;

  // The lock the engine holds while it reads or changes the recorder data model and the protocol
  // context between calls of this interface.
  virtual std::mutex& ModelMutex() = 0;
};

}  // namespace tarvik
