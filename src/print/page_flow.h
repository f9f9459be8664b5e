#pragma once

#include <QPagedPaintDevice>
#include <QPainter>
#include <QRectF>
#include <QString>
#include <vector>

#include "print/chord_diagram.h"

namespace fretlets {

// Lays printed matter down the pages of a paged device (a PDF file or a
// printer), top to bottom, with "Page N of M" at the foot of each page.
// The pages are laid out twice: once without a painter to count them, then
// painted, so that every foot knows how many there are (printPages).
class PageFlow {
 public:
  PageFlow(QPagedPaintDevice& device, QPainter* painter, int pageCount);

  // A hundredth of the page's width: every size is counted in it.
  double unit() const { return width_ / 100; }
  double width() const { return width_; }
  // Breaks the page unless height still fits on it.
  void keep(double height);
  // The next band of the page, height high, on a new page when it does not fit.
  QRectF take(double height);
  // A line of text in a band of its own; size in units.
  void line(const QString& text, double size, bool bold, Qt::Alignment alignment = Qt::AlignLeft);
  // Diagrams in rows of columns, a heading kept with the first row.
  void diagrams(const std::vector<ChordDiagram>& diagrams, int columns);
  void space(double height) { y_ += height; }
  // The foot of the last page.
  void finish();
  int pages() const { return page_; }

 private:
  void newPage();
  void foot();

  QPagedPaintDevice& device_;
  QPainter* painter_;  // null while counting the pages
  int pageCount_;
  double width_;
  double height_;
  double bottom_;  // where the foot begins
  double y_ = 0;
  int page_ = 1;
};

// Lays the matter out to count the pages, then paints it. Returns false when
// the device cannot be painted on.
template <typename Layout>
bool printPages(QPagedPaintDevice& device, QPainter& painter, const Layout& layout) {
  PageFlow counting(device, nullptr, 0);
  layout(counting);
  if (!painter.begin(&device)) {
    return false;
  }
  PageFlow flow(device, &painter, counting.pages());
  layout(flow);
  flow.finish();
  return painter.end();
}

}  // namespace fretlets
