#include "music/patch_table.h"

#include <gtest/gtest.h>

#include <set>

namespace fretlets {
namespace {

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
      EXPECT_EQ(xg[row].program, nextProgram) << "row " << row;
      ++nextProgram;
    } else {
      EXPECT_EQ(xg[row].program, xg[row - 1].program) << "row " << row;
      EXPECT_GT(xg[row].bank, xg[row - 1].bank) << "row " << row;
    }
  }
  EXPECT_EQ(nextProgram, 128);
  EXPECT_EQ(banks, (std::set<int>{0,  1,  3,  6,  8,  12, 14, 16, 17, 18, 19, 20,  24, 25, 27,
                                  28, 32, 33, 34, 35, 36, 37, 38, 40, 41, 42, 43,  45, 64, 65,
                                  66, 67, 68, 69, 70, 71, 72, 96, 97, 98, 99, 100, 101}));
}

TEST(PatchTable, RowsByName) {
  EXPECT_EQ(defaultPatchRow(MidiStandard::GM), 24);
  EXPECT_EQ(defaultPatchRow(MidiStandard::XG), 95);
  const struct {
    MidiStandard standard;
    std::size_t row;
    int program;
    int bank;
    std::string_view name;
  } rows[] = {
      {MidiStandard::GM, 0, 0, 0, "Acoustic grand piano"},
      {MidiStandard::GM, 24, 24, 0, "Acoustic guitar (nylon)"},
      {MidiStandard::GM, 44, 44, 0, "Tremelo strings"},
      {MidiStandard::GM, 87, 87, 0, "Lead 8 (brass + lead)"},
      {MidiStandard::GM, 127, 127, 0, "Gunshot"},
      {MidiStandard::XG, 0, 0, 0, "Grand Piano"},
      {MidiStandard::XG, 67, 16, 40, "\"16+2\"\"2/3\""},
      {MidiStandard::XG, 95, 24, 0, "Nylon Guitar"},
      {MidiStandard::XG, 96, 24, 16, "Nylon Guitar 2"},
      {MidiStandard::XG, 100, 25, 0, "Steel Guitar"},
      {MidiStandard::XG, 105, 25, 96, "Mandolin"},
      {MidiStandard::XG, 167, 40, 8, "Slow Violin"},
      {MidiStandard::XG, 395, 105, 98, "Oud"},
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
