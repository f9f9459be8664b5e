#include "gui/common/texture.h"

#include <QDir>
#include <QLabel>
#include <QPainter>
#include <QRect>

#include "gui/common/app_state.h"
#include "gui/common/document_kind.h"

namespace fretlets {
namespace {

constexpr int kLabelCharacters = 24;

}  // namespace

std::filesystem::path texturesFolder(const AppState& state) {
  return state.programFolder / qStringToPath(state.texturesFolder);
}

QImage loadTexture(const AppState& state, const QString& fileName) {
  if (state.textureName.isEmpty()) {
    return {};
  }
  const std::filesystem::path path =
      texturesFolder(state) / qStringToPath(state.textureName) / qStringToPath(fileName);
  return QImage(pathToQString(path));
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

QStringList textureNames(const AppState& state) {
  const QDir folder(pathToQString(texturesFolder(state)));
  return folder.entryList(QDir::Dirs | QDir::NoDotAndDotDot, QDir::Name | QDir::IgnoreCase);
}

QString labelText(const QString& text) {
  return text.left(kLabelCharacters);
}

void paintLabelText(QPainter& painter, const QWidget& label) {
  const auto* asLabel = qobject_cast<const QLabel*>(&label);
  const QString text = asLabel ? asLabel->text() : label.windowTitle();
  painter.save();
  painter.setFont(label.font());
  painter.setPen(label.palette().color(QPalette::WindowText));
  painter.drawText(label.geometry(), Qt::AlignLeft | Qt::AlignTop, labelText(text));
  painter.restore();
}

void paintLabelOverTexture(QPainter& painter, const QImage& image, const QWidget& label) {
  painter.save();
  painter.setClipRect(label.geometry());
  tileBitmap(painter, image, label.geometry());
  painter.restore();
  paintLabelText(painter, label);
}

}  // namespace fretlets
