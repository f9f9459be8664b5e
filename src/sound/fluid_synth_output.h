#pragma once

#include <chrono>
#include <cstdint>
#include <future>
#include <memory>
#include <optional>
#include <span>
#include <string>
#include <vector>

#include "sound/midi_output.h"

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

// A FluidSynth audio driver and, when not empty, the device it opens (for
// "file", the file it writes).
struct AudioSink {
  std::string driver;
  std::string device;
};

// Where a desktop hears the synthesizer, in order: the sound server
// (PulseAudio, which PipeWire desktops serve too), then ALSA, then JACK.
// FluidSynth's own choice would be raw ALSA, which a busy sound server can
// refuse.
std::vector<AudioSink> desktopAudioSinks();

// The built-in synthesizer (FluidSynth) with a General MIDI SoundFont. Bank
// select is read the XG way (the bank-select LSB chooses the bank); a bank
// the SoundFont lacks for a program falls back to that program's bank-0
// sound.
//
// Loading a General MIDI SoundFont takes most of a second, so the
// synthesizer is prepared once, on a thread of its own (prepare()), and kept
// with its SoundFont and its audio output until the object goes: closing only
// silences it, and every open after the first is immediate. The audio output
// is opened before the SoundFont is loaded, so a machine without one fails at
// once instead of after the load.
class FluidSynthOutput : public MidiOutput {
 public:
  static constexpr int kSampleRate = 44100;
  // AudioDevice mode: with no voice sounding for this long the audio output
  // is shut (nothing is rendered or streamed) until the next message.
  static constexpr std::chrono::milliseconds kPauseAfter{3000};

  // Identifies the sound a channel plays.
  struct Preset {
    int bank;
    int program;

    friend bool operator==(const Preset&, const Preset&) = default;
  };

  // pauseAfter: see kPauseAfter; 0 keeps the output open.
  explicit FluidSynthOutput(SynthMode mode,
                            std::vector<std::string> soundFonts = systemSoundFonts(),
                            std::vector<AudioSink> sinks = desktopAudioSinks(),
                            std::chrono::milliseconds pauseAfter = kPauseAfter);
  // Waits for a preparation still running.
  ~FluidSynthOutput() override;

  // Starts preparing the synthesizer on a thread of its own and returns at
  // once. Nothing happens while a preparation runs or once one succeeded; a
  // failed one is tried again.
  void prepare() override;
  bool ready() const override;
  // Prepares the synthesizer first when that has not been done, waiting for
  // the preparation to finish. Fails without a SoundFont or, in AudioDevice
  // mode, without audio output; error() then says which.
  bool open() override;
  void send(std::uint32_t message) override;
  // Silences every voice at once and drops messages until the next open; the
  // SoundFont and the audio output stay.
  void close() override;

  bool isOpen() const { return open_; }
  const std::string& error() const { return error_; }
  const std::string& soundFont() const { return soundFont_; }
  // The driver that plays the sound; empty in Offline mode or when none.
  const std::string& audioDriver() const { return audioDriver_; }
  // The threads the audio output started when it last opened and how each
  // is scheduled ("pulse-audio real-time (SCHED_FIFO, priority 60), ...").
  std::string audioScheduling() const;
  // False while the audio output is shut for quiet (or in Offline mode).
  bool audioRunning() const;

  // Offline mode: synthesizes the next frames into interleaved 16-bit stereo
  // (left, right, left, ...), advancing the synthesizer's time. The same
  // messages always give the same samples.
  void render(std::span<std::int16_t> interleavedStereo);

  // The sound channel 0 plays now, after any fallback.
  std::optional<Preset> channelPreset() const;

 private:
  struct Synth;
  struct Prepared;

  static std::unique_ptr<Prepared> prepareSynth(SynthMode mode,
                                                const std::vector<std::string>& soundFonts,
                                                const std::vector<AudioSink>& sinks);
  // Takes over the result of a finished preparation, waiting for it if needed.
  void collect();

  const SynthMode mode_;
  const std::vector<std::string> soundFonts_;
  const std::vector<AudioSink> sinks_;
  const std::chrono::milliseconds pauseAfter_;
  std::future<std::unique_ptr<Prepared>> preparing_;  // valid while a preparation is not collected
  std::unique_ptr<Synth> synth_;                      // prepared, kept until the object goes
  bool open_ = false;
  std::string soundFont_;
  std::string audioDriver_;
  std::string error_;
};

}  // namespace fretlets
