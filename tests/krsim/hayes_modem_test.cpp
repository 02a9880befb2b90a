#include "krsim/hayes_modem.h"

#include <gtest/gtest.h>

namespace krsim {
namespace {

class FakeHost : public ModemHost {
 public:
  void ToLine(std::string_view bytes) override { line += bytes; }
  void ToUnit(std::string_view bytes) override { unit += bytes; }
  void CarrierChanged(bool up) override { carrier.push_back(up); }
  std::string TakeLine() { return std::exchange(line, {}); }

  std::string line;
  std::string unit;
  std::vector<bool> carrier;
};

class HayesModemTest : public ::testing::Test {
 protected:
  HayesModemTest() {
    settings_.connect_delay_ms = 3000;
    settings_.connect_rate = 19200;
    settings_.busy_numbers = {"555-0100"};
    settings_.no_carrier_numbers = {"5550199"};
    settings_.guard_time_ms = 1000;
  }
  void Advance(int ms) {
    now_ += Millis(ms);
    modem_->OnTimer(now_);
  }
  void Type(std::string_view text) { modem_->FromLine(text, now_); }
  void Start() { modem_ = std::make_unique<HayesModem>(settings_, host_); }
  void ConnectCall() {
    Type("ATE0\r");
    host_.TakeLine();
    Type("ATDT0123\r");
    Advance(3000);
    ASSERT_EQ(host_.TakeLine(), "\r\nCONNECT 19200\r\n");
  }

  ModemSettings settings_;
  FakeHost host_;
  std::unique_ptr<HayesModem> modem_;
  TimePoint now_ = TimePoint{} + std::chrono::hours(1);
};

TEST_F(HayesModemTest, EchoesAndAnswersOkUntilEchoIsSwitchedOff) {
  Start();
  Type("AT&F\r");
  EXPECT_EQ(host_.TakeLine(), "AT&F\r\r\nOK\r\n");
  Type("ATE0\r");
  EXPECT_EQ(host_.TakeLine(), "ATE0\r\r\nOK\r\n") << "the command that switches echo off is still echoed";
  Type("AT\r");
  EXPECT_EQ(host_.TakeLine(), "\r\nOK\r\n");
  Type("at&f\r");
  EXPECT_EQ(host_.TakeLine(), "\r\nOK\r\n") << "&F resets echo to on only after this line";
  Type("AT\r");
  EXPECT_EQ(host_.TakeLine(), "AT\r\r\nOK\r\n");
}

TEST_F(HayesModemTest, UnknownCommandsGiveErrorAndLinesWithoutAtAreIgnored) {
  Start();
  Type("ATE0\r");
  host_.TakeLine();
  Type("ATJ\r");
  EXPECT_EQ(host_.TakeLine(), "\r\nERROR\r\n");
  Type("hello\r");
  EXPECT_EQ(host_.TakeLine(), "");
  Type("ATS12=25\r");
  EXPECT_EQ(host_.TakeLine(), "\r\nOK\r\n");
  Type("ATS12?\r");
  EXPECT_EQ(host_.TakeLine(), "\r\n025\r\n\r\nOK\r\n");
}

TEST_F(HayesModemTest, DialsAndConnectsAfterTheConfiguredDelay) {
  Start();
  Type("ATE0\r");
  host_.TakeLine();
  Type("ATDT 0-123,45\r");
  Advance(2999);
  EXPECT_EQ(host_.TakeLine(), "") << "no result before the connect delay";
  EXPECT_TRUE(host_.carrier.empty());
  Advance(1);
  EXPECT_EQ(host_.TakeLine(), "\r\nCONNECT 19200\r\n");
  EXPECT_EQ(host_.carrier, (std::vector<bool>{true}));
  // Online: data passes both ways untouched.
  Type("(MN\x80\xe5)");
  EXPECT_EQ(host_.unit, "(MN\x80\xe5)");
  modem_->FromUnit("*(3)");
  EXPECT_EQ(host_.TakeLine(), "*(3)");
}

TEST_F(HayesModemTest, ConfiguredNumbersAreBusyOrGiveNoCarrier) {
  Start();
  Type("ATE0\r");
  host_.TakeLine();
  Type("ATDT5550100\r");
  Advance(3000);
  EXPECT_EQ(host_.TakeLine(), "\r\nBUSY\r\n");
  Type("ATDP 555 0199\r");
  Advance(3000);
  EXPECT_EQ(host_.TakeLine(), "\r\nNO CARRIER\r\n");
  EXPECT_TRUE(host_.carrier.empty());
  Type("AT\r");
  EXPECT_EQ(host_.TakeLine(), "\r\nOK\r\n") << "back in command mode";
}

TEST_F(HayesModemTest, AKeyPressAbortsTheCall) {
  Start();
  Type("ATE0\r");
  host_.TakeLine();
  Type("ATD0123\r");
  Advance(500);
  Type("x");
  EXPECT_EQ(host_.TakeLine(), "\r\nNO CARRIER\r\n");
  Advance(5000);
  EXPECT_EQ(host_.TakeLine(), "");
  EXPECT_TRUE(host_.carrier.empty());
}

TEST_F(HayesModemTest, EscapeNeedsGuardTimesThenHangUp) {
  Start();
  ConnectCall();
  // "+++" right after data is data.
  Type("(MN)");
  Advance(100);
  Type("+++");
  Advance(1500);
  EXPECT_EQ(host_.TakeLine(), "");
  EXPECT_TRUE(modem_->Online());
  // With a second of silence before and after, it is the escape.
  Advance(1000);
  Type("+++");
  Advance(999);
  EXPECT_EQ(host_.TakeLine(), "");
  Advance(1);
  EXPECT_EQ(host_.TakeLine(), "\r\nOK\r\n");
  EXPECT_FALSE(modem_->Online());
  EXPECT_TRUE(modem_->Connected());
  Type("ATH\r");
  EXPECT_EQ(host_.TakeLine(), "\r\nOK\r\n");
  EXPECT_EQ(host_.carrier, (std::vector<bool>{true, false}));
}

TEST_F(HayesModemTest, DataDuringTheTrailingGuardCancelsTheEscape) {
  Start();
  ConnectCall();
  Advance(1200);
  Type("+++");
  Advance(500);
  Type("(");
  Advance(2000);
  EXPECT_EQ(host_.TakeLine(), "");
  EXPECT_TRUE(modem_->Online());
}

TEST_F(HayesModemTest, OnlineCommandModeReturnsOnlineWithAto) {
  Start();
  ConnectCall();
  Advance(1000);
  Type("+++");
  Advance(1000);
  host_.TakeLine();
  Type("ATO\r");
  EXPECT_EQ(host_.TakeLine(), "\r\nCONNECT 19200\r\n");
  EXPECT_TRUE(modem_->Online());
}

TEST_F(HayesModemTest, RingsAndAnswersIncomingCalls) {
  Start();
  Type("ATE0\r");
  host_.TakeLine();
  modem_->Ring(now_);
  EXPECT_EQ(host_.TakeLine(), "\r\nRING\r\n");
  Type("ATA\r");
  EXPECT_EQ(host_.TakeLine(), "\r\nCONNECT 19200\r\n");
  EXPECT_EQ(host_.carrier, (std::vector<bool>{true}));
  modem_->RemoteHangup();
  EXPECT_EQ(host_.TakeLine(), "\r\nNO CARRIER\r\n");
  Type("ATA\r");
  EXPECT_EQ(host_.TakeLine(), "\r\nNO CARRIER\r\n") << "nobody is calling";
}

TEST_F(HayesModemTest, AutoAnswerAfterS0RingsAndNumericResults) {
  Start();
  Type("ATE0\r");
  host_.TakeLine();
  Type("ATV0S0=2\r");
  EXPECT_EQ(host_.TakeLine(), "0\r");
  modem_->Ring(now_);
  EXPECT_EQ(host_.TakeLine(), "2\r");
  modem_->Ring(now_);
  EXPECT_EQ(host_.TakeLine(), "2\r1\r");
  EXPECT_TRUE(modem_->Online());
}

TEST_F(HayesModemTest, ReportsRingingWhileCallingWhenAsked) {
  settings_.report_ringing = true;
  Start();
  Type("ATE0\r");
  host_.TakeLine();
  Type("ATDT0123\r");
  EXPECT_EQ(host_.TakeLine(), "\r\nRINGING\r\n");
  Advance(3000);
  EXPECT_EQ(host_.TakeLine(), "\r\nCONNECT 19200\r\n");
}

}  // namespace
}  // namespace krsim
