#pragma once

#include "gui/common/app_context.h"
#include "gui/common/app_state.h"
#include "sound/midi_records.h"

namespace fretlets {

// The records a panel of the desktop program works on, with MIDI going to
// a recording output.
template <typename Clock = ManualTimerService>
struct PanelRecords : MidiRecords<Clock> {
  AppState state;
  AppContext context{state, this->instrument, this->chord, this->midi, this->timers};
};

}  // namespace fretlets
