#include "krsim/session.h"

#include <gtest/gtest.h>

#include <random>

#include "krsim/event_generator.h"
#include "table_decoder.h"
#include "tarvik/protocol/command_table.h"

namespace krsim {
namespace {

using krsim_test::RequestFrame;

class FakeLine : public SessionHost {
 public:
  void Send(std::string_view bytes) override { sent += bytes; }
  void Break() override { ++breaks; }
  void LineRateChanged(int rate) override { baud = rate; }
  std::string Take() { return std::exchange(sent, {}); }

  std::string sent;
  int breaks = 0;
  int baud = 0;
};

// A unit with its session, driven by a clock the test moves.
class SessionTest : public ::testing::Test {
 protected:
  SessionTest() : config_(DefaultConfig()) {}

  void Start() {
    faults_ = std::make_unique<FaultInjector>(config_.faults);
    unit_ = std::make_unique<UnitModel>(config_, *faults_, clock_);
    session_ = std::make_unique<Session>(*unit_, *faults_, transcript_, stats_, line_, 5000);
    session_->Open();
  }
  std::string Ask(std::string_view body) {
    session_->OnBytes(RequestFrame(body), now_);
    return line_.Take();
  }
  std::string Read(std::string_view body) {
    const std::string reply = Ask(body);
    std::string payload;
    EXPECT_TRUE(krsim_test::OpenDataReply(reply, payload)) << body << " answered " << reply;
    return payload;
  }
  void LogIn() { ASSERT_EQ(Ask("LiTORVE"), "*"); }
  void Advance(int ms) {
    now_ += Millis(ms);
    session_->OnTimer(now_);
  }
  std::string Control(std::uint8_t byte) {
    session_->OnBytes(std::string(1, static_cast<char>(byte)), now_);
    return line_.Take();
  }

  SimConfig config_;
  kr::FixedClock clock_{kr::DateTime{2025, 6, 2, 10, 0, 0, 0, 1}};
  std::unique_ptr<FaultInjector> faults_;
  Transcript transcript_;
  SessionStats stats_;
  FakeLine line_;
  std::unique_ptr<UnitModel> unit_;
  std::unique_ptr<Session> session_;
  TimePoint now_ = TimePoint{} + std::chrono::hours(1);
};

TEST_F(SessionTest, LogInGoesAsThePcExpects) {
  Start();
  session_->OnBytes("\x18)", now_);
  EXPECT_EQ(line_.Take(), "?") << "the probe";
  EXPECT_EQ(Ask("LL"), "E") << "LL before the log-in makes the PC ask for the password";
  EXPECT_EQ(Ask("NN"), "E");
  EXPECT_EQ(Ask("LiTORVX"), "E") << "wrong password";
  EXPECT_EQ(Ask("LL"), "E");
  EXPECT_EQ(Ask("LiTORVE"), "*");
  EXPECT_EQ(Read("LL"), "2");
  EXPECT_EQ(Ask("Lo"), "*");
  EXPECT_EQ(Ask("LL"), "E") << "logged out again";
  session_->Close();
  session_->Open();
  EXPECT_EQ(Ask("MN"), "E") << "a new connection starts logged out";
}

TEST_F(SessionTest, TheControlUnitRoutesRecorderCommandsToTheSelectedRecorder) {
  Start();
  LogIn();
  EXPECT_EQ(Read("NN"), "HCU4100");
  EXPECT_EQ(Read("NC"), "2");
  EXPECT_EQ(Ask("MN"), "N") << "no recorder addressed";
  EXPECT_EQ(Read("RS"), "9600") << "the control unit's own baud rate";
  EXPECT_EQ(Ask("Na1"), "*");
  EXPECT_EQ(Read("IN"), "CKR4100");
  EXPECT_EQ(Read("IV"), "22060");
  EXPECT_EQ(Read("MN"), "3");
  EXPECT_EQ(Read("LL"), "2") << "control-unit commands still reach the control unit";
  EXPECT_EQ(Ask("Na2"), "*");
  EXPECT_EQ(Read("IV"), "62080");
  EXPECT_EQ(Ask("Na3"), "N");
  EXPECT_EQ(Ask("Na0"), "*");
  EXPECT_EQ(Ask("MN"), "N");
  EXPECT_EQ(Ask("XX"), "?") << "not a command";
}

TEST_F(SessionTest, ARecorderOnItsOwnRefusesNnAndAnMkrAnswersIt) {
  config_.unit = UnitKind::kRecorder;
  config_.recorders.resize(1);
  config_.recorders[0].password = "ABCDE";
  Start();
  EXPECT_EQ(Ask("LiTORVE"), "E") << "the recorder's own password counts";
  EXPECT_EQ(Ask("LiABCDE"), "*");
  EXPECT_EQ(Ask("NN"), "N");
  EXPECT_EQ(Ask("Na1"), "N");
  EXPECT_EQ(Read("MN"), "3") << "recorder commands need no Na";
  EXPECT_EQ(Read("RS"), "9600");

  config_.unit = UnitKind::kMkr;
  Start();
  ASSERT_EQ(Ask("LiTORVE"), "*");
  EXPECT_EQ(Read("NN"), "MKR4100");
  EXPECT_EQ(Read("NC"), "1");
}

TEST_F(SessionTest, WritesChangeWhatLaterReadsReturn) {
  // A recorder of no known type, so that every write is there to try.
  config_.recorders[0].model = 'X';
  config_.recorders[0].firmware = 50000;
  config_.recorders[0].events = {EventKind::kXkr};
  Start();
  LogIn();
  ASSERT_EQ(Ask("Na1"), "*");
  EXPECT_EQ(Ask("Te7"), "*");
  EXPECT_EQ(Read("TE"), "7");
  EXPECT_EQ(Ask("Tx123"), "*");
  EXPECT_EQ(Read("TX"), "123");
  EXPECT_EQ(Read("TR"), "123,400,400,1,1,1,2,2,2") << "the level array holds the same values";
  EXPECT_EQ(Ask("Tr01-5"), "*") << "item 0 of array 1: the first vote";
  EXPECT_EQ(Read("TR"), "123,400,400,-5,1,1,2,2,2");
  EXPECT_EQ(Ask("Al2024032"), "*") << "condition item 2: code 24, mask 32";
  EXPECT_EQ(Read("AL"), "2,1,4,1,24,32,24,0,32,1,64,0,128,0,0,0");
  EXPECT_EQ(Ask("Ae5Blast at (north) pit, level 2"), "*");
  EXPECT_EQ(SplitItems(Read("AE"))[5], "Blast at [north] pit; level 2");
  EXPECT_EQ(Ask("Aq22,05"), "*");
  EXPECT_EQ(Read("AQ"), "22,5");
  EXPECT_EQ(Ask("Ap0100806000900"), "*");
  EXPECT_EQ(Read("AP"), "10,8,0,60,900") << "fields of 3, 2, 1, 2 and 5 digits";
  EXPECT_EQ(Ask("Pl47.123456"), "*");
  EXPECT_EQ(Read("PL"), "47.1235");
  EXPECT_EQ(Ask("Te"), "E") << "a write without its value";
  EXPECT_EQ(Ask("Tq1x"), "E");
  EXPECT_EQ(Ask("Na0"), "*");
  EXPECT_EQ(Ask("Nm055"), "*") << "combination 05, recorders 1 and 3";
  EXPECT_EQ(Read("NM"), "0,0,0,0,5,0,0,0,0,0,0,0,0,0,0,0");
  EXPECT_EQ(Ask("Nz299"), "*");
  EXPECT_EQ(Read("NZ"), "10,99,0,1,2,4");
  EXPECT_EQ(Ask("Nm175"), "E") << "there are only 16 combinations";
}

TEST_F(SessionTest, DeviceTypeAndOptionBitsDecideWhatARecorderKnows) {
  config_.recorders[0].features = 0;  // no option bits at all
  config_.recorders[0].ring_memory = false;
  Start();
  LogIn();
  ASSERT_EQ(Ask("Na1"), "*");
  EXPECT_EQ(Ask("MI1"), "N") << "firmware 220.60 (CKR) lacks MI";
  EXPECT_EQ(Ask("AL"), "N") << "alerting needs option bit 8";
  EXPECT_EQ(Ask("MJ1"), "N") << "event values need option bit 7";
  EXPECT_EQ(Ask("KR"), "N") << "no ring memory";
  ASSERT_EQ(Ask("Na2"), "*");
  EXPECT_EQ(Read("KR"), "YES");
  // MJ: each channel's peak in its unit: the header's 24-bit peaks times 5 x 10^-5.
  const kr::HeaderBytes& h = unit_->recorders()[1].store().Find(1)->header;
  auto peak = [&](int at) { return (h[at] | h[at + 1] << 8 | h[at + 2] << 16) * 0.00005; };
  char expected[64];
  std::snprintf(expected, sizeof expected, "%.3f,%.3f,%.3f", peak(12), peak(15), peak(18));
  EXPECT_EQ(Read("MJ1"), expected);
}

// Reads little-endian numbers and BCD at the offsets of the event file layout.
int U16(const kr::HeaderBytes& h, int at) {
  return h[at] | h[at + 1] << 8;
}
int Bcd(const kr::HeaderBytes& h, int at) {
  return (h[at] >> 4) * 10 + (h[at] & 15);
}

TEST_F(SessionTest, DirectoryEntriesAgreeWithTheStoredHeaders) {
  Start();
  LogIn();
  ASSERT_EQ(Ask("Na1"), "*");
  const auto& events = unit_->recorders()[0].store().Events();
  for (const StoredEvent& e : events) {
    const std::string entry = Read("MD" + std::to_string(e.file_number));
    const kr::HeaderBytes& h = e.header;
    char expected[96];
    std::snprintf(expected, sizeof expected, "%c%02d:%02d:%02d,%02d.%02d.%02d,%d,%d,%d,%u",
                  e.IsPeriodic() ? 'P' : (e.file_number == 1 ? 'N' : 'Y'), Bcd(h, 47), Bcd(h, 46), Bcd(h, 45),
                  Bcd(h, 48), Bcd(h, 49), Bcd(h, 50), U16(h, 13), U16(h, 15), U16(h, 17),
                  static_cast<unsigned>(h[6] | h[7] << 8 | h[8] << 16 | h[9] << 24));
    EXPECT_EQ(entry, expected);
  }
  EXPECT_EQ(Ask("MD9"), "E") << "no such event";
}

TEST_F(SessionTest, MaintenanceCommandsChangeTheUnitsState) {
  Start();
  LogIn();
  ASSERT_EQ(Ask("Na1"), "*");
  EXPECT_EQ(Ask("MfTORVX"), "E") << "wrong password";
  EXPECT_EQ(Read("MN"), "3");
  EXPECT_EQ(Read("FW"), "4");
  EXPECT_EQ(Ask("FeTORVE"), "*");
  EXPECT_EQ(Read("FW"), "0");
  EXPECT_EQ(Read("ZX"), "12,-7,4");
  EXPECT_EQ(Ask("ZmTORVE"), "*");
  EXPECT_EQ(Read("ZX"), "0,0,0");
  EXPECT_EQ(Ask("Ct12:34:56"), "*");
  EXPECT_EQ(Read("CT"), "12:34:56");
  EXPECT_EQ(Ask("Cd01.02.25"), "*");
  EXPECT_EQ(Read("CD"), "01.02.25");
  EXPECT_EQ(Read("CT"), "12:34:56");
  EXPECT_EQ(Ask("Cd31.02.25"), "E");
  EXPECT_EQ(Ask("Th0"), "*");
  EXPECT_EQ(Read("IS"), "Stopped");
  ASSERT_EQ(Ask("Na0"), "*");
  EXPECT_EQ(Read("NR"), "NY") << "recorder 1 stopped, recorder 2 recording";
  ASSERT_EQ(Ask("Na1"), "*");
  EXPECT_EQ(Ask("MfTORVE"), "*");
  EXPECT_EQ(Read("MN"), "0");
  EXPECT_EQ(Read("MB"), "0");
  EXPECT_EQ(Ask("LpNEWPW"), "*");
  EXPECT_EQ(Read("LP"), "NEWPW");
  EXPECT_EQ(Ask("MfTORVE"), "E") << "the old password is gone";
}

TEST_F(SessionTest, NewEventsGetTheNextNumberAndWrapInRingMemory) {
  config_.recorders[0].first_file = 254;
  Start();
  LogIn();
  ASSERT_EQ(Ask("Na1"), "*");
  EXPECT_EQ(Read("MB"), "1") << "254, 255, then 1";
  std::string message;
  ASSERT_TRUE(unit_->Trigger(1, message)) << message;
  EXPECT_EQ(Read("MB"), "2");
  EXPECT_EQ(Read("MN"), "4");
  ASSERT_EQ(Ask("Na0"), "*");
  EXPECT_EQ(Read("NY"), "YN") << "recorder 1 has an event the PC has not fetched";
  EXPECT_EQ(Read("QX"), "YN") << "its peaks passed the alarm 1 thresholds";
  ASSERT_EQ(Ask("NqTORVE"), "*");
  EXPECT_EQ(Read("QX"), "NN");
  EXPECT_FALSE(unit_->Trigger(3, message));
}

TEST_F(SessionTest, LinearMemoryTakesNoEventBeyondFileNumber255) {
  config_.recorders[0].ring_memory = false;
  config_.recorders[0].first_file = 253;
  Start();
  std::string message;
  EXPECT_FALSE(unit_->Trigger(1, message));
  EXPECT_NE(message.find("memory full"), std::string::npos);
}

// Downloads one event through the block protocol, answering each block as the PC does.
std::vector<std::uint8_t> Download(SessionTest& t, std::function<std::string(std::uint8_t)> control,
                                   int& blocks) {
  std::vector<std::uint8_t> image;
  std::string reply = control(21);
  blocks = 0;
  while (reply.size() == 132) {
    ++blocks;
    EXPECT_EQ(static_cast<std::uint8_t>(reply[1]), blocks % 256);
    EXPECT_EQ(static_cast<std::uint8_t>(reply[2]), 255 - blocks % 256);
    unsigned sum = 0;
    for (int i = 3; i < 131; ++i) sum += static_cast<std::uint8_t>(reply[i]);
    EXPECT_EQ(static_cast<std::uint8_t>(reply[131]), sum % 256);
    image.insert(image.end(), reply.begin() + 3, reply.begin() + 131);
    reply = control(6);
  }
  EXPECT_EQ(reply, "\x04");
  EXPECT_EQ(control(21), "\x04") << "EOT again after the NAK";
  EXPECT_EQ(control(6), "") << "and nothing after the final ACK";
  (void)t;
  return image;
}

TEST_F(SessionTest, TransfersAnEventBlockByBlock) {
  Start();
  LogIn();
  ASSERT_EQ(Ask("Na2"), "*");
  ASSERT_EQ(Ask("M12"), "*");
  int blocks = 0;
  const auto image = Download(
      *this, [&](std::uint8_t b) { return Control(b); }, blocks);
  const StoredEvent& event = *unit_->recorders()[1].store().Find(2);
  EXPECT_EQ(image, TransferImage(event));
  EXPECT_EQ(blocks, event.BlockCount());
  EXPECT_EQ(stats_.transfers_completed, 1);
  EXPECT_EQ(Read("MN"), "3") << "back to requests";
  EXPECT_EQ(Ask("M17"), "E") << "no such event";
}

TEST_F(SessionTest, RepeatsABlockOnNakAndStopsOnCanOrANewRequest) {
  Start();
  LogIn();
  ASSERT_EQ(Ask("Na1"), "*");
  ASSERT_EQ(Ask("M11"), "*");
  EXPECT_EQ(Control(6), "") << "the transfer waits for the PC's NAK";
  const std::string first = Control(21);
  ASSERT_EQ(first.size(), 132u);
  EXPECT_EQ(Control(21), first);
  const std::string second = Control(6);
  EXPECT_EQ(static_cast<std::uint8_t>(second[1]), 2);
  EXPECT_EQ(Control(24), "");
  EXPECT_FALSE(session_->InTransfer());
  EXPECT_EQ(Read("MN"), "3");
  // The header-only read: the PC stops after two blocks and goes on with a new request.
  ASSERT_EQ(Ask("MH1"), "*");
  ASSERT_EQ(Control(21).size(), 132u);
  ASSERT_EQ(Control(6).size(), 132u);
  EXPECT_EQ(Read("MB"), "3");
  EXPECT_EQ(stats_.transfers_abandoned, 2);
}

TEST_F(SessionTest, ATransferNobodyAnswersIsGivenUp) {
  Start();
  LogIn();
  ASSERT_EQ(Ask("Na1"), "*");
  ASSERT_EQ(Ask("M11"), "*");
  ASSERT_EQ(Control(21).size(), 132u);
  Advance(4999);
  EXPECT_TRUE(session_->InTransfer());
  Advance(1);
  EXPECT_FALSE(session_->InTransfer());
}

TEST_F(SessionTest, CorruptsEveryNthBlockAndBreaksAfterNBlocks) {
  config_.faults.corrupt_block_every = 3;
  config_.faults.break_after_blocks = 5;
  Start();
  LogIn();
  ASSERT_EQ(Ask("Na1"), "*");
  ASSERT_EQ(Ask("M11"), "*");
  std::vector<std::string> blocks = {Control(21), Control(6), Control(6)};
  auto checksum_ok = [](const std::string& b) {
    unsigned sum = 0;
    for (int i = 3; i < 131; ++i) sum += static_cast<std::uint8_t>(b[i]);
    return static_cast<std::uint8_t>(b[131]) == sum % 256;
  };
  EXPECT_TRUE(checksum_ok(blocks[0]));
  EXPECT_TRUE(checksum_ok(blocks[1]));
  EXPECT_FALSE(checksum_ok(blocks[2])) << "the third block";
  const std::string again = Control(21);
  EXPECT_TRUE(checksum_ok(again));
  EXPECT_EQ(again.substr(0, 131), blocks[2].substr(0, 131));
  EXPECT_EQ(line_.breaks, 0);
  Control(6);
  EXPECT_EQ(line_.breaks, 1) << "after the fifth block sent";
  EXPECT_FALSE(session_->InTransfer());
  const auto summary = faults_->Summary();
  EXPECT_NE(std::find(summary.begin(), summary.end(), "fault corrupted blocks: 1"), summary.end());
  EXPECT_NE(std::find(summary.begin(), summary.end(), "fault broken connections: 1"), summary.end());
}

TEST_F(SessionTest, DropsLatesAndRefusesRepliesAsConfigured) {
  config_.faults.drop_reply_every = 3;
  config_.faults.late_reply_ms = 800;
  config_.faults.late_reply_every = 2;
  config_.faults.refuse_codes = {"NC"};
  Start();
  EXPECT_EQ(Ask("LiTORVE"), "*") << "reply 1: on time";
  EXPECT_EQ(Ask("LL"), "") << "reply 2: held back";
  Advance(799);
  EXPECT_EQ(line_.Take(), "");
  Advance(1);
  EXPECT_EQ(line_.Take(), std::string("*(2\x00\xce)", 6));
  EXPECT_EQ(Ask("NN"), "") << "reply 3: dropped";
  Advance(2000);
  EXPECT_EQ(line_.Take(), "");
  EXPECT_EQ(Ask("NC"), "N") << "reply 4: refused";
  EXPECT_EQ(faults_->TotalFaults(), 3);
}

TEST_F(SessionTest, OfflineRecordersShowAsOAndDoNotAnswer) {
  config_.faults.offline_recorders = {2};
  Start();
  LogIn();
  EXPECT_EQ(Read("NR"), "YO");
  EXPECT_EQ(Read("NW"), "YO") << "recorder 1 has a warning flag set";
  ASSERT_EQ(Ask("Na2"), "*");
  EXPECT_EQ(Ask("MN"), "");
}

TEST_F(SessionTest, ASlowWriteAsksThePcToWaitThenAcknowledges) {
  config_.faults.slow_codes = {"Fi"};
  config_.faults.slow_minutes = 2;
  config_.faults.slow_seconds = 3;
  Start();
  LogIn();
  ASSERT_EQ(Ask("Na1"), "*");
  ASSERT_EQ(Ask("Fi"), "W2");
  Advance(1000);
  EXPECT_EQ(Ask("MN"), "W2") << "still busy";
  Advance(1999);
  EXPECT_EQ(line_.Take(), "");
  Advance(1);
  EXPECT_EQ(line_.Take(), "*");
  EXPECT_EQ(Read("MN"), "3");
}

TEST_F(SessionTest, RateChangesAfterTheRsAcknowledgeAndTypedFramesGetALineEnd) {
  Start();
  LogIn();
  EXPECT_EQ(Ask("Rs19200"), "*");
  EXPECT_EQ(line_.baud, 19200);
  EXPECT_EQ(Ask("Rs12345"), "E");
  session_->OnBytes("(NC++)", now_);
  const std::string typed = line_.Take();
  ASSERT_GE(typed.size(), 2u);
  EXPECT_EQ(typed.substr(typed.size() - 2), "\r\n");
  std::string payload;
  EXPECT_TRUE(krsim_test::OpenDataReply(typed.substr(0, typed.size() - 2), payload));
  EXPECT_EQ(payload, "2");
}

}  // namespace
}  // namespace krsim

namespace krsim {
namespace {

// Every command with arguments of every shape, and noise between frames: each gets one of the
// unit's answers (or none from a transfer it started), and nothing breaks.
TEST_F(SessionTest, EveryCommandWithAnyArgumentsGetsAnOrderlyAnswer) {
  Start();
  LogIn();
  std::mt19937 rng(17);
  const std::string alphabet = "0123456789,.:-+ ()*ABCxyz\x80\xff";
  for (int round = 0; round < 30; ++round) {
    for (int number = 0; number < tarvik::kCommandCount; ++number) {
      const std::string code(tarvik::CommandAt(number).code);
      if (code.empty() || code == "Lo" || code == "Mf" || code == "Kr" || code == "Mg") continue;
      std::string args;
      const int length = static_cast<int>(rng() % 12);
      for (int i = 0; i < length; ++i) args.push_back(alphabet[rng() % alphabet.size()]);
      if (round % 3 == 0) {
        ASSERT_EQ(Ask("Na" + std::to_string(1 + round % 2)), "*");
      }
      const std::string reply = Ask(code + args);
      if (session_->InTransfer()) {
        session_->OnBytes(std::string(1, '\x18'), now_);
        line_.Take();
        continue;
      }
      const bool orderly = reply.empty() || reply == "*" || reply == "N" || reply == "E" || reply == "?" ||
                           reply.rfind("*(", 0) == 0;
      ASSERT_TRUE(orderly) << code << args << " -> " << reply;
    }
    std::string noise;
    for (int i = 0; i < 200; ++i) noise.push_back(static_cast<char>(rng() % 256));
    session_->OnBytes(noise, now_);
    session_->OnBytes(std::string(1, '\x18'), now_);
    line_.Take();
    Advance(20000);
    line_.Take();
    if (!unit_->logged_in()) LogIn();
  }
}

}  // namespace
}  // namespace krsim
