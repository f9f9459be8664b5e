#pragma once

#include <QImage>
#include <QString>
#include <QStringList>
#include <filesystem>

class QPainter;
class QRect;
class QWidget;

namespace fretlets {

struct AppState;

// The texture bitmap fileName ("amp.bmp", "axe.bmp", "chord.bmp") of the
// chosen texture, read from the textures folder beside the program at every
// call, so the current directory never matters. Null when there is none.
QImage loadTexture(const AppState& state, const QString& fileName);

// Repeats image from the top-left corner of area, right and down, until the
// area is covered. A null image paints nothing.
void tileBitmap(QPainter& painter, const QImage& image, const QRect& area);

// The folder whose sub-folders are the textures.
std::filesystem::path texturesFolder(const AppState& state);
// The textures there, by name, sorted without regard to case.
QStringList textureNames(const AppState& state);

// A label's text as it is drawn over a texture: at most 24 characters.
QString labelText(const QString& text);

// Draws label's text at its top-left corner in label's font, with no
// background, so the panel's texture shows around the letters.
void paintLabelText(QPainter& painter, const QWidget& label);

// Tiles image under label and draws its text on top.
void paintLabelOverTexture(QPainter& painter, const QImage& image, const QWidget& label);

}  // namespace fretlets
