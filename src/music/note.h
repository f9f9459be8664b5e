#pragma once

#include <array>
#include <cstdint>
#include <string_view>

namespace fretlets {

// -1 stands for "none" throughout: a string not played, a slot beyond the
// string count, no pitch class, no interval, an automatic root.
inline constexpr int kNone = -1;
inline constexpr int kStringSlots = 6;

// Open-string note of each string slot; slot 0 is the lowest string.
using Tuning = std::array<std::int8_t, kStringSlots>;

// One row per pitch class (and per interval of the same number).
struct NoteRow {
  std::string_view first;  // the plain (sharp) name
  std::string_view second;
  std::string_view third;  // may be empty
  std::string_view intervalLabel;
  std::int8_t letter;  // index into kLetters of the first spelling
  std::int8_t alternativeLetter;
};

inline constexpr std::string_view kLetters = "CDEFGAB";

inline constexpr std::array<NoteRow, 12> noteTable{{
    {"C", "B#", "Dbb", "1", 0, 6},
    {"C#", "Db", "B##", "b2", 0, 1},
    {"D", "C##", "Ebb", "2", 1, 0},
    {"D#", "Eb", "Fbb", "b3", 1, 2},
    {"E", "Fb", "D##", "3", 2, 3},
    {"F", "E#", "Gbb", "4", 3, 2},
    {"F#", "Gb", "E##", "b5", 3, 4},
    {"G", "F##", "Abb", "5", 4, 3},
    {"G#", "Ab", "", "#5", 4, 5},
    {"A", "G##", "Bbb", "6", 5, 4},
    {"A#", "Bb", "Cbb", "b7", 5, 6},
    {"B", "Cb", "A##", "#7", 6, 0},
}};

// The plain name of a pitch class, or "" for -1.
constexpr std::string_view pitchClassName(int pitchClass) {
  return pitchClass >= 0 && pitchClass < 12 ? noteTable[pitchClass].first : std::string_view{};
}

// The label of an interval ("1", "b2", ... "#7"), or "" for -1.
constexpr std::string_view intervalLabel(int interval) {
  return interval >= 0 && interval < 12 ? noteTable[interval].intervalLabel : std::string_view{};
}

// The note of pitchClass spelled on the letter its interval above rootClass
// calls for (both 0..11): "C#" or "Db", "B" or "Cb". With enharmonic the
// letters are counted from the root's alternative spelling.
std::string_view spellPitchClass(int rootClass, int pitchClass, bool enharmonic);

}  // namespace fretlets
