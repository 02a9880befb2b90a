// The krsim program as the PC meets it: over TCP on loopback and on pseudo-terminals, with the
// process started and stopped by the test.
#include <gtest/gtest.h>
#include <signal.h>

#include <filesystem>
#include <fstream>

#include "sim_process.h"
#include "table_decoder.h"

namespace krsim_test {
namespace {

namespace fs = std::filesystem;

fs::path TempFolder(const std::string& name) {
  const fs::path folder =
      fs::path(::testing::TempDir()) / ("krsim_" + name + "_" + std::to_string(::getpid()));
  fs::remove_all(folder);
  fs::create_directories(folder);
  return folder;
}

std::vector<std::uint8_t> ReadFile(const fs::path& path) {
  std::ifstream in(path, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

std::string Printable(const std::string& bytes) {
  std::string text;
  for (unsigned char c : bytes)
    text += (c >= 32 && c < 127) ? std::string(1, static_cast<char>(c)) : "[" + std::to_string(c) + "]";
  return text;
}

// The PC's side of a conversation: requests with their checksums, replies checked.
class Pc {
 public:
  explicit Pc(Line& line) : line_(line) {}

  std::string Ask(const std::string& body, bool data) {
    line_.Send(RequestFrame(body));
    return line_.Reply(data, In(kGenerous));
  }
  std::string Read(const std::string& body) {
    const std::string reply = Ask(body, true);
    std::string payload;
    EXPECT_TRUE(OpenDataReply(reply, payload)) << body << " answered " << Printable(reply);
    return payload;
  }
  void LogIn() {
    line_.Send("\x18)");
    ASSERT_EQ(line_.Reply(false, In(kGenerous)), "?");
    ASSERT_EQ(Ask("LL", true), "E");
    ASSERT_EQ(Ask("LiTORVE", false), "*");
    ASSERT_EQ(Read("LL"), "2");
  }

  // Fetches event `file` block by block: NAK, then ACK per good block, NAK per bad one; NAK the
  // first EOT and ACK the second. The data of all blocks, and the number of bad blocks seen.
  std::vector<std::uint8_t> Download(int file, int& bad_blocks) {
    bad_blocks = 0;
    std::vector<std::uint8_t> data;
    EXPECT_EQ(Ask("M1" + std::to_string(file), false), "*");
    line_.Send("\x15");
    for (int expected = 1;;) {
      const std::string block = line_.Block(In(kGenerous));
      if (block == "\x04") break;
      if (block.size() != 132) {
        ADD_FAILURE() << "block " << expected << ": " << block.size() << " bytes";
        return data;
      }
      unsigned sum = 0;
      for (int i = 3; i < 131; ++i) sum += static_cast<unsigned char>(block[i]);
      const bool good = static_cast<unsigned char>(block[1]) == expected % 256 &&
                        static_cast<unsigned char>(block[2]) == 255 - expected % 256 &&
                        static_cast<unsigned char>(block[131]) == sum % 256;
      if (!good) {
        ++bad_blocks;
        line_.Send("\x15");
        continue;
      }
      data.insert(data.end(), block.begin() + 3, block.begin() + 131);
      ++expected;
      line_.Send("\x06");
    }
    line_.Send("\x15");
    EXPECT_EQ(line_.Block(In(kGenerous)), "\x04");
    line_.Send("\x06");
    return data;
  }

 private:
  Line& line_;
};

// The file the PC writes from the downloaded data: the header, then per 256-byte pair the decoded
// samples (waveforms) or the pair as it is (periodic records). The kind comes from the header:
// model letter at 64, recording mode at 4 (X layout) or 250.
std::vector<std::uint8_t> Reassemble(const std::vector<std::uint8_t>& data, std::string& extension) {
  std::vector<std::uint8_t> file(data.begin(), data.begin() + std::min<std::size_t>(256, data.size()));
  if (data.size() < 256) return file;
  const char model = static_cast<char>(data[64]);
  const int mode = model == 'X' ? data[4] : data[250];
  const bool waveform = mode == 0 || mode == 5 || model == 'S';
  extension = model == 'X' ? (waveform ? "xkr" : "bkr") : model == 'C' ? (waveform ? "vkr" : "vmx") : "skr";
  const bool xkr = extension == "xkr";
  for (std::size_t at = 256; at + 256 <= data.size(); at += 256) {
    const std::span<const std::uint8_t> pair(&data[at], 256);
    if (!waveform) {
      file.insert(file.end(), pair.begin(), pair.end());
      continue;
    }
    std::string problem;
    for (const Triple& t : DecodePair(pair, xkr, problem)) {
      for (std::int32_t sample : t) {
        for (int b = 0; b < (xkr ? 3 : 2); ++b)
          file.push_back(static_cast<std::uint8_t>((sample >> (8 * b)) & 0xFF));
      }
    }
    EXPECT_EQ(problem, "");
  }
  return file;
}

std::vector<std::string> Split(const std::string& text) {
  std::vector<std::string> items;
  std::size_t start = 0;
  for (std::size_t comma; (comma = text.find(',', start)) != std::string::npos; start = comma + 1) {
    items.push_back(text.substr(start, comma - start));
  }
  items.push_back(text.substr(start));
  return items;
}

TEST(KrsimProcess, DownloadsOverTcpEqualTheExportedFiles) {
  const fs::path folder = TempFolder("download");
  SimProcess exporter({"--export-events", (folder / "export").string()});
  EXPECT_EQ(exporter.WaitFor("EXPORTED ", In(kGenerous)), "6 files to " + (folder / "export").string());
  ASSERT_EQ(exporter.Wait(In(kGenerous)), 0);

  SimProcess sim({"--tcp", "0", "--max-run-time", "120", "--log", (folder / "transcript.log").string()});
  const std::string port = sim.WaitFor("PORT ", In(kGenerous));
  ASSERT_FALSE(port.empty());
  Line line(Line::ConnectTcp(std::stoi(port)));
  Pc pc(line);
  pc.LogIn();
  ASSERT_EQ(pc.Read("NN"), "HCU4100");
  ASSERT_EQ(pc.Read("NC"), "2");
  int downloaded = 0;
  for (int recorder = 1; recorder <= 2; ++recorder) {
    ASSERT_EQ(pc.Ask("Na" + std::to_string(recorder), false), "*");
    const int events = std::stoi(pc.Read("MN"));
    ASSERT_EQ(events, 3);
    for (int file = 3; file >= 1; --file) {
      const std::string entry = pc.Read("MD" + std::to_string(file));
      const std::vector<std::string> fields = Split(entry.substr(1));
      ASSERT_EQ(fields.size(), 6u) << entry;
      int bad = 0;
      const std::vector<std::uint8_t> data = pc.Download(file, bad);
      EXPECT_EQ(bad, 0);
      std::string extension;
      const std::vector<std::uint8_t> written = Reassemble(data, extension);
      char name[16];
      std::snprintf(name, sizeof name, "%02d%03d.%s", recorder, file, extension.c_str());
      const fs::path exported = folder / "export" / name;
      ASSERT_TRUE(fs::exists(exported)) << name;
      EXPECT_EQ(written, ReadFile(exported)) << name << " differs from the exported file";
      // The directory entry's sample count is the header's.
      const std::uint32_t count =
          extension == "xkr" || extension == "bkr"
              ? data[8] | data[9] << 8 | data[10] << 16 | static_cast<std::uint32_t>(data[11]) << 24
              : data[6] | data[7] << 8 | data[8] << 16 | static_cast<std::uint32_t>(data[9]) << 24;
      EXPECT_EQ(fields[5], std::to_string(count)) << name;
      ++downloaded;
    }
  }
  EXPECT_EQ(downloaded, 6);
  ASSERT_EQ(pc.Ask("Na0", false), "*");
  ASSERT_EQ(pc.Ask("Lo", false), "*");
  EXPECT_EQ(sim.Stop(), 0);
  const auto& lines = sim.lines();
  EXPECT_NE(std::find(lines.begin(), lines.end(), "SUMMARY transfers completed: 6"), lines.end());
  const auto log = ReadFile(folder / "transcript.log");
  const std::string transcript(log.begin(), log.end());
  EXPECT_NE(transcript.find(" RX (MD3"), std::string::npos);
  EXPECT_NE(transcript.find(" TX block 1 of "), std::string::npos);
}

const std::string* FindLine(const std::vector<std::string>& lines, const std::string& prefix) {
  const auto it =
      std::find_if(lines.begin(), lines.end(), [&](const std::string& l) { return l.rfind(prefix, 0) == 0; });
  return it == lines.end() ? nullptr : &*it;
}

TEST(KrsimProcess, CorruptedBlocksAndRefusalsAreCountedAndTheDownloadRecovers) {
  SimProcess sim({"--tcp", "0", "--max-run-time", "120", "--corrupt-block-every", "4", "--refuse", "MB"});
  const std::string port = sim.WaitFor("PORT ", In(kGenerous));
  ASSERT_FALSE(port.empty());
  Line line(Line::ConnectTcp(std::stoi(port)));
  Pc pc(line);
  pc.LogIn();
  ASSERT_EQ(pc.Ask("Na1", false), "*");
  EXPECT_EQ(pc.Ask("MB", true), "N");
  int bad = 0;
  const auto data = pc.Download(1, bad);
  // Sends 4, 8, 12, ... are corrupt; each is followed by a good repeat.
  const int sent = static_cast<int>(data.size() / 128) + bad;
  EXPECT_EQ(bad, sent / 4);
  EXPECT_GE(bad, 2);
  EXPECT_EQ(sim.Stop(), 0);
  const std::string* refused = FindLine(sim.lines(), "SUMMARY fault refused commands: ");
  const std::string* corrupted = FindLine(sim.lines(), "SUMMARY fault corrupted blocks: ");
  ASSERT_TRUE(refused && corrupted);
  EXPECT_EQ(*refused, "SUMMARY fault refused commands: 1");
  EXPECT_EQ(*corrupted, "SUMMARY fault corrupted blocks: " + std::to_string(bad));
}

TEST(KrsimProcess, TheConnectionBreaksAfterTheConfiguredBlocks) {
  SimProcess sim({"--tcp", "0", "--max-run-time", "120", "--break-after-blocks", "3"});
  const std::string port = sim.WaitFor("PORT ", In(kGenerous));
  ASSERT_FALSE(port.empty());
  Line line(Line::ConnectTcp(std::stoi(port)));
  Pc pc(line);
  pc.LogIn();
  ASSERT_EQ(pc.Ask("Na1", false), "*");
  ASSERT_EQ(pc.Ask("M11", false), "*");
  line.Send("\x15");
  for (int i = 0; i < 3; ++i) {
    ASSERT_EQ(line.Block(In(kGenerous)).size(), 132u) << "block " << i + 1;
    line.Send("\x06");
  }
  EXPECT_TRUE(line.Closed(In(kGenerous)));
  EXPECT_EQ(sim.Stop(), 0);
  const std::string* broken = FindLine(sim.lines(), "SUMMARY fault broken connections: ");
  ASSERT_TRUE(broken);
  EXPECT_EQ(*broken, "SUMMARY fault broken connections: 1");
}

TEST(KrsimProcess, TheModemAnswersTheAtDialogueAndThenTheUnit) {
  SimProcess sim({"--modem", "--connect-delay-ms", "300", "--guard-ms", "0", "--busy", "555-0100",
                  "--max-run-time", "120"});
  const std::string path = sim.WaitFor("PTY ", In(kGenerous));
  ASSERT_FALSE(path.empty());
  Line line(Line::OpenSerial(path, 9600));
  line.Send("AT&F\r");
  EXPECT_EQ(line.Until("OK\r\n", In(kGenerous)), "AT&F\r\r\nOK\r\n");
  line.Send("ATE0\r");
  EXPECT_EQ(line.Until("OK\r\n", In(kGenerous)), "ATE0\r\r\nOK\r\n");
  line.Send("ATQ7\r");
  EXPECT_EQ(line.Until("ERROR\r\n", In(kGenerous)), "\r\nERROR\r\n");
  line.Send("ATDT5550100\r");
  EXPECT_EQ(line.Until("BUSY\r\n", In(kGenerous)), "\r\nBUSY\r\n");
  line.Send("ATDT0123456\r");
  EXPECT_EQ(line.Until("CONNECT 9600\r\n", In(kGenerous)), "\r\nCONNECT 9600\r\n");
  Pc pc(line);
  pc.LogIn();
  EXPECT_EQ(pc.Read("NN"), "HCU4100");
  line.Send("+++");
  EXPECT_EQ(line.Until("OK\r\n", In(kGenerous)), "\r\nOK\r\n");
  line.Send("ATH\r");
  EXPECT_EQ(line.Until("OK\r\n", In(kGenerous)), "\r\nOK\r\n");
  line.Send("ATDT0123456\r");
  EXPECT_NE(line.Until("CONNECT 9600\r\n", In(kGenerous)).find("CONNECT"), std::string::npos);
  line.Send(RequestFrame("NN"));
  EXPECT_EQ(line.Reply(true, In(kGenerous)), "E") << "a new call starts logged out";
  EXPECT_EQ(sim.Stop(), 0);
}

TEST(KrsimProcess, APseudoTerminalLineAnswersOnlyAtItsRate) {
  const fs::path folder = TempFolder("rate");
  const fs::path link = folder / "ttyKR";
  SimProcess sim({"--pty", "--baud", "19200", "--link", link.string(), "--log", (folder / "t.log").string(),
                  "--unit", "recorder", "--max-run-time", "120"});
  ASSERT_FALSE(sim.WaitFor("PTY ", In(kGenerous)).empty());
  Line line(Line::OpenSerial(link.string(), 9600));
  line.Send("\x18)");
  // The transcript notes the bytes it ignored; waiting for that note is the condition.
  const auto noted = [&] {
    const auto log = ReadFile(folder / "t.log");
    return std::string(log.begin(), log.end()).find("ignored 2 bytes sent at 9600 baud") != std::string::npos;
  };
  const Deadline deadline = In(kGenerous);
  while (!noted() && std::chrono::steady_clock::now() < deadline)
    line.Closed(In(std::chrono::milliseconds(20)));
  ASSERT_TRUE(noted());
  ASSERT_TRUE(line.SetBaud(19200));
  line.Send("\x18)");
  EXPECT_EQ(line.Reply(false, In(kGenerous)), "?");
  EXPECT_EQ(sim.Stop(), 0);
  EXPECT_FALSE(fs::exists(fs::symlink_status(link))) << "the link goes with the simulator";
}

TEST(KrsimProcess, NewEventsOnSignalAndControlLineAndABoundedRunTime) {
  SimProcess sim({"--tcp", "0", "--max-run-time", "120", "--trigger-recorder", "2"});
  ASSERT_FALSE(sim.WaitFor("PORT ", In(kGenerous)).empty());
  sim.Signal(SIGUSR1);
  EXPECT_EQ(sim.WaitFor("EVENT ", In(kGenerous)), "recorder 2: event 4 (xkr) recorded");
  sim.Control("trigger 1");
  EXPECT_EQ(sim.WaitFor("EVENT ", In(kGenerous)), "recorder 1: event 4 (vkr) recorded");
  sim.Control("status");
  EXPECT_EQ(sim.WaitFor("STATUS ", In(kGenerous)), "logged_in=0 selected=0 kr1=4/4 kr2=4/4");
  EXPECT_EQ(sim.Stop(), 0);

  SimProcess short_run({"--tcp", "0", "--max-run-time", "0.3"});
  EXPECT_EQ(short_run.Wait(In(kGenerous)), 0) << "stops by itself";
  const auto& lines = short_run.lines();
  EXPECT_NE(std::find(lines.begin(), lines.end(), "SUMMARY connections: 0"), lines.end());
}

TEST(KrsimProcess, HelpAndBadArguments) {
  SimProcess help({"--help"});
  EXPECT_EQ(help.Wait(In(kGenerous)), 0);
  EXPECT_FALSE(help.lines().empty());
  SimProcess bad({"--tcp", "nope"});
  EXPECT_EQ(bad.Wait(In(kGenerous)), 2);
}

}  // namespace
}  // namespace krsim_test
