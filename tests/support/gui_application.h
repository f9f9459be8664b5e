#pragma once

#include <gtest/gtest.h>

#include <QApplication>
#include <QWidget>
#include <memory>

namespace fretlets {

// The one QApplication of the test program. It goes away when the tests
// are done, before the program's exit, while Qt is still whole.
class ApplicationEnvironment : public ::testing::Environment {
 public:
  void SetUp() override { application(); }
  void TearDown() override { app_.reset(); }

  QApplication& application() {
    if (!app_) {
      app_ = std::make_unique<QApplication>(argc_, argv_);
    }
    return *app_;
  }

 private:
  int argc_ = 1;
  char name_[14] = "fretlets-gui";
  char* argv_[2] = {name_, nullptr};
  std::unique_ptr<QApplication> app_;
};

inline ApplicationEnvironment& applicationEnvironment() {
  static ApplicationEnvironment* const environment = [] {
    auto* created = new ApplicationEnvironment;
    ::testing::AddGlobalTestEnvironment(created);  // gtest owns it
    return created;
  }();
  return *environment;
}

inline QApplication& testApplication() {
  return applicationEnvironment().application();
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
