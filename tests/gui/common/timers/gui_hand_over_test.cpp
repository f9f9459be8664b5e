#include "gui/common/gui_hand_over.h"

#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QEventLoop>
#include <algorithm>
#include <random>
#include <thread>
#include <vector>

#include "sound/held_hand_over.h"
#include "sound/thread_timer_service.h"

namespace fretlets {
namespace {

using Clock = std::chrono::steady_clock;
using std::chrono::milliseconds;

constexpr milliseconds kPatience(5000);

int argc = 1;
char name[] = "gui-timer-tests";
char* argv[] = {name, nullptr};

// Runs the GUI thread's events for a while.
void pumpFor(milliseconds time) {
  for (const auto deadline = Clock::now() + time; Clock::now() < deadline;) {
    QCoreApplication::processEvents(QEventLoop::AllEvents);
    std::this_thread::sleep_for(std::chrono::microseconds(200));
  }
}

class GuiHandOverTest : public ::testing::Test {
 protected:
  QCoreApplication app{argc, argv};
  const std::thread::id guiThread = std::this_thread::get_id();
};

TEST_F(GuiHandOverTest, ManyTimersArmedCancelledAndStoppedInFlightRunOnlyOnTheGuiThread) {
  std::mt19937 random(8);
  for (int round = 0; round < 20; ++round) {
    SCOPED_TRACE(round);
    GuiHandOver handOver;
    ThreadTimerService timers(handOver.handOver());
    std::vector<int> fired;
    bool onGuiThread = true;
    std::vector<TimerHandle> handles;
    for (int i = 0; i < 60; ++i) {
      handles.push_back(timers.schedule(milliseconds(random() % 6), [&, i] {
        onGuiThread = onGuiThread && std::this_thread::get_id() == guiThread;
        fired.push_back(i);
        if (i % 7 == 0) {
          // Callbacks arm and cancel timers of their own, as note chains do.
          timers.cancel(handles[static_cast<std::size_t>(i / 2)]);
          timers.schedule(milliseconds(1), [] {});
        }
      }));
    }
    for (int i = 1; i < 60; i += 5) {
      timers.cancel(handles[static_cast<std::size_t>(i)]);
    }
    pumpFor(milliseconds(random() % 4));
    timers.stop();  // with hand-overs in flight, as often as not
    handOver.close();
    const std::size_t firedAtStop = fired.size();
    pumpFor(milliseconds(5));
    EXPECT_EQ(fired.size(), firedAtStop) << "a callback ran after its service stopped";
    EXPECT_TRUE(onGuiThread);
    for (int i = 1; i < 60; i += 5) {
      EXPECT_EQ(std::count(fired.begin(), fired.end(), i), 0) << i << " was cancelled";
    }
  }
}

TEST_F(GuiHandOverTest, ATimingThreadLeftRunningByStopFindsAClosedQueueAfterTheHandOverWent) {
  HeldHandOver held;
  bool fired = false;
  {
    GuiHandOver handOver;
    ThreadTimerService timers(held.holding(handOver.handOver()));
    timers.schedule(milliseconds(1), [&] { fired = true; });
    ASSERT_TRUE(held.arrived(kPatience));
    timers.stop();
  }  // the hand-over is gone while the timing thread still holds its task
  held.letGo();
  EXPECT_TRUE(held.through(kPatience));
  pumpFor(milliseconds(10));
  EXPECT_FALSE(fired);
}

}  // namespace
}  // namespace fretlets
