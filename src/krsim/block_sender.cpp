#include "krsim/block_sender.h"

#include "krsim/frame_codec.h"

namespace krsim {

void BlockSender::Start(std::vector<std::uint8_t> image) {
  image_ = std::move(image);
  const std::size_t rest = image_.size() % kBlockData;
  if (rest != 0 || image_.empty()) image_.resize(image_.size() + kBlockData - rest, 0);
  state_ = State::kWaitStart;
  index_ = 0;
  repeats_ = 0;
}

std::string BlockSender::Block(int index, bool corrupt_checksum) const {
  std::string block;
  block.reserve(kBlockData + 4);
  const auto number = static_cast<std::uint8_t>((index + 1) & 0xFF);
  block.push_back(static_cast<char>(kSoh));
  block.push_back(static_cast<char>(number));
  block.push_back(static_cast<char>(0xFF - number));
  unsigned sum = 0;
  for (int i = 0; i < kBlockData; ++i) {
    const std::uint8_t byte = image_[static_cast<std::size_t>(index * kBlockData + i)];
    sum += byte;
    block.push_back(static_cast<char>(byte));
  }
  if (corrupt_checksum) ++sum;
  block.push_back(static_cast<char>(sum & 0xFF));
  return block;
}

BlockSender::Action BlockSender::Repeat(Action action) {
  if (++repeats_ > kMaxRepeats) {
    state_ = State::kIdle;
    return Action::kAbort;
  }
  return action;
}

BlockSender::Action BlockSender::OnByte(std::uint8_t byte) {
  if (state_ == State::kIdle) return Action::kNone;
  if (byte == kCan) {
    state_ = State::kIdle;
    return Action::kAbort;
  }
  switch (state_) {
    case State::kWaitStart:
      if (byte != kNak) return Action::kNone;
      state_ = State::kWaitAck;
      return Action::kSendBlock;
    case State::kWaitAck:
      if (byte == kNak) return Repeat(Action::kSendBlock);
      if (byte != kAck) return Action::kNone;
      repeats_ = 0;
      if (++index_ < BlockCount()) return Action::kSendBlock;
      state_ = State::kWaitEotNak;
      return Action::kSendEot;
    case State::kWaitEotNak:
      if (byte == kAck) break;
      if (byte != kNak) return Action::kNone;
      state_ = State::kWaitEotAck;
      return Action::kSendEot;
    case State::kWaitEotAck:
      if (byte == kNak) return Repeat(Action::kSendEot);
      if (byte != kAck) return Action::kNone;
      break;
    case State::kIdle:
      return Action::kNone;
  }
  state_ = State::kIdle;
  return Action::kDone;
}

}  // namespace krsim
