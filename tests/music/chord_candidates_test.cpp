#include "music/chord_candidates.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "chord_fixture.h"

namespace fretlets {
namespace {

using test::chordOf;

std::vector<std::string> candidateNames(std::string_view frets) {
  std::vector<std::string> names;
  for (const ChordCandidate& c : chordCandidates(chordOf(frets), test::kStandardGuitar)) {
    names.push_back(composeChordName(c.name.root, c.name.type, c.name.bass));
  }
  return names;
}

TEST(ChordCandidates, EachNameOnceWithItsLowestRootStringAndItsScore) {
  // A E A C E: A sounds on slots 1 and 3, E on 2 and 5.
  const DesignerChord am = chordOf("x02210");
  const std::vector<ChordCandidate> candidates = chordCandidates(am, test::kStandardGuitar);
  ASSERT_EQ(candidates.size(), 3U);
  EXPECT_EQ(candidates[0].rootString, 1);
  EXPECT_EQ(candidates[1].rootString, 4);
  EXPECT_EQ(candidates[2].rootString, 2);
  EXPECT_TRUE(candidates[1].name.implied.fifth);
  EXPECT_GT(candidates[0].score, candidates[1].score);
  // The top two of shapes that read two ways; E(#5) has to assume its third.
  for (const auto& [frets, top] :
       {std::pair{"x02210", "Am C6/A"}, {"x02010", "Am7 C6/A"}, {"032xxx", "Cmaj/E E(#5)"}}) {
    const std::vector<std::string> names = candidateNames(frets);
    ASSERT_GE(names.size(), 2U) << top;
    EXPECT_EQ(names[0] + " " + names[1], top);
  }
  EXPECT_TRUE(candidateNames("xxxxxx").empty());
}

// Voicings a guitarist names at sight, in standard tuning, each with the
// chord it is meant as, in the program's own spelling: it comes first or
// second, and first for nearly all: open chords, inversions a player writes
// as slash chords, E and A shape barres, power chords, jazz shells, drop 2 and
// drop 3, extended and altered chords; then suspended chords over their
// fifth and across the neck, elevenths without their third, maj7#5, minor
// triads over their third, inversions of triads and sevenths.
TEST(ChordCandidates, MeantChordIsFirstOrSecondOnRealGuitarVoicings) {
  const struct {
    std::string_view frets;
    std::string_view name;
  } voicings[] = {
      {"x32010", "Cmaj"},     {"x02220", "Amaj"},    {"320003", "Gmaj"},    {"320033", "Gmaj"},
      {"022000", "Em"},       {"xx0231", "Dm"},      {"xx3211", "Fmaj"},    {"x32310", "C7"},
      {"x02020", "A7"},       {"020100", "E7"},      {"320001", "G7"},      {"xx0212", "D7"},
      {"x21202", "B7"},       {"022030", "Em7"},     {"020000", "Em7"},     {"xx0211", "Dm7"},
      {"x32000", "Cmaj7"},    {"xx0222", "Dmaj7"},   {"x02120", "Amaj7"},   {"1x221x", "Fmaj7"},
      {"xx0233", "Dsus4"},    {"xx0230", "Dsus2"},   {"x02230", "Asus4"},   {"x02200", "Asus2"},
      {"x32030", "C(add9)"},  {"x02212", "Am6"},     {"xx0201", "Dm6"},     {"320000", "G6"},
      {"x02110", "Am(maj7)"}, {"022100", "Emaj"},    {"xx0232", "Dmaj"},    {"332010", "Cmaj/G"},
      {"032010", "Cmaj/E"},   {"032xxx", "Cmaj/E"},  {"2x0232", "Dmaj/F#"}, {"002210", "Am/E"},
      {"x00232", "Dmaj/A"},   {"x20003", "Gmaj/B"},  {"x33211", "Fmaj/C"},  {"4x2100", "Emaj/G#"},
      {"133211", "Fmaj"},     {"355433", "Gmaj"},    {"x35553", "Cmaj"},    {"x13331", "A#maj"},
      {"8aa988", "Cmaj"},     {"577655", "Amaj"},    {"133111", "Fm"},      {"x35543", "Cm"},
      {"x46654", "C#m"},      {"244222", "F#m"},     {"575655", "A7"},      {"x35353", "C7"},
      {"575555", "Am7"},      {"x35343", "Cm7"},     {"x35453", "Cmaj7"},   {"131211", "F7"},
      {"x24232", "Bm7"},      {"x35555", "C6"},      {"x35363", "C7sus"},   {"x02010", "Am7"},
      {"022xxx", "E5"},       {"355xxx", "G5"},      {"x355xx", "C5"},      {"3x34xx", "G7"},
      {"3x44xx", "Gmaj7"},    {"3x33xx", "Gm7"},     {"x3x35x", "C7"},      {"x3x45x", "Cmaj7"},
      {"x3x34x", "Cm7"},      {"8x89xx", "C7"},      {"8x99xx", "Cmaj7"},   {"8x88xx", "Cm7"},
      {"x5x56x", "Dm7"},      {"5x56xx", "A7"},      {"5x55xx", "Am7"},     {"3x23xx", "Gm6"},
      {"x3545x", "Cmaj7"},    {"x3535x", "C7"},      {"x3534x", "Cm7"},     {"x3434x", "Cm7b5"},
      {"xx3555", "Fmaj7"},    {"xx3545", "F7"},      {"xx3544", "Fm7"},     {"8x998x", "Cmaj7"},
      {"8x898x", "C7"},       {"8x888x", "Cm7"},     {"x3233x", "C9"},      {"x5455x", "D9"},
      {"x3133x", "Cm9"},      {"x3243x", "Cmaj9"},   {"x7678x", "E7#9"},    {"3x345x", "G13"},
      {"x3223x", "C6/9"},     {"x3424x", "Cdim"},    {"x2323x", "Bm7b5"},   {"x3211x", "C(#5)"},
      {"x00233", "Dsus4/A"},  {"xx0013", "Gsus4/D"}, {"xx5563", "Csus4/G"}, {"002230", "Asus4/E"},
      {"x22200", "Esus4/B"},  {"333011", "Csus4/G"}, {"x35533", "Csus2"},   {"x35563", "Csus4"},
      {"330033", "Gsus4"},    {"355533", "Gsus4"},   {"3x0233", "Gsus2"},   {"022200", "Esus4"},
      {"024400", "Esus2"},    {"x24452", "Bsus4"},   {"x24422", "Bsus2"},   {"xx3011", "Fsus2"},
      {"x3333x", "C11"},      {"x5555x", "D11"},     {"x7777x", "E11"},     {"x00000", "A11"},
      {"x00010", "Am11"},     {"x32100", "Cmaj7#5"}, {"x03121", "Amaj7#5"}, {"xx0322", "Dmaj7#5"},
      {"x3221x", "Am/C"},     {"3x2000", "Em/G"},    {"1x0231", "Dm/F"},    {"xx0432", "Bm/D"},
      {"xx1013", "Cm/Eb"},    {"3x2010", "Cmaj/G"},  {"xx0433", "Gmaj/D"},  {"x03211", "Fmaj/A"},
      {"200232", "Dmaj/F#"},  {"x4222x", "Amaj/C#"}, {"x20001", "G7/B"},    {"200212", "D7/F#"},
      {"3x2210", "Am7/G"},    {"032310", "C7/E"}};
  int counted = 0;
  int first = 0;
  for (const auto& v : voicings) {
    const std::vector<std::string> ranked = candidateNames(v.frets);
    const auto at = std::ranges::find(ranked, v.name);
    if (at == ranked.end()) {
      continue;
    }
    ++counted;
    first += at == ranked.begin() ? 1 : 0;
    EXPECT_LE(at - ranked.begin(), 1) << v.name << " " << v.frets << "; first " << ranked[0];
  }
  ASSERT_GT(counted, 120);
  EXPECT_GE(first * 100, counted * 97) << first << " of " << counted;
}

}  // namespace
}  // namespace fretlets
