
#include <cstdlib>

#include "sound/fluid_synth_output.h"
#include "support/cli_run.h"
#include "support/document_test_support.h"
#include "support/sound/strongest_frequency.h"
#include "support/wav_reader.h"

namespace fretlets::cli {
namespace {

using test::readWav;
using test::WavFile;

// Renders into a file of the test's folder and reads it back.
class RenderCommandTest : public document_test::DocumentFolder {
 protected:
  void SetUp() override {
    if (!findSoundFont(systemSoundFonts())) {
      GTEST_SKIP() << "no General MIDI SoundFont installed (scripts/setup.sh installs "
                      "fluid-soundfont-gm); render has nothing to play with";
    }
    document_test::DocumentFolder::SetUp();
  }
  WavFile renderTo(const std::string& name, std::vector<std::string> args) {
    args.insert(args.end(), {"--out", file(name)});
    const CliRun run = runCli(runRender, args);
    EXPECT_EQ(run.status, 0) << run.err;
    const auto wav = readWav(file(name));
    EXPECT_TRUE(wav) << name;
    return wav ? *wav : WavFile{};
  }
};

double strongestOf(const WavFile& wav, double fromSeconds, double toSeconds) {
  const std::vector<float> mono = wav.mono();
  const auto from = static_cast<std::size_t>(fromSeconds * wav.sampleRate);
  const auto to = std::min(mono.size(), static_cast<std::size_t>(toSeconds * wav.sampleRate));
  return strongestFrequency(std::span(mono).subspan(from, to - from), wav.sampleRate, 60, 2000);
}

TEST_F(RenderCommandTest, OpenStringsFollowEachOtherHalfASecondApart) {
  const WavFile wav =
      renderTo("violin.wav", {"--instrument", "violin", "--open-strings", "--seconds", "2"});
  EXPECT_EQ(wav.samples.size(), 2U * 44100 * 2);
  // G3 alone in the first half second; D4 joins it after that.
  EXPECT_NEAR(strongestOf(wav, 0.05, 0.45), 196.0, 196.0 * 0.02);
  EXPECT_NEAR(strongestOf(wav, 0.55, 0.95), 293.66, 293.66 * 0.02);
}

TEST_F(RenderCommandTest, DelayMovesTheNextStringAndVelocityTheLevel) {
  // B3 then E4, 300 ms apart: until the E4 starts the sound is that of the
  // B3 alone, and from then on it is not.
  const WavFile both =
      renderTo("late.wav", {"--frets", "x,x,x,x,0,0", "--seconds", "0.6", "--delay", "300"});
  const WavFile alone = renderTo("b3.wav", {"--frets", "x,x,x,x,0,x", "--seconds", "0.6"});
  const auto onset = static_cast<std::ptrdiff_t>(0.3 * 44100 * 2);
  EXPECT_TRUE(
      std::equal(both.samples.begin(), both.samples.begin() + onset - 200, alone.samples.begin()));
  EXPECT_FALSE(std::equal(both.samples.begin() + onset + 200, both.samples.end(),
                          alone.samples.begin() + onset + 200));
  const WavFile soon = renderTo("soon.wav", {"--frets", "x,x,x,x,0,0", "--seconds", "0.6"});
  EXPECT_FALSE(
      std::equal(both.samples.begin(), both.samples.begin() + onset - 200, soon.samples.begin()));

  const auto peak = [](const WavFile& wav) {
    return std::ranges::max(wav.samples, {}, [](std::int16_t x) { return std::abs(int{x}); });
  };
  const WavFile soft =
      renderTo("soft.wav", {"--frets", "x,x,x,x,0,0", "--seconds", "0.6", "--velocity", "40"});
  EXPECT_LT(std::abs(int{peak(soft)}), std::abs(int{peak(soon)}) * 2 / 3);
}

TEST(RenderCommand, RejectsBadInputBeforeRendering) {
  const std::vector<std::string> chord{"--frets", "0,0,0,0,0,0", "--out", "x.wav"};
  std::vector<std::vector<std::string>> bad{
      {"--out", "x.wav"}, {"--frets", "0,0,0,0,0,0"}, {"--frets", "0,0,0", "--out", "x.wav"}};
  for (const auto& [option, value] : {std::pair{"--patch", "GS:1"},
                                      {"--patch", "XG:438"},
                                      {"--velocity", "128"},
                                      {"--delay", "0"},
                                      {"--seconds", "0"},
                                      {"--seconds", "3s"}}) {
    bad.push_back(chord);
    bad.back().insert(bad.back().end(), {option, value});
  }
  expectUsageErrors(runRender, bad);
  EXPECT_FALSE(std::filesystem::exists("x.wav"));
}

}  // namespace
}  // namespace fretlets::cli
