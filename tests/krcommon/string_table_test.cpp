#include "krcommon/string_table.h"

#include <gtest/gtest.h>

#include <array>
#include <string>

namespace {

constexpr std::array kPartA = std::to_array<kr::StringEntry>({
    {212, "Timeout (%d ms).", "Zeitüberschreitung (%d ms).", "超时 (%d ms)。"},
});
constexpr std::array kPartB = std::to_array<kr::StringEntry>({
    {5, "File '%s' at %.2f V", "Datei '%s' bei %.2f V", nullptr},
});

TEST(StringTable, FormatsTextWithArgumentsInTheChosenLanguage) {
  kr::StringTable table({kPartA, kPartB});
  EXPECT_EQ(table.Format(212, 400), "Timeout (400 ms).");
  EXPECT_EQ(table.Format(5, std::string("a.skr"), 12.345), "File 'a.skr' at 12.35 V");
  table.SetLanguage(kr::Language::kGerman);
  EXPECT_EQ(table.Format(212, 400), "Zeitüberschreitung (400 ms).");
  table.SetLanguage(kr::Language::kChinese);
  EXPECT_EQ(table.Text(212), "超时 (%d ms)。");
  // A text without a Chinese version falls back to English.
  EXPECT_EQ(table.Text(5), "File '%s' at %.2f V");
}

TEST(StringTable, UnknownIdIsVisible) {
  kr::StringTable table({kPartA});
  EXPECT_FALSE(table.Has(999));
  EXPECT_EQ(table.Text(999), "#999");
}

TEST(StringTable, LanguageSettingMapsUnknownValuesToEnglish) {
  EXPECT_EQ(kr::LanguageFromSetting(0), kr::Language::kEnglish);
  EXPECT_EQ(kr::LanguageFromSetting(1), kr::Language::kGerman);
  EXPECT_EQ(kr::LanguageFromSetting(2), kr::Language::kEnglish);
  EXPECT_EQ(kr::LanguageFromSetting(3), kr::Language::kChinese);
}

}  // namespace
