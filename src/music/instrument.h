#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string_view>

#include "music/note.h"

namespace fretlets {

struct InstrumentInfo {
  std::string_view name;
  std::int8_t stringCount;  // strings or courses, 3..6
  std::int8_t fretCount;    // the designer reaches frets 0..fretCount
  Tuning defaultTuning;     // unused slots hold -1
};

inline constexpr int kInstrumentCount = 16;
inline constexpr int kGuitar = 9;
inline constexpr int kMaxFret = 22;
inline constexpr int kMaxOpenNote = 83;

// Alphabetical, so that a list position equals the index; the index is the
// instrument's identity in files.
inline constexpr std::array<InstrumentInfo, kInstrumentCount> instrumentTable{{
    {"Banjo", 4, 22, {48, 55, 59, 62, -1, -1}},
    {"Banjo (5-string)", 5, 22, {43, 48, 55, 59, 62, -1}},
    {"Bass", 4, 22, {28, 33, 38, 43, -1, -1}},
    {"Bass (5-string)", 5, 22, {23, 28, 33, 38, 43, -1}},
    {"Bouzouki (3-course)", 3, 22, {50, 57, 62, -1, -1, -1}},
    {"Bouzouki (4-course)", 4, 22, {48, 53, 57, 62, -1, -1}},
    {"Bouzouki (Irish)", 4, 22, {43, 50, 57, 62, -1, -1}},
    {"Cello", 4, 22, {24, 31, 38, 45, -1, -1}},
    {"Cittern", 5, 22, {38, 43, 50, 57, 62, -1}},
    {"Guitar", 6, 22, {40, 45, 50, 55, 59, 64}},
    {"Mandolin", 4, 22, {55, 62, 69, 76, -1, -1}},
    {"Oud (5-course)", 5, 22, {43, 45, 50, 55, 60, -1}},
    {"Oud (6-course)", 6, 22, {38, 43, 45, 50, 55, 60}},
    {"Saz", 3, 22, {43, 50, 57, -1, -1, -1}},
    {"Viola", 4, 22, {36, 43, 50, 57, -1, -1}},
    {"Violin", 4, 22, {55, 62, 69, 76, -1, -1}},
}};

constexpr bool isInstrumentIndex(int index) {
  return index >= 0 && index < kInstrumentCount;
}

// String count of an instrument index 0..15.
constexpr int stringCount(int instrument) {
  return instrumentTable[instrument].stringCount;
}

// Writes the instrument's default tuning into the used slots and -1 into the
// rest. An index outside 0..15 writes nothing.
void defaultTuning(int instrument, Tuning& tuning);

// The application-wide instrument and tuning.
struct InstrumentState {
  std::int8_t currentInstrument = kGuitar;
  Tuning tuning = instrumentTable[kGuitar].defaultTuning;

  int strings() const { return stringCount(currentInstrument); }
};

// Which comparison failed when a document's instrument and tuning are
// checked against the current ones.
enum class Compatibility { Compatible, InstrumentDiffers, TuningDiffers };

// The instrument is compared first, then the notes of every used string.
// Slots beyond the string count are not compared.
Compatibility checkCompatibility(const InstrumentState& current, int instrument,
                                 const Tuning& tuning);

// Makes a document's instrument and tuning current. The instrument must be
// a valid index; unused slots become -1.
void adoptInstrument(InstrumentState& current, int instrument, const Tuning& tuning);

// An instrument by index ("9") or by name, case-insensitive ("guitar").
std::optional<int> findInstrument(std::string_view indexOrName);

}  // namespace fretlets
