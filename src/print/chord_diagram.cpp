#include "print/chord_diagram.h"

#include <QBuffer>
#include <QFont>
#include <QImage>
#include <QPainter>
#include <QSvgGenerator>
#include <algorithm>
#include <cmath>

#include "documents/score.h"
#include "documents/text_codec.h"
#include "music/chord_name.h"
#include "music/fingering_reading.h"

namespace fretlets {
namespace {

constexpr int kMinRows = 5;
constexpr int kMaxRows = 6;

QFont fontOfHeight(double pixels, bool bold) {
  QFont font(QStringLiteral("Sans Serif"));
  font.setPixelSize(std::max(1, static_cast<int>(std::lround(pixels))));
  font.setBold(bold);
  return font;
}

}  // namespace

int ChordDiagram::firstRow() const {
  return std::max(1, topFret);
}

int ChordDiagram::rows() const {
  int needed = kMinRows;
  for (int s = 0; s < strings; ++s) {
    needed = std::max(needed, frets[s] - firstRow() + 1);
  }
  return std::min(needed, kMaxRows);
}

ChordDiagram diagramOfChord(const DesignerChord& chord, int strings, const QString& name) {
  ChordDiagram diagram;
  diagram.name = name;
  diagram.strings = strings;
  for (int s = 0; s < strings; ++s) {
    diagram.frets[s] = chord.frets[s];
  }
  diagram.topFret = chord.topFret;
  diagram.barred = chord.barred;
  return diagram;
}

DesignerChord placeFretlet(const FretletRecord& fretlet, int strings) {
  DesignerChord chord;
  chord.topFret = fretlet.position == FretletRecord::kMovableBarred ? 1 : 0;
  applyFretlet(fretlet, chord, strings);
  return chord;
}

ChordDiagram diagramOfEntry(const ScoreEntry& entry, int strings, const QString& name) {
  DesignerChord chord;
  chord.frets = entry.frets;
  chord.topFret = entry.topFret;
  chord.barred = entry.barred;
  return diagramOfChord(chord, strings, name);
}

QString chordNameOf(const DesignerChord& chord, const InstrumentState& instrument) {
  const FingeringReading reading = readFingering(chord, instrument.tuning, chord.rootString);
  if (!reading.name.found()) {
    return {};
  }
  return QString::fromStdString(
      windows1252ToUtf8(composeChordName(reading.name.root, reading.name.type, reading.name.bass)));
}

QString fretletName(const FretletRecord& fretlet, const InstrumentState& instrument,
                    std::string_view chordType) {
  const DesignerChord chord = placeFretlet(fretlet, instrument.strings());
  const FingeringReading reading = readFingering(chord, instrument.tuning, chord.rootString);
  return QString::fromStdString(
      windows1252ToUtf8(std::string(spelledRoot(reading)) + std::string(chordType)));
}

void paintChordDiagram(QPainter& painter, const QRectF& box, const ChordDiagram& diagram) {
  // Centre a diagram of the fixed aspect in whatever box it is given.
  const double width = std::min(box.width(), box.height() * kDiagramAspect);
  const double height = width / kDiagramAspect;
  const QRectF area(box.center().x() - width / 2, box.center().y() - height / 2, width, height);
  const int strings = std::max(2, diagram.strings);
  const int rows = diagram.rows();
  const int firstRow = diagram.firstRow();

  const double nameHeight = height * 0.16;
  const double markHeight = height * 0.09;
  const double left = area.left() + width * 0.22;
  const double right = area.right() - width * 0.1;
  const double top = area.top() + nameHeight + markHeight;
  const double bottom = area.bottom() - height * 0.03;
  const double dx = (right - left) / (strings - 1);
  const double dy = (bottom - top) / rows;
  const double line = std::max(1.0, width * 0.012);
  const auto xOf = [&](int string) {
    return left + dx * (diagram.leftHanded ? strings - 1 - string : string);
  };
  const auto yOfRow = [&](int fret) { return top + dy * (fret - firstRow + 0.5); };

  painter.save();
  painter.setRenderHint(QPainter::Antialiasing);
  painter.setPen(Qt::black);
  painter.setFont(fontOfHeight(nameHeight * 0.7, true));
  painter.drawText(QRectF(area.left(), area.top(), width, nameHeight), Qt::AlignCenter,
                   diagram.name);

  painter.setPen(QPen(Qt::black, line, Qt::SolidLine, Qt::FlatCap));
  for (int s = 0; s < strings; ++s) {
    painter.drawLine(QPointF(xOf(s), top), QPointF(xOf(s), bottom));
  }
  for (int row = 0; row <= rows; ++row) {
    painter.drawLine(QPointF(left, top + dy * row), QPointF(right, top + dy * row));
  }
  if (firstRow == 1) {
    painter.fillRect(QRectF(left - line / 2, top - line * 3, right - left + line, line * 3),
                     Qt::black);
  } else {
    painter.setFont(fontOfHeight(dy * 0.55, false));
    painter.drawText(QRectF(area.left(), top, left - area.left() - dx * 0.25, dy),
                     Qt::AlignRight | Qt::AlignVCenter, QString::number(firstRow));
  }

  const double radius = std::min(dx, dy) * 0.32;
  const bool bar = diagram.barred && diagram.topFret > 0;
  int barFrom = strings;
  int barTo = -1;
  if (bar) {
    for (int s = 0; s < strings; ++s) {
      if (diagram.frets[s] == diagram.topFret) {
        barFrom = std::min(barFrom, s);
      }
      if (diagram.frets[s] >= diagram.topFret) {
        barTo = s;
      }
    }
  }
  painter.setPen(Qt::NoPen);
  painter.setBrush(Qt::black);
  if (barFrom < barTo) {
    const double y = yOfRow(diagram.topFret);
    const double x0 = std::min(xOf(barFrom), xOf(barTo));
    const double x1 = std::max(xOf(barFrom), xOf(barTo));
    painter.drawRoundedRect(
        QRectF(x0 - radius, y - radius * 0.7, x1 - x0 + 2 * radius, radius * 1.4), radius * 0.7,
        radius * 0.7);
  }
  const double markY = top - markHeight / 2 - line;
  const double mark = markHeight * 0.3;
  for (int s = 0; s < strings; ++s) {
    const int fret = diagram.frets[s];
    const double x = xOf(s);
    if (fret > 0 && fret < firstRow + rows) {
      const bool underBar = barFrom < barTo && fret == diagram.topFret && s >= barFrom;
      if (!underBar) {
        painter.setPen(Qt::NoPen);
        painter.setBrush(Qt::black);
        painter.drawEllipse(QPointF(x, yOfRow(fret)), radius, radius);
      }
    } else if (fret == 0) {
      painter.setPen(QPen(Qt::black, line));
      painter.setBrush(Qt::NoBrush);
      painter.drawEllipse(QPointF(x, markY), mark, mark);
    } else if (fret == kNone) {
      painter.setPen(QPen(Qt::black, line));
      painter.drawLine(QPointF(x - mark, markY - mark), QPointF(x + mark, markY + mark));
      painter.drawLine(QPointF(x - mark, markY + mark), QPointF(x + mark, markY - mark));
    }
  }
  painter.restore();
}

QByteArray diagramSvg(const ChordDiagram& diagram, int width) {
  const int height = static_cast<int>(std::lround(width / kDiagramAspect));
  QByteArray bytes;
  QBuffer buffer(&bytes);
  QSvgGenerator svg;
  svg.setOutputDevice(&buffer);
  svg.setSize(QSize(width, height));
  svg.setViewBox(QRect(0, 0, width, height));
  svg.setTitle(diagram.name);
  svg.setDescription(QStringLiteral("Chord diagram"));
  QPainter painter(&svg);
  paintChordDiagram(painter, QRectF(0, 0, width, height), diagram);
  painter.end();
  return bytes;
}

QByteArray diagramPng(const ChordDiagram& diagram, int width) {
  const int height = static_cast<int>(std::lround(width / kDiagramAspect));
  QImage image(width, height, QImage::Format_RGB32);
  image.fill(Qt::white);
  QPainter painter(&image);
  paintChordDiagram(painter, QRectF(0, 0, width, height), diagram);
  painter.end();
  QByteArray bytes;
  QBuffer buffer(&bytes);
  buffer.open(QIODevice::WriteOnly);
  image.save(&buffer, "PNG");
  return bytes;
}

}  // namespace fretlets
