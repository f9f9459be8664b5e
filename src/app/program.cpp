#include "app/program.h"

#include <QApplication>
#include <QFileInfo>
#include <cstring>
#include <iostream>

#include "app/app_records.h"
#include "app/file_commands.h"
#include "app/main_window.h"
#include "app/out_of_memory.h"
#include "app/single_instance.h"
#include "app/toolbar_art.h"
#include "documents/user_name.h"
#include "gui/chordbook/chord_book_panel.h"
#include "gui/common/app_state.h"
#include "gui/common/document_kind.h"
#include "gui/score/score_panel.h"
#include "sound/fluid_synth_output.h"
#include "sound/thread_timer_service.h"

namespace fretlets {

void applyProgramLook() {
  // A style sheet would otherwise stop a panel's font from reaching its
  // controls, and the zoom sets the panel's font.
  QApplication::setAttribute(Qt::AA_UseStyleSheetPropagationInWidgetStyles);
  qApp->setStyleSheet(QStringLiteral(
      "QPushButton:checked { background-color: palette(highlight); color: "
      "palette(highlighted-text);"
      " border: 1px solid palette(shadow); border-radius: 2px; }"
      "QPushButton:checked:disabled { background-color: palette(mid); color: palette(light); }"));
}

// `fretlets --version`: the version, and how the threads that time and play
// the sound are scheduled on this machine (real-time where it allows).
int printVersion() {
  const ThreadTimerService timers([](const std::function<void()>& /*task*/) {});
  FluidSynthOutput synth(SynthMode::AudioDevice);
  const bool opened = synth.open();
  std::cout << AppState().versionTitle.toStdString() << '\n'
            << "timing thread: " << timers.scheduling() << '\n'
            << "audio output: "
            << (opened ? synth.audioDriver() + "; its threads: " + synth.audioScheduling()
                       : synth.error())
            << '\n';
  return 0;
}

int runFretlets(int argc, char* argv[], const StartOptions& options) {
  if (argc == 2 && std::strcmp(argv[1], "--version") == 0) {
    return printVersion();
  }
  installOutOfMemoryHandler();
  QApplication app(argc, argv);
  QApplication::setApplicationName(QStringLiteral("Fretlets"));
  QApplication::setWindowIcon(programIcon());
  applyProgramLook();
  const QStringList arguments = QApplication::arguments().mid(1);
  const std::filesystem::path currentFolder = std::filesystem::current_path();

  SingleInstance instance(options.serverName);
  if (!instance.listen()) {
    // Another copy runs: it gets the path, made absolute here, where the
    // path was given.
    const QString path = arguments.isEmpty()
                             ? QString()
                             : pathToQString(currentFolder / qStringToPath(arguments.constFirst()));
    if (SingleInstance::handOver(options.serverName, path) == SingleInstance::HandOver::Delivered) {
      return 0;
    }
  }

  AppRecords records;
  AppContext& context = records.context();
  placeBeside(context.state, context.session, programFolder());
  context.session.setUserName(userName());

  MainWindow frame(records.context());
  frame.setDocumentPanelMaker(DocumentKind::ChordBook, makeChordBookPanel);
  frame.setDocumentPanelMaker(DocumentKind::Score, makeScorePanel);
  if (options.prepareFrame) {
    options.prepareFrame(frame);
  }
  frame.show();
  frame.layOutPanels();
  QObject::connect(&instance, &SingleInstance::handedOver, &frame, &MainWindow::acceptHandOver);

  if (const std::optional<OpenRequest> request =
          parseCommandLine(context.session, arguments, currentFolder)) {
    // Acted on once the program runs, like a command the frame was sent.
    QMetaObject::invokeMethod(
        &frame, [&frame, request] { frame.requestOpen(*request); }, Qt::QueuedConnection);
  }
  return QApplication::exec();
}

}  // namespace fretlets
