#include "midi/midi_device.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <cstdio>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "midi/manual_timer_service.h"
#include "midi/recording_output.h"

namespace fretlets {
namespace {

using std::chrono::milliseconds;
using ::testing::ElementsAre;

// "90 40 64": status and data bytes as a MIDI monitor shows them.
std::string bytes(std::uint32_t message) {
  char text[9];
  std::snprintf(text, sizeof text, "%02X %02X %02X", messageStatus(message), messageData1(message),
                messageData2(message));
  return text;
}

class MidiDeviceTest : public ::testing::Test {
 protected:
  void SetUp() override { ASSERT_TRUE(device.openMidiMapper()); }

  std::vector<std::string> sent() const {
    std::vector<std::string> result;
    for (const std::uint32_t message : output.messages()) {
      result.push_back(bytes(message));
    }
    return result;
  }

  // Each message with the millisecond it went out.
  std::vector<std::pair<long, std::string>> timeline() const {
    std::vector<std::pair<long, std::string>> result;
    for (const RecordingOutput::Sent& s : output.sent()) {
      result.emplace_back(std::chrono::duration_cast<milliseconds>(s.time).count(),
                          bytes(s.message));
    }
    return result;
  }

  void setFrets(DesignerChord::Slots frets) { chord.frets = frets; }

  InstrumentState instrument;  // guitar in standard tuning: 40 45 50 55 59 64
  DesignerChord chord;
  ManualTimerService timers;
  RecordingOutput output{timers};
  MidiDevice device{instrument, chord, timers, {output}};
};

TEST_F(MidiDeviceTest, ComposesTheChannelMessages) {
  device.velocity = 100;
  device.noteOn(64);
  device.noteOff(64);
  device.allNotesOff();
  device.selectPatch(0, 24);
  device.selectPatch(16, 24);
  EXPECT_EQ(output.messages().front(), 0x644090U);
  EXPECT_THAT(sent(), ElementsAre("90 40 64", "80 40 00", "B0 7B 00", "B0 20 00", "C0 18 00",
                                  "B0 20 10", "C0 18 00"));
}

TEST_F(MidiDeviceTest, DataBytesNeverCarryTheStatusBit) {
  device.velocity = 200;
  device.noteOn(64);
  EXPECT_THAT(sent(), ElementsAre("90 40 48"));
}

TEST_F(MidiDeviceTest, RememberPatchStoresWithoutSending) {
  device.rememberPatch(MidiStandard::XG, 96, 16, 24);
  EXPECT_TRUE(output.sent().empty());
  EXPECT_EQ(device.midiStandard, MidiStandard::XG);
  EXPECT_EQ(device.patchIndex, 96);
  EXPECT_EQ(device.bank, 16);
  EXPECT_EQ(device.program, 24);
}

TEST_F(MidiDeviceTest, PlayStringNoteAddsTheFretToTheOpenString) {
  device.playStringNote(1, 3);  // A string, third fret: C3
  device.playStringNote(5, 0);
  device.playStringNote(6, 0);   // no such slot
  device.playStringNote(-1, 0);  // no such slot
  EXPECT_THAT(sent(), ElementsAre("90 30 7F", "90 40 7F"));
}

TEST_F(MidiDeviceTest, ArpeggioStrikesPlayedStringsDelayApart) {
  device.arpeggioDelayMs = 10;
  setFrets({-1, 3, 2, 0, 1, 0});  // C major
  device.arpeggiateChord(0);
  timers.advance(milliseconds(100));
  EXPECT_THAT(timeline(), ElementsAre(std::pair{0L, "90 30 7F"}, std::pair{10L, "90 34 7F"},
                                      std::pair{20L, "90 37 7F"}, std::pair{30L, "90 3C 7F"},
                                      std::pair{40L, "90 40 7F"}));
  EXPECT_EQ(timers.pendingCount(), 0U);
}

TEST_F(MidiDeviceTest, SkippedStringsCostNoTime) {
  device.arpeggioDelayMs = 25;
  setFrets({0, -1, 2, -1, -1, 0});
  chord.held[2] = true;
  device.arpeggiateChord(0);
  timers.advance(milliseconds(100));
  EXPECT_THAT(timeline(), ElementsAre(std::pair{0L, "90 28 7F"}, std::pair{25L, "90 40 7F"}));
}

TEST_F(MidiDeviceTest, MutedChordStartsNoTimer) {
  device.arpeggiateChord(0);
  EXPECT_TRUE(output.sent().empty());
  EXPECT_EQ(timers.pendingCount(), 0U);
}

TEST_F(MidiDeviceTest, ArpeggioReadsTheChordAsEachStepRuns) {
  device.arpeggioDelayMs = 10;
  setFrets({0, 2, 2, 1, 0, 0});  // E major
  device.arpeggiateChord(0);
  timers.advance(milliseconds(15));  // two strings struck
  setFrets({0, 2, 2, 0, -1, 3});     // now E minor, top string at G, B muted
  instrument.tuning[5] = 62;         // and the top string retuned to D
  timers.advance(milliseconds(100));
  EXPECT_THAT(timeline(), ElementsAre(std::pair{0L, "90 28 7F"}, std::pair{10L, "90 2F 7F"},
                                      std::pair{20L, "90 34 7F"}, std::pair{30L, "90 37 7F"},
                                      std::pair{40L, "90 41 7F"}));
}

TEST_F(MidiDeviceTest, ArpeggioStopsAtTheInstrumentsStringCount) {
  adoptInstrument(instrument, 15, instrumentTable[15].defaultTuning);  // violin, 4 strings
  setFrets({0, 0, 0, 0, 0, 0});
  device.arpeggiateChord(2);
  timers.advance(milliseconds(100));
  EXPECT_THAT(sent(), ElementsAre("90 45 7F", "90 4C 7F"));
}

TEST_F(MidiDeviceTest, OpenStringsPlayHalfASecondApart) {
  adoptInstrument(instrument, 0, instrumentTable[0].defaultTuning);  // banjo: 48 55 59 62
  setFrets({5, 5, 5, 5, -1, -1});                                    // the chord plays no part
  device.playOpenStrings(0);
  timers.advance(milliseconds(3000));
  EXPECT_THAT(timeline(), ElementsAre(std::pair{0L, "90 30 7F"}, std::pair{500L, "90 37 7F"},
                                      std::pair{1000L, "90 3B 7F"}, std::pair{1500L, "90 3E 7F"}));
}

TEST_F(MidiDeviceTest, TwoChainsRunInterleaved) {
  device.arpeggioDelayMs = 300;
  setFrets({-1, -1, -1, -1, 1, 1});
  device.playOpenStrings(4);
  device.arpeggiateChord(0);
  timers.advance(milliseconds(1000));
  EXPECT_THAT(timeline(), ElementsAre(std::pair{0L, "90 3B 7F"}, std::pair{0L, "90 3C 7F"},
                                      std::pair{300L, "90 41 7F"}, std::pair{500L, "90 40 7F"}));
}

TEST_F(MidiDeviceTest, SoundChordRestrikesUnheldStrings) {
  device.soundingNotes.fill(kNone);
  setFrets({-1, 3, 2, 0, 1, 0});
  device.soundChord(0);
  EXPECT_THAT(sent(), ElementsAre("90 30 7F", "90 34 7F", "90 37 7F", "90 3C 7F", "90 40 7F"));
  output.clear();
  device.soundChord(0);  // the same chord again: each string stops and sounds anew
  EXPECT_THAT(sent(), ElementsAre("80 30 00", "90 30 7F", "80 34 00", "90 34 7F", "80 37 00",
                                  "90 37 7F", "80 3C 00", "90 3C 7F", "80 40 00", "90 40 7F"));
}

TEST_F(MidiDeviceTest, SoundChordLetsHeldStringsRing) {
  device.soundingNotes.fill(kNone);
  setFrets({-1, -1, -1, -1, 1, 0});
  device.soundChord(4);
  output.clear();
  chord.held[4] = true;
  chord.held[5] = true;
  setFrets({-1, -1, -1, -1, 1, 3});  // string 4 unchanged, string 5 moves to G
  device.soundChord(0);
  EXPECT_THAT(sent(), ElementsAre("80 40 00"));
  EXPECT_EQ(device.soundingNotes[4], 60);
  EXPECT_EQ(device.soundingNotes[5], 67);
}

TEST_F(MidiDeviceTest, SoundChordStopsUnplayedStringsOnlyOnRelease) {
  device.soundingNotes.fill(kNone);
  setFrets({-1, -1, -1, -1, -1, 0});
  device.soundChord(0);
  setFrets({-1, -1, -1, -1, -1, -1});
  chord.release = false;
  output.clear();
  device.soundChord(0);
  EXPECT_TRUE(output.sent().empty());
  EXPECT_EQ(device.soundingNotes[5], 64);

  chord.release = true;
  device.soundChord(0);
  EXPECT_THAT(sent(), ElementsAre("80 40 00"));
  EXPECT_EQ(device.soundingNotes[5], kNone);
}

TEST_F(MidiDeviceTest, CloseMidiSilencesBeforeClosing) {
  device.noteOn(64);
  device.closeMidi();
  EXPECT_FALSE(device.isOpen());
  EXPECT_FALSE(output.isOpen());
  EXPECT_THAT(sent(), ElementsAre("90 40 7F", "B0 7B 00"));
  device.noteOn(64);  // lost, as on a closed port
  EXPECT_EQ(output.sent().size(), 2U);
}

TEST_F(MidiDeviceTest, ChainOutlivingCloseSendsNothing) {
  device.arpeggioDelayMs = 10;
  setFrets({0, 0, 0, 0, 0, 0});
  device.arpeggiateChord(0);
  device.closeMidi();
  timers.advance(milliseconds(100));
  EXPECT_THAT(sent(), ElementsAre("90 28 7F", "B0 7B 00"));
}

TEST(MidiDevice, DestructionSilencesAndStopsItsChains) {
  InstrumentState instrument;
  DesignerChord chord;
  chord.frets = {0, 0, 0, 0, 0, 0};
  ManualTimerService timers;
  RecordingOutput output(timers);
  {
    MidiDevice device(instrument, chord, timers, {output});
    ASSERT_TRUE(device.openMidiMapper());
    device.arpeggioDelayMs = 10;
    device.arpeggiateChord(0);
  }
  EXPECT_EQ(timers.pendingCount(), 0U);
  timers.advance(milliseconds(100));
  EXPECT_EQ(output.messages(), (std::vector<std::uint32_t>{0x7F2890, 0x007BB0}));
  EXPECT_FALSE(output.isOpen());
}

TEST(MidiDevice, OpensTheFirstOutputThatIsAvailable) {
  InstrumentState instrument;
  DesignerChord chord;
  ManualTimerService timers;
  RecordingOutput builtIn(timers);
  RecordingOutput port(timers);
  MidiDevice device(instrument, chord, timers, {builtIn, port});

  builtIn.setAvailable(false);
  port.setAvailable(false);
  EXPECT_FALSE(device.openMidiMapper());
  EXPECT_FALSE(device.isOpen());
  device.noteOn(60);

  port.setAvailable(true);
  EXPECT_TRUE(device.openMidiMapper());
  device.noteOn(62);
  EXPECT_TRUE(builtIn.sent().empty());
  EXPECT_EQ(port.messages(), std::vector<std::uint32_t>{0x7F3E90});

  builtIn.setAvailable(true);
  EXPECT_TRUE(device.openMidiMapper());  // already open: stays on the port
  EXPECT_FALSE(builtIn.isOpen());
  device.closeMidi();
  EXPECT_TRUE(device.openMidiMapper());
  EXPECT_TRUE(builtIn.isOpen());
}

TEST(MidiDevice, StartsClosedWithTheSharedDefaults) {
  InstrumentState instrument;
  DesignerChord chord;
  ManualTimerService timers;
  const MidiDevice device(instrument, chord, timers, {});
  EXPECT_FALSE(device.isOpen());
  EXPECT_TRUE(device.playNotes);
  EXPECT_EQ(device.velocity, 127);
  EXPECT_EQ(device.arpeggioDelayMs, 1);
  EXPECT_EQ(device.tuningDelayMs, 500);
  EXPECT_EQ(device.midiStandard, MidiStandard::GM);
  EXPECT_EQ(device.patchIndex, 24);
}

}  // namespace
}  // namespace fretlets
