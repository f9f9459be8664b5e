#include "print/print_text.h"

#include "documents/text_codec.h"
#include "music/instrument.h"

namespace fretlets {

QString documentText(std::string_view bytes) {
  return QString::fromStdString(windows1252ToUtf8(bytes));
}

QString instrumentText(const InstrumentState& instrument) {
  QString text = QString::fromLatin1(instrumentTable[instrument.currentInstrument].name) +
                 QStringLiteral(", tuned");
  for (int s = 0; s < instrument.strings(); ++s) {
    const int note = instrument.tuning[s];
    text += QLatin1Char(' ') + QString::fromLatin1(pitchClassName(note % 12)) +
            QString::number(note / 12 - 1);
  }
  return text;
}

}  // namespace fretlets
