#include <filesystem>
#include <optional>
#include <ostream>
#include <sstream>
#include <string>

#include "cli/actions.h"
#include "cli/args.h"
#include "cli/commands.h"
#include "cli/json.h"
#include "documents/byte_stream.h"
#include "documents/chord_book_file.h"
#include "music/chord_request.h"
#include "music/chord_type.h"
#include "music/voicing_finder.h"

namespace fretlets::cli {
namespace {

constexpr std::string_view kVoicingsUsage =
    "usage: fretlets-cli voicings --chord NAME [--bass NOTE] [--instrument INDEX|NAME]\n"
    "                             [--tuning N,N,...] [--span N] [--position LOW-HIGH]\n"
    "                             [--root-position] [--max N] [--json] [--into-book FILE]\n"
    "\n"
    "  --chord      a root and a chord type of the program's own, such as Cmaj7, F#m7b5,\n"
    "               Bb7#9 or C (a major triad); C/E gives the bass too\n"
    "  --bass       the bass note (default any note of the chord: the inversions are\n"
    "               listed too, each as its slash chord, C/E, C/G)\n"
    "  --root-position  only fingerings with the root in the bass\n"
    "  --span       frets the fretted notes may cover, 1..6 (default 4)\n"
    "  --position   the range of the lowest fretted fret (default 0-22)\n"
    "  --max        how many fingerings to show, easiest first (default 10)\n"
    "  --into-book  file the shown fingerings in this chord book as the Chord Book's Add\n"
    "               does; a missing book is created for the instrument and tuning\n";

ChordRequest parseChord(const std::string& text) {
  const std::optional<ChordRequest> chord = parseChordRequest(text);
  if (!chord) {
    throw UsageError("unknown chord '" + text + "' (give a root and a chord type, such as Cmaj7)");
  }
  return *chord;
}

std::pair<int, int> parsePositions(const std::string& text) {
  const std::size_t dash = text.find('-');
  if (dash == std::string::npos) {
    const int position = parseInt(text, "position", 0, kMaxFret);
    return {position, position};
  }
  const int low = parseInt(text.substr(0, dash), "position", 0, kMaxFret);
  const int high = parseInt(text.substr(dash + 1), "position", 0, kMaxFret);
  if (low > high) {
    throw UsageError("position range " + text + " runs backwards");
  }
  return {low, high};
}

std::string fretsText(const Voicing& v, int strings) {
  std::string text;
  for (int s = 0; s < strings; ++s) {
    text += s == 0 ? "" : ",";
    text += v.frets[s] == kNone ? std::string("x") : std::to_string(v.frets[s]);
  }
  return text;
}

std::string impliedText(const ImpliedIntervals& implied) {
  std::string text;
  for (const auto& [on, degree] :
       {std::pair{implied.third, "3"}, std::pair{implied.fifth, "5"},
        std::pair{implied.seventh, "7"}, std::pair{implied.ninth, "9"}}) {
    if (on) {
      text += text.empty() ? "" : ",";
      text += degree;
    }
  }
  return text;
}

std::string padded(std::string text, std::size_t width) {
  text.resize(std::max(width, text.size() + 1), ' ');
  return text;
}

Json voicingJson(const Voicing& v, int strings) {
  Json frets = Json::array();
  for (int s = 0; s < strings; ++s) {
    frets.push_back(int{v.frets[s]});
  }
  Json implied = Json::array();
  for (const auto& [on, degree] :
       {std::pair{v.name.implied.third, 3}, std::pair{v.name.implied.fifth, 5},
        std::pair{v.name.implied.seventh, 7}, std::pair{v.name.implied.ninth, 9}}) {
    if (on) {
      implied.push_back(degree);
    }
  }
  Json out;
  out["frets"] = std::move(frets);
  out["rootString"] = v.rootString;
  out["name"] = composeChordName(v.name.root, v.name.type, v.name.bass);
  out["implied"] = std::move(implied);
  out["position"] = v.position;
  out["span"] = v.span;
  out["fingers"] = v.fingers;
  out["barre"] = v.barre;
  out["mutedInner"] = v.mutedInner;
  out["cost"] = v.cost;
  return out;
}

struct Filed {
  int added = 0;
  int existing = 0;
};

// Each fingering goes in as the Designer would show it, through the book's
// own Add.
Filed fileInBook(const std::string& path, const std::vector<Voicing>& voicings,
                 std::string_view type, bool enharmonic, InstrumentState& state) {
  ChordBook book = openOrCreateChordBook(path, state, false);
  Filed filed;
  for (const Voicing& v : voicings) {
    if (book.addFretlet(type, designerChordFor(v, enharmonic))) {
      ++filed.added;
    } else {
      ++filed.existing;
    }
  }
  if (filed.added > 0) {
    writeChordBook(book, state, path);
  }
  return filed;
}

int voicings(const Args& args, Console& console) {
  if (!args.positional().empty()) {
    throw UsageError("unexpected argument '" + args.positional().front() + "'");
  }
  const std::string chordText = args.required("chord");
  ChordRequest chord = parseChord(chordText);
  if (const auto bass = args.value("bass")) {
    const std::optional<int> bassClass = noteClass(*bass);
    if (!bassClass) {
      throw UsageError("unknown bass note '" + *bass + "'");
    }
    chord.bassClass = *bassClass;
  }
  if (args.has("root-position") && chord.bassClass != kNone && chord.bassClass != chord.rootClass) {
    throw UsageError(
        "--root-position asks for the root in the bass, but the bass given is another");
  }
  // The root asked as the bass (C/C, --bass C) is the root position.
  const bool rootPosition = args.has("root-position") || chord.bassClass == chord.rootClass;
  if (chord.bassClass == chord.rootClass) {
    chord.bassClass = kNone;
  }
  InstrumentState state = instrumentFromArgs(args);
  const std::optional<std::string> bookPath = args.value("into-book");
  if (bookPath && pathExists(*bookPath)) {
    // An existing book keeps its instrument and tuning; the search is for them.
    const InstrumentState asked = state;
    readChordBook(*bookPath, state, false);
    requireBookInstrument(args, state, asked);
  }
  VoicingQuery query;
  query.rootClass = chord.rootClass;
  query.typeRow = chord.typeRow;
  query.bassClass = chord.bassClass;
  query.enharmonic = chord.enharmonic;
  query.rootPosition = rootPosition;
  query.strings = state.strings();
  query.tuning = state.tuning;
  if (const auto span = args.value("span")) {
    query.span = parseInt(*span, "span", 1, 6);
  }
  if (const auto positions = args.value("position")) {
    std::tie(query.lowestPosition, query.highestPosition) = parsePositions(*positions);
  }
  int max = 10;
  if (const auto given = args.value("max")) {
    max = parseInt(*given, "max", 1, 100000);
  }

  std::vector<Voicing> found = findVoicings(query);
  const std::size_t total = found.size();
  if (found.size() > static_cast<std::size_t>(max)) {
    found.resize(static_cast<std::size_t>(max));
  }
  const int strings = state.strings();
  const std::string_view type = chordTypeTable[chord.typeRow].suffix;
  std::optional<Filed> filed;
  if (bookPath && !found.empty()) {
    filed = fileInBook(*bookPath, found, type, chord.enharmonic, state);
  }

  if (args.has("json")) {
    Json list = Json::array();
    for (const Voicing& v : found) {
      list.push_back(voicingJson(v, strings));
    }
    Json out;
    out["instrument"] = int{state.currentInstrument};
    Json tuning = Json::array();
    for (int s = 0; s < strings; ++s) {
      tuning.push_back(int{state.tuning[s]});
    }
    out["tuning"] = std::move(tuning);
    out["total"] = total;
    out["voicings"] = std::move(list);
    if (filed) {
      out["filed"] = filed->added;
      out["existing"] = filed->existing;
    }
    console.out << jsonText(out) << '\n';
    return 0;
  }
  const std::string instrument(instrumentTable[state.currentInstrument].name);
  if (found.empty()) {
    console.out << "No playable fingering of " << chordText << " on the " << instrument
                << " within these limits.\n";
    return 0;
  }
  const std::string bass(chord.bassClass == kNone ? "" : found.front().name.bass);
  console.out << found.front().name.root << type << (bass.empty() ? "" : "/") << bass << " on the "
              << instrument << " tuned " << tuningNames(state) << ": " << found.size() << " of "
              << total << (total == 1 ? " fingering\n\n" : " fingerings\n\n");
  console.out << padded("frets", 3 * strings + 2) << padded("chord", 12)
              << "fingers  span  position  implied\n";
  for (const Voicing& v : found) {
    std::ostringstream line;
    line << padded(fretsText(v, strings), 3 * strings + 2)
         << padded(composeChordName(v.name.root, v.name.type, v.name.bass), 12)
         << padded(std::to_string(v.fingers) + (v.barre ? " b" : ""), 9)
         << padded(std::to_string(v.span), 6) << padded(std::to_string(v.position), 10)
         << impliedText(v.name.implied);
    std::string text = line.str();
    text.erase(text.find_last_not_of(' ') + 1);
    console.out << text << '\n';
  }
  if (filed) {
    console.out << "\nFiled " << filed->added << (filed->added == 1 ? " fretlet" : " fretlets")
                << " under \"" << type << "\" in " << *bookPath;
    if (filed->existing > 0) {
      console.out << " (" << filed->existing << " already there)";
    }
    console.out << '\n';
  }
  return 0;
}

}  // namespace

int runVoicings(const std::vector<std::string>& words, Console& console) {
  try {
    const Args args(
        words, {"chord", "bass", "instrument", "tuning", "span", "position", "max", "into-book"},
        {"json", "root-position", "help"});
    if (args.has("help")) {
      console.out << kVoicingsUsage;
      return 0;
    }
    try {
      return voicings(args, console);
    } catch (const FormatError& error) {
      console.err << error.what() << '\n';
      return 1;
    }
  } catch (const UsageError& error) {
    console.err << "fretlets-cli voicings: " << error.what() << '\n';
    return 2;
  }
}

}  // namespace fretlets::cli
