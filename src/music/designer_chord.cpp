#include "music/designer_chord.h"

namespace fretlets {

void clearChord(DesignerChord& chord) {
  chord.frets.fill(kNone);
  chord.pitchClasses.fill(kNone);
  chord.held.fill(false);
}

int lowestSoundingString(const DesignerChord& chord) {
  for (int s = 0; s < kStringSlots; ++s) {
    if (chord.sounds(s)) {
      return s;
    }
  }
  return kNone;
}

void computePitchClasses(DesignerChord& chord, const Tuning& tuning) {
  for (int s = 0; s < kStringSlots; ++s) {
    const int fret = chord.frets[s];
    chord.pitchClasses[s] =
        fret == kNone ? kNone : static_cast<std::int8_t>((tuning[s] + fret) % 12);
  }
}

void computeIntervals(DesignerChord& chord, int rootString) {
  chord.rootString = static_cast<std::int8_t>(rootString);
  chord.rootClass = chord.pitchClasses[rootString];
  chord.intervalSet = 0;
  for (int s = 0; s < kStringSlots; ++s) {
    const int pc = chord.pitchClasses[s];
    if (pc == kNone) {
      chord.intervals[s] = kNone;
      continue;
    }
    const int interval = (pc - chord.rootClass + 12) % 12;
    chord.intervals[s] = static_cast<std::int8_t>(interval);
    chord.intervalSet |= static_cast<std::uint16_t>(1U << interval);
  }
}

std::string_view spellNote(const DesignerChord& chord, int slot) {
  if (chord.intervals[slot] == kNone || chord.pitchClasses[slot] == kNone ||
      chord.rootClass == kNone) {
    return {};
  }
  return spellPitchClass(chord.rootClass, chord.pitchClasses[slot], chord.enharmonic);
}

}  // namespace fretlets
