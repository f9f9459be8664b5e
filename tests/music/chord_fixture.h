#pragma once

#include <string_view>

#include "music/designer_chord.h"
#include "music/fingering_reading.h"
#include "music/fretlet_record.h"
#include "music/instrument.h"

namespace fretlets::test {

inline constexpr Tuning kStandardGuitar = instrumentTable[kGuitar].defaultTuning;

// Frets as players write them, one character a string, low string first:
// "x32010"; frets from 10 up are letters, "a" for 10.
inline DesignerChord::Slots shape(std::string_view text) {
  DesignerChord::Slots frets{kNone, kNone, kNone, kNone, kNone, kNone};
  for (std::size_t s = 0; s < text.size(); ++s) {
    const char c = text[s];
    frets[s] = static_cast<std::int8_t>(c == 'x' ? kNone : c <= '9' ? c - '0' : c - 'a' + 10);
  }
  return frets;
}

inline DesignerChord chordOf(std::string_view frets) {
  DesignerChord chord;
  chord.frets = shape(frets);
  return chord;
}

// A Designer chord at a top fret, barred or not, rooted on a string.
inline DesignerChord designer(const DesignerChord::Slots& frets, int topFret, bool barred,
                              int rootString) {
  DesignerChord chord;
  chord.frets = frets;
  chord.topFret = static_cast<std::int8_t>(topFret);
  chord.barred = barred;
  chord.rootString = static_cast<std::int8_t>(rootString);
  return chord;
}

// A chord book's record of a fingering.
inline FretletRecord fretlet(const DesignerChord::Slots& frets, int rootString = 0,
                             int position = 0) {
  return {static_cast<std::int8_t>(rootString), frets, static_cast<std::int8_t>(position)};
}

inline ChordName nameFrom(std::string_view frets, int rootString) {
  return readFingering(chordOf(frets), kStandardGuitar, rootString).name;
}

}  // namespace fretlets::test
