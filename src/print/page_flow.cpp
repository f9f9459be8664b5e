#include "print/page_flow.h"

#include <QFont>
#include <QPagedPaintDevice>
#include <QPainter>
#include <algorithm>
#include <cmath>

namespace fretlets {

PageFlow::PageFlow(QPagedPaintDevice& device, QPainter* painter, int pageCount)
    : device_(device),
      painter_(painter),
      pageCount_(pageCount),
      width_(device.width()),
      height_(device.height()),
      bottom_(height_ - unit() * 4) {}

void PageFlow::keep(double height) {
  if (y_ + height > bottom_ && y_ > 0) {
    newPage();
  }
}

QRectF PageFlow::take(double height) {
  keep(height);
  const QRectF band(0, y_, width_, height);
  y_ += height;
  return band;
}

void PageFlow::line(const QString& text, double size, bool bold, Qt::Alignment alignment) {
  const QRectF band = take(unit() * size * 1.5);
  if (painter_ == nullptr) {
    return;
  }
  QFont font(QStringLiteral("Sans Serif"));
  font.setPixelSize(std::max(1, static_cast<int>(std::lround(unit() * size))));
  font.setBold(bold);
  painter_->setFont(font);
  painter_->setPen(Qt::black);
  painter_->drawText(band, alignment | Qt::AlignVCenter, text);
}

void PageFlow::diagrams(const std::vector<ChordDiagram>& diagrams, int columns) {
  const double cell = width_ / columns;
  const double rowHeight = cell / kDiagramAspect;
  for (std::size_t first = 0; first < diagrams.size(); first += columns) {
    const QRectF row = take(rowHeight);
    if (painter_ == nullptr) {
      continue;
    }
    for (std::size_t i = first; i < std::min(diagrams.size(), first + columns); ++i) {
      const QRectF box(row.left() + cell * static_cast<double>(i - first), row.top(), cell,
                       rowHeight);
      paintChordDiagram(*painter_,
                        box.adjusted(cell * 0.06, cell * 0.04, -cell * 0.06, -cell * 0.04),
                        diagrams[i]);
    }
  }
}

void PageFlow::newPage() {
  foot();
  if (painter_ != nullptr) {
    device_.newPage();
  }
  ++page_;
  y_ = 0;
}

void PageFlow::finish() {
  foot();
}

void PageFlow::foot() {
  if (painter_ == nullptr) {
    return;
  }
  QFont font(QStringLiteral("Sans Serif"));
  font.setPixelSize(std::max(1, static_cast<int>(std::lround(unit() * 1.6))));
  painter_->setFont(font);
  painter_->setPen(Qt::black);
  painter_->drawText(QRectF(0, bottom_, width_, height_ - bottom_), Qt::AlignCenter,
                     QStringLiteral("Page %1 of %2").arg(page_).arg(pageCount_));
}

}  // namespace fretlets
