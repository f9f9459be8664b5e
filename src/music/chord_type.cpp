#include "music/chord_type.h"

namespace fretlets {
namespace {

struct NamedChordType {
  std::string_view intervals;
  std::string_view suffix;
};

consteval std::array<ChordType, kChordTypeCount> fromIntervalNames(
    const std::array<NamedChordType, kChordTypeCount>& rows) {
  std::array<ChordType, kChordTypeCount> types{};
  for (std::size_t i = 0; i < rows.size(); ++i) {
    types[i] = {intervalMaskOf(rows[i].intervals), rows[i].suffix};
  }
  return types;
}

static_assert(intervalMaskOf("1 b3 5") == 0x089);

}  // namespace

// Grouped as triads and the power chord, sixths, sevenths, added ninths with
// ninths and six-nines, elevenths, thirteenths; each family runs major third,
// minor third, fourth in place of the third.
constexpr std::array<ChordType, kChordTypeCount> chordTypeTable = fromIntervalNames({{
    {"1 5", "5"},
    {"1 2 5", "sus2"},
    {"1 3 5", "maj"},
    {"1 b3 5", "m"},
    {"1 4 5", "sus4"},
    {"1 3 b5", "(b5)"},
    {"1 3 #5", "(#5)"},
    {"1 b3 b5", "dim"},
    {"1 b3 #5", "m#5"},
    {"1 3 5 6", "6"},
    {"1 b3 5 6", "m6"},
    {"1 4 5 6", "6sus"},
    {"1 3 b5 6", "6b5"},
    {"1 b3 b5 6", "dim"},
    {"1 4 b5 6", "6sus(b5)"},
    {"1 3 #5 6", "6#5"},
    {"1 b3 #5 6", "m6#5"},
    {"1 4 #5 6", "6sus(#5)"},
    {"1 3 b5 5 6", "6#11"},
    {"1 b3 b5 5 6", "m6#11"},
    {"1 4 b5 5 6", "6sus(#11)"},
    {"1 3 5 #5 6", "6b13"},
    {"1 b3 5 #5 6", "m6b13"},
    {"1 4 5 #5 6", "6sus(b13)"},
    {"1 b2 3 6", "6b9"},
    {"1 b2 b3 6", "m6b9"},
    {"1 b2 4 6", "6sus(b9)"},
    {"1 b2 3 b5 6", "6b5b9"},
    {"1 b2 b3 b5 6", "dim(b9)"},
    {"1 b2 4 b5 6", "6sus(b5)b9"},
    {"1 b2 3 #5 6", "6#5b9"},
    {"1 b2 b3 #5 6", "m6#5b9"},
    {"1 b2 4 #5 6", "6sus(#5)b9"},
    {"1 b3 3 5 6", "6#9"},
    {"1 b3 3 b5 6", "6b5#9"},
    {"1 b3 3 b5 5 6", "6#9#11"},
    {"1 b3 3 #5 6", "6#5#9"},
    {"1 b3 3 5 #5 6", "6#9b13"},
    {"1 3 5 b7", "7"},
    {"1 b3 5 b7", "m7"},
    {"1 4 5 b7", "7sus"},
    {"1 3 5 #7", "maj7"},
    {"1 b3 5 #7", "m(maj7)"},
    {"1 4 5 #7", "maj7sus"},
    {"1 3 b5 b7", "7b5"},
    {"1 b3 b5 b7", "m7b5"},
    {"1 4 b5 b7", "7sus(b5)"},
    {"1 3 b5 #7", "maj7b5"},
    {"1 b3 b5 #7", "m(maj7)b5"},
    {"1 4 b5 #7", "maj7sus(b5)"},
    {"1 3 b5 5 b7", "7#11"},
    {"1 b3 b5 5 b7", "m7#11"},
    {"1 4 b5 5 b7", "7sus(#11)"},
    {"1 3 b5 5 #7", "maj7#11"},
    {"1 b3 b5 5 #7", "m(maj7)#11"},
    {"1 4 b5 5 #7", "maj7sus(#11)"},
    {"1 3 #5 b7", "7#5"},
    {"1 b3 #5 b7", "m7#5"},
    {"1 4 #5 b7", "7sus(#5)"},
    {"1 3 #5 #7", "maj7#5"},
    {"1 b3 #5 #7", "m(maj7)#5"},
    {"1 4 #5 #7", "maj7sus(#5)"},
    {"1 3 5 #5 b7", "7b13"},
    {"1 b3 5 #5 b7", "m7b13"},
    {"1 4 5 #5 b7", "7sus(b13)"},
    {"1 3 5 #5 #7", "maj7b13"},
    {"1 b3 5 #5 #7", "m(maj7)b13"},
    {"1 4 5 #5 #7", "maj7sus(b13)"},
    {"1 b2 3 5 b7", "7b9"},
    {"1 b2 b3 5 b7", "m7b9"},
    {"1 b2 4 5 b7", "7sus(b9)"},
    {"1 b2 3 5 #7", "maj7(b9)"},
    {"1 b2 b3 5 #7", "m(maj7)b9"},
    {"1 b2 4 5 #7", "maj7sus(b9)"},
    {"1 b2 3 b5 b7", "7b5b9"},
    {"1 b2 b3 b5 b7", "m7b5b9"},
    {"1 b2 4 b5 b7", "7sus(b5)b9"},
    {"1 b2 3 b5 #7", "maj7b5b9"},
    {"1 b2 b3 b5 #7", "m(maj7)b5b9"},
    {"1 b2 4 b5 #7", "maj7sus(b5)b9"},
    {"1 b2 3 b5 5 b7", "7b9#11"},
    {"1 b2 b3 b5 5 b7", "m7b9#11"},
    {"1 b2 4 b5 5 b7", "7sus(b9)#11"},
    {"1 b2 3 b5 5 #7", "maj7b9#11"},
    {"1 b2 b3 b5 5 #7", "m(maj7)b9#11"},
    {"1 b2 4 b5 5 #7", "maj7sus(b9)#11"},
    {"1 b2 3 #5 b7", "7#5b9"},
    {"1 b2 b3 #5 b7", "m7#5b9"},
    {"1 b2 4 #5 b7", "7sus(#5)b9"},
    {"1 b2 3 #5 #7", "maj7#5b9"},
    {"1 b2 b3 #5 #7", "m(maj7)#5b9"},
    {"1 b2 4 #5 #7", "maj7sus(#5)b9"},
    {"1 b2 3 5 #5 b7", "7b9b13"},
    {"1 b2 b3 5 #5 b7", "m7b9b13"},
    {"1 b2 4 5 #5 b7", "7sus(b9)b13"},
    {"1 b2 3 5 #5 #7", "maj7b9b13"},
    {"1 b2 b3 5 #5 #7", "m(maj7)b9b13"},
    {"1 b2 4 5 #5 #7", "maj7sus(b9)b13"},
    {"1 b3 3 5 b7", "7#9"},
    {"1 b3 3 5 #7", "maj7(#9)"},
    {"1 b3 3 b5 b7", "7b5#9"},
    {"1 b3 3 b5 #7", "maj7b5#9"},
    {"1 b3 3 #5 b7", "7#5#9"},
    {"1 b3 3 #5 #7", "maj7#5#9"},
    {"1 b3 3 b5 5 b7", "7#9#11"},
    {"1 b3 3 b5 5 #7", "maj7#9#11"},
    {"1 b3 3 5 #5 b7", "7#9b13"},
    {"1 b3 3 5 #5 #7", "maj7#9b13"},
    {"1 2 3 5", "(add9)"},
    {"1 2 b3 5", "m(add9)"},
    {"1 2 3 5 b7", "9"},
    {"1 2 b3 5 b7", "m9"},
    {"1 2 3 5 #7", "maj9"},
    {"1 2 b3 5 #7", "m(maj9)"},
    {"1 2 3 5 6", "6/9"},
    {"1 2 b3 5 6", "m6/9"},
    {"1 2 4 5 6", "6/9sus"},
    {"1 2 3 b5 b7", "9b5"},
    {"1 2 b3 b5 b7", "m9b5"},
    {"1 2 3 b5 #7", "maj9b5"},
    {"1 2 b3 b5 #7", "m(maj9)b5"},
    {"1 2 3 b5 6", "6/9(b5)"},
    {"1 2 b3 b5 6", "m6/9(b5)"},
    {"1 2 4 b5 6", "6/9sus(b5)"},
    {"1 2 3 b5 5 b7", "9#11"},
    {"1 2 b3 b5 5 b7", "m9#11"},
    {"1 2 3 b5 5 #7", "maj9#11"},
    {"1 2 b3 b5 5 #7", "m(maj9)#11"},
    {"1 2 3 b5 5 6", "6/9(#11)"},
    {"1 2 b3 b5 5 6", "m6/9(#11)"},
    {"1 2 4 b5 5 6", "6/9sus(#11)"},
    {"1 2 3 #5 b7", "9#5"},
    {"1 2 b3 #5 b7", "m9#5"},
    {"1 2 3 #5 #7", "maj9#5"},
    {"1 2 b3 #5 #7", "m(maj9)#5"},
    {"1 2 3 #5 6", "6/9(#5)"},
    {"1 2 b3 #5 6", "m6/9(#5)"},
    {"1 2 4 #5 6", "6/9sus(#5)"},
    {"1 2 3 5 #5 b7", "9b13"},
    {"1 2 b3 5 #5 b7", "m9b13"},
    {"1 2 3 5 #5 #7", "maj9b13"},
    {"1 2 b3 5 #5 #7", "m(maj9)b13"},
    {"1 2 3 5 #5 6", "6/9(b13)"},
    {"1 2 b3 5 #5 6", "m6/9(b13)"},
    {"1 2 4 5 #5 6", "6/9sus(b13)"},
    {"1 3 4 5", "(add11)"},
    {"1 b3 4 5", "m(add11)"},
    {"1 2 3 4 5 b7", "11"},
    {"1 2 b3 4 5 b7", "m11"},
    {"1 2 3 4 5 #7", "maj11"},
    {"1 2 b3 4 5 #7", "m(maj11)"},
    {"1 2 3 4 b5 b7", "11(b5)"},
    {"1 2 b3 4 b5 b7", "m11(b5)"},
    {"1 2 3 4 b5 #7", "maj11(b5)"},
    {"1 2 b3 4 b5 #7", "m(maj11)b5"},
    {"1 2 3 4 #5 b7", "11(#5)"},
    {"1 2 b3 4 #5 b7", "m11(#5)"},
    {"1 2 3 4 #5 #7", "maj11(#5)"},
    {"1 2 b3 4 #5 #7", "m(maj11)#5"},
    {"1 b2 3 4 5 b7", "11(b9)"},
    {"1 b2 b3 4 5 b7", "m11(b9)"},
    {"1 b2 3 4 5 #7", "maj11(b9)"},
    {"1 b2 b3 4 5 #7", "m(maj11)b9"},
    {"1 2 3 4 5 #5 b7", "11(b13)"},
    {"1 2 b3 4 5 #5 b7", "m11(b13)"},
    {"1 b2 3 4 b5 b7", "11(b5)b9"},
    {"1 b2 b3 4 b5 b7", "m11(b5)b9"},
    {"1 b2 3 4 b5 #7", "maj11(b5)b9"},
    {"1 b2 b3 4 b5 #7", "m(maj11)b5b9"},
    {"1 b2 3 4 #5 b7", "11(#5)b9"},
    {"1 b2 b3 4 #5 b7", "m11(#5)b9"},
    {"1 b2 3 4 #5 #7", "maj11(#5)b9"},
    {"1 b2 b3 4 #5 #7", "m(maj11)#5b9"},
    {"1 2 3 5 6 b7", "13"},
    {"1 2 b3 5 6 b7", "m13"},
    {"1 2 4 5 6 b7", "13sus"},
    {"1 2 3 5 6 #7", "maj13"},
    {"1 2 b3 5 6 #7", "m(maj13)"},
    {"1 2 4 5 6 #7", "maj13sus"},
    {"1 2 3 b5 6 b7", "13b5"},
    {"1 2 b3 b5 6 b7", "m13b5"},
    {"1 2 4 b5 6 b7", "13sus(b5)"},
    {"1 2 3 b5 6 #7", "maj13b5"},
    {"1 2 b3 b5 6 #7", "m(maj13)b5"},
    {"1 2 4 b5 6 #7", "maj13sus(b5)"},
    {"1 2 3 #5 6 b7", "13#5"},
    {"1 2 b3 #5 6 b7", "m13#5"},
    {"1 2 4 #5 6 b7", "13sus(#5)"},
    {"1 2 3 #5 6 #7", "maj13#5"},
    {"1 2 b3 #5 6 #7", "m(maj13)#5"},
    {"1 2 4 #5 6 #7", "maj13sus(#5)"},
    {"1 b2 3 5 6 b7", "13b9"},
    {"1 b2 b3 5 6 b7", "m13b9"},
    {"1 b2 4 5 6 b7", "13sus(b9)"},
    {"1 b2 3 5 6 #7", "maj13b9"},
    {"1 b2 b3 5 6 #7", "m(maj13)b9"},
    {"1 b2 4 5 6 #7", "maj13sus(b9)"},
    {"1 b2 3 b5 6 b7", "13b5b9"},
    {"1 b2 b3 b5 6 b7", "m13b5b9"},
    {"1 b2 4 b5 6 b7", "13sus(b5)b9"},
    {"1 b2 3 b5 6 #7", "maj13b5b9"},
    {"1 b2 b3 b5 6 #7", "m(maj13)b5b9"},
    {"1 b2 4 b5 6 #7", "maj13sus(b5)b9"},
    {"1 b2 3 #5 6 b7", "13#5b9"},
    {"1 b2 b3 #5 6 b7", "m13#5b9"},
    {"1 b2 4 #5 6 b7", "13sus(#5)b9"},
    {"1 b2 3 #5 6 #7", "maj13#5b9"},
    {"1 b2 b3 #5 6 #7", "m(maj13)#5b9"},
    {"1 b2 4 #5 6 #7", "maj13sus(#5)b9"},
    {"1 2 3 4 5 6 b7", "13+11"},
    {"1 2 b3 4 5 6 b7", "m13+11"},
    {"1 2 3 4 5 6 #7", "maj13+11"},
    {"1 2 b3 4 5 6 #7", "m(maj13)+11"},
    {"1 2 3 4 b5 6 b7", "13b5+11"},
    {"1 2 b3 4 b5 6 b7", "m13b5+11"},
    {"1 2 3 4 b5 6 #7", "maj13b5+11"},
    {"1 2 b3 4 b5 6 #7", "m(maj13)b5+11"},
    {"1 2 3 4 #5 6 b7", "13#5+11"},
    {"1 2 b3 4 #5 6 b7", "m13#5+11"},
    {"1 2 3 4 #5 6 #7", "maj13#5+11"},
    {"1 2 b3 4 #5 6 #7", "m(maj13)#5+11"},
    {"1 b2 3 4 5 6 b7", "13b9+11"},
    {"1 b2 b3 4 5 6 b7", "m13b9+11"},
    {"1 b2 3 4 5 6 #7", "maj13b9+11"},
    {"1 b2 b3 4 5 6 #7", "m(maj13)b9+11"},
    {"1 b2 3 4 b5 6 b7", "13b5b9+11"},
    {"1 b2 b3 4 b5 6 b7", "m13b5b9+11"},
    {"1 b2 3 4 #5 6 b7", "13#5b9+11"},
    {"1 b2 b3 4 #5 6 b7", "m13#5b9+11"},
}});

namespace {

constexpr std::array<std::int16_t, 4096> kRowByMask = [] {
  std::array<std::int16_t, 4096> rows{};
  rows.fill(-1);
  for (int i = 0; i < kChordTypeCount; ++i) {
    rows[chordTypeTable[i].intervalMask] = static_cast<std::int16_t>(i);
  }
  return rows;
}();

constexpr std::uint16_t bitsOf(const ImpliedIntervals& implied) {
  return static_cast<std::uint16_t>(
      (implied.third ? 1U << 4 : 0U) | (implied.fifth ? 1U << 7 : 0U) |
      (implied.seventh ? 1U << 10 : 0U) | (implied.ninth ? 1U << 2 : 0U));
}

// Every subset of an attempt comes before it, so a match never assumes an
// interval that actually sounds. All four together are never assumed.
constexpr std::array<ImpliedIntervals, 15> kAttempts{{
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
}};

constexpr std::array<std::uint16_t, kAttempts.size()> kAttemptBits = [] {
  std::array<std::uint16_t, kAttempts.size()> bits{};
  for (std::size_t i = 0; i < kAttempts.size(); ++i) {
    bits[i] = bitsOf(kAttempts[i]);
  }
  return bits;
}();

// The outcome of the whole search for every sounding interval set: the row
// in the low byte and the successful attempt above it, or -1. Sets without
// the root (even masks) never match anything.
constexpr std::array<std::int16_t, 4096> kMatchByMask = [] {
  std::array<std::int16_t, 4096> matches{};
  for (auto& match : matches) {
    match = -1;
  }
  for (unsigned mask = 1; mask < matches.size(); mask += 2) {
    for (unsigned attempt = 0; attempt < kAttempts.size(); ++attempt) {
      const int row = kRowByMask[mask | kAttemptBits[attempt]];
      // The power chord is root and fifth alone; a fifth that was only
      // assumed can never make one.
      if (row > 0 || (row == 0 && !kAttempts[attempt].fifth)) {
        matches[mask] = static_cast<std::int16_t>(attempt << 8 | static_cast<unsigned>(row));
        break;
      }
    }
  }
  return matches;
}();

}  // namespace

int chordTypeRow(std::uint16_t intervalMask) {
  return intervalMask < kRowByMask.size() ? kRowByMask[intervalMask] : -1;
}

std::optional<ChordTypeMatch> matchChordType(std::uint16_t intervalMask) {
  const int match = kMatchByMask[intervalMask & 0xFFFU];
  if (match < 0) {
    return std::nullopt;
  }
  return ChordTypeMatch{match & 0xFF, kAttempts[static_cast<std::size_t>(match >> 8)]};
}

}  // namespace fretlets
