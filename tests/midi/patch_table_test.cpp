#include "midi/patch_table.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <set>

namespace fretlets {
namespace {

TEST(PatchTable, GeneralMidiRowIsItsProgram) {
  const auto gm = patchTable(MidiStandard::GM);
  ASSERT_EQ(gm.size(), 128U);
  for (std::size_t row = 0; row < gm.size(); ++row) {
    EXPECT_EQ(gm[row].program, row);
    EXPECT_EQ(gm[row].bank, 0);
  }
  EXPECT_EQ(defaultPatchRow(MidiStandard::GM), 24);
  EXPECT_EQ(gm[24].name, "Acoustic guitar (nylon)");
  EXPECT_EQ(gm[0].name, "Acoustic grand piano");
  EXPECT_EQ(gm[44].name, "Tremelo strings");
  EXPECT_EQ(gm[87].name, "Lead 8 (brass + lead)");
  EXPECT_EQ(gm[127].name, "Gunshot");
}

TEST(PatchTable, XgListsEachProgramBankZeroFirstThenRisingBanks) {
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

TEST(PatchTable, XgRowsByName) {
  const auto xg = patchTable(MidiStandard::XG);
  struct Expected {
    std::size_t row;
    int program;
    int bank;
    std::string_view name;
  };
  for (const Expected& e :
       {Expected{0, 0, 0, "Grand Piano"}, Expected{67, 16, 40, "\"16+2\"\"2/3\""},
        Expected{95, 24, 0, "Nylon Guitar"}, Expected{96, 24, 16, "Nylon Guitar 2"},
        Expected{100, 25, 0, "Steel Guitar"}, Expected{105, 25, 96, "Mandolin"},
        Expected{167, 40, 8, "Slow Violin"}, Expected{395, 105, 98, "Oud"},
        Expected{437, 127, 0, "Gunshot"}}) {
    EXPECT_EQ(xg[e.row].program, e.program) << e.name;
    EXPECT_EQ(xg[e.row].bank, e.bank) << e.name;
    EXPECT_EQ(xg[e.row].name, e.name);
  }
  EXPECT_EQ(defaultPatchRow(MidiStandard::XG), 95);
}

TEST(PatchTable, FortySevenXgSoundsShareTheirGeneralMidiName) {
  const auto gm = patchTable(MidiStandard::GM);
  int same = 0;
  for (const PatchRow& row : patchTable(MidiStandard::XG)) {
    same += row.bank == 0 && row.name == gm[row.program].name ? 1 : 0;
  }
  EXPECT_EQ(same, 47);
}

}  // namespace
}  // namespace fretlets
