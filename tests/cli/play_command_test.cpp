
#include <chrono>

#include "sound/fluid_synth_output.h"
#include "support/cli_run.h"
#include "support/document_test_support.h"

namespace fretlets::cli {
namespace {

const std::string kWaltz = document_test::sample("Waltz in G.score");

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

// What a score and a fingering send, in order, as they leave: the patch and
// silence, then the G chord, then the strings Em changes stopped and struck;
// a fingering string by string.
TEST(PlayCommand, TheMonitorPrintsEveryMessageAsItLeaves) {
  const auto messages = [](const std::vector<std::string>& args, std::size_t count) {
    const CliRun run = runCli(runPlay, args);
    EXPECT_EQ(run.status, 0) << run.err;
    std::istringstream lines(run.out);
    std::string sent;
    long last = 0;
    for (std::string line; sent.size() < 9 * count && std::getline(lines, line);) {
      const long ms = std::stol(line);
      EXPECT_GE(ms, last) << line;
      last = ms;
      sent += line.substr(line.find(": ") + 2) + " ";
    }
    return sent;
  };
  EXPECT_EQ(messages({kWaltz, "--monitor", "--tempo", "750", "--seconds", "0.3"}, 11),
            "B0 20 00 C0 18 00 B0 7B 00 90 2B 7F 90 2F 7F 90 32 7F 90 37 7F 90 3B 7F 90 43 7F "
            "80 2B 00 90 28 7F ");
  EXPECT_EQ(messages({"--frets", "x,3,2,0,1,0", "--monitor", "--seconds", "0.1"}, 5),
            "90 30 7F 90 34 7F 90 37 7F 90 3C 7F 90 40 7F ");
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
