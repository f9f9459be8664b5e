#include "instrument/instrument_panel.h"

namespace fretlets {

InstrumentPanel::InstrumentPanel(AppContext& context, QWidget* frame)
    : Panel(context, QStringLiteral("Instrument"), QSize(264, 23), QStringLiteral("axe.bmp"),
            frame) {}

void InstrumentPanel::midiOpened() {}
void InstrumentPanel::midiClosed() {}
void InstrumentPanel::lock() {}
void InstrumentPanel::unlock() {}

}  // namespace fretlets
