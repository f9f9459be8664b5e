#include "app/main_window.h"

namespace fretlets {

MainWindow::MainWindow(QWidget* parent) : QMainWindow(parent) {
  setWindowTitle(QStringLiteral("Fretlets"));
  resize(640, 80);
}

}  // namespace fretlets
