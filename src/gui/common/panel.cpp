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
    : QWidget(frame), context_(context), units_(font()), textureFile_(std::move(textureFile)) {
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
