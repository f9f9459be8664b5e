#pragma once

#include <QDockWidget>
#include <QPointer>

#include "gui/common/panel.h"

namespace fretlets {

// The place of one panel in the frame's column: the panel's caption on a slim
// title strip above it. The strip's close box asks the panel, which decides
// whether and how it goes; a double-click on the strip tears the panel off
// into a floating window and docks it back. The dock shows exactly while its
// panel is meant to show, and goes with the panel.
class PanelDock : public QDockWidget {
  Q_OBJECT

 public:
  PanelDock(Panel* panel, QWidget* column);
  ~PanelDock() override;

  Panel* panel() const { return panel_; }

 signals:
  // Shown, hidden, torn off or docked back: the column needs laying out.
  void placeChanged();

 protected:
  void closeEvent(QCloseEvent* event) override;
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  QPointer<Panel> panel_;
  QObject* watched_;
};

}  // namespace fretlets
