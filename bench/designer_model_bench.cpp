#include <benchmark/benchmark.h>

#include "models/designer_model.h"
#include "sound/midi_records.h"

namespace {

using namespace fretlets;

// The Designer's refresh alone, without any window: the reading of a chord
// whose root changes every time.
void BM_DesignerRefresh(benchmark::State& state) {
  MidiRecords<> records;
  records.chord.frets = {-1, 0, 2, 2, 1, 0};
  DesignerModel model{records.instrument, records.chord, records.midi};
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
