#include <benchmark/benchmark.h>

#include "documents/chord_book_file.h"
#include "music/designer_chord.h"

namespace fretlets {
namespace {

// A guitar book of 100,000 distinct fretlets over twenty chord types.
ChordBook bigBook() {
  ChordBook book(6);
  for (int type = 0; type < 20; ++type) {
    BookChord chord;
    chord.name = "t" + std::to_string(type);
    for (int i = 0; i < 5000; ++i) {
      FretletRecord fretlet;
      fretlet.position = FretletRecord::kMovable;
      for (int s = 0; s < 6; ++s) {
        fretlet.frets[s] = static_cast<std::int8_t>((i >> (2 * s)) % 4);
      }
      chord.fretlets.push_back(fretlet);
    }
    book.appendChord(std::move(chord));
  }
  book.finishLoading();
  return book;
}

void BM_WriteChordBook100k(benchmark::State& state) {
  const ChordBook book = bigBook();
  const InstrumentState guitar;
  for (auto _ : state) {
    benchmark::DoNotOptimize(chordBookBytes(book, guitar));
  }
}
BENCHMARK(BM_WriteChordBook100k)->Unit(benchmark::kMillisecond);

void BM_ReadChordBook100k(benchmark::State& state) {
  InstrumentState guitar;
  const auto bytes = chordBookBytes(bigBook(), guitar);
  for (auto _ : state) {
    benchmark::DoNotOptimize(parseChordBook(bytes, guitar, false));
  }
}
BENCHMARK(BM_ReadChordBook100k)->Unit(benchmark::kMillisecond);

// The Designer adding 10,000 different fingerings to one chord type, one by
// one, each landing in order.
void BM_AddTenThousandFretletsToOneType(benchmark::State& state) {
  for (auto _ : state) {
    ChordBook book(6);
    DesignerChord designer;
    designer.topFret = 1;
    for (int i = 0; i < 10000; ++i) {
      for (int s = 0; s < 6; ++s) {
        designer.frets[s] = static_cast<std::int8_t>(1 + (i * 7919 >> (2 * s)) % 5);
      }
      designer.frets[0] = static_cast<std::int8_t>(1 + i % 5);
      designer.frets[5] = static_cast<std::int8_t>(1 + (i / 5) % 5);
      book.addFretlet("m7", designer);
    }
    benchmark::DoNotOptimize(book.fretletCount());
  }
}
BENCHMARK(BM_AddTenThousandFretletsToOneType)->Unit(benchmark::kMillisecond)->Iterations(1);

}  // namespace
}  // namespace fretlets
