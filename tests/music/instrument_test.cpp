#include <gtest/gtest.h>

#include "music/designer_chord.h"
#include "music/instrument.h"

namespace fretlets {
namespace {

TEST(Instruments, StartAsAStandardTunedGuitar) {
  const InstrumentState state;
  EXPECT_EQ(state.currentInstrument, 9);
  EXPECT_EQ(instrumentTable[state.currentInstrument].name, "Guitar");
  EXPECT_EQ(state.tuning, (Tuning{40, 45, 50, 55, 59, 64}));
}

TEST(Instruments, DefaultTuningFillsUsedSlotsAndIgnoresBadIndexes) {
  Tuning tuning{1, 2, 3, 4, 5, 6};
  defaultTuning(13, tuning);  // Saz
  EXPECT_EQ(tuning, (Tuning{43, 50, 57, -1, -1, -1}));
  defaultTuning(16, tuning);
  defaultTuning(-1, tuning);
  EXPECT_EQ(tuning, (Tuning{43, 50, 57, -1, -1, -1}));
}

TEST(Instruments, CompatibilityComparesInstrumentThenUsedStrings) {
  const InstrumentState guitar;
  EXPECT_EQ(checkCompatibility(guitar, 9, {40, 45, 50, 55, 59, 64}), Compatibility::Compatible);
  EXPECT_EQ(checkCompatibility(guitar, 9, {38, 45, 50, 55, 59, 64}), Compatibility::TuningDiffers);
  // The instrument is compared first.
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

TEST(Instruments, FoundByIndexOrNameIgnoringCase) {
  EXPECT_EQ(findInstrument("9"), 9);
  EXPECT_EQ(findInstrument("0"), 0);
  EXPECT_EQ(findInstrument("guitar"), 9);
  EXPECT_EQ(findInstrument("Banjo (5-string)"), 1);
  EXPECT_EQ(findInstrument("16"), std::nullopt);
  EXPECT_EQ(findInstrument("-1"), std::nullopt);
  EXPECT_EQ(findInstrument("ukulele"), std::nullopt);
  EXPECT_EQ(findInstrument(""), std::nullopt);
}

TEST(Instruments, ClearChordKeepsRootOptionsAndTopFret) {
  DesignerChord chord;
  chord.frets = {3, 2, 0, 0, 0, 3};
  chord.pitchClasses = {7, 11, 2, 7, 11, 7};
  chord.held = {true, true, false, false, false, true};
  chord.rootString = 2;
  chord.topFret = 4;
  chord.barred = true;
  chord.enharmonic = true;
  clearChord(chord);
  EXPECT_EQ(chord.frets, (DesignerChord::Slots{-1, -1, -1, -1, -1, -1}));
  EXPECT_EQ(chord.pitchClasses, (DesignerChord::Slots{-1, -1, -1, -1, -1, -1}));
  EXPECT_EQ(chord.held, (std::array<bool, 6>{}));
  EXPECT_EQ(chord.rootString, 2);
  EXPECT_EQ(chord.topFret, 4);
  EXPECT_TRUE(chord.barred);
  EXPECT_TRUE(chord.enharmonic);
  EXPECT_EQ(lowestSoundingString(chord), kNone);
}

}  // namespace
}  // namespace fretlets
