#pragma once

#include <algorithm>
#include <cstddef>
#include <vector>

namespace fretlets {

// The value below which the share p (0..1) of the samples lie, the nearest
// sample taken; 0 when there are none.
inline double percentile(std::vector<double> values, double p) {
  if (values.empty()) {
    return 0;
  }
  std::sort(values.begin(), values.end());
  return values[static_cast<std::size_t>(p * static_cast<double>(values.size() - 1))];
}

}  // namespace fretlets
