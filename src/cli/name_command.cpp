#include <array>
#include <istream>
#include <ostream>
#include <span>
#include <sstream>

#include "cli/args.h"
#include "cli/commands.h"
#include "cli/json.h"
#include "music/chord_name.h"
#include "music/designer_chord.h"

namespace fretlets::cli {
namespace {

constexpr std::string_view kNameUsage =
    "usage: fretlets-cli name [--instrument INDEX|NAME] [--tuning N,N,...] --frets F,F,...\n"
    "                         [--root SLOT] [--enharmonic] [--json]\n"
    "       fretlets-cli name --batch\n"
    "\n"
    "  --frets       one fret per string, lowest string first: x or -1 mutes, 0 is open\n"
    "  --root        the root's string slot, 0 = lowest string (default: lowest sounding)\n"
    "  --enharmonic  spell with the alternative letters (Db rather than C#)\n"
    "  --batch       read one JSON request per line, answer one JSON line each\n";

struct Request {
  InstrumentState instrument;
  DesignerChord chord;
  int root = kNone;  // -1: the lowest sounding string
};

struct Answer {
  ChordName name;
  int rootString = kNone;
  std::array<std::string_view, kStringSlots> intervals{};
  std::array<std::string_view, kStringSlots> notes{};
  int strings = 0;
};

Answer answer(Request& request) {
  DesignerChord& chord = request.chord;
  const int strings = request.instrument.strings();
  computePitchClasses(chord, request.instrument.tuning);
  Answer result;
  result.strings = strings;
  if (request.root != kNone && (request.root >= strings || !chord.sounds(request.root))) {
    throw UsageError("root string " + std::to_string(request.root) + " is not a sounding string");
  }
  result.rootString = request.root != kNone ? request.root : lowestSoundingString(chord);
  if (result.rootString == kNone) {
    return result;
  }
  result.name = nameChord(chord, result.rootString);
  computeIntervals(chord, result.rootString);
  for (int s = 0; s < strings; ++s) {
    result.intervals[s] = intervalLabel(chord.intervals[s]);
    result.notes[s] = spellNote(chord, s);
  }
  return result;
}

std::string impliedList(const ImpliedIntervals& implied) {
  std::vector<int> degrees;
  for (const auto& [on, degree] : {std::pair{implied.third, 3}, std::pair{implied.fifth, 5},
                                   std::pair{implied.seventh, 7}, std::pair{implied.ninth, 9}}) {
    if (on) {
      degrees.push_back(degree);
    }
  }
  return jsonArray(degrees, [](int d) { return std::to_string(d); });
}

std::string toJson(const Answer& a) {
  const std::span<const std::string_view> intervals(a.intervals.data(), a.strings);
  const std::span<const std::string_view> notes(a.notes.data(), a.strings);
  std::string out = "{\"name\":";
  out += jsonQuote(a.name.found() ? composeChordName(a.name.root, a.name.type, a.name.bass) : "");
  out += ",\"root\":" + jsonQuote(a.name.root);
  out += ",\"type\":" + jsonQuote(a.name.type);
  out += ",\"bass\":" + jsonQuote(a.name.bass);
  out += ",\"implied\":" + impliedList(a.name.implied);
  out += ",\"rootString\":" + std::to_string(a.rootString);
  out += ",\"intervals\":" + jsonArray(intervals, jsonQuote);
  out += ",\"notes\":" + jsonArray(notes, jsonQuote);
  out += '}';
  return out;
}

void printPlain(const Answer& a, const Request& request, std::ostream& out) {
  const std::string_view instrument = instrumentTable[request.instrument.currentInstrument].name;
  if (a.rootString == kNone) {
    out << "No string sounds.\n";
    return;
  }
  if (a.name.found()) {
    out << composeChordName(a.name.root, a.name.type, a.name.bass);
    std::string implied;
    for (const auto& [on, degree] :
         {std::pair{a.name.implied.third, "3"}, std::pair{a.name.implied.fifth, "5"},
          std::pair{a.name.implied.seventh, "7"}, std::pair{a.name.implied.ninth, "9"}}) {
      if (on) {
        implied += implied.empty() ? "" : ", ";
        implied += degree;
      }
    }
    if (!implied.empty()) {
      out << "   (implied: " << implied << ")";
    }
    out << '\n';
  } else {
    out << "No chord type matches these intervals.\n";
  }
  out << instrument << "\n\n";
  out << "string  fret  interval  note\n";
  // Highest string first, as a player reads a chord chart top down.
  for (int s = a.strings - 1; s >= 0; --s) {
    std::ostringstream line;
    const int fret = request.chord.frets[s];
    line << "  " << (a.strings - s) << "     ";
    line << (fret == kNone ? std::string("x") : std::to_string(fret));
    if (fret != kNone) {
      line << std::string(fret >= 10 ? 4 : 5, ' ') << a.intervals[s];
      line << std::string(10 - a.intervals[s].size(), ' ') << a.notes[s];
      if (s == a.rootString) {
        line << std::string(6 - a.notes[s].size(), ' ') << "<- root";
      }
    }
    out << line.str() << '\n';
  }
}

int intMember(const JsonValue& object, std::string_view key, int fallback) {
  const JsonValue* member = object.find(key);
  if (member == nullptr) {
    return fallback;
  }
  if (!member->isNumber() || member->asNumber() != static_cast<int>(member->asNumber())) {
    throw UsageError("\"" + std::string(key) + "\" must be a whole number");
  }
  return static_cast<int>(member->asNumber());
}

std::vector<int> intArrayMember(const JsonValue& array, std::string_view key) {
  if (!array.isArray()) {
    throw UsageError("\"" + std::string(key) + "\" must be an array of numbers");
  }
  std::vector<int> values;
  for (const JsonValue& item : array.asArray()) {
    if (!item.isNumber() || item.asNumber() != static_cast<int>(item.asNumber())) {
      throw UsageError("\"" + std::string(key) + "\" must be an array of whole numbers");
    }
    values.push_back(static_cast<int>(item.asNumber()));
  }
  return values;
}

void checkRange(const std::vector<int>& values, std::string_view what, int min, int max) {
  for (const int v : values) {
    if (v < min || v > max) {
      throw UsageError(std::string(what) + " " + std::to_string(v) + " is outside " +
                       std::to_string(min) + ".." + std::to_string(max));
    }
  }
}

Request requestFromJson(std::string_view line) {
  const JsonValue doc = parseJson(line);
  if (!doc.isObject()) {
    throw UsageError("each line must be a JSON object");
  }
  const int instrument = intMember(doc, "instrument", kGuitar);
  if (!isInstrumentIndex(instrument)) {
    throw UsageError("unknown instrument " + std::to_string(instrument) + " (give 0..15)");
  }
  Request request;
  if (const JsonValue* tuning = doc.find("tuning")) {
    std::vector<int> notes = intArrayMember(*tuning, "tuning");
    checkRange(notes, "tuning note", 0, kMaxOpenNote);
    request.instrument = makeInstrumentState(instrument, notes);
  } else {
    adoptInstrument(request.instrument, instrument, instrumentTable[instrument].defaultTuning);
  }
  const JsonValue* frets = doc.find("frets");
  if (frets == nullptr) {
    throw UsageError("\"frets\" is required");
  }
  std::vector<int> fretList = intArrayMember(*frets, "frets");
  checkRange(fretList, "fret", kNone, kMaxFret);
  request.chord = chordFromFrets(fretList, request.instrument.strings());
  request.root = intMember(doc, "root", kNone);
  if (request.root < kNone || request.root >= kStringSlots) {
    throw UsageError("root string " + std::to_string(request.root) + " is not a sounding string");
  }
  if (const JsonValue* enharmonic = doc.find("enharmonic")) {
    if (!enharmonic->isBool()) {
      throw UsageError("\"enharmonic\" must be true or false");
    }
    request.chord.enharmonic = enharmonic->asBool();
  }
  return request;
}

int runBatch(Console& console) {
  std::string line;
  std::string reply;
  while (std::getline(console.in, line)) {
    if (line.find_first_not_of(" \t\r") == std::string::npos) {
      continue;
    }
    try {
      Request request = requestFromJson(line);
      reply = toJson(answer(request));
    } catch (const std::exception& error) {
      reply = "{\"error\":" + jsonQuote(error.what()) + "}";
    }
    console.out << reply << '\n';
  }
  console.out.flush();
  return 0;
}

}  // namespace

int runName(const std::vector<std::string>& words, Console& console) {
  try {
    const Args args(words, {"instrument", "tuning", "frets", "root"},
                    {"enharmonic", "json", "batch", "help"});
    if (args.has("help")) {
      console.out << kNameUsage;
      return 0;
    }
    if (!args.positional().empty()) {
      throw UsageError("unexpected argument '" + args.positional().front() + "'");
    }
    if (args.has("batch")) {
      return runBatch(console);
    }
    Request request;
    request.instrument = instrumentFromArgs(args);
    request.chord =
        chordFromFrets(parseFrets(args.required("frets")), request.instrument.strings());
    request.chord.enharmonic = args.has("enharmonic");
    if (const auto root = args.value("root")) {
      request.root = parseInt(*root, "root string", 0, request.instrument.strings() - 1);
    }
    const Answer result = answer(request);
    if (args.has("json")) {
      console.out << toJson(result) << '\n';
    } else {
      printPlain(result, request, console.out);
    }
    return 0;
  } catch (const std::exception& error) {
    console.err << "fretlets-cli name: " << error.what() << '\n';
    return 2;
  }
}

}  // namespace fretlets::cli
