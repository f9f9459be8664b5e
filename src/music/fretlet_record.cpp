#include "music/fretlet_record.h"

#include "music/designer_chord.h"
#include "music/instrument.h"

namespace fretlets {
namespace {

// A fret the diagram can show at this top fret: not played, open, or one
// of the six rows from the top fret down (never past the last fret).
bool showable(int fret, int topFret) {
  return fret == kNone || fret == 0 || (fret >= topFret && fret <= topFret + 5 && fret <= kMaxFret);
}

}  // namespace

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
      if (record.frets[s] != kNone) {
        record.frets[s] = static_cast<std::int8_t>(record.frets[s] - chord.topFret);
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
        // An open string captured with a raised top fret: the shape moves,
        // the open string keeps ringing open wherever it is placed.
        fret = 0;
      } else if (value != kNone) {
        fret = value + chord.topFret;
      }
      chord.frets[s] = static_cast<std::int8_t>(showable(fret, chord.topFret) ? fret : kNone);
    }
    return;
  }
  chord.barred = false;
  chord.topFret = record.position;
  for (int s = 0; s < stringCount; ++s) {
    const int fret = record.frets[s];
    chord.frets[s] = static_cast<std::int8_t>(showable(fret, chord.topFret) ? fret : kNone);
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
