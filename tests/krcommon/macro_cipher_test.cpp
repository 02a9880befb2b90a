#include "krcommon/macro_cipher.h"

#include <gtest/gtest.h>

#include <string>

namespace kr {
namespace {

// Expected blocks computed with an independent Python model of the format (key mixing, then the
// 64-character alphabet without padding).
TEST(MacroCipherTest, KnownBlocks) {
  EXPECT_EQ(EncipherMacroText("MB;MD"), "YI0doDs");
  EXPECT_EQ(EncipherMacroText("Lo"), "Ybs");
  EXPECT_EQ(EncipherMacroText("Te=5;TE"), "ec1XAs6FXQ");
  EXPECT_EQ(EncipherMacroText("X"), "bQ");
  EXPECT_EQ(EncipherMacroText(""), "");
}

TEST(MacroCipherTest, EveryByteValueAndLengthComesBackAndStaysPrintable) {
  std::string text;
  for (int i = 0; i < 300; ++i) text.push_back(static_cast<char>(i % 256));
  for (std::size_t length = 0; length <= text.size(); length += 7) {
    const std::string plain = text.substr(0, length);
    const std::string block = EncipherMacroText(plain);
    for (char c : block) {
      ASSERT_TRUE(c > ' ' && c < 127) << static_cast<int>(c);
      ASSERT_NE(c, '}');
      ASSERT_NE(c, ';');
    }
    const std::optional<std::string> back = DecipherMacroText(block);
    ASSERT_TRUE(back.has_value()) << length;
    EXPECT_EQ(*back, plain);
  }
}

TEST(MacroCipherTest, RepeatedCommandsDoNotRepeatInTheBlock) {
  const std::string block = EncipherMacroText("MBMBMBMBMBMB");
  EXPECT_EQ(block.find(block.substr(0, 4), 4), std::string::npos);
}

TEST(MacroCipherTest, ForeignTextIsRefused) {
  EXPECT_FALSE(DecipherMacroText("YI0d;oDs"));  // a character outside the alphabet
  EXPECT_FALSE(DecipherMacroText("YI0do"));     // 5 characters: no text enciphers to that length
  EXPECT_FALSE(DecipherMacroText("bR"));        // stray bits below the last byte
  EXPECT_EQ(DecipherMacroText("  YI0doDs "), std::optional<std::string>("MB;MD"));
}

}  // namespace
}  // namespace kr
