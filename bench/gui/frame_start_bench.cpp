// The frame from nothing to its first shown picture, and the memory the
// program holds once it stands (without a SoundFont loaded).
#include <benchmark/benchmark.h>

#include <QApplication>
#include <QWindow>

#include "app/app_records.h"
#include "app/main_window.h"
#include "bench_application.h"
#include "gui/common/app_state.h"
#include "resident_memory.h"

namespace fretlets {
namespace {

// Records, frame, toolbar and the three panels, shown and painted once.
void BM_StartToFirstShownFrame(benchmark::State& state) {
  benchApplication();
  for (auto _ : state) {
    AppRecords records;
    placeBeside(records.context().state, records.context().session, programFolder());
    MainWindow frame(records.context());
    frame.show();
    frame.layOutPanels();
    while (!frame.windowHandle()->isExposed()) {
      QApplication::processEvents();
    }
    frame.repaint();
    benchmark::DoNotOptimize(frame.grab());
    state.PauseTiming();
    state.counters["resident_MB"] = residentMegabytes();
    frame.close();
    QApplication::processEvents();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    state.ResumeTiming();
  }
}
BENCHMARK(BM_StartToFirstShownFrame)->Unit(benchmark::kMillisecond)->Iterations(20);

}  // namespace
}  // namespace fretlets
