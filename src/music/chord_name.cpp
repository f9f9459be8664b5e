#include "music/chord_name.h"

#include <algorithm>

#include "music/designer_chord.h"

namespace fretlets {
namespace {

constexpr int kMajorTriadRow = 2;

bool sortsBeforeOne(char c) {
  return c == '5' || c == '6' || c == '7' || c == '9';
}

}  // namespace

ChordName nameChord(DesignerChord& chord, int rootString) {
  if (rootString < 0 || rootString >= kStringSlots || chord.pitchClasses[rootString] == kNone) {
    return {};
  }
  computeIntervals(chord, rootString);
  const auto match = matchChordType(chord.intervalSet);
  if (!match) {
    return {};
  }
  ChordName name;
  name.implied = match->implied;
  // A lone pitch class is named by its root alone, although the search had
  // to assume a major triad to find it.
  const bool loneRoot =
      match->row == kMajorTriadRow && match->implied.third && match->implied.fifth;
  name.type = loneRoot ? std::string_view{} : chordTypeTable[match->row].suffix;
  name.root = spellNote(chord, rootString);

  const int lowest = lowestSoundingString(chord);
  if (chord.pitchClasses[lowest] != chord.rootClass) {
    name.bass = spellNote(chord, lowest);
    if (name.bass.size() > 2) {
      name.bass = pitchClassName(chord.pitchClasses[lowest]);
    }
  }
  return name;
}

std::string composeChordName(std::string_view root, std::string_view type, std::string_view bass) {
  std::string name;
  name.reserve(root.size() + type.size() + bass.size() + 1);
  name.append(root).append(type);
  if (!bass.empty()) {
    name.append("/").append(bass);
  }
  return name;
}

bool chordNameBefore(std::string_view a, std::string_view b) {
  const auto [ia, ib] = std::ranges::mismatch(a, b);
  if (ia == a.end() || ib == b.end()) {
    return a.size() < b.size();
  }
  const char c = *ia;
  const char d = *ib;
  if (c == '1' && sortsBeforeOne(d)) {
    return false;
  }
  if (d == '1' && sortsBeforeOne(c)) {
    return true;
  }
  return static_cast<unsigned char>(c) < static_cast<unsigned char>(d);
}

}  // namespace fretlets
