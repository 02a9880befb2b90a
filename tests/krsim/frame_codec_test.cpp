#include "krsim/frame_codec.h"

#include <gtest/gtest.h>

#include "table_decoder.h"

namespace krsim {
namespace {

using Kind = InboundToken::Kind;

std::vector<InboundToken> Feed(RequestParser& parser, std::string_view bytes) {
  std::vector<InboundToken> tokens;
  parser.Feed(bytes, tokens);
  return tokens;
}

TEST(FrameChecksum, MatchesTheWorkedExampleAndTheIndependentRule) {
  // "NN": sum 156, v = 100, bytes 128 and 228.
  EXPECT_EQ(FrameChecksum("NN"), (std::array<std::uint8_t, 2>{128, 228}));
  // v = 0 (sum 256): 128, 128; v >= 128 (sum 1 -> v 255): 0, 255.
  EXPECT_EQ(FrameChecksum(std::string(1, static_cast<char>(128)) + std::string(1, static_cast<char>(128))),
            (std::array<std::uint8_t, 2>{128, 128}));
  EXPECT_EQ(FrameChecksum(std::string(1, '\x01')), (std::array<std::uint8_t, 2>{0, 255}));
  std::string payload;
  ASSERT_TRUE(krsim_test::OpenDataReply(BuildDataReply("22060"), payload));
  EXPECT_EQ(payload, "22060");
}

TEST(RequestParser, CutsFramesProbesAndCancelsOutOfTheStream) {
  RequestParser parser;
  const std::string stream =
      "noise" + krsim_test::RequestFrame("MD17") + "\x18)" + "\x18" + krsim_test::RequestFrame("MN");
  const auto tokens = Feed(parser, stream);
  ASSERT_EQ(tokens.size(), 4u);
  EXPECT_EQ(tokens[0].kind, Kind::kFrame);
  EXPECT_EQ(tokens[0].body, "MD17");
  EXPECT_EQ(tokens[1].kind, Kind::kProbe);
  EXPECT_EQ(tokens[2].kind, Kind::kCancel);
  EXPECT_EQ(tokens[3].kind, Kind::kFrame);
  EXPECT_EQ(tokens[3].body, "MN");
}

TEST(RequestParser, JoinsAFrameSplitOverManyReads) {
  RequestParser parser;
  const std::string frame = krsim_test::RequestFrame("PrNorth (quarry) gate");
  std::vector<InboundToken> tokens;
  for (char c : frame) parser.Feed(std::string_view(&c, 1), tokens);
  ASSERT_EQ(tokens.size(), 1u);
  EXPECT_EQ(tokens[0].kind, Kind::kFrame);
  EXPECT_EQ(tokens[0].body, "PrNorth (quarry) gate") << "a ')' in the text does not end the frame";
}

TEST(RequestParser, ReportsBadChecksumsOverlongFramesAndTypedFrames) {
  RequestParser parser;
  std::string bad = krsim_test::RequestFrame("MN");
  bad[bad.size() - 2] = static_cast<char>(static_cast<unsigned char>(bad[bad.size() - 2]) ^ 1);
  auto tokens = Feed(parser, bad);
  ASSERT_EQ(tokens.size(), 1u);
  EXPECT_EQ(tokens[0].kind, Kind::kBadChecksum);

  tokens = Feed(parser, "(" + std::string(120, 'A'));
  ASSERT_EQ(tokens.size(), 1u);
  EXPECT_EQ(tokens[0].kind, Kind::kOverlong);
  tokens = Feed(parser, krsim_test::RequestFrame("MB"));
  ASSERT_EQ(tokens.size(), 1u) << "the parser recovers at the next frame";
  EXPECT_EQ(tokens[0].body, "MB");

  tokens = Feed(parser, "(MN++)");
  ASSERT_EQ(tokens.size(), 1u);
  EXPECT_EQ(tokens[0].kind, Kind::kFrame);
  EXPECT_TRUE(tokens[0].unchecked);
  EXPECT_EQ(tokens[0].body, "MN");
}

TEST(RequestParser, ACancelInsideAFrameDropsTheFrame) {
  RequestParser parser;
  const auto tokens = Feed(parser, "(MD1\x18" + krsim_test::RequestFrame("MD1"));
  ASSERT_EQ(tokens.size(), 2u);
  EXPECT_EQ(tokens[0].kind, Kind::kCancel);
  EXPECT_EQ(tokens[1].kind, Kind::kFrame);
}

TEST(Printable, ShowsControlBytesInHex) {
  EXPECT_EQ(Printable(std::string("(NN\x80\xe4)")), "(NN[80][e4])");
}

}  // namespace
}  // namespace krsim
