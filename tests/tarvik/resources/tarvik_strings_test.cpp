#include "tarvik/resources/tarvik_strings.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <set>
#include <string>

namespace {

TEST(TarvikStrings, EveryIdHasEveryLanguageAndIdsAreUnique) {
  kr::StringTable table = tarvik::MakeTarvikStringTable();
  std::set<int> seen;
  for (const kr::StringEntry& entry : table.entries()) {
    EXPECT_TRUE(seen.insert(entry.id).second) << "duplicate id " << entry.id;
    ASSERT_NE(entry.english, nullptr) << entry.id;
    ASSERT_NE(entry.german, nullptr) << entry.id;
    ASSERT_NE(entry.chinese, nullptr) << entry.id;
    EXPECT_STRNE(entry.english, "") << entry.id;
    EXPECT_STRNE(entry.german, "") << entry.id;
    EXPECT_STRNE(entry.chinese, "") << entry.id;
  }
}

// A translation must take the same arguments as the English text, or formatting it would read the
// wrong argument types.
std::string Conversions(const char* text) {
  std::string out;
  for (const char* p = text; *p != '\0'; ++p) {
    if (*p != '%') continue;
    ++p;
    if (*p == '%') continue;
    while (*p != '\0' && std::string("-+ #0123456789.lhz").find(*p) != std::string::npos) {
      if (*p == 'l' || *p == 'h' || *p == 'z') out += *p;
      ++p;
    }
    if (*p == '\0') break;
    out += *p;
  }
  return out;
}

TEST(TarvikStrings, TranslationsTakeTheSameArguments) {
  kr::StringTable table = tarvik::MakeTarvikStringTable();
  for (const kr::StringEntry& entry : table.entries()) {
    std::string expected = Conversions(entry.english);
    EXPECT_EQ(Conversions(entry.german), expected) << entry.id;
    EXPECT_EQ(Conversions(entry.chinese), expected) << entry.id;
  }
}

TEST(TarvikStrings, LanguageSelectsTheText) {
  kr::StringTable table = tarvik::MakeTarvikStringTable();
  EXPECT_EQ(table.Text(518), "German");
  table.SetLanguage(kr::LanguageFromSetting(1));
  EXPECT_EQ(table.Text(518), "Deutsch");
  table.SetLanguage(kr::LanguageFromSetting(2));
  EXPECT_EQ(table.Text(518), "German");
}

}  // namespace

namespace {

int LineCount(const char* text) {
  return static_cast<int>(std::count(text, text + std::strlen(text), '\n')) + 1;
}

// The windows' layout texts hold one label per line; a translation with a line more or less would
// put every following label at the wrong field.
TEST(TarvikStrings, LayoutTextsHaveTheSameLinesInEveryLanguage) {
  kr::StringTable table = tarvik::MakeTarvikStringTable();
  int layouts = 0;
  for (const kr::StringEntry& entry : table.entries()) {
    if (entry.id < 9680 || entry.id > 9699) continue;
    ++layouts;
    EXPECT_EQ(LineCount(entry.german), LineCount(entry.english)) << entry.id;
    EXPECT_EQ(LineCount(entry.chinese), LineCount(entry.english)) << entry.id;
  }
  EXPECT_GE(layouts, 10);
}

}  // namespace
