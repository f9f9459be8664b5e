#include "models/score_playback.h"

#include <gtest/gtest.h>

#include <functional>
#include <map>
#include <memory>
#include <vector>

#include "documents/score.h"
#include "music/designer_chord.h"
#include "music/instrument.h"
#include "sound/manual_timer_service.h"
#include "sound/midi_device.h"
#include "sound/midi_output.h"
#include "sound/recording_output.h"

namespace fretlets {
namespace {

using std::chrono::milliseconds;

constexpr std::uint8_t kNoteOnStatus = 0x90;
constexpr std::uint32_t kAllNotesOff = shortMessage(0xB0, 0x7B, 0);

// The manual clock, with each arming fired late by what lateFor(n) says for
// the nth arming: a program held up by drawing or by the system.
class LateTimers : public TimerService {
 public:
  TimerHandle schedule(milliseconds delay, Callback callback) override {
    return clock.schedule(delay, std::move(callback));
  }
  TimerHandle scheduleAt(std::chrono::microseconds deadline, Callback callback) override {
    const milliseconds late = lateFor ? lateFor(armings) : milliseconds{0};
    ++armings;
    return clock.scheduleAt(deadline + late, std::move(callback));
  }
  void cancel(TimerHandle handle) override { clock.cancel(handle); }
  std::chrono::microseconds now() const override { return clock.now(); }

  ManualTimerService clock;
  std::function<milliseconds(int)> lateFor;
  int armings = 0;
};

// A clock whose cancel does not reach a callback already on its way: the
// test fires what was armed whenever it likes.
class HeldTimers : public TimerService {
 public:
  TimerHandle schedule(milliseconds /*delay*/, Callback callback) override {
    return scheduleAt({}, std::move(callback));
  }
  TimerHandle scheduleAt(std::chrono::microseconds /*deadline*/, Callback callback) override {
    held.push_back(std::move(callback));
    return {static_cast<std::uint64_t>(held.size())};
  }
  void cancel(TimerHandle /*handle*/) override {}
  std::chrono::microseconds now() const override { return {}; }

  std::vector<Callback> held;
};

// Entry k is the open low string fretted at k + 1, so each chord is known
// by its one note.
ScoreEntry entry(int k, int beatsToNext) {
  ScoreEntry e;
  e.frets[0] = static_cast<std::int8_t>(k + 1);
  e.beatsToNext = static_cast<std::int8_t>(beatsToNext);
  return e;
}

struct Rig {
  explicit Rig(std::vector<int> lengths, TimerService& clock) : timers(clock) {
    for (std::size_t k = 0; k < lengths.size(); ++k) {
      score.appendEntry(entry(static_cast<int>(k), lengths[k]));
    }
    EXPECT_TRUE(midi.openMidiMapper());
    playback = std::make_unique<ScorePlayback>(score, chord, instrument, midi, timers);
    playback->setChordShown([this] { shown.push_back(score.currentIndex()); });
    playback->setStateChanged([this] { ++stateNotices; });
    playback->setTempo(120);
  }

  int noteOf(int k) const { return instrument.tuning[0] + k + 1; }
  // Each note struck, by the millisecond it was struck at.
  std::multimap<long, int> onsets() const {
    std::multimap<long, int> result;
    for (const auto& sent : output.sent()) {
      if (messageStatus(sent.message) == kNoteOnStatus) {
        result.emplace(static_cast<long>(sent.time.count() / 1000), messageData1(sent.message));
      }
    }
    return result;
  }
  std::vector<long> silences() const {
    std::vector<long> result;
    for (const auto& sent : output.sent()) {
      if (sent.message == kAllNotesOff) {
        result.push_back(static_cast<long>(sent.time.count() / 1000));
      }
    }
    return result;
  }

  TimerService& timers;
  InstrumentState instrument;
  DesignerChord chord;
  Score score{"", {}};
  RecordingOutput output{timers};
  MidiDevice midi{instrument, chord, timers, {output}};
  std::unique_ptr<ScorePlayback> playback;
  std::vector<int> shown;  // the cursor's index at each chord shown
  int stateNotices = 0;
};

TEST(ScorePlayback, ChordsSoundAtTheirTimesAndTheRunEndsOnTheLastWithoutRepeat) {
  ManualTimerService clock;
  Rig rig({12, 24, 48}, clock);
  rig.playback->setRepeat(false);
  rig.playback->run();
  clock.advance(milliseconds(5000));

  const std::multimap<long, int> expected{
      {0, rig.noteOf(0)}, {500, rig.noteOf(1)}, {1500, rig.noteOf(2)}};
  EXPECT_EQ(rig.onsets(), expected);
  EXPECT_EQ(rig.silences(), (std::vector<long>{0, 3500}));  // the start, then the end
  EXPECT_EQ(rig.shown, (std::vector<int>{1, 2, 3}));
  EXPECT_FALSE(rig.playback->playing());
  EXPECT_EQ(rig.playback->mode(), PlaybackMode::Play);
  EXPECT_EQ(rig.score.currentIndex(), 3);
  EXPECT_EQ(clock.pendingCount(), 0U);

  // "Play" again: the last chord once more, for its full length.
  rig.output.clear();
  rig.playback->setPlaying(true);
  clock.advance(milliseconds(3000));
  EXPECT_EQ(rig.onsets(), (std::multimap<long, int>{{5000, rig.noteOf(2)}}));
  EXPECT_EQ(rig.silences(), (std::vector<long>{5000, 7000}));
}

TEST(ScorePlayback, WithRepeatTheFirstChordComesAgainAfterTheLast) {
  ManualTimerService clock;
  Rig rig({12, 24, 48}, clock);
  rig.score.goLast();  // a run starts at the cursor
  rig.playback->run();
  clock.advance(milliseconds(2000));
  EXPECT_EQ(rig.score.currentIndex(), 1);
  EXPECT_EQ(rig.onsets(), (std::multimap<long, int>{{0, rig.noteOf(2)}, {2000, rig.noteOf(0)}}));
  EXPECT_EQ(rig.shown, (std::vector<int>{3, 1}));
  EXPECT_TRUE(rig.playback->playing());
}

TEST(ScorePlayback, PlayAfterAPauseSoundsTheCurrentChordInFullHeldStringsToo) {
  ManualTimerService clock;
  Rig rig({12, 12}, clock);
  ScoreEntry& first = *rig.score.editCurrent();
  first.frets[1] = 2;
  first.held[1] = true;
  rig.playback->run();
  clock.advance(milliseconds(200));
  rig.playback->setPlaying(false);
  EXPECT_FALSE(rig.playback->playing());
  clock.advance(milliseconds(1000));  // nothing is armed while paused
  rig.playback->setPlaying(true);
  clock.advance(milliseconds(600));

  const int held = rig.instrument.tuning[1] + 2;
  const std::multimap<long, int> expected{
      {0, rig.noteOf(0)}, {0, held}, {1200, rig.noteOf(0)}, {1200, held}, {1700, rig.noteOf(1)}};
  EXPECT_EQ(rig.onsets(), expected);
  EXPECT_EQ(rig.silences(), (std::vector<long>{0, 200, 1200}));
}

TEST(ScorePlayback, ATempoChangeAppliesFromTheNextChordArmed) {
  ManualTimerService clock;
  Rig rig({48, 48, 48}, clock);
  rig.playback->setTempo(100);
  rig.playback->run();
  clock.advance(milliseconds(1000));
  rig.playback->setTempo(120);  // the whole note already timed keeps 4 x 600 ms
  clock.advance(milliseconds(5000));
  const std::multimap<long, int> expected{
      {0, rig.noteOf(0)}, {2400, rig.noteOf(1)}, {4400, rig.noteOf(2)}};
  EXPECT_EQ(rig.onsets(), expected);
}

TEST(ScorePlayback, EscapeInThePanelSilencesAndTheRunGoesOnWhileTheDesignersStopsIt) {
  ManualTimerService clock;
  Rig rig({12, 12, 12}, clock);
  rig.playback->run();
  clock.advance(milliseconds(100));
  rig.playback->silence();
  clock.advance(milliseconds(500));
  EXPECT_EQ(rig.silences(), (std::vector<long>{0, 100}));
  EXPECT_EQ(rig.onsets().count(500), 1U);
  EXPECT_TRUE(rig.playback->playing());

  const int noticesBefore = rig.stateNotices;
  rig.playback->stopPlayback();
  clock.advance(milliseconds(2000));
  EXPECT_EQ(rig.onsets().size(), 2U);
  EXPECT_EQ(rig.silences(), (std::vector<long>{0, 100, 600}));
  EXPECT_FALSE(rig.playback->playing());
  EXPECT_EQ(rig.playback->mode(), PlaybackMode::Play);
  EXPECT_EQ(rig.stateNotices, noticesBefore + 1);
  EXPECT_EQ(clock.pendingCount(), 0U);

  rig.playback->edit();
  EXPECT_EQ(rig.playback->mode(), PlaybackMode::Edit);
}

TEST(ScorePlayback, AMoveOfTheCursorIsShownAtOnceAndTheRunGoesOnFromIt) {
  ManualTimerService clock;
  Rig rig({12, 12, 12, 12}, clock);
  rig.playback->run();
  clock.advance(milliseconds(100));
  rig.score.goLast();
  rig.playback->showCurrent();  // arpeggiated at once
  rig.score.goFirst();
  rig.playback->showCurrent();
  clock.advance(milliseconds(400));
  EXPECT_EQ(rig.shown, (std::vector<int>{1, 4, 1, 2}));
  const std::multimap<long, int> expected{
      {0, rig.noteOf(0)}, {100, rig.noteOf(3)}, {100, rig.noteOf(0)}, {500, rig.noteOf(1)}};
  EXPECT_EQ(rig.onsets(), expected);
}

TEST(ScorePlayback, WithMidiOffTheChordsAreSteppedThroughAndShownSilently) {
  ManualTimerService clock;
  Rig rig({12, 24, 48}, clock);
  rig.midi.closeMidi();
  rig.output.clear();
  rig.playback->setRepeat(false);
  rig.playback->run();
  clock.advance(milliseconds(4000));
  EXPECT_EQ(rig.shown, (std::vector<int>{1, 2, 3}));
  EXPECT_TRUE(rig.output.sent().empty());
  EXPECT_FALSE(rig.playback->playing());
}

TEST(ScorePlayback, AnEmptyScoreDoesNotRun) {
  ManualTimerService clock;
  Rig rig({}, clock);
  rig.playback->run();
  EXPECT_EQ(rig.playback->mode(), PlaybackMode::Edit);
  EXPECT_EQ(clock.pendingCount(), 0U);
  EXPECT_TRUE(rig.output.sent().empty());
}

// A chord keeps its moment from the start of the run, however late the one
// before it came; a program held up for longer than a chord goes on at the
// pace from there instead of playing the missed chords in a burst.
TEST(ScorePlayback, LateChordsDoNotDelayTheirSuccessors) {
  struct Case {
    const char* what;
    std::function<milliseconds(int)> lateFor;
    std::vector<long> onsets;
  };
  const std::vector<Case> cases{
      {"every chord 3 ms late", [](int) { return milliseconds(3); }, {0, 23, 43, 63, 83, 103}},
      {"the second held up 100 ms",
       [](int n) { return milliseconds(n == 0 ? 100 : 0); },
       {0, 120, 140, 160, 180, 200}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    LateTimers timers;
    timers.lateFor = c.lateFor;
    Rig rig({3, 3, 3, 3, 3, 3}, timers);  // sixteenths at 750 bpm: 20 ms
    rig.playback->setTempo(750);
    rig.playback->setRepeat(false);
    rig.playback->run();
    timers.clock.advance(milliseconds(300));
    std::vector<long> times;
    for (const auto& [time, note] : rig.onsets()) {
      times.push_back(time);
    }
    EXPECT_EQ(times, c.onsets);
  }
}

TEST(ScorePlayback, ChordsOfNoLengthStillTakeTimeSoARepeatedRunCannotSpin) {
  for (const int length : {0, -56}) {
    SCOPED_TRACE(length);
    ManualTimerService clock;
    Rig rig({length, length, length}, clock);
    rig.playback->setTempo(750);
    rig.playback->run();
    clock.advance(milliseconds(1000));
    // The shortest length the program gives a chord: a twelfth of a beat,
    // 6 ms at the fastest tempo.
    EXPECT_LE(rig.shown.size(), 1000U / 6 + 1);
    EXPECT_GE(rig.shown.size(), 100U);
    EXPECT_TRUE(rig.playback->playing());
  }
}

TEST(ScorePlayback, ATickOnItsWayAfterAStopOrAfterThePlaybackWentDoesNothing) {
  HeldTimers timers;
  Rig rig({12, 12}, timers);
  rig.playback->run();
  ASSERT_EQ(timers.held.size(), 1U);
  rig.playback->stopPlayback();
  const auto sent = rig.output.sent().size();
  const auto shown = rig.shown.size();
  const int notices = rig.stateNotices;
  timers.held[0]();
  EXPECT_EQ(timers.held.size(), 1U);  // nothing armed
  EXPECT_EQ(rig.output.sent().size(), sent);
  EXPECT_EQ(rig.shown.size(), shown);
  EXPECT_EQ(rig.stateNotices, notices);

  // Playing again: the tick of the earlier run still must not step on.
  rig.playback->setPlaying(true);
  ASSERT_EQ(timers.held.size(), 2U);
  timers.held[0]();
  EXPECT_EQ(timers.held.size(), 2U);
  EXPECT_EQ(rig.score.currentIndex(), 1);

  rig.playback.reset();
  timers.held[1]();  // must not reach the playback that went
  EXPECT_EQ(timers.held.size(), 2U);
  EXPECT_EQ(rig.score.currentIndex(), 1);
}

}  // namespace
}  // namespace fretlets
