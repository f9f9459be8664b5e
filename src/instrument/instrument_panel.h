#pragma once

#include "app/panel.h"

namespace fretlets {

// The Instrument panel: the instrument and the open-string note of each of
// its strings, and a button that plays the open strings.
class InstrumentPanel : public Panel {
  Q_OBJECT

 public:
  InstrumentPanel(AppContext& context, QWidget* frame);

  // The MIDI output went on or off.
  void midiOpened();
  void midiClosed();
  // A document owns the instrument and tuning while it is open.
  void lock();
  void unlock();
};

}  // namespace fretlets
