#include <benchmark/benchmark.h>

#include <QApplication>
#include <QLineEdit>
#include <algorithm>
#include <chrono>
#include <vector>

#include "bench_application.h"
#include "gui/finder/chord_finder_panel.h"
#include "panel_records.h"
#include "percentile.h"

namespace {

using namespace fretlets;
using Clock = std::chrono::steady_clock;

// The Chord Finder answering a chord typed into its box, on a guitar over
// frets 0-12 with the inversions: the search, the list and whatever the
// list draws when it is next shown. Reports the whole refresh in
// microseconds as percentiles over the runs; the two texts alternate so
// every run is a real refresh.
void BM_ChordFinderRefresh(benchmark::State& state) {
  static const char* const kChords[][2] = {{"C", "G"}, {"Cmaj7", "Gmaj7"}, {"C13", "G13"}};
  benchApplication();
  PanelRecords<> records;
  ChordFinderPanel finder(records.context, nullptr);
  finder.show();
  QApplication::processEvents();
  const auto& pair = kChords[state.range(0)];
  std::vector<double> took;
  bool second = false;
  for (auto _ : state) {
    const auto start = Clock::now();
    finder.chordBox()->setText(QString::fromLatin1(pair[second ? 1 : 0]));
    finder.repaint();
    QApplication::processEvents();
    took.push_back(std::chrono::duration<double, std::micro>(Clock::now() - start).count());
    second = !second;
  }
  state.counters["fingerings"] = static_cast<double>(finder.found().size());
  state.counters["p50_us"] = percentile(took, 0.50);
  state.counters["p99_us"] = percentile(took, 0.99);
}
BENCHMARK(BM_ChordFinderRefresh)->DenseRange(0, 2)->Unit(benchmark::kMicrosecond);

}  // namespace
