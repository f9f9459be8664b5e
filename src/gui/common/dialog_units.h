#pragma once

#include <QFont>
#include <QRect>

namespace fretlets {

// Turns dialog units into pixels for a panel font, so that every control
// keeps its rectangle in proportion to the text it shows: a horizontal unit
// is a quarter of the average character width, a vertical unit an eighth of
// the character height.
class DialogUnits {
 public:
  explicit DialogUnits(const QFont& font);
  DialogUnits(int charWidth, int charHeight) : charWidth_(charWidth), charHeight_(charHeight) {}

  int x(int dlu) const { return (dlu * charWidth_ + 2) / 4; }
  int y(int dlu) const { return (dlu * charHeight_ + 4) / 8; }
  QRect rect(int x, int y, int width, int height) const;
  // The base unit height (a character height), for geometry that scales with it.
  int baseHeight() const { return charHeight_; }
  // The same units at a zoom in percent: at 200 % every rectangle doubles.
  DialogUnits zoomed(int percent) const;

 private:
  int charWidth_;
  int charHeight_;
};

}  // namespace fretlets
