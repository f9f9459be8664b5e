#include <cstddef>
#include <cstdint>
#include <span>

#include "documents/score_file.h"

// Any bytes either read as a score that writes back and reads the same, or
// fail with a message; the instrument changes only on success.
extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::span<const std::uint8_t> bytes(data, size);
  for (const bool bookOpen : {false, true}) {
    fretlets::InstrumentState state;
    try {
      const fretlets::Score score = fretlets::parseScore(bytes, state, bookOpen, "ann");
      const auto written = fretlets::scoreBytes(score, state, score.owner.view());
      fretlets::InstrumentState again;
      const fretlets::Score back = fretlets::parseScore(written, again, false, "ann");
      if (fretlets::scoreBytes(back, again, back.owner.view()) != written) {
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
