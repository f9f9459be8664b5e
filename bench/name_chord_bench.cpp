#include <benchmark/benchmark.h>

#include <vector>

#include "music/designer_chord.h"
#include "music/fingering_reading.h"
#include "music/instrument.h"

namespace {

using fretlets::DesignerChord;

// Everyday guitar shapes plus a few that need implied intervals or find
// nothing, so every path of the search is exercised.
std::vector<DesignerChord> guitarFingerings() {
  const std::vector<DesignerChord::Slots> shapes{
      {0, 2, 2, 1, 0, 0},   {-1, 0, 2, 2, 1, 0},   {-1, 3, 2, 0, 1, 0}, {3, 2, 0, 0, 0, 3},
      {-1, -1, 0, 2, 3, 2}, {1, 3, 3, 2, 1, 1},    {-1, 3, 5, 5, 4, 3}, {-1, 0, 2, 0, 2, 0},
      {0, 2, 0, 1, 0, 0},   {-1, -1, 0, 2, 1, 2},  {3, 5, 3, 4, 3, 3},  {-1, 2, 3, 1, 3, -1},
      {5, -1, 5, 5, 5, -1}, {-1, 1, 2, 3, -1, -1}, {0, 0, 0, 0, 0, 0},  {-1, 3, 4, 5, -1, -1},
  };
  std::vector<DesignerChord> chords;
  for (const auto& frets : shapes) {
    DesignerChord chord;
    chord.frets = frets;
    chords.push_back(chord);
  }
  return chords;
}

void BM_NameChord(benchmark::State& state) {
  const fretlets::Tuning tuning = fretlets::instrumentTable[fretlets::kGuitar].defaultTuning;
  const std::vector<DesignerChord> chords = guitarFingerings();
  std::size_t next = 0;
  for (auto _ : state) {
    const DesignerChord& chord = chords[next];
    next = next + 1 == chords.size() ? 0 : next + 1;
    benchmark::DoNotOptimize(fretlets::readFingering(chord, tuning, fretlets::kNone));
  }
  state.SetItemsProcessed(state.iterations());
}
BENCHMARK(BM_NameChord);

}  // namespace
