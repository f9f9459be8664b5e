#include "music/fingering_reading.h"

namespace fretlets {
namespace {

constexpr int kMajorTriadRow = 2;

ChordName nameOf(const FingeringReading& reading, int bassClass, bool enharmonic) {
  const auto match = matchChordType(reading.intervalSet);
  if (!match) {
    return {};
  }
  const int rootClass = reading.strings[reading.rootString].pitchClass;
  ChordName name;
  name.implied = match->implied;
  // A lone pitch class is named by its root alone, although the search had
  // to assume a major triad to find it.
  const bool loneRoot =
      match->row == kMajorTriadRow && match->implied.third && match->implied.fifth;
  name.type = loneRoot ? std::string_view{} : chordTypeTable[match->row].suffix;
  name.root = spellPitchClass(rootClass, rootClass, enharmonic);
  if (bassClass != rootClass) {
    name.bass = spellPitchClass(rootClass, bassClass, enharmonic);
    if (name.bass.size() > 2) {
      name.bass = pitchClassName(bassClass);
    }
  }
  return name;
}

}  // namespace

FingeringReading readFingering(const DesignerChord& chord, const Tuning& tuning, int rootString) {
  FingeringReading reading;
  for (int s = 0; s < kStringSlots; ++s) {
    if (chord.sounds(s)) {
      reading.strings[s].pitchClass = (tuning[s] + chord.frets[s]) % 12;
    }
  }
  const int lowest = lowestSoundingString(chord);
  const int root = rootString == kNone ? lowest : rootString;
  if (root < 0 || root >= kStringSlots || !chord.sounds(root)) {
    return reading;
  }
  reading.rootString = root;
  const int rootClass = reading.strings[root].pitchClass;
  for (StringReading& string : reading.strings) {
    if (string.pitchClass == kNone) {
      continue;
    }
    string.interval = (string.pitchClass - rootClass + 12) % 12;
    string.note = spellPitchClass(rootClass, string.pitchClass, chord.enharmonic);
    reading.intervalSet |= static_cast<std::uint16_t>(1U << string.interval);
  }
  reading.name = nameOf(reading, reading.strings[lowest].pitchClass, chord.enharmonic);
  return reading;
}

std::string_view spelledRoot(const FingeringReading& reading) {
  if (reading.name.found()) {
    return reading.name.root;
  }
  return reading.rootString == kNone
             ? std::string_view{}
             : pitchClassName(reading.strings[reading.rootString].pitchClass);
}

}  // namespace fretlets
