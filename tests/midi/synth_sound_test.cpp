#include <gtest/gtest.h>

#include <filesystem>

#include "midi/fluid_synth_output.h"
#include "midi/manual_timer_service.h"
#include "midi/midi_device.h"
#include "midi/strongest_frequency.h"
#include "midi/wav_file.h"

namespace fretlets {
namespace {

constexpr double kE4 = 329.63;

class SynthSoundTest : public ::testing::Test {
 protected:
  void SetUp() override {
    if (!findSoundFont(systemSoundFonts())) {
      GTEST_SKIP() << "no General MIDI SoundFont installed (scripts/setup.sh installs "
                      "fluid-soundfont-gm); the built-in synthesizer cannot sound here";
    }
    ASSERT_TRUE(device.openMidiMapper()) << synth.error();
  }

  // The next seconds of sound, left and right averaged.
  std::vector<float> renderMono(double seconds) {
    WavFile wav;
    wav.samples.resize(static_cast<std::size_t>(seconds * FluidSynthOutput::kSampleRate) * 2);
    synth.render(wav.samples);
    return wav.mono();
  }

  InstrumentState instrument;
  DesignerChord chord;
  ManualTimerService timers;
  FluidSynthOutput synth{SynthMode::Offline};
  MidiDevice device{instrument, chord, timers, {synth}};
};

TEST_F(SynthSoundTest, NoteOnSoundsAtItsPitch) {
  device.velocity = 100;
  device.noteOn(64);
  const std::vector<float> sound = renderMono(0.6);
  const std::span window(sound.begin() + 2205, sound.end());  // past the attack
  EXPECT_NEAR(strongestFrequency(window, FluidSynthOutput::kSampleRate, 60, 2000), kE4, kE4 * 0.02);
}

TEST_F(SynthSoundTest, RendersTheSameSamplesEveryTime) {
  device.noteOn(64);
  const std::vector<float> first = renderMono(0.3);
  device.closeMidi();
  ASSERT_TRUE(device.openMidiMapper());
  device.noteOn(64);
  EXPECT_EQ(renderMono(0.3), first);
}

TEST_F(SynthSoundTest, AllNotesOffLetsTheSoundDie) {
  device.noteOn(64);
  renderMono(0.2);
  device.allNotesOff();
  renderMono(2.0);
  float loudest = 0;
  for (const float sample : renderMono(0.2)) {
    loudest = std::max(loudest, std::abs(sample));
  }
  EXPECT_LT(loudest, 0.001F);
}

TEST_F(SynthSoundTest, XgBanksReachTheirVariationOrFallBackToBankZero) {
  std::error_code ignored;
  if (std::filesystem::canonical(synth.soundFont(), ignored).filename() != "FluidR3_GM.sf2") {
    GTEST_SKIP() << "the presets checked here are those of FluidR3_GM, not of "
                 << synth.soundFont();
  }
  device.selectPatch(8, 40);  // XG "Slow Violin": FluidR3 has it in bank 8
  EXPECT_EQ(synth.channelPreset(), (FluidSynthOutput::Preset{8, 40}));
  device.selectPatch(16, 24);  // XG "Nylon Guitar 2": no bank 16 guitar, so bank 0's
  EXPECT_EQ(synth.channelPreset(), (FluidSynthOutput::Preset{0, 24}));
}

TEST(FluidSynthOutput, FailsCleanlyWithoutASoundFont) {
  FluidSynthOutput synth(SynthMode::Offline, {"/nonexistent/none.sf2"});
  EXPECT_FALSE(synth.open());
  EXPECT_FALSE(synth.isOpen());
  EXPECT_NE(synth.error().find("no SoundFont"), std::string::npos);
  synth.send(0x7F4090);  // dropped, not a crash
  std::vector<std::int16_t> samples(4, 1);
  synth.render(samples);
  EXPECT_EQ(samples, (std::vector<std::int16_t>{1, 1, 1, 1}));
}

TEST(FluidSynthOutput, AudioDeviceOpensOrFailsCleanly) {
  if (!findSoundFont(systemSoundFonts())) {
    GTEST_SKIP() << "no General MIDI SoundFont installed";
  }
  FluidSynthOutput synth(SynthMode::AudioDevice);
  if (synth.open()) {
    synth.close();
    EXPECT_FALSE(synth.isOpen());
    return;
  }
  // No sound card here: the loaded SoundFont and the synthesizer are let go.
  EXPECT_FALSE(synth.isOpen());
  EXPECT_EQ(synth.error(), "no audio output could be opened");
  EXPECT_EQ(synth.channelPreset(), std::nullopt);
}

}  // namespace
}  // namespace fretlets
