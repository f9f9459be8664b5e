#pragma once

#include <QImage>
#include <QString>

class QPainter;
class QRect;

namespace fretlets {

struct AppState;

// The texture bitmap fileName ("amp.bmp", "axe.bmp", "chord.bmp") of the
// chosen texture, read from the textures folder beside the program at every
// call, so the current directory never matters. Null when there is none.
QImage loadTexture(const AppState& state, const QString& fileName);

// Repeats image from the top-left corner of area, right and down, until the
// area is covered. A null image paints nothing.
void tileBitmap(QPainter& painter, const QImage& image, const QRect& area);

}  // namespace fretlets
