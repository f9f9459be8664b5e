#include "music/chord_candidates.h"

#include <algorithm>

#include "music/chord_type.h"
#include "music/fingering_reading.h"

namespace fretlets {

// A reading with its root in the bass, a familiar type and nothing assumed
// is how a player names a shape first. A missing fifth is common in real
// voicings and costs little; a missing third, seventh or ninth means the
// shape hardly says that chord. An eleventh chord leaves its third out as a
// rule (it would clash with the eleventh), so x3333x is C11. But without a
// third or a fifth a suspended chord is a stack of fourths that reads better
// from the note a fourth lower (x00233 is Dsus4/A, not A7sus), and a major sixth
// chord without its fifth is the minor triad over its third (x3221x is
// Am/C): the namer has to assume nothing there. A minor sixth shell keeps
// its name (3x23xx is Gm6). A slash chord is heard as an
// inversion when its bass is the third or fifth (C/E, C/G), less so over the
// seventh, and hardly at all over any other note: x02010 is Am7 rather than
// C6/A.
//
// The points were set by hand on the table of guitar shapes in the tests:
// the familiarity and the bass first, the rules about assumed notes each
// just large enough to turn the shapes they are about, then checked that no
// other shape of the table lost its place.
const CandidateWeights candidateWeights{
    .rootInBass = 25,
    .impliedThird = 20,
    .impliedThirdBesideFourth = 3,
    .impliedFifth = 4,
    .impliedFifthWithoutThird = 16,
    .impliedFifthBesideSixth = 14,
    .impliedSeventh = 16,
    .impliedNinth = 16,
    //              1  b2 2  b3  3   4  b5 5   #5 6  b7 #7
    .bassInterval = {0, 0, 0, 10, 12, 0, 0, 12, 0, 0, 8, 4},
};

// How often a player meets each chord type: triads, the power chord and the
// three everyday sevenths; then suspensions, sixths, ninths and the
// diminished and half-diminished chords; then the altered dominants and the
// other extensions of jazz charts.
const std::vector<TypeFamiliarity> typeFamiliarity{
    {"maj", 30},     {"m", 30},       {"5", 30},       {"7", 28},       {"m7", 28},
    {"maj7", 28},    {"sus4", 24},    {"sus2", 24},    {"7sus", 24},    {"6", 24},
    {"m6", 24},      {"9", 24},       {"m9", 24},      {"maj9", 24},    {"(add9)", 24},
    {"m(add9)", 22}, {"dim", 24},     {"m7b5", 24},    {"6/9", 22},     {"13", 22},
    {"7#9", 22},     {"7b9", 20},     {"(#5)", 20},    {"7#5", 18},     {"7b5", 16},
    {"11", 16},      {"m11", 18},     {"m(maj7)", 18}, {"maj7#11", 16}, {"m13", 16},
    {"maj13", 16},   {"7#11", 16},    {"maj7#5", 16},  {"9#11", 14},    {"7b13", 14},
    {"m6/9", 14},    {"(add11)", 14}, {"maj7sus", 12}, {"6sus", 8},     {"9b5", 8},
    {"9#5", 8},
};

int candidateScore(const ChordName& name, int bassInterval) {
  const CandidateWeights& w = candidateWeights;
  const auto familiar = std::ranges::find(typeFamiliarity, name.type, &TypeFamiliarity::suffix);
  int score = familiar == typeFamiliarity.end() ? 0 : familiar->points;
  score += name.bass.empty() ? w.rootInBass : w.bassInterval[(bassInterval % 12 + 12) % 12];
  const auto row = std::ranges::find(chordTypeTable, name.type, &ChordType::suffix);
  const std::uint16_t mask = row == chordTypeTable.end() ? 0 : row->intervalMask;
  const auto has = [mask](int interval) { return ((mask >> interval) & 1U) != 0; };
  if (name.implied.third) {
    score -= has(5) ? w.impliedThirdBesideFourth : w.impliedThird;
  }
  if (name.implied.fifth) {
    score -= w.impliedFifth + (has(3) || has(4) ? 0 : w.impliedFifthWithoutThird) +
             (has(4) && has(9) ? w.impliedFifthBesideSixth : 0);
  }
  score -=
      (name.implied.seventh ? w.impliedSeventh : 0) + (name.implied.ninth ? w.impliedNinth : 0);
  return score;
}

std::vector<ChordCandidate> chordCandidates(const DesignerChord& chord, const Tuning& tuning) {
  std::vector<ChordCandidate> candidates;
  const int lowest = lowestSoundingString(chord);
  if (lowest == kNone) {
    return candidates;
  }
  // Strings with the same pitch class give the same name; the first one
  // stands for them all.
  std::uint16_t rootsTried = 0;
  for (int s = lowest; s < kStringSlots; ++s) {
    const FingeringReading reading = readFingering(chord, tuning, s);
    if (reading.rootString == kNone) {
      continue;
    }
    const int pc = reading.strings[s].pitchClass;
    if (((rootsTried >> pc) & 1U) != 0) {
      continue;
    }
    rootsTried |= static_cast<std::uint16_t>(1U << pc);
    if (!reading.name.found()) {
      continue;
    }
    candidates.push_back(
        {s, reading.name, candidateScore(reading.name, reading.strings[lowest].interval)});
  }
  std::ranges::stable_sort(candidates, std::ranges::greater{}, &ChordCandidate::score);
  return candidates;
}

}  // namespace fretlets
