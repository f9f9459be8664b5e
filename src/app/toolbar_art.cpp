#include "app/toolbar_art.h"

#include <QPainter>
#include <QPainterPath>
#include <QPixmap>

namespace fretlets {
namespace {

constexpr QSize kImageSize(16, 15);

const QColor kInk(40, 30, 20);
const QColor kWood(176, 110, 50);
const QColor kPaper(250, 246, 232);
const QColor kBlue(40, 90, 170);

QPixmap blank() {
  QPixmap pixmap(kImageSize);
  pixmap.fill(Qt::transparent);
  return pixmap;
}

// A guitar body with its neck, seen from the front.
void drawInstrument(QPainter& p) {
  p.setPen(QPen(kInk, 1));
  p.setBrush(kWood);
  p.drawEllipse(QRectF(1.5, 7.5, 7, 6));
  p.drawEllipse(QRectF(2.5, 4.5, 5, 5));
  p.setBrush(kInk);
  p.drawEllipse(QRectF(4, 8.5, 2, 2));
  p.setPen(QPen(kInk, 2));
  p.drawLine(QPointF(6, 8), QPointF(13.5, 1.5));
}

// A piece of fretboard with three fingered dots.
void drawDesigner(QPainter& p) {
  p.fillRect(QRect(2, 1, 12, 13), kPaper);
  p.setPen(kInk);
  for (int x = 2; x <= 14; x += 3) {
    p.drawLine(x, 1, x, 14);
  }
  for (int y = 1; y <= 14; y += 4) {
    p.drawLine(2, y, 14, y);
  }
  p.setPen(Qt::NoPen);
  p.setBrush(kBlue);
  p.drawEllipse(QRectF(3.5, 2.5, 3, 3));
  p.drawEllipse(QRectF(6.5, 6.5, 3, 3));
  p.drawEllipse(QRectF(9.5, 10.5, 3, 3));
}

// A magnifying glass over a diagram's dots.
void drawFinder(QPainter& p) {
  p.setPen(Qt::NoPen);
  p.setBrush(kBlue);
  p.drawEllipse(QRectF(1.5, 2.5, 3, 3));
  p.drawEllipse(QRectF(1.5, 9.5, 3, 3));
  p.setPen(QPen(kInk, 1.5));
  p.setBrush(kPaper);
  p.drawEllipse(QRectF(5.5, 1.5, 7, 7));
  p.setPen(QPen(kInk, 2.5, Qt::SolidLine, Qt::RoundCap));
  p.drawLine(QPointF(11.5, 8.5), QPointF(14.5, 12.5));
}

void drawHelp(QPainter& p) {
  p.setPen(QPen(kBlue.darker(120), 1));
  p.setBrush(kBlue);
  p.drawEllipse(QRectF(0.5, 0.5, 14.5, 13.5));
  QFont font = p.font();
  font.setPixelSize(12);
  font.setBold(true);
  p.setFont(font);
  p.setPen(Qt::white);
  p.drawText(QRect(0, 0, 16, 15), Qt::AlignCenter, QStringLiteral("?"));
}

// A sheet with a corner folded down, the start of every new document.
void drawSheet(QPainter& p) {
  QPainterPath sheet;
  sheet.moveTo(2.5, 0.5);
  sheet.lineTo(10.5, 0.5);
  sheet.lineTo(13.5, 3.5);
  sheet.lineTo(13.5, 14.5);
  sheet.lineTo(2.5, 14.5);
  sheet.closeSubpath();
  p.setPen(kInk);
  p.setBrush(kPaper);
  p.drawPath(sheet);
  p.drawLine(QPointF(10.5, 0.5), QPointF(10.5, 3.5));
  p.drawLine(QPointF(10.5, 3.5), QPointF(13.5, 3.5));
}

// A new chord book: a sheet with a chord box on it.
void drawNewChordBook(QPainter& p) {
  drawSheet(p);
  p.setPen(kInk);
  p.drawRect(4, 5, 6, 7);
  p.drawLine(6, 5, 6, 12);
  p.drawLine(8, 5, 8, 12);
  p.setPen(Qt::NoPen);
  p.setBrush(kBlue);
  p.drawEllipse(QRectF(5, 7, 2.5, 2.5));
  p.drawEllipse(QRectF(7, 9, 2.5, 2.5));
}

// A new score: a sheet with a staff and a note.
void drawNewScore(QPainter& p) {
  drawSheet(p);
  p.setPen(kInk);
  for (int y = 5; y <= 11; y += 2) {
    p.drawLine(4, y, 11, y);
  }
  p.setBrush(kInk);
  p.drawEllipse(QRectF(5, 9, 3, 2.5));
  p.drawLine(8, 3, 8, 10);
}

// An open folder.
void drawOpen(QPainter& p) {
  p.setPen(kInk);
  p.setBrush(QColor(230, 190, 80));
  p.drawRect(QRectF(0.5, 3.5, 12, 10));
  p.setBrush(QColor(250, 215, 110));
  QPainterPath flap;
  flap.moveTo(2.5, 6.5);
  flap.lineTo(15.5, 6.5);
  flap.lineTo(12.5, 13.5);
  flap.lineTo(0.5, 13.5);
  flap.closeSubpath();
  p.drawPath(flap);
}

// A floppy disk.
void drawSave(QPainter& p) {
  p.setPen(kInk);
  p.setBrush(kBlue);
  p.drawRect(QRectF(1.5, 1.5, 12, 12));
  p.fillRect(QRect(4, 2, 7, 5), kPaper);
  p.fillRect(QRect(4, 9, 7, 4), QColor(200, 200, 200));
}

QPixmap drawn(ToolbarImage image) {
  QPixmap pixmap = blank();
  QPainter painter(&pixmap);
  painter.setRenderHint(QPainter::Antialiasing);
  switch (image) {
    case ToolbarImage::Instrument:
      drawInstrument(painter);
      break;
    case ToolbarImage::Designer:
      drawDesigner(painter);
      break;
    case ToolbarImage::Finder:
      drawFinder(painter);
      break;
    case ToolbarImage::Help:
      drawHelp(painter);
      break;
    case ToolbarImage::NewChordBook:
      drawNewChordBook(painter);
      break;
    case ToolbarImage::NewScore:
      drawNewScore(painter);
      break;
    case ToolbarImage::Open:
      drawOpen(painter);
      break;
    case ToolbarImage::Save:
      drawSave(painter);
      break;
  }
  return pixmap;
}

}  // namespace

QIcon toolbarIcon(ToolbarImage image) {
  const QIcon own(drawn(image));
  switch (image) {
    case ToolbarImage::Open:
      return QIcon::fromTheme(QStringLiteral("document-open"), own);
    case ToolbarImage::Save:
      return QIcon::fromTheme(QStringLiteral("document-save"), own);
    default:
      return own;
  }
}

QIcon programIcon() {
  QPixmap pixmap(64, 64);
  pixmap.fill(Qt::transparent);
  QPainter painter(&pixmap);
  painter.setRenderHint(QPainter::Antialiasing);
  painter.scale(4, 4);
  drawDesigner(painter);
  return QIcon(pixmap);
}

}  // namespace fretlets
