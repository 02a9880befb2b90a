#include "krsim/line_io.h"

#include <gtest/gtest.h>
#include <unistd.h>

namespace krsim {
namespace {

class Pipe {
 public:
  Pipe() { EXPECT_EQ(::pipe(fds_), 0); }
  ~Pipe() {
    ::close(fds_[0]);
    ::close(fds_[1]);
  }
  int writer() const { return fds_[1]; }
  std::string Drain() {
    std::string data(4096, '\0');
    const ssize_t n = ::read(fds_[0], data.data(), data.size());
    data.resize(n > 0 ? static_cast<std::size_t>(n) : 0);
    return data;
  }

 private:
  int fds_[2];
};

TEST(OutputQueue, PacesBytesAtTenBitsPerByte) {
  // At 9600 baud a byte takes 1/960 s: bytes start at 0, 1.04, 2.08 ... ms, so by 50 ms the bytes
  // 0..48 have started.
  Pipe pipe;
  OutputQueue queue;
  queue.set_pacing(9600);
  const TimePoint t0 = TimePoint{} + std::chrono::hours(1);
  queue.Push(std::string(100, 'x'), t0);
  ASSERT_TRUE(queue.Flush(pipe.writer(), t0));
  EXPECT_EQ(pipe.Drain().size(), 1u);
  ASSERT_TRUE(queue.Flush(pipe.writer(), t0 + Millis(50)));
  EXPECT_EQ(pipe.Drain().size(), 48u);
  ASSERT_TRUE(queue.NextRelease().has_value());
  EXPECT_GT(*queue.NextRelease(), t0 + Millis(50));
  EXPECT_LT(*queue.NextRelease(), t0 + Millis(52));
  EXPECT_EQ(queue.Size(), 51u);
}

TEST(OutputQueue, WithoutPacingEverythingGoesAtOnce) {
  Pipe pipe;
  OutputQueue queue;
  const TimePoint t0 = TimePoint{} + std::chrono::hours(1);
  queue.Push("*(22060)", t0);
  ASSERT_TRUE(queue.Flush(pipe.writer(), t0));
  EXPECT_EQ(pipe.Drain(), "*(22060)");
  EXPECT_FALSE(queue.NextRelease().has_value());
}

}  // namespace
}  // namespace krsim
