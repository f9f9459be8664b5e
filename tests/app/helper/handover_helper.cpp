// The program as the hand-over tests start it: fretlets-handover-helper
// SOCKET [PATH]. It listens on SOCKET instead of the user's socket, says
// "ready" once its frame exists, and prints "open KIND PATH" for every
// document the frame is asked to open.
#include <cstdio>

#include "app/main_window.h"
#include "app/program.h"
#include "gui/common/app_state.h"
#include "gui/common/panel.h"
#include "models/document_session.h"

int main(int argc, char* argv[]) {
  if (argc < 2) {
    std::fprintf(stderr, "usage: fretlets-handover-helper SOCKET [PATH]\n");
    return 2;
  }
  fretlets::StartOptions options;
  options.serverName = QString::fromLocal8Bit(argv[1]);
  options.prepareFrame = [](fretlets::MainWindow& frame) {
    for (const auto kind : {fretlets::DocumentKind::Score, fretlets::DocumentKind::ChordBook}) {
      frame.setDocumentPanelMaker(
          kind, [kind](fretlets::AppContext& context, QWidget*) -> fretlets::Panel* {
            std::printf("open %s %s\n", kind == fretlets::DocumentKind::Score ? "score" : "book",
                        context.session.file(kind)->path.string().c_str());
            std::fflush(stdout);
            return nullptr;
          });
    }
    std::printf("ready\n");
    std::fflush(stdout);
  };
  // The program sees its name and the arguments after SOCKET.
  argv[1] = argv[0];
  return fretlets::runFretlets(argc - 1, argv + 1, options);
}
