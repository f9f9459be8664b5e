#pragma once

#include <array>
#include <cstdint>

#include "music/note.h"

namespace fretlets {

// The one fingering being edited, with the options that travel with it into
// documents. What it sounds like is read from it with readFingering.
struct DesignerChord {
  using Slots = std::array<std::int8_t, kStringSlots>;

  Slots frets{-1, -1, -1, -1, -1, -1};  // -1 not played, 0 open, else absolute fret
  std::int8_t rootString = 0;
  bool enharmonic = false;
  bool holdAll = false;
  std::array<bool, kStringSlots> held{};
  bool release = true;
  bool barred = false;
  std::int8_t topFret = 0;  // fret of the diagram's top row, 0..17

  bool sounds(int slot) const { return frets[slot] != kNone; }
};

inline constexpr int kMaxTopFret = 17;

// Mutes every string and forgets the held marks; the root, options and top
// fret stay.
void clearChord(DesignerChord& chord);

// The lowest slot that is played, or -1 when none is.
int lowestSoundingString(const DesignerChord& chord);

}  // namespace fretlets
