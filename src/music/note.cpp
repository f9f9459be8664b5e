#include "music/note.h"

#include "music/designer_chord.h"

namespace fretlets {
namespace {

// Letters above the root's letter for each interval: a tritone is a lowered
// fifth and an augmented fifth a raised fifth, both on the fifth's letter.
constexpr std::array<int, 12> kLetterStep{0, 1, 1, 2, 2, 3, 4, 4, 4, 5, 6, 6};

bool keepsLetterWhenEnharmonic(int pitchClass) {
  return pitchClass == 0 || pitchClass == 2 || pitchClass == 7 || pitchClass == 9;
}

}  // namespace

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
  const int interval = chord.intervals[slot];
  const int pc = chord.pitchClasses[slot];
  if (interval == kNone || pc == kNone || chord.rootClass == kNone) {
    return {};
  }
  const NoteRow& rootRow = noteTable[chord.rootClass];
  const int rootLetter = chord.enharmonic && !keepsLetterWhenEnharmonic(chord.rootClass)
                             ? rootRow.alternativeLetter
                             : rootRow.letter;
  const char target = kLetters[(rootLetter + kLetterStep[interval]) % 7];
  const NoteRow& row = noteTable[pc];
  if (row.first.front() == target) {
    return row.first;
  }
  if (row.second.front() == target) {
    return row.second;
  }
  return row.third;
}

}  // namespace fretlets
