#include "music/note.h"

namespace fretlets {
namespace {

// Letters above the root's letter for each interval: a tritone is a lowered
// fifth and an augmented fifth a raised fifth, both on the fifth's letter.
constexpr std::array<int, 12> kLetterStep{0, 1, 1, 2, 2, 3, 4, 4, 4, 5, 6, 6};

bool keepsLetterWhenEnharmonic(int pitchClass) {
  return pitchClass == 0 || pitchClass == 2 || pitchClass == 7 || pitchClass == 9;
}

}  // namespace

std::string_view spellPitchClass(int rootClass, int pitchClass, bool enharmonic) {
  const NoteRow& rootRow = noteTable[rootClass];
  const int rootLetter = enharmonic && !keepsLetterWhenEnharmonic(rootClass)
                             ? rootRow.alternativeLetter
                             : rootRow.letter;
  const int interval = (pitchClass - rootClass + 12) % 12;
  const char target = kLetters[(rootLetter + kLetterStep[interval]) % 7];
  const NoteRow& row = noteTable[pitchClass];
  if (row.first.front() == target) {
    return row.first;
  }
  if (row.second.front() == target) {
    return row.second;
  }
  return row.third;
}

}  // namespace fretlets
