#include "midi/fluid_synth_output.h"

#include <fluidsynth.h>

#include <algorithm>
#include <cmath>
#include <filesystem>
#include <fstream>

namespace fretlets {
namespace {

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

struct FluidSynthOutput::Synth {
  SettingsPtr settings;
  std::unique_ptr<fluid_synth_t, SynthDeleter> synth;
  // Declared last so that it stops pulling sound before the synth goes.
  std::unique_ptr<fluid_audio_driver_t, DriverDeleter> driver;
};

FluidSynthOutput::FluidSynthOutput(SynthMode mode, std::vector<std::string> soundFonts)
    : mode_(mode), soundFonts_(std::move(soundFonts)) {}

FluidSynthOutput::~FluidSynthOutput() = default;

bool FluidSynthOutput::isOpen() const {
  return synth_ != nullptr;
}

bool FluidSynthOutput::open() {
  if (isOpen()) {
    return true;
  }
  error_.clear();
  silenceFluidSynthLog();
  const auto path = findSoundFont(soundFonts_);
  if (!path) {
    error_ = "no SoundFont found (looked for " + joined(soundFonts_) + ")";
    return false;
  }
  auto synth = std::make_unique<Synth>();
  synth->settings.reset(new_fluid_settings());
  if (!synth->settings) {
    error_ = "the synthesizer could not be set up";
    return false;
  }
  fluid_settings_t* settings = synth->settings.get();
  fluid_settings_setstr(settings, "synth.midi-bank-select", "xg");
  fluid_settings_setnum(settings, "synth.sample-rate", kSampleRate);
  // Pinning a 140 MB SoundFont in memory buys nothing for a few notes.
  fluid_settings_setint(settings, "synth.lock-memory", 0);
  if (mode_ == SynthMode::Offline) {
    // One thread pulls the sound, so the synthesizer need not lock.
    fluid_settings_setint(settings, "synth.threadsafe-api", 0);
  }
  synth->synth.reset(new_fluid_synth(settings));
  if (!synth->synth) {
    error_ = "the synthesizer could not be set up";
    return false;
  }
  if (fluid_synth_sfload(synth->synth.get(), path->c_str(), 1) == FLUID_FAILED) {
    error_ = "the SoundFont " + *path + " could not be loaded";
    return false;
  }
  if (mode_ == SynthMode::AudioDevice) {
    synth->driver.reset(new_fluid_audio_driver(settings, synth->synth.get()));
    if (!synth->driver) {
      error_ = "no audio output could be opened";
      return false;
    }
  }
  soundFont_ = *path;
  synth_ = std::move(synth);
  return true;
}

void FluidSynthOutput::close() {
  synth_.reset();
  soundFont_.clear();
}

void FluidSynthOutput::send(std::uint32_t message) {
  if (!synth_) {
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
  if (!synth_ || frames == 0) {
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
  if (!synth_) {
    return std::nullopt;
  }
  fluid_preset_t* preset = fluid_synth_get_channel_preset(synth_->synth.get(), 0);
  if (preset == nullptr) {
    return std::nullopt;
  }
  return Preset{fluid_preset_get_banknum(preset), fluid_preset_get_num(preset)};
}

}  // namespace fretlets
