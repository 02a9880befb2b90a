#include "tarvik/engine/link_adapter.h"

#include <cstring>
#include <mutex>

namespace tarvik {

LinkAdapter::LinkAdapter(const kr::Clock& clock)
    : builder_(link_, data_, context_, clock),
      download_(link_, data_, context_),
      receiver_(link_, data_, context_, builder_, download_, clock) {
  InstallReplyPath(link_, data_, receiver_, download_);
}

LinkAdapter::~LinkAdapter() {
  // The reader thread calls into the receiver: it must be gone before the members are.
  link_.CloseLink(kChannel);
}

int LinkAdapter::Issue(int command) {
  std::lock_guard lock(Mutex());
  return builder_.BuildAndSend(command, kChannel);
}

LinkState LinkAdapter::State() const {
  std::lock_guard lock(Mutex());
  return link_.GetLinkState(kChannel);
}

void LinkAdapter::SetState(LinkState state) {
  std::lock_guard lock(Mutex());
  if (state == LinkReady) {
    link_.SetLinkReady(kChannel);
  } else if (LinkChannel* c = link_.Channel(kChannel)) {
    c->link_state = state;
  }
}

int LinkAdapter::ItemCursor() const {
  std::lock_guard lock(Mutex());
  const LinkChannel* c = link_.Channel(kChannel);
  return c == nullptr ? 0 : c->item_cursor;
}

int LinkAdapter::FileNumber() const {
  std::lock_guard lock(Mutex());
  const LinkChannel* c = link_.Channel(kChannel);
  return c == nullptr ? 0 : c->file_number;
}

int LinkAdapter::BlockCount() const {
  std::lock_guard lock(Mutex());
  return link_.GetBlockCount(kChannel);
}

int LinkAdapter::TargetRecorder() const {
  // Only the engine changes the target, on the main thread; it reads it while it holds the model
  // lock, so this must not take the lock again.
  return link_.GetTargetRecorder(kChannel);
}

void LinkAdapter::SetTargetRecorder(int recorder) {
  std::lock_guard lock(Mutex());
  link_.SetTargetRecorder(recorder, kChannel);
}

std::string LinkAdapter::LastEventFileName() const {
  std::lock_guard lock(Mutex());
  return download_.last_file_name();
}

std::string LinkAdapter::EventFileName(int file_number) const {
  std::lock_guard lock(Mutex());
  const LinkChannel* c = link_.Channel(kChannel);
  if (c == nullptr) return {};
  const std::string_view type(c->event_file_type, strnlen(c->event_file_type, sizeof c->event_file_type));
  return download_.EventFileNameFor(c->target_recorder, file_number, type);
}

bool LinkAdapter::HasChannel() const {
  return link_.Channel(kChannel) != nullptr;
}

bool LinkAdapter::Connected() const {
  const LinkChannel* c = link_.Channel(kChannel);
  return c != nullptr && c->connected;
}

unsigned LinkAdapter::WriteFailures() const {
  std::lock_guard lock(Mutex());
  const LinkChannel* c = link_.Channel(kChannel);
  return c == nullptr ? 0 : c->write_failures;
}

bool LinkAdapter::Create(int com_port, int baud, int ip_port, const std::string& host) {
  if (com_port < 0 || com_port > 0xFFFF || baud < 0 || ip_port < 0) return false;
  return link_.CreateChannel(static_cast<std::uint16_t>(com_port), static_cast<std::uint32_t>(baud),
                             static_cast<std::uint32_t>(ip_port), host.c_str(), kChannel);
}

bool LinkAdapter::OpenSerial() {
  return link_.OpenSerial(kChannel);
}

bool LinkAdapter::ConnectTcp() {
  return link_.ConnectTcp(kChannel);
}

void LinkAdapter::Close() {
  link_.CloseLink(kChannel);
}

void LinkAdapter::SetPassword(std::string_view password) {
  std::lock_guard lock(Mutex());
  link_.SetPassword(password, kChannel);
}

std::string LinkAdapter::Password() const {
  std::lock_guard lock(Mutex());
  const LinkChannel* channel = link_.Channel(kChannel);
  if (channel == nullptr) return {};
  return std::string(channel->password, strnlen(channel->password, sizeof channel->password));
}

void LinkAdapter::SetDownloadPrefix(const std::string& prefix) {
  std::lock_guard lock(Mutex());
  context_.download_prefix = prefix;
}

int LinkAdapter::SetModemText(std::string_view text) {
  std::lock_guard lock(Mutex());
  return link_.SetModemText(text, kChannel);
}

int LinkAdapter::SetRawCommand(std::string_view text) {
  std::lock_guard lock(Mutex());
  return link_.SetRawCommand(text, kChannel);
}

void LinkAdapter::TraceReset() {
  std::lock_guard lock(Mutex());
  link_.TraceReset(kChannel);
}

bool LinkAdapter::TraceDumpToFile(std::FILE* file) {
  std::lock_guard lock(Mutex());
  return link_.TraceDumpToFile(file, kChannel);
}

void LinkAdapter::TraceLine(std::string_view text) {
  link_.TraceLine(text, kChannel);
}

void LinkAdapter::LogDisconnect(const char* format, const DisconnectReport& report) {
  link_.LogDisconnect(format, report, kChannel);
}

void LinkAdapter::SetTraceViewVisible(bool visible) {
  std::lock_guard lock(Mutex());
  link_.SetTraceViewVisible(visible, kChannel);
}

void LinkAdapter::SetTraceViewFrozen(bool frozen) {
  std::lock_guard lock(Mutex());
  link_.SetTraceViewFrozen(frozen, kChannel);
}

}  // namespace tarvik
