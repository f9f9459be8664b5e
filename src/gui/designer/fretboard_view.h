#pragma once

#include <QFrame>
#include <QString>

#include "models/designer_model.h"
#include "models/fretboard_geometry.h"

namespace fretlets {

// The drawn fretboard of the Chord Designer: strings, fret lines and a mark
// for every string. A press on a cell, an accessibility press on one, or
// Space on the keyboard cursor (moved with the arrow keys) reports the cell;
// the panel decides what it does.
class FretboardView : public QFrame {
  Q_OBJECT

 public:
  // baseUnitHeight: the panel's character height, which sets the margins.
  FretboardView(const DesignerModel& model, int baseUnitHeight, QWidget* parent);

  // Lays the cells out again for the instrument's string count.
  void rebuild();
  // The panel's character height changed with its zoom.
  void setBaseUnitHeight(int baseUnitHeight);
  // Mirrors the board: the lowest string on the right, clicks and keys too.
  void setLeftHanded(bool leftHanded);
  bool leftHanded() const { return leftHanded_; }
  int strings() const { return cells_.strings(); }
  // A cell's rectangle in this widget's coordinates.
  QRect cellRect(int row, int string) const;
  // "String 5, fret 3": the string as players number it, the fret the cell
  // stands for.
  QString cellName(int row, int string) const;
  // The string's mark sits in this cell.
  bool cellMarked(int row, int string) const;
  // The keyboard cursor.
  int cursorRow() const { return cursorRow_; }
  int cursorString() const { return cursorString_; }

  // Reports the cell as pressed, as a mouse press on it would.
  void pressCell(int row, int string);

 signals:
  void cellPressed(int row, int string);

 protected:
  void paintEvent(QPaintEvent* event) override;
  void mousePressEvent(QMouseEvent* event) override;
  void keyPressEvent(QKeyEvent* event) override;
  void resizeEvent(QResizeEvent* event) override;
  void focusInEvent(QFocusEvent* event) override;
  void focusOutEvent(QFocusEvent* event) override;

 private:
  void moveCursor(int rowStep, int stringStep);
  // ratio: device pixels per panel pixel; the painter counts device pixels.
  void paintMarks(QPainter& painter, qreal ratio) const;

  const PixelRect& cell(int row, int string) const;

  const DesignerModel& model_;
  int baseUnitHeight_;
  bool leftHanded_ = false;
  FretboardGeometry geometry_;
  CellRects cells_;
  int cursorRow_ = 0;
  int cursorString_ = 0;
};

}  // namespace fretlets
