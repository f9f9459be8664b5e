#pragma once

#include <QByteArray>

class QPagedPaintDevice;

namespace fretlets {

class Score;
struct InstrumentState;

// The score as a chord chart: title, composer and tempo, the chords in
// order with their lengths in beats, and a legend of each distinct
// fingering as a diagram. False when the device cannot be painted on.
bool printScoreChart(QPagedPaintDevice& device, const Score& score,
                     const InstrumentState& instrument);

// The same pages as a PDF file's bytes; empty when they cannot be made.
QByteArray scoreChartPdf(const Score& score, const InstrumentState& instrument);

}  // namespace fretlets
