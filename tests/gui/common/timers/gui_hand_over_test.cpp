#include "gui/common/gui_hand_over.h"

#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QEventLoop>
#include <QTimer>
#include <algorithm>
#include <optional>
#include <random>
#include <thread>
#include <vector>

#include "sound/held_hand_over.h"
#include "sound/midi_device.h"
#include "sound/recording_output.h"
#include "sound/thread_timer_service.h"

namespace fretlets {
namespace {

using Clock = std::chrono::steady_clock;
using std::chrono::milliseconds;

constexpr milliseconds kPatience(5000);

int argc = 1;
char name[] = "gui-timer-tests";
char* argv[] = {name, nullptr};

// Runs the GUI thread's events until done() holds or time is up.
bool pumpUntil(const std::function<bool()>& done, milliseconds timeout = kPatience) {
  const auto deadline = Clock::now() + timeout;
  while (!done()) {
    if (Clock::now() > deadline) {
      return false;
    }
    QCoreApplication::processEvents(QEventLoop::AllEvents);
    std::this_thread::sleep_for(std::chrono::microseconds(200));
  }
  return true;
}

void pumpFor(milliseconds time) {
  pumpUntil([] { return false; }, time);
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

TEST_F(GuiHandOverTest, CallbacksRunInsideANestedEventLoop) {
  GuiHandOver handOver;
  ThreadTimerService boxTimers(handOver.handOver());
  ThreadTimerService chainTimers(handOver.handOver());
  std::vector<std::string> order;
  int depth = 0;
  boxTimers.schedule(milliseconds(1), [&] {
    // A message box waits here for its answer while other events run.
    QEventLoop box;
    ++depth;
    order.push_back("box opens");
    chainTimers.schedule(milliseconds(5), [&] {
      order.push_back(depth == 1 ? "chain step inside the box" : "chain step outside");
      box.quit();
    });
    box.exec();
    --depth;
    order.push_back("box closes");
  });
  ASSERT_TRUE(pumpUntil([&] { return order.size() == 3; }));
  EXPECT_EQ(order,
            (std::vector<std::string>{"box opens", "chain step inside the box", "box closes"}));
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

TEST_F(GuiHandOverTest, ADeviceDestroyedInTheMiddleOfAnArpeggioSendsNothingMore) {
  GuiHandOver handOver;
  ThreadTimerService timers(handOver.handOver());
  RecordingOutput output(timers);
  InstrumentState instrument;
  DesignerChord chord;
  chord.frets = {0, 2, 2, 1, 0, 0};
  for (int round = 0; round < 10; ++round) {
    SCOPED_TRACE(round);
    output.clear();
    std::optional<MidiDevice> device;
    device.emplace(instrument, chord, timers, MidiDevice::Outputs{output});
    device->openMidiMapper();
    device->arpeggioDelayMs = 2;
    device->arpeggiateChord(0);
    ASSERT_TRUE(pumpUntil([&] { return output.sent().size() >= 2; }));
    // A timer callback takes the device away, as closing the program does.
    timers.schedule(milliseconds(0), [&] { device.reset(); });
    ASSERT_TRUE(pumpUntil([&] { return !device; }));
    const std::size_t sentAtEnd = output.sent().size();
    pumpFor(milliseconds(20));
    EXPECT_EQ(output.sent().size(), sentAtEnd);
    EXPECT_LT(sentAtEnd, 8U);  // six notes at most, then all notes off
  }
}

}  // namespace
}  // namespace fretlets
