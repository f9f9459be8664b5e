#include "music/voicing_finder.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <vector>

#include "chord_fixture.h"
#include "music/chord_type.h"

namespace fretlets {
namespace {

using test::shape;

constexpr int kC = 0;
constexpr int kE = 4;
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

// Where the shape stands among the voicings found; found.size() if absent.
std::size_t place(const std::vector<Voicing>& found, std::string_view frets) {
  return static_cast<std::size_t>(std::ranges::find(found, shape(frets), &Voicing::frets) -
                                  found.begin());
}

TEST(VoicingFinder, FindsTheFamiliarShapesFirstAndFilesThemAsTheyMove) {
  const std::vector<Voicing> c = findVoicings(queryFor(kGuitar, kC, kMajor));
  ASSERT_FALSE(c.empty());
  EXPECT_EQ(place(c, "x32010"), 0U);
  EXPECT_LT(place(c, "x35553"), place(c, "8aa988"));  // the A shape before the E shape
  EXPECT_LT(place(c, "8aa988"), place(c, "8aa980"));  // an open string far from the hand
  ASSERT_LT(place(c, "8aa988"), c.size());
  const Voicing& aShape = c[place(c, "x35553")];
  EXPECT_TRUE(aShape.barre);
  EXPECT_EQ(aShape.fingers, 2);  // the ring finger lies across the fifth fret
  EXPECT_EQ(aShape.span, 3);
  EXPECT_EQ(aShape.position, 3);
  EXPECT_EQ(aShape.rootString, 1);
  EXPECT_EQ(place(findVoicings(queryFor(kMandolin, 7, kMajor)), "0023xx"), 0U);
  // Leaving out assumed notes: the C7 players play (no fifth) first, C11 without 3rd and 5th.
  for (const auto& [frets, row, within] : {std::tuple{"x32310", 38, 3U}, {"x3333x", 147, 99U}}) {
    const std::vector<Voicing> found = findVoicings(queryFor(kGuitar, kC, row));
    EXPECT_LT(place(found, frets), within) << frets;
  }
  // Inversions come too, each named with its bass, after the root position.
  for (const auto& [frets, bass] : {std::pair{"032010", "E"}, {"xx5558", "G"}, {"3x2010", "G"}}) {
    ASSERT_LT(place(c, frets), c.size()) << frets;
    EXPECT_GT(place(c, frets), place(c, "x32010"));
    EXPECT_EQ(c[place(c, frets)].name.bass, bass);
  }
  // Open shapes are filed fixed, barred and closed ones movable.
  const struct {
    std::string_view frets;
    int rootClass;
    int typeRow;
    std::int8_t position;  // of the captured fretlet
    std::string_view stored;
  } filed[] = {
      {"x32010", kC, kMajor, 0, "x32010"},
      {"x35553", kC, kMajor, FretletRecord::kMovableBarred, "x02220"},
      {"xxa98x", kC, kMajor, FretletRecord::kMovable, "xx321x"},
      {"079xxx", kE, 0, 7, "079xxx"},
  };
  for (const auto& f : filed) {
    const std::vector<Voicing> found = findVoicings(queryFor(kGuitar, f.rootClass, f.typeRow));
    const std::size_t at = place(found, f.frets);
    ASSERT_LT(at, found.size()) << f.frets;
    const FretletRecord record = captureFretlet(designerChordFor(found[at], false), 6);
    EXPECT_EQ(record.position, f.position) << f.frets;
    EXPECT_EQ(record.frets, shape(f.stored)) << f.frets;
    EXPECT_EQ(record.rootString, found[at].rootString);
  }
}

// Every fingering found names back to the asked chord, over the root alone
// where asked so, and keeps to the hand's limits, for every chord type on
// instruments of six, five and four strings.
TEST(VoicingFinder, EveryResultNamesBackToTheAskedChord) {
  for (const int instrument : {kGuitar, 1, kMandolin}) {
    int typesFound = 0;
    for (int row = 0; row < kChordTypeCount; ++row) {
      VoicingQuery query = queryFor(instrument, row % 12, row);
      query.highestPosition = 12;
      query.rootPosition = row % 2 == 0;
      const std::vector<Voicing> found = findVoicings(query);
      typesFound += found.empty() ? 0 : 1;
      int lastCost = 0;
      for (const Voicing& v : found) {
        DesignerChord chord;
        chord.frets = v.frets;
        const FingeringReading reading = readFingering(chord, query.tuning, v.rootString);
        ASSERT_EQ(reading.strings[v.rootString].pitchClass, row % 12);
        ASSERT_EQ(reading.name.type, chordTypeTable[row].suffix) << row;
        ASSERT_TRUE(!query.rootPosition || reading.name.bass.empty());
        ASSERT_EQ(v.name.bass, reading.name.bass);
        ASSERT_EQ(v.name.type, reading.name.type);
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
  EXPECT_LT(place(overE, "032010"), overE.size());
  for (const Voicing& v : overE) {
    EXPECT_EQ(v.name.bass, "E");
  }
  // A bass that is no note of the chord, and a bass or root outside the
  // octave's twelve pitch classes, find nothing.
  for (const auto& [bass, root] : {std::pair{2, kC}, {12, kC}, {kNone, -12}}) {
    query.bassClass = bass;
    query.rootClass = root;
    EXPECT_TRUE(findVoicings(query).empty()) << bass << " " << root;
  }
  query = queryFor(kGuitar, kC, kMajor);
  query.lowestPosition = 5;
  query.highestPosition = 9;
  query.span = 2;
  const std::vector<Voicing> high = findVoicings(query);
  ASSERT_FALSE(high.empty());
  EXPECT_EQ(place(high, "8aa988"), high.size());
  for (const Voicing& v : high) {
    EXPECT_GE(v.position, 5);
    EXPECT_LE(v.position, 9);
    EXPECT_LE(v.span, 2);
  }
}

}  // namespace
}  // namespace fretlets
