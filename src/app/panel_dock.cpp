#include "app/panel_dock.h"

#include <QCloseEvent>

namespace fretlets {

PanelDock::PanelDock(Panel* panel, QWidget* column) : QDockWidget(column), panel_(panel) {
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
    hide();
    emit placeChanged();
    deleteLater();
  });
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
  if (watched == panel_.data() &&
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
