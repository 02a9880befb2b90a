#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace krsim {

// The recorder's side of the block transfer (XMODEM with an 8-bit checksum): wait for the PC's NAK,
// send 132-byte blocks one at a time, repeat a block on NAK, go on on ACK, end with EOT (repeated
// when the PC answers the first EOT with NAK, as it does) until the PC's final ACK. CAN ends it.
class BlockSender {
 public:
  enum class Action {
    kNone,       // nothing to send
    kSendBlock,  // send block BlockIndex() (again, after a NAK)
    kSendEot,    // send EOT
    kDone,       // the PC has acknowledged the end
    kAbort,      // the PC cancelled, or asked for the same thing too often
  };

  static constexpr int kBlockData = 128;
  static constexpr int kMaxRepeats = 10;

  // The image is padded with zero bytes to whole blocks.
  void Start(std::vector<std::uint8_t> image);
  void Stop() { state_ = State::kIdle; }
  bool Active() const { return state_ != State::kIdle; }

  Action OnByte(std::uint8_t byte);

  int BlockIndex() const { return index_; }  // 0-based
  int BlockCount() const { return static_cast<int>(image_.size()) / kBlockData; }
  // The block as it goes on the line: SOH, number, its complement, 128 bytes, checksum.
  std::string Block(int index, bool corrupt_checksum) const;

 private:
  enum class State { kIdle, kWaitStart, kWaitAck, kWaitEotNak, kWaitEotAck };

  Action Repeat(Action action);

  std::vector<std::uint8_t> image_;
  State state_ = State::kIdle;
  int index_ = 0;
  int repeats_ = 0;
};

}  // namespace krsim
