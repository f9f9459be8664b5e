#include "midi/thread_timer_service.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <memory>
#include <thread>
#include <vector>

#include "midi/midi_device.h"
#include "midi/owner_loop.h"
#include "midi/recording_output.h"

namespace fretlets {
namespace {

using std::chrono::milliseconds;
using ::testing::ElementsAre;

constexpr milliseconds kPatience(5000);

// Long enough for the timing thread to reach a due timer and block in the
// hand-over while this thread is not pumping.
void letTheTimingThreadHandOver() {
  std::this_thread::sleep_for(milliseconds(50));
}

TEST(ThreadTimerService, RunsCallbacksOnTheOwnerThreadInDeadlineOrder) {
  OwnerLoop loop;
  ThreadTimerService timers(loop.handOver());
  std::vector<int> order;
  bool onOwnerThread = true;
  bool neverEarly = true;
  const auto owner = std::this_thread::get_id();
  const auto start = timers.now();
  for (const int ms : {30, 10, 20}) {
    timers.schedule(milliseconds(ms), [&, ms] {
      order.push_back(ms);
      onOwnerThread = onOwnerThread && std::this_thread::get_id() == owner;
      neverEarly = neverEarly && timers.now() - start >= milliseconds(ms);
    });
  }
  ASSERT_TRUE(loop.pumpUntil([&] { return order.size() == 3; }, kPatience));
  EXPECT_THAT(order, ElementsAre(10, 20, 30));
  EXPECT_TRUE(onOwnerThread);
  EXPECT_TRUE(neverEarly);
}

TEST(ThreadTimerService, CancelledCallbackNeverRunsEvenWhenAlreadyHandedOver) {
  OwnerLoop loop;
  ThreadTimerService timers(loop.handOver());
  int fired = 0;
  const TimerHandle early = timers.schedule(milliseconds(1), [&] { ++fired; });
  const TimerHandle later = timers.schedule(milliseconds(40), [&] { fired += 10; });
  timers.schedule(milliseconds(60), [&] { fired += 100; });
  letTheTimingThreadHandOver();  // the first is now waiting at the owner's door
  timers.cancel(early);
  timers.cancel(later);
  loop.pumpUntil([&] { return fired != 0; }, kPatience);
  EXPECT_EQ(fired, 100);
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

TEST(ThreadTimerService, CallbackMayStopItsOwnService) {
  OwnerLoop loop;
  ThreadTimerService timers(loop.handOver());
  int fired = 0;
  timers.schedule(milliseconds(1), [&] {
    ++fired;
    timers.stop();
  });
  timers.schedule(milliseconds(2), [&] { ++fired; });
  loop.pumpUntil([] { return false; }, milliseconds(100));
  EXPECT_EQ(fired, 1);
  EXPECT_EQ(timers.schedule(milliseconds(1), [] {}), TimerHandle{});
}

TEST(ThreadTimerService, DrivesAnArpeggioWhileTheChordChanges) {
  OwnerLoop loop;
  ThreadTimerService timers(loop.handOver());
  RecordingOutput output(timers);
  InstrumentState instrument;
  DesignerChord chord;
  chord.frets = {0, 2, 2, 1, 0, 0};
  MidiDevice device(instrument, chord, timers, {output});
  ASSERT_TRUE(device.openMidiMapper());
  device.arpeggioDelayMs = 20;
  device.arpeggiateChord(0);
  ASSERT_TRUE(loop.pumpUntil([&] { return output.sent().size() == 3; }, kPatience));
  chord.frets[3] = 0;  // E minor from here on, written between two steps
  ASSERT_TRUE(loop.pumpUntil([&] { return output.sent().size() == 6; }, kPatience));
  const auto& sent = output.sent();
  EXPECT_EQ(messageData1(sent[3].message), 55);
  for (std::size_t i = 1; i < sent.size(); ++i) {
    EXPECT_GE(sent[i].time - sent[i - 1].time, milliseconds(20));
  }
}

}  // namespace
}  // namespace fretlets
