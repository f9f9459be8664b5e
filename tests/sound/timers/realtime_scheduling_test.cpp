#include <gtest/gtest.h>
#include <sched.h>

#include <string>
#include <thread>

#include "sound/realtime_scheduling.h"

// RealtimeKit lends round-robin scheduling with SCHED_RESET_ON_FORK set; the
// thread is real-time all the same, and `fretlets --version` must say so.
TEST(RealtimeScheduling, ReadsSchedulingLentWithResetOnFork) {
  std::string described;
  bool lent = false;
  std::thread([&] {
    sched_param param{};
    param.sched_priority = 1;
    lent = sched_setscheduler(0, SCHED_RR | SCHED_RESET_ON_FORK, &param) == 0;
    described = fretlets::describeScheduling();
  }).join();
  if (!lent) {
    GTEST_SKIP() << "no right to real-time scheduling here";
  }
  EXPECT_EQ(described, "real-time (SCHED_RR, priority 1)");
}
