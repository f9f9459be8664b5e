#include "music/designer_chord.h"

namespace fretlets {

void clearChord(DesignerChord& chord) {
  chord.frets.fill(kNone);
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

}  // namespace fretlets
