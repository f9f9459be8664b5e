#include <gtest/gtest.h>

#include <algorithm>
#include <set>
#include <string>
#include <vector>

#include "chord_fixture.h"

namespace fretlets {
namespace {

using test::chordOf;
using test::nameFrom;

constexpr ImpliedIntervals kNoImplied{};
constexpr ImpliedIntervals kFifth{.fifth = true};

TEST(ChordTypeTable, HasDistinctMasksWithTheRootAndTwoDims) {
  std::set<std::uint16_t> masks;
  std::vector<int> dimRows;
  for (int row = 0; row < kChordTypeCount; ++row) {
    const ChordType& type = chordTypeTable[row];
    masks.insert(type.intervalMask);
    EXPECT_TRUE(type.intervalMask & 1U) << type.suffix;
    EXPECT_EQ(type.intervalMask & 0xF000U, 0U) << type.suffix;
    EXPECT_GE(type.suffix.size(), 1U);
    EXPECT_LE(type.suffix.size(), 14U);
    EXPECT_EQ(chordTypeRow(type.intervalMask), row);
    if (type.suffix == "dim") {
      dimRows.push_back(row);
    }
  }
  EXPECT_EQ(masks.size(), 229U);
  EXPECT_EQ(dimRows, (std::vector<int>{7, 13}));
  EXPECT_EQ(chordTypeTable[7].intervalMask, 0x049);
  EXPECT_EQ(chordTypeTable[13].intervalMask, 0x249);
  EXPECT_EQ(chordTypeTable[0].suffix, "5");
  EXPECT_EQ(chordTypeTable[228].suffix, "m13#5b9+11");
}

// The naming search done the slow way, row by row, to check the tables the
// engine precomputes.
std::string scanName(std::uint16_t sounding, ImpliedIntervals* implied) {
  const std::vector<ImpliedIntervals> attempts{
      {},
      {.third = true},
      {.fifth = true},
      {.seventh = true},
      {.ninth = true},
      {.third = true, .fifth = true},
      {.third = true, .seventh = true},
      {.third = true, .ninth = true},
      {.fifth = true, .seventh = true},
      {.fifth = true, .ninth = true},
      {.seventh = true, .ninth = true},
      {.third = true, .fifth = true, .seventh = true},
      {.third = true, .fifth = true, .ninth = true},
      {.third = true, .seventh = true, .ninth = true},
      {.fifth = true, .seventh = true, .ninth = true},
  };
  for (const ImpliedIntervals& attempt : attempts) {
    unsigned mask = sounding;
    mask |= attempt.third ? 1U << 4 : 0U;
    mask |= attempt.fifth ? 1U << 7 : 0U;
    mask |= attempt.seventh ? 1U << 10 : 0U;
    mask |= attempt.ninth ? 1U << 2 : 0U;
    for (int row = attempt.fifth ? 1 : 0; row < kChordTypeCount; ++row) {
      if (chordTypeTable[row].intervalMask == mask) {
        *implied = attempt;
        return std::string(chordTypeTable[row].suffix);
      }
    }
  }
  return {};
}

TEST(ChordNaming, PrecomputedSearchAgreesWithARowScanForEveryIntervalSet) {
  for (unsigned mask = 1; mask < 4096; mask += 2) {  // the root always sounds
    ImpliedIntervals expectedImplied;
    const std::string expected = scanName(static_cast<std::uint16_t>(mask), &expectedImplied);
    const auto match = matchChordType(static_cast<std::uint16_t>(mask));
    ASSERT_EQ(match.has_value(), !expected.empty()) << mask;
    if (match) {
      EXPECT_EQ(chordTypeTable[match->row].suffix, expected) << mask;
      EXPECT_EQ(match->implied, expectedImplied) << mask;
    }
  }
}

TEST(ChordNaming, LookupAddsImpliedIntervalsButNeverMakesAPowerChordFromAnAssumedFifth) {
  DesignerChord root = chordOf({-1, 3, -1, -1, -1, -1});
  computeIntervals(root, 1);
  EXPECT_EQ(lookupChordType(root, kFifth), "");
  EXPECT_EQ(lookupChordType(root, {.third = true, .fifth = true}), "maj");

  DesignerChord power = chordOf({-1, 3, 5, -1, -1, -1});
  computeIntervals(power, 1);
  EXPECT_EQ(lookupChordType(power, kNoImplied), "5");
  // Asking for a fifth that already sounds still skips the power chord.
  EXPECT_EQ(lookupChordType(power, kFifth), "");
}

TEST(ChordNaming, OpenGuitarChords) {
  const ChordName e = nameFrom({0, 2, 2, 1, 0, 0}, 0);
  EXPECT_EQ(e.root, "E");
  EXPECT_EQ(e.type, "maj");
  EXPECT_EQ(e.bass, "");
  EXPECT_EQ(e.implied, kNoImplied);

  // The same fingering from two roots: A minor, or C6 over A with the fifth assumed.
  const ChordName am = nameFrom({-1, 0, 2, 2, 1, 0}, 1);
  EXPECT_EQ(composeChordName(am.root, am.type, am.bass), "Am");
  EXPECT_EQ(am.implied, kNoImplied);
  const ChordName c6 = nameFrom({-1, 0, 2, 2, 1, 0}, 4);
  EXPECT_EQ(c6.root, "C");
  EXPECT_EQ(c6.type, "6");
  EXPECT_EQ(c6.bass, "A");
  EXPECT_EQ(c6.implied, kFifth);
  EXPECT_EQ(composeChordName(c6.root, c6.type, c6.bass), "C6/A");

  // C major in first inversion: the bass is the letter-correct third.
  const ChordName cOverE = nameFrom({0, 3, 2, 0, 1, 0}, 1);
  EXPECT_EQ(composeChordName(cOverE.root, cOverE.type, cOverE.bass), "Cmaj/E");
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

TEST(ChordNaming, ClustersThatNoAttemptCanNameStayEmpty) {
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
}

TEST(ChordNaming, ARootThatDoesNotSoundNamesNothing) {
  DesignerChord chord = chordOf({-1, 0, 2, 2, 1, 0});
  EXPECT_FALSE(nameChord(chord, 0).found());
  EXPECT_FALSE(nameChord(chord, 6).found());
  EXPECT_FALSE(nameChord(chord, -1).found());
  EXPECT_EQ(nameChord(chord, 0).type, "");
}

TEST(ChordNaming, BassFallsBackToThePlainNameWhenTheSpellingIsTooLong) {
  // D# root on the A string, F## (G) on the low E string.
  const ChordName name = nameFrom({3, 6, -1, -1, -1, -1}, 1);
  EXPECT_EQ(name.root, "D#");
  EXPECT_EQ(name.bass, "G");
  // Lowest string on the root's pitch class, an octave down: no bass.
  EXPECT_EQ(nameFrom({0, 7, 9, -1, -1, -1}, 1).bass, "");
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
  // Texts that differ elsewhere keep byte order, and a prefix sorts first.
  EXPECT_TRUE(chordNameBefore("m", "maj"));
  EXPECT_TRUE(chordNameBefore("maj", "maj7"));
  EXPECT_FALSE(chordNameBefore("maj7", "maj7"));
  EXPECT_TRUE(chordNameBefore("7sus", "m"));
}

}  // namespace
}  // namespace fretlets
