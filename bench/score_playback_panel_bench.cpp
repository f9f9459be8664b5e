#include <benchmark/benchmark.h>

#include <QApplication>
#include <QEventLoop>
#include <algorithm>
#include <chrono>
#include <cmath>
#include <mutex>
#include <thread>
#include <vector>

#include "bench_application.h"
#include "busy_threads.h"
#include "documents/score.h"
#include "gui/common/app_context.h"
#include "gui/common/app_state.h"
#include "gui/common/gui_hand_over.h"
#include "gui/common/notifier.h"
#include "gui/designer/designer_panel.h"
#include "models/document_session.h"
#include "models/score_playback.h"
#include "percentile.h"
#include "sound/midi_device.h"
#include "sound/thread_timer_service.h"

namespace {

using namespace fretlets;

// Every message's moment, kept under a lock: chords leave from the timing
// thread, while the GUI thread redraws.
class StampedOutput : public MidiOutput {
 public:
  bool open() override { return true; }
  void close() override {}
  void send(std::uint32_t /*message*/) override {
    const std::lock_guard lock(mutex_);
    times_.push_back(std::chrono::steady_clock::now());
  }
  // The first message of each burst: a chord's messages leave together,
  // chords at least kChordGap apart.
  std::vector<std::chrono::steady_clock::time_point> onsets() const {
    constexpr std::chrono::milliseconds kChordGap(5);
    const std::lock_guard lock(mutex_);
    std::vector<std::chrono::steady_clock::time_point> firsts;
    for (std::size_t k = 0; k < times_.size(); ++k) {
      if (k == 0 || times_[k] - times_[k - 1] >= kChordGap) {
        firsts.push_back(times_[k]);
      }
    }
    return firsts;
  }

 private:
  mutable std::mutex mutex_;
  std::vector<std::chrono::steady_clock::time_point> times_;
};

// A run of 1,000 sixteenths at 750 bpm (20 ms each) on the real timers,
// handed to the GUI thread, with the shown Designer redrawing every chord.
// Each chord's onset (its first MIDI message) is compared with its ideal
// moment, the first onset plus 20 ms per chord before it: the percentiles of
// the error, the drift (the error of the last chord), and how far each
// chord's distance from the one before is off (a hold-up of the machine
// moves every later chord, but only one distance). Argument 0 times
// every chord from the start of the run, 1 from the moment it was armed;
// argument 1, how many busy threads run beside it.
void BM_ScorePlaybackOnsets(benchmark::State& state) {
  constexpr int kChords = 1000;
  constexpr double kChordMs = 20;
  benchApplication();
  const auto timing = state.range(0) == 0 ? ChordTiming::FromStart : ChordTiming::FromArming;
  const BusyThreads busy(static_cast<int>(state.range(1)));

  std::vector<double> errors;
  double drift = 0;
  for (auto _ : state) {
    AppState appState;
    InstrumentState instrument;
    DesignerChord chord;
    GuiHandOver handOver;
    ThreadTimerService timers(handOver.handOver());
    StampedOutput output;
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
    playback.setChordShown([&] { notifier.loadChord(); });
    bool done = false;
    playback.setStateChanged([&] { done = !playback.playing(); });
    // The warm-up's strummed chords end before the run starts.
    const auto warmed = std::chrono::steady_clock::now() + std::chrono::milliseconds(100);
    while (std::chrono::steady_clock::now() < warmed) {
      QApplication::processEvents();
      std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
    const std::size_t warmUp = output.onsets().size();
    playback.run();
    // The run starts with a silence; the first chord's messages follow it.
    while (!done) {
      QApplication::processEvents(QEventLoop::WaitForMoreEvents);
    }
    timers.stop();
    handOver.close();

    // The run's chords follow the warm-up's; the silence at its end is no chord.
    std::vector<std::chrono::steady_clock::time_point> onsets = output.onsets();
    onsets.erase(onsets.begin(), onsets.begin() + static_cast<std::ptrdiff_t>(warmUp));
    onsets.resize(std::min(onsets.size(), static_cast<std::size_t>(kChords)));
    errors.clear();
    for (std::size_t k = 0; k < onsets.size(); ++k) {
      const double ms =
          std::chrono::duration<double, std::milli>(onsets[k] - onsets.front()).count();
      errors.push_back(ms - kChordMs * static_cast<double>(k));
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
    ->ArgNames({"from_arming", "busy_threads"})
    ->Args({0, 0})
    ->Args({0, 2})
    ->Args({1, 0})
    ->Iterations(1)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime();

}  // namespace
