#include "krsim/frame_codec.h"

#include <cstdio>

namespace krsim {

std::array<std::uint8_t, 2> FrameChecksum(std::string_view payload) {
  unsigned sum = 0;
  for (char c : payload) sum += static_cast<unsigned char>(c);
  const unsigned v = (256 - (sum & 0xFF)) & 0xFF;
  if (v < 128) return {128, static_cast<std::uint8_t>(v + 128)};
  return {0, static_cast<std::uint8_t>(v)};
}

std::string BuildDataReply(std::string_view payload) {
  const auto check = FrameChecksum(payload);
  std::string reply = "*(";
  reply.append(payload);
  reply.push_back(static_cast<char>(check[0]));
  reply.push_back(static_cast<char>(check[1]));
  reply.push_back(')');
  return reply;
}

void RequestParser::Reset() {
  frame_.clear();
  in_frame_ = false;
  can_pending_ = false;
}

void RequestParser::Feed(std::string_view bytes, std::vector<InboundToken>& out) {
  for (char c : bytes) FeedByte(c, out);
}

void RequestParser::FeedByte(char c, std::vector<InboundToken>& out) {
  const auto byte = static_cast<std::uint8_t>(c);
  if (can_pending_) {
    can_pending_ = false;
    if (c == ')') {
      out.push_back({InboundToken::Kind::kProbe, {}, false, std::string{static_cast<char>(kCan), ')'}});
      return;
    }
    out.push_back({InboundToken::Kind::kCancel, {}, false, std::string(1, static_cast<char>(kCan))});
  }
  if (byte == kCan) {
    // A CAN ends whatever frame was under way; whether it is a probe shows with the next byte.
    frame_.clear();
    in_frame_ = false;
    can_pending_ = true;
    return;
  }
  if (in_frame_) {
    FeedFrameByte(c, out);
    return;
  }
  if (c == '(') {
    in_frame_ = true;
    frame_.assign(1, c);
  }
}

void RequestParser::FeedFrameByte(char c, std::vector<InboundToken>& out) {
  frame_.push_back(c);
  if (c == ')' && EndsFrame()) {
    FinishFrame(out);
    return;
  }
  if (frame_.size() > kMaxRequestFrame) {
    out.push_back({InboundToken::Kind::kOverlong, {}, false, frame_});
    frame_.clear();
    in_frame_ = false;
  }
}

// A ")" ends the frame only behind a pair that can be checksum bytes or behind "++": a ")" inside a
// station text is just text.
bool RequestParser::EndsFrame() const {
  const std::size_t n = frame_.size();
  if (n < 4) return false;
  const auto first = static_cast<std::uint8_t>(frame_[n - 3]);
  const auto second = static_cast<std::uint8_t>(frame_[n - 2]);
  if (first == '+' && second == '+') return true;
  return (first == 0 || first == 128) && second >= 128;
}

void RequestParser::FinishFrame(std::vector<InboundToken>& out) {
  InboundToken token;
  token.raw = frame_;
  const std::size_t n = frame_.size();
  token.body = frame_.substr(1, n - 4);
  token.unchecked = frame_[n - 3] == '+' && frame_[n - 2] == '+';
  if (!token.unchecked) {
    const auto expected = FrameChecksum(token.body);
    const bool match = static_cast<std::uint8_t>(frame_[n - 3]) == expected[0] &&
                       static_cast<std::uint8_t>(frame_[n - 2]) == expected[1];
    token.kind = match ? InboundToken::Kind::kFrame : InboundToken::Kind::kBadChecksum;
  }
  out.push_back(std::move(token));
  frame_.clear();
  in_frame_ = false;
}

std::string Printable(std::string_view bytes) {
  std::string text;
  text.reserve(bytes.size());
  for (char c : bytes) {
    const auto byte = static_cast<unsigned char>(c);
    if (byte >= 32 && byte < 127) {
      text.push_back(c);
      continue;
    }
    char hex[8];
    std::snprintf(hex, sizeof hex, "[%02x]", byte);
    text.append(hex);
  }
  return text;
}

}  // namespace krsim
