#pragma once

#include <array>
#include <vector>

#include "music/chord_name.h"
#include "music/designer_chord.h"
#include "music/instrument.h"

namespace fretlets {

// The chord to find fingerings for and where on the neck to look.
struct VoicingQuery {
  int rootClass = 0;
  int typeRow = 2;            // a row of chordTypeTable
  int bassClass = kNone;      // -1: any note of the chord, unless rootPosition
  bool rootPosition = false;  // without a bass given, only the root in the bass
  bool enharmonic = false;    // spell the names with the alternative letters
  int strings = 6;
  Tuning tuning = instrumentTable[kGuitar].defaultTuning;
  int span = 4;            // fretted strings lie on at most this many frets
  int lowestPosition = 0;  // the position (lowest fretted fret) ranges over these
  int highestPosition = kMaxFret;
};

// One fingering found, with what it takes to play it.
struct Voicing {
  DesignerChord::Slots frets{-1, -1, -1, -1, -1, -1};
  int rootString = kNone;  // the lowest string that plays the root
  ChordName name;
  int position = 0;      // the lowest fretted fret, 0 when nothing is fretted
  int span = 0;          // frets from the lowest to the highest fretted note
  int fingers = 0;       // a barre, or a partial barre above it, counts as one
  bool barre = false;    // the index finger across the lowest fretted fret
  int bassInterval = 0;  // of the lowest sounding note above the root
  int mutedInner = 0;    // muted strings between the lowest and highest sounding
  int cost = 0;
};

// What makes a fingering harder to play, in points per unit. A fingering
// that sounds fewer strings than the instrument has pays for each one left
// out, so that of two equally easy shapes the fuller one comes first. An
// inversion pays for not having the root in the bass.
struct PlayabilityWeights {
  std::array<int, 4> implied;  // an assumed third, fifth, seventh, ninth
  std::array<int, 12> bass;    // by the bass note's interval above the root
  std::array<int, 7> span;     // by the frets fretted notes cover, 0 for none
  int barre;
  int splitLowFret;  // two fingers on the lowest fret where no barre can lie
  int mutedDamped;   // a muted inner string just above a fretted one
  int mutedAvoided;  // any other muted inner string
  int position;
  int silentBelow;       // each string left out below the bass
  int silentDamped;      // the string just above a fretted top note
  int silentAbove;       // each other string left out above the top note
  int openAwayFromHand;  // each open string, when a finger frets at or above...
  int openAwayFromFret;  // ...this fret
};

extern const PlayabilityWeights playabilityWeights;

int playabilityCost(const Voicing& voicing, int strings);

// Every fingering that the namer names as the asked chord (same root and
// type text; the asked bass, or with none asked any note of the chord in the
// bass, each named as the slash chord it is, unless rootPosition), each
// string muted, open or fretted, at least three strings sounding (all of them
// on a smaller instrument), fretted notes within the span, at most four
// fingers. Easiest first; of equal costs the one that sounds more strings,
// then fret order.
std::vector<Voicing> findVoicings(const VoicingQuery& query);

// The fingering as the Chord Designer would show it for filing in a chord
// book: a shape with open strings stays where it is (at the nut when it
// fits there), a closed shape is movable, barred when it needs a barre.
DesignerChord designerChordFor(const Voicing& voicing, bool enharmonic);

}  // namespace fretlets
