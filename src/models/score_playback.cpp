#include "models/score_playback.h"

#include <algorithm>
#include <iterator>

#include "documents/score.h"
#include "music/designer_chord.h"
#include "music/instrument.h"
#include "sound/midi_device.h"

namespace fretlets {

std::uint32_t beatMsForTempo(int tempo) {
  return 60000U / static_cast<std::uint32_t>(std::clamp(tempo, kMinTempo, kMaxTempo));
}

ScorePlayback::ScorePlayback(Score& score, DesignerChord& chord, const InstrumentState& instrument,
                             MidiDevice& midi, TimerService& timers)
    : score_(score), chord_(chord), instrument_(instrument), midi_(midi), timers_(timers) {}

ScorePlayback::~ScorePlayback() {
  disarm();
  if (playing_) {
    midi_.allNotesOff();
  }
}

void ScorePlayback::run() {
  if (score_.empty()) {
    return;
  }
  mode_ = PlaybackMode::Play;
  start();
}

void ScorePlayback::setPlaying(bool play) {
  if (mode_ != PlaybackMode::Play) {
    return;
  }
  if (play && !score_.empty()) {
    start();
    return;
  }
  disarm();
  midi_.allNotesOff();
  playing_ = false;
  notify(stateChanged_);
}

void ScorePlayback::stopPlayback() {
  if (!playing_) {
    return;
  }
  disarm();
  midi_.allNotesOff();
  playing_ = false;
  notify(stateChanged_);
}

void ScorePlayback::edit() {
  stopPlayback();
  if (mode_ != PlaybackMode::Edit) {
    mode_ = PlaybackMode::Edit;
    notify(stateChanged_);
  }
}

void ScorePlayback::silence() {
  midi_.allNotesOff();
}

void ScorePlayback::showCurrent() {
  if (score_.empty()) {
    return;
  }
  score_.applyCurrentToDesigner(chord_, instrument_.strings());
  notify(chordShown_);
  if (midi_.isOpen()) {
    midi_.arpeggiateChord(0);
  }
  if (playing_ && timer_ != TimerHandle{}) {
    rearm();
  }
}

void ScorePlayback::setRepeat(bool repeat) {
  repeat_ = repeat;
  if (playing_ && timer_ != TimerHandle{}) {
    rearm();
  }
}

void ScorePlayback::setTempo(int tempo) {
  midi_.beatMs = beatMsForTempo(tempo);
}

// The chord under the cursor sounds in full: after the silence nothing is
// ringing, so its held strings are struck too.
void ScorePlayback::start() {
  disarm();
  playing_ = true;
  midi_.allNotesOff();
  midi_.soundingNotes.fill(static_cast<std::int8_t>(kNone));
  chordDue_ = timers_.now();
  notify(stateChanged_);
  fromSilence_ = true;
  tick();
}

// The chord sounds before the Designer redraws it: the ear notices a late
// chord, the eye a few milliseconds of drawing not.
void ScorePlayback::tick() {
  if (!playing_) {
    return;
  }
  score_.applyCurrentToDesigner(chord_, instrument_.strings());
  const bool sentAhead = soundingAhead_.has_value();
  if (sentAhead) {
    midi_.soundingNotes = *soundingAhead_;  // its messages went out at its moment
    soundingAhead_.reset();
  } else if (midi_.isOpen()) {
    midi_.soundChord(0);
    if (fromSilence_) {
      strikeHeldStrings();
    }
  }
  fromSilence_ = false;
  const std::uint64_t generation = generation_;
  notify(chordShown_);
  // Whoever redrew may have stopped the run.
  if (playing_ && generation == generation_) {
    armNext(sentAhead);
  }
}

// A held string keeps ringing what it rang before; with nothing ringing it
// is struck like the others.
void ScorePlayback::strikeHeldStrings() {
  for (int s = 0; s < instrument_.strings(); ++s) {
    if (chord_.frets[s] != kNone && chord_.held[s]) {
      midi_.playStringNote(s, chord_.frets[s]);
    }
  }
}

void ScorePlayback::armNext(bool sentAhead) {
  // Before a tempo was ever set, the score's own tempo holds.
  const std::uint32_t beatMs = midi_.beatMs != 0 ? midi_.beatMs : beatMsForTempo(score_.tempo);
  const std::chrono::microseconds length(
      std::chrono::milliseconds(chordLengthMs(score_.current().beatsToNext, beatMs)));
  const std::chrono::microseconds now = timers_.now();
  chordDue_ = (timing_ == ChordTiming::FromStart ? chordDue_ : now) + length;
  // A chord that came later than its successor was due (the program was
  // held up) starts the count afresh, rather than letting the chords it
  // missed follow in a burst. One that left ahead of its tick came at its
  // moment, however late the tick: its successor keeps its own moment,
  // sounding at once when that has passed, unless the next one is due too.
  if ((sentAhead ? chordDue_ + length : chordDue_) <= now) {
    chordDue_ = now + length;
  }
  armDue();
}

void ScorePlayback::armDue() {
  TimerService::Callback callback = [this, generation = generation_,
                                     alive = std::weak_ptr<const bool>(alive_)] {
    if (!alive.expired()) {
      advance(generation);
    }
  };
  soundingAhead_.reset();
  const ScoreEntry* next = midi_.isOpen() ? upcoming() : nullptr;
  if (next == nullptr) {
    timer_ = timers_.scheduleAt(chordDue_, std::move(callback));
    return;
  }
  DesignerChord chord = chord_;
  Score::applyEntryToDesigner(*next, chord, instrument_.strings());
  std::array<std::int8_t, kStringSlots> sounding = midi_.soundingNotes;
  auto sent = std::make_shared<std::atomic<bool>>(false);
  auto sound = midi_.sender(midi_.chordMessages(chord, 0, sounding), sent);
  soundingAhead_ = sounding;
  aheadSent_ = std::move(sent);
  timer_ = timers_.scheduleSoundAt(chordDue_, std::move(sound), std::move(callback));
}

void ScorePlayback::rearm() {
  timers_.cancel(timer_);
  // The chord may have left on the timing side with only its tick still on
  // its way, now cancelled: the strings sound what it struck, and the next
  // chord must stop those notes.
  if (soundingAhead_ && aheadSent_ && aheadSent_->load()) {
    midi_.soundingNotes = *soundingAhead_;
  }
  armDue();
}

const ScoreEntry* ScorePlayback::upcoming() const {
  const Score::Entries& entries = score_.entries();
  const auto index = static_cast<std::size_t>(score_.currentIndex());
  if (index < entries.size()) {
    return &*std::next(entries.begin(), static_cast<std::ptrdiff_t>(index));
  }
  return repeat_ && !entries.empty() ? &entries.front() : nullptr;
}

void ScorePlayback::advance(std::uint64_t generation) {
  if (generation != generation_ || !playing_) {
    return;
  }
  timer_ = {};
  if (!score_.goNext()) {
    if (!repeat_) {
      midi_.allNotesOff();
      playing_ = false;
      ++generation_;
      notify(stateChanged_);
      return;
    }
    score_.goFirst();
  }
  tick();
}

void ScorePlayback::disarm() {
  ++generation_;
  soundingAhead_.reset();
  if (timer_ != TimerHandle{}) {
    timers_.cancel(timer_);
    timer_ = {};
  }
}

void ScorePlayback::notify(const Notice& notice) const {
  if (notice) {
    notice();
  }
}

}  // namespace fretlets
