#include "print/chord_book_pages.h"

#include <QBuffer>
#include <QPageSize>
#include <QPainter>
#include <QPdfWriter>

#include "documents/chord_book.h"
#include "print/chord_diagram.h"
#include "print/page_flow.h"
#include "print/print_text.h"

namespace fretlets {
namespace {

constexpr int kColumns = 6;

}  // namespace

bool printChordBook(QPagedPaintDevice& device, const ChordBook& book,
                    const InstrumentState& instrument, const QString& title) {
  QPainter painter;
  return printPages(device, painter, [&](PageFlow& flow) {
    flow.line(title, 4, true, Qt::AlignCenter);
    flow.line(instrumentText(instrument), 2, false, Qt::AlignCenter);
    flow.line(QStringLiteral("%1 chord types, %2 fretlets")
                  .arg(book.chords().size())
                  .arg(book.totalFretlets()),
              1.8, false, Qt::AlignCenter);
    const double row = flow.width() / kColumns / kDiagramAspect;
    for (const BookChord& chord : book.chords()) {
      std::vector<ChordDiagram> diagrams;
      for (const FretletRecord& fretlet : chord.fretlets) {
        ChordDiagram diagram =
            diagramOfChord(placeFretlet(fretlet, instrument.strings()), instrument.strings(),
                           fretletName(fretlet, instrument, chord.name.view()));
        diagrams.push_back(std::move(diagram));
      }
      flow.space(flow.unit() * 2);
      flow.keep(flow.unit() * 3.5 + row);
      const QString type = documentText(chord.name.view());
      flow.line(
          QStringLiteral("Chord type: %1").arg(type.isEmpty() ? QStringLiteral("(none)") : type),
          2.4, true);
      flow.diagrams(diagrams, kColumns);
    }
  });
}

QByteArray chordBookPdf(const ChordBook& book, const InstrumentState& instrument,
                        const QString& title) {
  QByteArray bytes;
  QBuffer buffer(&bytes);
  if (!buffer.open(QIODevice::WriteOnly)) {
    return {};
  }
  {
    QPdfWriter pdf(&buffer);
    pdf.setTitle(title);
    pdf.setCreator(QStringLiteral("Fretlets"));
    pdf.setPageSize(QPageSize(QPageSize::A4));
    pdf.setResolution(300);
    pdf.setPageMargins(QMarginsF(15, 15, 15, 15), QPageLayout::Millimeter);
    if (!printChordBook(pdf, book, instrument, title)) {
      return {};
    }
  }
  return bytes;
}

}  // namespace fretlets
