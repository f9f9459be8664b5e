#include "documents/chord_pro.h"

#include <algorithm>
#include <charconv>
#include <cstdint>
#include <stdexcept>
#include <utility>

#include "documents/text_codec.h"
#include "music/chord_name.h"
#include "music/fingering_reading.h"
#include "music/fretlet_record.h"

namespace fretlets {
namespace {

constexpr std::string_view kTypeComment = "# chord type: ";
constexpr std::string_view kFretletComment = "# fretlet: ";
constexpr std::string_view kInstrumentComment = "# instrument: ";
constexpr std::string_view kTuningComment = "# tuning: ";
// The rows the Designer shows below its top fret.
constexpr int kRows = 6;

std::string noteName(int note) {
  return std::string(pitchClassName(note % 12)) + std::to_string(note / 12 - 1);
}

std::string utf8(std::string_view bytes) {
  return windows1252ToUtf8(bytes);
}

// The define of a fingering: positions counted from the base fret, which is
// 1 unless the fingering reaches past the fifth fret.
std::string defineLine(std::string_view name, const DesignerChord& chord, int strings) {
  int lowest = kMaxFret;
  int highest = 0;
  for (int s = 0; s < strings; ++s) {
    if (chord.frets[s] > 0) {
      lowest = std::min<int>(lowest, chord.frets[s]);
      highest = std::max<int>(highest, chord.frets[s]);
    }
  }
  const int base = highest > 5 ? lowest : 1;
  std::string line = "{define: " + utf8(name) + " base-fret " + std::to_string(base) + " frets";
  for (int s = 0; s < strings; ++s) {
    const int fret = chord.frets[s];
    line += fret == kNone ? " x" : fret == 0 ? " 0" : " " + std::to_string(fret - base + 1);
  }
  return line + "}\n";
}

// The Designer's chord whose capture is the fretlet again. A movable shape
// goes on a top fret high enough that an open string stored as minus the
// top fret it was made at stays open and is not read as muted.
DesignerChord chordOfFretlet(const FretletRecord& fretlet, int strings) {
  DesignerChord chord;
  chord.rootString = fretlet.rootString;
  if (!fretlet.movable()) {
    chord.topFret = fretlet.position;
    for (int s = 0; s < strings; ++s) {
      chord.frets[s] = fretlet.frets[s];
    }
    return chord;
  }
  int top = fretlet.position == FretletRecord::kMovableBarred ? 1 : 0;
  for (int s = 0; s < strings; ++s) {
    if (fretlet.frets[s] < kNone) {
      top = std::max(top, -fretlet.frets[s]);
    }
  }
  chord.topFret = static_cast<std::int8_t>(top);
  chord.barred = fretlet.position == FretletRecord::kMovableBarred;
  for (int s = 0; s < strings; ++s) {
    const int fret = fretlet.frets[s];
    chord.frets[s] = static_cast<std::int8_t>(fret == kNone ? kNone : fret + top);
  }
  return chord;
}

// Root strings are counted as players count them, the highest string 1.
std::string fretletComment(const FretletRecord& fretlet, const DesignerChord& chord, int strings) {
  std::string line = std::string(kFretletComment) + "root string " +
                     std::to_string(strings - fretlet.rootString) + ", top fret " +
                     std::to_string(chord.topFret);
  line += chord.barred ? ", barred" : "";
  line += fretlet.movable() ? ", movable" : "";
  return line + '\n';
}

std::string header(const InstrumentState& instrument) {
  std::string names;
  std::string numbers;
  for (int s = 0; s < instrument.strings(); ++s) {
    names += (s == 0 ? "" : " ") + noteName(instrument.tuning[s]);
    numbers += (s == 0 ? "" : ",") + std::to_string(instrument.tuning[s]);
  }
  return std::string(kInstrumentComment) +
         std::string(instrumentTable[instrument.currentInstrument].name) + '\n' +
         std::string(kTuningComment) + numbers + " (" + names + ")\n";
}

std::optional<int> wholeNumber(std::string_view text) {
  int value = 0;
  const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
  if (error != std::errc{} || end != text.data() + text.size()) {
    return std::nullopt;
  }
  return value;
}

std::vector<std::string_view> words(std::string_view text) {
  std::vector<std::string_view> out;
  std::size_t at = 0;
  while (true) {
    at = text.find_first_not_of(" \t", at);
    if (at == std::string_view::npos) {
      return out;
    }
    const std::size_t end = std::min(text.find_first_of(" \t", at), text.size());
    out.push_back(text.substr(at, end - at));
    at = end;
  }
}

struct FretletNote {
  int rootString = kNone;  // slot
  int topFret = 0;
  bool barred = false;
};

// "root string 5, top fret 1, barred, movable"
std::optional<FretletNote> readFretletComment(std::string_view text, int strings) {
  FretletNote note;
  std::size_t at = 0;
  while (at <= text.size()) {
    const std::size_t comma = std::min(text.find(',', at), text.size());
    const std::vector<std::string_view> part = words(text.substr(at, comma - at));
    at = comma + 1;
    if (part.size() == 3 && part[0] == "root" && part[1] == "string") {
      const auto string = wholeNumber(part[2]);
      if (!string || *string < 1 || *string > strings) {
        return std::nullopt;
      }
      note.rootString = strings - *string;
    } else if (part.size() == 3 && part[0] == "top" && part[1] == "fret") {
      const auto top = wholeNumber(part[2]);
      if (!top || *top < 0 || *top > kMaxTopFret) {
        return std::nullopt;
      }
      note.topFret = *top;
    } else if (part.size() == 1 && part[0] == "barred") {
      note.barred = true;
    } else if (!(part.size() == 1 && part[0] == "movable")) {
      return std::nullopt;
    }
  }
  return note;
}

struct Define {
  std::string name;
  DesignerChord chord;
};

// "NAME base-fret N frets P P ..." with anything after the positions (the
// fingers) passed over. Throws invalid_argument saying what cannot be read.
Define readDefine(std::string_view body, int strings) {
  const std::vector<std::string_view> parts = words(body);
  // A chord type may hold spaces: the name runs up to the first keyword.
  std::size_t at = 1;
  while (at < parts.size() && parts[at] != "base-fret" && parts[at] != "frets") {
    ++at;
  }
  if (parts.empty() || parts[0] == "base-fret" || parts[0] == "frets") {
    throw std::invalid_argument("the chord has no name");
  }
  const std::string_view last = parts[at - 1];
  Define define{utf8ToWindows1252(body.substr(
                    static_cast<std::size_t>(parts[0].data() - body.data()),
                    static_cast<std::size_t>(last.data() + last.size() - parts[0].data()))),
                {}};
  int base = 1;
  if (at + 1 < parts.size() && parts[at] == "base-fret") {
    const auto value = wholeNumber(parts[at + 1]);
    if (!value || *value < 1 || *value > kMaxFret) {
      throw std::invalid_argument("base-fret " + std::string(parts[at + 1]) + " is not a fret 1.." +
                                  std::to_string(kMaxFret));
    }
    base = *value;
    at += 2;
  }
  if (at >= parts.size() || parts[at] != "frets") {
    throw std::invalid_argument("no frets");
  }
  ++at;
  if (parts.size() - at < static_cast<std::size_t>(strings)) {
    throw std::invalid_argument("fewer frets than the " + std::to_string(strings) + " strings");
  }
  if (parts.size() - at > static_cast<std::size_t>(strings) && parts[at + strings] != "fingers") {
    throw std::invalid_argument("more frets than the " + std::to_string(strings) + " strings");
  }
  for (int s = 0; s < strings; ++s) {
    const std::string_view position = parts[at + s];
    const auto value = wholeNumber(position);
    if (position == "x" || position == "X" || position == "-1" || position == "N") {
      define.chord.frets[s] = static_cast<std::int8_t>(kNone);
    } else if (value && *value == 0) {
      define.chord.frets[s] = 0;
    } else if (value && *value > 0 && base + *value - 1 <= kMaxFret) {
      define.chord.frets[s] = static_cast<std::int8_t>(base + *value - 1);
    } else {
      throw std::invalid_argument("fret '" + std::string(position) +
                                  "' is not x, 0 or a fret on the neck");
    }
  }
  define.chord.topFret = static_cast<std::int8_t>(base == 1 ? 0 : std::min(base, kMaxTopFret));
  return define;
}

// A chord must have a name to be defined and shown: an entry without one
// takes the name the program reads in its fingering, or "?".
std::string entryName(const ScoreEntry& entry, const InstrumentState& instrument) {
  std::string name = entryChordName(entry, instrument.tuning);
  return name.empty() ? "?" : name;
}

}  // namespace

std::string_view nameWithoutRoot(std::string_view name) {
  if (name.empty() || name[0] < 'A' || name[0] > 'G') {
    return name;
  }
  std::size_t end = 1;
  while (end < name.size() && (name[end] == '#' || name[end] == 'b')) {
    ++end;
  }
  return name.substr(end);
}

std::string bookChordPro(const ChordBook& book, const InstrumentState& instrument) {
  const int strings = instrument.strings();
  std::string text = "# Fretlets chord book\n" + header(instrument);
  for (const BookChord& type : book.chords()) {
    text += '\n' + std::string(kTypeComment) + utf8(type.name.view()) + '\n';
    for (const FretletRecord& fretlet : type.fretlets) {
      const DesignerChord chord = chordOfFretlet(fretlet, strings);
      const FingeringReading reading = readFingering(chord, instrument.tuning, fretlet.rootString);
      text += fretletComment(fretlet, chord, strings);
      text += defineLine(std::string(spelledRoot(reading)) + std::string(type.name.view()), chord,
                         strings);
    }
  }
  return text;
}

std::string scoreChordPro(const Score& score, const InstrumentState& instrument) {
  const int strings = instrument.strings();
  std::string text = "{title: " + utf8(score.title.view()) + "}\n";
  if (!score.composer.empty()) {
    text += "{composer: " + utf8(score.composer.view()) + "}\n";
  }
  text += "{tempo: " + std::to_string(score.tempo) + "}\n" + header(instrument) + '\n';

  for (const ScoreEntry* entry : distinctFingerings(score, strings)) {
    DesignerChord chord;
    chord.frets = entry->frets;
    text += defineLine(entryName(*entry, instrument), chord, strings);
  }

  // One cell a beat: the chords that start within it, joined by "~", or
  // "." while the chord before rings on.
  const int beatsPerBar = std::max<int>(1, score.defaultBeats);
  std::vector<std::string> cells;
  int at = 0;  // twelfths of a beat
  for (const ScoreEntry& entry : score.entries()) {
    const auto cell = static_cast<std::size_t>(at / kTwelfthsPerBeat);
    cells.resize(std::max(cells.size(), cell + 1), ".");
    cells[cell] = cells[cell] == "." ? utf8(entryName(entry, instrument))
                                     : cells[cell] + "~" + utf8(entryName(entry, instrument));
    at += std::max<int>(kMinBeatsToNext, entry.beatsToNext);
  }
  cells.resize(static_cast<std::size_t>((at + kTwelfthsPerBeat - 1) / kTwelfthsPerBeat), ".");
  text += "\n{start_of_grid}\n";
  for (std::size_t bar = 0; bar < cells.size(); bar += beatsPerBar) {
    text += "|";
    for (std::size_t beat = bar; beat < std::min(cells.size(), bar + beatsPerBar); ++beat) {
      text += " " + cells[beat];
    }
    text += " |\n";
  }
  return text + "{end_of_grid}\n";
}

ChordProText readChordPro(std::string_view text, int strings) {
  ChordProText read;
  std::optional<std::string> chordType;
  std::optional<FretletNote> note;
  int number = 0;
  std::size_t at = 0;
  while (at < text.size()) {
    const std::size_t end = std::min(text.find('\n', at), text.size());
    std::string_view line = text.substr(at, end - at);
    at = end + 1;
    ++number;
    if (!line.empty() && line.back() == '\r') {
      line.remove_suffix(1);
    }
    if (line.starts_with(kTypeComment)) {
      chordType = utf8ToWindows1252(line.substr(kTypeComment.size()));
      continue;
    }
    if (line.starts_with(kFretletComment)) {
      note = readFretletComment(line.substr(kFretletComment.size()), strings);
      if (!note) {
        read.unreadable.push_back({number, "the fretlet comment is not understood"});
      }
      continue;
    }
    if (line.starts_with(kInstrumentComment)) {
      read.instrument = findInstrument(line.substr(kInstrumentComment.size()));
      continue;
    }
    if (line.starts_with(kTuningComment)) {
      const std::vector<std::string_view> parts = words(line.substr(kTuningComment.size()));
      Tuning tuning{-1, -1, -1, -1, -1, -1};
      std::size_t s = 0;
      std::string_view numbers = parts.empty() ? std::string_view{} : parts[0];
      while (!numbers.empty() && s < tuning.size()) {
        const std::size_t comma = std::min(numbers.find(','), numbers.size());
        const auto value = wholeNumber(numbers.substr(0, comma));
        if (!value || *value < 0 || *value > kMaxOpenNote) {
          break;
        }
        tuning[s++] = static_cast<std::int8_t>(*value);
        numbers.remove_prefix(std::min(comma + 1, numbers.size()));
      }
      if (numbers.empty() && s > 0) {
        read.tuning = tuning;
      }
      continue;
    }
    // {define: ...} and {chord: ...}; the colon may be a space.
    const std::size_t nameEnd = std::min(line.find_first_of(": }"), line.size());
    const std::string_view directive = line.substr(0, nameEnd);
    if (directive != "{define" && directive != "{chord") {
      continue;
    }
    if (nameEnd == line.size() || line[nameEnd] == '}') {
      read.unreadable.push_back({number, "the chord has no name"});
      continue;
    }
    const std::string_view body = line.substr(nameEnd + 1);
    const std::optional<FretletNote> given = std::exchange(note, std::nullopt);
    const std::size_t close = body.rfind('}');
    if (close == std::string_view::npos) {
      read.unreadable.push_back({number, "the directive has no closing brace"});
      continue;
    }
    try {
      Define define = readDefine(body.substr(0, close), strings);
      DesignerChord& chord = define.chord;
      if (given) {
        chord.topFret = static_cast<std::int8_t>(given->topFret);
        chord.barred = given->barred;
      }
      for (int s = 0; s < strings; ++s) {
        const int fret = chord.frets[s];
        if (fret > 0 && (fret < chord.topFret || fret > chord.topFret + kRows - 1)) {
          throw std::invalid_argument("the frets span more than the diagram's six rows");
        }
      }
      const int root = given ? given->rootString : lowestSoundingString(chord);
      if (root == kNone || !chord.sounds(root)) {
        throw std::invalid_argument("the root string does not sound");
      }
      chord.rootString = static_cast<std::int8_t>(root);
      std::string type = chordType ? *chordType : std::string(nameWithoutRoot(define.name));
      read.chords.push_back({number, std::move(define.name), std::move(type), chord});
    } catch (const std::invalid_argument& error) {
      read.unreadable.push_back({number, error.what()});
    }
  }
  return read;
}

}  // namespace fretlets
