#pragma once

#include "music/patch_table.h"

namespace fretlets {

class MidiDevice;

// Chooses row of standard's patch list: sends its bank and program to the
// device (lost while the device is closed; the MIDI Amp sends the remembered
// patch again when it switches on) and remembers the choice for the panels
// and for new scores. A row the list lacks (a damaged score) falls back to
// the standard's nylon guitar row, as does a standard other than GM and XG
// (read as GM). Returns the row chosen.
int applyPatch(MidiDevice& device, MidiStandard standard, int row);

}  // namespace fretlets
