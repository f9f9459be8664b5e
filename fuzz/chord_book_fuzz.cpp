#include <cstddef>
#include <cstdint>
#include <span>

#include "documents/chord_book_file.h"

// Any bytes either read as a book that writes back and reads the same, or
// fail with a message; the instrument changes only on success.
extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::span<const std::uint8_t> bytes(data, size);
  for (const bool scoreOpen : {false, true}) {
    fretlets::InstrumentState state;
    try {
      const fretlets::ChordBook book = fretlets::parseChordBook(bytes, state, scoreOpen);
      const auto written = fretlets::chordBookBytes(book, state);
      fretlets::InstrumentState again;
      const fretlets::ChordBook back = fretlets::parseChordBook(written, again, false);
      if (fretlets::chordBookBytes(back, again) != written) {
        __builtin_trap();
      }
    } catch (const fretlets::FormatError&) {
      if (state.currentInstrument != fretlets::kGuitar) {
        __builtin_trap();
      }
    }
  }
  return 0;
}
