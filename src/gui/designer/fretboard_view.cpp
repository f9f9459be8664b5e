#include "gui/designer/fretboard_view.h"

#include <QAccessible>
#include <QAccessibleActionInterface>
#include <QAccessibleWidget>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QPointer>
#include <algorithm>
#include <map>
#include <optional>

namespace fretlets {
namespace {

// One cell of the fretboard for assistive technology: a button named after
// its string and fret, checked while the string's mark sits there.
class FretboardCellAccessible : public QAccessibleInterface, public QAccessibleActionInterface {
 public:
  FretboardCellAccessible(FretboardView* view, int row, int string)
      : view_(view), row_(row), string_(string) {}

  bool isValid() const override { return view_ && string_ < view_->strings(); }
  QObject* object() const override { return nullptr; }
  QWindow* window() const override { return view_ ? view_->window()->windowHandle() : nullptr; }
  QAccessibleInterface* parent() const override {
    return QAccessible::queryAccessibleInterface(view_.data());
  }
  QAccessibleInterface* child(int /*index*/) const override { return nullptr; }
  int childCount() const override { return 0; }
  int indexOfChild(const QAccessibleInterface* /*child*/) const override { return -1; }
  QAccessibleInterface* childAt(int /*x*/, int /*y*/) const override { return nullptr; }

  QString text(QAccessible::Text t) const override {
    if (!isValid()) {
      return {};
    }
    if (t == QAccessible::Name) {
      return view_->cellName(row_, string_);
    }
    if (t == QAccessible::Description && view_->cellMarked(row_, string_)) {
      return QStringLiteral("Played here");
    }
    return {};
  }
  void setText(QAccessible::Text /*t*/, const QString& /*text*/) override {}
  QRect rect() const override {
    if (!isValid()) {
      return {};
    }
    const QRect cell = view_->cellRect(row_, string_);
    return {view_->mapToGlobal(cell.topLeft()), cell.size()};
  }
  QAccessible::Role role() const override { return QAccessible::Button; }
  QAccessible::State state() const override {
    QAccessible::State s;
    if (!isValid()) {
      s.invalid = true;
      return s;
    }
    s.checkable = true;
    s.checked = view_->cellMarked(row_, string_);
    s.focusable = true;
    s.focused = view_->hasFocus() && view_->cursorRow() == row_ && view_->cursorString() == string_;
    return s;
  }
  void* interface_cast(QAccessible::InterfaceType type) override {
    return type == QAccessible::ActionInterface ? static_cast<QAccessibleActionInterface*>(this)
                                                : nullptr;
  }

  QStringList actionNames() const override { return {pressAction()}; }
  void doAction(const QString& actionName) override {
    if (actionName == pressAction() && isValid()) {
      view_->pressCell(row_, string_);
    }
  }
  QStringList keyBindingsForAction(const QString& actionName) const override {
    return actionName == pressAction() ? QStringList{QStringLiteral("Space")} : QStringList{};
  }

 private:
  QPointer<FretboardView> view_;
  const int row_;
  const int string_;
};

// The fretboard for assistive technology: its cells, row by row.
class FretboardAccessible : public QAccessibleWidget {
 public:
  explicit FretboardAccessible(FretboardView* view)
      : QAccessibleWidget(view, QAccessible::Grouping, QStringLiteral("Fretboard")) {}
  ~FretboardAccessible() override {
    for (const auto& [key, id] : cells_) {
      QAccessible::deleteAccessibleInterface(id);
    }
  }
  FretboardAccessible(const FretboardAccessible&) = delete;
  FretboardAccessible& operator=(const FretboardAccessible&) = delete;

  int childCount() const override { return kDiagramRows * view()->strings(); }
  QAccessibleInterface* child(int index) const override {
    const int n = view()->strings();
    if (index < 0 || index >= kDiagramRows * n) {
      return nullptr;
    }
    const int row = index / n;
    const int string = index % n;
    const int key = row * kStringSlots + string;
    auto found = cells_.find(key);
    if (found == cells_.end()) {
      const QAccessible::Id id = QAccessible::registerAccessibleInterface(
          new FretboardCellAccessible(view(), row, string));
      found = cells_.emplace(key, id).first;
    }
    return QAccessible::accessibleInterface(found->second);
  }
  int indexOfChild(const QAccessibleInterface* child) const override {
    for (int i = 0; i < childCount(); ++i) {
      if (this->child(i) == child) {
        return i;
      }
    }
    return -1;
  }
  QAccessibleInterface* childAt(int x, int y) const override {
    const QPoint local = view()->mapFromGlobal(QPoint(x, y));
    for (int i = 0; i < childCount(); ++i) {
      const int n = view()->strings();
      if (view()->cellRect(i / n, i % n).contains(local)) {
        return child(i);
      }
    }
    return nullptr;
  }

 private:
  FretboardView* view() const { return static_cast<FretboardView*>(widget()); }

  mutable std::map<int, QAccessible::Id> cells_;  // by row * 6 + string
};

QAccessibleInterface* fretboardAccessibleFactory(const QString& /*className*/, QObject* object) {
  if (auto* view = qobject_cast<FretboardView*>(object)) {
    return new FretboardAccessible(view);
  }
  return nullptr;
}

void tellAssistiveTechnology(FretboardView* view, int row, int string, bool stateChanged) {
  if (!QAccessible::isActive()) {
    return;
  }
  const int child = row * view->strings() + string;
  if (stateChanged) {
    QAccessible::State changed;
    changed.checked = true;
    QAccessibleStateChangeEvent event(view, changed);
    event.setChild(child);
    QAccessible::updateAccessibility(&event);
  } else {
    QAccessibleEvent event(view, QAccessible::Focus);
    event.setChild(child);
    QAccessible::updateAccessibility(&event);
  }
}

}  // namespace

FretboardView::FretboardView(const DesignerModel& model, int baseUnitHeight, QWidget* parent)
    : QFrame(parent), model_(model), baseUnitHeight_(baseUnitHeight) {
  static const bool factoryInstalled = [] {
    QAccessible::installFactory(fretboardAccessibleFactory);
    return true;
  }();
  Q_UNUSED(factoryInstalled);
  setFrameStyle(QFrame::Panel | QFrame::Sunken);
  setLineWidth(2);
  setFocusPolicy(Qt::StrongFocus);
  setAttribute(Qt::WA_OpaquePaintEvent);
  rebuild();
}

void FretboardView::rebuild() {
  const QRect area = contentsRect();
  const int n = model_.strings();
  geometry_ = computeFretboardGeometry({0, 0, area.width(), area.height()}, n, baseUnitHeight_);
  cells_ = CellRects(geometry_, n);
  cursorString_ = std::min(cursorString_, n - 1);
  update();
}

void FretboardView::setBaseUnitHeight(int baseUnitHeight) {
  baseUnitHeight_ = baseUnitHeight;
  rebuild();
}

void FretboardView::setLeftHanded(bool leftHanded) {
  leftHanded_ = leftHanded;
  update();
}

// Left-handed, the lowest string stands on the right: string s takes the
// column of string n - 1 - s.
const PixelRect& FretboardView::cell(int row, int string) const {
  return cells_.cell(row, leftHanded_ ? strings() - 1 - string : string);
}

QRect FretboardView::cellRect(int row, int string) const {
  if (row < 0 || row >= kDiagramRows || string < 0 || string >= strings()) {
    return {};
  }
  const PixelRect& c = cell(row, string);
  return QRect(c.left, c.top, c.right - c.left, c.bottom - c.top)
      .translated(contentsRect().topLeft());
}

QString FretboardView::cellName(int row, int string) const {
  const int fret = row == 0 && !model_.chord().barred ? 0 : model_.topFret() + row;
  return QStringLiteral("String %1, fret %2").arg(strings() - string).arg(fret);
}

bool FretboardView::cellMarked(int row, int string) const {
  const DiagramMark mark = model_.mark(string);
  return mark.kind != DiagramMark::Kind::Muted && mark.outside == 0 && mark.row == row;
}

void FretboardView::pressCell(int row, int string) {
  if (row < 0 || row >= kDiagramRows || string < 0 || string >= strings()) {
    return;
  }
  emit cellPressed(row, string);
  tellAssistiveTechnology(this, row, string, true);
}

void FretboardView::paintEvent(QPaintEvent* event) {
  QFrame::paintEvent(event);
  QPainter painter(this);
  const QRect area = contentsRect();
  painter.setClipRect(area);
  painter.fillRect(area, palette().color(QPalette::Base));
  painter.translate(area.topLeft());

  // Lines and marks are placed on whole device pixels, so every line of the
  // grid is equally sharp and equally thick at any screen scale; the text
  // keeps the panel's own coordinates.
  const qreal ratio = devicePixelRatioF();
  const auto px = [ratio](int logical) { return qRound(logical * ratio); };
  const int penWidth = std::max(1, qRound(ratio));
  painter.save();
  painter.scale(1 / ratio, 1 / ratio);
  painter.setRenderHint(QPainter::Antialiasing, false);
  painter.setPen(QPen(Qt::black, penWidth));
  const FretboardGeometry& g = geometry_;
  const int n = strings();
  const int xEnd = g.xLeft + (n - 1) * g.stringSpacing;
  for (int s = 0; s < n; ++s) {
    const int x = px(g.xLeft + s * g.stringSpacing);
    painter.drawLine(x, px(g.yTop), x, px(g.yBottom - 2));
  }
  for (int k = 0; k <= kDiagramRows; ++k) {
    // Six fret lines, and a second line over the top one.
    const int y = k < kDiagramRows ? px(g.yTop + k * g.fretSpacing) : px(g.yTop - 2);
    painter.drawLine(px(g.xLeft), y, px(xEnd), y);
  }
  paintMarks(painter, ratio);
  if (hasFocus() && n > 0) {
    const PixelRect& c = cell(cursorRow_, cursorString_);
    painter.setPen(QPen(palette().color(QPalette::Highlight), penWidth, Qt::DotLine));
    painter.setBrush(Qt::NoBrush);
    painter.drawRect(
        QRect(QPoint(px(c.left - 3), px(c.top - 3)), QPoint(px(c.right + 2), px(c.bottom + 2))));
  }
  painter.restore();

  // Each played string's fret number below the diagram, and up the neck the
  // first fret row's number beside it, on the side away from the strings'
  // lowest.
  painter.setPen(palette().color(QPalette::Text));
  if (model_.topFret() != 0 && n > 0) {
    const QString number = QString::number(model_.topFret() + 1);
    const PixelRect& row = cells_.cell(1, 0);
    const int width = painter.fontMetrics().horizontalAdvance(number);
    const int x = leftHanded_ ? xEnd + g.stringSpacing / 4 : g.xLeft - g.stringSpacing / 4 - width;
    painter.drawText(QRect(x, row.top, width, row.bottom - row.top), Qt::AlignCenter, number);
  }
  for (int s = 0; s < n; ++s) {
    const int fret = model_.chord().frets[s];
    if (fret == kNone) {
      continue;
    }
    const PixelRect& top = cell(0, s);
    const PixelRect& bottom = cell(kDiagramRows - 1, s);
    painter.drawText(QPoint(top.left + g.stringSpacing / 15,
                            bottom.bottom + 15 + painter.fontMetrics().ascent()),
                     QString::number(fret));
  }
}

void FretboardView::paintMarks(QPainter& painter, qreal ratio) const {
  const auto px = [ratio](int logical) { return qRound(logical * ratio); };
  const int penWidth = std::max(1, qRound(ratio));
  // A barred top fret is one finger across the strings it holds: a bar from
  // the first to the last of them.
  if (model_.chord().barred) {
    std::optional<QRect> bar;
    for (int s = 0; s < strings(); ++s) {
      const DiagramMark mark = model_.mark(s);
      if (mark.kind == DiagramMark::Kind::Fretted && mark.row == 0 && mark.outside == 0 &&
          !mark.held) {
        const PixelRect& c = cell(0, s);
        const QRect dot(QPoint(px(c.left), px(c.top)), QPoint(px(c.right), px(c.bottom)));
        bar = bar ? bar->united(dot) : dot;
      }
    }
    if (bar && bar->width() > bar->height() * 2) {
      painter.setPen(Qt::NoPen);
      painter.setBrush(Qt::black);
      painter.setRenderHint(QPainter::Antialiasing, true);
      painter.drawRoundedRect(*bar, bar->height() / 2.0, bar->height() / 2.0);
    }
  }
  for (int s = 0; s < strings(); ++s) {
    const DiagramMark mark = model_.mark(s);
    const PixelRect& top = cell(0, s);
    painter.setPen(QPen(Qt::black, penWidth));
    if (mark.kind == DiagramMark::Kind::Muted) {
      painter.setRenderHint(QPainter::Antialiasing, false);
      painter.drawLine(px(top.left + 1), px(top.top), px(top.right), px(top.bottom + 1));
      painter.drawLine(px(top.right - 1), px(top.top), px(top.left), px(top.bottom + 1));
      continue;
    }
    const PixelRect& place = cell(mark.row, s);
    const qreal inset = penWidth / 2.0;
    const QRectF box = QRectF(QPointF(px(place.left), px(place.top)),
                              QPointF(px(place.right + 1), px(place.bottom + 1)))
                           .adjusted(inset, inset, -inset, -inset);
    const bool open = mark.kind == DiagramMark::Kind::Open;
    painter.setBrush(mark.held ? QColor(Qt::lightGray) : open ? QColor(Qt::white) : Qt::black);
    painter.setRenderHint(QPainter::Antialiasing, true);
    if (mark.outside == 0) {
      painter.drawEllipse(box);
    } else {
      // Beyond the diagram: a triangle at its edge points the way; the fret
      // number below says how far.
      const qreal tipY = mark.outside < 0 ? box.top() : box.bottom();
      const qreal baseY = mark.outside < 0 ? box.bottom() : box.top();
      const QPointF triangle[] = {
          {box.center().x(), tipY}, {box.left(), baseY}, {box.right(), baseY}};
      painter.drawPolygon(triangle, 3);
    }
  }
}

void FretboardView::mousePressEvent(QMouseEvent* event) {
  if (event->button() != Qt::LeftButton) {
    QFrame::mousePressEvent(event);
    return;
  }
  const QPoint p = event->position().toPoint() - contentsRect().topLeft();
  if (!QRect(QPoint(0, 0), contentsRect().size()).contains(p)) {
    return;
  }
  if (const auto hit = cells_.hitTest(p.x(), p.y())) {
    cursorRow_ = hit->row;
    cursorString_ = leftHanded_ ? strings() - 1 - hit->string : hit->string;
    pressCell(cursorRow_, cursorString_);
  }
}

void FretboardView::keyPressEvent(QKeyEvent* event) {
  switch (event->key()) {
    case Qt::Key_Left:
      moveCursor(0, leftHanded_ ? 1 : -1);
      break;
    case Qt::Key_Right:
      moveCursor(0, leftHanded_ ? -1 : 1);
      break;
    case Qt::Key_Up:
      moveCursor(-1, 0);
      break;
    case Qt::Key_Down:
      moveCursor(1, 0);
      break;
    case Qt::Key_Space:
      pressCell(cursorRow_, cursorString_);
      break;
    default:
      QFrame::keyPressEvent(event);
      return;
  }
  event->accept();
}

void FretboardView::moveCursor(int rowStep, int stringStep) {
  cursorRow_ = std::clamp(cursorRow_ + rowStep, 0, kDiagramRows - 1);
  cursorString_ = std::clamp(cursorString_ + stringStep, 0, std::max(strings() - 1, 0));
  update();
  tellAssistiveTechnology(this, cursorRow_, cursorString_, false);
}

void FretboardView::resizeEvent(QResizeEvent* event) {
  QFrame::resizeEvent(event);
  rebuild();
}

void FretboardView::focusInEvent(QFocusEvent* event) {
  QFrame::focusInEvent(event);
  update();
  tellAssistiveTechnology(this, cursorRow_, cursorString_, false);
}

void FretboardView::focusOutEvent(QFocusEvent* event) {
  QFrame::focusOutEvent(event);
  update();
}

}  // namespace fretlets
