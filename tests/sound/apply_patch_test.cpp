#include "sound/apply_patch.h"

#include <gtest/gtest.h>

#include <tuple>

#include "sound/midi_records.h"

namespace fretlets {
namespace {

TEST(ApplyPatch, SelectsAndRemembersARowAndFallsBackToNylonGuitarForRowsTheListLacks) {
  using enum MidiStandard;
  // Asked standard and row; chosen standard and row, bank select, program change.
  const std::tuple<MidiStandard, int, MidiStandard, int, std::uint32_t, std::uint32_t> cases[] = {
      {XG, 101, XG, 101, 0x1020B0, 0x19C0},
      {GM, 127, GM, 127, 0x0020B0, 0x7FC0},
      {XG, 438, XG, 95, 0x0020B0, 0x18C0},
      {GM, -1, GM, 24, 0x0020B0, 0x18C0},
      {static_cast<MidiStandard>(7), 3, GM, 3, 0x0020B0, 0x03C0},
  };
  for (const auto& [standard, row, chosenStandard, chosenRow, bankSelect, programChange] : cases) {
    SCOPED_TRACE(row);
    MidiRecords<> rig;
    rig.midi.openMidiMapper();
    EXPECT_EQ(applyPatch(rig.midi, standard, row), chosenRow);
    EXPECT_EQ(rig.output.messages(), (std::vector<std::uint32_t>{bankSelect, programChange}));
    EXPECT_EQ(rig.midi.midiStandard, chosenStandard);
    EXPECT_EQ(rig.midi.patchIndex, chosenRow);
    EXPECT_EQ(rig.midi.bank, bankSelect >> 16);
    EXPECT_EQ(rig.midi.program, (programChange >> 8) & 0x7F);
  }
}

}  // namespace
}  // namespace fretlets
