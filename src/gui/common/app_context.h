#pragma once

namespace fretlets {

struct AppState;
struct InstrumentState;
struct DesignerChord;
class DocumentSession;
class MidiDevice;
class Notifier;
class TimerService;

// The application-wide records. They exist once, owned by the program object,
// and every panel receives them by reference at construction; tests build a
// fresh set for every case. The notifier says what happened to them.
struct AppContext {
  AppState& state;
  InstrumentState& instrument;
  DesignerChord& chord;
  MidiDevice& midi;
  TimerService& timers;
  DocumentSession& session;
  Notifier& notifier;
};

}  // namespace fretlets
