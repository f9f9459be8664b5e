#include <benchmark/benchmark.h>

#include "designer/designer_model.h"
#include "midi/manual_timer_service.h"
#include "midi/midi_device.h"

namespace {

using namespace fretlets;

// The Designer's refresh alone, without any window: pitch classes,
// intervals, spellings and the name of a chord that changes every time.
void BM_DesignerRefresh(benchmark::State& state) {
  InstrumentState instrument;
  DesignerChord chord;
  chord.frets = {-1, 0, 2, 2, 1, 0};
  ManualTimerService timers;
  MidiDevice midi{instrument, chord, timers, {}};
  DesignerModel model{instrument, chord, midi};
  int root = 1;
  for (auto _ : state) {
    root = root == 5 ? 1 : root + 1;
    model.chooseRoot(root);
    benchmark::DoNotOptimize(model.refresh());
  }
  state.SetItemsProcessed(state.iterations());
}
BENCHMARK(BM_DesignerRefresh);

}  // namespace
