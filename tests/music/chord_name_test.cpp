#include <gtest/gtest.h>

#include <algorithm>
#include <initializer_list>
#include <string>
#include <vector>

#include "chord_fixture.h"

namespace fretlets {
namespace {

using test::nameFrom;

constexpr ImpliedIntervals kNoImplied{};
constexpr ImpliedIntervals kFifth{.fifth = true};

// Interval masks of well-known chords, built from their degrees.
std::uint16_t maskOf(std::initializer_list<int> intervals) {
  unsigned mask = 0;
  for (const int i : intervals) {
    mask |= 1U << i;
  }
  return static_cast<std::uint16_t>(mask);
}

TEST(ChordNaming, WellKnownChordsFindTheirTypes) {
  const struct {
    std::initializer_list<int> intervals;
    std::string_view suffix;
  } chords[] = {
      {{0, 7}, "5"},
      {{0, 4, 7}, "maj"},
      {{0, 3, 7}, "m"},
      {{0, 3, 6}, "dim"},
      {{0, 3, 6, 9}, "dim"},
      {{0, 4, 8}, "(#5)"},
      {{0, 5, 7}, "sus4"},
      {{0, 4, 7, 9}, "6"},
      {{0, 3, 7, 9}, "m6"},
      {{0, 4, 7, 10}, "7"},
      {{0, 3, 7, 10}, "m7"},
      {{0, 4, 7, 11}, "maj7"},
      {{0, 3, 6, 10}, "m7b5"},
      {{0, 5, 7, 10}, "7sus"},
      {{0, 2, 4, 7, 10}, "9"},
      {{0, 2, 3, 7, 10}, "m9"},
      {{0, 2, 4, 7, 11}, "maj9"},
      {{0, 1, 4, 7, 10}, "7b9"},
      {{0, 3, 4, 7, 10}, "7#9"},
      {{0, 2, 4, 5, 7, 10}, "11"},
      {{0, 2, 4, 7, 9, 10}, "13"},
      {{0, 2, 4, 7}, "(add9)"},
      {{0, 2, 7}, "sus2"},
      {{0, 4, 6}, "(b5)"},
      {{0, 2, 3, 7}, "m(add9)"},
  };
  for (const auto& chord : chords) {
    const auto match = matchChordType(maskOf(chord.intervals));
    ASSERT_TRUE(match) << chord.suffix;
    EXPECT_EQ(chordTypeTable[match->row].suffix, chord.suffix);
    EXPECT_EQ(match->implied, kNoImplied) << chord.suffix;
  }
}

TEST(ChordNaming, ImpliedIntervalsFillSparseVoicings) {
  // Root C on the A string throughout.
  struct Case {
    DesignerChord::Slots frets;
    std::string_view type;
    ImpliedIntervals implied;
  };
  const std::vector<Case> cases{
      {{-1, 3, -1, 5, -1, 8}, "", {.third = true, .fifth = true}},  // C on three strings
      {{-1, 3, 5, -1, -1, -1}, "5", {}},                            // C G
      {{-1, 3, 2, -1, -1, -1}, "maj", kFifth},                      // C E
      {{-1, 3, -1, 3, 4, -1}, "m7", kFifth},                        // C Bb Eb
      {{-1, 3, -1, 3, 4, 3}, "m7", {}},                             // C Bb Eb G
      {{-1, 3, 4, 2, 4, -1}, "dim", {}},                            // C F# A Eb
      {{-1, 3, 4, -1, 4, -1}, "dim", {}},                           // C F# Eb
      {{-1, 3, 0, -1, 4, -1}, "m(add9)", kFifth},                   // C D Eb
      {{-1, 3, 3, -1, -1, -1}, "sus4", kFifth},                     // C F
      {{-1, 3, 11, -1, -1, -1}, "7b9", {.third = true, .fifth = true, .seventh = true}},  // C C#
      {{-1, 3, -1, 2, -1, -1}, "6", {.third = true, .fifth = true}},                      // C A
  };
  for (const Case& c : cases) {
    const ChordName name = nameFrom(c.frets, 1);
    EXPECT_EQ(name.root, "C");
    EXPECT_EQ(name.type, c.type) << "expected " << c.type;
    EXPECT_EQ(name.implied, c.implied) << "for " << c.type;
  }
}

TEST(ChordNaming, ClustersThatNoAttemptCanNameAndSilentRootsStayEmpty) {
  // Root with b2 and 2; with b5 and #5; with b7 and #7.
  for (const DesignerChord::Slots& frets :
       {DesignerChord::Slots{-1, 3, 11, 7, -1, -1}, DesignerChord::Slots{-1, 3, 4, 1, -1, -1},
        DesignerChord::Slots{-1, 3, 8, 4, -1, -1}}) {
    const ChordName name = nameFrom(frets, 1);
    EXPECT_FALSE(name.found());
    EXPECT_EQ(name.type, "");
    EXPECT_EQ(name.bass, "");
    EXPECT_EQ(name.implied, kNoImplied);
  }
  // A root string that is muted or not on the instrument; without one the
  // lowest sounding string is the root.
  for (const int root : {0, 6, -2}) {
    EXPECT_FALSE(nameFrom({-1, 0, 2, 2, 1, 0}, root).found()) << root;
    EXPECT_EQ(nameFrom({-1, 0, 2, 2, 1, 0}, root).type, "") << root;
  }
  EXPECT_EQ(nameFrom({-1, 0, 2, 2, 1, 0}, kNone).type, "m");
}

TEST(ChordNaming, BassFallsBackToThePlainNameWhenTheSpellingIsTooLong) {
  // D# root on the A string, F## (G) on the low E string.
  const ChordName name = nameFrom({3, 6, -1, -1, -1, -1}, 1);
  EXPECT_EQ(name.root, "D#");
  EXPECT_EQ(name.bass, "G");
  // Lowest string on the root's pitch class, an octave down: no bass.
  EXPECT_EQ(nameFrom({0, 7, 9, -1, -1, -1}, 1).bass, "");
}

TEST(ChordNaming, ComposedNamesCutRootTypeAndBassToTheirBoxes) {
  const struct {
    std::string_view root, type, bass, name;
  } cases[] = {
      {"D", "m7", "G", "Dm7/G"},
      {"A", "", "", "A"},
      {"", "", "", ""},
      {"Abcd", "123456789012345678901234567890", "F#x", "Abc12345678901234567890123456789/F#"},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(composeChordName(c.root, c.type, c.bass), c.name);
  }
}

TEST(ChordNaming, ChordNameOrderPutsNinthsBeforeElevenths) {
  const std::vector<std::string_view> ordered{"",   "5",  "7",   "9",    "11",  "13",
                                              "m7", "m9", "m11", "maj7", "maj9"};
  for (std::size_t i = 0; i < ordered.size(); ++i) {
    for (std::size_t j = 0; j < ordered.size(); ++j) {
      EXPECT_EQ(chordNameBefore(ordered[i], ordered[j]), i < j)
          << '"' << ordered[i] << "\" vs \"" << ordered[j] << '"';
    }
  }
  // Each of 5, 6, 7 and 9 goes before a 1 at the first difference, and
  // only those.
  const struct {
    std::string_view a;
    std::string_view b;
  } before[] = {{"5", "11"}, {"6", "11"}, {"m6", "m11"}, {"7", "13"},
                {"9", "1"},  {"11", "8"}, {"11", "4"},   {"1", "b"}};
  for (const auto& pair : before) {
    EXPECT_TRUE(chordNameBefore(pair.a, pair.b)) << pair.a << " before " << pair.b;
    EXPECT_FALSE(chordNameBefore(pair.b, pair.a)) << pair.b << " after " << pair.a;
  }
  // Texts that differ elsewhere keep byte order, and a prefix sorts first.
  EXPECT_TRUE(chordNameBefore("m", "maj"));
  EXPECT_TRUE(chordNameBefore("maj", "maj7"));
  EXPECT_FALSE(chordNameBefore("maj7", "maj7"));
  EXPECT_TRUE(chordNameBefore("7sus", "m"));
}

}  // namespace
}  // namespace fretlets
