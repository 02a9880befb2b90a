#include "ondalyne/resources/ondalyne_strings.h"

#include <gtest/gtest.h>

#include <set>
#include <string>

namespace {

TEST(OndalyneStrings, EveryIdHasEveryLanguageOnce) {
  kr::StringTable table = ondalyne::MakeOndalyneStringTable();
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
  // The recording mode names 0..14 are all there.
  for (int id = ondalyne::sid::kRecordingModeFirst; id < ondalyne::sid::kRecordingModeFirst + 15; ++id)
    EXPECT_TRUE(table.Has(id)) << id;
}

// A translation takes the same printf arguments as the English text.
std::string Conversions(const char* text) {
  std::string out;
  for (const char* p = text; *p != '\0'; ++p) {
    if (*p != '%') continue;
    ++p;
    if (*p == '%') continue;
    while (*p != '\0' && std::string("-+ #0123456789.lhz").find(*p) != std::string::npos) ++p;
    if (*p == '\0') break;
    out += *p;
  }
  return out;
}

TEST(OndalyneStrings, TranslationsTakeTheSameArguments) {
  kr::StringTable table = ondalyne::MakeOndalyneStringTable();
  for (const kr::StringEntry& entry : table.entries()) {
    EXPECT_EQ(Conversions(entry.german), Conversions(entry.english)) << entry.id;
    EXPECT_EQ(Conversions(entry.chinese), Conversions(entry.english)) << entry.id;
  }
}

}  // namespace
