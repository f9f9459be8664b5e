#include <benchmark/benchmark.h>

#include <algorithm>
#include <chrono>
#include <string_view>
#include <vector>

#include "music/chord_candidates.h"
#include "music/chord_type.h"
#include "music/designer_chord.h"
#include "music/voicing_finder.h"
#include "percentile.h"

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

// The Chord Finder refreshes its list on the GUI thread at every change, so
// what counts is the slowest refresh, not the average: the median and the
// 99th percentile of single whole-neck searches with the inversions, for the
// thirteenth (six notes) and the thirteenth with the eleventh (seven).
void BM_FinderRefreshPercentiles(benchmark::State& state) {
  VoicingQuery query;
  query.rootClass = 0;
  query.typeRow = fretlets::chordTypeRow(static_cast<std::uint16_t>(state.range(0)));
  std::vector<double> millis;
  for (auto _ : state) {
    const auto start = std::chrono::steady_clock::now();
    const std::vector<fretlets::Voicing> voicings = fretlets::findVoicings(query);
    benchmark::DoNotOptimize(voicings.data());
    millis.push_back(
        std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start)
            .count());
  }
  state.counters["p50Ms"] = fretlets::percentile(millis, 0.5);
  state.counters["p99Ms"] = fretlets::percentile(millis, 0.99);
}
BENCHMARK(BM_FinderRefreshPercentiles)
    ->Arg(0x695)  // 13
    ->Arg(0x6B5)  // 13+11
    ->Iterations(500)
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

// More of what guitarists play, by where it comes from, so that the weights
// answer to more than the shapes they were first set on.
constexpr PlayedShapes kMorePlayedShapes[] = {
    // The five CAGED shapes moved along the neck: the E and A barres in every
    // key, the D shape on the top four strings, the C and G shapes higher up.
    {10, "maj", "x13331 688766 xx8aba x1333x"},
    {11, "maj", "x24442 799877 x2444x"},
    {8, "maj", "466544 xx6898"},
    {3, "maj", "x68886 bddcbb xx1343"},
    {1, "maj", "x46664 9bba99"},
    {6, "maj", "244322 x9bbb9"},
    {5, "maj", "x8aaa8 xx3565 x8aaax"},
    {7, "maj", "xaccca xx5787"},
    {2, "maj", "accbaa xx0232"},
    {4, "maj", "x76454"},
    // The minor barres and the A and D minor shapes up the neck.
    {0, "m", "x35543 8aa888 x3554x"},
    {7, "m", "355333 xaccba xx5786"},
    {2, "m", "accaaa"},
    {4, "m", "x79987"},
    {5, "m", "133111 x8aa98 xx3564"},
    {1, "m", "x46654 9bb999"},
    {8, "m", "466444"},
    {3, "m", "x68876"},
    {10, "m", "x13321 688666"},
    // Dominant sevenths: the open ones, both barres and the D shape, and the
    // three-note shells jazz guitarists comp with.
    {11, "7", "x21202 x24242 7x787x"},
    {5, "7", "131211 xx3545 x8a8a8 1x121x"},
    {10, "7", "x13131 686766 6x676x"},
    {9, "7", "5x565x"},
    {2, "7", "x5x57x acabaa"},
    {4, "7", "x7675x 0x0100"},
    // Minor sevenths: open, barred, shells.
    {4, "m7", "022030 020000 022033 x7978x"},
    {11, "m7", "x24232 7x777x"},
    {6, "m7", "242222 2x222x"},
    {0, "m7", "x35343 8a8888 x3x34x"},
    {7, "m7", "353333 3x333x"},
    {5, "m7", "131111 x8a898"},
    // Major sevenths: open, barred, the shells with the root on the sixth and
    // on the fifth string.
    {9, "maj7", "x02120 x0212x 5x665x"},
    {2, "maj7", "xx0222 x5767x"},
    {7, "maj7", "3x443x 320002"},
    {10, "maj7", "x13231 6x776x"},
    {4, "maj7", "021100 x79897"},
    // Suspended chords, open and barred.
    {4, "sus4", "022200 x799a7"},
    {4, "sus2", "x79977"},
    {0, "sus2", "x30033 x35533"},
    {5, "sus2", "xx3011"},
    {11, "sus4", "x24452"},
    {2, "sus2", "x57755"},
    {9, "7sus", "x02030 575755"},
    {2, "7sus", "xx0213"},
    // Ninths, added ninths and the minor ninth, the way the hand reaches them.
    {0, "9", "x32333"},
    {2, "9", "x5455x"},
    {4, "9", "020102"},
    {7, "9", "3x323x"},
    {2, "m9", "x5355x"},
    {0, "(add9)", "x32033 x3203x"},
    {7, "(add9)", "3x0203"},
    // Thirteenths as players voice them: root, seventh, third and sixth.
    {7, "13", "3x345x 3x3455"},
    {0, "13", "x3x355 8x89aa"},
    {9, "13", "5x567x x0x022"},
    // Diminished sevenths and half-diminished shells.
    {0, "dim", "x3424x"},
    {6, "dim", "2x121x"},
    {3, "dim", "xx1212"},
    {7, "m7b5", "3x332x"},
    {0, "m7b5", "x3434x"},
    {9, "m7b5", "5x554x"},
    {4, "m7b5", "x7878x"},
    // Sixths and minor sixths with open strings.
    {7, "6", "320000"},
    {9, "m6", "x02212"},
    {2, "m6", "xx0201"},
    // Open-string inversions that bass lines walk through, and the small
    // triads on the top three strings.
    {2, "maj", "200232 xxx232"},
    {4, "m", "x22000"},
    {4, "maj", "4x2100"},
    {0, "maj", "xxx553 xxx988 xxx010"},
    {7, "maj", "xxx433 xxx787"}};

fretlets::DesignerChord::Slots slotsOf(std::string_view text) {
  fretlets::DesignerChord::Slots slots{-1, -1, -1, -1, -1, -1};
  for (std::size_t s = 0; s < text.size(); ++s) {
    const char c = text[s];
    slots[s] = static_cast<std::int8_t>(c == 'x' ? -1 : c <= '9' ? c - '0' : c - 'a' + 10);
  }
  return slots;
}

// All the voicings of the chords, with where the played shapes land: the
// share listed at all and among the first ten, and the median place (a shape
// not listed counts as placed last). Argument 0: the first table alone, 1:
// both tables.
void BM_PlayedShapes(benchmark::State& state) {
  std::vector<PlayedShapes> chords(std::begin(kPlayedShapes), std::end(kPlayedShapes));
  if (state.range(0) == 1) {
    chords.insert(chords.end(), std::begin(kMorePlayedShapes), std::end(kMorePlayedShapes));
  }
  std::vector<std::size_t> places;
  for (auto _ : state) {
    places.clear();
    for (const PlayedShapes& chord : chords) {
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
  state.counters["shapes"] = static_cast<double>(places.size());
}
BENCHMARK(BM_PlayedShapes)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);

}  // namespace
