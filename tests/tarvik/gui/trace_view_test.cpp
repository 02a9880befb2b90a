// The trace view against a thread that floods the ring as the serial reader does: the widget is
// only ever refreshed on the main thread, keeps up with the newest line while it follows, and stays
// where the operator scrolled back to.
#include <gtest/gtest.h>

#include <QScrollBar>
#include <atomic>
#include <mutex>
#include <thread>

#include "tarvik/gui/tarvik_view.h"
#include "window_fixture.h"

namespace tarvik_gui_test {
namespace {

constexpr int kLines = 20000;

// Writes kLines trace lines from another thread, under the channel lock, as the reader does.
void Flood(tarvik::LinkLayer& link, std::mutex& mutex, const std::string& tag) {
  for (int i = 0; i < kLines; ++i) {
    std::lock_guard lock(mutex);
    link.TraceLine(tag + std::to_string(i), 0);
  }
}

class TraceViewFlood : public ::testing::Test {
 protected:
  void SetUp() override {
    session_ = std::make_unique<WindowSession>(temp_.path() / "root", "", std::vector<std::string>{});
    ASSERT_TRUE(session_->started());
    view_ = session_->frame().view();
    tarvik::LinkLayer& link = view_->stack().link();
    ASSERT_TRUE(link.CreateChannel(1, 9600, 0, nullptr, 0));
    std::lock_guard lock(view_->stack().ModelMutex());
    link.SetTraceViewVisible(true, 0);
  }

  // Floods from a thread while the event loop runs; true when the view showed `last` in the end.
  bool FloodAndWait(const std::string& tag) {
    std::atomic<bool> done = false;
    std::thread reader([&] {
      Flood(view_->stack().link(), view_->stack().ModelMutex(), tag);
      done = true;
    });
    const bool finished = WaitUntil([&] { return done.load(); }, 60000);
    reader.join();
    const QString last = QString::fromStdString(tag + std::to_string(kLines - 1));
    return finished && WaitUntil([&] { return !view_->lines().isEmpty() && view_->lines().back() == last; });
  }

  TempFolder temp_;
  std::unique_ptr<WindowSession> session_;
  tarvik::CTarvikView* view_ = nullptr;
};

TEST_F(TraceViewFlood, FollowsTheNewestLineAndRefreshesOnTheMainThreadOnly) {
  ASSERT_TRUE(FloodAndWait("reader line "));
  EXPECT_EQ(view_->refreshes_off_main_thread(), 0);
  // Requests are merged while one is pending: far fewer refreshes than lines.
  EXPECT_LT(view_->refreshes(), kLines / 4);
  // The ring keeps its last 1000 lines, and the view shows them all, scrolled to the end.
  EXPECT_EQ(view_->lines().size(), 1000);
  EXPECT_EQ(view_->lines().front().toStdString(), "reader line " + std::to_string(kLines - 1000));
  EXPECT_TRUE(view_->following());
  EXPECT_GT(view_->verticalScrollBar()->maximum(), 0);
}

TEST_F(TraceViewFlood, StaysWhereTheOperatorScrolledBack) {
  ASSERT_TRUE(FloodAndWait("first "));
  view_->verticalScrollBar()->setValue(10);
  ASSERT_TRUE(FloodAndWait("second "));
  EXPECT_EQ(view_->verticalScrollBar()->value(), 10);
  EXPECT_FALSE(view_->following());
  // Back at the end, it follows again.
  view_->verticalScrollBar()->setValue(view_->verticalScrollBar()->maximum());
  ASSERT_TRUE(FloodAndWait("third "));
  EXPECT_TRUE(view_->following());
}

}  // namespace
}  // namespace tarvik_gui_test
