#include <benchmark/benchmark.h>

#include <QApplication>
#include <QEventLoop>
#include <algorithm>
#include <chrono>
#include <cmath>
#include <vector>

#include "bench_application.h"
#include "documents/score.h"
#include "gui/common/app_context.h"
#include "gui/common/app_state.h"
#include "gui/common/gui_hand_over.h"
#include "gui/common/notifier.h"
#include "gui/designer/designer_panel.h"
#include "models/document_session.h"
#include "models/score_playback.h"
#include "sound/midi_device.h"
#include "sound/recording_output.h"
#include "sound/thread_timer_service.h"

namespace {

using namespace fretlets;

double percentile(std::vector<double> values, double p) {
  if (values.empty()) {
    return 0;
  }
  std::sort(values.begin(), values.end());
  return values[static_cast<std::size_t>(p * static_cast<double>(values.size() - 1))];
}

// A run of 1,000 sixteenths at 750 bpm (20 ms each) on the real timers,
// handed to the GUI thread, with the shown Designer redrawing every chord.
// Each chord's onset (its first MIDI message) is compared with its ideal
// moment, the first onset plus 20 ms per chord before it: the percentiles of
// the error, the drift (the error of the last chord), and how far each
// chord's distance from the one before is off (a hold-up of the machine
// moves every later chord, but only one distance). Argument 0 times
// every chord from the start of the run, 1 from the moment it was armed.
void BM_ScorePlaybackOnsets(benchmark::State& state) {
  constexpr int kChords = 1000;
  constexpr double kChordMs = 20;
  benchApplication();
  const auto timing = state.range(0) == 0 ? ChordTiming::FromStart : ChordTiming::FromArming;

  std::vector<double> errors;
  double drift = 0;
  for (auto _ : state) {
    AppState appState;
    InstrumentState instrument;
    DesignerChord chord;
    GuiHandOver handOver;
    ThreadTimerService timers(handOver.handOver());
    RecordingOutput output{timers};
    MidiDevice midi{instrument, chord, timers, {output}};
    midi.openMidiMapper();
    DocumentSession session{instrument, "", [] { return Score("", {}); }, {}};
    Notifier notifier{instrument, chord, midi};
    AppContext context{appState, instrument, chord, midi, timers, session, notifier};
    DesignerPanel designer(context, nullptr);
    notifier.announceMidiOpen(true);
    designer.show();
    QApplication::processEvents();

    Score score{"", {}};
    // Four shapes in turn, so that every chord redraws the fretboard.
    const std::vector<DesignerChord::Slots> shapes{
        {0, 2, 2, 1, 0, 0}, {-1, 0, 2, 2, 1, 0}, {3, 2, 0, 0, 0, 3}, {-1, -1, 0, 2, 3, 2}};
    for (int k = 0; k < kChords; ++k) {
      ScoreEntry entry;
      entry.frets = shapes[static_cast<std::size_t>(k) % shapes.size()];
      entry.beatsToNext = 3;
      score.appendEntry(entry);
    }

    // The first drawings load fonts and caches; a run starts on a warm panel.
    for (const DesignerChord::Slots& shape : shapes) {
      chord.frets = shape;
      notifier.loadChord();
      QApplication::processEvents();
    }

    ScorePlayback playback(score, chord, instrument, midi, timers);
    playback.setTiming(timing);
    playback.setTempo(750);
    playback.setRepeat(false);
    std::vector<std::chrono::microseconds> onsets;
    std::size_t before = 0;
    playback.setChordShown([&] {
      if (output.sent().size() > before) {
        onsets.push_back(output.sent()[before].time);
      }
      notifier.loadChord();
      before = output.sent().size();
    });
    bool done = false;
    playback.setStateChanged([&] { done = !playback.playing(); });
    before = output.sent().size();
    playback.run();
    // The run starts with a silence; the first chord's messages follow it.
    while (!done) {
      QApplication::processEvents(QEventLoop::WaitForMoreEvents);
    }
    timers.stop();
    handOver.close();

    errors.clear();
    for (std::size_t k = 0; k < onsets.size(); ++k) {
      const double ideal =
          static_cast<double>(onsets.front().count()) / 1000 + kChordMs * static_cast<double>(k);
      errors.push_back(static_cast<double>(onsets[k].count()) / 1000 - ideal);
    }
    drift = errors.empty() ? 0 : errors.back();
  }
  std::vector<double> magnitudes;
  std::vector<double> steps;  // how far each chord's distance to the one before is off
  for (std::size_t k = 0; k < errors.size(); ++k) {
    magnitudes.push_back(std::abs(errors[k]));
    if (k > 0) {
      steps.push_back(std::abs(errors[k] - errors[k - 1]));
    }
  }
  state.counters["step_p50_ms"] = percentile(steps, 0.50);
  state.counters["step_p99_ms"] = percentile(steps, 0.99);
  state.counters["chords"] = static_cast<double>(errors.size());
  state.counters["error_p50_ms"] = percentile(magnitudes, 0.50);
  state.counters["error_p99_ms"] = percentile(magnitudes, 0.99);
  state.counters["error_max_ms"] = percentile(magnitudes, 1.0);
  state.counters["drift_ms"] = drift;
}
BENCHMARK(BM_ScorePlaybackOnsets)
    ->ArgName("from_arming")
    ->Arg(0)
    ->Arg(1)
    ->Iterations(1)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime();

}  // namespace
