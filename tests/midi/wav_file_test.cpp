#include "midi/wav_file.h"

#include <gtest/gtest.h>

#include <cmath>
#include <numbers>
#include <sstream>

#include "midi/strongest_frequency.h"

namespace fretlets {
namespace {

TEST(WavFile, RoundTripsThroughItsCanonicalHeader) {
  WavFile wav;
  wav.samples = {0, -1, 32767, -32768, 1000, -1000};
  std::stringstream file;
  ASSERT_TRUE(writeWav(file, wav));
  const std::string bytes = file.str();
  EXPECT_EQ(bytes.size(), 44U + 12U);
  EXPECT_EQ(bytes.substr(0, 4), "RIFF");
  EXPECT_EQ(bytes.substr(8, 8), "WAVEfmt ");
  EXPECT_EQ(bytes.substr(36, 4), "data");

  const auto back = readWav(file);
  ASSERT_TRUE(back);
  EXPECT_EQ(back->sampleRate, 44100);
  EXPECT_EQ(back->channels, 2);
  EXPECT_EQ(back->samples, wav.samples);
}

TEST(WavFile, RejectsTruncatedFiles) {
  WavFile wav;
  wav.samples.assign(100, 7);
  std::stringstream file;
  ASSERT_TRUE(writeWav(file, wav));
  for (const std::size_t keep :
       {std::size_t{0}, std::size_t{20}, std::size_t{43}, std::size_t{143}}) {
    std::istringstream cut(file.str().substr(0, keep));
    EXPECT_FALSE(readWav(cut)) << keep;
  }
}

TEST(StrongestFrequency, FindsTheStrongestOfTwoTones) {
  constexpr int kRate = 44100;
  std::vector<float> samples(kRate / 2);
  for (std::size_t i = 0; i < samples.size(); ++i) {
    const double t = static_cast<double>(i) / kRate;
    samples[i] = static_cast<float>(0.3 * std::sin(2 * std::numbers::pi * 440.0 * t) +
                                    0.6 * std::sin(2 * std::numbers::pi * 196.0 * t));
  }
  EXPECT_NEAR(strongestFrequency(samples, kRate, 60, 2000), 196.0, 0.5);
}

}  // namespace
}  // namespace fretlets
