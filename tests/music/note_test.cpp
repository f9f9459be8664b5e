#include <gtest/gtest.h>

#include <set>
#include <string>

#include "chord_fixture.h"

namespace fretlets {
namespace {

using test::chordOf;
using test::kStandardGuitar;

using Spelled = std::array<std::string_view, kStringSlots>;

Spelled spelled(const DesignerChord& chord, int rootString) {
  const FingeringReading reading = readFingering(chord, kStandardGuitar, rootString);
  Spelled notes{};
  for (int s = 0; s < kStringSlots; ++s) {
    notes[s] = reading.strings[s].note;
  }
  return notes;
}

TEST(Notes, PitchClassesAndIntervalsFollowFretsTuningAndRoot) {
  const DesignerChord chord = chordOf({-1, 0, 2, 2, 1, 0});  // x A E A C E
  const auto each = [](const FingeringReading& reading, int StringReading::*field) {
    std::array<int, kStringSlots> values{};
    for (int s = 0; s < kStringSlots; ++s) {
      values[s] = reading.strings[s].*field;
    }
    return values;
  };
  using Values = std::array<int, kStringSlots>;
  const FingeringReading am = readFingering(chord, kStandardGuitar, 1);
  EXPECT_EQ(am.rootString, 1);
  EXPECT_EQ(each(am, &StringReading::pitchClass), (Values{-1, 9, 4, 9, 0, 4}));
  EXPECT_EQ(each(am, &StringReading::interval), (Values{-1, 0, 7, 0, 3, 7}));
  // Octaves set one flag; the set says which intervals sound, not how often.
  EXPECT_EQ(am.intervalSet, (1U << 0) | (1U << 3) | (1U << 7));
  EXPECT_EQ(am.strings[0].note, "");

  const FingeringReading c6 = readFingering(chord, kStandardGuitar, 4);
  EXPECT_EQ(each(c6, &StringReading::interval), (Values{-1, 9, 4, 9, 0, 4}));
  EXPECT_EQ(c6.intervalSet, (1U << 0) | (1U << 4) | (1U << 9));
}

TEST(Notes, SpellingFollowsTheRootLetter) {
  // E major: E G# B, and with enharmonic spelling Fb Ab Cb.
  DesignerChord e = chordOf({0, 2, 2, 1, 0, 0});
  EXPECT_EQ(spelled(e, 0), (Spelled{"E", "B", "E", "G#", "B", "E"}));
  e.enharmonic = true;
  EXPECT_EQ(spelled(e, 0), (Spelled{"Fb", "Cb", "Fb", "Ab", "Cb", "Fb"}));

  // C# major (4th fret barre shape on A): C# E# G#; enharmonic Db F Ab.
  DesignerChord cSharp = chordOf({-1, 4, 6, 6, 6, 4});
  EXPECT_EQ(spelled(cSharp, 1), (Spelled{"", "C#", "G#", "C#", "E#", "G#"}));
  cSharp.enharmonic = true;
  EXPECT_EQ(spelled(cSharp, 1), (Spelled{"", "Db", "Ab", "Db", "F", "Ab"}));
}

// Enharmonic spelling moves only the black keys and E, F, B to the other
// letter.
TEST(Notes, EveryRootIsSpelledByItsOwnLetterPlainOrEnharmonic) {
  std::string plain;
  std::string enharmonic;
  for (int pc = 0; pc < 12; ++pc) {
    plain += std::string(spellPitchClass(pc, pc, false)) + " ";
    enharmonic += std::string(spellPitchClass(pc, pc, true)) + " ";
  }
  EXPECT_EQ(plain, "C C# D D# E F F# G G# A A# B ");
  EXPECT_EQ(enharmonic, "C Db D Eb Fb E# Gb G Ab A Bb Cb ");
}

using Spellings = std::array<std::string_view, 12>;

// Every pitch class spelled above a root, in order of the interval.
Spellings above(int rootClass, bool enharmonic) {
  Spellings names{};
  for (int i = 0; i < 12; ++i) {
    names[i] = spellPitchClass(rootClass, (rootClass + i) % 12, enharmonic);
  }
  return names;
}

TEST(Notes, EveryIntervalTakesTheLetterOfItsDegree) {
  EXPECT_EQ(above(0, false),
            (Spellings{"C", "Db", "D", "Eb", "E", "F", "Gb", "G", "G#", "A", "Bb", "B"}));
  EXPECT_EQ(above(3, false),
            (Spellings{"D#", "E", "E#", "F#", "F##", "G#", "A", "A#", "A##", "B#", "C#", "C##"}));
  // D# and A# take their flat letters when spelled enharmonically.
  EXPECT_EQ(above(3, true),
            (Spellings{"Eb", "Fb", "F", "Gb", "G", "Ab", "Bbb", "Bb", "B", "C", "Db", "D"}));
  EXPECT_EQ(above(10, true),
            (Spellings{"Bb", "Cb", "C", "Db", "D", "Eb", "Fb", "F", "F#", "G", "Ab", "A"}));
  EXPECT_EQ(above(11, false),
            (Spellings{"B", "C", "C#", "D", "D#", "E", "F", "F#", "F##", "G#", "A", "A#"}));
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
