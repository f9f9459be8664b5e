#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string_view>

namespace fretlets {

struct DesignerChord;

struct ChordType {
  std::uint16_t intervalMask;  // bit k: interval k above the root
  std::string_view suffix;
};

inline constexpr int kChordTypeCount = 229;

extern const std::array<ChordType, kChordTypeCount> chordTypeTable;

// Intervals that naming may assume when they do not sound.
struct ImpliedIntervals {
  bool third = false;    // interval 4
  bool fifth = false;    // interval 7
  bool seventh = false;  // interval 10
  bool ninth = false;    // interval 2

  friend bool operator==(const ImpliedIntervals&, const ImpliedIntervals&) = default;
};

// The row whose mask equals the chord's interval set plus the implied
// intervals, as its suffix, or "" when none does. An assumed fifth never
// yields the power chord "5".
std::string_view lookupChordType(const DesignerChord& chord, const ImpliedIntervals& implied);

// Row index of the chord type with exactly this 12-bit mask, or -1.
int chordTypeRow(std::uint16_t intervalMask);

struct ChordTypeMatch {
  int row;
  ImpliedIntervals implied;
};

// The search a chord is named by: the sounding set alone, then with ever
// more assumed intervals (third, fifth, seventh, ninth) until a row matches.
std::optional<ChordTypeMatch> matchChordType(std::uint16_t intervalMask);

}  // namespace fretlets
