#include "music/instrument.h"

#include <algorithm>
#include <cctype>
#include <charconv>

namespace fretlets {

void defaultTuning(int instrument, Tuning& tuning) {
  if (isInstrumentIndex(instrument)) {
    tuning = instrumentTable[instrument].defaultTuning;
  }
}

Compatibility checkCompatibility(const InstrumentState& current, int instrument,
                                 const Tuning& tuning) {
  if (instrument != current.currentInstrument) {
    return Compatibility::InstrumentDiffers;
  }
  const int strings = current.strings();
  for (int s = 0; s < strings; ++s) {
    if (tuning[s] != current.tuning[s]) {
      return Compatibility::TuningDiffers;
    }
  }
  return Compatibility::Compatible;
}

void adoptInstrument(InstrumentState& current, int instrument, const Tuning& tuning) {
  current.currentInstrument = static_cast<std::int8_t>(instrument);
  const int strings = stringCount(instrument);
  for (int s = 0; s < kStringSlots; ++s) {
    current.tuning[s] = s < strings ? tuning[s] : std::int8_t{kNone};
  }
}

std::optional<int> findInstrument(std::string_view indexOrName) {
  int index = 0;
  const char* end = indexOrName.data() + indexOrName.size();
  const auto [ptr, ec] = std::from_chars(indexOrName.data(), end, index);
  if (ec == std::errc{} && ptr == end) {
    return isInstrumentIndex(index) ? std::optional<int>(index) : std::nullopt;
  }
  const auto sameIgnoringCase = [](std::string_view a, std::string_view b) {
    return std::ranges::equal(a, b, [](char x, char y) {
      return std::tolower(static_cast<unsigned char>(x)) ==
             std::tolower(static_cast<unsigned char>(y));
    });
  };
  for (int i = 0; i < kInstrumentCount; ++i) {
    if (sameIgnoringCase(instrumentTable[i].name, indexOrName)) {
      return i;
    }
  }
  return std::nullopt;
}

}  // namespace fretlets
