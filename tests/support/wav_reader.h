#pragma once

#include <cstdint>
#include <filesystem>
#include <optional>
#include <vector>

namespace fretlets::test {

// 16-bit sound, samples interleaved by channel.
struct WavFile {
  int sampleRate = 44100;
  int channels = 2;
  std::vector<std::int16_t> samples;

  // The channels averaged into one, scaled to -1..1.
  std::vector<float> mono() const;
};

// The sound of a file read with libsndfile, a reader independent of the
// program's writer; nullopt when it cannot read it.
std::optional<WavFile> readWav(const std::filesystem::path& path);

}  // namespace fretlets::test
