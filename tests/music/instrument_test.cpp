#include "music/instrument.h"

#include <gtest/gtest.h>

#include <string>
#include <utility>

#include "music/designer_chord.h"

namespace fretlets {
namespace {

TEST(Instruments, CompatibilityComparesInstrumentThenUsedStrings) {
  const InstrumentState guitar;
  EXPECT_EQ(checkCompatibility(guitar, 9, {40, 45, 50, 55, 59, 64}), Compatibility::Compatible);
  EXPECT_EQ(checkCompatibility(guitar, 9, {38, 45, 50, 55, 59, 64}), Compatibility::TuningDiffers);
  EXPECT_EQ(checkCompatibility(guitar, 12, {38, 45, 50, 55, 59, 64}),
            Compatibility::InstrumentDiffers);
  // Mandolin and violin share a tuning but not an identity; unused slots do not count.
  InstrumentState mandolin;
  adoptInstrument(mandolin, 10, {55, 62, 69, 76, 12, 13});
  EXPECT_EQ(mandolin.tuning, (Tuning{55, 62, 69, 76, -1, -1}));
  EXPECT_EQ(checkCompatibility(mandolin, 15, instrumentTable[15].defaultTuning),
            Compatibility::InstrumentDiffers);
  EXPECT_EQ(checkCompatibility(mandolin, 10, {55, 62, 69, 76, 99, 99}), Compatibility::Compatible);
}

}  // namespace
}  // namespace fretlets
