#include "midi/manual_timer_service.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace fretlets {
namespace {

using std::chrono::microseconds;
using std::chrono::milliseconds;
using ::testing::ElementsAre;

TEST(ManualTimerService, FiresInDeadlineOrderIncludingTimersArmedOnTheWay) {
  ManualTimerService timers;
  std::vector<std::string> fired;
  auto note = [&](std::string what) {
    fired.push_back(what + "@" + std::to_string(timers.now().count() / 1000));
  };
  timers.schedule(milliseconds(30), [&] { note("c"); });
  timers.schedule(milliseconds(10), [&] {
    note("a");
    timers.schedule(milliseconds(5), [&] { note("a+5"); });
    timers.schedule(milliseconds(0), [&] { note("a+0"); });
  });
  timers.schedule(milliseconds(20), [&] { note("b1"); });
  timers.schedule(milliseconds(20), [&] { note("b2"); });
  timers.schedule(milliseconds(31), [&] { note("late"); });

  timers.advance(milliseconds(30));
  EXPECT_THAT(fired, ElementsAre("a@10", "a+0@10", "a+5@15", "b1@20", "b2@20", "c@30"));
  EXPECT_EQ(timers.now(), microseconds(30'000));
  EXPECT_EQ(timers.nextDeadline(), microseconds(31'000));
}

TEST(ManualTimerService, CancelledTimersNeverFire) {
  ManualTimerService timers;
  int fired = 0;
  const TimerHandle first = timers.schedule(milliseconds(10), [&] { ++fired; });
  const TimerHandle second = timers.schedule(milliseconds(10), [&] { fired += 10; });
  EXPECT_NE(first, second);
  timers.cancel(first);
  timers.cancel(first);
  timers.advance(milliseconds(10));
  timers.cancel(second);  // already fired: nothing happens
  EXPECT_EQ(fired, 10);
  EXPECT_FALSE(timers.nextDeadline());
}

}  // namespace
}  // namespace fretlets
