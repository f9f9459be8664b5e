#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <span>
#include <string>
#include <vector>

#include "midi/midi_output.h"

namespace fretlets {

// Where the built-in synthesizer's sound goes.
enum class SynthMode {
  AudioDevice,  // the system's audio output
  Offline,      // nothing plays; render() pulls the sound into a buffer
};

// The SoundFonts to try, in order: FluidSynth's own default, then the
// General MIDI SoundFonts Debian installs.
std::vector<std::string> systemSoundFonts();

// The first of candidates that is a readable file.
std::optional<std::string> findSoundFont(const std::vector<std::string>& candidates);

// The built-in synthesizer (FluidSynth) with a General MIDI SoundFont. Bank
// select is read the XG way (the bank-select LSB chooses the bank); a bank
// the SoundFont lacks for a program falls back to that program's bank-0
// sound.
class FluidSynthOutput : public MidiOutput {
 public:
  static constexpr int kSampleRate = 44100;

  // Identifies the sound a channel plays.
  struct Preset {
    int bank;
    int program;

    friend bool operator==(const Preset&, const Preset&) = default;
  };

  explicit FluidSynthOutput(SynthMode mode,
                            std::vector<std::string> soundFonts = systemSoundFonts());
  ~FluidSynthOutput() override;

  // Fails without a SoundFont or, in AudioDevice mode, without audio output;
  // error() then says which.
  bool open() override;
  void send(std::uint32_t message) override;
  void close() override;

  bool isOpen() const;
  const std::string& error() const { return error_; }
  const std::string& soundFont() const { return soundFont_; }

  // Offline mode: synthesizes the next frames into interleaved 16-bit stereo
  // (left, right, left, ...), advancing the synthesizer's time. The same
  // messages always give the same samples.
  void render(std::span<std::int16_t> interleavedStereo);

  // The sound channel 0 plays now, after any fallback.
  std::optional<Preset> channelPreset() const;

 private:
  struct Synth;

  SynthMode mode_;
  std::vector<std::string> soundFonts_;
  std::unique_ptr<Synth> synth_;
  std::string soundFont_;
  std::string error_;
};

}  // namespace fretlets
