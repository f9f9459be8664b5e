#include "sound/apply_patch.h"

#include <gtest/gtest.h>

#include "sound/midi_records.h"

namespace fretlets {
namespace {

TEST(ApplyPatch, SelectsAndRemembersARowAndFallsBackToNylonGuitarForRowsTheListLacks) {
  struct Case {
    MidiStandard standard;
    int row;
    MidiStandard chosenStandard;
    int chosenRow;
    std::uint32_t bankSelect;
    std::uint32_t programChange;
  };
  for (const Case& c : {
           Case{MidiStandard::XG, 101, MidiStandard::XG, 101, 0x1020B0, 0x19C0},
           Case{MidiStandard::GM, 127, MidiStandard::GM, 127, 0x0020B0, 0x7FC0},
           Case{MidiStandard::XG, 438, MidiStandard::XG, 95, 0x0020B0, 0x18C0},
           Case{MidiStandard::GM, -1, MidiStandard::GM, 24, 0x0020B0, 0x18C0},
           Case{static_cast<MidiStandard>(7), 3, MidiStandard::GM, 3, 0x0020B0, 0x03C0},
       }) {
    SCOPED_TRACE(c.row);
    MidiRecords<> rig;
    MidiDevice& device = rig.midi;
    device.openMidiMapper();
    EXPECT_EQ(applyPatch(device, c.standard, c.row), c.chosenRow);
    EXPECT_EQ(rig.output.messages(), (std::vector<std::uint32_t>{c.bankSelect, c.programChange}));
    EXPECT_EQ(device.midiStandard, c.chosenStandard);
    EXPECT_EQ(device.patchIndex, c.chosenRow);
    EXPECT_EQ(device.bank, c.bankSelect >> 16);
    EXPECT_EQ(device.program, (c.programChange >> 8) & 0x7F);
  }
}

}  // namespace
}  // namespace fretlets
