#include "tarvik/gui/file_filter.h"

#include <gtest/gtest.h>

namespace tarvik {
namespace {

TEST(FileFilter, TableFiltersBecomeQtNameFilters) {
  EXPECT_EQ(QtNameFilters("Waveform Files (*.vkr;*.vmx)|*.vkr; *.vmx|All Files (*.*)|*.*||"),
            (std::vector<std::string>{"Waveform Files (*.vkr *.vmx)", "All Files (*)"}));
  EXPECT_EQ(QtNameFilters("KR Connection Files (*.krc)|*.krc|All Files (*.*)|*.*||"),
            (std::vector<std::string>{"KR Connection Files (*.krc)", "All Files (*)"}));
  // A name without a pattern field is dropped rather than shown without patterns.
  EXPECT_TRUE(QtNameFilters("Lonely").empty());
  EXPECT_TRUE(QtNameFilters("").empty());
}

TEST(FileFilter, ResourceFields) {
  const std::string document = "KR Communication\nUntitled\nTarvik\nKR Connection (*.krc)\n.krc";
  EXPECT_EQ(ResourceField(document, 0), "KR Communication");
  EXPECT_EQ(ResourceField(document, 3), "KR Connection (*.krc)");
  EXPECT_EQ(ResourceField(document, 9), "");
}

}  // namespace
}  // namespace tarvik
