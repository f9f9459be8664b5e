#pragma once

#include <QString>
#include <QWidget>

#include "gui/common/app_context.h"
#include "gui/common/dialog_units.h"

class QPushButton;

namespace fretlets {

// A panel: one part of the frame's window, stacked in its column under the
// menu bar and toolbar (alone, as in a test, it is a window of its own),
// painted on its texture tile. Subclasses place their controls in dialog
// units and answer the panel keys:
//  - Escape runs silence() and never hides the panel;
//  - Enter does nothing (a panel has no default button);
//  - a request to close the panel (its close box) runs closeRequested(),
//    which decides whether and how the panel goes.
class Panel : public QWidget {
  Q_OBJECT

 public:
  // size: the client size in dialog units; textureFile: the texture bitmap
  // tiled under the controls ("amp.bmp", "axe.bmp" or "chord.bmp").
  Panel(AppContext& context, const QString& title, QSize size, QString textureFile, QWidget* frame);

  // A control rectangle given in dialog units, in pixels.
  QRect dialogRect(int x, int y, int width, int height) const {
    return units_.rect(x, y, width, height);
  }
  const DialogUnits& units() const { return units_; }

  // A push button of the panel at rect, named by its tooltip; a panel has no
  // default button.
  QPushButton* makeButton(const QString& text, QRect rect, const QString& tip);

  // Whether the panel has a close box.
  bool closable() const { return closable_; }

  // Shows the panel at a zoom in percent (100 is actual size): its size, its
  // controls, their fonts and the dialog units scale together.
  void setZoom(int percent);
  int zoom() const { return zoom_; }

 protected:
  // The panel's Escape action; by default nothing.
  virtual void silence() {}
  // The close box was pressed; by default the panel goes away (later, never
  // under a running handler).
  virtual void closeRequested();

  void paintEvent(QPaintEvent* event) override;
  void keyPressEvent(QKeyEvent* event) override;
  void closeEvent(QCloseEvent* event) override;

  // A panel that closes only with the program shows no close box.
  void setClosable(bool closable) { closable_ = closable; }

  // Moves a control to a rectangle given at actual size; the zoom scales it.
  void placeControl(QWidget* control, QRect actualSize);
  // The dialog units at actual size.
  const DialogUnits& actualUnits() const { return actualUnits_; }
  // The zoom changed: what the panel draws itself follows here.
  virtual void zoomChanged() {}

  AppContext& context_;

 private:
  QRect zoomed(QRect actualSize) const;

  const DialogUnits actualUnits_;
  DialogUnits units_;
  const QFont actualFont_;
  const QSize size_;
  const QString textureFile_;
  bool closable_ = true;
  int zoom_ = 100;
};

// Gives a control its tooltip, which is also its name for screen readers.
template <typename Widget>
Widget* described(Widget* widget, const QString& tip) {
  widget->setToolTip(tip);
  widget->setAccessibleName(tip);
  return widget;
}

}  // namespace fretlets
