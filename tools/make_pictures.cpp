// Pictures of the program's windows for the manual and the README, taken
// from the real windows on a (virtual) X screen:
//   fretlets-pictures OUT_FOLDER
// tools/make_pictures.sh runs it under Xvfb.
#include <QApplication>
#include <QDir>
#include <QGuiApplication>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QScreen>
#include <QTimer>
#include <cstdio>

#include "app/about_box.h"
#include "app/app_records.h"
#include "app/help_window.h"
#include "app/load_texture_dialog.h"
#include "app/main_window.h"
#include "app/program.h"
#include "gui/common/app_state.h"
#include "gui/common/panel.h"
#include "gui/score/score_panel.h"

namespace {

void settle() {
  for (int i = 0; i < 30; ++i) {
    QApplication::processEvents(QEventLoop::AllEvents, 20);
  }
}

bool save(const QPixmap& picture, const QDir& folder, const QString& name) {
  const QString file = folder.filePath(name);
  if (!picture.save(file, "PNG")) {
    std::fprintf(stderr, "could not write %s\n", qPrintable(file));
    return false;
  }
  std::printf("wrote %s\n", qPrintable(file));
  return true;
}

// The window as it stands on the screen.
QPixmap frameWithPanels(fretlets::MainWindow& frame) {
  const QRect area = frame.frameGeometry();
  return QGuiApplication::primaryScreen()->grabWindow(0, area.x(), area.y(), area.width(),
                                                      area.height());
}

}  // namespace

int main(int argc, char* argv[]) {
  QApplication app(argc, argv);
  fretlets::applyProgramLook();
  if (argc != 2) {
    std::fprintf(stderr, "usage: fretlets-pictures OUT_FOLDER\n");
    return 2;
  }
  const QDir out(QString::fromLocal8Bit(argv[1]));
  QDir().mkpath(out.path());

  fretlets::AppRecords records;
  fretlets::AppContext& context = records.context();
  fretlets::placeBeside(context.state, context.session, fretlets::programFolder());
  fretlets::MainWindow frame(records.context());
  frame.move(20, 20);
  frame.show();
  frame.layOutPanels();
  frame.layOutPanels();
  settle();
  bool ok = save(frameWithPanels(frame), out, QStringLiteral("frame.png"));

  // Taller, the frame shows its guitar picture.
  frame.resize(frame.width(), frame.height() + 150);
  settle();
  ok = save(frame.grab(), out, QStringLiteral("frame-taller.png")) && ok;
  frame.layOutPanels();

  fretlets::AboutBox about(context.state, &frame);
  about.show();
  settle();
  ok = save(about.grab(), out, QStringLiteral("about.png")) && ok;
  about.hide();

  fretlets::LoadTextureDialog textures(context.state, &frame);
  if (textures.list()->count() > 0) {
    textures.list()->setCurrentRow(0);
  }
  textures.show();
  settle();
  ok = save(textures.grab(), out, QStringLiteral("load-texture.png")) && ok;
  textures.hide();

  // The sample waltz in the Score panel, editing and then playing.
  frame.setDocumentPanelMaker(fretlets::DocumentKind::Score, fretlets::makeScorePanel);
  frame.requestOpen({fretlets::DocumentKind::Score,
                     context.state.programFolder / "samples" / "Waltz in G.score"});
  settle();
  auto* score =
      dynamic_cast<fretlets::ScorePanel*>(frame.documentPanel(fretlets::DocumentKind::Score));
  if (!score) {
    std::fprintf(stderr, "the sample score did not open\n");
    return 1;
  }
  ok = save(frameWithPanels(frame), out, QStringLiteral("score-edit.png")) && ok;
  const auto button = [score](const char* name) {
    for (QPushButton* found : score->findChildren<QPushButton*>()) {
      if (found->accessibleName() == QLatin1String(name)) {
        return found;
      }
    }
    return static_cast<QPushButton*>(nullptr);
  };
  if (QPushButton* run = button("Run the score")) {
    run->click();
    settle();
    ok = save(frameWithPanels(frame), out, QStringLiteral("score-play.png")) && ok;
    button("Edit the score")->click();
  }

  fretlets::HelpWindow help(&frame);
  if (!help.showContents(fretlets::manualContents(context.state.programFolder))) {
    std::fprintf(stderr, "no manual beside the program\n");
    return 1;
  }
  help.resize(640, 480);
  settle();
  ok = save(help.grab(), out, QStringLiteral("help.png")) && ok;
  return ok ? 0 : 1;
}
