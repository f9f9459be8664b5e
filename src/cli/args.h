#pragma once

#include <map>
#include <optional>
#include <set>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

#include "music/designer_chord.h"
#include "music/instrument.h"

namespace fretlets::cli {

// Bad input on the command line; the message is shown as it stands.
class UsageError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

// The words after the command: "--name value" options, "--flag" switches
// and plain words, in any order.
class Args {
 public:
  // Throws UsageError for an unknown option or an option without its value.
  Args(const std::vector<std::string>& words, const std::set<std::string>& valueOptions,
       const std::set<std::string>& flags);

  const std::vector<std::string>& positional() const { return positional_; }
  bool has(const std::string& name) const;
  std::optional<std::string> value(const std::string& name) const;
  std::string required(const std::string& name) const;

 private:
  std::vector<std::string> positional_;
  std::map<std::string, std::string> values_;
  std::set<std::string> flags_;
};

// A whole decimal number within min..max; names the value in the message.
int parseInt(std::string_view text, std::string_view what, int min, int max);

// A decimal number of seconds within min..max.
double parseSeconds(std::string_view text, double min, double max);

// Comma-separated frets: -1 or x for a muted string, else 0..22.
std::vector<int> parseFrets(std::string_view text);

// Comma-separated note numbers 0..83.
std::vector<int> parseTuning(std::string_view text);

// The instrument by index or name (default Guitar) and the tuning (default
// the instrument's own), from --instrument and --tuning.
InstrumentState instrumentFromArgs(const Args& args);

// The open strings as note names with octaves, lowest first: "E2 A2 D3 G3 B3 E4".
std::string tuningNames(const InstrumentState& state);

// Checks a tuning against the instrument's string count and fills the state.
InstrumentState makeInstrumentState(int instrument, const std::vector<int>& tuning);

// Puts frets (one per string, slot 0 first) into a fresh chord; throws
// UsageError when the count does not match the instrument.
DesignerChord chordFromFrets(const std::vector<int>& frets, int stringCount);

}  // namespace fretlets::cli
