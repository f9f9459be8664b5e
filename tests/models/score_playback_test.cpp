#include "models/score_playback.h"

#include <gtest/gtest.h>

#include <functional>
#include <map>
#include <memory>
#include <sstream>
#include <string>
#include <vector>

#include "documents/score.h"
#include "sound/midi_records.h"

namespace fretlets {
namespace {

using std::chrono::milliseconds;

// The manual clock, with each arming fired late by what lateFor(n) says for
// the nth arming: a program held up by drawing or by the system. A sound
// armed with one leaves at its moment all the same, as from a timing thread.
// Without cancelReaches a cancel stops the sound but not a callback already
// on its way to the owner.
class LateTimers : public ManualTimerService {
 public:
  TimerHandle scheduleSoundAt(std::chrono::microseconds deadline, Callback sound,
                              Callback callback) override {
    const TimerHandle soundHandle = ManualTimerService::scheduleAt(deadline, std::move(sound));
    const TimerHandle handle = scheduleAt(deadline, std::move(callback));
    sounds_[handle.generation] = soundHandle;
    return handle;
  }
  TimerHandle schedule(milliseconds delay, Callback callback) override {
    return ManualTimerService::scheduleAt(now() + delay, std::move(callback));
  }
  TimerHandle scheduleAt(std::chrono::microseconds deadline, Callback callback) override {
    return ManualTimerService::scheduleAt(deadline + lateFor(armings++), std::move(callback));
  }
  void cancel(TimerHandle handle) override {
    ManualTimerService::cancel(sounds_[handle.generation]);
    if (cancelReaches) {
      ManualTimerService::cancel(handle);
    }
  }
  bool cancelReaches = true;
  std::function<milliseconds(int)> lateFor = [](int) { return milliseconds(0); };
  int armings = 0;

 private:
  std::map<std::uint64_t, TimerHandle> sounds_;
};

// A score whose entry k frets only the low E string at k + 1, so entry k
// sounds MIDI note 41 + k, played on a guitar at 120 bpm (500 ms a beat).
struct Rig : MidiRecords<LateTimers> {
  explicit Rig(const std::vector<int>& lengths) {
    for (std::size_t k = 0; k < lengths.size(); ++k) {
      ScoreEntry entry;
      entry.frets[0] = static_cast<std::int8_t>(k + 1);
      entry.beatsToNext = static_cast<std::int8_t>(lengths[k]);
      score.appendEntry(entry);
    }
    EXPECT_TRUE(midi.openMidiMapper());
    playback = std::make_unique<ScorePlayback>(score, chord, instrument, midi, timers);
    playback->setChordShown([this] { events += std::to_string(score.currentIndex()); });
    playback->setStateChanged([this] { events += "s"; });
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
  Score score{"", {}};
  std::unique_ptr<ScorePlayback> playback;
  std::string events;  // the cursor's index at each chord shown, "s" at each state notice
};

// Each case plays a script on the manual clock: "run", "play", "pause",
// "stop", "edit", "silence", "show", "first", "last", "once" (no repeat),
// "hold" (the current entry also holds B2), "midi-off", "clear" (forget what
// was heard and shown), "tempo=N", "late=N" (every tick from now on comes N
// ms late), "stall=N" (the next tick comes N ms late), "stale" (a stop or a
// cancel no longer reaches a tick on its way), "gone" (the playback is
// destroyed), "sounding" (the notes
// stopped, "-N", and the low string's note, "~N"), "+N" (the clock advances N
// ms). Then what was heard, the notices, and the state: the mode, "playing",
// "armed".
TEST(ScorePlayback, ScriptsSoundShowAndStopAtTheirTimes) {
  const struct {
    std::vector<int> lengths;
    const char* script;
    const char* outcome;  // heard | events | state
  } cases[] = {
      // Silent at the start and the end; without repeat the run ends on the
      // last chord, and "Play" sounds it once more for its full length.
      {{12, 24, 48}, "once run +5000", "0:41 500:42 1500:43 / 0 3500 | s123s | play"},
      {{12, 24, 48}, "once run +5000 clear play +3000", "5000:43 / 5000 7000 | s3s | play"},
      // A run starts at the cursor; with repeat the first chord follows the last.
      {{12, 24, 48}, "last run +2000", "0:43 2000:41 / 0 | s31 | play playing armed"},
      // Play after a pause sounds the current chord in full, held strings too.
      {{12, 12},
       "hold run +200 pause +1000 play +600",
       "0:41 0:47 1200:41 1200:47 1700:42 / 0 200 1200 | s1ss12 | play playing armed"},
      // A whole note already timed keeps 4 x 600 ms.
      {{48, 48, 48},
       "tempo=100 run +1000 tempo=120 +5000",
       "0:41 2400:42 4400:43 / 0 | s123 | play playing armed"},
      // The panel's Escape only silences; the Designer's stops the run.
      {{12, 12, 12}, "run +100 silence +500", "0:41 500:42 / 0 100 | s12 | play playing armed"},
      {{12, 12, 12}, "run +100 silence +500 stop +2000", "0:41 500:42 / 0 100 600 | s12s | play"},
      {{12, 12, 12}, "run stop edit", "0:41 / 0 0 | s1ss | edit"},
      // A move of the cursor is shown at once and the run goes on from it.
      {{12, 12, 12, 12},
       "run +100 last show first show +400",
       "0:41 100:44 100:41 500:42 / 0 | s1412 | play playing armed"},
      // The chord worked out ahead follows the cursor and the repeat switch.
      {{12, 12, 12, 12},
       "run +100 last show +400",
       "0:41 100:44 500:41 / 0 | s141 | play playing armed"},
      {{12, 12}, "run +600 once +1000", "0:41 500:42 / 0 1000 | s12s | play"},
      // A chord keeps its moment from the start of the run, however late the
      // tick of the one before it came; a program held up for longer than
      // two chords goes on at the pace from there instead of playing the
      // missed chords in a burst. Sixteenths at 750 bpm: 20 ms.
      {{3, 3, 3, 3, 3, 3},
       "tempo=750 once late=3 run +300",
       "0:41 20:42 40:43 60:44 80:45 100:46 / 0 123 | s123456s | play"},
      {{3, 3, 3, 3, 3, 3},
       "tempo=750 once stall=30 run +300",
       "0:41 20:42 50:43 60:44 80:45 100:46 / 0 120 | s123456s | play"},
      {{3, 3, 3, 3, 3, 3},
       "tempo=750 once stall=100 run +300",
       "0:41 20:42 140:43 160:44 180:45 200:46 / 0 220 | s123456s | play"},
      // A chord sent ahead of its tick still stops the note its string rang
      // and records the one it rings now.
      {{12, 12, 12},
       "run +1100 sounding",
       "0:41 500:42 1000:43 / 0 | s123-41-42~43 | play playing armed"},
      // The same when its tick was held up and the cursor moved meanwhile,
      // which cancels the tick: what it struck is stopped next.
      {{12, 12, 12},
       "stall=300 run +600 show +1 sounding",
       "0:41 500:42 600:41 600:42 / 0 | s112-41-42~42 | play playing armed"},
      // With MIDI off the chords are shown silently; an empty score does not run.
      {{12, 24, 48}, "midi-off once run +4000", "/ | s123s | play"},
      {{}, "run", "/ |  | edit"},
      // A tick on its way after a stop, after a new start or after the playback
      // went does nothing.
      {{12, 12}, "stale run stop +1000", "0:41 / 0 0 | s1s | play"},
      {{12, 12},
       "stale run +100 stop play +1000",
       "0:41 100:41 600:42 1100:41 / 0 100 100 | s1ss121 | play playing armed"},
      {{12, 12}, "stale run gone +1000", "0:41 / 0 0 | s1 | gone"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.script);
    Rig rig(c.lengths);
    LateTimers& clock = rig.timers;
    std::istringstream script(c.script);
    for (std::string step; script >> step;) {
      ScorePlayback* p = rig.playback.get();
      if (step[0] == '+') {
        clock.advance(milliseconds(std::stoi(step.substr(1))));
      } else if (step.starts_with("tempo=")) {
        p->setTempo(std::stoi(step.substr(6)));
      } else if (step.starts_with("late=")) {
        clock.lateFor = [ms = std::stoi(step.substr(5))](int) { return milliseconds(ms); };
      } else if (step.starts_with("stall=")) {
        clock.lateFor = [ms = std::stoi(step.substr(6)), at = clock.armings](int n) {
          return milliseconds(n == at ? ms : 0);
        };
      } else if (step == "sounding") {
        for (const std::uint32_t message : rig.output.messages()) {
          if (messageStatus(message) == 0x80) {
            rig.events += "-" + std::to_string(messageData1(message));
          }
        }
        rig.events += "~" + std::to_string(rig.midi.soundingNotes[0]);
      } else if (step == "stale") {
        clock.cancelReaches = false;
      } else if (step == "gone") {
        rig.playback.reset();
      } else if (step == "hold") {
        rig.score.editCurrent()->frets[1] = 2;
        rig.score.editCurrent()->held[1] = true;
      } else if (step == "midi-off") {
        rig.midi.closeMidi();
        rig.output.clear();
      } else if (step == "clear") {
        rig.output.clear();
        rig.events.clear();
      } else {
        const std::map<std::string, std::function<void()>> actions{
            {"run", [&] { p->run(); }},
            {"play", [&] { p->setPlaying(true); }},
            {"pause", [&] { p->setPlaying(false); }},
            {"stop", [&] { p->stopPlayback(); }},
            {"edit", [&] { p->edit(); }},
            {"silence", [&] { p->silence(); }},
            {"show", [&] { p->showCurrent(); }},
            {"first", [&] { rig.score.goFirst(); }},
            {"last", [&] { rig.score.goLast(); }},
            {"once", [&] { p->setRepeat(false); }}};
        actions.at(step)();
      }
    }
    const ScorePlayback* p = rig.playback.get();
    EXPECT_EQ(rig.heard() + " | " + rig.events + " | " +
                  (!p                                ? "gone"
                   : p->mode() == PlaybackMode::Play ? "play"
                                                     : "edit") +
                  (p && p->playing() ? " playing" : "") +
                  (clock.pendingCount() > 0 ? " armed" : ""),
              c.outcome);
  }
}

}  // namespace
}  // namespace fretlets
