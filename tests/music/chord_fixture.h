#pragma once

#include "music/chord_name.h"
#include "music/designer_chord.h"
#include "music/instrument.h"

namespace fretlets::test {

inline constexpr Tuning kStandardGuitar = instrumentTable[kGuitar].defaultTuning;

// A chord with these frets (slot 0 first) and its pitch classes computed.
inline DesignerChord chordOf(const DesignerChord::Slots& frets,
                             const Tuning& tuning = kStandardGuitar) {
  DesignerChord chord;
  chord.frets = frets;
  computePitchClasses(chord, tuning);
  return chord;
}

inline ChordName nameFrom(const DesignerChord::Slots& frets, int rootString,
                          const Tuning& tuning = kStandardGuitar) {
  DesignerChord chord = chordOf(frets, tuning);
  return nameChord(chord, rootString);
}

}  // namespace fretlets::test
