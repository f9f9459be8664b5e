#include <benchmark/benchmark.h>

#include <QApplication>
#include <QMouseEvent>
#include <algorithm>
#include <chrono>
#include <ctime>
#include <vector>

#include "bench_application.h"
#include "gui/designer/designer_panel.h"
#include "gui/designer/fretboard_view.h"
#include "panel_records.h"
#include "percentile.h"

namespace {

using namespace fretlets;
using Clock = std::chrono::steady_clock;

// The real clock, so the recording output stamps each message with the
// moment it was handed over. Nothing is scheduled on it.
class WallClock : public TimerService {
 public:
  TimerHandle schedule(std::chrono::milliseconds /*delay*/, Callback /*callback*/) override {
    return {};
  }
  TimerHandle scheduleAt(std::chrono::microseconds /*deadline*/, Callback /*callback*/) override {
    return {};
  }
  void cancel(TimerHandle /*handle*/) override {}
  std::chrono::microseconds now() const override {
    return std::chrono::duration_cast<std::chrono::microseconds>(Clock::now() - start_);
  }

 private:
  const Clock::time_point start_ = Clock::now();
};

// This thread's processor time: what the handling costs, whatever else
// the machine is busy with.
double threadMicroseconds() {
  timespec t{};
  clock_gettime(CLOCK_THREAD_CPUTIME_ID, &t);
  return static_cast<double>(t.tv_sec) * 1e6 + static_cast<double>(t.tv_nsec) / 1e3;
}

// A press on a fret of the shown Designer, handled to the end: the string
// is fretted (or muted again), sounded, the fretboard drawn and the chord
// named. Reports the whole handling (on the wall clock and in processor
// time) and the moment the note went out, in microseconds, as percentiles
// over the presses.
void BM_DesignerFretClick(benchmark::State& state) {
  benchApplication();
  PanelRecords<WallClock> records;
  records.chord.frets = {0, 2, 2, 1, 0, 0};
  records.midi.openMidiMapper();
  RecordingOutput& output = records.output;
  const WallClock& clock = records.timers;
  DesignerPanel designer(records.context, nullptr);
  records.notifier.loadChord();
  designer.show();
  QApplication::processEvents();
  FretboardView* board = designer.fretboard();
  const QPoint at = board->cellRect(3, 4).center();

  std::vector<double> handled;
  std::vector<double> handledCpu;
  std::vector<double> sounded;
  for (auto _ : state) {
    output.clear();
    QMouseEvent press(QEvent::MouseButtonPress, at, board->mapToGlobal(at), Qt::LeftButton,
                      Qt::LeftButton, Qt::NoModifier);
    const double startCpu = threadMicroseconds();
    const auto start = clock.now();
    QApplication::sendEvent(board, &press);
    const auto end = clock.now();
    handledCpu.push_back(threadMicroseconds() - startCpu);
    handled.push_back(static_cast<double>((end - start).count()));
    if (!output.sent().empty()) {
      sounded.push_back(static_cast<double>((output.sent().front().time - start).count()));
    }
  }
  state.counters["handled_p50_us"] = percentile(handled, 0.50);
  state.counters["handled_p99_us"] = percentile(handled, 0.99);
  state.counters["handled_cpu_p99_us"] = percentile(handledCpu, 0.99);
  state.counters["sounded_p99_us"] = percentile(sounded, 0.99);
}
BENCHMARK(BM_DesignerFretClick)->Unit(benchmark::kMicrosecond);

}  // namespace
