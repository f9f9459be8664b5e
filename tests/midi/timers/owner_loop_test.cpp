#include "midi/owner_loop.h"

#include <gtest/gtest.h>

#include <future>
#include <memory>
#include <thread>

#include "midi/thread_timer_service.h"

namespace fretlets {
namespace {

using std::chrono::milliseconds;

constexpr milliseconds kPatience(5000);

TEST(OwnerLoop, TimingThreadLeftRunningByStopReachesALoopThatHasGone) {
  // Holds the timing thread between taking a due timer and reaching the loop.
  struct Gate {
    std::promise<void> entered;
    std::promise<void> go;
    std::promise<void> left;
  };
  auto gate = std::make_shared<Gate>();
  auto entered = gate->entered.get_future();
  const std::shared_future<void> go = gate->go.get_future().share();
  auto left = gate->left.get_future();

  auto loop = std::make_unique<OwnerLoop>();
  bool fired = false;
  {
    ThreadTimerService timers([gate, go, handOver = loop->handOver()](OwnerLoop::Task task) {
      gate->entered.set_value();
      go.wait();
      handOver(std::move(task));
      gate->left.set_value();
    });
    timers.schedule(milliseconds(1), [&] { fired = true; });
    ASSERT_EQ(entered.wait_for(kPatience), std::future_status::ready);
  }  // stops with the hand-over in flight: the timing thread is left to finish alone
  loop.reset();
  gate->go.set_value();
  EXPECT_EQ(left.wait_for(kPatience), std::future_status::ready);
  EXPECT_FALSE(fired);
}

TEST(OwnerLoop, TaskMayCloseItsOwnLoop) {
  OwnerLoop loop;
  const auto handOver = loop.handOver();
  bool ran = false;
  std::thread waiter([&] {
    handOver([&] {
      ran = true;
      loop.close();
    });
  });
  EXPECT_FALSE(loop.pumpUntil([] { return false; }, kPatience));
  waiter.join();
  EXPECT_TRUE(ran);
  handOver([] { ADD_FAILURE() << "a closed loop runs nothing"; });
}

}  // namespace
}  // namespace fretlets
