#include "models/score_playback.h"

#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <string>
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

// The manual clock, with each arming fired late by what lateFor(n) says for
// the nth arming: a program held up by drawing or by the system.
class LateTimers : public TimerService {
 public:
  TimerHandle schedule(milliseconds delay, Callback callback) override {
    return clock.schedule(delay, std::move(callback));
  }
  TimerHandle scheduleAt(std::chrono::microseconds deadline, Callback callback) override {
    return clock.scheduleAt(deadline + lateFor(armings++), std::move(callback));
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

// A score whose entry k frets only the low E string at k + 1, so entry k
// sounds MIDI note 41 + k, played on a guitar at 120 bpm (500 ms a beat).
struct Rig {
  explicit Rig(const std::vector<int>& lengths, TimerService& clock) : timers(clock) {
    for (std::size_t k = 0; k < lengths.size(); ++k) {
      ScoreEntry entry;
      entry.frets[0] = static_cast<std::int8_t>(k + 1);
      entry.beatsToNext = static_cast<std::int8_t>(lengths[k]);
      score.appendEntry(entry);
    }
    EXPECT_TRUE(midi.openMidiMapper());
    playback = std::make_unique<ScorePlayback>(score, chord, instrument, midi, timers);
    playback->setChordShown([this] { shown.push_back(score.currentIndex()); });
    playback->setStateChanged([this] { ++stateNotices; });
    playback->setTempo(120);
  }

  // Each note struck after the millisecond it was struck at, then the
  // milliseconds at which all notes were silenced: "0:41 500:42 / 0 1000".
  std::string heard() const {
    std::string notes;
    std::string silences;
    for (const auto& sent : output.sent()) {
      const std::string ms = std::to_string(sent.time.count() / 1000);
      if (messageStatus(sent.message) == 0x90) {
        notes += ms + ":" + std::to_string(messageData1(sent.message)) + " ";
      } else if (sent.message == shortMessage(0xB0, 0x7B, 0)) {
        silences += " " + ms;
      }
    }
    return notes + "/" + silences;
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
  EXPECT_EQ(rig.heard(), "0:41 500:42 1500:43 / 0 3500");  // silent at the start and the end
  EXPECT_EQ(rig.shown, (std::vector<int>{1, 2, 3}));
  EXPECT_FALSE(rig.playback->playing());
  EXPECT_EQ(rig.playback->mode(), PlaybackMode::Play);
  EXPECT_EQ(clock.pendingCount(), 0U);

  // "Play" again: the last chord once more, for its full length.
  rig.output.clear();
  rig.playback->setPlaying(true);
  clock.advance(milliseconds(3000));
  EXPECT_EQ(rig.heard(), "5000:43 / 5000 7000");
}

TEST(ScorePlayback, WithRepeatTheFirstChordComesAgainAfterTheLast) {
  ManualTimerService clock;
  Rig rig({12, 24, 48}, clock);
  rig.score.goLast();  // a run starts at the cursor
  rig.playback->run();
  clock.advance(milliseconds(2000));
  EXPECT_EQ(rig.heard(), "0:43 2000:41 / 0");
  EXPECT_EQ(rig.shown, (std::vector<int>{3, 1}));
  EXPECT_TRUE(rig.playback->playing());
}

TEST(ScorePlayback, PlayAfterAPauseSoundsTheCurrentChordInFullHeldStringsToo) {
  ManualTimerService clock;
  Rig rig({12, 12}, clock);
  ScoreEntry& first = *rig.score.editCurrent();
  first.frets[1] = 2;  // B2, note 47
  first.held[1] = true;
  rig.playback->run();
  clock.advance(milliseconds(200));
  rig.playback->setPlaying(false);
  EXPECT_FALSE(rig.playback->playing());
  clock.advance(milliseconds(1000));  // nothing is armed while paused
  rig.playback->setPlaying(true);
  clock.advance(milliseconds(600));
  EXPECT_EQ(rig.heard(), "0:41 0:47 1200:41 1200:47 1700:42 / 0 200 1200");
}

TEST(ScorePlayback, ATempoChangeAppliesFromTheNextChordArmed) {
  ManualTimerService clock;
  Rig rig({48, 48, 48}, clock);
  rig.playback->setTempo(100);
  rig.playback->run();
  clock.advance(milliseconds(1000));
  rig.playback->setTempo(120);  // the whole note already timed keeps 4 x 600 ms
  clock.advance(milliseconds(5000));
  EXPECT_EQ(rig.heard(), "0:41 2400:42 4400:43 / 0");
}

TEST(ScorePlayback, EscapeInThePanelSilencesAndTheRunGoesOnWhileTheDesignersStopsIt) {
  ManualTimerService clock;
  Rig rig({12, 12, 12}, clock);
  rig.playback->run();
  clock.advance(milliseconds(100));
  rig.playback->silence();
  clock.advance(milliseconds(500));
  EXPECT_EQ(rig.heard(), "0:41 500:42 / 0 100");
  EXPECT_TRUE(rig.playback->playing());

  const int noticesBefore = rig.stateNotices;
  rig.playback->stopPlayback();
  clock.advance(milliseconds(2000));
  EXPECT_EQ(rig.heard(), "0:41 500:42 / 0 100 600");
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
  EXPECT_EQ(rig.heard(), "0:41 100:44 100:41 500:42 / 0");
}

TEST(ScorePlayback, WithMidiOffTheChordsAreShownSilentlyAndAnEmptyScoreDoesNotRun) {
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

  Rig empty({}, clock);
  empty.playback->run();
  EXPECT_EQ(empty.playback->mode(), PlaybackMode::Edit);
  EXPECT_EQ(clock.pendingCount(), 0U);
  EXPECT_TRUE(empty.output.sent().empty());
}

// A chord keeps its moment from the start of the run, however late the one
// before it came; a program held up for longer than a chord goes on at the
// pace from there instead of playing the missed chords in a burst.
TEST(ScorePlayback, LateChordsDoNotDelayTheirSuccessors) {
  const struct {
    const char* what;
    std::function<milliseconds(int)> lateFor;
    const char* heard;
  } cases[] = {
      {"every chord 3 ms late", [](int) { return milliseconds(3); },
       "0:41 23:42 43:43 63:44 83:45 103:46 / 0 123"},
      {"the second held up 100 ms", [](int n) { return milliseconds(n == 0 ? 100 : 0); },
       "0:41 120:42 140:43 160:44 180:45 200:46 / 0 220"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    LateTimers timers;
    timers.lateFor = c.lateFor;
    Rig rig({3, 3, 3, 3, 3, 3}, timers);  // sixteenths at 750 bpm: 20 ms
    rig.playback->setTempo(750);
    rig.playback->setRepeat(false);
    rig.playback->run();
    timers.clock.advance(milliseconds(300));
    EXPECT_EQ(rig.heard(), c.heard);
  }
}

TEST(ScorePlayback, ATickOnItsWayAfterAStopOrAfterThePlaybackWentDoesNothing) {
  HeldTimers timers;
  Rig rig({12, 12}, timers);
  rig.playback->run();
  ASSERT_EQ(timers.held.size(), 1U);
  rig.playback->stopPlayback();
  const std::string heard = rig.heard();
  const auto shown = rig.shown.size();
  const int notices = rig.stateNotices;
  timers.held[0]();
  EXPECT_EQ(timers.held.size(), 1U);  // nothing armed
  EXPECT_EQ(rig.heard(), heard);
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
