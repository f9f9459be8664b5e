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

// The fret a string takes on the diagram at topFret: not played, open and
// the six rows from the top fret down stay as they are. A fret below the top
// fret can only be an open string of a shape moved to another top fret, so
// it rings open again; a fret past the rows is not played.
int cleanFret(int fret, int topFret);

// An open string of a movable shape is stored as minus the top fret it was
// captured at, and never as -1 (which mutes): at top fret 1 it is -2.
FretletRecord captureFretlet(const DesignerChord& chord, int stringCount);

// Writes the record into the chord. A movable shape goes to the chord's
// current top fret; a fixed one brings its own top fret. Every fret is
// cleaned for the top fret it lands at.
void applyFretlet(const FretletRecord& record, DesignerChord& chord, int stringCount);

bool sameFretlet(const FretletRecord& a, const FretletRecord& b, int stringCount);

// True when a sorts before b or equals it. Not a strict weak ordering: keep
// sequences ordered by insertion, never with std::sort.
bool fretletBefore(const FretletRecord& a, const FretletRecord& b, int stringCount);

}  // namespace fretlets
