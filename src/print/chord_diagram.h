#pragma once

#include <QByteArray>
#include <QRectF>
#include <QString>
#include <array>
#include <cstdint>

#include "music/designer_chord.h"
#include "music/fretlet_record.h"
#include "music/instrument.h"

class QPainter;

namespace fretlets {

struct ScoreEntry;

// One fingering as players print it: the name above, strings and frets,
// open and muted marks at the nut, dots, the bar, and the first fret's
// number when the diagram does not start at the nut.
struct ChordDiagram {
  QString name;
  int strings = 6;
  std::array<std::int8_t, kStringSlots> frets{-1, -1, -1, -1, -1, -1};  // absolute
  int topFret = 0;  // the Designer's top fret: 0 and 1 both start at the nut
  bool barred = false;
  bool leftHanded = false;  // lowest string on the right

  // The fret of the top row, and how many rows the fingering needs (5 or 6).
  int firstRow() const;
  int rows() const;
};

// Width to height of a diagram; boxes of other shapes centre it.
inline constexpr double kDiagramAspect = 0.8;

ChordDiagram diagramOfChord(const DesignerChord& chord, int strings, const QString& name);

// A fixed fretlet where it was made; a movable shape where it first fits,
// its bar at the first fret.
DesignerChord placeFretlet(const FretletRecord& fretlet, int strings);

ChordDiagram diagramOfEntry(const ScoreEntry& entry, int strings, const QString& name);

// The program's own name of a fingering, with its root on rootString.
QString chordNameOf(const DesignerChord& chord, const InstrumentState& instrument);

// A fretlet's name in a book: the root the Designer spells, then the type.
QString fretletName(const FretletRecord& fretlet, const InstrumentState& instrument,
                    std::string_view chordType);

void paintChordDiagram(QPainter& painter, const QRectF& box, const ChordDiagram& diagram);

// The diagram width px as an SVG document or a PNG image.
QByteArray diagramSvg(const ChordDiagram& diagram, int width);
QByteArray diagramPng(const ChordDiagram& diagram, int width);

}  // namespace fretlets
