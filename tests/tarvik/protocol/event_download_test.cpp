#include <unistd.h>

#include <fstream>
#include <iterator>

#include "reply_test_support.h"
#include "tarvik/protocol/frame.h"

namespace tarvik::test {
namespace {

namespace fs = std::filesystem;

// One 132-byte block as a recorder sends it: start byte, number, its complement, 128 data bytes and
// their sum.
Bytes Block(int number, const std::uint8_t* data) {
  Bytes block = {1, static_cast<std::uint8_t>(number), static_cast<std::uint8_t>(~number)};
  unsigned sum = 0;
  for (int i = 0; i < 128; ++i) {
    block.push_back(data[i]);
    sum += data[i];
  }
  block.push_back(static_cast<std::uint8_t>(sum));
  return block;
}

using Pair = std::array<std::uint8_t, 256>;

// An event header in the S layout: model text, mode, sample total, sampling rate, channels.
Pair Header(const char* model, std::uint8_t mode, std::uint32_t total, std::uint8_t channels = 3) {
  Pair h{};
  for (int i = 0; i < 4; ++i)
    h[static_cast<std::size_t>(6 + i)] = static_cast<std::uint8_t>(total >> (8 * i));
  h[10] = 100;  // 100 samples per second
  h[12] = channels;
  for (std::size_t i = 0; model[i] != '\0'; ++i) h[64 + i] = static_cast<std::uint8_t>(model[i]);
  h[250] = mode;
  return h;
}

// A data pair of `count` full 16-bit records (form 0111): record r holds base + r, -(base + r), 7.
Pair DataPair(int base, int count) {
  Pair p{};
  std::size_t at = 2;
  for (int r = 0; r < count; ++r) {
    const int values[3] = {base + r, -(base + r), 7};
    p[at++] = 0x70;
    for (int v : values) {
      p[at++] = static_cast<std::uint8_t>(v & 0xFF);
      p[at++] = static_cast<std::uint8_t>((v >> 8) & 0xFF);
    }
  }
  p[255] = static_cast<std::uint8_t>(count);
  return p;
}

// The samples such a pair gives in the file, little-endian 16-bit.
Bytes Samples(int base, int count) {
  Bytes bytes;
  for (int r = 0; r < count; ++r) {
    for (int v : {base + r, -(base + r), 7}) {
      bytes.push_back(static_cast<std::uint8_t>(v & 0xFF));
      bytes.push_back(static_cast<std::uint8_t>((v >> 8) & 0xFF));
    }
  }
  return bytes;
}

Bytes ReadFile(const fs::path& path) {
  std::ifstream in(path, std::ios::binary);
  return Bytes(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

class EventDownloadTest : public ReplyRig {
 protected:
  void SetUp() override {
    ReplyRig::SetUp();
    folder_ = fs::temp_directory_path() / ("kr_download_" + std::to_string(::getpid()) + "_" +
                                           ::testing::UnitTest::GetInstance()->current_test_info()->name());
    fs::remove_all(folder_);
    fs::create_directories(folder_);
    rig_.context().download_prefix = folder_.string() + "/";
    rig_.context().viewing_prefix = folder_.string() + "/$tp";
    Locked([&] {
      rig_.channel().target_recorder = 1;
      rig_.channel().file_number = 17;
    });
  }
  void TearDown() override {
    ReplyRig::TearDown();
    fs::remove_all(folder_);
  }

  void Start() {
    SendCommand(cmd::kM1);
    ASSERT_TRUE(rig_.Deliver("*"));
    ASSERT_EQ(rig_.Wire(1), Bytes{kNak});
  }

  // Sends the pair as two blocks numbered 2n-1, 2n; the answers the PC gave.
  Bytes SendPair(int n, const Pair& pair) {
    Bytes answers;
    for (int half = 0; half < 2; ++half) {
      EXPECT_TRUE(rig_.Deliver(Block(2 * n - 1 + half, pair.data() + 128 * half)));
      // Every block is answered with one byte, except the last one the header-only mode reads.
      const bool answered = rig_.state() == LinkBlockTransfer;
      const Bytes answer = answered ? rig_.Wire(1) : rig_.WireNow();
      answers.insert(answers.end(), answer.begin(), answer.end());
    }
    return answers;
  }

  Bytes SendEot() {
    EXPECT_TRUE(rig_.Deliver(Bytes{kEot}));
    return rig_.Wire(1);
  }

  std::vector<std::string> FilesInFolder() {
    std::vector<std::string> names;
    for (const auto& entry : fs::directory_iterator(folder_))
      names.push_back(entry.path().filename().string());
    std::sort(names.begin(), names.end());
    return names;
  }

  fs::path folder_;
};

TEST_F(EventDownloadTest, EightBlocksAndTwoEotsGiveHeaderAndThreePairs) {
  Start();
  const Pair header = Header("SKR4100", 0, 30);
  EXPECT_EQ(SendPair(1, header), (Bytes{kAck, kAck}));
  for (int n = 2; n <= 4; ++n) EXPECT_EQ(SendPair(n, DataPair(100 * n, 10)), (Bytes{kAck, kAck}));
  EXPECT_EQ(SendEot(), Bytes{kNak});
  EXPECT_EQ(rig_.state(), LinkBlockTransfer);
  EXPECT_EQ(SendEot(), Bytes{kAck});
  EXPECT_EQ(rig_.state(), LinkReady);

  Bytes expected(header.begin(), header.end());
  for (int n = 2; n <= 4; ++n) expected = Cat(expected, Samples(100 * n, 10));
  EXPECT_EQ(FilesInFolder(), std::vector<std::string>{"017.skr"});
  EXPECT_EQ(ReadFile(folder_ / "017.skr"), expected);
  EXPECT_EQ(rig_.kr(1).downloaded_events, 1);
  EXPECT_EQ(download_.last_file_name(), (folder_ / "017.skr").string());
  EXPECT_TRUE(rig_.TraceHas("[Data block 8 read]"));
  EXPECT_TRUE(rig_.TraceHas("<[04]"));
}

TEST_F(EventDownloadTest, BadComplementGetsNakAndTheThirdBadBlockInARowCan) {
  Start();
  Pair header = Header("SKR4100", 0, 30);
  Bytes bad = Block(1, header.data());
  bad[2] = 0x00;  // not the complement of 1
  ASSERT_TRUE(rig_.Deliver(bad));
  EXPECT_EQ(rig_.Wire(1), Bytes{kNak});
  EXPECT_TRUE(rig_.TraceHas("<Syntax error reading from COM port>"));
  EXPECT_EQ(rig_.state(), LinkBlockTransfer);

  Bytes bad_sum = Block(1, header.data());
  bad_sum[131] ^= 0xFF;
  ASSERT_TRUE(rig_.Deliver(bad_sum));
  EXPECT_EQ(rig_.Wire(1), Bytes{kNak});
  EXPECT_TRUE(rig_.TraceHas("<Check sum error>"));

  ASSERT_TRUE(rig_.Deliver(bad));
  EXPECT_EQ(rig_.Wire(1), Bytes{kCan});
}

TEST_F(EventDownloadTest, BlockSentAgainAfterALostAckIsAcknowledgedAndWrittenOnce) {
  Start();
  const Pair header = Header("SKR4100", 0, 20);
  const Pair first = DataPair(300, 10);
  const Pair second = DataPair(-500, 10);
  EXPECT_EQ(SendPair(1, header), (Bytes{kAck, kAck}));
  const Bytes block3 = Block(3, first.data());
  ASSERT_TRUE(rig_.Deliver(block3));
  EXPECT_EQ(rig_.Wire(1), Bytes{kAck});
  // That ACK was lost on the line: the recorder sends block 3 again.
  ASSERT_TRUE(rig_.Deliver(block3));
  EXPECT_EQ(rig_.Wire(1), Bytes{kAck});
  EXPECT_TRUE(rig_.TraceHas("[Data block 3 received again]"));
  ASSERT_TRUE(rig_.Deliver(Block(4, first.data() + 128)));
  EXPECT_EQ(rig_.Wire(1), Bytes{kAck});
  EXPECT_EQ(SendPair(3, second), (Bytes{kAck, kAck}));
  EXPECT_EQ(SendEot(), Bytes{kNak});
  EXPECT_EQ(SendEot(), Bytes{kAck});
  EXPECT_EQ(rig_.state(), LinkReady);

  Bytes expected(header.begin(), header.end());
  expected = Cat(Cat(expected, Samples(300, 10)), Samples(-500, 10));
  EXPECT_EQ(ReadFile(folder_ / "017.skr"), expected);
}

TEST_F(EventDownloadTest, ARecorderThatKeepsRepeatingABlockIsCancelled) {
  Start();
  const Pair header = Header("SKR4100", 0, 20);
  const Bytes block1 = Block(1, header.data());
  ASSERT_TRUE(rig_.Deliver(block1));
  EXPECT_EQ(rig_.Wire(1), Bytes{kAck});
  // Damaged, the earlier block is just a bad block.
  Bytes damaged = block1;
  damaged[50] ^= 0x01;
  ASSERT_TRUE(rig_.Deliver(damaged));
  EXPECT_EQ(rig_.Wire(1), Bytes{kNak});
  EXPECT_TRUE(rig_.TraceHas("<Syntax error reading from COM port>"));
  ASSERT_TRUE(rig_.Deliver(block1));
  EXPECT_EQ(rig_.Wire(1), Bytes{kAck});
  ASSERT_TRUE(rig_.Deliver(block1));
  EXPECT_EQ(rig_.Wire(1), Bytes{kCan});
}

TEST_F(EventDownloadTest, ScatteredBadBlocksOnALongEventNeverCancelIt) {
  Start();
  constexpr int kPairs = 100;  // 200 blocks
  const Pair header = Header("SKR4100", 0, (kPairs - 1) * 10);
  Bytes expected(header.begin(), header.end());
  for (int n = 1; n <= kPairs; ++n) {
    const Pair pair = n == 1 ? header : DataPair(n * 11, 10);
    if (n > 1) expected = Cat(expected, Samples(n * 11, 10));
    for (int half = 0; half < 2; ++half) {
      const int number = 2 * n - 1 + half;
      Bytes block = Block(number, pair.data() + 128 * half);
      if (number % 5 == 0) {
        Bytes damaged = block;
        damaged[40] ^= 0x10;
        ASSERT_TRUE(rig_.Deliver(damaged));
        ASSERT_EQ(rig_.Wire(1), Bytes{kNak}) << number;
      }
      ASSERT_TRUE(rig_.Deliver(block));
      ASSERT_EQ(rig_.Wire(1), Bytes{kAck}) << number;
    }
  }
  EXPECT_EQ(SendEot(), Bytes{kNak});
  EXPECT_EQ(SendEot(), Bytes{kAck});
  EXPECT_EQ(rig_.state(), LinkReady);
  EXPECT_EQ(ReadFile(folder_ / "017.skr"), expected);
}

TEST_F(EventDownloadTest, TransferCutOffMidwayLeavesNoFileUnderTheFinalName) {
  {
    std::ofstream old(folder_ / "017.skr", std::ios::binary);
    old << "an older download";
  }
  Start();
  SendPair(1, Header("SKR4100", 0, 30));
  SendPair(2, DataPair(1, 10));
  rig_.link().CloseLink(0);  // the line drops
  EXPECT_EQ(FilesInFolder(), std::vector<std::string>{"017.skr"});
  const Bytes old = ReadFile(folder_ / "017.skr");
  EXPECT_EQ(std::string(old.begin(), old.end()), "an older download");
}

TEST_F(EventDownloadTest, IncompleteEventIsNotKeptAndCountsATransferRetry) {
  Start();
  SendPair(1, Header("SKR4100", 0, 31));  // announces one record more than follows
  SendPair(2, DataPair(1, 10));
  SendPair(3, DataPair(50, 20));
  SendEot();
  EXPECT_EQ(SendEot(), Bytes{kAck});
  EXPECT_EQ(rig_.state(), LinkReady);
  EXPECT_EQ(rig_.channel().transfer_retry_counter, 1);
  EXPECT_TRUE(FilesInFolder().empty());
  EXPECT_EQ(rig_.kr(1).downloaded_events, 0);
}

TEST_F(EventDownloadTest, ThirdIncompleteTransferMakesTheRecorderOffline) {
  for (int attempt = 1; attempt <= 3; ++attempt) {
    Locked([&] { rig_.link().SetLinkReady(0); });
    Start();
    SendPair(1, Header("SKR4100", 0, 31));
    SendPair(2, DataPair(1, 10));
    SendEot();
    SendEot();
  }
  EXPECT_EQ(rig_.state(), LinkOffline);
  EXPECT_TRUE(rig_.TraceHas("<Error writing to data file>"));
}

TEST_F(EventDownloadTest, DateTimeNameWithTheViewingPrefixFallsBackToTheNumericName) {
  rig_.context().date_time_file_names = true;
  rig_.context().download_prefix = rig_.context().viewing_prefix;
  Locked([&] {
    rig_.AddressRecorder(3);
    rig_.channel().file_number = 17;
    DirectoryEntry& entry = rig_.kr(3).directory[16];
    entry.has_date_time = true;
    entry.date_time = kr::DateTime{2024, 3, 7, 12, 30, 45, 0, 4};
  });
  Start();
  SendPair(1, Header("SKR4100", 0, 10));
  SendPair(2, DataPair(1, 10));
  SendEot();
  SendEot();
  EXPECT_EQ(FilesInFolder(), std::vector<std::string>{"$tp03017.skr"});
}

// A recorder's identification used as the root name ("K 1/../x:y") is made safe when the file is
// written; the name the download reports, and the one its naming rule gives for the same event and
// its partner, are the names on disk, so whoever opens them finds them.
TEST_F(EventDownloadTest, ReportedNameIsTheFileWrittenForUnsafeRecorderText) {
  rig_.context().download_prefix = folder_.string() + "/K 1..x:y ";
  Start();
  SendPair(1, Header("SKR4100", 0, 10));
  SendPair(2, DataPair(1, 10));
  SendEot();
  SendEot();
  ASSERT_EQ(FilesInFolder(), std::vector<std::string>{"K 1._x_y 017.skr"});
  const fs::path written = folder_ / "K 1._x_y 017.skr";
  EXPECT_EQ(download_.last_file_name(), written.string());
  EXPECT_EQ(download_.EventFileNameFor(1, 17, "SKR"), written.string());
  EXPECT_EQ(download_.EventFileNameFor(1, 517, "SKR"), (folder_ / "K 1._x_y 517.skr").string());
}

TEST_F(EventDownloadTest, DateTimeNameCarriesTheSanitisedStationName) {
  rig_.context().date_time_file_names = true;
  rig_.context().station_names[0] = "../Nord/Ost";
  Locked([&] {
    DirectoryEntry& entry = rig_.kr(1).directory[16];
    entry.has_date_time = true;
    entry.date_time = kr::DateTime{2024, 3, 7, 9, 5, 1, 0, 4};
  });
  Start();
  SendPair(1, Header("SKR4100", 0, 10));
  SendPair(2, DataPair(1, 10));
  SendEot();
  SendEot();
  EXPECT_EQ(FilesInFolder(), std::vector<std::string>{"__Nord_Ost-20240307090501.skr"});
}

TEST_F(EventDownloadTest, HeaderOnlyModeKeepsTheHeaderAndStopsWithoutAnswer) {
  rig_.context().download_purpose = DownloadPurpose::kHeaderOnly;
  Start();
  const Pair header = Header("XKR4100", 0, 10);
  EXPECT_EQ(SendPair(1, header), Bytes{kAck});  // no answer to the second block
  EXPECT_EQ(rig_.state(), LinkReady);
  EXPECT_EQ(rig_.channel().header_pair, header);
  EXPECT_TRUE(FilesInFolder().empty());
}

TEST_F(EventDownloadTest, SixChannelEventIsWrittenAsTwoFiles) {
  Start();
  const Pair header = Header("SKR4100", 0, 10, 6);
  Pair second = header;
  second[13] = 0x34;  // the second sensor's peak of its first channel
  second[14] = 0x12;
  SendPair(1, header);
  SendPair(2, second);
  SendPair(3, DataPair(5, 10));
  SendEot();
  EXPECT_EQ(SendEot(), Bytes{kAck});
  EXPECT_EQ(FilesInFolder(), (std::vector<std::string>{"017.skr", "017_2.skr"}));

  const Bytes first_file = ReadFile(folder_ / "017.skr");
  const Bytes second_file = ReadFile(folder_ / "017_2.skr");
  ASSERT_EQ(first_file.size(), 256u + 60u);
  ASSERT_EQ(second_file.size(), 256u + 60u);
  EXPECT_EQ(first_file[12], 3);
  EXPECT_EQ(second_file[12], 3);
  EXPECT_EQ(first_file[13], 0);
  EXPECT_EQ(second_file[13], 0x34);
  EXPECT_EQ(second_file[14], 0x12);
  EXPECT_EQ(Bytes(second_file.begin() + 256, second_file.end()), Samples(5, 10));
}

TEST_F(EventDownloadTest, PeriodicPairsAreWrittenUnchanged) {
  Start();
  const Pair header = Header("CKR4100", 1, 5);  // mode 1: periodic records, a vmx file
  Pair block{};
  for (std::size_t i = 0; i < 255; ++i) block[i] = static_cast<std::uint8_t>(i * 7);
  block[255] = 5;
  SendPair(1, header);
  SendPair(2, block);
  SendEot();
  SendEot();
  EXPECT_EQ(FilesInFolder(), std::vector<std::string>{"017.vmx"});
  Bytes expected(header.begin(), header.end());
  expected.insert(expected.end(), block.begin(), block.end());
  EXPECT_EQ(ReadFile(folder_ / "017.vmx"), expected);
}

TEST_F(EventDownloadTest, SecondFileFamilyChoosesByTheHeaderByteFour) {
  Locked([&] {
    rig_.kr(1).device_type = 22;  // a C recorder of the second file family
  });
  Start();
  Pair header = Header("CKR4100", 9, 0);
  header[4] = 2;  // a periodic mode
  SendPair(1, header);
  SendEot();
  SendEot();
  EXPECT_EQ(FilesInFolder(), std::vector<std::string>{"017.bkr"});
}

TEST_F(EventDownloadTest, BulkDataIsKeptOnlyWhenItsKilobytesArrived) {
  rig_.context().bulk_file_path = folder_ / "bulk.dat";
  rig_.kr(1).Mx1.value = 1;  // the recorder announced one kilobyte
  Pair pair{};
  for (std::size_t i = 0; i < pair.size(); ++i) pair[i] = static_cast<std::uint8_t>(i);

  auto run = [&](int pairs) {
    SendCommand(cmd::kMx2);
    EXPECT_TRUE(rig_.Deliver("*"));
    EXPECT_EQ(rig_.Wire(1), Bytes{kNak});
    for (int n = 1; n <= pairs; ++n) EXPECT_EQ(SendPair(n, pair), (Bytes{kAck, kAck}));
    EXPECT_EQ(SendEot(), Bytes{kNak});
  };
  run(3);  // 768 bytes
  EXPECT_EQ(rig_.state(), LinkRetry);
  EXPECT_TRUE(FilesInFolder().empty());

  run(4);  // 1024 bytes
  EXPECT_EQ(rig_.state(), LinkReady);
  Bytes expected;
  for (int n = 0; n < 4; ++n) expected.insert(expected.end(), pair.begin(), pair.end());
  EXPECT_EQ(ReadFile(folder_ / "bulk.dat"), expected);
}

TEST_F(EventDownloadTest, RecorderThatStopsAnsweringCorrectlyIsReportedOffline) {
  rig_.AddressRecorder(2);
  Bytes bad = DataReply("7");
  bad[2] = '8';
  for (int attempt = 1; attempt <= 3; ++attempt) {
    SendCommand(133);  // TE
    ASSERT_TRUE(rig_.Deliver(bad));
  }
  EXPECT_EQ(rig_.state(), LinkOffline);
  EXPECT_TRUE(rig_.TraceHas("<KR/HCU is offline, or communication error>"));
  EXPECT_EQ(rig_.data().hcu.recorder_offline_counters[1].total, 1u);
  EXPECT_FALSE(rig_.data().hcu.offline);
}

}  // namespace
}  // namespace tarvik::test
