// Pictures of the Chord Designer and the Instrument panel in typical states,
// for the manual: fretlets-panel-shots OUT_FOLDER
// Run it on a real or virtual screen (tools/panel-screenshots.sh uses Xvfb).
#include <QApplication>
#include <QDir>
#include <QLineEdit>
#include <QPixmap>
#include <QTabWidget>
#include <QTest>
#include <cstdio>
#include <functional>
#include <tuple>

#include "app/program.h"
#include "documents/score.h"
#include "gui/common/app_context.h"
#include "gui/common/app_state.h"
#include "gui/designer/designer_panel.h"
#include "gui/finder/chord_finder_panel.h"
#include "gui/instrument/instrument_panel.h"
#include "gui/score/score_properties_dialog.h"
#include "panel_records.h"
#include "sound/manual_timer_service.h"
#include "sound/midi_device.h"
#include "sound/recording_output.h"

namespace {

using namespace fretlets;

struct Scene {
  const char* file;
  int instrument;
  std::function<void(DesignerChord&)> setUp;
};

bool shoot(QWidget& widget, const QString& path) {
  widget.show();
  widget.raise();
  if (!QTest::qWaitForWindowExposed(&widget)) {
    return false;
  }
  QTest::qWait(100);
  return widget.grab().save(path);
}

}  // namespace

int main(int argc, char* argv[]) {
  QApplication app(argc, argv);
  fretlets::applyProgramLook();
  if (argc < 2) {
    std::fprintf(stderr, "usage: fretlets-panel-shots OUT_FOLDER\n");
    return 2;
  }
  const QDir out(QString::fromLocal8Bit(argv[1]));
  if (!QDir().mkpath(out.absolutePath())) {
    std::fprintf(stderr, "cannot make %s\n", argv[1]);
    return 1;
  }

  const std::vector<Scene> scenes{
      {"designer-guitar-barred.png", kGuitar,
       [](DesignerChord& chord) {
         chord.topFret = 1;
         chord.barred = true;
         chord.frets = {1, 3, 3, 2, 1, 1};
         chord.rootString = 0;
       }},
      {"designer-saz.png", 13,
       [](DesignerChord& chord) {
         chord.frets = {0, 2, 1, -1, -1, -1};
         chord.rootString = 0;
       }},
      {"designer-held-strings.png", kGuitar,
       [](DesignerChord& chord) {
         chord.frets = {-1, 3, 2, 0, 1, 0};
         chord.holdAll = true;
         chord.held = {false, true, false, true, false, false};
         chord.rootString = 1;
       }},
      {"designer-outside-the-diagram.png", kGuitar,
       [](DesignerChord& chord) {
         chord.topFret = 5;
         chord.barred = true;
         chord.frets = {5, 7, 7, 6, 0, 12};
         chord.rootString = 0;
       }},
  };

  bool ok = true;
  for (const Scene& scene : scenes) {
    PanelRecords<> records;
    records.instrument.currentInstrument = static_cast<std::int8_t>(scene.instrument);
    defaultTuning(scene.instrument, records.instrument.tuning);
    DesignerChord& chord = records.chord;
    records.midi.openMidiMapper();
    AppContext& context = records.context;
    DesignerPanel designer(context, nullptr);
    records.notifier.announceMidiOpen(true);
    scene.setUp(chord);
    records.notifier.loadChord();
    ok = shoot(designer, out.filePath(QString::fromLatin1(scene.file))) && ok;
    if (scene.instrument == kGuitar && chord.topFret == 1) {
      InstrumentPanel panel(context, nullptr);
      ok = shoot(panel, out.filePath(QStringLiteral("instrument.png"))) && ok;
    }
  }
  // The Chord Finder over C/E, as it shows, at 200 % and left-handed.
  for (const auto& [file, zoom, leftHanded] :
       {std::tuple{"finder.png", 100, false}, std::tuple{"finder-200.png", 200, false},
        std::tuple{"finder-left-handed.png", 100, true}}) {
    PanelRecords<> records;
    records.state.leftHanded = leftHanded;
    records.chord.frets = {0, 3, 2, 0, 1, 0};
    ChordFinderPanel finder(records.context, nullptr);
    finder.chordBox()->setText(QStringLiteral("C"));
    finder.setZoom(zoom);
    records.notifier.announceChordNamed({});
    ok = shoot(finder, out.filePath(QString::fromLatin1(file))) && ok;
  }
  // The score's property sheet on each of its pages.
  {
    InstrumentState instrument;
    DesignerChord chord;
    ManualTimerService timers;
    MidiDevice midi{instrument, chord, timers, {}};
    Score score{defaultScoreComment(2026, "ann"), {}};
    score.title = "Autumn Leaves";
    score.composer = "Joseph Kosma";
    score.defaultBeats = 3;
    ScoreEntry entry;
    entry.name = "Am7";
    entry.beatsToNext = 32;
    score.appendEntry(entry);
    ScorePropertiesDialog sheet(score, midi, nullptr);
    ok = shoot(sheet, out.filePath(QStringLiteral("score-properties-chord.png"))) && ok;
    sheet.pages()->setCurrentIndex(0);
    ok = shoot(sheet, out.filePath(QStringLiteral("score-properties-summary.png"))) && ok;
  }
  std::printf("%s\n", ok ? "saved" : "some pictures failed");
  return ok ? 0 : 1;
}
