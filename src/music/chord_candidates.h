#pragma once

#include <array>
#include <string_view>
#include <vector>

#include "music/chord_name.h"
#include "music/note.h"

namespace fretlets {

struct DesignerChord;

// One reading of a fingering: its name with the root on one string, and how
// naturally a player would read it so.
struct ChordCandidate {
  int rootString;
  ChordName name;
  int score;
};

// Points a reading earns or loses. A reading scores the familiarity of its
// chord type, a bonus when the root is the bass (or, for a slash chord, what
// the bass note is heard as), and loses points for every interval the name
// has to assume; what an assumed third or fifth costs depends on what else
// the type holds.
struct CandidateWeights {
  int rootInBass;
  int impliedThird;
  int impliedThirdBesideFourth;  // in an eleventh chord, whose fourth sounds
  int impliedFifth;
  int impliedFifthWithoutThird;  // added when the type has no third at all
  int impliedFifthBesideSixth;   // added when the type has a major third and a sixth
  int impliedSeventh;
  int impliedNinth;
  // Points for a slash chord's bass by its interval above the root; a bass
  // that is no chord tone of a plain triad or seventh earns nothing.
  std::array<int, 12> bassInterval;
};

struct TypeFamiliarity {
  std::string_view suffix;
  int points;  // chord types not listed earn none
};

extern const CandidateWeights candidateWeights;
extern const std::vector<TypeFamiliarity> typeFamiliarity;

// The score of one reading; the slash chord's bass is bassInterval semitones
// above the root (ignored when the name has no bass).
int candidateScore(const ChordName& name, int bassInterval);

// Every name the fingering gets in the tuning with one of its sounding
// strings as root, each name once (with its lowest root string), best score
// first; equal scores keep the lower root string first.
std::vector<ChordCandidate> chordCandidates(const DesignerChord& chord, const Tuning& tuning);

}  // namespace fretlets
