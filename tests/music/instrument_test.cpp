#include <gtest/gtest.h>

#include <string>
#include <utility>

#include "music/designer_chord.h"
#include "music/instrument.h"

namespace fretlets {
namespace {

// A tuning as note names with octaves, lowest string first ("E2 A2 ...").
std::string tuningText(const InstrumentInfo& info) {
  std::string text;
  for (int s = 0; s < info.stringCount; ++s) {
    const int note = info.defaultTuning[s];
    text += (s == 0 ? "" : " ") + std::string(pitchClassName(note % 12)) +
            std::to_string(note / 12 - 1);
  }
  return text;
}

TEST(Instruments, EveryInstrumentHasItsStandardTuning) {
  const std::array<std::pair<std::string_view, std::string_view>, kInstrumentCount> tunings{{
      {"Banjo", "C3 G3 B3 D4"},
      {"Banjo (5-string)", "G2 C3 G3 B3 D4"},
      {"Bass", "E1 A1 D2 G2"},
      {"Bass (5-string)", "B0 E1 A1 D2 G2"},
      {"Bouzouki (3-course)", "D3 A3 D4"},
      {"Bouzouki (4-course)", "C3 F3 A3 D4"},
      {"Bouzouki (Irish)", "G2 D3 A3 D4"},
      {"Cello", "C1 G1 D2 A2"},  // cello and viola an octave below concert pitch
      {"Cittern", "D2 G2 D3 A3 D4"},
      {"Guitar", "E2 A2 D3 G3 B3 E4"},
      {"Mandolin", "G3 D4 A4 E5"},
      {"Oud (5-course)", "G2 A2 D3 G3 C4"},
      {"Oud (6-course)", "D2 G2 A2 D3 G3 C4"},
      {"Saz", "G2 D3 A3"},
      {"Viola", "C2 G2 D3 A3"},
      {"Violin", "G3 D4 A4 E5"},
  }};
  for (int i = 0; i < kInstrumentCount; ++i) {
    const InstrumentInfo& info = instrumentTable[i];
    EXPECT_EQ(info.name, tunings[i].first);
    EXPECT_EQ(tuningText(info), tunings[i].second) << info.name;
    for (int s = info.stringCount; s < kStringSlots; ++s) {
      EXPECT_EQ(info.defaultTuning[s], kNone) << info.name;
    }
  }
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
  chord.held = {true, true, false, false, false, true};
  chord.rootString = 2;
  chord.topFret = 4;
  chord.barred = true;
  chord.enharmonic = true;
  clearChord(chord);
  EXPECT_EQ(chord.frets, (DesignerChord::Slots{-1, -1, -1, -1, -1, -1}));
  EXPECT_EQ(chord.held, (std::array<bool, 6>{}));
  EXPECT_EQ(chord.rootString, 2);
  EXPECT_EQ(chord.topFret, 4);
  EXPECT_TRUE(chord.barred);
  EXPECT_TRUE(chord.enharmonic);
  EXPECT_EQ(lowestSoundingString(chord), kNone);
}

}  // namespace
}  // namespace fretlets
