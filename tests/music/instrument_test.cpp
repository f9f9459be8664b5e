#include "music/instrument.h"

#include <gtest/gtest.h>

#include <string>
#include <utility>

#include "music/designer_chord.h"
#include "music/patch_table.h"

namespace fretlets {
namespace {

TEST(Instruments, FoundByIndexOrNameIgnoringCaseWithTheirDefaultTunings) {
  for (const auto& [name, index] : {std::pair{"Guitar", 9},
                                    {"mandolin", 10},
                                    {"SAZ", 13},
                                    {"Banjo (5-string)", 1},
                                    {"Banjo", 0}}) {
    EXPECT_EQ(findInstrument(name), index);
    EXPECT_EQ(findInstrument(std::to_string(index)), index);
  }
  for (const char* unknown : {"16", "-1", "ukulele", ""}) {
    EXPECT_EQ(findInstrument(unknown), std::nullopt) << unknown;
  }
  // A default tuning fills the used slots; a bad index changes nothing.
  Tuning tuning{1, 2, 3, 4, 5, 6};
  defaultTuning(13, tuning);
  EXPECT_EQ(tuning, (Tuning{43, 50, 57, -1, -1, -1}));
  defaultTuning(16, tuning);
  defaultTuning(-1, tuning);
  EXPECT_EQ(tuning, (Tuning{43, 50, 57, -1, -1, -1}));
  defaultTuning(3, tuning);  // the five-string bass reaches down to B0
  EXPECT_EQ(tuning, (Tuning{23, 28, 33, 38, 43, -1}));
}

TEST(Instruments, CompatibilityComparesInstrumentThenUsedStrings) {
  const InstrumentState guitar;
  EXPECT_EQ(checkCompatibility(guitar, 9, {40, 45, 50, 55, 59, 64}), Compatibility::Compatible);
  EXPECT_EQ(checkCompatibility(guitar, 9, {38, 45, 50, 55, 59, 64}), Compatibility::TuningDiffers);
  EXPECT_EQ(checkCompatibility(guitar, 12, {38, 45, 50, 55, 59, 64}),
            Compatibility::InstrumentDiffers);
  // Mandolin and violin share a tuning but not an identity; unused slots do not count.
  InstrumentState mandolin;
  adoptInstrument(mandolin, 10, {55, 62, 69, 76, 12, 13});
  EXPECT_EQ(mandolin.tuning, (Tuning{55, 62, 69, 76, -1, -1}));
  EXPECT_EQ(checkCompatibility(mandolin, 15, instrumentTable[15].defaultTuning),
            Compatibility::InstrumentDiffers);
  EXPECT_EQ(checkCompatibility(mandolin, 10, {55, 62, 69, 76, 99, 99}), Compatibility::Compatible);
}

TEST(Instruments, ClearChordKeepsRootOptionsAndTopFret) {
  DesignerChord chord;
  chord.frets = {3, 2, 0, 0, 0, 3};
  chord.held = {true, true, false, false, false, true};
  chord.rootString = 2;
  chord.topFret = 4;
  chord.barred = chord.enharmonic = true;
  clearChord(chord);
  EXPECT_EQ(chord.frets, (DesignerChord::Slots{-1, -1, -1, -1, -1, -1}));
  EXPECT_EQ(chord.held, (std::array<bool, 6>{}));
  EXPECT_EQ(chord.rootString, 2);
  EXPECT_EQ(chord.topFret, 4);
  EXPECT_TRUE(chord.barred && chord.enharmonic);
  EXPECT_EQ(lowestSoundingString(chord), kNone);
}

// General MIDI's row is its program; XG starts each program with its bank
// zero row, then its other banks upwards.
TEST(PatchTable, RowsAreProgramsAndBanksInOrder) {
  const auto gm = patchTable(MidiStandard::GM);
  ASSERT_EQ(gm.size(), 128U);
  for (std::size_t row = 0; row < gm.size(); ++row) {
    EXPECT_EQ(gm[row].program * 1000 + gm[row].bank, row * 1000);
  }
  const auto xg = patchTable(MidiStandard::XG);
  ASSERT_EQ(xg.size(), 438U);
  int nextProgram = 0;
  for (std::size_t row = 0; row < xg.size(); ++row) {
    if (xg[row].bank == 0) {
      EXPECT_EQ(xg[row].program, nextProgram++) << "row " << row;
    } else {
      EXPECT_EQ(xg[row].program, xg[row - 1].program) << "row " << row;
      EXPECT_GT(xg[row].bank, xg[row - 1].bank) << "row " << row;
    }
  }
  EXPECT_EQ(nextProgram, 128);
  // The rows a new score starts on.
  EXPECT_EQ(patchTable(MidiStandard::GM)[defaultPatchRow(MidiStandard::GM)].name,
            "Acoustic guitar (nylon)");
  EXPECT_EQ(xg[defaultPatchRow(MidiStandard::XG)].name, "Nylon Guitar");
  EXPECT_EQ(xg[105].name, "Mandolin");
}

}  // namespace
}  // namespace fretlets
