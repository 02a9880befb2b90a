#include "tarvik/app/settings_validation.h"

#include <gtest/gtest.h>

#include "app_test_support.h"
#include "tarvik/resources/tarvik_strings.h"

namespace {

using tarvik::MessageIcon;
using tarvik::TimeoutField;

class ValidateSettingsTest : public ::testing::Test {
 protected:
  bool Validate() { return tarvik::ValidateSettings(settings_, "/home/op/Tarvik/Tarvik.ini", ui_, strings_); }

  kr::StringTable strings_ = tarvik::MakeTarvikStringTable();
  apptest::FakeUi ui_;
  tarvik::TarvikSettings settings_ = tarvik::DefaultSettings("/home/op/Tarvik");
};

TEST_F(ValidateSettingsTest, DefaultsPass) {
  EXPECT_TRUE(Validate());
  EXPECT_TRUE(ui_.shown.empty());
}

TEST_F(ValidateSettingsTest, TimeOutMustBeTwiceThePollingTime) {
  settings_.com_polling_time = 40;
  settings_.com_timeout_kr = 79;
  EXPECT_FALSE(Validate());
  ASSERT_EQ(ui_.shown.size(), 1u);
  EXPECT_EQ(ui_.shown[0].id, 203);
  EXPECT_EQ(ui_.shown[0].icon, MessageIcon::kError);
  EXPECT_EQ(ui_.shown[0].text,
            "The value for the time-out must be within 80 (double of polling time) and 10000.\n"
            "Check the settings for \"ComTimeoutKR\" in the configuration-file /home/op/Tarvik/Tarvik.ini.");

  ui_.shown.clear();
  settings_.com_timeout_kr = 80;
  EXPECT_TRUE(Validate());
  EXPECT_TRUE(ui_.shown.empty());
}

TEST_F(ValidateSettingsTest, SetAndSlowTimeOutsAllowUpTo30000AndNameTheirKey) {
  settings_.com_timeout_hcu = 10001;
  settings_.com_timeout_set = 30000;
  settings_.com_timeout_fp = 30001;
  EXPECT_FALSE(Validate());
  ASSERT_EQ(ui_.shown.size(), 2u);
  EXPECT_NE(ui_.shown[0].text.find("within 80 (double of polling time) and 10000.\nCheck the settings for "
                                   "\"ComTimeoutHCU\""),
            std::string::npos);
  EXPECT_NE(ui_.shown[1].text.find("within 80 (double of polling time) and 30000.\nCheck the settings for "
                                   "\"ComTimeoutFp\""),
            std::string::npos);
}

TEST_F(ValidateSettingsTest, EveryCheckRunsAndEachFailureShowsItsMessage) {
  settings_.com = 17;
  settings_.baud_rate = 100;
  settings_.com_polling_time = 501;  // time-outs must then be at least 1002: KR, HCU and Set fail
  settings_.num_root_name_chars = 4;
  EXPECT_FALSE(Validate());
  EXPECT_EQ(ui_.Ids(), (std::vector<int>{202, 233, 209, 203, 203, 203, 101}));
  for (const auto& shown : ui_.shown) EXPECT_EQ(shown.icon, MessageIcon::kError);
  const std::string file = "in the configuration-file /home/op/Tarvik/Tarvik.ini.";
  EXPECT_EQ(ui_.shown[0].text,
            "The number of the COM-port must be within 1 and 16 (e.g. 2 for COM2).\nCheck the settings for "
            "\"COM\" " +
                file);
  EXPECT_EQ(ui_.shown[1].text,
            "The baud rate must be within 110 and 256000.\nCheck the settings for \"\"BaudRate\"\" " + file);
  EXPECT_EQ(ui_.shown[2].text,
            "The value for the polling time must be within 5 and 500 miliseconds.\n Check the settings for "
            "\"ComPollingTime\" " +
                file);
  EXPECT_NE(ui_.shown[3].text.find("within 1002 (double of polling time)"), std::string::npos);
  EXPECT_EQ(ui_.shown[6].text,
            "The number of the characters for root filename must be within 0 and 3.\nCheck the settings for "
            "\"NumRootNameChars\" " +
                file);
}

TEST_F(ValidateSettingsTest, ValuesAtTheLimitsPass) {
  settings_.com = 16;
  settings_.baud_rate = 256000;
  settings_.com_polling_time = 5;
  settings_.com_timeout_kr = 10;
  settings_.com_timeout_hcu = 10000;
  settings_.com_timeout_set = 10;
  settings_.com_timeout_fp = 30000;
  settings_.num_root_name_chars = 0;
  EXPECT_TRUE(Validate());
  EXPECT_TRUE(ui_.shown.empty());
}

TEST_F(ValidateSettingsTest, AbsurdPollingTimeFromTheFileIsReportedNotOverflowed) {
  settings_.com_polling_time = 2147483647;
  EXPECT_FALSE(Validate());
  EXPECT_EQ(ui_.Ids(), (std::vector<int>{209, 203, 203, 203, 203}));
}

class TimeoutPageTest : public ::testing::Test {
 protected:
  kr::StringTable strings_ = tarvik::MakeTarvikStringTable();
};

TEST_F(TimeoutPageTest, TimeOutsMustLieWithinTheirRanges) {
  tarvik::TimeoutPageValues values;
  values.timeout_hcu = 9;
  auto error = tarvik::ValidateTimeoutPage(values, strings_);
  ASSERT_TRUE(error);
  EXPECT_EQ(error->field, TimeoutField::kTimeoutHcu);
  EXPECT_EQ(error->message_id, 497);
  EXPECT_EQ(error->text, "Invalid value (must be within 10 and 10000)");

  values.timeout_hcu = 400;
  values.timeout_fp = 30001;
  error = tarvik::ValidateTimeoutPage(values, strings_);
  ASSERT_TRUE(error);
  EXPECT_EQ(error->field, TimeoutField::kTimeoutFp);
  EXPECT_EQ(error->text, "Invalid value (must be within 10 and 30000)");
}

TEST_F(TimeoutPageTest, PollingTimeAtMostHalfTheSmallerOfKrAndHcu) {
  tarvik::TimeoutPageValues values{41, 83, 400, 600, 8000};  // half of 83 is 41
  EXPECT_FALSE(tarvik::ValidateTimeoutPage(values, strings_));
  values.polling_time = 42;
  auto error = tarvik::ValidateTimeoutPage(values, strings_);
  ASSERT_TRUE(error);
  EXPECT_EQ(error->field, TimeoutField::kPollingTime);
  EXPECT_EQ(error->message_id, 516);
  EXPECT_EQ(error->text, "Value can be bigger as the half of the KR/HCU Timeout  (within 5 and 41)");
  values.polling_time = 4;
  EXPECT_TRUE(tarvik::ValidateTimeoutPage(values, strings_));
}

// What the page accepts must also pass the start-up check, or the next start would stop.
TEST_F(TimeoutPageTest, AcceptsOnlyValuesTheNextStartAccepts) {
  tarvik::TimeoutPageValues values{600, 10000, 10000, 30000, 30000};
  auto error = tarvik::ValidateTimeoutPage(values, strings_);
  ASSERT_TRUE(error);
  EXPECT_EQ(error->field, TimeoutField::kPollingTime);
  EXPECT_EQ(error->text, "Value can be bigger as the half of the KR/HCU Timeout  (within 5 and 500)");

  values = {100, 400, 400, 150, 8000};
  error = tarvik::ValidateTimeoutPage(values, strings_);
  ASSERT_TRUE(error);
  EXPECT_EQ(error->field, TimeoutField::kTimeoutSet);
  EXPECT_EQ(error->text, "Invalid value (must be within 200 and 30000)");

  // Everything the page passes, the start-up check passes as well.
  for (int polling : {5, 40, 200, 500}) {
    for (int kr : {10, 80, 1000, 10000}) {
      for (int set : {10, 80, 1000, 30000}) {
        tarvik::TimeoutPageValues v{polling, kr, 10000, set, 30000};
        if (tarvik::ValidateTimeoutPage(v, strings_)) continue;
        tarvik::TarvikSettings s = tarvik::DefaultSettings("/r");
        tarvik::StoreTimeoutPage(v, s);
        apptest::FakeUi ui;
        EXPECT_TRUE(tarvik::ValidateSettings(s, "Tarvik.ini", ui, strings_))
            << polling << " " << kr << " " << set;
      }
    }
  }
}

}  // namespace
