#include "music/chord_type.h"

#include "music/designer_chord.h"

namespace fretlets {

// Grouped as triads and the power chord, sixths, sevenths, added ninths with
// ninths and six-nines, elevenths, thirteenths; each family runs major third,
// minor third, fourth in place of the third.
constexpr std::array<ChordType, kChordTypeCount> chordTypeTable{{
    {0x081, "5"},               // 1, 5
    {0x085, "sus2"},            // 1, 2, 5
    {0x091, "maj"},             // 1, 3, 5
    {0x089, "m"},               // 1, b3, 5
    {0x0A1, "sus4"},            // 1, 4, 5
    {0x051, "(b5)"},            // 1, 3, b5
    {0x111, "(#5)"},            // 1, 3, #5
    {0x049, "dim"},             // 1, b3, b5
    {0x109, "m#5"},             // 1, b3, #5
    {0x291, "6"},               // 1, 3, 5, 6
    {0x289, "m6"},              // 1, b3, 5, 6
    {0x2A1, "6sus"},            // 1, 4, 5, 6
    {0x251, "6b5"},             // 1, 3, b5, 6
    {0x249, "dim"},             // 1, b3, b5, 6
    {0x261, "6sus(b5)"},        // 1, 4, b5, 6
    {0x311, "6#5"},             // 1, 3, #5, 6
    {0x309, "m6#5"},            // 1, b3, #5, 6
    {0x321, "6sus(#5)"},        // 1, 4, #5, 6
    {0x2D1, "6#11"},            // 1, 3, b5, 5, 6
    {0x2C9, "m6#11"},           // 1, b3, b5, 5, 6
    {0x2E1, "6sus(#11)"},       // 1, 4, b5, 5, 6
    {0x391, "6b13"},            // 1, 3, 5, #5, 6
    {0x389, "m6b13"},           // 1, b3, 5, #5, 6
    {0x3A1, "6sus(b13)"},       // 1, 4, 5, #5, 6
    {0x213, "6b9"},             // 1, b2, 3, 6
    {0x20B, "m6b9"},            // 1, b2, b3, 6
    {0x223, "6sus(b9)"},        // 1, b2, 4, 6
    {0x253, "6b5b9"},           // 1, b2, 3, b5, 6
    {0x24B, "dim(b9)"},         // 1, b2, b3, b5, 6
    {0x263, "6sus(b5)b9"},      // 1, b2, 4, b5, 6
    {0x313, "6#5b9"},           // 1, b2, 3, #5, 6
    {0x30B, "m6#5b9"},          // 1, b2, b3, #5, 6
    {0x323, "6sus(#5)b9"},      // 1, b2, 4, #5, 6
    {0x299, "6#9"},             // 1, b3, 3, 5, 6
    {0x259, "6b5#9"},           // 1, b3, 3, b5, 6
    {0x2D9, "6#9#11"},          // 1, b3, 3, b5, 5, 6
    {0x319, "6#5#9"},           // 1, b3, 3, #5, 6
    {0x399, "6#9b13"},          // 1, b3, 3, 5, #5, 6
    {0x491, "7"},               // 1, 3, 5, b7
    {0x489, "m7"},              // 1, b3, 5, b7
    {0x4A1, "7sus"},            // 1, 4, 5, b7
    {0x891, "maj7"},            // 1, 3, 5, #7
    {0x889, "m(maj7)"},         // 1, b3, 5, #7
    {0x8A1, "maj7sus"},         // 1, 4, 5, #7
    {0x451, "7b5"},             // 1, 3, b5, b7
    {0x449, "m7b5"},            // 1, b3, b5, b7
    {0x461, "7sus(b5)"},        // 1, 4, b5, b7
    {0x851, "maj7b5"},          // 1, 3, b5, #7
    {0x849, "m(maj7)b5"},       // 1, b3, b5, #7
    {0x861, "maj7sus(b5)"},     // 1, 4, b5, #7
    {0x4D1, "7#11"},            // 1, 3, b5, 5, b7
    {0x4C9, "m7#11"},           // 1, b3, b5, 5, b7
    {0x4E1, "7sus(#11)"},       // 1, 4, b5, 5, b7
    {0x8D1, "maj7#11"},         // 1, 3, b5, 5, #7
    {0x8C9, "m(maj7)#11"},      // 1, b3, b5, 5, #7
    {0x8E1, "maj7sus(#11)"},    // 1, 4, b5, 5, #7
    {0x511, "7#5"},             // 1, 3, #5, b7
    {0x509, "m7#5"},            // 1, b3, #5, b7
    {0x521, "7sus(#5)"},        // 1, 4, #5, b7
    {0x911, "maj7#5"},          // 1, 3, #5, #7
    {0x909, "m(maj7)#5"},       // 1, b3, #5, #7
    {0x921, "maj7sus(#5)"},     // 1, 4, #5, #7
    {0x591, "7b13"},            // 1, 3, 5, #5, b7
    {0x589, "m7b13"},           // 1, b3, 5, #5, b7
    {0x5A1, "7sus(b13)"},       // 1, 4, 5, #5, b7
    {0x991, "maj7b13"},         // 1, 3, 5, #5, #7
    {0x989, "m(maj7)b13"},      // 1, b3, 5, #5, #7
    {0x9A1, "maj7sus(b13)"},    // 1, 4, 5, #5, #7
    {0x493, "7b9"},             // 1, b2, 3, 5, b7
    {0x48B, "m7b9"},            // 1, b2, b3, 5, b7
    {0x4A3, "7sus(b9)"},        // 1, b2, 4, 5, b7
    {0x893, "maj7(b9)"},        // 1, b2, 3, 5, #7
    {0x88B, "m(maj7)b9"},       // 1, b2, b3, 5, #7
    {0x8A3, "maj7sus(b9)"},     // 1, b2, 4, 5, #7
    {0x453, "7b5b9"},           // 1, b2, 3, b5, b7
    {0x44B, "m7b5b9"},          // 1, b2, b3, b5, b7
    {0x463, "7sus(b5)b9"},      // 1, b2, 4, b5, b7
    {0x853, "maj7b5b9"},        // 1, b2, 3, b5, #7
    {0x84B, "m(maj7)b5b9"},     // 1, b2, b3, b5, #7
    {0x863, "maj7sus(b5)b9"},   // 1, b2, 4, b5, #7
    {0x4D3, "7b9#11"},          // 1, b2, 3, b5, 5, b7
    {0x4CB, "m7b9#11"},         // 1, b2, b3, b5, 5, b7
    {0x4E3, "7sus(b9)#11"},     // 1, b2, 4, b5, 5, b7
    {0x8D3, "maj7b9#11"},       // 1, b2, 3, b5, 5, #7
    {0x8CB, "m(maj7)b9#11"},    // 1, b2, b3, b5, 5, #7
    {0x8E3, "maj7sus(b9)#11"},  // 1, b2, 4, b5, 5, #7
    {0x513, "7#5b9"},           // 1, b2, 3, #5, b7
    {0x50B, "m7#5b9"},          // 1, b2, b3, #5, b7
    {0x523, "7sus(#5)b9"},      // 1, b2, 4, #5, b7
    {0x913, "maj7#5b9"},        // 1, b2, 3, #5, #7
    {0x90B, "m(maj7)#5b9"},     // 1, b2, b3, #5, #7
    {0x923, "maj7sus(#5)b9"},   // 1, b2, 4, #5, #7
    {0x593, "7b9b13"},          // 1, b2, 3, 5, #5, b7
    {0x58B, "m7b9b13"},         // 1, b2, b3, 5, #5, b7
    {0x5A3, "7sus(b9)b13"},     // 1, b2, 4, 5, #5, b7
    {0x993, "maj7b9b13"},       // 1, b2, 3, 5, #5, #7
    {0x98B, "m(maj7)b9b13"},    // 1, b2, b3, 5, #5, #7
    {0x9A3, "maj7sus(b9)b13"},  // 1, b2, 4, 5, #5, #7
    {0x499, "7#9"},             // 1, b3, 3, 5, b7
    {0x899, "maj7(#9)"},        // 1, b3, 3, 5, #7
    {0x459, "7b5#9"},           // 1, b3, 3, b5, b7
    {0x859, "maj7b5#9"},        // 1, b3, 3, b5, #7
    {0x519, "7#5#9"},           // 1, b3, 3, #5, b7
    {0x919, "maj7#5#9"},        // 1, b3, 3, #5, #7
    {0x4D9, "7#9#11"},          // 1, b3, 3, b5, 5, b7
    {0x8D9, "maj7#9#11"},       // 1, b3, 3, b5, 5, #7
    {0x599, "7#9b13"},          // 1, b3, 3, 5, #5, b7
    {0x999, "maj7#9b13"},       // 1, b3, 3, 5, #5, #7
    {0x095, "(add9)"},          // 1, 2, 3, 5
    {0x08D, "m(add9)"},         // 1, 2, b3, 5
    {0x495, "9"},               // 1, 2, 3, 5, b7
    {0x48D, "m9"},              // 1, 2, b3, 5, b7
    {0x895, "maj9"},            // 1, 2, 3, 5, #7
    {0x88D, "m(maj9)"},         // 1, 2, b3, 5, #7
    {0x295, "6/9"},             // 1, 2, 3, 5, 6
    {0x28D, "m6/9"},            // 1, 2, b3, 5, 6
    {0x2A5, "6/9sus"},          // 1, 2, 4, 5, 6
    {0x455, "9b5"},             // 1, 2, 3, b5, b7
    {0x44D, "m9b5"},            // 1, 2, b3, b5, b7
    {0x855, "maj9b5"},          // 1, 2, 3, b5, #7
    {0x84D, "m(maj9)b5"},       // 1, 2, b3, b5, #7
    {0x255, "6/9(b5)"},         // 1, 2, 3, b5, 6
    {0x24D, "m6/9(b5)"},        // 1, 2, b3, b5, 6
    {0x265, "6/9sus(b5)"},      // 1, 2, 4, b5, 6
    {0x4D5, "9#11"},            // 1, 2, 3, b5, 5, b7
    {0x4CD, "m9#11"},           // 1, 2, b3, b5, 5, b7
    {0x8D5, "maj9#11"},         // 1, 2, 3, b5, 5, #7
    {0x8CD, "m(maj9)#11"},      // 1, 2, b3, b5, 5, #7
    {0x2D5, "6/9(#11)"},        // 1, 2, 3, b5, 5, 6
    {0x2CD, "m6/9(#11)"},       // 1, 2, b3, b5, 5, 6
    {0x2E5, "6/9sus(#11)"},     // 1, 2, 4, b5, 5, 6
    {0x515, "9#5"},             // 1, 2, 3, #5, b7
    {0x50D, "m9#5"},            // 1, 2, b3, #5, b7
    {0x915, "maj9#5"},          // 1, 2, 3, #5, #7
    {0x90D, "m(maj9)#5"},       // 1, 2, b3, #5, #7
    {0x315, "6/9(#5)"},         // 1, 2, 3, #5, 6
    {0x30D, "m6/9(#5)"},        // 1, 2, b3, #5, 6
    {0x325, "6/9sus(#5)"},      // 1, 2, 4, #5, 6
    {0x595, "9b13"},            // 1, 2, 3, 5, #5, b7
    {0x58D, "m9b13"},           // 1, 2, b3, 5, #5, b7
    {0x995, "maj9b13"},         // 1, 2, 3, 5, #5, #7
    {0x98D, "m(maj9)b13"},      // 1, 2, b3, 5, #5, #7
    {0x395, "6/9(b13)"},        // 1, 2, 3, 5, #5, 6
    {0x38D, "m6/9(b13)"},       // 1, 2, b3, 5, #5, 6
    {0x3A5, "6/9sus(b13)"},     // 1, 2, 4, 5, #5, 6
    {0x0B1, "(add11)"},         // 1, 3, 4, 5
    {0x0A9, "m(add11)"},        // 1, b3, 4, 5
    {0x4B5, "11"},              // 1, 2, 3, 4, 5, b7
    {0x4AD, "m11"},             // 1, 2, b3, 4, 5, b7
    {0x8B5, "maj11"},           // 1, 2, 3, 4, 5, #7
    {0x8AD, "m(maj11)"},        // 1, 2, b3, 4, 5, #7
    {0x475, "11(b5)"},          // 1, 2, 3, 4, b5, b7
    {0x46D, "m11(b5)"},         // 1, 2, b3, 4, b5, b7
    {0x875, "maj11(b5)"},       // 1, 2, 3, 4, b5, #7
    {0x86D, "m(maj11)b5"},      // 1, 2, b3, 4, b5, #7
    {0x535, "11(#5)"},          // 1, 2, 3, 4, #5, b7
    {0x52D, "m11(#5)"},         // 1, 2, b3, 4, #5, b7
    {0x935, "maj11(#5)"},       // 1, 2, 3, 4, #5, #7
    {0x92D, "m(maj11)#5"},      // 1, 2, b3, 4, #5, #7
    {0x4B3, "11(b9)"},          // 1, b2, 3, 4, 5, b7
    {0x4AB, "m11(b9)"},         // 1, b2, b3, 4, 5, b7
    {0x8B3, "maj11(b9)"},       // 1, b2, 3, 4, 5, #7
    {0x8AB, "m(maj11)b9"},      // 1, b2, b3, 4, 5, #7
    {0x5B5, "11(b13)"},         // 1, 2, 3, 4, 5, #5, b7
    {0x5AD, "m11(b13)"},        // 1, 2, b3, 4, 5, #5, b7
    {0x473, "11(b5)b9"},        // 1, b2, 3, 4, b5, b7
    {0x46B, "m11(b5)b9"},       // 1, b2, b3, 4, b5, b7
    {0x873, "maj11(b5)b9"},     // 1, b2, 3, 4, b5, #7
    {0x86B, "m(maj11)b5b9"},    // 1, b2, b3, 4, b5, #7
    {0x533, "11(#5)b9"},        // 1, b2, 3, 4, #5, b7
    {0x52B, "m11(#5)b9"},       // 1, b2, b3, 4, #5, b7
    {0x933, "maj11(#5)b9"},     // 1, b2, 3, 4, #5, #7
    {0x92B, "m(maj11)#5b9"},    // 1, b2, b3, 4, #5, #7
    {0x695, "13"},              // 1, 2, 3, 5, 6, b7
    {0x68D, "m13"},             // 1, 2, b3, 5, 6, b7
    {0x6A5, "13sus"},           // 1, 2, 4, 5, 6, b7
    {0xA95, "maj13"},           // 1, 2, 3, 5, 6, #7
    {0xA8D, "m(maj13)"},        // 1, 2, b3, 5, 6, #7
    {0xAA5, "maj13sus"},        // 1, 2, 4, 5, 6, #7
    {0x655, "13b5"},            // 1, 2, 3, b5, 6, b7
    {0x64D, "m13b5"},           // 1, 2, b3, b5, 6, b7
    {0x665, "13sus(b5)"},       // 1, 2, 4, b5, 6, b7
    {0xA55, "maj13b5"},         // 1, 2, 3, b5, 6, #7
    {0xA4D, "m(maj13)b5"},      // 1, 2, b3, b5, 6, #7
    {0xA65, "maj13sus(b5)"},    // 1, 2, 4, b5, 6, #7
    {0x715, "13#5"},            // 1, 2, 3, #5, 6, b7
    {0x70D, "m13#5"},           // 1, 2, b3, #5, 6, b7
    {0x725, "13sus(#5)"},       // 1, 2, 4, #5, 6, b7
    {0xB15, "maj13#5"},         // 1, 2, 3, #5, 6, #7
    {0xB0D, "m(maj13)#5"},      // 1, 2, b3, #5, 6, #7
    {0xB25, "maj13sus(#5)"},    // 1, 2, 4, #5, 6, #7
    {0x693, "13b9"},            // 1, b2, 3, 5, 6, b7
    {0x68B, "m13b9"},           // 1, b2, b3, 5, 6, b7
    {0x6A3, "13sus(b9)"},       // 1, b2, 4, 5, 6, b7
    {0xA93, "maj13b9"},         // 1, b2, 3, 5, 6, #7
    {0xA8B, "m(maj13)b9"},      // 1, b2, b3, 5, 6, #7
    {0xAA3, "maj13sus(b9)"},    // 1, b2, 4, 5, 6, #7
    {0x653, "13b5b9"},          // 1, b2, 3, b5, 6, b7
    {0x64B, "m13b5b9"},         // 1, b2, b3, b5, 6, b7
    {0x663, "13sus(b5)b9"},     // 1, b2, 4, b5, 6, b7
    {0xA53, "maj13b5b9"},       // 1, b2, 3, b5, 6, #7
    {0xA4B, "m(maj13)b5b9"},    // 1, b2, b3, b5, 6, #7
    {0xA63, "maj13sus(b5)b9"},  // 1, b2, 4, b5, 6, #7
    {0x713, "13#5b9"},          // 1, b2, 3, #5, 6, b7
    {0x70B, "m13#5b9"},         // 1, b2, b3, #5, 6, b7
    {0x723, "13sus(#5)b9"},     // 1, b2, 4, #5, 6, b7
    {0xB13, "maj13#5b9"},       // 1, b2, 3, #5, 6, #7
    {0xB0B, "m(maj13)#5b9"},    // 1, b2, b3, #5, 6, #7
    {0xB23, "maj13sus(#5)b9"},  // 1, b2, 4, #5, 6, #7
    {0x6B5, "13+11"},           // 1, 2, 3, 4, 5, 6, b7
    {0x6AD, "m13+11"},          // 1, 2, b3, 4, 5, 6, b7
    {0xAB5, "maj13+11"},        // 1, 2, 3, 4, 5, 6, #7
    {0xAAD, "m(maj13)+11"},     // 1, 2, b3, 4, 5, 6, #7
    {0x675, "13b5+11"},         // 1, 2, 3, 4, b5, 6, b7
    {0x66D, "m13b5+11"},        // 1, 2, b3, 4, b5, 6, b7
    {0xA75, "maj13b5+11"},      // 1, 2, 3, 4, b5, 6, #7
    {0xA6D, "m(maj13)b5+11"},   // 1, 2, b3, 4, b5, 6, #7
    {0x735, "13#5+11"},         // 1, 2, 3, 4, #5, 6, b7
    {0x72D, "m13#5+11"},        // 1, 2, b3, 4, #5, 6, b7
    {0xB35, "maj13#5+11"},      // 1, 2, 3, 4, #5, 6, #7
    {0xB2D, "m(maj13)#5+11"},   // 1, 2, b3, 4, #5, 6, #7
    {0x6B3, "13b9+11"},         // 1, b2, 3, 4, 5, 6, b7
    {0x6AB, "m13b9+11"},        // 1, b2, b3, 4, 5, 6, b7
    {0xAB3, "maj13b9+11"},      // 1, b2, 3, 4, 5, 6, #7
    {0xAAB, "m(maj13)b9+11"},   // 1, b2, b3, 4, 5, 6, #7
    {0x673, "13b5b9+11"},       // 1, b2, 3, 4, b5, 6, b7
    {0x66B, "m13b5b9+11"},      // 1, b2, b3, 4, b5, 6, b7
    {0x733, "13#5b9+11"},       // 1, b2, 3, 4, #5, 6, b7
    {0x72B, "m13#5b9+11"},      // 1, b2, b3, 4, #5, 6, b7
}};

namespace {

constexpr std::array<std::int16_t, 4096> kRowByMask = [] {
  std::array<std::int16_t, 4096> rows{};
  rows.fill(-1);
  for (int i = 0; i < kChordTypeCount; ++i) {
    rows[chordTypeTable[i].intervalMask] = static_cast<std::int16_t>(i);
  }
  return rows;
}();

constexpr std::uint16_t bitsOf(const ImpliedIntervals& implied) {
  return static_cast<std::uint16_t>(
      (implied.third ? 1U << 4 : 0U) | (implied.fifth ? 1U << 7 : 0U) |
      (implied.seventh ? 1U << 10 : 0U) | (implied.ninth ? 1U << 2 : 0U));
}

constexpr int rowWithImplied(std::uint16_t intervalMask, const ImpliedIntervals& implied) {
  const int row = kRowByMask[(intervalMask | bitsOf(implied)) & 0xFFFU];
  // The power chord is root and fifth alone; a fifth that was only assumed
  // can never make one.
  return implied.fifth && row == 0 ? -1 : row;
}

// Every subset of an attempt comes before it, so a match never assumes an
// interval that actually sounds. All four together are never assumed.
constexpr std::array<ImpliedIntervals, 15> kAttempts{{
    {},
    {.third = true},
    {.fifth = true},
    {.seventh = true},
    {.ninth = true},
    {.third = true, .fifth = true},
    {.third = true, .seventh = true},
    {.third = true, .ninth = true},
    {.fifth = true, .seventh = true},
    {.fifth = true, .ninth = true},
    {.seventh = true, .ninth = true},
    {.third = true, .fifth = true, .seventh = true},
    {.third = true, .fifth = true, .ninth = true},
    {.third = true, .seventh = true, .ninth = true},
    {.fifth = true, .seventh = true, .ninth = true},
}};

constexpr std::array<std::uint16_t, kAttempts.size()> kAttemptBits = [] {
  std::array<std::uint16_t, kAttempts.size()> bits{};
  for (std::size_t i = 0; i < kAttempts.size(); ++i) {
    bits[i] = bitsOf(kAttempts[i]);
  }
  return bits;
}();

// The outcome of the whole search for every sounding interval set: the row
// in the low byte and the successful attempt above it, or -1. Sets without
// the root (even masks) never match anything.
constexpr std::array<std::int16_t, 4096> kMatchByMask = [] {
  std::array<std::int16_t, 4096> matches{};
  for (auto& match : matches) {
    match = -1;
  }
  for (unsigned mask = 1; mask < matches.size(); mask += 2) {
    for (unsigned attempt = 0; attempt < kAttempts.size(); ++attempt) {
      const int row = kRowByMask[mask | kAttemptBits[attempt]];
      if (row > 0 || (row == 0 && !kAttempts[attempt].fifth)) {
        matches[mask] = static_cast<std::int16_t>(attempt << 8 | static_cast<unsigned>(row));
        break;
      }
    }
  }
  return matches;
}();

}  // namespace

int chordTypeRow(std::uint16_t intervalMask) {
  return intervalMask < kRowByMask.size() ? kRowByMask[intervalMask] : -1;
}

std::string_view lookupChordType(const DesignerChord& chord, const ImpliedIntervals& implied) {
  const int row = rowWithImplied(chord.intervalSet, implied);
  return row < 0 ? std::string_view{} : chordTypeTable[row].suffix;
}

std::optional<ChordTypeMatch> matchChordType(std::uint16_t intervalMask) {
  const int match = kMatchByMask[intervalMask & 0xFFFU];
  if (match < 0) {
    return std::nullopt;
  }
  return ChordTypeMatch{match & 0xFF, kAttempts[static_cast<std::size_t>(match >> 8)]};
}

}  // namespace fretlets
