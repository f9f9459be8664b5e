#include <benchmark/benchmark.h>

#include <algorithm>
#include <string_view>
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

// Shapes players use for common chords (open, barre, shells, inversions), as
// they write them, low string first, frets from 10 up as letters: where the
// finder places them among all it lists is what its cost weights are set by.
struct PlayedShapes {
  int rootClass;
  std::string_view type;
  std::string_view shapes;
};
constexpr PlayedShapes kPlayedShapes[] = {
    {0, "maj", "x32010 x35553 8aa988 032010 332010 xx5558 x3555x xxa988 3x2010 x3201x"},
    {7, "maj", "320003 320033 355433 xx0433 x20003 3x0003 xx0003 xx543x"},
    {2, "maj", "xx0232 x00232 2x0232 x54232 x57775 xx7775"},
    {9, "maj", "x02220 002220 577655 x0222x x4222x xx7655"},
    {4, "maj", "022100 x79997 xx2454 0221xx 476454"},
    {5, "maj", "xx3211 133211 x33211 x03211 xx3565"},
    {9, "m", "x02210 002210 577555 x3221x xx7555"},
    {4, "m", "022000 3x2000 079987 022xxx"},
    {2, "m", "xx0231 x00231 1x0231 x57765"},
    {11, "m", "x24432 xx0432 799777"},
    {6, "m", "244222 x9bbax"},
    {0, "7", "x32310 x35353 032310 x3x35x 8x898x"},
    {7, "7", "320001 353433 x20001 3x343x"},
    {2, "7", "xx0212 200212 x5453x"},
    {9, "7", "x02020 575655 x02223 x0202x"},
    {4, "7", "020100 022130 020130"},
    {0, "maj7", "x32000 x35453 x3545x 8x998x"},
    {9, "m7", "x02010 575555 x0201x 5x55xx"},
    {2, "m7", "xx0211 x57565 x5756x"},
    {5, "maj7", "xx3210 1x221x"},
    {0, "6", "x35555 x32210"},
    {2, "sus4", "xx0233 x00233 x5503x"},
    {2, "sus2", "xx0230 x00230"},
    {9, "sus4", "x02230 002230"},
    {9, "sus2", "x02200"},
    {0, "sus4", "x35563 xx5563"},
    {7, "sus4", "330033 355533"},
    {0, "9", "x3233x"},
    {11, "m7b5", "x2323x"},
    {0, "11", "x3333x"}};

fretlets::DesignerChord::Slots slotsOf(std::string_view text) {
  fretlets::DesignerChord::Slots slots{-1, -1, -1, -1, -1, -1};
  for (std::size_t s = 0; s < text.size(); ++s) {
    const char c = text[s];
    slots[s] = static_cast<std::int8_t>(c == 'x' ? -1 : c <= '9' ? c - '0' : c - 'a' + 10);
  }
  return slots;
}

// All the voicings of the thirty chords, with where the played shapes land:
// the share listed at all and among the first ten, and the median place
// (a shape not listed counts as placed last).
void BM_PlayedShapes(benchmark::State& state) {
  std::vector<std::size_t> places;
  for (auto _ : state) {
    places.clear();
    for (const PlayedShapes& chord : kPlayedShapes) {
      VoicingQuery query;
      query.rootClass = chord.rootClass;
      query.typeRow = static_cast<int>(
          std::ranges::find(fretlets::chordTypeTable, chord.type, &fretlets::ChordType::suffix) -
          fretlets::chordTypeTable.begin());
      const std::vector<fretlets::Voicing> found = fretlets::findVoicings(query);
      for (std::size_t at = 0; at < chord.shapes.size(); at += 7) {
        const auto slots = slotsOf(chord.shapes.substr(at, 6));
        const auto place = std::ranges::find(found, slots, &fretlets::Voicing::frets);
        places.push_back(place == found.end() ? 100000 : place - found.begin() + 1);
      }
    }
  }
  const auto share = [&places](std::size_t limit) {
    return 100.0 *
           static_cast<double>(
               std::ranges::count_if(places, [limit](std::size_t p) { return p <= limit; })) /
           static_cast<double>(places.size());
  };
  state.counters["listedPercent"] = share(99999);
  state.counters["firstTenPercent"] = share(10);
  std::ranges::nth_element(places, places.begin() + static_cast<long>(places.size() / 2));
  state.counters["medianPlace"] = static_cast<double>(places[places.size() / 2]);
}
BENCHMARK(BM_PlayedShapes)->Unit(benchmark::kMillisecond);

}  // namespace
