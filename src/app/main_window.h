#pragma once

#include <QMainWindow>

namespace fretlets {

// The frame: caption, menu bar and toolbar; the panels hang below it.
class MainWindow : public QMainWindow {
  Q_OBJECT

 public:
  explicit MainWindow(QWidget* parent = nullptr);
};

}  // namespace fretlets
