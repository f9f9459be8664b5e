#pragma once

#include <array>
#include <cstdint>

#include "music/note.h"

namespace fretlets {

struct DesignerChord;

// The 8-byte fingering kept in chord books. A fixed record (position 0..17)
// holds absolute frets and the top fret it was made at; a movable record
// holds frets relative to the top fret and is placed wherever the diagram
// stands when applied.
struct FretletRecord {
  static constexpr std::int8_t kMovableBarred = -1;
  static constexpr std::int8_t kMovable = -2;

  std::int8_t rootString = 0;
  std::array<std::int8_t, kStringSlots> frets{-1, -1, -1, -1, -1, -1};
  std::int8_t position = 0;

  bool movable() const { return position < 0; }
};

FretletRecord captureFretlet(const DesignerChord& chord, int stringCount);

// Writes the record into the chord. A movable shape goes to the chord's
// current top fret; a fixed one brings its own top fret.
void applyFretlet(const FretletRecord& record, DesignerChord& chord, int stringCount);

bool sameFretlet(const FretletRecord& a, const FretletRecord& b, int stringCount);

// True when a sorts before b or equals it. Not a strict weak ordering: keep
// sequences ordered by insertion, never with std::sort.
bool fretletBefore(const FretletRecord& a, const FretletRecord& b, int stringCount);

}  // namespace fretlets
