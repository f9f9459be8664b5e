#pragma once

#include <gtest/gtest.h>

#include <QApplication>
#include <QWidget>
#include <memory>

namespace fretlets {

// The one QApplication of the test program, made on first use. It goes away
// when the tests are done, before the program's exit, while Qt is still whole.
inline QApplication& testApplication() {
  struct Environment : ::testing::Environment {
    void TearDown() override { app.reset(); }
    int argc = 1;
    char name[14] = "fretlets-gui";
    char* argv[2] = {name, nullptr};
    std::unique_ptr<QApplication> app = std::make_unique<QApplication>(argc, argv);
  };
  // gtest owns it.
  static auto* const environment =
      static_cast<Environment*>(::testing::AddGlobalTestEnvironment(new Environment));
  return *environment->app;
}

// The nth control of a window by its accessible name, which is its tooltip
// where it has one.
template <typename Control = QWidget>
Control* control(const QWidget* window, const QString& name, int nth = 0) {
  for (Control* widget : window->findChildren<Control*>()) {
    if (widget->accessibleName() == name && nth-- == 0) {
      return widget;
    }
  }
  ADD_FAILURE() << "no control " << name.toStdString();
  return nullptr;
}

}  // namespace fretlets
