#include "tarvik/engine/macro_sender.h"

#include "krcommon/text_util.h"
#include "tarvik/protocol/command_table.h"

namespace tarvik {

void MacroSender::Start(std::string text) {
  text_ = std::move(text);
  offset_ = 0;
  active_ = true;
}

int MacroSender::Step(EngineCore& core) {
  EngineLink& link = core.link();
  const LinkState state = link.State();
  if (state == LinkTimedOut || state == LinkOffline) {
    active_ = false;
    return state;
  }
  // The recorder did not know the last piece: the macro goes on with the next.
  if (state == LinkRefused) link.SetState(LinkReady);
  if (link.Issue(cmd::kNop) == 0) return kListRunning;
  while (offset_ <= text_.size()) {
    const std::string_view rest = std::string_view(text_).substr(offset_);
    const int next = link.SetRawCommand(rest);
    const std::string_view piece = next == 0 ? rest : rest.substr(0, static_cast<std::size_t>(next) - 1);
    // Empty pieces (";;") send nothing.
    const bool empty = kr::Trim(piece).empty();
    if (!empty) link.Issue(cmd::kFreeForm);
    if (next == 0) {
      active_ = false;
      offset_ = 0;
      core.fields().macro_offset = 0;
      core.fields().macro_text_sent = true;
      return kListDone;
    }
    offset_ += static_cast<std::size_t>(next);
    core.fields().macro_offset = static_cast<int>(offset_);
    if (!empty) return kListRunning;
  }
  return kListRunning;
}

}  // namespace tarvik
