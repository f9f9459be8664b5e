#include "support/wav_reader.h"

#include <sndfile.h>

namespace fretlets::test {

std::vector<float> WavFile::mono() const {
  std::vector<float> result;
  if (channels <= 0) {
    return result;
  }
  const auto width = static_cast<std::size_t>(channels);
  result.reserve(samples.size() / width);
  for (std::size_t frame = 0; frame + width <= samples.size(); frame += width) {
    float sum = 0;
    for (std::size_t c = 0; c < width; ++c) {
      sum += samples[frame + c];
    }
    result.push_back(sum / static_cast<float>(channels) / 32768.0F);
  }
  return result;
}

std::optional<WavFile> readWav(const std::filesystem::path& path) {
  SF_INFO info{};
  SNDFILE* file = sf_open(path.c_str(), SFM_READ, &info);
  if (file == nullptr) {
    return std::nullopt;
  }
  WavFile wav;
  wav.sampleRate = info.samplerate;
  wav.channels = info.channels;
  wav.samples.resize(static_cast<std::size_t>(info.frames) *
                     static_cast<std::size_t>(info.channels));
  const sf_count_t read =
      sf_read_short(file, wav.samples.data(), static_cast<sf_count_t>(wav.samples.size()));
  sf_close(file);
  if (read != static_cast<sf_count_t>(wav.samples.size())) {
    return std::nullopt;
  }
  return wav;
}

}  // namespace fretlets::test
