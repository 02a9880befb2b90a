#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "link_test_util.h"
#include "tarvik/link/link_layer.h"

namespace tarvik {
namespace {

using test::TraceLines;

class TraceRingTest : public ::testing::Test {
 protected:
  void SetUp() override { ASSERT_TRUE(link_.CreateChannel(1, 9600, 0, nullptr, 0)); }
  LinkChannel& record() { return *link_.Channel(0); }
  std::string RingLine(int index) { return record().trace_ring[index].data(); }

  LinkLayer link_;
};

std::string Echo(const std::string& frame, int command, const std::string& raw = "") {
  std::array<char, kSendEchoSize> echo;
  int n = BuildSendEcho(reinterpret_cast<const std::uint8_t*>(frame.data()), static_cast<int>(frame.size()),
                        command, raw, echo);
  return std::string(echo.data(), static_cast<std::size_t>(n));
}

TEST_F(TraceRingTest, LongLineWrapsInto99CharacterLinesThatStartClean) {
  for (int i = 0; i < 3; ++i) link_.TraceLine(std::string(99, '#'), 0);
  link_.TraceReset(0);
  std::string text;
  for (int i = 0; i < 250; ++i) text += static_cast<char>('a' + i % 26);
  link_.TraceLine(text, 0);
  EXPECT_EQ(link_.TraceLineCount(0), 3);
  EXPECT_EQ(RingLine(0), text.substr(0, 99));
  EXPECT_EQ(RingLine(1), text.substr(99, 99));
  EXPECT_EQ(RingLine(2), text.substr(198));
  EXPECT_EQ(RingLine(2).size(), 52u);
}

TEST_F(TraceRingTest, RingWrapsAfter1000LinesAndDumpsOldestFirst) {
  std::string expected;
  for (int i = 0; i < 1000; ++i) {
    link_.TraceLine("[L" + std::to_string(i) + "]", 0);
    expected += "[L" + std::to_string(i) + "]\r\n";
  }
  EXPECT_EQ(record().trace_line, 0);
  EXPECT_TRUE(record().ring_wrapped);
  EXPECT_EQ(link_.TraceLineCount(0), 1000);

  const auto path =
      std::filesystem::temp_directory_path() / ("tarvik_trace_" + std::to_string(::getpid()) + ".dat");
  ASSERT_TRUE(link_.TraceDumpToFile(path, 0));
  std::ifstream in(path, std::ios::binary);
  std::stringstream content;
  content << in.rdbuf();
  EXPECT_EQ(content.str(), expected);
  std::filesystem::remove(path);
  EXPECT_EQ(link_.TraceLineCount(0), 0);
  EXPECT_FALSE(record().ring_wrapped);

  // Five lines beyond a full ring: the oldest five are gone, the order stays.
  for (int i = 0; i < 1005; ++i) link_.TraceLine("[M" + std::to_string(i) + "]", 0);
  const auto lines = TraceLines(link_);
  ASSERT_EQ(lines.size(), 1000u);
  EXPECT_EQ(lines.front(), "[M5]");
  EXPECT_EQ(lines.back(), "[M1004]");
  EXPECT_EQ(link_.TraceLineCount(0), 1000);  // appending to a text leaves the ring alone
}

TEST_F(TraceRingTest, FailedDumpKeepsTheRing) {
  link_.TraceLine("[kept]", 0);
  EXPECT_FALSE(link_.TraceDumpToFile(std::filesystem::path("/nonexistent/dir/Trace.dat"), 0));
  std::FILE* full = std::fopen("/dev/full", "wb");
  ASSERT_NE(full, nullptr);
  EXPECT_FALSE(link_.TraceDumpToFile(full, 0));
  std::fclose(full);
  EXPECT_EQ(TraceLines(link_), std::vector<std::string>{"[kept]"});
}

TEST_F(TraceRingTest, PartialLineIsDumpedLastNotLost) {
  link_.TraceLine("[before]", 0);
  link_.TraceWrite("<*(partial", 0);
  EXPECT_EQ(TraceLines(link_), (std::vector<std::string>{"[before]", "<*(partial"}));
  // An information line first ends the partial one.
  link_.TraceLine("[after]", 0);
  EXPECT_EQ(TraceLines(link_), (std::vector<std::string>{"[before]", "<*(partial", "[after]"}));
}

TEST_F(TraceRingTest, ErrorLinesSetCommErrorUnlessAlreadyFailed) {
  record().link_state = LinkAwaitingReply;
  record().input_fill = 12;
  record().tick_counter = 7;
  link_.TraceLine("[info]", 0);
  EXPECT_EQ(record().link_state, LinkAwaitingReply);
  EXPECT_EQ(record().input_fill, 0);
  EXPECT_EQ(record().last_reply_length, 7);
  EXPECT_EQ(record().tick_counter, 7);

  link_.TraceError("<Check sum error>", 0);
  EXPECT_EQ(record().link_state, LinkCommError);
  EXPECT_EQ(record().tick_counter, 0);

  for (LinkState kept : {LinkOffline, LinkTimedOut}) {
    record().link_state = kept;
    link_.TraceError("<Timeout reading from COM port>", 0);
    EXPECT_EQ(record().link_state, kept);
  }
}

TEST(SendEcho, FormatsEveryKindOfFrame) {
  EXPECT_EQ(Echo("\x15", 0), ">[21]\n");
  EXPECT_EQ(Echo("+", kModemStringCommand), ">+\n");
  EXPECT_EQ(Echo("(NN\x80\xE4)", 1), ">(NN[128][228])\n");
  EXPECT_EQ(Echo("(MN++)", kFreeFormCommand, "MN"), ">(MN++)\n");
  EXPECT_EQ(Echo("AT&F\r", kModemStringCommand), ">AT&F\r\n");
  EXPECT_EQ(Echo("\x18)", kProbeCommand), "[24])\n");
  // Au (281) ends in "++)" although it is not a free-form command.
  EXPECT_EQ(Echo("(Au102++)", 281), ">(Au102++)\n");
}

TEST(SendEcho, HidesThePasswordOfEveryPasswordCommand) {
  // Numbers and codes as the command table lists them.
  const std::vector<std::pair<int, std::string>> password_commands = {
      {64, "Li"},  {67, "Qw"},  {68, "Nq"},  {260, "Lp"}, {276, "Mg"},
      {279, "Kr"}, {283, "Zm"}, {288, "Mf"}, {289, "Fe"}, {290, "As"}};
  for (const auto& [number, code] : password_commands) {
    EXPECT_EQ(Echo("(" + code + "12345\x80\xC1)", number), ">(" + code + "*****[128][193])\n") << number;
    EXPECT_EQ(Echo("(" + code + "54321++)", kFreeFormCommand, code + "54321"), ">(" + code + "*****++)\n")
        << code;
  }
  // Reading the password (LP) and logging out (Lo) carry none; codes are case-sensitive.
  EXPECT_EQ(Echo("(LP++)", kFreeFormCommand, "LP"), ">(LP++)\n");
  EXPECT_EQ(Echo("(Lo\x80\xC1)", 65), ">(Lo[128][193])\n");
}

TEST_F(TraceRingTest, ModemEchoAndProbeEchoInTheRing) {
  link_.TraceWrite(Echo("AT&F\r", kModemStringCommand), 0);
  link_.TraceWrite(Echo("\x18)", kProbeCommand), 0);
  EXPECT_EQ(TraceLines(link_), (std::vector<std::string>{">AT&F", "[24])"}));
}

TEST_F(TraceRingTest, RepaintOnlyWhileVisibleAndNotFrozen) {
  int repaints = 0;
  link_.SetRepaintRequest([&](std::uint16_t) { ++repaints; });
  link_.TraceLine("[hidden]", 0);
  link_.SetTraceViewVisible(true, 0);
  link_.TraceLine("[shown]", 0);
  link_.TraceEndReply(0);
  link_.SetTraceViewFrozen(true, 0);
  link_.TraceLine("[frozen]", 0);
  EXPECT_EQ(repaints, 2);
}

TEST_F(TraceRingTest, TextSettersStopAtTheSemicolon) {
  EXPECT_EQ(link_.SetModemText("AT&F;ATE0", 0), 5);
  EXPECT_STREQ(record().modem_text, "AT&F");
  EXPECT_EQ(link_.SetModemText("ATE0", 0), 0);
  EXPECT_STREQ(record().modem_text, "ATE0");
  EXPECT_EQ(link_.SetPassword("123456789;x", 0), 10);
  EXPECT_STREQ(record().password, "12345");
  EXPECT_EQ(link_.SetRawCommand(std::string(200, 'R'), 0), 0);
  EXPECT_EQ(std::string(record().raw_command), std::string(95, 'R'));

  record().item_cursor = 4;
  record().link_state = LinkRetry;
  link_.SetLinkReady(0);
  EXPECT_EQ(link_.GetLinkState(0), LinkReady);
  EXPECT_EQ(record().item_cursor, 0);
}

TEST(LinkChannelTable, NewRecordDefaultsAndEmptySlots) {
  LinkLayer link;
  EXPECT_EQ(link.IsTcpLink(0), -3);
  EXPECT_EQ(link.GetLinkState(0), -3);
  EXPECT_EQ(link.GetBlockCount(0), -3);
  EXPECT_FALSE(link.Send("(NN\x80\xE4)", 0));
  EXPECT_FALSE(link.CloseLink(0));
  EXPECT_EQ(link.SetModemText("AT;", 0), 0);
  link.TraceLine("[nowhere]", 0);
  EXPECT_EQ(link.TraceLineCount(0), 0);
  EXPECT_FALSE(link.CreateChannel(0, 0, 4001, "10.0.0.1", LinkLayer::kChannelSlots));

  ASSERT_TRUE(link.CreateChannel(0, 0, 4001, std::string(120, 'h').c_str(), 0));
  const LinkChannel& record = *link.Channel(0);
  EXPECT_EQ(record.current_command, -1);
  EXPECT_EQ(record.link_state, LinkReady);
  EXPECT_STREQ(record.event_file_type, "SKR");
  EXPECT_EQ(std::string(record.host), std::string(80, 'h'));
  EXPECT_EQ(record.data_bits, 8);
}

TEST(LogDisconnect, PrintsTheSummaryAndClearsTheCounters) {
  struct Counters {
    std::uint32_t sequence, long_term, total;
  };
  Counters hcu{1, 12, 123};
  Counters recorders[2] = {{0, 0, 0}, {15, 150, 1500}};
  LinkLayer link;
  ASSERT_TRUE(link.CreateChannel(0, 0, 4001, "10.0.0.1", 0));
  const OfflineCounterRef refs[2] = {OfflineCounterRef(recorders[0]), OfflineCounterRef(recorders[1])};
  DisconnectReport report{400, 500, 600, 8000, 40, OfflineCounterRef(hcu), refs};
  link.LogDisconnect("[%s V%s disconnected from %s port %d]", report, 0);

  EXPECT_EQ(TraceLines(link), (std::vector<std::string>{
                                  test::AppPrefix() + " disconnected from IP port 4001]",
                                  "[Timeouts: KR = 400,  HCU = 500, Set = 600, Slow = 8000, Polling = 40]",
                                  "[Offline counters HCU : sequence =  1, long-term =  12, total = 123]",
                                  "[Offline counters KR 1: sequence =  0, long-term =   0, total =   0]",
                                  "[Offline counters KR 2: sequence = 15, long-term = 150, total = 1500]",
                              }));
  EXPECT_EQ(hcu.total, 0u);
  EXPECT_EQ(recorders[1].sequence + recorders[1].long_term + recorders[1].total, 0u);

  // A format that does not take the four values is written as it stands, never given to printf.
  link.TraceReset(0);
  link.LogDisconnect("[%d%n disconnected]", DisconnectReport{}, 0);
  EXPECT_EQ(TraceLines(link).front(), "[%d%n disconnected]");
}

}  // namespace
}  // namespace tarvik
