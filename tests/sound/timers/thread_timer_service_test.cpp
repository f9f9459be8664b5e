#include "sound/thread_timer_service.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <atomic>
#include <memory>
#include <thread>
#include <vector>

#include "sound/held_hand_over.h"
#include "sound/owner_loop.h"

namespace fretlets {
namespace {

using std::chrono::milliseconds;

constexpr milliseconds kPatience(5000);

// Long enough for the timing thread to reach a due timer and block in the
// hand-over while this thread is not pumping.
void letTheTimingThreadHandOver() {
  std::this_thread::sleep_for(milliseconds(50));
}

// Each callback is labelled with its moment in ms from the start. A chain
// timed from one start takes its moment on the service's clock, not counted
// from the arming; a passed moment runs at once.
TEST(ThreadTimerService, RunsCallbacksOnTheOwnerThreadInDeadlineOrderNeverEarlyNeverCancelled) {
  OwnerLoop loop;
  ThreadTimerService timers(loop.handOver());
  std::vector<int> order;
  bool onOwnerThreadNeverEarly = true;
  const auto owner = std::this_thread::get_id();
  const auto start = timers.now();
  const auto labelled = [&](int ms) {
    return [&, ms] {
      order.push_back(ms);
      onOwnerThreadNeverEarly = onOwnerThreadNeverEarly && std::this_thread::get_id() == owner &&
                                timers.now() - start >= milliseconds(ms);
    };
  };
  std::vector<TimerHandle> handles;
  for (const int ms : {1, 90, 40, 70, 80}) {
    handles.push_back(timers.schedule(milliseconds(ms), labelled(ms)));
  }
  letTheTimingThreadHandOver();  // the first is now waiting at the owner's door
  timers.cancel(handles[0]);
  timers.cancel(handles[2]);
  std::this_thread::sleep_for(milliseconds(150));  // the owner is busy, not pumping
  timers.scheduleAt(start + milliseconds(400), labelled(400));
  timers.schedule(milliseconds(250), labelled(450));
  timers.scheduleAt(timers.now() - milliseconds(5), labelled(0));
  ASSERT_TRUE(loop.pumpUntil([&] { return order.size() == 6; }, kPatience));
  EXPECT_THAT(order, ::testing::ElementsAre(70, 80, 90, 0, 400, 450));
  EXPECT_TRUE(onOwnerThreadNeverEarly);
}

TEST(ThreadTimerService, StoppingWithAHandOverInFlightDoesNotDeadlock) {
  auto loop = std::make_unique<OwnerLoop>();
  bool fired = false;
  {
    ThreadTimerService timers(loop->handOver());
    timers.schedule(milliseconds(1), [&] { fired = true; });
    letTheTimingThreadHandOver();
    timers.stop();
    // The stale hand-over reaches the owner after the stop and is dropped.
    loop->pumpUntil([] { return false; }, milliseconds(20));
  }
  EXPECT_FALSE(fired);

  ThreadTimerService timers(loop->handOver());
  timers.schedule(milliseconds(1), [&] { fired = true; });
  letTheTimingThreadHandOver();
  loop->close();  // the owner gives up: the waiting timing thread is released
  timers.stop();
  EXPECT_FALSE(fired);
}

TEST(OwnerLoop, TimingThreadLeftRunningByStopReachesALoopThatHasGone) {
  HeldHandOver held;
  auto loop = std::make_unique<OwnerLoop>();
  bool fired = false;
  {
    ThreadTimerService timers(held.holding(loop->handOver()));
    timers.schedule(milliseconds(1), [&] { fired = true; });
    ASSERT_TRUE(held.arrived(kPatience));
  }  // stops with the hand-over in flight: the timing thread is left to finish alone
  loop.reset();
  held.letGo();
  EXPECT_TRUE(held.through(kPatience));
  EXPECT_FALSE(fired);
}

// A callback may stop its own service and close its own loop: nothing armed
// runs after it, nothing can be armed, and the loop runs nothing more.
TEST(ThreadTimerService, ACallbackMayStopItsOwnServiceAndCloseItsOwnLoop) {
  OwnerLoop loop;
  const auto handOver = loop.handOver();
  ThreadTimerService timers(handOver);
  int fired = 0;
  timers.schedule(milliseconds(1), [&] {
    ++fired;
    timers.stop();
    loop.close();
  });
  timers.schedule(milliseconds(2), [&] { ++fired; });
  EXPECT_FALSE(loop.pumpUntil([] { return false; }, kPatience));
  EXPECT_EQ(fired, 1);
  EXPECT_EQ(timers.schedule(milliseconds(1), [] {}), TimerHandle{});
  handOver([] { ADD_FAILURE() << "a closed loop runs nothing"; });
}

// A sound leaves from the timing thread at its deadline while the owner
// thread is busy, before its callback; a cancelled one never leaves.
TEST(ThreadTimerService, ASoundLeavesAtItsDeadlineWithoutTheOwnerAndACancelledOneNever) {
  OwnerLoop loop;
  ThreadTimerService timers(loop.handOver());
  std::atomic<std::int64_t> soundAtUs{-1};
  std::atomic<bool> cancelledSounded{false};
  bool callbackAfterSound = false;
  const auto due = timers.now() + milliseconds(30);
  timers.scheduleSoundAt(
      due, [&] { soundAtUs = timers.now().count(); }, [&] { callbackAfterSound = soundAtUs >= 0; });
  const TimerHandle cancelled = timers.scheduleSoundAt(
      due + milliseconds(20), [&] { cancelledSounded = true; }, [] {});
  timers.cancel(cancelled);
  std::this_thread::sleep_for(milliseconds(120));  // the owner is busy, not pumping
  ASSERT_GE(soundAtUs, due.count());
  EXPECT_LT(soundAtUs, (due + milliseconds(60)).count());
  EXPECT_FALSE(callbackAfterSound);  // not run yet: it waits for the owner
  ASSERT_TRUE(loop.pumpUntil([&] { return callbackAfterSound; }, kPatience));
  EXPECT_FALSE(cancelledSounded);
}

}  // namespace
}  // namespace fretlets
