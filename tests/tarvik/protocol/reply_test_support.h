#pragma once

// A unit on the far end of a loopback TCP link, with the PC's reply path installed: tests send the
// bytes a control unit or recorder would send and look at the trace, the link state, the data model
// and the files written.

#include <gtest/gtest.h>

#include <filesystem>
#include <mutex>
#include <string>
#include <vector>

#include "protocol_test_peer.h"
#include "tarvik/protocol/command_table.h"
#include "tarvik/protocol/event_download.h"
#include "tarvik/protocol/reply_receiver.h"

namespace tarvik::test {

// The reply checksum, worked out here on its own: sum of the payload bytes, v = (256 - sum) mod 256,
// then 128, v + 128 when v < 128, else 0, v.
inline Bytes ReplyChecksum(const Bytes& payload) {
  unsigned sum = 0;
  for (std::uint8_t b : payload) sum += b;
  const unsigned v = (256 - sum % 256) % 256;
  if (v < 128) return {128, static_cast<std::uint8_t>(v + 128)};
  return {0, static_cast<std::uint8_t>(v)};
}

// "*(" payload checksum ")", as a unit answers a read command.
inline Bytes DataReply(std::string_view payload) {
  Bytes reply = B("*(");
  const Bytes body = B(payload);
  reply = Cat(reply, body);
  reply = Cat(reply, ReplyChecksum(body));
  reply.push_back(')');
  return reply;
}

// The checksum as the trace shows it: "[a][b])".
inline std::string ChecksumEcho(std::string_view payload) {
  const Bytes cs = ReplyChecksum(B(payload));
  return "[" + std::to_string(cs[0]) + "][" + std::to_string(cs[1]) + "])";
}

class ReplyRig : public ::testing::Test {
 protected:
  void SetUp() override {
    InstallReplyPath(rig_.link(), rig_.data(), receiver_, download_);
    ASSERT_TRUE(rig_.ConnectTcp());
  }
  void TearDown() override {
    // The hooks point at this fixture's receiver and download, which go before the rig does.
    rig_.link().CloseLink(0);
    rig_.link().SetConnectionResetHook({});
    rig_.link().SetReceiveHandler({});
  }

  // Sends a command as the engine's tick does and takes its frame off the wire (frames end with
  // ")"; small segments may linger in the sender's stack, so the read waits for it).
  void SendCommand(int command) {
    const int before = rig_.channel().link_state;
    rig_.Send(command);
    if (rig_.channel().link_state != LinkAwaitingReply || before == LinkAwaitingReply) return;
    if (command == cmd::kModemString) {
      rig_.WireNow();
      return;
    }
    for (;;) {
      const Bytes byte = rig_.Wire(1);
      if (byte.empty() || byte[0] == ')') break;
    }
  }

  // The recorder record the reply path fills (recorder 1 behind a control unit of 4).
  KrParams& AddressRecorder(int target = 1) {
    rig_.AddressRecorder(target);
    return rig_.kr(target);
  }

  void Locked(const std::function<void()>& action) {
    std::lock_guard lock(*rig_.link().ChannelMutex(0));
    action();
  }

  int CountLinesStartingWith(const std::string& prefix) {
    int count = 0;
    for (const std::string& line : rig_.Trace()) {
      if (line.starts_with(prefix)) ++count;
    }
    return count;
  }

  ProtocolRig rig_;
  EventDownload download_{rig_.link(), rig_.data(), rig_.context()};
  ReplyReceiver receiver_{rig_.link(), rig_.data(), rig_.context(), rig_.builder(), download_, rig_.clock()};
};

}  // namespace tarvik::test
