// Whatever a unit sends, in any split, after any command: the receive pump, the reply
// interpretation and the block download must neither crash nor read or write out of bounds.
// The first bytes choose the command, the link state, the target and the engine's state; the rest
// arrives in chunks whose sizes the input also chooses.

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <filesystem>

#include "krcommon/clock.h"
#include "tarvik/link/link_layer.h"
#include "tarvik/protocol/command_builder.h"
#include "tarvik/protocol/event_download.h"
#include "tarvik/protocol/reply_receiver.h"

namespace {

struct World {
  World() {
    std::filesystem::create_directories(folder);
    link.CreateChannel(0, 9600, 1, "127.0.0.1", 0);
    context.download_prefix = folder.string() + "/";
    context.viewing_prefix = folder.string() + "/$tp";
  }
  std::filesystem::path folder = std::filesystem::temp_directory_path() / "kr_fuzz_receive_pump";
  tarvik::LinkLayer link;
  tarvik::RecorderData data;
  tarvik::ProtocolContext context;
  kr::FixedClock clock{kr::DateTime{2024, 3, 7, 12, 0, 0, 0, 4}};
  tarvik::CommandBuilder builder{link, data, context, clock};
  tarvik::EventDownload download{link, data, context};
  tarvik::ReplyReceiver receiver{link, data, context, builder, download, clock};
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  static World* world = new World();
  if (size < 6) return 0;
  tarvik::LinkChannel& c = *world->link.Channel(0);
  world->data.ResetForConnection();
  world->download.CloseEventFiles(0);
  c.current_command = (data[0] | (data[1] << 8)) % 300 - 1;
  c.link_state = (data[2] & 1) != 0 ? tarvik::LinkBlockTransfer : tarvik::LinkAwaitingReply;
  c.target_recorder = data[2] >> 4;
  c.file_number = data[3];
  c.block_count = (data[2] & 1) != 0 ? 1 : 0;
  c.input_fill = 0;
  c.retry_counter = 0;
  world->context.download_purpose = static_cast<tarvik::DownloadPurpose>(data[4] % 6);
  world->context.logging_in = (data[4] & 8) != 0;
  world->context.date_time_file_names = (data[5] & 1) != 0;
  world->context.us_date_format = (data[5] & 2) != 0;
  world->context.local_time_correction = (data[5] & 4) != 0;
  world->context.local_correction_value = "-05";
  world->data.kr[0].IN.value = (data[5] & 8) != 0 ? "XKR4100" : "CKR4100";
  world->data.kr[0].device_type = (data[5] & 16) != 0 ? 22 : -1;

  std::size_t at = 6;
  int line = c.trace_line;
  while (at < size) {
    const std::size_t chunk = 1 + data[at] % 140;
    ++at;
    const std::size_t take = std::min(chunk, size - at);
    if (c.input_fill <= 0) {
      c.input_fill = 0;
      line = c.trace_line;
    }
    const std::size_t room = tarvik::kInputBufferSize - static_cast<std::size_t>(c.input_fill);
    const std::size_t n = std::min(take, room);
    if (n == 0) break;
    std::memcpy(c.input.data() + c.input_fill, data + at, n);
    c.input_fill += static_cast<int>(n);
    at += take;
    world->receiver.ReceivePump(c.input.data(), c.input_fill, line, 0);
  }
  world->download.CloseEventFiles(0);
  return 0;
}
