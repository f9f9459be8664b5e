#include <benchmark/benchmark.h>

#include <vector>

#include "music/chord_candidates.h"
#include "music/chord_type.h"
#include "music/designer_chord.h"
#include "music/voicing_finder.h"

namespace {

using fretlets::VoicingQuery;

// All fingerings of one chord over the whole guitar neck, for a triad, a
// seventh chord and a thirteenth with seven notes (the most to place).
void BM_AllVoicingsOfOneChord(benchmark::State& state) {
  VoicingQuery query;
  query.rootClass = 0;
  query.typeRow = fretlets::chordTypeRow(static_cast<std::uint16_t>(state.range(0)));
  std::size_t found = 0;
  for (auto _ : state) {
    const std::vector<fretlets::Voicing> voicings = fretlets::findVoicings(query);
    found = voicings.size();
    benchmark::DoNotOptimize(voicings.data());
  }
  state.counters["voicings"] = static_cast<double>(found);
}
BENCHMARK(BM_AllVoicingsOfOneChord)
    ->Arg(0x091)  // maj
    ->Arg(0x891)  // maj7
    ->Arg(0x6B5)  // 13+11
    ->Unit(benchmark::kMillisecond);

void BM_ChordCandidates(benchmark::State& state) {
  fretlets::DesignerChord chord;
  chord.frets = {-1, 0, 2, 0, 1, 0};
  const fretlets::Tuning& tuning = fretlets::instrumentTable[fretlets::kGuitar].defaultTuning;
  for (auto _ : state) {
    benchmark::DoNotOptimize(fretlets::chordCandidates(chord, tuning));
  }
}
BENCHMARK(BM_ChordCandidates);

}  // namespace
