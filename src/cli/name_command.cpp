#include <array>
#include <climits>
#include <cmath>
#include <cstdint>
#include <istream>
#include <optional>
#include <ostream>
#include <sstream>

#include "cli/args.h"
#include "cli/commands.h"
#include "cli/json.h"
#include "music/chord_candidates.h"
#include "music/chord_name.h"
#include "music/designer_chord.h"
#include "music/fingering_reading.h"

namespace fretlets::cli {
namespace {

constexpr std::string_view kNameUsage =
    "usage: fretlets-cli name [--instrument INDEX|NAME] [--tuning N,N,...] --frets F,F,...\n"
    "                         [--root SLOT] [--enharmonic] [--json]\n"
    "       fretlets-cli name --candidates [--instrument ...] [--tuning ...] --frets F,F,...\n"
    "                         [--enharmonic] [--json]\n"
    "       fretlets-cli name --batch [--candidates]\n"
    "\n"
    "  --frets       one fret per string, lowest string first: x or -1 mutes, 0 is open\n"
    "  --root        the root's string slot, 0 = lowest string (default: lowest sounding)\n"
    "  --enharmonic  spell with the alternative letters (Db rather than C#)\n"
    "  --candidates  every name with a sounding string as root, the likeliest first\n"
    "  --batch       read one JSON request per line, answer one JSON line each\n"
    "                (with --candidates, or \"candidates\":true in a request, the\n"
    "                candidates; a request's own \"candidates\" wins)\n";

constexpr const char* kCandidatesRoot =
    "the candidates take every sounding string as root; leave out the root";

struct Request {
  InstrumentState instrument;
  DesignerChord chord;
  int root = kNone;  // -1: the lowest sounding string
  bool candidates = false;
};

struct Answer {
  ChordName name;
  int rootString = kNone;
  std::array<std::string_view, kStringSlots> intervals{};
  std::array<std::string_view, kStringSlots> notes{};
  int strings = 0;
};

Answer answer(const Request& request) {
  const DesignerChord& chord = request.chord;
  const int strings = request.instrument.strings();
  if (request.root != kNone && (request.root >= strings || !chord.sounds(request.root))) {
    throw UsageError("root string " + std::to_string(request.root) + " is not a sounding string");
  }
  const FingeringReading reading = readFingering(chord, request.instrument.tuning, request.root);
  Answer result;
  result.strings = strings;
  result.rootString = reading.rootString;
  result.name = reading.name;
  for (int s = 0; s < strings; ++s) {
    result.intervals[s] = intervalLabel(reading.strings[s].interval);
    result.notes[s] = reading.strings[s].note;
  }
  return result;
}

Json toJson(const Answer& a) {
  Json implied = Json::array();
  for (const auto& [on, degree] :
       {std::pair{a.name.implied.third, 3}, std::pair{a.name.implied.fifth, 5},
        std::pair{a.name.implied.seventh, 7}, std::pair{a.name.implied.ninth, 9}}) {
    if (on) {
      implied.push_back(degree);
    }
  }
  Json intervals = Json::array();
  Json notes = Json::array();
  for (int s = 0; s < a.strings; ++s) {
    intervals.push_back(a.intervals[s]);
    notes.push_back(a.notes[s]);
  }
  Json out;
  out["name"] = a.name.found() ? composeChordName(a.name.root, a.name.type, a.name.bass) : "";
  out["root"] = a.name.root;
  out["type"] = a.name.type;
  out["bass"] = a.name.bass;
  out["implied"] = std::move(implied);
  out["rootString"] = a.rootString;
  out["intervals"] = std::move(intervals);
  out["notes"] = std::move(notes);
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

Json impliedJson(const ImpliedIntervals& implied) {
  Json degrees = Json::array();
  for (const auto& [on, degree] : {std::pair{implied.third, 3}, std::pair{implied.fifth, 5},
                                   std::pair{implied.seventh, 7}, std::pair{implied.ninth, 9}}) {
    if (on) {
      degrees.push_back(degree);
    }
  }
  return degrees;
}

std::vector<ChordCandidate> candidatesOf(const Request& request) {
  return chordCandidates(request.chord, request.instrument.tuning);
}

Json candidatesJson(const std::vector<ChordCandidate>& candidates) {
  Json list = Json::array();
  for (const ChordCandidate& c : candidates) {
    Json entry;
    entry["rootString"] = c.rootString;
    entry["name"] = composeChordName(c.name.root, c.name.type, c.name.bass);
    entry["root"] = c.name.root;
    entry["type"] = c.name.type;
    entry["bass"] = c.name.bass;
    entry["implied"] = impliedJson(c.name.implied);
    entry["score"] = c.score;
    list.push_back(std::move(entry));
  }
  Json out;
  out["candidates"] = std::move(list);
  return out;
}

void printCandidates(const std::vector<ChordCandidate>& candidates, const Request& request,
                     std::ostream& out) {
  if (lowestSoundingString(request.chord) == kNone) {
    out << "No string sounds.\n";
    return;
  }
  if (candidates.empty()) {
    out << "No chord type matches these intervals from any root.\n";
    return;
  }
  const int strings = request.instrument.strings();
  out << "rank  name                 root string  implied  score\n";
  int rank = 1;
  for (const ChordCandidate& c : candidates) {
    std::string implied;
    for (const auto& degree : impliedJson(c.name.implied)) {
      implied += (implied.empty() ? "" : ",") + std::to_string(degree.get<int>());
    }
    const std::string name = composeChordName(c.name.root, c.name.type, c.name.bass);
    const std::string root = std::to_string(strings - c.rootString);
    std::ostringstream line;
    line << std::string(rank < 10 ? 3 : 2, ' ') << rank << "  " << name
         << std::string(name.size() < 21 ? 21 - name.size() : 1, ' ') << root
         << std::string(13 - root.size(), ' ') << implied
         << std::string(implied.size() < 9 ? 9 - implied.size() : 1, ' ') << c.score;
    out << line.str() << '\n';
    ++rank;
  }
}

// A JSON number that is a whole number an int holds; anything else, 1e10
// or 2.5, is a bad request.
std::optional<int> wholeNumber(const Json& value) {
  if (value.is_number_integer()) {
    const auto n = value.get<std::int64_t>();
    if (value.is_number_unsigned() && value.get<std::uint64_t>() > INT_MAX) {
      return std::nullopt;
    }
    return n >= INT_MIN && n <= INT_MAX ? std::optional<int>(static_cast<int>(n)) : std::nullopt;
  }
  if (value.is_number_float()) {
    const double d = value.get<double>();
    if (std::isfinite(d) && d == std::floor(d) && d >= INT_MIN && d <= INT_MAX) {
      return static_cast<int>(d);
    }
  }
  return std::nullopt;
}

int intMember(const Json& object, const std::string& key, int fallback) {
  const auto member = object.find(key);
  if (member == object.end()) {
    return fallback;
  }
  const std::optional<int> value = wholeNumber(*member);
  if (!value) {
    throw UsageError("\"" + key + "\" must be a whole number");
  }
  return *value;
}

std::vector<int> intArrayMember(const Json& array, const std::string& key) {
  if (!array.is_array()) {
    throw UsageError("\"" + key + "\" must be an array of numbers");
  }
  std::vector<int> values;
  for (const Json& item : array) {
    const std::optional<int> value = wholeNumber(item);
    if (!value) {
      throw UsageError("\"" + key + "\" must be an array of whole numbers");
    }
    values.push_back(*value);
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

// With --candidates every line asks for the candidates unless it says otherwise.
Request requestFromJson(std::string_view line, bool candidatesByDefault) {
  const Json doc = Json::parse(line);
  if (!doc.is_object()) {
    throw UsageError("each line must be a JSON object");
  }
  const int instrument = intMember(doc, "instrument", kGuitar);
  if (!isInstrumentIndex(instrument)) {
    throw UsageError("unknown instrument " + std::to_string(instrument) + " (give 0..15)");
  }
  Request request;
  if (const auto tuning = doc.find("tuning"); tuning != doc.end()) {
    std::vector<int> notes = intArrayMember(*tuning, "tuning");
    checkRange(notes, "tuning note", 0, kMaxOpenNote);
    request.instrument = makeInstrumentState(instrument, notes);
  } else {
    adoptInstrument(request.instrument, instrument, instrumentTable[instrument].defaultTuning);
  }
  const auto frets = doc.find("frets");
  if (frets == doc.end()) {
    throw UsageError("\"frets\" is required");
  }
  std::vector<int> fretList = intArrayMember(*frets, "frets");
  checkRange(fretList, "fret", kNone, kMaxFret);
  request.chord = chordFromFrets(fretList, request.instrument.strings());
  request.root = intMember(doc, "root", kNone);
  if (request.root < kNone || request.root >= kStringSlots) {
    throw UsageError("root string " + std::to_string(request.root) + " is not a sounding string");
  }
  if (const auto enharmonic = doc.find("enharmonic"); enharmonic != doc.end()) {
    if (!enharmonic->is_boolean()) {
      throw UsageError("\"enharmonic\" must be true or false");
    }
    request.chord.enharmonic = enharmonic->get<bool>();
  }
  if (const auto candidates = doc.find("candidates"); candidates != doc.end()) {
    if (!candidates->is_boolean()) {
      throw UsageError("\"candidates\" must be true or false");
    }
    request.candidates = candidates->get<bool>();
  } else {
    request.candidates = candidatesByDefault;
  }
  if (request.candidates && request.root != kNone) {
    throw UsageError(kCandidatesRoot);
  }
  return request;
}

int runBatch(bool candidatesByDefault, Console& console) {
  std::string line;
  std::string reply;
  while (std::getline(console.in, line)) {
    if (line.find_first_not_of(" \t\r") == std::string::npos) {
      continue;
    }
    try {
      Request request = requestFromJson(line, candidatesByDefault);
      reply = jsonText(request.candidates ? candidatesJson(candidatesOf(request))
                                          : toJson(answer(request)));
    } catch (const std::exception& error) {
      reply = jsonText(Json{{"error", error.what()}});
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
                    {"enharmonic", "json", "batch", "candidates", "help"});
    if (args.has("help")) {
      console.out << kNameUsage;
      return 0;
    }
    if (!args.positional().empty()) {
      throw UsageError("unexpected argument '" + args.positional().front() + "'");
    }
    if (args.has("batch")) {
      return runBatch(args.has("candidates"), console);
    }
    Request request;
    request.instrument = instrumentFromArgs(args);
    request.chord =
        chordFromFrets(parseFrets(args.required("frets")), request.instrument.strings());
    request.chord.enharmonic = args.has("enharmonic");
    if (const auto root = args.value("root")) {
      request.root = parseInt(*root, "root string", 0, request.instrument.strings() - 1);
    }
    if (args.has("candidates")) {
      if (request.root != kNone) {
        throw UsageError(kCandidatesRoot);
      }
      const std::vector<ChordCandidate> candidates = candidatesOf(request);
      if (args.has("json")) {
        console.out << jsonText(candidatesJson(candidates)) << '\n';
      } else {
        printCandidates(candidates, request, console.out);
      }
      return 0;
    }
    const Answer result = answer(request);
    if (args.has("json")) {
      console.out << jsonText(toJson(result)) << '\n';
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
