#include "app/app_records.h"

#include <QDate>
#include <optional>

#include "gui/common/gui_hand_over.h"
#include "sound/fluid_synth_output.h"
#include "sound/midi_device.h"
#include "sound/rt_midi_output.h"
#include "sound/thread_timer_service.h"

namespace fretlets {
namespace {

ScorePatch devicePatch(const MidiDevice& midi) {
  return {static_cast<std::int8_t>(midi.midiStandard), midi.patchIndex,
          static_cast<std::int8_t>(midi.bank), static_cast<std::int8_t>(midi.program)};
}

}  // namespace

// The sound side of the records. The outputs outlive the device that sends
// to them; the device, the timers and the hand-over go in that order (see
// the destructor), so no chain step and no timer callback can reach a record
// that has gone.
struct AppRecords::Sound {
  Sound(const InstrumentState& instrument, const DesignerChord& chord) {
    timers.emplace(handOver.handOver());
    midi.emplace(instrument, chord, *timers, MidiDevice::Outputs{synth, port});
    // The SoundFont loads while the windows come up, so that the switch-on
    // two seconds later finds the synthesizer ready.
    midi->prepareOutputs();
  }

  Sound(const Sound&) = delete;
  Sound& operator=(const Sound&) = delete;

  ~Sound() {
    midi.reset();      // silences and closes the output, cancels its chains
    timers->stop();    // a callback on its way to the GUI thread is dropped there
    timers.reset();    // a timing thread still handing over is left to finish alone
    handOver.close();  // ... and is released here, its work dropped
  }

  FluidSynthOutput synth{SynthMode::AudioDevice};  // the built-in synthesizer first
  RtMidiOutput port;                               // then the first system MIDI port
  GuiHandOver handOver;
  std::optional<ThreadTimerService> timers;
  std::optional<MidiDevice> midi;
};

AppRecords::AppRecords()
    : sound_(std::make_unique<Sound>(instrument_, chord_)),
      // A new score: the rights of this year's user, the patch now in use.
      session_(instrument_, std::string(),
               [this] {
                 return Score(defaultScoreComment(QDate::currentDate().year(), session_.userName()),
                              devicePatch(*sound_->midi));
               },
               {}),
      notifier_(instrument_, chord_, *sound_->midi),
      context_(std::make_unique<AppContext>(AppContext{state_, instrument_, chord_, *sound_->midi,
                                                       *sound_->timers, session_, notifier_})) {}

AppRecords::~AppRecords() = default;

}  // namespace fretlets
