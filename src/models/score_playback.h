#pragma once

#include <atomic>
#include <chrono>
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>

#include "music/designer_chord.h"

#include "sound/timer_service.h"

namespace fretlets {

class MidiDevice;
class Score;
struct InstrumentState;
struct ScoreEntry;

// Milliseconds per beat for a tempo in beats per minute, the tempo kept in
// 20..750 first.
std::uint32_t beatMsForTempo(int tempo);

// The Score panel's two faces: editing the chords, or the playback controls.
enum class PlaybackMode { Edit, Play };

// How the next chord's moment is found. FromStart: the start of the run plus
// the lengths of the chords so far, so however late a single chord is drawn
// and sounded, the run keeps the tempo. FromArming: the chord's length from
// the moment its successor is armed, which lets every redraw add to the run's
// length; kept only to measure the difference.
enum class ChordTiming { FromStart, FromArming };

// Plays the open score chord after chord on one-shot timers: each chord is
// copied into the Designer chord, sounded at once (while MIDI is on) and
// shown, and held for its length at the tempo of the moment it was armed.
// The score panel wires its buttons to these operations and redraws the
// Designer and its own buttons from the two notices.
//
// Everything runs on the owner thread of the timers. Only the next chord's
// messages, worked out here when its timer is armed, leave from the timing
// side at its moment, so a chord sounds on time however long the owner
// thread is busy (drawing the Designer, say); its tick then shows it and
// records what the strings sound. A move of the cursor or of the repeat
// switch during a run works the next chord out again. Stopping, pausing and
// destroying cancel the pending timer and start a new generation, so a tick
// already on its way does nothing: it arms no timer and notifies no one.
class ScorePlayback {
 public:
  using Notice = std::function<void()>;

  // All references must outlive the playback.
  ScorePlayback(Score& score, DesignerChord& chord, const InstrumentState& instrument,
                MidiDevice& midi, TimerService& timers);
  ScorePlayback(const ScorePlayback&) = delete;
  ScorePlayback& operator=(const ScorePlayback&) = delete;
  // Stops a run still going, silently: no notice is given.
  ~ScorePlayback();

  // A chord was copied into the Designer chord: the Designer redraws it.
  void setChordShown(Notice notice) { chordShown_ = std::move(notice); }
  // The mode or the playing state changed: the panel sets its buttons.
  void setStateChanged(Notice notice) { stateChanged_ = std::move(notice); }

  // "Run": only with entries; play mode, from the chord under the cursor.
  void run();
  // "Play" pressed (true) or released (false) in play mode. Pressing sounds
  // the chord under the cursor again in full and goes on from it.
  void setPlaying(bool play);
  // Releases "Play" while playing: silence, nothing armed, the mode stays.
  // The Designer's Escape key does this.
  void stopPlayback();
  // "Edit": stops and goes back to edit mode.
  void edit();
  // The panel's Escape key: silence only; the next chord comes at its time.
  void silence();
  // Shows the chord under the cursor in the Designer and, while MIDI is on,
  // strikes it string by string: after every move of the cursor, in both
  // modes. During a run, the next chord follows the shown one.
  void showCurrent();

  // The tempo box: applies from the next chord armed.
  void setTempo(int tempo);
  // During a run, works the next chord out again (the end may now wrap).
  void setRepeat(bool repeat);
  bool repeat() const { return repeat_; }

  PlaybackMode mode() const { return mode_; }
  bool playing() const { return playing_; }

  void setTiming(ChordTiming timing) { timing_ = timing; }

 private:
  void start();
  void tick();
  void advance(std::uint64_t generation);
  void strikeHeldStrings();
  // sentAhead: the chord now sounding left at its moment, ahead of its tick.
  void armNext(bool sentAhead);
  // Arms the timer of the chord due at chordDue_, with its messages when
  // MIDI is on.
  void armDue();
  // Cancels the armed timer and arms it again (the cursor moved, repeat
  // changed), keeping track of a chord that already left.
  void rearm();
  // The entry the next tick plays, if any.
  const ScoreEntry* upcoming() const;
  // Cancels the pending timer; a tick on its way finds a newer generation.
  void disarm();
  void notify(const Notice& notice) const;

  Score& score_;
  DesignerChord& chord_;
  const InstrumentState& instrument_;
  MidiDevice& midi_;
  TimerService& timers_;
  Notice chordShown_;
  Notice stateChanged_;
  PlaybackMode mode_ = PlaybackMode::Edit;
  bool playing_ = false;
  bool repeat_ = true;
  bool fromSilence_ = false;  // the next tick follows a silence
  ChordTiming timing_ = ChordTiming::FromStart;
  TimerHandle timer_;
  // What the strings sound once the armed chord's messages went out; empty
  // when the armed timer carries none.
  std::optional<std::array<std::int8_t, kStringSlots>> soundingAhead_;
  // Set on the timing side once those messages went out.
  std::shared_ptr<std::atomic<bool>> aheadSent_;
  std::uint64_t generation_ = 0;
  // The moment the chord now sounding was due, then, once armed, the
  // moment of the next one, on the timers' clock.
  std::chrono::microseconds chordDue_{0};
  // Gone with the playback: a tick that outlives it finds it expired.
  std::shared_ptr<const bool> alive_ = std::make_shared<const bool>(true);
};

}  // namespace fretlets
