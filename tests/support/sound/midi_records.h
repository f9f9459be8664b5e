#pragma once

#include <string>

#include "sound/manual_timer_service.h"
#include "sound/midi_device.h"
#include "sound/test_output.h"

namespace fretlets {

// Fresh records for a test or benchmark: a guitar in standard tuning, an
// empty chord, a clock (by default one the caller moves) and a MIDI device,
// not yet open, sending to an output that keeps what it is handed.
template <typename Clock = ManualTimerService>
struct MidiRecords {
  InstrumentState instrument;
  DesignerChord chord;
  Clock timers;
  TestOutput output{timers};
  MidiDevice midi{instrument, chord, timers, {output}};

  // What went out since the last call, as a MIDI monitor shows it.
  std::string sent() {
    std::string text = output.monitorText();
    output.clear();
    return text;
  }
};

}  // namespace fretlets
