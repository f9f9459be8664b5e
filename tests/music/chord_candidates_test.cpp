#include "music/chord_candidates.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "chord_fixture.h"

namespace fretlets {
namespace {

using test::chordOf;

constexpr int x = kNone;

std::vector<std::string> candidateNames(const DesignerChord::Slots& frets) {
  std::vector<std::string> names;
  for (const ChordCandidate& c : chordCandidates(chordOf(frets), test::kStandardGuitar)) {
    names.push_back(composeChordName(c.name.root, c.name.type, c.name.bass));
  }
  return names;
}

TEST(ChordCandidates, EverydayShapesReadAsAPlayerReadsThem) {
  struct Case {
    DesignerChord::Slots frets;
    const char* first;
    const char* second;  // "" when it does not matter
  };
  const std::vector<Case> cases{
      {{x, 3, 2, 0, 1, 0}, "Cmaj", ""},
      {{x, 0, 2, 2, 1, 0}, "Am", "C6/A"},
      {{0, 2, 2, 1, 0, 0}, "Emaj", ""},
      {{x, x, 0, 2, 3, 2}, "Dmaj", ""},
      {{x, 0, 2, 0, 1, 0}, "Am7", "C6/A"},
      {{x, 3, 5, 4, 5, x}, "Cmaj7", ""},  // drop 2
      {{8, x, 8, 9, x, x}, "C7", ""},     // shell: root, seventh, third
      {{3, 3, 2, 0, 1, 0}, "Cmaj/G", ""},
      {{0, 3, 2, x, x, x}, "Cmaj/E", "E(#5)"},  // E(#5) has to assume its third
  };
  for (const Case& c : cases) {
    const std::vector<std::string> names = candidateNames(c.frets);
    ASSERT_GE(names.size(), 2U) << c.first;
    EXPECT_EQ(names[0], c.first);
    if (*c.second != '\0') {
      EXPECT_EQ(names[1], c.second) << c.first;
    }
  }
}

TEST(ChordCandidates, EachNameOnceWithItsLowestRootStringAndItsScore) {
  // A E A C E: A sounds on slots 1 and 3, E on 2 and 5.
  const DesignerChord am = chordOf({x, 0, 2, 2, 1, 0});
  const std::vector<ChordCandidate> candidates = chordCandidates(am, test::kStandardGuitar);
  ASSERT_EQ(candidates.size(), 3U);
  EXPECT_EQ(candidates[0].rootString, 1);
  EXPECT_EQ(candidates[1].rootString, 4);
  EXPECT_EQ(candidates[2].rootString, 2);
  EXPECT_TRUE(candidates[1].name.implied.fifth);
  for (const ChordCandidate& c : candidates) {
    const int bass = readFingering(am, test::kStandardGuitar, c.rootString).strings[1].interval;
    EXPECT_EQ(c.score, candidateScore(c.name, bass));
  }
  EXPECT_GT(candidates[0].score, candidates[1].score);

  EXPECT_TRUE(chordCandidates(chordOf({x, x, x, x, x, x}), test::kStandardGuitar).empty());
}

// Voicings a guitarist names at sight, in standard tuning, each with the
// chord it is meant as, in the program's own spelling.
struct Meant {
  DesignerChord::Slots frets;
  const char* name;
};

const std::vector<Meant>& guitarVoicings() {
  static const std::vector<Meant> voicings{
      // Open chords.
      {{x, 3, 2, 0, 1, 0}, "Cmaj"},
      {{x, 0, 2, 2, 2, 0}, "Amaj"},
      {{3, 2, 0, 0, 0, 3}, "Gmaj"},
      {{3, 2, 0, 0, 3, 3}, "Gmaj"},
      {{0, 2, 2, 0, 0, 0}, "Em"},
      {{x, x, 0, 2, 3, 1}, "Dm"},
      {{x, x, 3, 2, 1, 1}, "Fmaj"},
      {{x, 3, 2, 3, 1, 0}, "C7"},
      {{x, 0, 2, 0, 2, 0}, "A7"},
      {{0, 2, 0, 1, 0, 0}, "E7"},
      {{3, 2, 0, 0, 0, 1}, "G7"},
      {{x, x, 0, 2, 1, 2}, "D7"},
      {{x, 2, 1, 2, 0, 2}, "B7"},
      {{0, 2, 2, 0, 3, 0}, "Em7"},
      {{0, 2, 0, 0, 0, 0}, "Em7"},
      {{x, x, 0, 2, 1, 1}, "Dm7"},
      {{x, 3, 2, 0, 0, 0}, "Cmaj7"},
      {{x, x, 0, 2, 2, 2}, "Dmaj7"},
      {{x, 0, 2, 1, 2, 0}, "Amaj7"},
      {{1, x, 2, 2, 1, x}, "Fmaj7"},
      {{x, x, 0, 2, 3, 3}, "Dsus4"},
      {{x, x, 0, 2, 3, 0}, "Dsus2"},
      {{x, 0, 2, 2, 3, 0}, "Asus4"},
      {{x, 0, 2, 2, 0, 0}, "Asus2"},
      {{x, 3, 2, 0, 3, 0}, "C(add9)"},
      {{x, 0, 2, 2, 1, 2}, "Am6"},
      {{x, x, 0, 2, 0, 1}, "Dm6"},
      {{3, 2, 0, 0, 0, 0}, "G6"},
      {{x, 0, 2, 1, 1, 0}, "Am(maj7)"},
      // Inversions a player writes as slash chords.
      {{3, 3, 2, 0, 1, 0}, "Cmaj/G"},
      {{0, 3, 2, 0, 1, 0}, "Cmaj/E"},
      {{0, 3, 2, x, x, x}, "Cmaj/E"},
      {{2, x, 0, 2, 3, 2}, "Dmaj/F#"},
      {{0, 0, 2, 2, 1, 0}, "Am/E"},
      {{x, 0, 0, 2, 3, 2}, "Dmaj/A"},
      {{x, 2, 0, 0, 0, 3}, "Gmaj/B"},
      {{x, 3, 3, 2, 1, 1}, "Fmaj/C"},
      {{4, x, 2, 1, 0, 0}, "Emaj/G#"},
      // Barre chords, E and A shapes.
      {{1, 3, 3, 2, 1, 1}, "Fmaj"},
      {{3, 5, 5, 4, 3, 3}, "Gmaj"},
      {{x, 3, 5, 5, 5, 3}, "Cmaj"},
      {{x, 1, 3, 3, 3, 1}, "A#maj"},
      {{8, 10, 10, 9, 8, 8}, "Cmaj"},
      {{5, 7, 7, 6, 5, 5}, "Amaj"},
      {{1, 3, 3, 1, 1, 1}, "Fm"},
      {{x, 3, 5, 5, 4, 3}, "Cm"},
      {{x, 4, 6, 6, 5, 4}, "C#m"},
      {{2, 4, 4, 2, 2, 2}, "F#m"},
      {{5, 7, 5, 6, 5, 5}, "A7"},
      {{x, 3, 5, 3, 5, 3}, "C7"},
      {{5, 7, 5, 5, 5, 5}, "Am7"},
      {{x, 3, 5, 3, 4, 3}, "Cm7"},
      {{x, 3, 5, 4, 5, 3}, "Cmaj7"},
      {{1, 3, 1, 2, 1, 1}, "F7"},
      {{x, 2, 4, 2, 3, 2}, "Bm7"},
      {{x, 3, 5, 5, 5, 5}, "C6"},
      {{x, 3, 5, 3, 6, 3}, "C7sus"},
      // Power chords.
      {{0, 2, 2, x, x, x}, "E5"},
      {{3, 5, 5, x, x, x}, "G5"},
      {{x, 3, 5, 5, x, x}, "C5"},
      // Jazz shells: root with third and seventh.
      {{3, x, 3, 4, x, x}, "G7"},
      {{3, x, 4, 4, x, x}, "Gmaj7"},
      {{3, x, 3, 3, x, x}, "Gm7"},
      {{x, 3, x, 3, 5, x}, "C7"},
      {{x, 3, x, 4, 5, x}, "Cmaj7"},
      {{x, 3, x, 3, 4, x}, "Cm7"},
      {{8, x, 8, 9, x, x}, "C7"},
      {{8, x, 9, 9, x, x}, "Cmaj7"},
      {{8, x, 8, 8, x, x}, "Cm7"},
      {{x, 5, x, 5, 6, x}, "Dm7"},
      {{5, x, 5, 6, x, x}, "A7"},
      {{5, x, 5, 5, x, x}, "Am7"},
      {{3, x, 2, 3, x, x}, "Gm6"},
      // Drop 2 and drop 3.
      {{x, 3, 5, 4, 5, x}, "Cmaj7"},
      {{x, 3, 5, 3, 5, x}, "C7"},
      {{x, 3, 5, 3, 4, x}, "Cm7"},
      {{x, 3, 4, 3, 4, x}, "Cm7b5"},
      {{x, x, 3, 5, 5, 5}, "Fmaj7"},
      {{x, x, 3, 5, 4, 5}, "F7"},
      {{x, x, 3, 5, 4, 4}, "Fm7"},
      {{8, x, 9, 9, 8, x}, "Cmaj7"},
      {{8, x, 8, 9, 8, x}, "C7"},
      {{8, x, 8, 8, 8, x}, "Cm7"},
      // Extended and altered chords.
      {{x, 3, 2, 3, 3, x}, "C9"},
      {{x, 5, 4, 5, 5, x}, "D9"},
      {{x, 3, 1, 3, 3, x}, "Cm9"},
      {{x, 3, 2, 4, 3, x}, "Cmaj9"},
      {{x, 7, 6, 7, 8, x}, "E7#9"},
      {{3, x, 3, 4, 5, x}, "G13"},
      {{x, 3, 2, 2, 3, x}, "C6/9"},
      {{x, 3, 4, 2, 4, x}, "Cdim"},
      {{x, 2, 3, 2, 3, x}, "Bm7b5"},
      {{x, 3, 2, 1, 1, x}, "C(#5)"},
  };
  return voicings;
}

TEST(ChordCandidates, MeantChordIsFirstOrSecondOnRealGuitarVoicings) {
  int counted = 0;
  int first = 0;
  int firstTwo = 0;
  int lowestRootFirst = 0;
  int lowestRootFirstTwo = 0;
  for (const Meant& v : guitarVoicings()) {
    const std::vector<std::string> ranked = candidateNames(v.frets);
    const auto at = std::ranges::find(ranked, v.name);
    if (at == ranked.end()) {
      continue;
    }
    ++counted;
    const auto place = at - ranked.begin();
    first += place == 0 ? 1 : 0;
    firstTwo += place <= 1 ? 1 : 0;
    EXPECT_LE(place, 1) << v.name << " ranked " << place + 1 << "; first " << ranked[0];

    // The plain order to beat: roots from the lowest string up.
    std::vector<ChordCandidate> byString = chordCandidates(chordOf(v.frets), test::kStandardGuitar);
    std::ranges::stable_sort(byString, {}, &ChordCandidate::rootString);
    int rank = 0;
    for (const ChordCandidate& c : byString) {
      if (composeChordName(c.name.root, c.name.type, c.name.bass) == v.name) {
        lowestRootFirst += rank == 0 ? 1 : 0;
        lowestRootFirstTwo += rank <= 1 ? 1 : 0;
      }
      ++rank;
    }
  }
  ASSERT_GT(counted, 80);
  EXPECT_GE(first * 100, counted * 90) << first << " of " << counted;
  EXPECT_GE(firstTwo * 100, counted * 98) << firstTwo << " of " << counted;
  RecordProperty("counted", counted);
  RecordProperty("first", first);
  RecordProperty("firstTwo", firstTwo);
  RecordProperty("lowestRootFirst", lowestRootFirst);
  RecordProperty("lowestRootFirstTwo", lowestRootFirstTwo);
}

}  // namespace
}  // namespace fretlets
