#include "sound/fluid_synth_output.h"

#include <fluidsynth.h>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <filesystem>
#include <fstream>
#include <utility>

namespace fretlets {
namespace {

// The audio output's period and their count. FluidSynth's own (64 frames, a
// buffer of under 1 ms in PulseAudio) drop out on an idle machine; 768 x 2
// (PulseAudio buffers 13 ms) played without a dropout, idle and with both
// cores busy, where 384..640 frames still dropped out (README: "Sound in the
// desktop program").
constexpr int kPeriodFrames = 768;
constexpr int kPeriods = 2;

struct SettingsDeleter {
  void operator()(fluid_settings_t* settings) const { delete_fluid_settings(settings); }
};
struct SynthDeleter {
  void operator()(fluid_synth_t* synth) const { delete_fluid_synth(synth); }
};
struct DriverDeleter {
  void operator()(fluid_audio_driver_t* driver) const { delete_fluid_audio_driver(driver); }
};

using SettingsPtr = std::unique_ptr<fluid_settings_t, SettingsDeleter>;

// FluidSynth writes its warnings (a missing bank, an audio device it could
// not open) to the terminal; the program reports failures itself.
void silenceFluidSynthLog() {
  for (const int level : {FLUID_PANIC, FLUID_ERR, FLUID_WARN, FLUID_INFO, FLUID_DBG}) {
    fluid_set_log_function(level, nullptr, nullptr);
  }
}

std::string joined(const std::vector<std::string>& paths) {
  std::string text;
  for (const std::string& path : paths) {
    text += text.empty() ? "" : ", ";
    text += path;
  }
  return text;
}

}  // namespace

std::vector<std::string> systemSoundFonts() {
  std::vector<std::string> paths;
  silenceFluidSynthLog();
  const SettingsPtr settings(new_fluid_settings());
  char* fluidDefault = nullptr;
  if (settings &&
      fluid_settings_getstr_default(settings.get(), "synth.default-soundfont", &fluidDefault) ==
          FLUID_OK &&
      fluidDefault != nullptr && *fluidDefault != '\0') {
    paths.emplace_back(fluidDefault);
  }
  for (const char* path :
       {"/usr/share/sounds/sf2/FluidR3_GM.sf2", "/usr/share/sounds/sf2/default-GM.sf2",
        "/usr/share/sounds/sf2/TimGM6mb.sf2"}) {
    paths.emplace_back(path);
  }
  return paths;
}

std::optional<std::string> findSoundFont(const std::vector<std::string>& candidates) {
  for (const std::string& path : candidates) {
    std::error_code error;
    if (std::filesystem::is_regular_file(path, error) && std::ifstream(path).good()) {
      return path;
    }
  }
  return std::nullopt;
}

std::vector<AudioSink> desktopAudioSinks() {
  return {{"pulseaudio", ""}, {"alsa", ""}, {"jack", ""}};
}

struct FluidSynthOutput::Synth {
  SettingsPtr settings;
  std::unique_ptr<fluid_synth_t, SynthDeleter> synth;
  // Declared last so that it stops pulling sound before the synth goes.
  std::unique_ptr<fluid_audio_driver_t, DriverDeleter> driver;
};

struct FluidSynthOutput::Prepared {
  std::unique_ptr<Synth> synth;  // null when the preparation failed
  std::string soundFont;
  std::string audioDriver;
  std::string error;
};

FluidSynthOutput::FluidSynthOutput(SynthMode mode, std::vector<std::string> soundFonts,
                                   std::vector<AudioSink> sinks)
    : mode_(mode), soundFonts_(std::move(soundFonts)), sinks_(std::move(sinks)) {}

FluidSynthOutput::~FluidSynthOutput() {
  if (preparing_.valid()) {
    preparing_.wait();
  }
}

// Runs on the preparing thread and touches nothing of the object: its result
// reaches the owner thread through the future.
std::unique_ptr<FluidSynthOutput::Prepared> FluidSynthOutput::prepareSynth(
    SynthMode mode, const std::vector<std::string>& soundFonts,
    const std::vector<AudioSink>& sinks) {
  auto result = std::make_unique<Prepared>();
  Prepared& prepared = *result;
  const auto path = findSoundFont(soundFonts);
  if (!path) {
    prepared.error = "no SoundFont found (looked for " + joined(soundFonts) + ")";
    return result;
  }
  auto synth = std::make_unique<Synth>();
  synth->settings.reset(new_fluid_settings());
  if (!synth->settings) {
    prepared.error = "the synthesizer could not be set up";
    return result;
  }
  fluid_settings_t* settings = synth->settings.get();
  fluid_settings_setstr(settings, "synth.midi-bank-select", "xg");
  fluid_settings_setnum(settings, "synth.sample-rate", kSampleRate);
  // Pinning a 140 MB SoundFont in memory buys nothing for a few notes.
  fluid_settings_setint(settings, "synth.lock-memory", 0);
  if (mode == SynthMode::Offline) {
    // One thread pulls the sound, so the synthesizer need not lock.
    fluid_settings_setint(settings, "synth.threadsafe-api", 0);
  }
  synth->synth.reset(new_fluid_synth(settings));
  if (!synth->synth) {
    prepared.error = "the synthesizer could not be set up";
    return result;
  }
  if (mode == SynthMode::AudioDevice) {
    fluid_settings_setint(settings, "audio.period-size", kPeriodFrames);
    fluid_settings_setint(settings, "audio.periods", kPeriods);
    // The audio output comes first: without one the load would be wasted.
    // Until the SoundFont is in, the output plays silence.
    for (const AudioSink& sink : sinks) {
      fluid_settings_setstr(settings, "audio.driver", sink.driver.c_str());
      if (!sink.device.empty()) {
        const std::string key =
            sink.driver == "file" ? "audio.file.name" : "audio." + sink.driver + ".device";
        fluid_settings_setstr(settings, key.c_str(), sink.device.c_str());
      }
      synth->driver.reset(new_fluid_audio_driver(settings, synth->synth.get()));
      if (synth->driver) {
        prepared.audioDriver = sink.driver;
        break;
      }
    }
    if (!synth->driver) {
      prepared.error = "no audio output could be opened";
      return result;
    }
  }
  if (fluid_synth_sfload(synth->synth.get(), path->c_str(), 1) == FLUID_FAILED) {
    prepared.error = "the SoundFont " + *path + " could not be loaded";
    prepared.audioDriver.clear();
    return result;
  }
  prepared.soundFont = *path;
  prepared.synth = std::move(synth);
  return result;
}

void FluidSynthOutput::prepare() {
  if (synth_ || preparing_.valid()) {
    return;
  }
  silenceFluidSynthLog();
  preparing_ = std::async(std::launch::async, prepareSynth, mode_, soundFonts_, sinks_);
}

bool FluidSynthOutput::ready() const {
  return !preparing_.valid() ||
         preparing_.wait_for(std::chrono::seconds(0)) == std::future_status::ready;
}

void FluidSynthOutput::collect() {
  if (!preparing_.valid()) {
    return;
  }
  const std::unique_ptr<Prepared> prepared = preparing_.get();
  synth_ = std::move(prepared->synth);
  soundFont_ = std::move(prepared->soundFont);
  audioDriver_ = std::move(prepared->audioDriver);
  error_ = std::move(prepared->error);
}

bool FluidSynthOutput::open() {
  if (!synth_) {
    prepare();
    collect();
  }
  open_ = synth_ != nullptr;
  return open_;
}

void FluidSynthOutput::close() {
  if (open_) {
    fluid_synth_all_sounds_off(synth_->synth.get(), -1);
  }
  open_ = false;
}

void FluidSynthOutput::send(std::uint32_t message) {
  if (!open_) {
    return;
  }
  fluid_synth_t* synth = synth_->synth.get();
  const int channel = messageStatus(message) & 0x0F;
  const int data1 = messageData1(message);
  const int data2 = messageData2(message);
  switch (messageStatus(message) & 0xF0) {
    case 0x80:
      fluid_synth_noteoff(synth, channel, data1);
      break;
    case 0x90:
      if (data2 == 0) {
        fluid_synth_noteoff(synth, channel, data1);
      } else {
        fluid_synth_noteon(synth, channel, data1, data2);
      }
      break;
    case 0xB0:
      fluid_synth_cc(synth, channel, data1, data2);
      break;
    case 0xC0:
      fluid_synth_program_change(synth, channel, data1);
      break;
    default:
      break;  // the device sends nothing else
  }
}

void FluidSynthOutput::render(std::span<std::int16_t> interleavedStereo) {
  const int frames = static_cast<int>(interleavedStereo.size() / 2);
  if (!open_ || frames == 0) {
    return;
  }
  // Floats converted here rather than FluidSynth's own 16-bit output, which
  // adds dither noise.
  std::vector<float> buffer(static_cast<std::size_t>(frames) * 2);
  fluid_synth_write_float(synth_->synth.get(), frames, buffer.data(), 0, 2, buffer.data(), 1, 2);
  std::transform(buffer.begin(), buffer.end(), interleavedStereo.begin(), [](float sample) {
    return static_cast<std::int16_t>(std::lround(std::clamp(sample, -1.0F, 1.0F) * 32767.0F));
  });
}

std::optional<FluidSynthOutput::Preset> FluidSynthOutput::channelPreset() const {
  if (!open_) {
    return std::nullopt;
  }
  fluid_preset_t* preset = fluid_synth_get_channel_preset(synth_->synth.get(), 0);
  if (preset == nullptr) {
    return std::nullopt;
  }
  return Preset{fluid_preset_get_banknum(preset), fluid_preset_get_num(preset)};
}

}  // namespace fretlets
