#include "app/app_records.h"

#include "midi/manual_timer_service.h"
#include "midi/midi_device.h"

namespace fretlets {

// Placeholder sound: a clock that never runs and no output.
struct AppRecords::Sound {
  explicit Sound(const InstrumentState& instrument, const DesignerChord& chord)
      : midi(instrument, chord, timers, {}) {}
  ManualTimerService timers;
  MidiDevice midi;
};

AppRecords::AppRecords()
    : sound_(std::make_unique<Sound>(instrument_, chord_)),
      context_(std::make_unique<AppContext>(
          AppContext{state_, instrument_, chord_, sound_->midi, sound_->timers})) {}

AppRecords::~AppRecords() = default;

}  // namespace fretlets
