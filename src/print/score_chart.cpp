#include "print/score_chart.h"

#include <QBuffer>
#include <QFont>
#include <QPageSize>
#include <QPainter>
#include <QPdfWriter>
#include <algorithm>
#include <cmath>

#include "documents/score.h"
#include "print/chord_diagram.h"
#include "print/page_flow.h"
#include "print/print_text.h"

namespace fretlets {
namespace {

constexpr int kChartColumns = 8;
constexpr int kLegendColumns = 6;

// An entry without a name shows the name the program reads in it.
QString entryName(const ScoreEntry& entry, const InstrumentState& instrument) {
  return documentText(entryChordName(entry, instrument.tuning));
}

}  // namespace

bool printScoreChart(QPagedPaintDevice& device, const Score& score,
                     const InstrumentState& instrument) {
  const int strings = instrument.strings();
  std::vector<ChordDiagram> legend;
  for (const ScoreEntry* entry : distinctFingerings(score, strings)) {
    legend.push_back(diagramOfEntry(*entry, strings, entryName(*entry, instrument)));
  }
  QPainter painter;
  return printPages(device, painter, [&](PageFlow& flow) {
    flow.line(documentText(score.title.view()), 4, true, Qt::AlignCenter);
    if (!score.composer.empty()) {
      flow.line(documentText(score.composer.view()), 2.2, false, Qt::AlignCenter);
    }
    flow.line(QStringLiteral("Tempo: %1 beats per minute").arg(score.tempo), 1.8, false,
              Qt::AlignCenter);
    if (!score.comment.empty()) {
      flow.line(documentText(score.comment.view()), 1.6, false, Qt::AlignCenter);
    }
    flow.space(flow.unit() * 2);

    // The chords in playing order, a cell each: the name, and its length.
    const double cell = flow.width() / kChartColumns;
    const double cellHeight = flow.unit() * 7;
    QFont nameFont(QStringLiteral("Sans Serif"));
    nameFont.setPixelSize(std::max(1, static_cast<int>(std::lround(flow.unit() * 2.2))));
    nameFont.setBold(true);
    QFont lengthFont(nameFont);
    lengthFont.setPixelSize(std::max(1, static_cast<int>(std::lround(flow.unit() * 1.6))));
    lengthFont.setBold(false);
    const auto& entries = score.entries();
    auto entry = entries.begin();
    for (std::size_t first = 0; first < entries.size(); first += kChartColumns) {
      const QRectF row = flow.take(cellHeight);
      for (int column = 0; column < kChartColumns && entry != entries.end(); ++column, ++entry) {
        if (!painter.isActive()) {
          continue;
        }
        const QRectF box(row.left() + cell * column, row.top(), cell, cellHeight * 0.9);
        painter.setPen(QPen(Qt::black, flow.unit() * 0.1));
        painter.setBrush(Qt::NoBrush);
        painter.drawRect(box);
        const QRectF top(box.left(), box.top(), box.width(), box.height() * 0.6);
        const QRectF bottom(box.left(), top.bottom(), box.width(), box.height() * 0.4);
        painter.setFont(nameFont);
        painter.drawText(top, Qt::AlignCenter, entryName(*entry, instrument));
        painter.setFont(lengthFont);
        const QString beats = QString::fromStdString(beatsText(entry->beatsToNext));
        painter.drawText(
            bottom, Qt::AlignCenter,
            beats + (entry->beatsToNext == kTwelfthsPerBeat ? QStringLiteral(" beat")
                                                            : QStringLiteral(" beats")));
      }
    }
    flow.space(flow.unit() * 3);
    flow.keep(flow.unit() * 3.5 + flow.width() / kLegendColumns / kDiagramAspect);
    flow.line(QStringLiteral("Fingerings"), 2.4, true);
    flow.diagrams(legend, kLegendColumns);
  });
}

QByteArray scoreChartPdf(const Score& score, const InstrumentState& instrument) {
  QByteArray bytes;
  QBuffer buffer(&bytes);
  if (!buffer.open(QIODevice::WriteOnly)) {
    return {};
  }
  {
    QPdfWriter pdf(&buffer);
    pdf.setTitle(documentText(score.title.view()));
    pdf.setCreator(QStringLiteral("Fretlets"));
    pdf.setPageSize(QPageSize(QPageSize::A4));
    pdf.setResolution(300);
    pdf.setPageMargins(QMarginsF(15, 15, 15, 15), QPageLayout::Millimeter);
    if (!printScoreChart(pdf, score, instrument)) {
      return {};
    }
  }
  return bytes;
}

}  // namespace fretlets
