#pragma once

#include "app/panel.h"
#include "midi/patch_table.h"

namespace fretlets {

// The MIDI Amp: the MIDI standard and patch, the output volume, and the
// button that switches the MIDI output on and off.
class MidiAmpPanel : public Panel {
  Q_OBJECT

 public:
  MidiAmpPanel(AppContext& context, QWidget* frame);

  // Two seconds after start the output goes on by itself.
  void switchOnAtStart();
  // A score asks for its patch: select it in the lists and apply it.
  void selectScorePatch(MidiStandard standard, int row);
};

}  // namespace fretlets
