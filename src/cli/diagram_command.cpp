#include <QString>

#include "cli/actions.h"
#include "cli/args.h"
#include "cli/commands.h"
#include "print/chord_diagram.h"

namespace fretlets::cli {
namespace {

constexpr std::string_view kDiagramUsage =
    "usage: fretlets-cli diagram --frets F,F,... [--instrument INDEX|NAME] [--tuning N,N,...]\n"
    "                            [--top-fret N] [--bar] [--root SLOT] [--name TEXT]\n"
    "                            [--left-handed] [--size PX] --out FILE.svg|FILE.png\n"
    "\n"
    "Draws a fingering as a chord diagram: its name above, the strings and frets, open and\n"
    "muted marks at the nut, the dots, the bar and the first fret's number.\n"
    "\n"
    "  --frets        absolute frets, lowest string first: x or -1 mutes, 0 is open\n"
    "  --top-fret     the diagram's top fret, 0..17 (default: where the fingering fits)\n"
    "  --bar          bar the top fret\n"
    "  --root         the root's string slot (default the lowest sounding string)\n"
    "  --name         the name above the diagram (default: the program's name of the chord)\n"
    "  --left-handed  the lowest string on the right\n"
    "  --size         the width in pixels, 40..4000 (default 200)\n";

// The top fret that shows every fretted string on the diagram's rows.
int fittingTopFret(const DesignerChord& chord, int strings) {
  int lowest = 0;
  int highest = 0;
  for (int s = 0; s < strings; ++s) {
    if (chord.frets[s] > 0) {
      lowest = lowest == 0 ? chord.frets[s] : std::min<int>(lowest, chord.frets[s]);
      highest = std::max<int>(highest, chord.frets[s]);
    }
  }
  return highest <= 5 ? 0 : std::min(lowest, kMaxTopFret);
}

}  // namespace

int runDiagram(const std::vector<std::string>& words, Console& console) {
  try {
    const Args args(words,
                    {"instrument", "tuning", "frets", "top-fret", "root", "name", "size", "out"},
                    {"bar", "left-handed", "help"});
    if (args.has("help")) {
      console.out << kDiagramUsage;
      return 0;
    }
    if (!args.positional().empty()) {
      throw UsageError("unexpected argument '" + args.positional().front() + "'");
    }
    const InstrumentState instrument = instrumentFromArgs(args);
    const int strings = instrument.strings();
    DesignerChord chord = chordFromFrets(parseFrets(args.required("frets")), strings);
    const auto top = args.value("top-fret");
    chord.topFret = static_cast<std::int8_t>(top ? parseInt(*top, "top fret", 0, kMaxTopFret)
                                                 : fittingTopFret(chord, strings));
    for (int s = 0; s < strings; ++s) {
      const int fret = chord.frets[s];
      if (fret > 0 && (fret < chord.topFret || fret > std::max(1, int{chord.topFret}) + 5)) {
        throw UsageError("fret " + std::to_string(fret) + " is off the diagram at top fret " +
                         std::to_string(chord.topFret));
      }
    }
    chord.barred = args.has("bar");
    const auto root = args.value("root");
    chord.rootString =
        static_cast<std::int8_t>(root ? parseInt(*root, "root string", 0, strings - 1)
                                      : std::max(0, lowestSoundingString(chord)));
    const std::string out = args.required("out");
    const bool svg = out.ends_with(".svg");
    if (!svg && !out.ends_with(".png")) {
      throw UsageError("the output must end in .svg or .png");
    }
    const auto size = args.value("size");
    const int width = size ? parseInt(*size, "size", 40, 4000) : 200;

    ensurePainting();
    const auto name = args.value("name");
    ChordDiagram diagram = diagramOfChord(
        chord, strings, name ? QString::fromStdString(*name) : chordNameOf(chord, instrument));
    diagram.leftHanded = args.has("left-handed");
    const QByteArray bytes = svg ? diagramSvg(diagram, width) : diagramPng(diagram, width);
    try {
      writeOutput(out, std::span(reinterpret_cast<const std::uint8_t*>(bytes.constData()),
                                 static_cast<std::size_t>(bytes.size())));
    } catch (const FormatError& error) {
      console.err << "fretlets-cli diagram: " << error.what() << '\n';
      return 1;
    }
    console.out << "wrote " << out << '\n';
    return 0;
  } catch (const std::exception& error) {
    console.err << "fretlets-cli diagram: " << error.what() << '\n';
    return 2;
  }
}

}  // namespace fretlets::cli
