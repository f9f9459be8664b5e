#pragma once

#include <algorithm>
#include <array>
#include <cstdint>
#include <optional>
#include <stdexcept>
#include <string_view>

#include "music/note.h"

namespace fretlets {

struct ChordType {
  std::uint16_t intervalMask;  // bit k: interval k above the root
  std::string_view suffix;
};

inline constexpr int kChordTypeCount = 229;

// The mask of interval names spelled as the Designer labels them ("1", "b2",
// ... "#7"), one space between two: "1 b3 5" is 0x089. An unknown or repeated
// name throws, so that a misspelt row of the chord-type table cannot build.
constexpr std::uint16_t intervalMaskOf(std::string_view names) {
  unsigned mask = 0;
  while (!names.empty()) {
    const std::string_view name = names.substr(0, names.find(' '));
    int interval = 0;
    while (interval < 12 && intervalLabel(interval) != name) {
      ++interval;
    }
    if (interval == 12 || ((mask >> interval) & 1U) != 0) {
      throw std::invalid_argument("unknown or repeated interval name");
    }
    mask |= 1U << interval;
    names.remove_prefix(std::min(name.size() + 1, names.size()));
  }
  return static_cast<std::uint16_t>(mask);
}

extern const std::array<ChordType, kChordTypeCount> chordTypeTable;

// Intervals that naming may assume when they do not sound.
struct ImpliedIntervals {
  bool third = false;    // interval 4
  bool fifth = false;    // interval 7
  bool seventh = false;  // interval 10
  bool ninth = false;    // interval 2

  friend bool operator==(const ImpliedIntervals&, const ImpliedIntervals&) = default;
};

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
