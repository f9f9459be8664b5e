#pragma once

#include <cstdint>
#include <vector>

namespace fretlets {

class Score;
struct InstrumentState;

// The score as a Standard MIDI File (format 1) that sounds exactly as its
// playback from the first chord to the end: the score is played through
// the program's own playback on a clock that jumps from timer to timer,
// and every message is written at the moment it was sent.
//
// One tick is one millisecond (a quarter note is one beat of the tempo),
// so the file keeps the milliseconds the playback counts in. The first
// track holds the tempo, the title as its name and each chord's name as a
// marker at its onset; the second holds the patch and the notes, with an
// explicit note-off for every note the playback silences with All Notes Off.
std::vector<std::uint8_t> scoreMidiFile(const Score& score, const InstrumentState& instrument);

}  // namespace fretlets
