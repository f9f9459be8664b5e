#include "music/voicing_finder.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <vector>

#include "music/chord_type.h"
#include "music/fingering_reading.h"
#include "music/fretlet_record.h"

namespace fretlets {
namespace {

constexpr int x = kNone;
constexpr int kC = 0;
constexpr int kE = 4;
constexpr int kG = 7;
constexpr int kMajor = 2;
constexpr int kMandolin = 10;

VoicingQuery queryFor(int instrument, int rootClass, int typeRow) {
  VoicingQuery query;
  query.rootClass = rootClass;
  query.typeRow = typeRow;
  query.strings = stringCount(instrument);
  query.tuning = instrumentTable[instrument].defaultTuning;
  return query;
}

bool contains(const std::vector<Voicing>& found, const DesignerChord::Slots& frets) {
  return std::ranges::any_of(found, [&](const Voicing& v) { return v.frets == frets; });
}

TEST(VoicingFinder, FindsTheFamiliarShapes) {
  const std::vector<Voicing> c = findVoicings(queryFor(kGuitar, kC, kMajor));
  ASSERT_FALSE(c.empty());
  EXPECT_EQ(c.front().frets, (DesignerChord::Slots{x, 3, 2, 0, 1, 0}));
  EXPECT_TRUE(contains(c, {x, 3, 5, 5, 5, 3}));    // A shape
  EXPECT_TRUE(contains(c, {8, 10, 10, 9, 8, 8}));  // E shape
  const auto at = [&](const DesignerChord::Slots& frets) {
    return std::ranges::find(c, frets, &Voicing::frets) - c.begin();
  };
  EXPECT_LT(at({x, 3, 5, 5, 5, 3}), at({8, 10, 10, 9, 8, 8}));

  const auto& aShape = c[static_cast<std::size_t>(at({x, 3, 5, 5, 5, 3}))];
  EXPECT_TRUE(aShape.barre);
  EXPECT_EQ(aShape.fingers, 4);
  EXPECT_EQ(aShape.span, 3);
  EXPECT_EQ(aShape.position, 3);
  EXPECT_EQ(aShape.rootString, 1);

  const std::vector<Voicing> g = findVoicings(queryFor(kMandolin, kG, kMajor));
  ASSERT_FALSE(g.empty());
  EXPECT_TRUE(contains(g, {0, 0, 2, 3, x, x}));
  EXPECT_EQ(g.front().frets, (DesignerChord::Slots{0, 0, 2, 3, x, x}));
}

// Every fingering found names back to the asked chord and keeps to the
// hand's limits, for every chord type on instruments of six, five and four
// strings.
TEST(VoicingFinder, EveryResultNamesBackToTheAskedChord) {
  for (const int instrument : {kGuitar, 1, kMandolin}) {
    int typesFound = 0;
    for (int row = 0; row < kChordTypeCount; ++row) {
      VoicingQuery query = queryFor(instrument, row % 12, row);
      query.highestPosition = 12;
      const std::vector<Voicing> found = findVoicings(query);
      typesFound += found.empty() ? 0 : 1;
      int lastCost = 0;
      for (const Voicing& v : found) {
        DesignerChord chord;
        chord.frets = v.frets;
        const FingeringReading reading = readFingering(chord, query.tuning, v.rootString);
        const ChordName& name = reading.name;
        ASSERT_EQ(reading.strings[v.rootString].pitchClass, row % 12);
        ASSERT_EQ(name.type, chordTypeTable[row].suffix) << row;
        ASSERT_TRUE(name.bass.empty());
        ASSERT_EQ(v.name.type, name.type);
        ASSERT_LE(v.fingers, 4);
        ASSERT_LE(v.span, 4);
        ASSERT_LE(v.position, 12);
        int sounding = 0;
        for (int s = 0; s < kStringSlots; ++s) {
          sounding += v.frets[s] != kNone ? 1 : 0;
          ASSERT_TRUE(s < query.strings || v.frets[s] == kNone);
        }
        ASSERT_GE(sounding, 3);
        ASSERT_GE(v.cost, lastCost);
        lastCost = v.cost;
      }
    }
    EXPECT_GT(typesFound, kChordTypeCount / 3) << instrument;
  }
}

TEST(VoicingFinder, BassSpanAndPositionRange) {
  VoicingQuery query = queryFor(kGuitar, kC, kMajor);
  query.bassClass = kE;
  const std::vector<Voicing> overE = findVoicings(query);
  EXPECT_TRUE(contains(overE, {0, 3, 2, 0, 1, 0}));
  for (const Voicing& v : overE) {
    EXPECT_EQ(v.name.bass, "E");
  }
  // A bass that is no note of the chord finds nothing.
  query.bassClass = 2;
  EXPECT_TRUE(findVoicings(query).empty());
  // Neither a bass nor a root outside the octave's twelve pitch classes.
  query.bassClass = 12;
  EXPECT_TRUE(findVoicings(query).empty());
  query.bassClass = kNone;
  query.rootClass = -12;
  EXPECT_TRUE(findVoicings(query).empty());

  query = queryFor(kGuitar, kC, kMajor);
  query.lowestPosition = 5;
  query.highestPosition = 9;
  query.span = 2;
  const std::vector<Voicing> high = findVoicings(query);
  ASSERT_FALSE(high.empty());
  EXPECT_TRUE(contains(high, {8, 10, 10, 9, 8, 8}) == false);
  for (const Voicing& v : high) {
    EXPECT_GE(v.position, 5);
    EXPECT_LE(v.position, 9);
    EXPECT_LE(v.span, 2);
  }
}

TEST(VoicingFinder, FilesOpenShapesFixedAndClosedShapesMovable) {
  struct Case {
    DesignerChord::Slots frets;
    std::int8_t position;  // of the captured fretlet
    DesignerChord::Slots stored;
  };
  const std::vector<Case> cases{
      {{x, 3, 2, 0, 1, 0}, 0, {x, 3, 2, 0, 1, 0}},
      {{x, 3, 5, 5, 5, 3}, FretletRecord::kMovableBarred, {x, 0, 2, 2, 2, 0}},
      {{x, x, 10, 9, 8, x}, FretletRecord::kMovable, {x, x, 3, 2, 1, x}},
      {{0, 7, 9, x, x, x}, 7, {0, 7, 9, x, x, x}},
  };
  for (const Case& c : cases) {
    VoicingQuery query = queryFor(kGuitar, kC, kMajor);
    if (c.frets[0] == 0) {
      query.rootClass = kE;
      query.typeRow = 0;
    }
    const std::vector<Voicing> found = findVoicings(query);
    const auto it = std::ranges::find(found, c.frets, &Voicing::frets);
    ASSERT_NE(it, found.end());
    const FretletRecord record = captureFretlet(designerChordFor(*it, false), 6);
    EXPECT_EQ(record.position, c.position);
    EXPECT_EQ(record.frets, c.stored);
    EXPECT_EQ(record.rootString, it->rootString);
  }
}

}  // namespace
}  // namespace fretlets
