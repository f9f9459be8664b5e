#include "models/designer_model.h"

#include <gtest/gtest.h>

#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "models/fretboard_geometry.h"
#include "music/chord_fixture.h"
#include "sound/midi_records.h"

namespace fretlets {
namespace {

using test::shape;

// A Designer on fresh records: a guitar in standard tuning, MIDI open on an
// output that records what it is handed.
struct Rig : MidiRecords<> {
  Rig() {
    EXPECT_TRUE(midi.openMidiMapper());
    model.midiOpened();
  }
  void load(std::string_view frets, int topFret, bool barred) {
    chord.topFret = static_cast<std::int8_t>(topFret);
    chord.barred = barred;
    chord.frets = shape(frets);
    model.chordLoaded();
  }
  DesignerModel model{instrument, chord, midi};
};

// Each row a click with "Play notes" on; a row with a start begins a new
// Designer at that top fret, bar and Hold.
TEST(DesignerModel, FretClicksCycleEachStringThroughFrettedMutedOpenAndHeld) {
  const struct {
    const char* start;  // nullptr: the Designer of the row before
    int topFret;
    bool barred;
    bool hold;
    int row;
    int slot;
    const char* frets;  // after the click
    const char* held;
    const char* sent;  // the note sounded
  } clicks[] = {
      // Fret, mute, open, mute.
      {"xxxxxx", 0, false, false, 1, 4, "xxxx1x", "......", "90 3C 7F"},
      {nullptr, 0, false, false, 1, 4, "xxxxxx", "......", ""},
      {nullptr, 0, false, false, 0, 4, "xxxx0x", "......", "90 3B 7F"},
      {nullptr, 0, false, false, 0, 4, "xxxxxx", "......", ""},
      // Another row moves the string.
      {"022100", 0, false, false, 3, 1, "032100", "......", "90 30 7F"},
      {nullptr, 0, false, false, 0, 1, "002100", "......", "90 2D 7F"},
      // Hold marks and unmarks, never mutes.
      {"xxxx10", 0, false, true, 1, 4, "xxxx10", "....h.", ""},
      {nullptr, 0, false, true, 1, 4, "xxxx10", "......", "90 3C 7F"},
      {nullptr, 0, false, true, 0, 5, "xxxx10", ".....h", ""},
      {nullptr, 0, false, true, 2, 5, "xxxx12", "......", "90 42 7F"},
      // Rows count from the top fret; row 0 of a barred top fret frets.
      {"xxxxxx", 5, false, false, 2, 0, "7xxxxx", "......", "90 2F 7F"},
      {nullptr, 5, false, false, 5, 5, "7xxxxa", "......", "90 4A 7F"},
      {"xxxxxx", 3, true, false, 0, 2, "xx3xxx", "......", "90 35 7F"},
      {nullptr, 3, true, false, 0, 2, "xxxxxx", "......", ""},
  };
  std::unique_ptr<Rig> rig;
  for (const auto& c : clicks) {
    if (c.start != nullptr) {
      rig = std::make_unique<Rig>();
      rig->model.setTopFret(c.topFret);
      rig->model.setBarred(c.barred);
      rig->model.setHoldAll(c.hold);
      rig->chord.frets = shape(c.start);
      rig->chord.held.fill(false);
      rig->model.setPlayNotes(true);
    }
    SCOPED_TRACE("click row " + std::to_string(c.row) + " slot " + std::to_string(c.slot));
    EXPECT_TRUE(rig->model.fretClick(c.row, c.slot));
    EXPECT_EQ(rig->chord.frets, shape(c.frets));
    std::string held;
    for (const bool h : rig->chord.held) {
      held += h ? 'h' : '.';
    }
    EXPECT_EQ(held, c.held);
    EXPECT_EQ(rig->sent(), c.sent);
  }
  // Clicks outside the diagram or the instrument (a saz) change nothing.
  Rig saz;
  saz.instrument.currentInstrument = 13;
  defaultTuning(13, saz.instrument.tuning);
  for (const auto& [row, slot] : {std::pair{6, 0}, {-1, 0}, {1, 3}, {1, -1}, {1, 5}}) {
    EXPECT_FALSE(saz.model.fretClick(row, slot));
  }
  EXPECT_EQ(saz.chord.frets, shape("xxxxxx"));
  EXPECT_EQ(saz.sent(), "");
}

TEST(DesignerModel, TheBarAndTheTopFretMoveTheStrings) {
  const struct {
    const char* name;
    int topFret;
    bool barred;
    const char* start;
    int newTopFret;  // -1: toggle the bar instead
    const char* expected;
    int expectedTopFret;
  } cases[] = {
      {"bar on: open strings take the top fret", 3, false, "055400", -1, "355433", 3},
      {"bar off: strings at the top fret open", 3, true, "355433", -1, "055400", 3},
      {"up from 0 without bar: open stays open", 0, false, "x32010", 2, "x54030", 2},
      {"up from 0 with bar: open takes the bar", 0, true, "x32010", 2, "x54232", 2},
      {"up from a raised top fret: no bar rule", 2, true, "x54232", 4, "x76454", 4},
      {"back to the nut: the barred fret opens", 2, true, "x54232", 0, "x32010", 0},
      {"the range ends at 17", 15, false, "xgxxxx", 30, "xixxxx", 17},
      {"a string left off the neck mutes", 5, false, "16xxxx", 0, "x1xxxx", 0},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    Rig rig;
    rig.load(c.start, c.topFret, c.barred);
    if (c.newTopFret < 0) {
      rig.model.setBarred(!c.barred);
      EXPECT_EQ(rig.chord.barred, !c.barred);
    } else {
      rig.model.setTopFret(c.newTopFret);
    }
    EXPECT_EQ(rig.chord.frets, shape(c.expected));
    EXPECT_EQ(rig.model.topFret(), c.expectedTopFret);
    EXPECT_EQ(rig.chord.topFret, c.expectedTopFret);
  }
}

TEST(DesignerModel, TheRequestedRootNamesTheChordUntilItsStringStopsSounding) {
  Rig rig;
  rig.chord.frets = shape("x02210");
  EXPECT_TRUE(rig.model.refresh().strings[1].isRoot);
  rig.model.chooseRoot(4);
  DesignerView view = rig.model.refresh();
  EXPECT_EQ(std::string(view.root) + std::string(view.type) + "/" + std::string(view.bass), "C6/A");
  EXPECT_TRUE(view.strings[4].isRoot);
  EXPECT_FALSE(view.strings[1].isRoot);
  EXPECT_EQ(rig.chord.rootString, 4);  // the root a book or score files
  rig.model.chooseRoot(0);             // a silent string cannot be the root
  EXPECT_EQ(rig.model.requestedRoot(), 4);
  rig.model.fretClick(2, 4);  // the C string moves to C#: still the root
  EXPECT_TRUE(rig.model.refresh().strings[4].isRoot);
  rig.model.fretClick(2, 4);  // muted: the lowest string names the chord again
  view = rig.model.refresh();
  EXPECT_EQ(rig.model.requestedRoot(), kNone);
  EXPECT_TRUE(view.strings[1].isRoot);
  EXPECT_EQ(view.strings[4].interval, "");
  rig.model.fretClick(2, 4);  // sounding again, but no longer requested
  EXPECT_EQ(rig.model.refresh().root, "A");
  rig.model.clear();
  view = rig.model.refresh();
  EXPECT_EQ(view.root, "");
  EXPECT_FALSE(view.strings[1].sounds || view.strings[1].isRoot);
}

TEST(DesignerModel, ALoadedChordBringsItsTopFretAndRootAndLosesWhatTheDiagramCannotHold) {
  Rig rig;
  rig.chord.topFret = 40;
  rig.chord.rootString = 2;
  rig.chord.frets = {static_cast<std::int8_t>(-4), 19, 20, 30, 22, 0};
  rig.model.chordLoaded();
  EXPECT_EQ(rig.model.topFret(), 17);
  EXPECT_EQ(rig.chord.topFret, 17);
  EXPECT_EQ(rig.chord.frets, shape("xjkxm0"));
  EXPECT_TRUE(rig.model.refresh().strings[2].isRoot);
  EXPECT_EQ(rig.model.requestedRoot(), 2);
  // Every played string has a mark inside the diagram, flagged when its
  // row lies outside.
  using Kind = DiagramMark::Kind;
  const struct {
    const char* frets;
    int topFret;
    bool barred;
    DiagramMark::Kind kind;
    int row;
    int outside;
  } marks[] = {
      {"xxxxxx", 0, false, Kind::Muted, 0, 0},   {"xx0xxx", 3, false, Kind::Open, 0, 0},
      {"xx3xxx", 3, true, Kind::Fretted, 0, 0},  {"xx8xxx", 3, false, Kind::Fretted, 5, 0},
      {"xx0xxx", 3, true, Kind::Fretted, 0, -1},  // open under a bar away from the nut
      {"xxcxxx", 0, false, Kind::Fretted, 5, 1}, {"xx2xxx", 7, false, Kind::Fretted, 0, -1},
  };
  for (const auto& m : marks) {
    SCOPED_TRACE(std::string(m.frets) + " at " + std::to_string(m.topFret));
    rig.load(m.frets, m.topFret, m.barred);
    const DiagramMark mark = rig.model.mark(2);
    EXPECT_EQ(mark.kind, m.kind);
    EXPECT_EQ(mark.row, m.row);
    EXPECT_EQ(mark.outside, m.outside);
  }
}

// A guitar's fretboard area of 124 x 212 pixels with a 16-pixel character:
// margins of 20 and 24, strings 16 apart, frets 32 apart, cells of 8; a hit
// includes a cell's left and top edges only.
TEST(FretboardGeometry, SpreadsTheStringsAndFretsOverTheAreaAndHitsTheCells) {
  const FretboardGeometry g = computeFretboardGeometry({0, 0, 124, 212}, 6, 16);
  EXPECT_EQ(
      (std::vector<int>{g.xLeft, g.xRight, g.yTop, g.yBottom, g.stringSpacing, g.fretSpacing}),
      (std::vector<int>{20, 104, 24, 188, 16, 32}));
  const CellRects cells(g, 6);
  EXPECT_EQ(cells.cell(0, 0), (PixelRect{16, 0, 24, 8}));
  EXPECT_EQ(cells.cell(2, 3), (PixelRect{64, 64, 72, 72}));
  EXPECT_EQ(cells.cell(5, 5), (PixelRect{96, 160, 104, 168}));
  using Hit = CellRects::Hit;
  const struct {
    int x;
    int y;
    std::optional<Hit> hit;
  } presses[] = {{16, 0, Hit{0, 0}},    {23, 7, Hit{0, 0}},    {24, 0, std::nullopt},
                 {15, 0, std::nullopt}, {16, 8, std::nullopt}, {30, 36, std::nullopt},
                 {64, 64, Hit{2, 3}},   {103, 167, Hit{5, 5}}, {100, 170, std::nullopt},
                 {-5, -5, std::nullopt}};
  for (const auto& p : presses) {
    EXPECT_EQ(cells.hitTest(p.x, p.y), p.hit) << p.x << "," << p.y;
  }
  // Three strings share the same width: the margins grow, the spacing too;
  // strings the instrument lacks have no cells.
  const FretboardGeometry saz = computeFretboardGeometry({0, 0, 124, 212}, 3, 16);
  EXPECT_EQ(saz.xLeft, 41);
  EXPECT_EQ(saz.stringSpacing, 21);
  EXPECT_EQ(CellRects(saz, 3).hitTest(96 + 4, 160 + 4), std::nullopt);
}

}  // namespace
}  // namespace fretlets
