#pragma once

namespace fretlets {

struct AppState;
struct InstrumentState;
struct DesignerChord;
class MidiDevice;
class TimerService;

// The application-wide records. They exist once, owned by the program object,
// and every panel receives them by reference at construction; tests build a
// fresh set for every case.
struct AppContext {
  AppState& state;
  InstrumentState& instrument;
  DesignerChord& chord;
  MidiDevice& midi;
  TimerService& timers;
};

}  // namespace fretlets
