#include <QByteArray>
#include <algorithm>
#include <array>
#include <ostream>
#include <string>

#include "cli/actions.h"
#include "cli/args.h"
#include "cli/commands.h"
#include "cli/json.h"
#include "documents/chord_pro.h"
#include "documents/score_file.h"
#include "documents/text_codec.h"
#include "documents/user_name.h"
#include "models/score_midi_file.h"
#include "music/patch_table.h"
#include "print/score_chart.h"

namespace fretlets::cli {
namespace {

constexpr std::string_view kScoreUsage =
    "usage: fretlets-cli score dump FILE [--json]\n"
    "       fretlets-cli score upgrade IN OUT\n"
    "       fretlets-cli score export-midi FILE --out FILE.mid\n"
    "       fretlets-cli score export-chordpro FILE [--out FILE.cho]\n"
    "       fretlets-cli score print FILE --out FILE.pdf\n"
    "\n"
    "  dump         print the score's properties and its chords with their lengths\n"
    "  upgrade      read any supported version and write the current one\n"
    "  export-midi  write a Standard MIDI File that sounds as the score's playback: the\n"
    "               tempo, the patch, each chord's name as a marker at its onset\n"
    "  export-chordpro  a ChordPro chord chart: title, composer, tempo, a grid line per bar\n"
    "                   and a {define} for each fingering (standard output without --out)\n"
    "  print        a chord chart as PDF: title, composer, tempo, the chords with their\n"
    "               lengths in beats and a diagram of each fingering\n";

std::string fretsText(const ScoreEntry& entry, int strings) {
  std::string out;
  for (int s = 0; s < strings; ++s) {
    out += s == 0 ? "" : ",";
    out += entry.frets[s] == kNone ? "x" : std::to_string(entry.frets[s]);
    out += entry.held[s] ? "h" : "";
  }
  return out;
}

// The reader has checked the row against its table.
std::string_view patchName(const ScorePatch& patch) {
  const auto standard = static_cast<MidiStandard>(patch.midiStandard);
  return patchTable(standard)[static_cast<std::size_t>(patch.patchIndex)].name;
}

void printScore(const Score& score, const InstrumentState& state, std::int32_t version,
                std::ostream& out) {
  const int strings = state.strings();
  out << "Score, version " << version << ": " << instrumentTable[state.currentInstrument].name
      << ", tuned " << tuningNames(state);
  out << "\nTitle:    " << windows1252ToUtf8(score.title.view())
      << "\nComposer: " << windows1252ToUtf8(score.composer.view())
      << "\nComment:  " << windows1252ToUtf8(score.comment.view()) << "\nTempo:    " << score.tempo
      << " beats per minute\nPatch:    " << patchName(score.patch) << ", "
      << (score.patch.midiStandard == 0 ? "GM" : "XG") << " row " << score.patch.patchIndex
      << " (bank " << int{score.patch.bank} << ", program " << int{score.patch.program}
      << ")\nNew chords last " << int{score.defaultBeats} << " beats\n";
  if (score.locked) {
    out << "Locked by " << windows1252ToUtf8(score.owner.view())
        << (score.ownedByUser ? " (you)" : "") << '\n';
  }
  int total = 0;
  for (const ScoreEntry& entry : score.entries()) {
    total += entry.beatsToNext;
  }
  out << score.entries().size() << " chords, " << beatsText(total) << " beats\n\n";
  int index = 1;
  for (const ScoreEntry& entry : score.entries()) {
    std::string line = std::to_string(index++) + ". " + windows1252ToUtf8(entry.name.view());
    line += std::string(line.size() < 18 ? 18 - line.size() : 1, ' ');
    line +=
        beatsText(entry.beatsToNext) + (entry.beatsToNext == kTwelfthsPerBeat ? " beat" : " beats");
    line += std::string(line.size() < 32 ? 32 - line.size() : 1, ' ');
    line += fretsText(entry, strings);
    if (entry.topFret > 0) {
      line += "  top fret " + std::to_string(entry.topFret);
    }
    line += entry.barred ? ", barred" : "";
    line += entry.release ? "" : ", no release";
    out << line << '\n';
  }
}

template <typename Slots>
Json slotsJson(const Slots& slots, int strings) {
  Json values = Json::array();
  for (int s = 0; s < strings; ++s) {
    values.push_back(slots[s]);
  }
  return values;
}

void printJson(const Score& score, const InstrumentState& state, std::int32_t version,
               std::ostream& out) {
  const int strings = state.strings();
  const auto text = [](const auto& field) { return windows1252ToUtf8(field.view()); };
  const auto ints = [strings](const std::array<std::int8_t, kStringSlots>& slots) {
    std::array<int, kStringSlots> wide{};
    std::copy(slots.begin(), slots.end(), wide.begin());
    return slotsJson(wide, strings);
  };
  Json entries = Json::array();
  for (const ScoreEntry& e : score.entries()) {
    Json entry;
    entry["name"] = text(e.name);
    entry["rootString"] = int{e.rootString};
    entry["frets"] = ints(e.frets);
    entry["topFret"] = int{e.topFret};
    entry["barred"] = e.barred;
    entry["enharmonic"] = e.enharmonic;
    entry["holdAll"] = e.holdAll;
    entry["held"] = slotsJson(e.held, strings);
    entry["release"] = e.release;
    entry["beatsToNext"] = int{e.beatsToNext};
    entries.push_back(std::move(entry));
  }
  Json doc;
  doc["version"] = version;
  doc["instrument"] = int{state.currentInstrument};
  doc["tuning"] = ints(state.tuning);
  doc["title"] = text(score.title);
  doc["composer"] = text(score.composer);
  doc["comment"] = text(score.comment);
  doc["tempo"] = score.tempo;
  doc["midiStandard"] = int{score.patch.midiStandard};
  doc["patchIndex"] = score.patch.patchIndex;
  doc["bank"] = int{score.patch.bank};
  doc["program"] = int{score.patch.program};
  doc["defaultBeats"] = int{score.defaultBeats};
  doc["locked"] = score.locked;
  doc["owner"] = score.locked ? Json(text(score.owner)) : Json(nullptr);
  doc["ownedByUser"] = score.ownedByUser;
  doc["entries"] = std::move(entries);
  out << jsonText(doc) << '\n';
}

const DocumentKind<Score> kScore{
    [](std::span<const std::uint8_t> bytes, InstrumentState& state) {
      return parseScore(bytes, state, false, userName());
    },
    printScore, printJson,
    // A converted score keeps the lock of whoever locked it.
    [](const Score& score, const InstrumentState& state, const std::string& path) {
      writeScore(score, state, score.owner.view(), path);
    },
    kScoreVersion};

// The score named by the one plain word after the action, with its chords.
Score scoreToExport(const Args& args, std::string_view action, InstrumentState& state) {
  if (args.positional().size() != 2) {
    throw UsageError(std::string(action) + " takes one FILE");
  }
  const std::string& path = args.positional()[1];
  Score score = [&] {
    try {
      return readScore(path, state, false, userName());
    } catch (const FormatError& error) {
      throw FormatError(path + ": " + error.what());
    }
  }();
  if (score.empty()) {
    throw FormatError(path + " has no chords");
  }
  return score;
}

int exportMidi(const Args& args, Console& console) {
  const std::string out = args.required("out");
  InstrumentState state;
  const Score score = scoreToExport(args, "export-midi", state);
  writeOutput(out, scoreMidiFile(score, state));
  console.out << "wrote " << out << '\n';
  return 0;
}

int exportChordPro(const Args& args, Console& console) {
  InstrumentState state;
  const Score score = scoreToExport(args, "export-chordpro", state);
  const std::string text = scoreChordPro(score, state);
  writeTextOutput(args, console, text);
  return 0;
}

int print(const Args& args, Console& console) {
  const std::string out = args.required("out");
  InstrumentState state;
  const Score score = scoreToExport(args, "print", state);
  ensurePainting();
  const QByteArray pdf = scoreChartPdf(score, state);
  writePdfOutput(out, pdf, console);
  return 0;
}

}  // namespace

int runScore(const std::vector<std::string>& words, Console& console) {
  const CommandActions score{
      "score",
      kScoreUsage,
      {"out"},
      {"json"},
      {{"dump",
        [](const Args& args, Console& console) { return dumpDocument(args, console, kScore); }},
       {"upgrade",
        [](const Args& args, Console& console) { return upgradeDocument(args, console, kScore); }},
       {"export-midi", exportMidi},
       {"export-chordpro", exportChordPro},
       {"print", print}}};
  return runActions(score, words, console);
}

}  // namespace fretlets::cli
