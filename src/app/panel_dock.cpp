#include "app/panel_dock.h"

#include <QCloseEvent>

namespace fretlets {

PanelDock::PanelDock(Panel* panel, QWidget* column)
    : QDockWidget(column), panel_(panel), watched_(panel) {
  setObjectName(panel->windowTitle());
  setWindowTitle(panel->windowTitle());
  connect(panel, &QWidget::windowTitleChanged, this, &QWidget::setWindowTitle);
  // A panel keeps its own size: the strip only ever docks in the column.
  setAllowedAreas(Qt::TopDockWidgetArea);
  setFeatures(panel->closable() ? DockWidgetClosable | DockWidgetFloatable : DockWidgetFloatable);
  setWidget(panel);
  setVisible(!panel->isHidden());
  panel->installEventFilter(this);
  connect(this, &QDockWidget::topLevelChanged, this, &PanelDock::placeChanged);
  // The panel may go at any time (its document closed, its View check
  // cleared): its place goes with it.
  connect(panel, &QObject::destroyed, this, [this] {
    watched_ = nullptr;
    hide();
    emit placeChanged();
    deleteLater();
  });
}

PanelDock::~PanelDock() {
  // Going first (with the window), the dock takes its panel along: the
  // panel's last signals must not reach a dock that is half gone.
  if (watched_ != nullptr) {
    watched_->removeEventFilter(this);
    disconnect(watched_, nullptr, this, nullptr);
  }
}

void PanelDock::closeEvent(QCloseEvent* event) {
  // The panel answers its close box: a document asks to be saved, the
  // Designer stays until the program closes.
  event->ignore();
  if (panel_) {
    panel_->close();
  }
}

bool PanelDock::eventFilter(QObject* watched, QEvent* event) {
  // Only the panel's own show and hide count, not those of the window around
  // it (a minimised frame hides its panels without hiding them).
  // Compared as a plain object: the panel may be half destroyed here.
  if (watched == watched_ && watched_ != nullptr &&
      (event->type() == QEvent::ShowToParent || event->type() == QEvent::HideToParent)) {
    const bool shown = event->type() == QEvent::ShowToParent;
    if (shown == isHidden()) {
      setVisible(shown);
      emit placeChanged();
    }
  }
  return QDockWidget::eventFilter(watched, event);
}

}  // namespace fretlets
