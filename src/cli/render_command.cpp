#include <sndfile.h>

#include <algorithm>
#include <cctype>
#include <charconv>
#include <cstdio>
#include <optional>

#include "cli/args.h"
#include "cli/commands.h"
#include "documents/byte_stream.h"
#include "music/patch_table.h"
#include "sound/apply_patch.h"
#include "sound/fluid_synth_output.h"
#include "sound/manual_timer_service.h"
#include "sound/midi_device.h"

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

// libsndfile writes into memory through these callbacks.
struct MemoryFile {
  std::vector<std::uint8_t> bytes;
  sf_count_t position = 0;
};

MemoryFile& memory(void* file) {
  return *static_cast<MemoryFile*>(file);
}

SF_VIRTUAL_IO memoryIo() {
  SF_VIRTUAL_IO io{};
  io.get_filelen = [](void* file) { return static_cast<sf_count_t>(memory(file).bytes.size()); };
  io.seek = [](sf_count_t offset, int whence, void* file) {
    MemoryFile& m = memory(file);
    const sf_count_t base = whence == SEEK_CUR   ? m.position
                            : whence == SEEK_END ? static_cast<sf_count_t>(m.bytes.size())
                                                 : 0;
    m.position = std::max<sf_count_t>(0, base + offset);
    return m.position;
  };
  io.read = [](void* out, sf_count_t count, void* file) {
    MemoryFile& m = memory(file);
    const auto size = static_cast<sf_count_t>(m.bytes.size());
    const sf_count_t n = std::clamp<sf_count_t>(size - m.position, 0, count);
    std::copy_n(m.bytes.begin() + m.position, n, static_cast<std::uint8_t*>(out));
    m.position += n;
    return n;
  };
  io.write = [](const void* in, sf_count_t count, void* file) {
    MemoryFile& m = memory(file);
    const auto end = static_cast<std::size_t>(m.position + count);
    if (end > m.bytes.size()) {
      m.bytes.resize(end);
    }
    std::copy_n(static_cast<const std::uint8_t*>(in), count, m.bytes.begin() + m.position);
    m.position += count;
    return count;
  };
  io.tell = [](void* file) { return memory(file).position; };
  return io;
}

// Interleaved 16-bit stereo as the bytes of a WAV file.
std::optional<std::vector<std::uint8_t>> wavBytes(const std::vector<std::int16_t>& samples) {
  SF_INFO info{};
  info.samplerate = FluidSynthOutput::kSampleRate;
  info.channels = 2;
  info.format = SF_FORMAT_WAV | SF_FORMAT_PCM_16;
  SF_VIRTUAL_IO io = memoryIo();
  MemoryFile file;
  SNDFILE* sound = sf_open_virtual(&io, SFM_WRITE, &info, &file);
  if (sound == nullptr) {
    return std::nullopt;
  }
  const auto count = static_cast<sf_count_t>(samples.size());
  const bool written = sf_write_short(sound, samples.data(), count) == count;
  if (sf_close(sound) != 0 || !written) {
    return std::nullopt;
  }
  return std::move(file.bytes);
}

// Goes through a temporary file, so a failed write leaves a file already
// at path as it was.
bool writeFile(const std::string& path, const std::vector<std::int16_t>& samples) {
  const auto bytes = wavBytes(samples);
  if (!bytes) {
    return false;
  }
  try {
    writeFileReplacing(path, *bytes);
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
    const double length = seconds ? parseSeconds(*seconds, 0.1, kMaxSeconds) : 3.0;

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
    if (!writeFile(out, renderTimeline(synth, timers, totalFrames))) {
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
