#include "gui/common/panel.h"

#include <QCloseEvent>
#include <QKeyEvent>
#include <QPainter>
#include <QPushButton>

#include "gui/common/app_state.h"
#include "gui/common/texture.h"

namespace fretlets {

Panel::Panel(AppContext& context, const QString& title, QSize size, QString textureFile,
             QWidget* frame)
    : QWidget(frame),
      context_(context),
      actualUnits_(font()),
      units_(actualUnits_),
      actualFont_(font()),
      size_(size),
      textureFile_(std::move(textureFile)) {
  setWindowTitle(title);
  // The tooltips name the controls: they show whichever window is active.
  setAttribute(Qt::WA_AlwaysShowToolTips);
  setFixedSize(units_.x(size.width()), units_.y(size.height()));
}

QPushButton* Panel::makeButton(const QString& text, QRect rect, const QString& tip) {
  auto* button = described(new QPushButton(text, this), tip);
  button->setGeometry(rect);
  button->setAutoDefault(false);
  return button;
}

namespace {

// Where a control stands at actual size, kept once the panel first zooms.
constexpr const char* kActualRect = "fretlets.actualRect";

}  // namespace

void Panel::setZoom(int percent) {
  if (percent == zoom_) {
    return;
  }
  zoom_ = percent;
  units_ = actualUnits_.zoomed(percent);
  QFont zoomedFont = actualFont_;
  if (actualFont_.pixelSize() > 0) {
    zoomedFont.setPixelSize(actualFont_.pixelSize() * percent / 100);
  } else {
    zoomedFont.setPointSizeF(actualFont_.pointSizeF() * percent / 100);
  }
  setFont(zoomedFont);
  for (QWidget* control : findChildren<QWidget*>(Qt::FindDirectChildrenOnly)) {
    if (!control->property(kActualRect).isValid()) {
      control->setProperty(kActualRect, control->geometry());
    }
    control->setGeometry(zoomed(control->property(kActualRect).toRect()));
  }
  setFixedSize(units_.x(size_.width()), units_.y(size_.height()));
  zoomChanged();
}

void Panel::placeControl(QWidget* control, QRect actualSize) {
  control->setProperty(kActualRect, actualSize);
  control->setGeometry(zoomed(actualSize));
}

// Edges are scaled, not sizes, so that controls that touch at actual size
// still touch.
QRect Panel::zoomed(QRect actualSize) const {
  const auto scale = [this](int pixels) { return (pixels * zoom_ + 50) / 100; };
  return QRect(QPoint(scale(actualSize.left()), scale(actualSize.top())),
               QPoint(scale(actualSize.right() + 1) - 1, scale(actualSize.bottom() + 1) - 1));
}

void Panel::closeRequested() {
  deleteLater();
}

void Panel::paintEvent(QPaintEvent* /*event*/) {
  QPainter painter(this);
  tileBitmap(painter, loadTexture(context_.state, textureFile_), rect());
}

void Panel::keyPressEvent(QKeyEvent* event) {
  switch (event->key()) {
    case Qt::Key_Escape:
      silence();
      event->accept();
      return;
    case Qt::Key_Return:
    case Qt::Key_Enter:
      event->accept();
      return;
    default:
      QWidget::keyPressEvent(event);
  }
}

void Panel::closeEvent(QCloseEvent* event) {
  event->ignore();
  closeRequested();
}

}  // namespace fretlets
