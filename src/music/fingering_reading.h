#pragma once

#include <array>
#include <cstdint>
#include <string_view>

#include "music/chord_name.h"
#include "music/designer_chord.h"
#include "music/note.h"

namespace fretlets {

// What one string slot says in a reading.
struct StringReading {
  int pitchClass = kNone;  // -1 when the slot is silent
  int interval = kNone;    // above the root; -1 when silent or without a root
  std::string_view note;   // spelled from the root's letter; "" without an interval
};

// Everything a fingering says with its root on one string, as one value.
struct FingeringReading {
  std::array<StringReading, kStringSlots> strings;
  int rootString = kNone;         // the string read as root, or -1 when none sounds
  std::uint16_t intervalSet = 0;  // bit k: interval k sounds on some string
  ChordName name;
};

// Reads the fingering in the tuning with its root on rootString, or on the
// lowest sounding string for -1. A root string that is silent or not a slot
// gives the pitch classes alone: no root, intervals, notes or name.
FingeringReading readFingering(const DesignerChord& chord, const Tuning& tuning, int rootString);

// The root as the Designer spells it: the name's root, or for a fingering
// no chord type fits, the plain name of the root string's note; "" when the
// root string is silent.
std::string_view spelledRoot(const FingeringReading& reading);

}  // namespace fretlets
