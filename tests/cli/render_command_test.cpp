#include <gtest/gtest.h>
#include <sys/resource.h>
#include <unistd.h>

#include <csignal>

#include <filesystem>
#include <fstream>
#include <sstream>

#include "cli/commands.h"
#include "midi/fluid_synth_output.h"
#include "midi/strongest_frequency.h"
#include "midi/wav_file.h"

namespace fretlets::cli {
namespace {

namespace fs = std::filesystem;

struct RenderResult {
  int status;
  std::string out;
  std::string err;
};

RenderResult render(std::vector<std::string> args) {
  std::istringstream in;
  std::ostringstream out;
  std::ostringstream err;
  Console console{in, out, err};
  const int status = runRender(args, console);
  return {status, out.str(), err.str()};
}

class RenderCommandTest : public ::testing::Test {
 protected:
  void SetUp() override {
    if (!findSoundFont(systemSoundFonts())) {
      GTEST_SKIP() << "no General MIDI SoundFont installed (scripts/setup.sh installs "
                      "fluid-soundfont-gm); render has nothing to play with";
    }
    fs::create_directories(dir);
  }
  void TearDown() override { fs::remove_all(dir); }

  WavFile readBack(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    auto wav = readWav(in);
    EXPECT_TRUE(wav) << path;
    return wav ? *wav : WavFile{};
  }

  const fs::path dir = fs::temp_directory_path() / ("fretlets-render-" + std::to_string(getpid()));
};

double strongestOf(const WavFile& wav, double fromSeconds, double toSeconds) {
  const std::vector<float> mono = wav.mono();
  const auto from = static_cast<std::size_t>(fromSeconds * wav.sampleRate);
  const auto to = std::min(mono.size(), static_cast<std::size_t>(toSeconds * wav.sampleRate));
  return strongestFrequency(std::span(mono).subspan(from, to - from), wav.sampleRate, 60, 2000);
}

TEST_F(RenderCommandTest, TopStringSoundsE4) {
  const fs::path out = dir / "e4.wav";
  const RenderResult run = render({"--frets", "x,x,x,x,x,0", "--out", out.string()});
  ASSERT_EQ(run.status, 0) << run.err;
  const WavFile wav = readBack(out);
  EXPECT_EQ(wav.channels, 2);
  EXPECT_EQ(wav.sampleRate, 44100);
  EXPECT_EQ(wav.samples.size(), 3U * 44100 * 2);
  EXPECT_NEAR(strongestOf(wav, 0.05, 0.6), 329.63, 329.63 * 0.02);
}

TEST_F(RenderCommandTest, OpenStringsFollowEachOtherHalfASecondApart) {
  const fs::path out = dir / "violin.wav";
  const RenderResult run =
      render({"--instrument", "violin", "--open-strings", "--seconds", "2", "--out", out.string()});
  ASSERT_EQ(run.status, 0) << run.err;
  const WavFile wav = readBack(out);
  EXPECT_EQ(wav.samples.size(), 2U * 44100 * 2);
  // G3 alone in the first half second; D4 joins it after that.
  EXPECT_NEAR(strongestOf(wav, 0.05, 0.45), 196.0, 196.0 * 0.02);
  EXPECT_NEAR(strongestOf(wav, 0.55, 0.95), 293.66, 293.66 * 0.02);
}

TEST_F(RenderCommandTest, SameArgumentsGiveTheSameFile) {
  const std::vector<std::string> args{"--frets", "x,3,2,0,1,0", "--patch", "XG:96",     "--delay",
                                      "40",      "--velocity",  "90",      "--seconds", "0.5"};
  auto first = args;
  first.insert(first.end(), {"--out", (dir / "a.wav").string()});
  auto second = args;
  second.insert(second.end(), {"--out", (dir / "b.wav").string()});
  ASSERT_EQ(render(first).status, 0);
  ASSERT_EQ(render(second).status, 0);
  EXPECT_EQ(readBack(dir / "a.wav").samples, readBack(dir / "b.wav").samples);
}

TEST(RenderCommand, RejectsBadInputBeforeRendering) {
  for (const std::vector<std::string>& args : std::vector<std::vector<std::string>>{
           {"--out", "x.wav"},
           {"--frets", "0,0,0,0,0,0"},
           {"--frets", "0,0,0", "--out", "x.wav"},
           {"--frets", "0,0,0,0,0,0", "--patch", "GS:1", "--out", "x.wav"},
           {"--frets", "0,0,0,0,0,0", "--patch", "XG:438", "--out", "x.wav"},
           {"--frets", "0,0,0,0,0,0", "--velocity", "128", "--out", "x.wav"},
           {"--frets", "0,0,0,0,0,0", "--delay", "0", "--out", "x.wav"},
           {"--frets", "0,0,0,0,0,0", "--seconds", "0", "--out", "x.wav"},
           {"--frets", "0,0,0,0,0,0", "--seconds", "3s", "--out", "x.wav"},
       }) {
    const RenderResult run = render(args);
    EXPECT_EQ(run.status, 2) << args.back();
    EXPECT_TRUE(run.err.starts_with("fretlets-cli render: ")) << run.err;
  }
  EXPECT_FALSE(fs::exists("x.wav"));
}

TEST_F(RenderCommandTest, UnwritableFileFails) {
  const RenderResult run = render({"--frets", "0,0,0,0,0,0", "--seconds", "0.1", "--out",
                                   (dir / "missing" / "e.wav").string()});
  EXPECT_EQ(run.status, 1);
  EXPECT_NE(run.err.find("cannot write"), std::string::npos);
}

// Files of this process may not grow past a few kilobytes while it lives, as
// on a disk that is full.
class FullDisk {
 public:
  FullDisk() : previousSignal_(std::signal(SIGXFSZ, SIG_IGN)) {
    getrlimit(RLIMIT_FSIZE, &previous_);
    rlimit small = previous_;
    small.rlim_cur = 4096;
    setrlimit(RLIMIT_FSIZE, &small);
  }
  FullDisk(const FullDisk&) = delete;
  FullDisk& operator=(const FullDisk&) = delete;
  ~FullDisk() {
    setrlimit(RLIMIT_FSIZE, &previous_);
    std::signal(SIGXFSZ, previousSignal_);
  }

 private:
  void (*previousSignal_)(int);
  rlimit previous_{};
};

TEST_F(RenderCommandTest, FailedWriteKeepsTheFileThatWasThere) {
  const fs::path out = dir / "take.wav";
  std::ofstream(out) << "the earlier take";
  RenderResult run;
  {
    const FullDisk full;
    run = render({"--frets", "0,0,0,0,0,0", "--seconds", "0.1", "--out", out.string()});
  }
  EXPECT_EQ(run.status, 1);
  EXPECT_NE(run.err.find("cannot write"), std::string::npos);
  std::ifstream in(out);
  const std::string kept((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  EXPECT_EQ(kept, "the earlier take");
  EXPECT_EQ(std::distance(fs::directory_iterator(dir), fs::directory_iterator()), 1);
}

}  // namespace
}  // namespace fretlets::cli
