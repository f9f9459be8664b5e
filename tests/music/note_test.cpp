#include <gtest/gtest.h>

#include <set>
#include <sstream>
#include <string>

#include "chord_fixture.h"

namespace fretlets {
namespace {

using test::chordOf;
using test::kStandardGuitar;

// One field of every string, each after a space.
template <typename T>
std::string each(const FingeringReading& reading, T StringReading::*field) {
  std::ostringstream out;
  for (const StringReading& string : reading.strings) {
    out << ' ' << string.*field;
  }
  return out.str();
}

TEST(Notes, PitchClassesIntervalsAndSpellingFollowFretsTuningAndRoot) {
  const DesignerChord chord = chordOf("x02210");  // x A E A C E
  const FingeringReading am = readFingering(chord, kStandardGuitar, 1);
  EXPECT_EQ(am.rootString, 1);
  EXPECT_EQ(each(am, &StringReading::pitchClass), " -1 9 4 9 0 4");
  EXPECT_EQ(each(am, &StringReading::interval), " -1 0 7 0 3 7");
  // Octaves set one flag; the set says which intervals sound, not how often.
  EXPECT_EQ(am.intervalSet, (1U << 0) | (1U << 3) | (1U << 7));
  const FingeringReading c6 = readFingering(chord, kStandardGuitar, 4);
  EXPECT_EQ(each(c6, &StringReading::interval), " -1 9 4 9 0 4");
  EXPECT_EQ(c6.intervalSet, (1U << 0) | (1U << 4) | (1U << 9));
  // Spelled from the root's letter, plainly or enharmonically.
  const struct {
    std::string_view frets;
    int root;
    bool enharmonic;
    std::string_view notes;
  } cases[] = {{"x02210", 1, false, "  A E A C E"},
               {"022100", 0, false, " E B E G# B E"},
               {"022100", 0, true, " Fb Cb Fb Ab Cb Fb"},
               {"x46664", 1, false, "  C# G# C# E# G#"},
               {"x46664", 1, true, "  Db Ab Db F Ab"}};
  for (const auto& c : cases) {
    DesignerChord spelled = chordOf(c.frets);
    spelled.enharmonic = c.enharmonic;
    EXPECT_EQ(each(readFingering(spelled, kStandardGuitar, c.root), &StringReading::note), c.notes);
  }
}

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
