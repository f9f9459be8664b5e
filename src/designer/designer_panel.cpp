#include "designer/designer_panel.h"

namespace fretlets {

DesignerPanel::DesignerPanel(AppContext& context, QWidget* frame)
    : Panel(context, QStringLiteral("Chord Designer"), QSize(264, 112), QStringLiteral("chord.bmp"),
            frame) {}

void DesignerPanel::instrumentChanged() {}
void DesignerPanel::tuningChanged() {}
void DesignerPanel::midiOpened() {}
void DesignerPanel::midiClosed() {}
void DesignerPanel::chordLoaded() {}

}  // namespace fretlets
