#pragma once

#include <optional>
#include <string_view>

namespace fretlets {

// A chord asked for by name, as the Designer writes names: a root, one of
// the program's chord types ("" is the major triad) and, after a slash, a
// bass note: "C", "Cmaj7", "F#m7b5", "Bb7#9", "C/E".
struct ChordRequest {
  int rootClass = 0;
  int typeRow = 0;          // a row of chordTypeTable
  int bassClass = -1;       // -1: the root is the bass
  bool enharmonic = false;  // the root was asked with the alternative letter ("Db")
};

// A note name: a letter with sharps or flats, "C", "F#", "Bb", "Ebb".
std::optional<int> noteClass(std::string_view text);

// Nothing when the text names no root and chord type of the program's own.
std::optional<ChordRequest> parseChordRequest(std::string_view text);

}  // namespace fretlets
