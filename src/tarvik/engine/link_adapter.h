#pragma once

#include <string>

#include "krcommon/clock.h"
#include "tarvik/engine/engine_link.h"
#include "tarvik/link/link_layer.h"
#include "tarvik/protocol/command_builder.h"
#include "tarvik/protocol/event_download.h"
#include "tarvik/protocol/protocol_context.h"
#include "tarvik/protocol/recorder_data.h"
#include "tarvik/protocol/reply_receiver.h"

namespace tarvik {

// The communication stack of one program: the link layer, the recorder data model, the protocol
// context, the command builder and the reply path, wired together; seen by the engine as its
// EngineLink on channel 0.
class LinkAdapter final : public EngineLink {
 public:
  explicit LinkAdapter(const kr::Clock& clock);
  ~LinkAdapter() override;

  LinkLayer& link() { return link_; }
  RecorderData& data() { return data_; }
  ProtocolContext& context() { return context_; }

  int Issue(int command) override;
  LinkState State() const override;
  void SetState(LinkState state) override;
  int ItemCursor() const override;
  int FileNumber() const override;
  int BlockCount() const override;
  int TargetRecorder() const override;
  void SetTargetRecorder(int recorder) override;
  std::string LastEventFileName() const override;
  std::string EventFileName(int file_number) const override;
  bool HasChannel() const override;
  bool Connected() const override;
  unsigned WriteFailures() const override;
  bool Create(int com_port, int baud, int ip_port, const std::string& host) override;
  bool OpenSerial() override;
  bool ConnectTcp() override;
  void Close() override;
  void SetPassword(std::string_view password) override;
  std::string Password() const override;
  void SetDownloadPrefix(const std::string& prefix) override;
  int SetModemText(std::string_view text) override;
  int SetRawCommand(std::string_view text) override;
  void TraceReset() override;
  bool TraceDumpToFile(std::FILE* file) override;
  void TraceLine(std::string_view text) override;
  void LogDisconnect(const char* format, const DisconnectReport& report) override;
  void SetTraceViewVisible(bool visible) override;
  void SetTraceViewFrozen(bool frozen) override;
  std::mutex& ModelMutex() override { return *link_.ChannelMutex(kChannel); }

 private:
  static constexpr std::uint16_t kChannel = 0;
  std::mutex& Mutex() const { return *const_cast<LinkLayer&>(link_).ChannelMutex(kChannel); }

  LinkLayer link_;
  RecorderData data_;
  ProtocolContext context_;
  CommandBuilder builder_;
  EventDownload download_;
  ReplyReceiver receiver_;
};

}  // namespace tarvik
