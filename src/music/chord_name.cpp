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

ChordName nameChord(const DesignerChord& chord, int rootString) {
  if (rootString < 0 || rootString >= kStringSlots || chord.pitchClasses[rootString] == kNone) {
    return {};
  }
  const int rootClass = chord.pitchClasses[rootString];
  std::uint16_t intervalSet = 0;
  for (const int pc : chord.pitchClasses) {
    if (pc != kNone) {
      intervalSet |= static_cast<std::uint16_t>(1U << ((pc - rootClass + 12) % 12));
    }
  }
  const auto match = matchChordType(intervalSet);
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
  name.root = spellPitchClass(rootClass, rootClass, chord.enharmonic);

  const int bassClass = chord.pitchClasses[lowestSoundingString(chord)];
  if (bassClass != rootClass) {
    name.bass = spellPitchClass(rootClass, bassClass, chord.enharmonic);
    if (name.bass.size() > 2) {
      name.bass = pitchClassName(bassClass);
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
