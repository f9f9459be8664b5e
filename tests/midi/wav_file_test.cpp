#include "midi/wav_file.h"

#include <gtest/gtest.h>

#include <sstream>

namespace fretlets {
namespace {

TEST(WavFile, RoundTripsThroughItsCanonicalHeaderAndRejectsTruncatedFiles) {
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

  for (const std::size_t keep : {0, 20, 43, 55}) {
    std::istringstream cut(bytes.substr(0, keep));
    EXPECT_FALSE(readWav(cut)) << keep;
  }
}

}  // namespace
}  // namespace fretlets
