#include <algorithm>
#include <cctype>
#include <charconv>
#include <sstream>

#include "cli/args.h"
#include "cli/commands.h"
#include "midi/apply_patch.h"
#include "midi/fluid_synth_output.h"
#include "midi/manual_timer_service.h"
#include "midi/midi_device.h"
#include "midi/patch_table.h"
#include "midi/wav_file.h"
#include "music/byte_stream.h"

namespace fretlets::cli {
namespace {

constexpr std::string_view kRenderUsage =
    "usage: fretlets-cli render [--instrument INDEX|NAME] [--tuning N,N,...] --frets F,F,...\n"
    "                           [--open-strings] [--patch GM:ROW|XG:ROW] [--velocity 0..127]\n"
    "                           [--delay MS] [--seconds S] --out FILE.wav\n"
    "\n"
    "Renders a fingering with the built-in synthesizer to a 16-bit stereo WAV file,\n"
    "struck string by string as the Chord Designer's Play button strikes it.\n"
    "\n"
    "  --frets         one fret per string, lowest string first: x or -1 mutes, 0 is open\n"
    "  --open-strings  play the open strings instead, half a second apart (--frets not needed)\n"
    "  --patch         a row of the GM (0..127) or XG (0..437) patch list, e.g. GM:24 or XG:96\n"
    "                  (default: the synthesizer's first sound, a grand piano)\n"
    "  --velocity      how hard the strings are struck (default 127)\n"
    "  --delay         milliseconds between two strings, 1..500 (default 1)\n"
    "  --seconds       length of the file, 0.1..60 (default 3)\n";

constexpr double kMaxSeconds = 60;

struct PatchChoice {
  MidiStandard standard = MidiStandard::GM;
  int row = 0;
};

PatchChoice parsePatch(std::string_view text) {
  const std::size_t colon = text.find(':');
  std::string standard(text.substr(0, colon));
  for (char& c : standard) {
    c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
  }
  if (colon == std::string_view::npos || (standard != "GM" && standard != "XG")) {
    throw UsageError("patch '" + std::string(text) + "' is not GM:ROW or XG:ROW");
  }
  const MidiStandard chosen = standard == "XG" ? MidiStandard::XG : MidiStandard::GM;
  const int rows = static_cast<int>(patchTable(chosen).size());
  return {chosen, parseInt(text.substr(colon + 1), standard + " patch row", 0, rows - 1)};
}

double parseSeconds(std::string_view text) {
  double seconds = 0;
  const char* end = text.data() + text.size();
  const auto [ptr, ec] = std::from_chars(text.data(), end, seconds);
  if (text.empty() || ec != std::errc{} || ptr != end) {
    throw UsageError("seconds '" + std::string(text) + "' is not a number");
  }
  if (!(seconds >= 0.1 && seconds <= kMaxSeconds)) {
    throw UsageError("seconds " + std::string(text) + " is outside 0.1..60");
  }
  return seconds;
}

std::int64_t frameAt(std::chrono::microseconds time) {
  return time.count() * FluidSynthOutput::kSampleRate / 1'000'000;
}

// Runs the clock through the whole length, rendering the sound between one
// timer and the next, so every message lands on the frame it was sent at.
std::vector<std::int16_t> renderTimeline(FluidSynthOutput& synth, ManualTimerService& timers,
                                         std::int64_t totalFrames) {
  std::vector<std::int16_t> samples(static_cast<std::size_t>(totalFrames) * 2);
  std::int64_t rendered = 0;
  while (rendered < totalFrames) {
    const auto next = timers.nextDeadline();
    const std::int64_t until = next ? std::min(frameAt(*next), totalFrames) : totalFrames;
    synth.render(std::span(samples).subspan(rendered * 2, (until - rendered) * 2));
    rendered = until;
    if (next && until < totalFrames) {
      timers.advance(std::chrono::duration_cast<std::chrono::milliseconds>(*next - timers.now()));
    }
  }
  return samples;
}

// Goes through a temporary file, so a failed write leaves a file already
// at path as it was.
bool writeFile(const std::string& path, const WavFile& wav) {
  std::ostringstream bytes;
  if (!writeWav(bytes, wav)) {
    return false;
  }
  const std::string data = bytes.str();
  try {
    writeFileReplacing(path, {reinterpret_cast<const std::uint8_t*>(data.data()), data.size()});
  } catch (const FormatError&) {
    return false;
  }
  return true;
}

}  // namespace

int runRender(const std::vector<std::string>& words, Console& console) {
  try {
    const Args args(
        words, {"instrument", "tuning", "frets", "patch", "velocity", "delay", "seconds", "out"},
        {"open-strings", "help"});
    if (args.has("help")) {
      console.out << kRenderUsage;
      return 0;
    }
    if (!args.positional().empty()) {
      throw UsageError("unexpected argument '" + args.positional().front() + "'");
    }
    const InstrumentState instrument = instrumentFromArgs(args);
    const bool openStrings = args.has("open-strings");
    DesignerChord chord;
    if (!openStrings || args.has("frets")) {
      chord = chordFromFrets(parseFrets(args.required("frets")), instrument.strings());
    }
    const std::string out = args.required("out");
    const auto patch = args.value("patch");
    const PatchChoice choice = patch ? parsePatch(*patch) : PatchChoice{};
    const auto velocity = args.value("velocity");
    const int strikeVelocity = velocity ? parseInt(*velocity, "velocity", 0, 127) : 127;
    const auto delay = args.value("delay");
    const int delayMs = delay ? parseInt(*delay, "delay", 1, 500) : 1;
    const auto seconds = args.value("seconds");
    const double length = seconds ? parseSeconds(*seconds) : 3.0;

    FluidSynthOutput synth(SynthMode::Offline);
    ManualTimerService timers;
    MidiDevice device(instrument, chord, timers, {synth});
    if (!device.openMidiMapper()) {
      console.err << "fretlets-cli render: " << synth.error() << '\n';
      return 1;
    }
    device.velocity = static_cast<std::uint8_t>(strikeVelocity);
    device.arpeggioDelayMs = delayMs;
    if (patch) {
      applyPatch(device, choice.standard, choice.row);
    }
    if (openStrings) {
      device.playOpenStrings(0);
    } else {
      device.arpeggiateChord(0);
    }
    const auto totalFrames = static_cast<std::int64_t>(length * FluidSynthOutput::kSampleRate);
    WavFile wav;
    wav.sampleRate = FluidSynthOutput::kSampleRate;
    wav.samples = renderTimeline(synth, timers, totalFrames);
    if (!writeFile(out, wav)) {
      console.err << "fretlets-cli render: cannot write " << out << '\n';
      return 1;
    }
    console.out << "wrote " << out << '\n';
    return 0;
  } catch (const std::exception& error) {
    console.err << "fretlets-cli render: " << error.what() << '\n';
    return 2;
  }
}

}  // namespace fretlets::cli
