#pragma once

#include "app/app_context.h"
#include "app/app_state.h"
#include "midi/midi_records.h"

namespace fretlets {

// The records a panel of the desktop program works on, with MIDI going to
// a recording output.
template <typename Clock = ManualTimerService>
struct PanelRecords : MidiRecords<Clock> {
  AppState state;
  AppContext context{state, this->instrument, this->chord, this->midi, this->timers};
};

}  // namespace fretlets
