// Download from krsim: every event of one recorder, over loopback TCP and over a pseudo-terminal at
// 115200 baud with krsim pacing its output at the line rate. Two figures each:
//  - the block phase of the events (first block sent to the PC's last ACK, from krsim's transcript)
//    in blocks per second, beside a raw ping-pong of the same sizes (1 byte out, 132 bytes back) on
//    a loopback socket pair, or beside the line's stop-and-wait rate (10 bits per byte, 132 + 1
//    bytes per block);
//  - the whole connection from the log-in to the log-out, in seconds and engine ticks: every command
//    of the lists around the transfer costs at least one polling period by design.
// Measured, never asserted. Run: build/bench/kr_download_benchmarks

#include <arpa/inet.h>
#include <benchmark/benchmark.h>
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <stdlib.h>
#include <sys/socket.h>
#include <unistd.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <mutex>
#include <regex>
#include <sstream>
#include <thread>

#include "krsim/sim_process.h"
#include "tarvik/engine/headless_host.h"
#include "tarvik/engine/link_adapter.h"
#include "tarvik/engine/operation_engine.h"
#include "tarvik/resources/tarvik_strings.h"

namespace {

namespace fs = std::filesystem;
using namespace tarvik;

class QuietUi final : public UiPort {
 public:
  MessageAnswer ShowMessage(int id, const std::string&, MessageIcon, MessageButtons) override {
    ++failures;
    last_id = id;
    return MessageAnswer::kYes;
  }
  std::optional<std::string> AskPassword(const std::string&, const std::string&) override { return "TORVE"; }
  std::optional<fs::path> ChooseSaveFile(const std::string&, const fs::path& directory,
                                         const std::string& initial, const std::string&) override {
    return directory / initial;
  }
  int failures = 0;
  int last_id = 0;
};

fs::path MakeTempFolder() {
  std::string pattern = (fs::temp_directory_path() / "kr-bench-XXXXXX").string();
  return ::mkdtemp(pattern.data());
}

// The block phases krsim noted in its transcript: blocks and seconds, summed over the events.
struct BlockPhase {
  long blocks = 0;
  double seconds = 0;
};
BlockPhase ReadBlockPhases(const fs::path& log) {
  std::ifstream file(log);
  std::stringstream text;
  text << file.rdbuf();
  const std::string s = text.str();
  static const std::regex kPhase("block phase: ([0-9]+) blocks in ([0-9]+) us");
  BlockPhase phase;
  for (auto it = std::sregex_iterator(s.begin(), s.end(), kPhase); it != std::sregex_iterator(); ++it) {
    phase.blocks += std::stol((*it)[1]);
    phase.seconds += std::stod((*it)[2]) / 1e6;
  }
  return phase;
}

// The whole connection: log-in, the transfer of all events of recorder 1, log-out.
struct Connection {
  bool ok = false;
  double seconds = 0;
  long long ticks = 0;
};

Connection DownloadAll(const fs::path& root, const ConnectionRecord& record, const std::string& pty,
                       bool direct) {
  TarvikSettings settings = DefaultSettings(root);
  fs::create_directories(settings.data_path);
  settings.com = 1;
  settings.baud_rate = 115200;
  kr::SystemClock clock;
  kr::StringTable strings = MakeTarvikStringTable();
  QuietUi ui;
  LinkAdapter stack(clock);
  stack.link().SetSerialDeviceResolver([&pty](std::uint16_t) { return pty; });
  OperationEngine engine({stack, stack.data(), stack.context(), settings, ui, strings, clock});
  HeadlessHost host(stack.link(), engine, settings.com_polling_time);
  const long long limit = 600000 / settings.com_polling_time;
  host.RunUntilIdle(limit);
  const long long ticks_at_start = host.ticks();
  const auto start = std::chrono::steady_clock::now();
  if (direct) {
    engine.RequestDirectLink();
  } else {
    engine.OpenDocument("bench.krc", record);
  }
  host.RunUntilIdle(limit);
  Connection connection;
  if (!engine.state().logged_in) return connection;
  engine.RequestTransferAll();
  host.RunUntilIdle(limit);
  engine.RequestLogout();
  host.RunUntil([&] { return engine.idle() && !engine.link_open(); }, limit);
  connection.seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
  connection.ticks = host.ticks() - ticks_at_start;
  connection.ok = ui.failures == 0;
  return connection;
}

// Round trips of 1 byte out and 132 bytes back over a loopback TCP connection; the seconds taken.
double RawPingPong(long round_trips) {
  const int listener = ::socket(AF_INET, SOCK_STREAM, 0);
  sockaddr_in address{};
  address.sin_family = AF_INET;
  address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  socklen_t length = sizeof address;
  ::bind(listener, reinterpret_cast<sockaddr*>(&address), sizeof address);
  ::listen(listener, 1);
  ::getsockname(listener, reinterpret_cast<sockaddr*>(&address), &length);
  const int client = ::socket(AF_INET, SOCK_STREAM, 0);
  ::connect(client, reinterpret_cast<sockaddr*>(&address), sizeof address);
  const int server = ::accept(listener, nullptr, nullptr);
  const int one = 1;
  ::setsockopt(client, IPPROTO_TCP, TCP_NODELAY, &one, sizeof one);
  ::setsockopt(server, IPPROTO_TCP, TCP_NODELAY, &one, sizeof one);
  std::thread peer([server, round_trips] {
    char request = 0;
    char block[132] = {};
    for (long i = 0; i < round_trips; ++i) {
      if (::read(server, &request, 1) != 1) break;
      if (::write(server, block, sizeof block) != static_cast<ssize_t>(sizeof block)) break;
    }
  });
  const auto start = std::chrono::steady_clock::now();
  char block[132];
  for (long i = 0; i < round_trips; ++i) {
    const char ack = 6;
    if (::write(client, &ack, 1) != 1) break;
    size_t got = 0;
    while (got < sizeof block) {
      const ssize_t n = ::read(client, block + got, sizeof block - got);
      if (n <= 0) break;
      got += static_cast<size_t>(n);
    }
  }
  const double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
  peer.join();
  ::close(client);
  ::close(server);
  ::close(listener);
  return seconds;
}

void ReportConnection(benchmark::State& state, const Connection& total, int runs) {
  state.counters["connection_s"] = total.seconds / runs;
  state.counters["connection_ticks"] = static_cast<double>(total.ticks) / runs;
}

void BM_TcpDownloadVersusRawPingPong(benchmark::State& state) {
  BlockPhase phase;
  Connection total;
  double raw_seconds = 0;
  int runs = 0;
  for (auto _ : state) {
    const fs::path folder = MakeTempFolder();
    const fs::path log = folder / "krsim.log";
    BlockPhase run_phase;
    {
      krsim_test::SimProcess sim({"--tcp", "0", "--no-stdin", "--unit", "recorder", "--log", log.string()});
      const std::string port = sim.WaitFor("PORT ", krsim_test::In(krsim_test::kGenerous));
      if (port.empty()) {
        state.SkipWithError("krsim did not start");
        return;
      }
      ConnectionRecord record;
      record.link_kind = LinkKind::kTcp;
      record.ip_address = "127.0.0.1";
      record.ip_port = std::stoi(port);
      const Connection connection = DownloadAll(folder / "root", record, "", false);
      if (!connection.ok) {
        state.SkipWithError("the download failed");
        return;
      }
      total.seconds += connection.seconds;
      total.ticks += connection.ticks;
      sim.Stop();
      run_phase = ReadBlockPhases(log);
    }
    ++runs;
    phase.blocks += run_phase.blocks;
    phase.seconds += run_phase.seconds;
    raw_seconds += RawPingPong(run_phase.blocks);
    std::error_code ec;
    fs::remove_all(folder, ec);
  }
  const double block_rate = static_cast<double>(phase.blocks) / phase.seconds;
  const double raw_rate = static_cast<double>(phase.blocks) / raw_seconds;
  state.counters["blocks"] = static_cast<double>(phase.blocks);
  state.counters["block_phase_blocks_per_s"] = block_rate;
  state.counters["raw_round_trips_per_s"] = raw_rate;
  state.counters["ratio"] = block_rate / raw_rate;
  ReportConnection(state, total, runs);
}
BENCHMARK(BM_TcpDownloadVersusRawPingPong)->Iterations(2)->Unit(benchmark::kMillisecond)->UseRealTime();

void BM_PtyDownloadAt115200VersusLineRate(benchmark::State& state) {
  BlockPhase phase;
  Connection total;
  int runs = 0;
  for (auto _ : state) {
    const fs::path folder = MakeTempFolder();
    const fs::path log = folder / "krsim.log";
    {
      krsim_test::SimProcess sim(
          {"--pty", "--baud", "115200", "--pace", "--no-stdin", "--unit", "recorder", "--log", log.string()});
      const std::string pty = sim.WaitFor("PTY ", krsim_test::In(krsim_test::kGenerous));
      if (pty.empty()) {
        state.SkipWithError("krsim did not start");
        return;
      }
      const Connection connection = DownloadAll(folder / "root", ConnectionRecord{}, pty, true);
      if (!connection.ok) {
        state.SkipWithError("the download failed");
        return;
      }
      total.seconds += connection.seconds;
      total.ticks += connection.ticks;
      sim.Stop();
      const BlockPhase run_phase = ReadBlockPhases(log);
      phase.blocks += run_phase.blocks;
      phase.seconds += run_phase.seconds;
    }
    ++runs;
    std::error_code ec;
    fs::remove_all(folder, ec);
  }
  // 10 bits per byte; a block is 132 bytes from the recorder and 1 byte (ACK) back.
  const double line_rate = 115200.0 / 10.0 / 133.0;
  const double block_rate = static_cast<double>(phase.blocks) / phase.seconds;
  state.counters["blocks"] = static_cast<double>(phase.blocks);
  state.counters["block_phase_blocks_per_s"] = block_rate;
  state.counters["line_rate_blocks_per_s"] = line_rate;
  state.counters["ratio"] = block_rate / line_rate;
  ReportConnection(state, total, runs);
}
BENCHMARK(BM_PtyDownloadAt115200VersusLineRate)->Iterations(1)->Unit(benchmark::kMillisecond)->UseRealTime();

}  // namespace

BENCHMARK_MAIN();
