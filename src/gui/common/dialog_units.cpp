#include "gui/common/dialog_units.h"

#include <QFontMetrics>

namespace fretlets {

DialogUnits::DialogUnits(const QFont& font) {
  // The average width of the Latin letters, as dialog layouts have always
  // measured it, rounded up.
  const QFontMetrics metrics(font);
  const QString letters = QStringLiteral("ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz");
  charWidth_ = (metrics.horizontalAdvance(letters) / 26 + 1) / 2;
  charHeight_ = metrics.height();
}

DialogUnits DialogUnits::zoomed(int percent) const {
  return {(charWidth_ * percent + 50) / 100, (charHeight_ * percent + 50) / 100};
}

QRect DialogUnits::rect(int left, int top, int width, int height) const {
  return {x(left), y(top), x(left + width) - x(left), y(top + height) - y(top)};
}

}  // namespace fretlets
