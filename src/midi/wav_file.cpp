#include "midi/wav_file.h"

#include <array>
#include <istream>
#include <limits>
#include <ostream>
#include <string_view>

namespace fretlets {
namespace {

constexpr int kBitsPerSample = 16;
constexpr std::uint32_t kFormatChunkSize = 16;
constexpr std::uint16_t kPcm = 1;

void put16(std::ostream& out, std::uint16_t value) {
  const std::array<char, 2> bytes{static_cast<char>(value & 0xFF), static_cast<char>(value >> 8)};
  out.write(bytes.data(), bytes.size());
}

void put32(std::ostream& out, std::uint32_t value) {
  put16(out, static_cast<std::uint16_t>(value & 0xFFFF));
  put16(out, static_cast<std::uint16_t>(value >> 16));
}

std::optional<std::uint32_t> get(std::istream& in, int bytes) {
  std::uint32_t value = 0;
  for (int i = 0; i < bytes; ++i) {
    const int c = in.get();
    if (c == std::char_traits<char>::eof()) {
      return std::nullopt;
    }
    value |= static_cast<std::uint32_t>(c) << (8 * i);
  }
  return value;
}

bool expectTag(std::istream& in, std::string_view tag) {
  std::array<char, 4> bytes{};
  return in.read(bytes.data(), bytes.size()) && std::string_view(bytes.data(), 4) == tag;
}

}  // namespace

std::vector<float> WavFile::mono() const {
  std::vector<float> result;
  if (channels <= 0) {
    return result;
  }
  result.reserve(samples.size() / channels);
  for (std::size_t frame = 0; frame + channels <= samples.size(); frame += channels) {
    float sum = 0;
    for (int c = 0; c < channels; ++c) {
      sum += samples[frame + c];
    }
    result.push_back(sum / static_cast<float>(channels) / 32768.0F);
  }
  return result;
}

bool writeWav(std::ostream& out, const WavFile& wav) {
  const std::uint64_t dataBytes = wav.samples.size() * sizeof(std::int16_t);
  if (dataBytes > std::numeric_limits<std::uint32_t>::max() - 36 || wav.channels <= 0 ||
      wav.sampleRate <= 0) {
    return false;
  }
  const auto blockAlign = static_cast<std::uint16_t>(wav.channels * kBitsPerSample / 8);
  out.write("RIFF", 4);
  put32(out, static_cast<std::uint32_t>(36 + dataBytes));
  out.write("WAVEfmt ", 8);
  put32(out, kFormatChunkSize);
  put16(out, kPcm);
  put16(out, static_cast<std::uint16_t>(wav.channels));
  put32(out, static_cast<std::uint32_t>(wav.sampleRate));
  put32(out, static_cast<std::uint32_t>(wav.sampleRate) * blockAlign);
  put16(out, blockAlign);
  put16(out, kBitsPerSample);
  out.write("data", 4);
  put32(out, static_cast<std::uint32_t>(dataBytes));
  for (const std::int16_t sample : wav.samples) {
    put16(out, static_cast<std::uint16_t>(sample));
  }
  out.flush();
  return static_cast<bool>(out);
}

std::optional<WavFile> readWav(std::istream& in) {
  if (!expectTag(in, "RIFF") || !get(in, 4) || !expectTag(in, "WAVE") || !expectTag(in, "fmt ")) {
    return std::nullopt;
  }
  const auto formatSize = get(in, 4);
  const auto format = get(in, 2);
  const auto channels = get(in, 2);
  const auto sampleRate = get(in, 4);
  const auto byteRate = get(in, 4);
  const auto blockAlign = get(in, 2);
  const auto bits = get(in, 2);
  if (!bits || *formatSize != kFormatChunkSize || *format != kPcm || *bits != kBitsPerSample ||
      *channels == 0 || *sampleRate == 0 || !byteRate || !blockAlign || !expectTag(in, "data")) {
    return std::nullopt;
  }
  const auto dataBytes = get(in, 4);
  if (!dataBytes || *dataBytes % 2 != 0) {
    return std::nullopt;
  }
  WavFile wav;
  wav.channels = static_cast<int>(*channels);
  wav.sampleRate = static_cast<int>(*sampleRate);
  // Grown as samples arrive, so a header that claims more than the file
  // holds costs nothing.
  for (std::uint32_t i = 0; i < *dataBytes / 2; ++i) {
    const auto sample = get(in, 2);
    if (!sample) {
      return std::nullopt;
    }
    wav.samples.push_back(static_cast<std::int16_t>(*sample));
  }
  return wav;
}

}  // namespace fretlets
