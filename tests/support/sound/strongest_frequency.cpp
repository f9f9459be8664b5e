#include "support/sound/strongest_frequency.h"

#include <cmath>
#include <numbers>
#include <vector>

namespace fretlets {
namespace {

// Squared magnitude of one frequency (Goertzel).
double power(const std::vector<double>& windowed, int sampleRate, double hz) {
  const double coefficient = 2.0 * std::cos(2.0 * std::numbers::pi * hz / sampleRate);
  double previous = 0;
  double beforePrevious = 0;
  for (const double sample : windowed) {
    const double current = sample + coefficient * previous - beforePrevious;
    beforePrevious = previous;
    previous = current;
  }
  return previous * previous + beforePrevious * beforePrevious -
         coefficient * previous * beforePrevious;
}

// The strongest of lowHz, lowHz + step, ... up to highHz.
double scan(const std::vector<double>& windowed, int sampleRate, double lowHz, double highHz,
            double step) {
  double best = lowHz;
  double bestPower = -1;
  for (double hz = lowHz; hz <= highHz; hz += step) {
    const double p = power(windowed, sampleRate, hz);
    if (p > bestPower) {
      bestPower = p;
      best = hz;
    }
  }
  return best;
}

}  // namespace

double strongestFrequency(std::span<const float> samples, int sampleRate, double lowHz,
                          double highHz) {
  const std::size_t n = samples.size();
  std::vector<double> windowed(n);
  for (std::size_t i = 0; i < n; ++i) {
    const double hann = n > 1
                            ? 0.5 - 0.5 * std::cos(2.0 * std::numbers::pi * static_cast<double>(i) /
                                                   static_cast<double>(n - 1))
                            : 1.0;
    windowed[i] = samples[i] * hann;
  }
  const double coarse = scan(windowed, sampleRate, lowHz, highHz, 1.0);
  return scan(windowed, sampleRate, coarse - 1.0, coarse + 1.0, 0.05);
}

}  // namespace fretlets
