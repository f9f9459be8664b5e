#pragma once

#include "music/designer_chord.h"
#include "music/fingering_reading.h"
#include "music/instrument.h"

namespace fretlets::test {

inline constexpr Tuning kStandardGuitar = instrumentTable[kGuitar].defaultTuning;

// A chord with these frets, slot 0 first.
inline DesignerChord chordOf(const DesignerChord::Slots& frets) {
  DesignerChord chord;
  chord.frets = frets;
  return chord;
}

inline ChordName nameFrom(const DesignerChord::Slots& frets, int rootString,
                          const Tuning& tuning = kStandardGuitar) {
  return readFingering(chordOf(frets), tuning, rootString).name;
}

}  // namespace fretlets::test
