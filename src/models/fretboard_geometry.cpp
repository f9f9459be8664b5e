#include "models/fretboard_geometry.h"

#include <algorithm>

namespace fretlets {

FretboardGeometry computeFretboardGeometry(const PixelRect& area, int strings, int baseUnitHeight) {
  const int n = std::clamp(strings, 2, kStringSlots);
  const int margin = area.right / n;
  const int v = 3 * baseUnitHeight / 2;
  FretboardGeometry g;
  g.xLeft = area.left + margin;
  g.xRight = area.right - margin;
  g.yTop = area.top + v;
  g.yBottom = area.bottom - v;
  g.stringSpacing = (g.xRight - g.xLeft) / (n - 1);
  g.fretSpacing = (g.yBottom - g.yTop) / (kDiagramRows - 1);
  return g;
}

CellRects::CellRects(const FretboardGeometry& geometry, int strings)
    : strings_(std::clamp(strings, 0, kStringSlots)) {
  const int h = geometry.stringSpacing / 2;
  const int q = h / 2;
  const int y0 = geometry.yTop - 3 * (geometry.fretSpacing / 2) / 2;
  for (int r = 0; r < kDiagramRows; ++r) {
    for (int s = 0; s < strings_; ++s) {
      PixelRect& cell = cells_[r][s];
      cell.left = geometry.xLeft - q + s * geometry.stringSpacing;
      cell.top = y0 + r * geometry.fretSpacing;
      cell.right = cell.left + h;
      cell.bottom = cell.top + h;
    }
  }
}

std::optional<CellRects::Hit> CellRects::hitTest(int x, int y) const {
  for (int r = 0; r < kDiagramRows; ++r) {
    for (int s = 0; s < strings_; ++s) {
      if (cells_[r][s].contains(x, y)) {
        return Hit{r, s};
      }
    }
  }
  return std::nullopt;
}

}  // namespace fretlets
