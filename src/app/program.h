#pragma once

#include <QString>
#include <functional>

namespace fretlets {

class MainWindow;

struct StartOptions {
  // The single-instance socket; SingleInstance::serverName() for the program.
  QString serverName;
  // Runs once the frame exists, before the command line is acted on: the
  // place where the document panels' makers are given to the frame.
  std::function<void(MainWindow& frame)> prepareFrame;
};

// The whole program: hands the command line over to a running copy and
// returns 0, or becomes the running copy and returns when the frame closed.
int runFretlets(int argc, char* argv[], const StartOptions& options);

// The program's look on top of the platform style: a toggle button that is
// on (Bar, Hold, On, Repeat, Play) stands out clearly from one that is off.
void applyProgramLook();

}  // namespace fretlets
