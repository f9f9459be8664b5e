#include <gtest/gtest.h>

#include <set>
#include <string>

#include "music/note.h"

namespace fretlets {
namespace {

// The pitch class a spelled note names: its letter's, moved by its sharps
// and flats.
int pitchClassOf(std::string_view name) {
  constexpr std::array<int, 7> kNatural{0, 2, 4, 5, 7, 9, 11};
  int pc = kNatural[kLetters.find(name.front())];
  for (const char accidental : name.substr(1)) {
    pc += accidental == '#' ? 1 : -1;
  }
  return (pc + 12) % 12;
}

TEST(Notes, EverySpellingNamesItsPitchOnTheLetterItsIntervalLabelCallsFor) {
  for (const bool enharmonic : {false, true}) {
    for (int root = 0; root < 12; ++root) {
      const std::string_view rootName = spellPitchClass(root, root, enharmonic);
      const auto rootLetter = static_cast<int>(kLetters.find(rootName.front()));
      for (int pc = 0; pc < 12; ++pc) {
        const int interval = (pc - root + 12) % 12;
        // "b3" is on the third letter, "#7" on the seventh.
        const int degree = intervalLabel(interval).back() - '0';
        const char letter = kLetters[(rootLetter + degree - 1) % 7];
        const int natural = pitchClassOf(std::string_view(&letter, 1));
        const bool spellable = std::set<int>{0, 1, 2, 10, 11}.count((pc - natural + 12) % 12) > 0;
        const std::string_view name = spellPitchClass(root, pc, enharmonic);
        SCOPED_TRACE(std::string(rootName) + " + " + std::string(intervalLabel(interval)));
        ASSERT_EQ(name.empty(), !spellable);
        if (spellable) {
          EXPECT_EQ(name.front(), letter);
          EXPECT_EQ(pitchClassOf(name), pc);
        }
      }
    }
  }
}

}  // namespace
}  // namespace fretlets
