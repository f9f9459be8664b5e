#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "chord_fixture.h"

namespace fretlets {
namespace {

using test::nameFrom;

constexpr ImpliedIntervals kNoImplied{};
constexpr ImpliedIntervals kFifth{.fifth = true};

// Root C on the A string throughout; "" for a cluster no attempt can name.
TEST(ChordNaming, ImpliedIntervalsFillSparseVoicings) {
  const struct {
    std::string_view frets;
    std::string_view type;
    ImpliedIntervals implied;
  } cases[] = {
      {"x3x5x8", "", {.third = true, .fifth = true}},                      // C on three strings
      {"x35xxx", "5", {}},                                                 // C G
      {"x32xxx", "maj", kFifth},                                           // C E
      {"x3x34x", "m7", kFifth},                                            // C Bb Eb
      {"x3x343", "m7", {}},                                                // C Bb Eb G
      {"x3424x", "dim", {}},                                               // C F# A Eb
      {"x34x4x", "dim", {}},                                               // C F# Eb
      {"x30x4x", "m(add9)", kFifth},                                       // C D Eb
      {"x33xxx", "sus4", kFifth},                                          // C F
      {"x3bxxx", "7b9", {.third = true, .fifth = true, .seventh = true}},  // C C#
      {"x3x2xx", "6", {.third = true, .fifth = true}},                     // C A
  };
  for (const auto& c : cases) {
    const ChordName name = nameFrom(c.frets, 1);
    EXPECT_EQ(name.root, "C");
    EXPECT_EQ(name.type, c.type) << c.frets;
    EXPECT_EQ(name.implied, c.implied) << c.frets;
  }
  // Root with b2 and 2; with b5 and #5; with b7 and #7.
  for (const char* frets : {"x3b7xx", "x341xx", "x384xx"}) {
    const ChordName name = nameFrom(frets, 1);
    EXPECT_FALSE(name.found()) << frets;
    EXPECT_EQ(name.type, "");
    EXPECT_EQ(name.bass, "");
    EXPECT_EQ(name.implied, kNoImplied);
  }
  // A root string that is muted or not on the instrument; without one the
  // lowest sounding string is the root.
  for (const int root : {0, 6, -2}) {
    EXPECT_FALSE(nameFrom("x02210", root).found()) << root;
    EXPECT_EQ(nameFrom("x02210", root).type, "") << root;
  }
  EXPECT_EQ(nameFrom("x02210", kNone).type, "m");
}

TEST(ChordNaming, BassFallsBackToThePlainNameWhenTheSpellingIsTooLong) {
  // D# root on the A string, F## (G) on the low E string.
  const ChordName name = nameFrom("36xxxx", 1);
  EXPECT_EQ(name.root, "D#");
  EXPECT_EQ(name.bass, "G");
  // Lowest string on the root's pitch class, an octave down: no bass.
  EXPECT_EQ(nameFrom("079xxx", 1).bass, "");
  // The composed name cuts root, type and bass to their boxes.
  EXPECT_EQ(composeChordName("D", "m7", "G"), "Dm7/G");
  EXPECT_EQ(composeChordName("A", "", ""), "A");
  EXPECT_EQ(composeChordName("Abcd", "123456789012345678901234567890", "F#x"),
            "Abc12345678901234567890123456789/F#");
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
  // Each of 5, 6, 7 and 9 goes before a 1 at the first difference, and only
  // those; texts that differ elsewhere keep byte order, a prefix first.
  const struct {
    std::string_view a;
    std::string_view b;
  } before[] = {{"5", "11"}, {"6", "11"}, {"m6", "m11"}, {"7", "13"},     {"9", "1"},   {"11", "8"},
                {"11", "4"}, {"1", "b"},  {"m", "maj"},  {"maj", "maj7"}, {"7sus", "m"}};
  for (const auto& pair : before) {
    EXPECT_TRUE(chordNameBefore(pair.a, pair.b)) << pair.a << " before " << pair.b;
    EXPECT_FALSE(chordNameBefore(pair.b, pair.a)) << pair.b << " after " << pair.a;
  }
  EXPECT_FALSE(chordNameBefore("maj7", "maj7"));
}

}  // namespace
}  // namespace fretlets
