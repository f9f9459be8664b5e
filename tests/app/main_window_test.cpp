#include <gtest/gtest.h>

#include <QApplication>

#include "app/main_window.h"

namespace fretlets {
namespace {

TEST(MainWindow, OpensTitledFretlets) {
  int argc = 1;
  char name[] = "fretlets-tests";
  char* argv[] = {name, nullptr};
  QApplication app(argc, argv);
  MainWindow window;
  window.show();
  EXPECT_EQ(window.windowTitle(), QStringLiteral("Fretlets"));
  EXPECT_TRUE(window.isVisible());
}

}  // namespace
}  // namespace fretlets
