#include "cli/args.h"

#include <charconv>
#include <sstream>

namespace fretlets::cli {
namespace {

std::vector<std::string_view> splitCommas(std::string_view text) {
  std::vector<std::string_view> parts;
  std::size_t start = 0;
  while (true) {
    const std::size_t comma = text.find(',', start);
    parts.push_back(text.substr(start, comma - start));
    if (comma == std::string_view::npos) {
      return parts;
    }
    start = comma + 1;
  }
}

}  // namespace

Args::Args(const std::vector<std::string>& words, const std::set<std::string>& valueOptions,
           const std::set<std::string>& flags) {
  for (std::size_t i = 0; i < words.size(); ++i) {
    const std::string& word = words[i];
    if (word.size() < 3 || !word.starts_with("--")) {
      positional_.push_back(word);
      continue;
    }
    const std::string name = word.substr(2);
    if (flags.contains(name)) {
      flags_.insert(name);
    } else if (valueOptions.contains(name)) {
      if (i + 1 >= words.size()) {
        throw UsageError("option --" + name + " needs a value");
      }
      values_[name] = words[++i];
    } else {
      throw UsageError("unknown option " + word);
    }
  }
}

bool Args::has(const std::string& name) const {
  return flags_.contains(name) || values_.contains(name);
}

std::optional<std::string> Args::value(const std::string& name) const {
  const auto it = values_.find(name);
  return it == values_.end() ? std::nullopt : std::optional<std::string>(it->second);
}

std::string Args::required(const std::string& name) const {
  const auto found = value(name);
  if (!found) {
    throw UsageError("option --" + name + " is required");
  }
  return *found;
}

int parseInt(std::string_view text, std::string_view what, int min, int max) {
  int value = 0;
  const char* end = text.data() + text.size();
  const auto [ptr, ec] = std::from_chars(text.data(), end, value);
  if (text.empty() || ec != std::errc{} || ptr != end) {
    throw UsageError(std::string(what) + " '" + std::string(text) + "' is not a number");
  }
  if (value < min || value > max) {
    throw UsageError(std::string(what) + " " + std::to_string(value) + " is outside " +
                     std::to_string(min) + ".." + std::to_string(max));
  }
  return value;
}

double parseSeconds(std::string_view text, double min, double max) {
  double seconds = 0;
  const char* end = text.data() + text.size();
  const auto [ptr, ec] = std::from_chars(text.data(), end, seconds);
  if (text.empty() || ec != std::errc{} || ptr != end) {
    throw UsageError("seconds '" + std::string(text) + "' is not a number");
  }
  if (!(seconds >= min && seconds <= max)) {
    std::ostringstream range;
    range << min << ".." << max;
    throw UsageError("seconds " + std::string(text) + " is outside " + range.str());
  }
  return seconds;
}

std::vector<int> parseFrets(std::string_view text) {
  std::vector<int> frets;
  for (const std::string_view part : splitCommas(text)) {
    frets.push_back(part == "x" || part == "X" ? kNone : parseInt(part, "fret", kNone, kMaxFret));
  }
  return frets;
}

std::vector<int> parseTuning(std::string_view text) {
  std::vector<int> notes;
  for (const std::string_view part : splitCommas(text)) {
    notes.push_back(parseInt(part, "tuning note", 0, kMaxOpenNote));
  }
  return notes;
}

std::string tuningNames(const InstrumentState& state) {
  std::string out;
  for (int s = 0; s < state.strings(); ++s) {
    out += (s == 0 ? "" : " ");
    out += pitchClassName(state.tuning[s] % 12);
    out += std::to_string(state.tuning[s] / 12 - 1);
  }
  return out;
}

InstrumentState makeInstrumentState(int instrument, const std::vector<int>& tuning) {
  const int strings = stringCount(instrument);
  if (static_cast<int>(tuning.size()) != strings) {
    throw UsageError("the " + std::string(instrumentTable[instrument].name) + " has " +
                     std::to_string(strings) + " strings, but the tuning gives " +
                     std::to_string(tuning.size()) + " notes");
  }
  Tuning notes{};
  for (int s = 0; s < strings; ++s) {
    notes[s] = static_cast<std::int8_t>(tuning[s]);
  }
  InstrumentState state;
  adoptInstrument(state, instrument, notes);
  return state;
}

InstrumentState instrumentFromArgs(const Args& args) {
  int instrument = kGuitar;
  if (const auto name = args.value("instrument")) {
    const auto found = findInstrument(*name);
    if (!found) {
      throw UsageError("unknown instrument '" + *name + "' (give 0..15 or a name such as Guitar)");
    }
    instrument = *found;
  }
  InstrumentState state;
  adoptInstrument(state, instrument, instrumentTable[instrument].defaultTuning);
  if (const auto tuning = args.value("tuning")) {
    state = makeInstrumentState(instrument, parseTuning(*tuning));
  }
  return state;
}

DesignerChord chordFromFrets(const std::vector<int>& frets, int stringCount) {
  if (static_cast<int>(frets.size()) != stringCount) {
    throw UsageError("expected " + std::to_string(stringCount) + " frets, one per string, got " +
                     std::to_string(frets.size()));
  }
  DesignerChord chord;
  for (int s = 0; s < stringCount; ++s) {
    chord.frets[s] = static_cast<std::int8_t>(frets[s]);
  }
  return chord;
}

}  // namespace fretlets::cli
