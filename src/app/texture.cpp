#include "app/texture.h"

#include <QPainter>
#include <QRect>

#include "app/app_state.h"

namespace fretlets {

QImage loadTexture(const AppState& state, const QString& fileName) {
  if (state.textureName.isEmpty()) {
    return {};
  }
  const std::filesystem::path path = state.programFolder / state.texturesFolder.toStdU16String() /
                                     state.textureName.toStdU16String() / fileName.toStdU16String();
  return QImage(QString::fromStdU16String(path.u16string()));
}

void tileBitmap(QPainter& painter, const QImage& image, const QRect& area) {
  if (image.isNull()) {
    return;
  }
  for (int y = area.top(); y <= area.bottom(); y += image.height()) {
    for (int x = area.left(); x <= area.right(); x += image.width()) {
      painter.drawImage(x, y, image);
    }
  }
}

}  // namespace fretlets
