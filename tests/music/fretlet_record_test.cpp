#include "music/fretlet_record.h"

#include <gtest/gtest.h>

#include "chord_fixture.h"

namespace fretlets {
namespace {

using Slots = DesignerChord::Slots;
using test::designer;
using test::fretlet;

constexpr int kSix = 6;
constexpr std::int8_t kBarred = FretletRecord::kMovableBarred;
constexpr std::int8_t kMoves = FretletRecord::kMovable;

TEST(FretletRecord, OpenShapesAreFixedAndClosedOrBarredShapesMove) {
  const struct {
    DesignerChord chord;
    int strings;
    Slots stored;
    std::int8_t position;
  } cases[] = {
      {designer({-1, 3, 2, 0, 1, 0}, 0, false, 1), kSix, {-1, 3, 2, 0, 1, 0}, 0},  // open C
      {designer({1, 3, 3, 2, 1, 1}, 1, true, 0), kSix, {0, 2, 2, 1, 0, 0}, kBarred},
      // Without the bar the shape reaches the top row: fixed at fret 1.
      {designer({1, 3, 3, 2, 1, 1}, 1, false, 0), kSix, {1, 3, 3, 2, 1, 1}, 1},
      // A closed shape at the nut touches no top-row string: movable as it is.
      {designer({-1, 3, 5, 5, 4, 3}, 0, false, 1), kSix, {-1, 3, 5, 5, 4, 3}, kMoves},
      // Bar on but no string at the top row: the bar is not kept.
      {designer({-1, 5, 7, 7, 6, -1}, 4, true, 1), kSix, {-1, 1, 3, 3, 2, -1}, kMoves},
      {designer({2, 0, 0, 2, 7, 7}, 0, false, 0), 4, {2, 0, 0, 2, -1, -1}, 0},  // a mandolin
  };
  for (const auto& c : cases) {
    const FretletRecord r = captureFretlet(c.chord, c.strings);
    EXPECT_EQ(r.rootString, c.chord.rootString);
    EXPECT_EQ(r.frets, c.stored);
    EXPECT_EQ(r.position, c.position);
  }
}

// A movable shape goes to the diagram's top fret, a fixed one brings its
// own; a fret past the rows is not played, one below the top fret can only
// have been an open string and rings open. Slots beyond the strings and the
// options that travel with the Designer stay as they were.
TEST(FretletRecord, ApplyPlacesTheShapeAndNeverProducesAFretOffTheDiagram) {
  const struct {
    FretletRecord record;
    DesignerChord start;
    int strings;
    DesignerChord expected;
  } cases[] = {
      {fretlet({0, 2, 2, 1, 0, 0}, 0, kBarred), designer({}, 5, false, 3), kSix,
       designer({5, 7, 7, 6, 5, 5}, 5, true, 0)},
      {fretlet({-1, 3, 5, 5, 4, 3}, 1, kMoves), designer({}, 2, true, 0), kSix,
       designer({-1, 5, 7, 7, 6, 5}, 2, false, 1)},
      {fretlet({-1, 3, 2, 0, 1, 0}, 1), designer({3, 3, 3, 3, 3, 3}, 9, true, 0), kSix,
       designer({-1, 3, 2, 0, 1, 0}, 0, false, 1)},
      {fretlet({9, 5, 0, -1, 100, -128}, 0, kMoves), designer({}, 17, false, 0), kSix,
       designer({-1, 22, 17, -1, -1, 0}, 17, false, 0)},
      {fretlet({1, 9, 0, -1, -7, 6}, 0, 2), designer({}, 17, false, 0), kSix,
       designer({0, -1, 0, -1, 0, 6}, 2, false, 0)},
      {fretlet({2, 0, 0, 2, 9, 9}), designer({-1, -1, -1, -1, 7, 7}, 0, false, 0), 4,
       designer({2, 0, 0, 2, 7, 7}, 0, false, 0)},
      {fretlet({2, 0, 0, 2, 9, 9}, 0, kMoves), designer({-1, -1, -1, -1, 7, 7}, 0, false, 0), 4,
       designer({2, 0, 0, 2, 7, 7}, 0, false, 0)},
  };
  for (const auto& c : cases) {
    DesignerChord chord = c.start;
    chord.held = {true, false, false, false, false, true};
    chord.enharmonic = true;
    chord.release = false;
    applyFretlet(c.record, chord, c.strings);
    EXPECT_EQ(chord.frets, c.expected.frets);
    EXPECT_EQ(chord.topFret, c.expected.topFret);
    EXPECT_EQ(chord.barred, c.expected.barred);
    EXPECT_EQ(chord.rootString, c.expected.rootString);
    EXPECT_EQ(chord.held, (std::array<bool, 6>{true, false, false, false, false, true}));
    EXPECT_TRUE(chord.enharmonic && !chord.release);
  }
}

// An open string under a shape captured at any top fret rings open
// wherever the shape is applied, and every other fret lies on a row.
TEST(FretletRecord, AnOpenStringOfAMovableShapeStaysOpenWhereverItGoes) {
  for (int top = 1; top <= kMaxTopFret; ++top) {
    SCOPED_TRACE("captured at top fret " + std::to_string(top));
    const auto fret = [top](int row) { return static_cast<std::int8_t>(top + row); };
    const FretletRecord r =
        captureFretlet(designer({0, fret(2), fret(2), fret(1), -1, -1}, top, false, 1), 4);
    ASSERT_TRUE(r.movable());
    EXPECT_LT(r.frets[0], kNone);
    for (int at = 0; at <= kMaxTopFret; ++at) {
      DesignerChord chord = designer({}, at, false, 0);
      applyFretlet(r, chord, 4);
      EXPECT_EQ(chord.frets[0], 0) << "applied at " << at;
      EXPECT_EQ(chord.frets[1], at + 2) << "applied at " << at;
    }
  }
}

// Below a root a played string sorts first, also when only one of the two
// roots lies above the slot; from the root up a muted string goes first,
// then the lower fret; equal records answer true both ways.
TEST(FretletRecord, OrderPutsPlayedBassStringsFirstBelowTheRoot) {
  const struct {
    FretletRecord first;
    FretletRecord second;
  } pairs[] = {
      {fretlet({5, -1, 3, 2, 1, 0}, 2), fretlet({-1, 0, 3, 2, 1, 0}, 2)},
      {fretlet({3, 3, 2, 0, 1, 0}, 2), fretlet({-1, 3, 2, 0, 1, 0})},
      {fretlet({3, -1, 0, 0, 0, 3}), fretlet({3, 2, 0, 0, 0, 3})},
      {fretlet({1, 1, 1, 1, 1, 1}), fretlet({1, 1, 2, 1, 1, 1})},
  };
  for (const auto& p : pairs) {
    EXPECT_TRUE(fretletBefore(p.first, p.second, kSix));
    EXPECT_FALSE(fretletBefore(p.second, p.first, kSix));
    EXPECT_TRUE(fretletBefore(p.first, p.first, kSix));
  }
}

}  // namespace
}  // namespace fretlets
