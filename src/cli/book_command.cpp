#include <QByteArray>
#include <QString>
#include <algorithm>
#include <filesystem>
#include <ostream>
#include <string>

#include "cli/actions.h"
#include "cli/args.h"
#include "cli/commands.h"
#include "cli/json.h"
#include "documents/chord_book_file.h"
#include "documents/chord_pro.h"
#include "documents/text_codec.h"
#include "music/chord_name.h"
#include "music/fingering_reading.h"
#include "print/chord_book_pages.h"

namespace fretlets::cli {
namespace {

constexpr std::string_view kBookUsage =
    "usage: fretlets-cli book dump FILE [--json]\n"
    "       fretlets-cli book upgrade IN OUT\n"
    "       fretlets-cli book add FILE --type NAME --frets F,F,... [--top-fret N] [--bar]\n"
    "                             [--root SLOT] [--instrument INDEX|NAME] [--tuning N,N,...]\n"
    "\n"
    "       fretlets-cli book export-chordpro FILE [--out FILE.cho]\n"
    "       fretlets-cli book print FILE --out FILE.pdf\n"
    "       fretlets-cli book import-chordpro FILE.cho BOOK [--instrument INDEX|NAME]\n"
    "                                         [--tuning N,N,...]\n"
    "\n"
    "  dump      print the chord types and their fretlets as fret diagrams\n"
    "  upgrade   read any supported version and write the current one\n"
    "  add       file the fingering under chord type NAME; FILE is created for the\n"
    "            instrument and tuning given (default guitar, standard) when missing\n"
    "  --frets   absolute frets, lowest string first: x or -1 mutes, 0 is open\n"
    "  --top-fret the diagram's top fret, 0..17 (default 0)\n"
    "  --bar     bar the top fret\n"
    "  --root    the root's string slot (default the lowest sounding string)\n"
    "  export-chordpro  a {define} line per fretlet under a comment naming its chord type\n"
    "                   (standard output without --out)\n"
    "  print     the book as PDF pages: every chord type with its fretlets as diagrams\n"
    "  import-chordpro  file every {define} and {chord} of FILE.cho in BOOK, which is created\n"
    "                   for the instrument and tuning given, else those the file names\n";

// The version the file was written with; only after a successful read.
void printLine(std::string line, std::ostream& out) {
  line.erase(line.find_last_not_of(' ') + 1);
  out << line << '\n';
}

// A fretlet drawn as a player reads a chord box: strings across, lowest on
// the left, x and o above the nut, frets down the page.
void printDiagram(const FretletRecord& fretlet, int strings, std::ostream& out) {
  out << "    ";
  // An all-muted fretlet may keep a root slot the instrument does not have.
  if (fretlet.rootString < strings) {
    out << "root string " << (strings - fretlet.rootString) << ", ";
  }
  int firstRow = 0;
  if (fretlet.movable()) {
    out << (fretlet.position == FretletRecord::kMovableBarred ? "movable, barred" : "movable")
        << " (rows relative to the top fret)\n";
  } else {
    firstRow = fretlet.position == 0 ? 1 : fretlet.position;
    out << "fixed at fret " << static_cast<int>(fretlet.position) << '\n';
  }
  std::string nut = "        ";
  for (int s = 0; s < strings; ++s) {
    const int fret = fretlet.frets[s];
    const bool open = fretlet.movable() ? fret < kNone : fret == 0;
    nut += fret == kNone ? 'x' : open ? 'o' : ' ';
    nut += ' ';
  }
  printLine(nut, out);
  for (int row = 0; row < 6; ++row) {
    const int fret = firstRow + row;
    const std::string label = (fretlet.movable() ? "+" : "") + std::to_string(fret);
    std::string line = "    " + label + std::string(4 - label.size(), ' ');
    for (int s = 0; s < strings; ++s) {
      line += fretlet.frets[s] == fret ? 'O' : '|';
      line += ' ';
    }
    printLine(line, out);
  }
}

void printBook(const ChordBook& book, const InstrumentState& state, std::int32_t version,
               std::ostream& out) {
  out << "Chord book, version " << version << ": " << instrumentTable[state.currentInstrument].name
      << ", tuned " << tuningNames(state) << '\n';
  out << book.chords().size() << " chord types, " << book.totalFretlets() << " fretlets\n";
  for (const BookChord& chord : book.chords()) {
    const std::string name = windows1252ToUtf8(chord.name.view());
    out << '\n'
        << (name.empty() ? "(no type)" : name) << "  (" << chord.fretlets.size()
        << (chord.fretlets.size() == 1 ? " fretlet)\n" : " fretlets)\n");
    int index = 1;
    for (const FretletRecord& fretlet : chord.fretlets) {
      out << "  " << index++ << ".\n";
      printDiagram(fretlet, state.strings(), out);
    }
  }
}

Json slotsJson(const std::array<std::int8_t, kStringSlots>& slots, int strings) {
  Json values = Json::array();
  for (int s = 0; s < strings; ++s) {
    values.push_back(int{slots[s]});
  }
  return values;
}

void printJson(const ChordBook& book, const InstrumentState& state, std::int32_t version,
               std::ostream& out) {
  const int strings = state.strings();
  Json chords = Json::array();
  for (const BookChord& chord : book.chords()) {
    Json fretlets = Json::array();
    for (const FretletRecord& f : chord.fretlets) {
      Json fretlet;
      fretlet["rootString"] = int{f.rootString};
      fretlet["position"] = int{f.position};
      fretlet["frets"] = slotsJson(f.frets, strings);
      fretlets.push_back(std::move(fretlet));
    }
    Json entry;
    entry["name"] = windows1252ToUtf8(chord.name.view());
    entry["fretlets"] = std::move(fretlets);
    chords.push_back(std::move(entry));
  }
  Json doc;
  doc["version"] = version;
  doc["instrument"] = int{state.currentInstrument};
  doc["tuning"] = slotsJson(state.tuning, strings);
  doc["chords"] = std::move(chords);
  out << jsonText(doc) << '\n';
}

const DocumentKind<ChordBook> kBook{
    [](std::span<const std::uint8_t> bytes, InstrumentState& state) {
      return parseChordBook(bytes, state, false);
    },
    printBook, printJson,
    [](const ChordBook& book, const InstrumentState& state, const std::string& path) {
      writeChordBook(book, state, path);
    },
    kChordBookVersion};

// The Designer's chord from the command line, held to what the Designer
// itself allows: fretted strings on the six rows from the top fret down, and
// a root on a sounding string.
DesignerChord designerFromArgs(const Args& args, const InstrumentState& state) {
  const int strings = state.strings();
  DesignerChord chord = chordFromFrets(parseFrets(args.required("frets")), strings);
  if (const auto top = args.value("top-fret")) {
    chord.topFret = static_cast<std::int8_t>(parseInt(*top, "top fret", 0, kMaxTopFret));
  }
  chord.barred = args.has("bar");
  for (int s = 0; s < strings; ++s) {
    const int fret = chord.frets[s];
    if (fret > 0 && (fret < chord.topFret || fret > chord.topFret + 5)) {
      throw UsageError("fret " + std::to_string(fret) + " is off the diagram at top fret " +
                       std::to_string(chord.topFret) + " (it shows frets " +
                       std::to_string(chord.topFret) + ".." + std::to_string(chord.topFret + 5) +
                       ")");
    }
  }
  int root = lowestSoundingString(chord);
  if (const auto given = args.value("root")) {
    root = parseInt(*given, "root string", 0, strings - 1);
  }
  if (root == kNone || !chord.sounds(root)) {
    throw UsageError("the root must be a sounding string");
  }
  chord.rootString = static_cast<std::int8_t>(root);
  return chord;
}

int add(const Args& args, Console& console) {
  if (args.positional().size() != 2) {
    throw UsageError("add takes one FILE");
  }
  const std::string path = args.positional()[1];
  const std::string name = utf8ToWindows1252(args.required("type"));
  if (name.size() > kChordTypeNameMax) {
    throw UsageError("the chord type may have at most 29 characters");
  }
  InstrumentState state = instrumentFromArgs(args);
  const InstrumentState asked = state;
  const bool existed = pathExists(path);
  if (!existed) {
    // Bad input creates no file.
    designerFromArgs(args, state);
  }
  ChordBook book = openOrCreateChordBook(path, state, false);
  if (existed) {
    requireBookInstrument(args, state, asked);
  }
  const DesignerChord designer = designerFromArgs(args, state);
  if (!book.addFretlet(name, designer)) {
    console.out << "Fretlet exists\n";
    return 1;
  }
  writeChordBook(book, state, path);
  console.out << "Filed under \"" << args.required("type") << "\" as fretlet "
              << book.fretletIndex() << " of " << book.fretletCount() << " (chord type "
              << book.chordIndex() + 1 << " of " << book.chords().size() << ")\n";
  return 0;
}

ChordBook bookToExport(const Args& args, std::string_view action, InstrumentState& state) {
  if (args.positional().size() != 2) {
    throw UsageError(std::string(action) + " takes one FILE");
  }
  const std::string& path = args.positional()[1];
  try {
    return readChordBook(path, state, false);
  } catch (const FormatError& error) {
    throw FormatError(path + ": " + error.what());
  }
}

int exportChordPro(const Args& args, Console& console) {
  InstrumentState state;
  const ChordBook book = bookToExport(args, "export-chordpro", state);
  const std::string text = bookChordPro(book, state);
  writeTextOutput(args, console, text);
  return 0;
}

int print(const Args& args, Console& console) {
  const std::string out = args.required("out");
  InstrumentState state;
  const ChordBook book = bookToExport(args, "print", state);
  ensurePainting();
  const std::filesystem::path path(args.positional()[1]);
  const QByteArray pdf = chordBookPdf(book, state, QString::fromStdString(path.stem().string()));
  writePdfOutput(out, pdf, console);
  return 0;
}

int importChordPro(const Args& args, Console& console) {
  if (args.positional().size() != 3) {
    throw UsageError("import-chordpro takes FILE.cho and BOOK");
  }
  const std::string& source = args.positional()[1];
  const std::string& path = args.positional()[2];
  const std::vector<std::uint8_t> bytes = [&] {
    try {
      return readFileBytes(source);
    } catch (const FormatError& error) {
      throw FormatError(source + ": " + error.what());
    }
  }();
  const std::string_view text(reinterpret_cast<const char*>(bytes.data()), bytes.size());
  InstrumentState state = instrumentFromArgs(args);
  if (!args.has("instrument") && !args.has("tuning")) {
    // The instrument the file says it was written for, as far as it says.
    const ChordProText told = readChordPro(text, kStringSlots);
    if (told.instrument) {
      const Tuning& tuning =
          told.tuning ? *told.tuning : instrumentTable[*told.instrument].defaultTuning;
      std::vector<int> notes;
      std::ranges::copy_if(tuning, std::back_inserter(notes), [](int note) { return note >= 0; });
      state = makeInstrumentState(*told.instrument, notes);
    }
  }
  const InstrumentState asked = state;
  const bool existed = pathExists(path);
  ChordBook book = [&] {
    try {
      return openOrCreateChordBook(path, state, false);
    } catch (const FormatError& error) {
      throw FormatError(path + ": " + error.what());
    }
  }();
  if (existed) {
    requireBookInstrument(args, state, asked);
  }
  const ChordProText read = readChordPro(text, state.strings());
  std::vector<ChordProProblem> unreadable = read.unreadable;
  int filed = 0;
  int there = 0;
  for (const ChordProChord& chord : read.chords) {
    const std::string line = source + ":" + std::to_string(chord.line) + ": ";
    if (chord.chordType.size() > kChordTypeNameMax) {
      unreadable.push_back({chord.line, "the chord type has more than 29 characters"});
      continue;
    }
    const FingeringReading reading =
        readFingering(chord.chord, state.tuning, chord.chord.rootString);
    const std::string named =
        reading.name.found()
            ? composeChordName(reading.name.root, reading.name.type, reading.name.bass)
            : "";
    if (named != chord.name) {
      console.err << line << windows1252ToUtf8(chord.name) << " reads as "
                  << (named.empty() ? "no chord" : windows1252ToUtf8(named)) << '\n';
    }
    if (book.addFretlet(chord.chordType, chord.chord)) {
      ++filed;
    } else {
      ++there;
    }
  }
  std::ranges::sort(unreadable, {}, &ChordProProblem::line);
  for (const ChordProProblem& problem : unreadable) {
    console.err << source << ":" << problem.line << ": skipped: " << problem.message << '\n';
  }
  if (book.modified()) {
    writeOutput(path, chordBookBytes(book, state));
  }
  console.out << "Filed " << filed << (filed == 1 ? " fretlet" : " fretlets") << " in " << path;
  if (there > 0) {
    console.out << " (" << there << " already there)";
  }
  console.out << '\n';
  return unreadable.empty() ? 0 : 1;
}

}  // namespace

int runBook(const std::vector<std::string>& words, Console& console) {
  const CommandActions book{
      "book",
      kBookUsage,
      {"type", "frets", "top-fret", "root", "instrument", "tuning", "out"},
      {"json", "bar"},
      {{"dump",
        [](const Args& args, Console& console) { return dumpDocument(args, console, kBook); }},
       {"upgrade",
        [](const Args& args, Console& console) { return upgradeDocument(args, console, kBook); }},
       {"add", add},
       {"export-chordpro", exportChordPro},
       {"import-chordpro", importChordPro},
       {"print", print}}};
  return runActions(book, words, console);
}

}  // namespace fretlets::cli
