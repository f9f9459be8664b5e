#pragma once

#include <array>
#include <cstdint>
#include <string_view>

#include "music/note.h"

namespace fretlets {

// The one fingering being edited, with its derived pitch classes and
// intervals and the options that travel with it into documents.
struct DesignerChord {
  using Slots = std::array<std::int8_t, kStringSlots>;

  Slots frets{-1, -1, -1, -1, -1, -1};  // -1 not played, 0 open, else absolute fret
  Slots pitchClasses{-1, -1, -1, -1, -1, -1};
  std::int8_t rootString = 0;
  std::int8_t rootClass = -1;
  Slots intervals{};
  std::uint16_t intervalSet = 0;  // bit k: interval k sounds on some string
  bool enharmonic = false;
  bool holdAll = false;
  std::array<bool, kStringSlots> held{};
  bool release = true;
  bool barred = false;
  std::int8_t topFret = 0;  // fret of the diagram's top row, 0..17

  bool hasInterval(int interval) const { return (intervalSet >> interval) & 1U; }
  bool sounds(int slot) const { return frets[slot] != kNone; }
};

inline constexpr int kMaxTopFret = 17;

// Mutes every string and forgets the pitch classes and held marks; the root,
// options and top fret stay.
void clearChord(DesignerChord& chord);

// The lowest slot that is played, or -1 when none is.
int lowestSoundingString(const DesignerChord& chord);

// Pitch class of every played slot from the tuning; -1 for the others.
void computePitchClasses(DesignerChord& chord, const Tuning& tuning);

// Intervals of every sounding slot above the pitch class of rootString
// (a played slot 0..5), and the set of intervals that sound.
void computeIntervals(DesignerChord& chord, int rootString);

// The note of a slot spelled from the root's letter, or "" when the slot
// has no interval. Needs computeIntervals first.
std::string_view spellNote(const DesignerChord& chord, int slot);

}  // namespace fretlets
