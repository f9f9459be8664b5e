#pragma once

#include <array>
#include <optional>

#include "models/designer_model.h"

namespace fretlets {

// A rectangle in pixels; right and bottom lie just outside it.
struct PixelRect {
  int left = 0;
  int top = 0;
  int right = 0;
  int bottom = 0;

  bool contains(int x, int y) const { return x >= left && x < right && y >= top && y < bottom; }
  friend bool operator==(const PixelRect&, const PixelRect&) = default;
};

// Where the strings and fret lines of the diagram lie inside the fretboard
// area: the strings spread over the width less a margin of a string count's
// share of it on each side, the six fret lines over the height less a
// character and a half at top and bottom.
struct FretboardGeometry {
  int xLeft = 0;
  int xRight = 0;
  int yTop = 0;
  int yBottom = 0;
  int stringSpacing = 0;
  int fretSpacing = 0;
};

// area: the fretboard area's client rectangle; baseUnitHeight: the height
// of a dialog base unit (a character) in pixels.
FretboardGeometry computeFretboardGeometry(const PixelRect& area, int strings, int baseUnitHeight);

// The square a press must hit for each row and string: a half string
// spacing wide, centred on the string, row 0 above the top fret line and
// row r just below fret line r - 1.
class CellRects {
 public:
  CellRects() = default;
  CellRects(const FretboardGeometry& geometry, int strings);

  // row 0..5, string 0..strings-1.
  const PixelRect& cell(int row, int string) const { return cells_[row][string]; }
  int strings() const { return strings_; }

  struct Hit {
    int row;
    int string;
    friend bool operator==(const Hit&, const Hit&) = default;
  };
  // The first cell, row by row, that holds the point.
  std::optional<Hit> hitTest(int x, int y) const;

 private:
  std::array<std::array<PixelRect, kStringSlots>, kDiagramRows> cells_{};
  int strings_ = 0;
};

}  // namespace fretlets
