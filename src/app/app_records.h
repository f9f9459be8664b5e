#pragma once

#include <memory>

#include "gui/common/app_context.h"
#include "gui/common/app_state.h"
#include "gui/common/notifier.h"
#include "models/document_session.h"
#include "music/designer_chord.h"
#include "music/instrument.h"

namespace fretlets {

// The program object's records: the application state, the instrument and
// tuning, the Designer chord, the timers and the MIDI device, the open
// documents and the notifier over them, each existing once and handed to the
// windows by reference. They go away in a fixed
// order: the device first, then the timers, then the hand-over to the GUI
// thread.
class AppRecords {
 public:
  AppRecords();
  AppRecords(const AppRecords&) = delete;
  AppRecords& operator=(const AppRecords&) = delete;
  ~AppRecords();

  AppContext& context() { return *context_; }

 private:
  struct Sound;

  AppState state_;
  InstrumentState instrument_;
  DesignerChord chord_;
  std::unique_ptr<Sound> sound_;
  DocumentSession session_;
  Notifier notifier_;
  std::unique_ptr<AppContext> context_;
};

}  // namespace fretlets
