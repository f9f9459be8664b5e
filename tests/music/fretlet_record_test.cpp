#include <gtest/gtest.h>

#include "chord_fixture.h"
#include "music/fretlet_record.h"

namespace fretlets {
namespace {

constexpr int kSix = 6;

FretletRecord record(std::int8_t root, const DesignerChord::Slots& frets, std::int8_t position) {
  FretletRecord r;
  r.rootString = root;
  r.frets = frets;
  r.position = position;
  return r;
}

DesignerChord designer(const DesignerChord::Slots& frets, int topFret, bool barred, int root) {
  DesignerChord chord;
  chord.frets = frets;
  chord.topFret = static_cast<std::int8_t>(topFret);
  chord.barred = barred;
  chord.rootString = static_cast<std::int8_t>(root);
  return chord;
}

void expectRecord(const FretletRecord& r, int root, const DesignerChord::Slots& frets,
                  int position) {
  EXPECT_EQ(r.rootString, root);
  EXPECT_EQ(r.frets, frets);
  EXPECT_EQ(r.position, position);
}

TEST(FretletRecord, OpenShapesAreFixedAndClosedOrBarredShapesMove) {
  // Open C: fixed at the nut.
  expectRecord(captureFretlet(designer({-1, 3, 2, 0, 1, 0}, 0, false, 1), kSix), 1,
               {-1, 3, 2, 0, 1, 0}, 0);
  // F barre on the first fret with the bar: movable, bar kept.
  expectRecord(captureFretlet(designer({1, 3, 3, 2, 1, 1}, 1, true, 0), kSix), 0,
               {0, 2, 2, 1, 0, 0}, FretletRecord::kMovableBarred);
  // The same shape without the bar reaches the top row: fixed at fret 1.
  expectRecord(captureFretlet(designer({1, 3, 3, 2, 1, 1}, 1, false, 0), kSix), 0,
               {1, 3, 3, 2, 1, 1}, 1);
  // A closed shape at the nut touches no top-row string: movable as it is.
  expectRecord(captureFretlet(designer({-1, 3, 5, 5, 4, 3}, 0, false, 1), kSix), 1,
               {-1, 3, 5, 5, 4, 3}, FretletRecord::kMovable);
  // Bar on but no string at the top row: the bar is not kept.
  expectRecord(captureFretlet(designer({-1, 5, 7, 7, 6, -1}, 4, true, 1), kSix), 1,
               {-1, 1, 3, 3, 2, -1}, FretletRecord::kMovable);
}

TEST(FretletRecord, CaptureAndApplyIgnoreSlotsBeyondTheStringCount) {
  const FretletRecord r = captureFretlet(designer({2, 0, 0, 2, 7, 7}, 0, false, 0), 4);
  EXPECT_EQ(r.frets, (DesignerChord::Slots{2, 0, 0, 2, -1, -1}));
  EXPECT_EQ(r.position, 0);
  for (const std::int8_t position : {std::int8_t{0}, FretletRecord::kMovable}) {
    DesignerChord mandolin = designer({-1, -1, -1, -1, 7, 7}, 0, false, 0);
    applyFretlet(record(0, {2, 0, 0, 2, 9, 9}, position), mandolin, 4);
    EXPECT_EQ(mandolin.frets, (DesignerChord::Slots{2, 0, 0, 2, 7, 7})) << int{position};
  }
}

TEST(FretletRecord, ApplyPlacesMovableShapesAtTheCurrentTopFret) {
  DesignerChord chord = designer({-1, -1, -1, -1, -1, -1}, 5, false, 3);
  chord.held = {true, false, false, false, false, true};
  chord.enharmonic = true;
  chord.release = false;
  applyFretlet(record(0, {0, 2, 2, 1, 0, 0}, FretletRecord::kMovableBarred), chord, kSix);
  EXPECT_EQ(chord.frets, (DesignerChord::Slots{5, 7, 7, 6, 5, 5}));
  EXPECT_TRUE(chord.barred);
  EXPECT_EQ(chord.topFret, 5);
  EXPECT_EQ(chord.rootString, 0);
  // Options that travel with the Designer stay as they were.
  EXPECT_EQ(chord.held, (std::array<bool, 6>{true, false, false, false, false, true}));
  EXPECT_TRUE(chord.enharmonic);
  EXPECT_FALSE(chord.release);

  DesignerChord closed = designer({0, 0, 0, 0, 0, 0}, 2, true, 0);
  applyFretlet(record(1, {-1, 3, 5, 5, 4, 3}, FretletRecord::kMovable), closed, kSix);
  EXPECT_EQ(closed.frets, (DesignerChord::Slots{-1, 5, 7, 7, 6, 5}));
  EXPECT_FALSE(closed.barred);
}

TEST(FretletRecord, ApplyBringsFixedRecordsToTheirOwnPositionAndRoundTrips) {
  DesignerChord chord = designer({3, 3, 3, 3, 3, 3}, 9, true, 0);
  applyFretlet(record(1, {-1, 3, 2, 0, 1, 0}, 0), chord, kSix);
  EXPECT_EQ(chord.frets, (DesignerChord::Slots{-1, 3, 2, 0, 1, 0}));
  EXPECT_EQ(chord.topFret, 0);
  EXPECT_FALSE(chord.barred);
  EXPECT_EQ(chord.rootString, 1);

  // Capturing what was applied gives the same record back, fixed or movable.
  for (const FretletRecord& r : {record(1, {-1, 3, 2, 0, 1, 0}, 0),
                                 record(0, {0, 2, 2, 1, 0, 0}, FretletRecord::kMovableBarred),
                                 record(2, {-1, -1, 1, 3, 4, 2}, FretletRecord::kMovable)}) {
    DesignerChord d = designer({-1, -1, -1, -1, -1, -1}, 7, false, 0);
    applyFretlet(r, d, kSix);
    EXPECT_TRUE(sameFretlet(captureFretlet(d, kSix), r, kSix));
  }
}

TEST(FretletRecord, ApplyNeverProducesAFretOffTheDiagram) {
  // Past the rows a string is not played; below the top fret it can only
  // have been an open string, and rings open.
  DesignerChord chord = designer({-1, -1, -1, -1, -1, -1}, 17, false, 0);
  applyFretlet(record(0, {9, 5, 0, -1, 100, -128}, FretletRecord::kMovable), chord, kSix);
  EXPECT_EQ(chord.frets, (DesignerChord::Slots{-1, 22, 17, -1, -1, 0}));

  applyFretlet(record(0, {1, 9, 0, -1, -7, 6}, 2), chord, kSix);
  EXPECT_EQ(chord.frets, (DesignerChord::Slots{0, -1, 0, -1, 0, 6}));
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

TEST(FretletRecord, SameFretletComparesRootPositionAndUsedStrings) {
  const FretletRecord a = record(0, {0, 2, 2, 1, -1, -1}, FretletRecord::kMovableBarred);
  FretletRecord b = a;
  b.frets[4] = 5;  // beyond a four-string instrument
  EXPECT_TRUE(sameFretlet(a, b, 4));
  EXPECT_FALSE(sameFretlet(a, b, kSix));
  b = a;
  b.position = FretletRecord::kMovable;
  EXPECT_FALSE(sameFretlet(a, b, 4));
  b = a;
  b.rootString = 1;
  EXPECT_FALSE(sameFretlet(a, b, 4));
}

TEST(FretletRecord, OrderPutsPlayedBassStringsFirstBelowTheRoot) {
  // Roots on slot 2: the one playing slot 0 comes first, whatever the fret.
  const FretletRecord plays = record(2, {5, -1, 3, 2, 1, 0}, 0);
  const FretletRecord mutes = record(2, {-1, 0, 3, 2, 1, 0}, 0);
  EXPECT_TRUE(fretletBefore(plays, mutes, kSix));
  EXPECT_FALSE(fretletBefore(mutes, plays, kSix));

  // Below either root: the rule holds when only one of the two roots lies
  // above the slot, whichever of the two it is.
  const FretletRecord lowRootMutes = record(0, {-1, 3, 2, 0, 1, 0}, 0);
  const FretletRecord highRootPlays = record(2, {3, 3, 2, 0, 1, 0}, 0);
  EXPECT_FALSE(fretletBefore(lowRootMutes, highRootPlays, kSix));
  EXPECT_TRUE(fretletBefore(highRootPlays, lowRootMutes, kSix));

  // Roots on slot 0: a muted string sorts before a played one.
  const FretletRecord mutedSecond = record(0, {3, -1, 0, 0, 0, 3}, 0);
  const FretletRecord playedSecond = record(0, {3, 2, 0, 0, 0, 3}, 0);
  EXPECT_TRUE(fretletBefore(mutedSecond, playedSecond, kSix));
  EXPECT_FALSE(fretletBefore(playedSecond, mutedSecond, kSix));

  // Lower frets first; equal records answer true both ways.
  EXPECT_TRUE(
      fretletBefore(record(0, {1, 1, 1, 1, 1, 1}, 0), record(0, {1, 1, 2, 1, 1, 1}, 0), kSix));
  EXPECT_TRUE(fretletBefore(plays, plays, kSix));
}

}  // namespace
}  // namespace fretlets
