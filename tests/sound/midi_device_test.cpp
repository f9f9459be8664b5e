#include "sound/midi_device.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "music/chord_fixture.h"
#include "sound/midi_records.h"

namespace fretlets {
namespace {

using std::chrono::milliseconds;

// A device on the manual clock, open on an output that records what it sends.
struct Rig : MidiRecords<> {
  Rig() { EXPECT_TRUE(midi.openMidiMapper()); }
};

class MidiDeviceTest : public ::testing::Test, protected Rig {};

TEST_F(MidiDeviceTest, ComposesTheChannelMessages) {
  midi.velocity = 100;
  midi.noteOn(64);
  midi.noteOff(64);
  midi.allNotesOff();
  midi.playStringNote(1, 3);  // A string, third fret: C3
  midi.playStringNote(6, 0);  // no such slots
  midi.playStringNote(-1, 0);
  midi.velocity = 200;  // a data byte never carries the status bit
  midi.noteOn(64);
  EXPECT_EQ(output.monitorText(), "90 40 64, 80 40 00, B0 7B 00, 90 30 64, 90 40 48");
}

// Chains started on the guitar (or another instrument of the table) and what
// they send over the next three seconds.
TEST(MidiDeviceChains, StrikeStringAfterStringOnTheClock) {
  const struct {
    const char* what;
    int instrumentRow;  // -1: the guitar
    const char* frets;  // low string first, x: muted
    int heldString;     // -1: none
    int delayMs;        // between arpeggio steps
    int openStrings;    // playOpenStrings from this string first (-1: not)
    int arpeggio;       // then arpeggiateChord from this string (-1: not)
    const char* timeline;
  } cases[] = {
      {"arpeggio: played strings delay apart", -1, "x32010", -1, 10, -1, 0,
       "0: 90 30 7F, 10: 90 34 7F, 20: 90 37 7F, 30: 90 3C 7F, 40: 90 40 7F"},
      {"muted and held strings cost no time", -1, "0x2xx0", 2, 25, -1, 0,
       "0: 90 28 7F, 25: 90 40 7F"},
      {"an all-muted chord starts no timer", -1, "xxxxxx", -1, 10, -1, 0, ""},
      {"violin: four strings only", 15, "000000", -1, 10, -1, 2, "0: 90 45 7F, 10: 90 4C 7F"},
      {"banjo open strings half a second apart, whatever the chord", 0, "5555xx", -1, 10, 0, -1,
       "0: 90 30 7F, 500: 90 37 7F, 1000: 90 3B 7F, 1500: 90 3E 7F"},
      {"two chains run interleaved", -1, "xxxx11", -1, 300, 4, 0,
       "0: 90 3B 7F, 0: 90 3C 7F, 300: 90 41 7F, 500: 90 40 7F"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    Rig rig;
    if (c.instrumentRow >= 0) {
      adoptInstrument(rig.instrument, c.instrumentRow,
                      instrumentTable[c.instrumentRow].defaultTuning);
    }
    rig.chord.frets = test::shape(c.frets);
    if (c.heldString >= 0) {
      rig.chord.held[c.heldString] = true;
    }
    rig.midi.arpeggioDelayMs = c.delayMs;
    if (c.openStrings >= 0) {
      rig.midi.playOpenStrings(c.openStrings);
    }
    if (c.arpeggio >= 0) {
      rig.midi.arpeggiateChord(c.arpeggio);
    }
    EXPECT_EQ(rig.timers.pendingCount() == 0, std::string(c.timeline).empty());
    rig.timers.advance(milliseconds(3000));
    EXPECT_EQ(rig.output.monitorText(true), c.timeline);
    EXPECT_EQ(rig.timers.pendingCount(), 0U);
  }
}

TEST_F(MidiDeviceTest, ArpeggioReadsTheChordAsEachStepRuns) {
  midi.arpeggioDelayMs = 10;
  chord.frets = test::shape("022100");  // E major
  midi.arpeggiateChord(0);
  timers.advance(milliseconds(15));     // two strings struck
  chord.frets = test::shape("0200x3");  // now the D string open, B muted, the top at G
  instrument.tuning[5] = 62;            // and the top string retuned to D
  midi.chordEdited();
  timers.advance(milliseconds(100));
  EXPECT_EQ(output.monitorText(true),
            "0: 90 28 7F, 10: 90 2F 7F, 20: 90 32 7F, 30: 90 37 7F, 40: 90 41 7F");
}

// Score playback: a chord sounds (the top two strings at C4 and E4), then the
// next one.
TEST(MidiDeviceSoundChord, StrikesStopsOrLetsRingStringByString) {
  constexpr const char* kMuted = "xxxxxx";
  const struct {
    const char* what;
    const char* next;
    bool held;
    bool release;
    const char* sent;
    int top4, top5;  // the notes the top two strings sound afterwards
  } cases[] = {
      {"unheld strings stop and sound anew", "xxxx10", false, true,
       "80 3C 00, 90 3C 7F, 80 40 00, 90 40 7F", 60, 64},
      {"held: unchanged rings, changed only stops", "xxxx13", true, true, "80 40 00", 60, 67},
      {"unplayed without release ring on", kMuted, false, false, "", 60, 64},
      {"unplayed with release stop", kMuted, false, true, "80 3C 00, 80 40 00", kNone, kNone},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    Rig rig;
    rig.midi.soundingNotes.fill(kNone);
    rig.chord.frets = test::shape("xxxx10");
    rig.midi.soundChord(0);
    EXPECT_EQ(rig.output.monitorText(), "90 3C 7F, 90 40 7F");
    rig.output.clear();
    rig.chord.frets = test::shape(c.next);
    rig.chord.held[4] = rig.chord.held[5] = c.held;
    rig.chord.release = c.release;
    rig.midi.soundChord(0);
    EXPECT_EQ(rig.output.monitorText(), c.sent);
    EXPECT_EQ(rig.midi.soundingNotes[4], c.top4);
    EXPECT_EQ(rig.midi.soundingNotes[5], c.top5);
  }
}

// Closed or destroyed mid-chain, the device silences its output once and
// strikes nothing more; a destroyed one leaves no timer behind.
TEST(MidiDevice, CloseOrDestructionMidChainSilencesAndStopsEveryChain) {
  for (const bool destroy : {false, true}) {
    SCOPED_TRACE(destroy ? "destroyed" : "closed");
    ManualTimerService timers;
    RecordingOutput output(timers);
    const InstrumentState instrument;
    const DesignerChord chord = test::chordOf("000000");
    auto midi =
        std::make_unique<MidiDevice>(instrument, chord, timers, MidiDevice::Outputs{output});
    midi->openMidiMapper();
    midi->arpeggioDelayMs = 10;
    midi->arpeggiateChord(0);
    midi->playOpenStrings(0);
    if (destroy) {
      midi.reset();
      EXPECT_EQ(timers.pendingCount(), 0U);
    } else {
      midi->closeMidi();
      midi->noteOn(64);  // lost, as on a closed port
      EXPECT_FALSE(midi->isOpen());
    }
    timers.advance(milliseconds(1000));  // and so is the rest of the chains
    EXPECT_EQ(output.monitorText(), "90 28 7F, 90 28 7F, B0 7B 00");
    EXPECT_FALSE(output.isOpen());
  }
}

TEST(MidiDevice, FallsBackFromTheSynthesizerToThePort) {
  InstrumentState instrument;
  DesignerChord chord;
  ManualTimerService timers;
  TestOutput synth(timers);
  TestOutput port(timers);
  MidiDevice device(instrument, chord, timers, {synth, port});

  synth.setAvailable(false);
  port.setAvailable(false);
  EXPECT_FALSE(device.openMidiMapper());
  EXPECT_FALSE(device.isOpen());

  port.setAvailable(true);
  EXPECT_TRUE(device.openMidiMapper());
  device.noteOn(62);
  EXPECT_EQ(port.messages(), std::vector<std::uint32_t>{0x7F3E90});

  synth.setAvailable(true);
  EXPECT_TRUE(device.openMidiMapper());  // already open: stays on the port
  EXPECT_FALSE(synth.isOpen());
  device.closeMidi();
  EXPECT_TRUE(device.openMidiMapper());
  EXPECT_TRUE(synth.isOpen());
}

}  // namespace
}  // namespace fretlets
