#include "sound/apply_patch.h"

#include "sound/midi_device.h"

namespace fretlets {

int applyPatch(MidiDevice& device, MidiStandard standard, int row) {
  const MidiStandard known = standard == MidiStandard::XG ? MidiStandard::XG : MidiStandard::GM;
  const auto rows = patchTable(known);
  const int chosen = row >= 0 && row < static_cast<int>(rows.size()) ? row : defaultPatchRow(known);
  const PatchRow& patch = rows[static_cast<std::size_t>(chosen)];
  device.selectPatch(patch.bank, patch.program);
  device.rememberPatch(known, chosen, patch.bank, patch.program);
  return chosen;
}

}  // namespace fretlets
