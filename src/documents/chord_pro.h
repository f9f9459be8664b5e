#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "documents/chord_book.h"
#include "documents/score.h"
#include "music/designer_chord.h"
#include "music/instrument.h"

namespace fretlets {

// ChordPro, the songbook text format, as chord books and scores are shared
// in it. Texts go out as UTF-8 and come back as the documents' 8-bit text.
//
// A book comes out as one {define} line per fretlet under a comment naming
// its chord type. What ChordPro cannot say of a fretlet (its root string,
// the top fret of the diagram it was made on, its bar, whether it is a
// movable shape) goes in a comment line just before the define, which other
// programs ignore and which brings the very fretlet back here.
std::string bookChordPro(const ChordBook& book, const InstrumentState& instrument);

// The score as a chord chart: title, composer and tempo, a grid line per bar
// of the score's default beats, and a define for each fingering.
std::string scoreChordPro(const Score& score, const InstrumentState& instrument);

// One {define} or {chord} line read back.
struct ChordProChord {
  int line = 0;
  std::string name;       // 8-bit, as in the file
  std::string chordType;  // the comment's chord type, or the name without its root
  DesignerChord chord;
};

struct ChordProProblem {
  int line = 0;
  std::string message;
};

struct ChordProText {
  std::vector<ChordProChord> chords;
  std::vector<ChordProProblem> unreadable;
  // From the comment lines at the top, when there are any.
  std::optional<int> instrument;
  std::optional<Tuning> tuning;
};

// Reads the chords of a ChordPro text for an instrument of stringCount
// strings; everything that is not a chord, a chord type or a fretlet
// comment is passed over.
ChordProText readChordPro(std::string_view text, int stringCount);

// The chord type a chord name says without its root: "m7" of "Am7", "" of "C".
std::string_view nameWithoutRoot(std::string_view name);

}  // namespace fretlets
