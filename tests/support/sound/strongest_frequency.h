#pragma once

#include <span>

namespace fretlets {

// The frequency between lowHz and highHz with the most energy in samples
// (Hann-windowed), found to about a twentieth of a hertz. Enough to tell
// which note a rendered sound plays.
double strongestFrequency(std::span<const float> samples, int sampleRate, double lowHz,
                          double highHz);

}  // namespace fretlets
