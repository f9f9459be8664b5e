#pragma once

#include <QByteArray>
#include <QString>

class QPagedPaintDevice;

namespace fretlets {

class ChordBook;
struct InstrumentState;

// The book as pages: the title with the instrument and tuning, then every
// chord type in the book's order with its fretlets as a grid of diagrams,
// each named by its root and the type. False when the device cannot be
// painted on.
bool printChordBook(QPagedPaintDevice& device, const ChordBook& book,
                    const InstrumentState& instrument, const QString& title);

// The same pages as a PDF file's bytes; empty when they cannot be made.
QByteArray chordBookPdf(const ChordBook& book, const InstrumentState& instrument,
                        const QString& title);

}  // namespace fretlets
