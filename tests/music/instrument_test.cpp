#include "music/instrument.h"

#include <gtest/gtest.h>

#include <set>
#include <string>

#include "music/designer_chord.h"
#include "music/patch_table.h"

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

TEST(Instruments, EachHasItsStandardTuningAndIsFoundByIndexOrNameIgnoringCase) {
  const struct {
    int index;
    std::string_view name;
    std::string_view tuning;
  } instruments[] = {
      {1, "Banjo (5-string)", "G2 C3 G3 B3 D4"},
      {3, "Bass (5-string)", "B0 E1 A1 D2 G2"},
      {7, "Cello", "C1 G1 D2 A2"},  // an octave below concert pitch
      {9, "Guitar", "E2 A2 D3 G3 B3 E4"},
      {10, "Mandolin", "G3 D4 A4 E5"},
      {13, "Saz", "G2 D3 A3"},
  };
  for (const auto& i : instruments) {
    const InstrumentInfo& info = instrumentTable[i.index];
    EXPECT_EQ(info.name, i.name);
    EXPECT_EQ(tuningText(info), i.tuning) << info.name;
    EXPECT_EQ(findInstrument(std::to_string(i.index)), i.index);
  }
  for (const InstrumentInfo& info : instrumentTable) {
    for (int s = info.stringCount; s < kStringSlots; ++s) {
      EXPECT_EQ(info.defaultTuning[s], kNone) << info.name;
    }
  }
  EXPECT_EQ(findInstrument("0"), 0);
  EXPECT_EQ(findInstrument("guitar"), 9);
  EXPECT_EQ(findInstrument("Banjo (5-string)"), 1);
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

TEST(PatchTable, GeneralMidiRowIsItsProgramAndXgStartsEachProgramWithItsBankZeroRow) {
  const auto gm = patchTable(MidiStandard::GM);
  ASSERT_EQ(gm.size(), 128U);
  for (std::size_t row = 0; row < gm.size(); ++row) {
    EXPECT_EQ(gm[row].program, row);
    EXPECT_EQ(gm[row].bank, 0);
  }
  const auto xg = patchTable(MidiStandard::XG);
  ASSERT_EQ(xg.size(), 438U);
  int nextProgram = 0;
  std::set<int> banks;
  for (std::size_t row = 0; row < xg.size(); ++row) {
    banks.insert(xg[row].bank);
    if (xg[row].bank == 0) {
      EXPECT_EQ(xg[row].program, nextProgram++) << "row " << row;
    } else {
      EXPECT_EQ(xg[row].program, xg[row - 1].program) << "row " << row;
      EXPECT_GT(xg[row].bank, xg[row - 1].bank) << "row " << row;
    }
  }
  EXPECT_EQ(nextProgram, 128);
  EXPECT_EQ(banks.size(), 43U);
  // The rows the program starts on, and a few by name.
  EXPECT_EQ(defaultPatchRow(MidiStandard::GM), 24);
  EXPECT_EQ(defaultPatchRow(MidiStandard::XG), 95);
  const struct {
    MidiStandard standard;
    std::size_t row;
    int program;
    int bank;
    std::string_view name;
  } rows[] = {
      {MidiStandard::GM, 24, 24, 0, "Acoustic guitar (nylon)"},
      {MidiStandard::XG, 67, 16, 40, "\"16+2\"\"2/3\""},
      {MidiStandard::XG, 95, 24, 0, "Nylon Guitar"},
      {MidiStandard::XG, 105, 25, 96, "Mandolin"},
      {MidiStandard::XG, 437, 127, 0, "Gunshot"},
  };
  for (const auto& r : rows) {
    const PatchRow& row = patchTable(r.standard)[r.row];
    EXPECT_EQ(row.program, r.program) << r.name;
    EXPECT_EQ(row.bank, r.bank) << r.name;
    EXPECT_EQ(row.name, r.name);
  }
}

}  // namespace
}  // namespace fretlets
