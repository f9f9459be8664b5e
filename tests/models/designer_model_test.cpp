#include "models/designer_model.h"

#include <gtest/gtest.h>

#include <sstream>
#include <string>
#include <string_view>
#include <vector>

#include "sound/midi_records.h"

namespace fretlets {
namespace {

// Frets as players write them, low string first: "x,3,2,0,1,0".
DesignerChord::Slots frets(std::string_view text) {
  DesignerChord::Slots slots{kNone, kNone, kNone, kNone, kNone, kNone};
  std::istringstream in{std::string(text)};
  std::string fret;
  for (int s = 0; std::getline(in, fret, ','); ++s) {
    slots[s] = static_cast<std::int8_t>(fret == "x" ? kNone : std::stoi(fret));
  }
  return slots;
}

std::string fretsText(const DesignerChord::Slots& slots) {
  std::string text;
  for (int s = 0; s < kStringSlots; ++s) {
    text += s ? "," : "";
    text += slots[s] == kNone ? "x" : std::to_string(slots[s]);
  }
  return text;
}

std::string heldText(const DesignerChord& chord) {
  std::string text;
  for (bool held : chord.held) {
    text += held ? 'h' : '.';
  }
  return text;
}

// A Designer on fresh records: a guitar in standard tuning, MIDI open on an
// output that records what it is handed.
struct Rig : MidiRecords<> {
  Rig() {
    EXPECT_TRUE(midi.openMidiMapper());
    model.midiOpened();
  }

  // The notes struck since the last call, as note numbers.
  std::vector<int> struck() {
    std::vector<int> notes;
    for (std::uint32_t message : output.messages()) {
      if (messageStatus(message) == 0x90) {
        notes.push_back(messageData1(message));
      }
    }
    output.clear();
    return notes;
  }

  DesignerModel model{instrument, chord, midi};
};

struct ClickStep {
  int row;
  int slot;
  const char* frets;  // after the click
  const char* held;
  int struck;  // the note sounded, or -1
};

struct ClickCase {
  const char* name;
  int topFret;
  bool barred;
  bool hold;
  const char* start;
  std::vector<ClickStep> steps;
};

TEST(DesignerModel, FretClicksCycleEachStringThroughFrettedMutedOpenAndHeld) {
  const std::vector<ClickCase> cases{
      {"fret, mute, open, mute",
       0,
       false,
       false,
       "x,x,x,x,x,x",
       {{1, 4, "x,x,x,x,1,x", "......", 60},
        {1, 4, "x,x,x,x,x,x", "......", -1},
        {0, 4, "x,x,x,x,0,x", "......", 59},
        {0, 4, "x,x,x,x,x,x", "......", -1}}},
      {"another row moves the string",
       0,
       false,
       false,
       "0,2,2,1,0,0",
       {{3, 1, "0,3,2,1,0,0", "......", 48}, {0, 1, "0,0,2,1,0,0", "......", 45}}},
      {"hold marks and unmarks, never mutes",
       0,
       false,
       true,
       "x,x,x,x,1,0",
       {{1, 4, "x,x,x,x,1,0", "....h.", -1},
        {1, 4, "x,x,x,x,1,0", "......", 60},
        {0, 5, "x,x,x,x,1,0", ".....h", -1},
        {2, 5, "x,x,x,x,1,2", "......", 66}}},
      {"rows count from the top fret",
       5,
       false,
       false,
       "x,x,x,x,x,x",
       {{2, 0, "7,x,x,x,x,x", "......", 47}, {5, 5, "7,x,x,x,x,10", "......", 74}}},
      {"row 0 of a barred top fret frets the string",
       3,
       true,
       false,
       "x,x,x,x,x,x",
       {{0, 2, "x,x,3,x,x,x", "......", 53}, {0, 2, "x,x,x,x,x,x", "......", -1}}},
  };
  for (const ClickCase& c : cases) {
    SCOPED_TRACE(c.name);
    Rig rig;
    rig.model.setTopFret(c.topFret);
    rig.model.setBarred(c.barred);
    rig.model.setHoldAll(c.hold);
    rig.chord.frets = frets(c.start);
    rig.chord.held.fill(false);
    rig.model.setPlayNotes(true);
    for (const ClickStep& step : c.steps) {
      SCOPED_TRACE("click row " + std::to_string(step.row) + " slot " + std::to_string(step.slot));
      EXPECT_TRUE(rig.model.fretClick(step.row, step.slot));
      EXPECT_EQ(fretsText(rig.chord.frets), step.frets);
      EXPECT_EQ(heldText(rig.chord), step.held);
      EXPECT_EQ(rig.struck(), step.struck < 0 ? std::vector<int>{} : std::vector<int>{step.struck});
    }
  }
}

TEST(DesignerModel, ClicksOutsideTheDiagramOrTheInstrumentChangeNothing) {
  Rig rig;
  rig.instrument.currentInstrument = 13;  // Saz, three strings
  defaultTuning(13, rig.instrument.tuning);
  for (const auto& [row, slot] : {std::pair{6, 0}, {-1, 0}, {1, 3}, {1, -1}, {1, 5}}) {
    EXPECT_FALSE(rig.model.fretClick(row, slot));
  }
  EXPECT_EQ(fretsText(rig.chord.frets), "x,x,x,x,x,x");
  EXPECT_TRUE(rig.struck().empty());
}

struct FretboardMoveCase {
  const char* name;
  int topFret;
  bool barred;
  const char* start;
  int newTopFret;  // -1: toggle the bar instead
  const char* expected;
  int expectedTopFret;
};

TEST(DesignerModel, TheBarAndTheTopFretMoveTheStrings) {
  const std::vector<FretboardMoveCase> cases{
      {"bar on: open strings take the top fret", 3, false, "0,5,5,4,0,0", -1, "3,5,5,4,3,3", 3},
      {"bar off: strings at the top fret open", 3, true, "3,5,5,4,3,3", -1, "0,5,5,4,0,0", 3},
      {"up from 0 without bar: open stays open", 0, false, "x,3,2,0,1,0", 2, "x,5,4,0,3,0", 2},
      {"up from 0 with bar: open takes the bar", 0, true, "x,3,2,0,1,0", 2, "x,5,4,2,3,2", 2},
      {"up from a raised top fret: no bar rule", 2, true, "x,5,4,2,3,2", 4, "x,7,6,4,5,4", 4},
      {"back to the nut: the barred fret opens", 2, true, "x,5,4,2,3,2", 0, "x,3,2,0,1,0", 0},
      {"the range ends at 17", 15, false, "x,16,x,x,x,x", 30, "x,18,x,x,x,x", 17},
      {"a string left off the neck mutes", 5, false, "1,6,x,x,x,x", 0, "x,1,x,x,x,x", 0},
  };
  for (const FretboardMoveCase& c : cases) {
    SCOPED_TRACE(c.name);
    Rig rig;
    rig.chord.topFret = static_cast<std::int8_t>(c.topFret);
    rig.chord.barred = c.barred;
    rig.chord.frets = frets(c.start);
    rig.model.chordLoaded();
    if (c.newTopFret < 0) {
      rig.model.setBarred(!c.barred);
      EXPECT_EQ(rig.chord.barred, !c.barred);
    } else {
      rig.model.setTopFret(c.newTopFret);
    }
    EXPECT_EQ(fretsText(rig.chord.frets), c.expected);
    EXPECT_EQ(rig.model.topFret(), c.expectedTopFret);
    EXPECT_EQ(rig.chord.topFret, c.expectedTopFret);
  }
}

TEST(DesignerModel, TheRequestedRootNamesTheChordUntilItsStringStopsSounding) {
  Rig rig;
  rig.chord.frets = frets("x,0,2,2,1,0");
  DesignerView view = rig.model.refresh();
  EXPECT_EQ(view.root, "A");
  EXPECT_EQ(view.type, "m");
  EXPECT_TRUE(view.strings[1].isRoot);

  rig.model.chooseRoot(4);
  view = rig.model.refresh();
  EXPECT_EQ(std::string(view.root) + std::string(view.type) + "/" + std::string(view.bass), "C6/A");
  EXPECT_EQ(view.implied, (ImpliedIntervals{false, true, false, false}));
  EXPECT_TRUE(view.strings[4].isRoot);
  EXPECT_EQ(rig.chord.rootString, 4);  // the root a book or score files
  EXPECT_FALSE(view.strings[1].isRoot);
  EXPECT_EQ(view.strings[1].interval, "6");
  EXPECT_EQ(view.strings[1].note, "A");
  EXPECT_EQ(view.strings[4].interval, "1");

  rig.model.chooseRoot(0);  // a silent string cannot be the root
  EXPECT_EQ(rig.model.requestedRoot(), 4);

  rig.model.fretClick(2, 4);  // the C string moves to C#: still the root
  EXPECT_TRUE(rig.model.refresh().strings[4].isRoot);
  rig.model.fretClick(2, 4);  // muted: the lowest string names the chord again
  view = rig.model.refresh();
  EXPECT_EQ(rig.model.requestedRoot(), kNone);
  EXPECT_EQ(view.root, "A");
  EXPECT_TRUE(view.strings[1].isRoot);
  EXPECT_FALSE(view.strings[4].sounds);
  EXPECT_EQ(view.strings[4].interval, "");
  rig.model.fretClick(2, 4);  // sounding again, but no longer requested
  EXPECT_EQ(rig.model.refresh().root, "A");
}

TEST(DesignerModel, RefreshSpellsFromTheRootAndEmptiesEverythingWhenNothingSounds) {
  Rig rig;
  rig.chord.frets = frets("0,2,2,1,0,0");
  rig.model.setEnharmonic(true);
  DesignerView view = rig.model.refresh();
  EXPECT_EQ(view.root, "Fb");
  EXPECT_EQ(view.strings[3].note, "Ab");
  EXPECT_EQ(view.strings[3].interval, "3");

  rig.model.clear();
  view = rig.model.refresh();
  for (const DesignerStringView& string : view.strings) {
    EXPECT_FALSE(string.sounds);
    EXPECT_FALSE(string.isRoot);
    EXPECT_EQ(string.note, "");
  }
  EXPECT_EQ(view.root, "");
  EXPECT_EQ(view.type, "");
  EXPECT_EQ(view.implied, ImpliedIntervals{});
}

TEST(DesignerModel, ClearMutesButKeepsHeldMarksBarAndTopFret) {
  Rig rig;
  rig.model.setTopFret(3);
  rig.model.setBarred(true);
  rig.chord.frets = frets("3,5,5,4,3,3");
  rig.model.setHoldAll(true);
  rig.model.setHoldAll(false);  // releases every mark
  rig.model.setHoldAll(true);
  rig.model.clear();
  EXPECT_EQ(fretsText(rig.chord.frets), "x,x,x,x,x,x");
  EXPECT_EQ(heldText(rig.chord), "hhhhhh");
  EXPECT_TRUE(rig.chord.barred);
  EXPECT_EQ(rig.model.topFret(), 3);
  rig.model.fretClick(2, 1);  // fretting a string clears its own mark only
  EXPECT_EQ(heldText(rig.chord), "h.hhhh");
}

struct MidiCase {
  const char* name;
  std::vector<std::string_view> actions;  // "on", "off", "close", "open"
  bool expectedPlayNotes;
};

TEST(DesignerModel, PlayNotesIsKeptWhileMidiIsClosed) {
  const std::vector<MidiCase> cases{
      {"on survives a close", {"on", "close", "open"}, true},
      {"off survives a close", {"off", "close", "open"}, false},
      {"a second close keeps it", {"on", "close", "close", "open"}, true},
      {"a second open keeps the button", {"off", "open"}, false},
      {"no switching while closed", {"off", "close", "on", "open"}, false},
  };
  for (const MidiCase& c : cases) {
    SCOPED_TRACE(c.name);
    Rig rig;
    for (std::string_view action : c.actions) {
      if (action == "on" || action == "off") {
        rig.model.setPlayNotes(action == "on");
      } else if (action == "close") {
        rig.midi.closeMidi();
        rig.model.midiClosed();
        EXPECT_FALSE(rig.model.playNotesOn());
        EXPECT_FALSE(rig.model.playEnabled());
      } else {
        rig.midi.openMidiMapper();
        rig.model.midiOpened();
      }
    }
    EXPECT_EQ(rig.model.playNotesOn(), c.expectedPlayNotes);
    EXPECT_TRUE(rig.model.playEnabled());
  }
}

TEST(DesignerModel, PlayArpeggiatesTheUnheldStringsAtTheSliderSpeed) {
  Rig rig;
  rig.chord.frets = frets("x,3,2,0,1,0");
  rig.chord.held[3] = true;
  rig.model.setArpeggioDelay(0);
  EXPECT_EQ(rig.midi.arpeggioDelayMs, 1);
  rig.model.setArpeggioDelay(900);
  EXPECT_EQ(rig.midi.arpeggioDelayMs, 500);
  rig.model.setArpeggioDelay(100);
  rig.model.play();
  rig.timers.advance(std::chrono::milliseconds(1000));
  ASSERT_EQ(rig.output.sent().size(), 4U);
  EXPECT_EQ(rig.output.sent()[3].time, std::chrono::milliseconds(300));
  EXPECT_EQ(rig.struck(), (std::vector<int>{48, 52, 60, 64}));

  rig.model.silence();
  EXPECT_EQ(rig.output.messages(), std::vector<std::uint32_t>{shortMessage(0xB0, 123, 0)});
}

TEST(DesignerModel, AChangedInstrumentClearsTheChordButKeepsTheDiagramsPosition) {
  Rig rig;
  rig.model.setTopFret(4);
  rig.chord.frets = frets("5,7,7,6,5,5");
  rig.chord.held[2] = true;
  rig.model.chooseRoot(2);
  rig.instrument.currentInstrument = 13;
  defaultTuning(13, rig.instrument.tuning);
  rig.model.instrumentChanged();
  EXPECT_EQ(fretsText(rig.chord.frets), "x,x,x,x,x,x");
  EXPECT_EQ(heldText(rig.chord), "......");
  EXPECT_EQ(rig.model.topFret(), 4);
  rig.model.refresh();
  EXPECT_EQ(rig.model.requestedRoot(), kNone);
}

TEST(DesignerModel, ALoadedChordBringsItsTopFretAndRootAndLosesWhatTheDiagramCannotHold) {
  Rig rig;
  rig.chord.topFret = 40;
  rig.chord.rootString = 2;
  rig.chord.frets = {static_cast<std::int8_t>(-4), 19, 20, 30, 22, 0};
  rig.model.chordLoaded();
  EXPECT_EQ(rig.model.topFret(), 17);
  EXPECT_EQ(rig.chord.topFret, 17);
  EXPECT_EQ(fretsText(rig.chord.frets), "x,19,20,x,22,0");
  EXPECT_TRUE(rig.model.refresh().strings[2].isRoot);
  EXPECT_EQ(rig.model.requestedRoot(), 2);
}

struct MarkCase {
  const char* name;
  int topFret;
  bool barred;
  int fret;
  DiagramMark::Kind kind;
  int row;
  int outside;
};

TEST(DesignerModel, EveryPlayedStringHasAMarkInsideTheDiagram) {
  using Kind = DiagramMark::Kind;
  const std::vector<MarkCase> cases{
      {"muted", 0, false, kNone, Kind::Muted, 0, 0},
      {"open", 3, false, 0, Kind::Open, 0, 0},
      {"barred top fret", 3, true, 3, Kind::Fretted, 0, 0},
      {"last row", 3, false, 8, Kind::Fretted, 5, 0},
      {"open under a bar away from the nut", 3, true, 0, Kind::Fretted, 0, -1},
      {"below the diagram", 0, false, 12, Kind::Fretted, 5, 1},
      {"above the diagram", 7, false, 2, Kind::Fretted, 0, -1},
  };
  for (const MarkCase& c : cases) {
    SCOPED_TRACE(c.name);
    Rig rig;
    rig.chord.topFret = static_cast<std::int8_t>(c.topFret);
    rig.chord.barred = c.barred;
    rig.chord.frets[2] = static_cast<std::int8_t>(c.fret);
    rig.model.chordLoaded();
    const DiagramMark mark = rig.model.mark(2);
    EXPECT_EQ(mark.kind, c.kind);
    EXPECT_EQ(mark.row, c.row);
    EXPECT_EQ(mark.outside, c.outside);
  }
}

}  // namespace
}  // namespace fretlets
