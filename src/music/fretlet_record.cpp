#include "music/fretlet_record.h"

#include "music/designer_chord.h"
#include "music/instrument.h"

namespace fretlets {
int cleanFret(int fret, int topFret) {
  if (fret == kNone || fret == 0 || (fret >= topFret && fret <= topFret + 5 && fret <= kMaxFret)) {
    return fret;
  }
  return fret < topFret ? 0 : kNone;
}

FretletRecord captureFretlet(const DesignerChord& chord, int stringCount) {
  FretletRecord record;
  record.rootString = chord.rootString;
  record.position = chord.topFret;
  bool reachesTopRow = false;
  for (int s = 0; s < stringCount; ++s) {
    record.frets[s] = chord.frets[s];
    reachesTopRow = reachesTopRow || chord.frets[s] == chord.topFret;
  }
  if (!reachesTopRow || chord.barred) {
    for (int s = 0; s < stringCount; ++s) {
      const int fret = record.frets[s];
      if (fret != kNone) {
        const int relative = fret - chord.topFret;
        record.frets[s] =
            static_cast<std::int8_t>(fret == 0 && relative == kNone ? kNone - 1 : relative);
      }
    }
    record.position = reachesTopRow ? FretletRecord::kMovableBarred : FretletRecord::kMovable;
  }
  return record;
}

void applyFretlet(const FretletRecord& record, DesignerChord& chord, int stringCount) {
  chord.rootString = record.rootString;
  if (record.movable()) {
    chord.barred = record.position == FretletRecord::kMovableBarred;
    for (int s = 0; s < stringCount; ++s) {
      const int value = record.frets[s];
      int fret = kNone;
      if (value < kNone) {
        // An open string captured with a raised top fret rings open
        // wherever the shape is placed.
        fret = 0;
      } else if (value != kNone) {
        fret = value + chord.topFret;
      }
      chord.frets[s] = static_cast<std::int8_t>(cleanFret(fret, chord.topFret));
    }
    return;
  }
  chord.barred = false;
  chord.topFret = record.position;
  for (int s = 0; s < stringCount; ++s) {
    chord.frets[s] = static_cast<std::int8_t>(cleanFret(record.frets[s], chord.topFret));
  }
}

bool sameFretlet(const FretletRecord& a, const FretletRecord& b, int stringCount) {
  if (a.rootString != b.rootString || a.position != b.position) {
    return false;
  }
  for (int s = 0; s < stringCount; ++s) {
    if (a.frets[s] != b.frets[s]) {
      return false;
    }
  }
  return true;
}

bool fretletBefore(const FretletRecord& a, const FretletRecord& b, int stringCount) {
  for (int s = 0; s < stringCount; ++s) {
    const bool aPlays = a.frets[s] != kNone;
    const bool bPlays = b.frets[s] != kNone;
    // Below either root a played bass string comes first.
    if ((s < a.rootString || s < b.rootString) && aPlays != bPlays) {
      return aPlays;
    }
    if (a.frets[s] != b.frets[s]) {
      return a.frets[s] < b.frets[s];
    }
  }
  return true;
}

}  // namespace fretlets
