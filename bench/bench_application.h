#pragma once

#include <QApplication>

namespace fretlets {

// The benchmarks' one application, on the offscreen platform unless the
// caller chose another; the benchmarks' main deletes it.
inline QApplication& benchApplication() {
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
  }
  static int argc = 1;
  static char name[] = "fretlets-bench";
  static char* argv[] = {name, nullptr};
  static QApplication* app = new QApplication(argc, argv);
  return *app;
}

}  // namespace fretlets
