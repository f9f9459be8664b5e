#include "midi/midi_amp_panel.h"

namespace fretlets {

MidiAmpPanel::MidiAmpPanel(AppContext& context, QWidget* frame)
    : Panel(context, QStringLiteral("MIDI Amp"), QSize(264, 23), QStringLiteral("amp.bmp"), frame) {
}

void MidiAmpPanel::switchOnAtStart() {}
void MidiAmpPanel::selectScorePatch(MidiStandard /*standard*/, int /*row*/) {}

}  // namespace fretlets
