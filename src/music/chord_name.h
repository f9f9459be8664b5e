#pragma once

#include <cstddef>
#include <string>
#include <string_view>

#include "music/chord_type.h"

namespace fretlets {

// A chord's name. The texts point into constant tables and stay valid for
// the life of the program.
struct ChordName {
  std::string_view root;  // spelled root, at most 3 characters
  std::string_view type;  // a chord type suffix, or ""
  std::string_view bass;  // at most 2 characters; "" when the root is lowest
  ImpliedIntervals implied;

  bool found() const { return !root.empty(); }
};

// The widths of the Designer's name boxes as a score entry's name takes
// them: with the slash they fill its 35 characters.
inline constexpr std::size_t kChordRootWidth = 3;
inline constexpr std::size_t kChordTypeWidth = 29;
inline constexpr std::size_t kChordBassWidth = 2;

// The full name as a chord symbol in the documents' 8-bit text: root and
// type, then "/" and the bass when there is one ("C6/A"), each cut to its
// width. A name the user typed into the boxes is cut the same way.
std::string composeChordName(std::string_view root, std::string_view type, std::string_view bass);

// The order of chord type texts in a chord book: byte order, except that at
// the first difference a "1" sorts after "5", "6", "7" and "9", so that "9"
// comes before "11" and "13".
bool chordNameBefore(std::string_view a, std::string_view b);

}  // namespace fretlets
