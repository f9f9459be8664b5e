#pragma once

#include <cstdint>
#include <iosfwd>
#include <optional>
#include <vector>

namespace fretlets {

// 16-bit PCM sound, samples interleaved by channel.
struct WavFile {
  int sampleRate = 44100;
  int channels = 2;
  std::vector<std::int16_t> samples;

  // The channels averaged into one, scaled to -1..1.
  std::vector<float> mono() const;
};

// Writes a canonical RIFF/WAVE file; false when the stream failed.
bool writeWav(std::ostream& out, const WavFile& wav);

// Reads what writeWav writes (PCM, 16 bits); nullopt for anything else or a
// truncated file.
std::optional<WavFile> readWav(std::istream& in);

}  // namespace fretlets
