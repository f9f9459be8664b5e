#include <algorithm>
#include <csignal>
#include <optional>
#include <ostream>

#include "cli/args.h"
#include "cli/commands.h"
#include "documents/byte_stream.h"
#include "documents/score.h"
#include "documents/score_file.h"
#include "documents/user_name.h"
#include "models/score_playback.h"
#include "sound/apply_patch.h"
#include "sound/fluid_synth_output.h"
#include "sound/midi_device.h"
#include "sound/owner_loop.h"
#include "sound/recording_output.h"
#include "sound/thread_timer_service.h"

namespace fretlets::cli {
namespace {

constexpr std::string_view kPlayUsage =
    "usage: fretlets-cli play SCORE [--tempo BPM] [--repeat] [--seconds S] [--monitor]\n"
    "       fretlets-cli play [--instrument INDEX|NAME] [--tuning N,N,...] --frets F,F,...\n"
    "                         [--seconds S] [--monitor]\n"
    "\n"
    "Plays a score live through the built-in synthesizer, chord after chord at its tempo, as\n"
    "the Score panel's Run plays it, until it ends, the seconds have passed or Ctrl+C; or\n"
    "strikes one fingering string by string and lets it ring.\n"
    "\n"
    "  --tempo    beats per minute, 20..750 (default: the score's own)\n"
    "  --repeat   start again from the first chord at the end\n"
    "  --seconds  stop after this long, 0.1..86400 (a fingering rings 3 by default)\n"
    "  --monitor  print each MIDI message as it leaves, after its millisecond, instead of\n"
    "             sounding it: \"250: 90 37 7F\"\n";

constexpr double kMaxSeconds = 86400;
constexpr double kFingeringSeconds = 3;
// The last chord's notes ring out this long after the run has ended.
constexpr std::chrono::milliseconds kRingOut(1000);
// How often the loop looks up from the sound to see whether Ctrl+C came.
constexpr std::chrono::milliseconds kLookUp(50);

// Set by Ctrl+C; a signal handler may do no more than this.
volatile std::sig_atomic_t interrupted = 0;

extern "C" void onInterrupt(int /*signal*/) {
  interrupted = 1;
}

// Runs the owner loop until done() holds, the time is up or Ctrl+C.
void pumpFor(OwnerLoop& loop, std::chrono::steady_clock::duration length,
             const std::function<bool()>& done) {
  const auto end = std::chrono::steady_clock::now() + length;
  while (interrupted == 0 && !done() && std::chrono::steady_clock::now() < end) {
    const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
        end - std::chrono::steady_clock::now());
    loop.pumpUntil(done, std::min(kLookUp, std::max(left, std::chrono::milliseconds(1))));
  }
}

// Prints what the device sends, when it sends it, as a MIDI monitor shows it.
// The device sends under its own lock, so lines never interleave.
class MonitorOutput : public MidiOutput {
 public:
  MonitorOutput(const TimerService& clock, std::ostream& out) : clock_(clock), out_(out) {}
  bool open() override { return true; }
  void send(std::uint32_t message) override {
    out_ << monitorText(message, clock_.now()) << std::endl;
  }
  void close() override {}

 private:
  const TimerService& clock_;
  std::ostream& out_;
};

}  // namespace

int runPlayTo(const std::vector<std::string>& words, Console& console,
              std::vector<AudioSink> sinks) {
  InstrumentState instrument;
  std::optional<Score> score;
  DesignerChord chord;
  std::chrono::duration<double> length{kMaxSeconds};
  bool repeat = false;
  bool monitorOnly = false;
  try {
    const Args args(words, {"instrument", "tuning", "frets", "tempo", "seconds"},
                    {"repeat", "monitor", "help"});
    if (args.has("help")) {
      console.out << kPlayUsage;
      return 0;
    }
    const auto& positional = args.positional();
    if (positional.size() > 1) {
      throw UsageError("unexpected argument '" + positional[1] + "'");
    }
    monitorOnly = args.has("monitor");
    const bool fingering = positional.empty();
    if (fingering == !args.has("frets")) {
      throw UsageError(fingering ? "give a score or --frets" : "give a score or --frets, not both");
    }
    for (const char* scoreOnly : {"tempo", "repeat"}) {
      if (fingering && args.has(scoreOnly)) {
        throw UsageError(std::string("--") + scoreOnly + " needs a score");
      }
    }
    for (const char* fingeringOnly : {"instrument", "tuning"}) {
      if (!fingering && args.has(fingeringOnly)) {
        throw UsageError(std::string("--") + fingeringOnly + " is the score's own");
      }
    }
    if (const auto seconds = args.value("seconds")) {
      length = std::chrono::duration<double>(parseSeconds(*seconds, 0.1, kMaxSeconds));
    } else if (fingering) {
      length = std::chrono::duration<double>(kFingeringSeconds);
    }
    if (fingering) {
      instrument = instrumentFromArgs(args);
      chord = chordFromFrets(parseFrets(args.required("frets")), instrument.strings());
    } else {
      try {
        score.emplace(readScore(positional.front(), instrument, false, userName()));
      } catch (const FormatError& error) {
        console.err << "fretlets-cli play: " << positional.front() << ": " << error.what() << '\n';
        return 1;
      }
      if (score->entries().empty()) {
        console.err << "fretlets-cli play: " << positional.front() << " has no chords\n";
        return 1;
      }
      repeat = args.has("repeat");
      // Playback keeps to the score's tempo unless told another.
      if (const auto bpm = args.value("tempo")) {
        score->tempo = parseInt(*bpm, "tempo", kMinTempo, kMaxTempo);
      }
    }
  } catch (const std::exception& error) {
    console.err << "fretlets-cli play: " << error.what() << '\n';
    return 2;
  }

  OwnerLoop loop;
  ThreadTimerService timers(loop.handOver());
  MonitorOutput monitor(timers, console.out);
  std::optional<FluidSynthOutput> synth;
  if (!monitorOnly) {
    synth.emplace(SynthMode::AudioDevice, systemSoundFonts(), std::move(sinks));
  }
  MidiDevice device(instrument, chord, timers,
                    {synth ? static_cast<MidiOutput&>(*synth) : monitor});
  if (!device.openMidiMapper()) {
    console.err << "fretlets-cli play: " << synth->error() << '\n';
    return 1;
  }
  interrupted = 0;
  const auto previous = std::signal(SIGINT, onInterrupt);
  const auto total = std::chrono::duration_cast<std::chrono::steady_clock::duration>(length);
  if (score) {
    applyPatch(device, static_cast<MidiStandard>(score->patch.midiStandard),
               score->patch.patchIndex);
    ScorePlayback playback(*score, chord, instrument, device, timers);
    playback.setRepeat(repeat);
    playback.run();
    const auto started = std::chrono::steady_clock::now();
    pumpFor(loop, total, [&] { return !playback.playing(); });
    // What is left of the time lets the last chord ring.
    const auto ringing = std::min<std::chrono::steady_clock::duration>(
        kRingOut, total - (std::chrono::steady_clock::now() - started));
    pumpFor(loop, ringing, [] { return false; });
  } else {
    device.arpeggiateChord(0);
    pumpFor(loop, total, [] { return false; });
  }
  std::signal(SIGINT, previous);
  device.closeMidi();
  timers.stop();
  return 0;
}

int runPlay(const std::vector<std::string>& words, Console& console) {
  return runPlayTo(words, console, desktopAudioSinks());
}

}  // namespace fretlets::cli
