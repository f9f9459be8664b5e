#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <thread>

#include "sound/fluid_synth_output.h"
#include "sound/manual_timer_service.h"
#include "sound/midi_device.h"
#include "support/sound/strongest_frequency.h"
#include "support/wav_reader.h"

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
    test::WavFile wav;
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

TEST_F(SynthSoundTest, NoteOnSoundsAtItsPitchAndNoteOffOrAllNotesOffLetItDie) {
  device.velocity = 100;
  device.noteOn(64);
  const std::vector<float> sound = renderMono(0.6);
  const std::span window(sound.begin() + 2205, sound.end());  // past the attack
  EXPECT_NEAR(strongestFrequency(window, FluidSynthOutput::kSampleRate, 60, 2000), kE4, kE4 * 0.02);

  for (const bool all : {false, true}) {
    all ? device.allNotesOff() : device.noteOff(64);
    renderMono(2.0);
    EXPECT_LT(std::ranges::max(renderMono(0.2), {}, [](float x) { return std::abs(x); }), 0.001F)
        << (all ? "all notes off" : "note off");
    device.noteOn(64);
  }
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

TEST(FluidSynthOutput, FailsCleanlyWithoutASoundFontOrAnAudioOutput) {
  FluidSynthOutput none(SynthMode::Offline, {"/nonexistent/none.sf2"});
  EXPECT_FALSE(none.open());
  EXPECT_NE(none.error().find("no SoundFont"), std::string::npos);
  none.send(0x7F4090);  // dropped, not a crash
  std::vector<std::int16_t> samples(4, 1);
  none.render(samples);
  EXPECT_EQ(samples, (std::vector<std::int16_t>{1, 1, 1, 1}));

  // The audio output is opened first: without one the SoundFont is not loaded.
  FluidSynthOutput mute(SynthMode::AudioDevice, systemSoundFonts(), {{"alsa", "no-such-device"}});
  EXPECT_FALSE(mute.open());
  EXPECT_EQ(mute.soundFont(), "");
  EXPECT_EQ(mute.channelPreset(), std::nullopt);
  if (findSoundFont(systemSoundFonts())) {
    EXPECT_EQ(mute.error(), "no audio output could be opened");
  }
}

// The audio outputs are tried in turn (ALSA's "null" device takes sound on
// any machine, sound card or not). Once nothing has been heard for a while
// the output is shut (nothing is rendered or streamed), and the next message
// opens it again; off and on, the synthesizer keeps its SoundFont.
TEST(FluidSynthOutput, TriesEachAudioOutputShutsItsOutputWhenQuietAndKeepsItsSoundFont) {
  if (!findSoundFont(systemSoundFonts())) {
    GTEST_SKIP() << "no General MIDI SoundFont installed";
  }
  FluidSynthOutput synth(SynthMode::AudioDevice, systemSoundFonts(),
                         {{"alsa", "no-such-device"}, {"jack", ""}, {"alsa", "null"}},
                         std::chrono::milliseconds(100));
  synth.prepare();
  while (!synth.ready()) {
    std::this_thread::sleep_for(std::chrono::milliseconds(5));
  }
  if (!synth.open()) {
    GTEST_SKIP() << "ALSA's null device is missing here: " << synth.error();
  }
  EXPECT_EQ(synth.audioDriver(), "alsa");
  const std::string soundFont = synth.soundFont();
  for (int round = 0; round < 2; ++round) {
    synth.send(shortMessage(0xB0, 0x78, 0));  // all sound off
    const auto giveUp = std::chrono::steady_clock::now() + std::chrono::seconds(5);
    while (synth.audioRunning() && std::chrono::steady_clock::now() < giveUp) {
      std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    ASSERT_FALSE(synth.audioRunning()) << "round " << round;
    synth.send(shortMessage(0x90, 64, 100));
    EXPECT_TRUE(synth.audioRunning()) << "round " << round;
  }

  synth.send(0x19C0);  // program 25
  synth.close();
  synth.send(0x28C0);  // dropped while off
  EXPECT_FALSE(synth.isOpen());
  EXPECT_EQ(synth.channelPreset(), std::nullopt);
  synth.prepare();  // prepared already: nothing to wait for
  EXPECT_TRUE(synth.ready());
  ASSERT_TRUE(synth.open());
  EXPECT_EQ(synth.soundFont(), soundFont);
  EXPECT_EQ(synth.channelPreset(), (FluidSynthOutput::Preset{0, 25}));
}

}  // namespace
}  // namespace fretlets
