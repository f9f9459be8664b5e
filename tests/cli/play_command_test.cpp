#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>

#include "sound/fluid_synth_output.h"
#include "support/cli_run.h"

namespace fretlets::cli {
namespace {

const std::string kWaltz =
    (std::filesystem::path(FRETLETS_SOURCE_DIR) / "resources/samples/Waltz in G.score").string();

TEST(PlayCommand, RefusesBadInputBeforeAnySound) {
  expectUsageErrors(runPlay, {
                                 {},
                                 {kWaltz, "--frets", "0,0,0,0,0,0"},
                                 {kWaltz, kWaltz},
                                 {kWaltz, "--tempo", "19"},
                                 {kWaltz, "--tempo", "751"},
                                 {kWaltz, "--seconds", "0"},
                                 {kWaltz, "--instrument", "banjo"},
                                 {"--frets", "0,0,0,0,0,0", "--repeat"},
                                 {"--frets", "0,0,0"},
                             });
  const CliRun missing = runCli(runPlay, {"/nonexistent/none.score"});
  EXPECT_EQ(missing.status, 1);
  EXPECT_NE(missing.err.find("/nonexistent/none.score: "), std::string::npos) << missing.err;
}

// ALSA's "null" device takes the sound on any machine, sound card or not.
TEST(PlayCommand, PlaysAScoreLiveForTheTimeAsked) {
  if (!findSoundFont(systemSoundFonts())) {
    GTEST_SKIP() << "no General MIDI SoundFont installed";
  }
  const auto start = std::chrono::steady_clock::now();
  std::istringstream in;
  std::ostringstream out;
  std::ostringstream err;
  Console console{in, out, err};
  const int status = runPlayTo({kWaltz, "--repeat", "--tempo", "300", "--seconds", "0.6"}, console,
                               {{"alsa", "null"}});
  if (status == 1 && err.str().find("audio output") != std::string::npos) {
    GTEST_SKIP() << "ALSA's null device is missing here: " << err.str();
  }
  EXPECT_EQ(status, 0) << err.str();
  const auto took = std::chrono::steady_clock::now() - start;
  // A repeating score stops when the time is up, not before; the upper bound
  // only tells a score that never stops from a slow first SoundFont load on a
  // busy machine (13 s seen).
  EXPECT_GE(took, std::chrono::milliseconds(600));
  EXPECT_LT(took, std::chrono::seconds(60));
}

}  // namespace
}  // namespace fretlets::cli
