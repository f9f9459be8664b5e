#pragma once

#include "gui/common/app_context.h"
#include "gui/common/app_state.h"
#include "gui/common/notifier.h"
#include "models/document_session.h"
#include "sound/midi_records.h"

namespace fretlets {

// The records a panel of the desktop program works on, with MIDI going to
// a recording output and no document open.
template <typename Clock = ManualTimerService>
struct PanelRecords : MidiRecords<Clock> {
  AppState state;
  DocumentSession session{this->instrument, "", [] { return Score("", {}); }, {}};
  Notifier notifier{this->instrument, this->chord, this->midi};
  AppContext context{state,        this->instrument, this->chord, this->midi,
                     this->timers, session,          notifier};
};

}  // namespace fretlets
