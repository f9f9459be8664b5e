#include "music/chord_request.h"

#include <array>

#include "music/chord_type.h"
#include "music/note.h"

namespace fretlets {
namespace {

// The length of the note name at the start of a chord name: a letter and
// then sharps or flats, but a "b" only where a flat can be meant ("Bb7",
// never the "b" of "b5").
std::size_t rootLength(std::string_view chord) {
  std::size_t n = 1;
  while (n < chord.size() && n < 3 && (chord[n] == '#' || chord[n] == 'b')) {
    ++n;
  }
  return n;
}

std::optional<int> typeRowOf(std::string_view suffix) {
  if (suffix.empty()) {
    suffix = "maj";
  }
  for (int row = 0; row < kChordTypeCount; ++row) {
    if (chordTypeTable[row].suffix == suffix) {
      return row;
    }
  }
  return std::nullopt;
}

}  // namespace

std::optional<int> noteClass(std::string_view text) {
  if (text.empty()) {
    return std::nullopt;
  }
  const char letter = static_cast<char>(text[0] >= 'a' ? text[0] - 'a' + 'A' : text[0]);
  const auto index = kLetters.find(letter);
  if (index == std::string_view::npos) {
    return std::nullopt;
  }
  constexpr std::array<int, 7> kNatural{0, 2, 4, 5, 7, 9, 11};
  int pc = kNatural[index];
  for (const char c : text.substr(1)) {
    if (c != '#' && c != 'b') {
      return std::nullopt;
    }
    pc += c == '#' ? 1 : -1;
  }
  return (pc % 12 + 12) % 12;
}

std::optional<ChordRequest> parseChordRequest(std::string_view text) {
  if (text.empty() || !noteClass(text.substr(0, 1))) {
    return std::nullopt;
  }
  const std::size_t length = rootLength(text);
  const std::string_view root = text.substr(0, length);
  ChordRequest chord;
  chord.rootClass = *noteClass(root);
  std::optional<int> row = typeRowOf(text.substr(length));
  if (!row) {
    // A slash chord: the type before the last slash, the bass after it.
    const std::size_t slash = text.rfind('/');
    if (slash == std::string_view::npos || slash < length) {
      return std::nullopt;
    }
    const std::optional<int> bass = noteClass(text.substr(slash + 1));
    row = typeRowOf(text.substr(length, slash - length));
    if (!bass || !row) {
      return std::nullopt;
    }
    chord.bassClass = *bass;
  }
  chord.typeRow = *row;
  // Names are spelled from the root as it was asked: "Db" rather than "C#".
  chord.enharmonic = root != pitchClassName(chord.rootClass) &&
                     spellPitchClass(chord.rootClass, chord.rootClass, true) == root;
  return chord;
}

}  // namespace fretlets
