#pragma once

#include "app/panel.h"

namespace fretlets {

// The Chord Designer: the drawn fretboard of the current instrument, each
// string's interval and note, the chord's name and the options.
class DesignerPanel : public Panel {
  Q_OBJECT

 public:
  DesignerPanel(AppContext& context, QWidget* frame);

  // The instrument (and tuning) may have changed: rebuild for the string
  // count and clear the chord.
  void instrumentChanged();
  // The tuning changed: redraw and name the chord again.
  void tuningChanged();
  // The MIDI output went on or off.
  void midiOpened();
  void midiClosed();
  // A document wrote a fingering into the chord: take its options, redraw
  // and name it.
  void chordLoaded();

 signals:
  // The chord was named again; the document panels re-check their buttons.
  void chordChanged();
};

}  // namespace fretlets
