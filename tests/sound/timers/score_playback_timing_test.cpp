#include <gtest/gtest.h>

#include <atomic>
#include <thread>

#include "documents/score.h"
#include "models/score_playback.h"
#include "sound/midi_device.h"
#include "sound/owner_loop.h"
#include "sound/thread_timer_service.h"

namespace fretlets {
namespace {

// Counts the note-ons that arrive from threads other than the one that made it.
struct ThreadCountingOutput : MidiOutput {
  bool open() override { return true; }
  void close() override {}
  void send(std::uint32_t message) override {
    fromElsewhere += messageStatus(message) == 0x90 && std::this_thread::get_id() != owner;
  }
  const std::thread::id owner = std::this_thread::get_id();
  std::atomic<int> fromElsewhere = 0;
};

// On the real timers every chord after the first leaves from the timing
// thread while the owner shows it; ThreadSanitizer watches that the two share
// nothing unguarded.
TEST(ScorePlaybackTiming, ChordsLeaveFromTheTimingThreadWhileTheOwnerShowsThem) {
  OwnerLoop loop;
  ThreadTimerService timers(loop.handOver());
  ThreadCountingOutput output;
  InstrumentState instrument;
  DesignerChord chord;
  MidiDevice midi(instrument, chord, timers, {output});
  ASSERT_TRUE(midi.openMidiMapper());
  Score score("", {});
  for (int k = 0; k < 4; ++k) {
    ScoreEntry entry;
    entry.frets[0] = static_cast<std::int8_t>(k + 1);
    entry.beatsToNext = 3;
    score.appendEntry(entry);
  }
  ScorePlayback playback(score, chord, instrument, midi, timers);
  playback.setTempo(750);
  playback.setRepeat(false);
  playback.run();
  ASSERT_TRUE(loop.pumpUntil([&] { return !playback.playing(); }, std::chrono::seconds(5)));
  timers.stop();
  EXPECT_EQ(score.currentIndex(), 4);  // every chord was shown
  EXPECT_EQ(output.fromElsewhere, 3);
}

// An arpeggio's notes leave from the timing thread while the owner is away;
// a chord edited after a note left, before its step came back to the owner,
// strikes no string twice.
TEST(ArpeggioTiming, NotesLeaveWithoutTheOwnerAndAnEditStrikesNoStringTwice) {
  OwnerLoop loop;
  ThreadTimerService timers(loop.handOver());
  ThreadCountingOutput output;
  InstrumentState instrument;
  DesignerChord chord;
  chord.frets.fill(0);
  MidiDevice midi(instrument, chord, timers, {output});
  ASSERT_TRUE(midi.openMidiMapper());
  midi.arpeggioDelayMs = 20;
  midi.arpeggiateChord(0);  // the low string at once, from the owner
  for (int i = 0; i < 5000 && output.fromElsewhere == 0; ++i) {
    std::this_thread::sleep_for(std::chrono::milliseconds(1));
  }
  ASSERT_EQ(output.fromElsewhere, 1);
  midi.chordEdited();
  loop.pumpUntil([] { return false; }, std::chrono::milliseconds(300));
  timers.stop();
  EXPECT_EQ(output.fromElsewhere, 5);
}

}  // namespace
}  // namespace fretlets
