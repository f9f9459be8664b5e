#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <list>
#include <string>
#include <string_view>
#include <vector>

#include "documents/delete_outcome.h"
#include "documents/fixed_text.h"
#include "music/instrument.h"
#include "music/note.h"

namespace fretlets {

struct DesignerChord;

inline constexpr std::size_t kEntryNameMax = 35;
inline constexpr std::size_t kScoreTextMax = 49;
using EntryName = FixedText<kEntryNameMax>;
using ScoreText = FixedText<kScoreTextMax>;

// Twelfths of a beat (a beat is a quarter note).
inline constexpr int kTwelfthsPerBeat = 12;
inline constexpr int kMinTempo = 20;
inline constexpr int kMaxTempo = 750;
inline constexpr int kMinBeatsToNext = 1;
inline constexpr int kMaxBeatsToNext = 127;
inline constexpr int kMinDefaultBeats = 1;
inline constexpr int kMaxDefaultBeats = 7;

// One chord of a score: a named snapshot of the Designer's fingering and how
// long it sounds before the next one starts.
struct ScoreEntry {
  EntryName name;
  std::int8_t rootString = 0;
  std::array<std::int8_t, kStringSlots> frets{-1, -1, -1, -1, -1, -1};  // always absolute
  std::int8_t topFret = 0;
  bool barred = false;
  bool enharmonic = false;
  bool holdAll = false;
  std::array<bool, kStringSlots> held{};
  bool release = true;
  std::int8_t beatsToNext = 4 * kTwelfthsPerBeat;  // in twelfths of a beat

  friend bool operator==(const ScoreEntry&, const ScoreEntry&) = default;
};

// The MIDI patch a score is played with; a new score takes the device's.
struct ScorePatch {
  std::int8_t midiStandard = 0;  // 0 General MIDI, 1 XG
  std::int32_t patchIndex = 0;
  std::int8_t bank = 0;
  std::int8_t program = 0;

  friend bool operator==(const ScorePatch&, const ScorePatch&) = default;
};

// How long a chord of beatsToNext twelfths of a beat sounds when a beat lasts
// beatMs milliseconds: the remainder of the division is dropped, but a chord
// always lasts at least a millisecond, so that playback moves on.
std::uint32_t chordLengthMs(int beatsToNext, std::uint32_t beatMs);

// A chord's length as the note values the Chord page adds up: whole, half
// and quarter notes for the whole beats, an eighth and a sixteenth or one
// part of a quarter-note or eighth-note triplet for the rest of a beat.
struct NoteLengths {
  bool whole = false;
  bool half = false;
  bool quarter = false;
  bool eighth = false;
  bool sixteenth = false;
  bool quarterTriplet = false;
  bool eighthTriplet = false;

  friend bool operator==(const NoteLengths&, const NoteLengths&) = default;
};

// Twelfths of a beat as beats: "4", "1/2", "1 1/2", "2/3".
std::string beatsText(int twelfths);

// The note values of a length in twelfths of a beat. The whole beats and the
// rest of a beat are split each on its own, and either one that no values
// make (more than seven beats, 7/12 of a beat) is left out.
NoteLengths splitNoteLengths(int beatsToNext);

// The length the note values add up to; with none, a whole note.
int joinNoteLengths(const NoteLengths& lengths);

// What a new score says about its rights: the copyright sign (byte 0xA9), a
// space, the year, a space and the user's name, cut to the field.
std::string defaultScoreComment(int year, std::string_view userName);

// Copies the Designer's fingering for the first stringCount strings; a bar
// that no played string stops at is not kept. Name, release and length stay.
void captureEntry(ScoreEntry& entry, const DesignerChord& designer, int stringCount);

// Whether two entries are played with the same fingering. Name, length,
// release and the display options do not count.
bool sameFingering(const ScoreEntry& a, const ScoreEntry& b, int stringCount);

class Score;
// Each named fingering of the score once, in the order it is first played:
// what a chart's legend or a songbook's defines list.
std::vector<const ScoreEntry*> distinctFingerings(const Score& score, int stringCount);

// The score's properties, apart from its entries.
struct ScoreProperties {
  ScoreText title;
  ScoreText composer;
  ScoreText comment;
  std::int8_t defaultBeats = 4;  // beats given to each new entry, 1..7
  bool locked = false;
  // False when the score was locked under another user's name: it can then
  // be neither saved nor unlocked.
  bool ownedByUser = true;
  // Who locked it, as the file says; empty while unlocked.
  ScoreText owner;
  std::int32_t tempo = 100;  // beats per minute
  ScorePatch patch;

  // A score locked under another user's name can be neither saved nor
  // unlocked.
  bool canSave() const { return !locked || ownedByUser; }
  bool canUnlock() const { return canSave(); }
};

// The open score: entries in playing order with a cursor, and properties.
// Entries are a std::list so that the cursor, an iterator, stays on its entry
// while others are inserted or removed around it; currentIndex (1-based) is
// kept alongside without recounting the list.
class Score : public ScoreProperties {
 public:
  using Entries = std::list<ScoreEntry>;

  // A new score's comment (defaultScoreComment) and patch (the device's)
  // are the caller's to give.
  Score(std::string_view comment, const ScorePatch& patch);
  Score(const Score& other);
  Score(Score&& other) noexcept;
  Score& operator=(const Score& other);
  Score& operator=(Score&& other) noexcept;
  ~Score() = default;

  ScoreEntry makeEntry(std::string_view name, const DesignerChord& designer, int stringCount) const;
  void applyCurrentToDesigner(DesignerChord& designer, int stringCount) const;
  static void applyEntryToDesigner(const ScoreEntry& entry, DesignerChord& designer,
                                   int stringCount);
  bool currentMatchesDesigner(const DesignerChord& designer, int stringCount) const;

  void insertBeforeCurrent(std::string_view name, const DesignerChord& designer, int stringCount);
  void insertAfterCurrent(std::string_view name, const DesignerChord& designer, int stringCount);
  void updateCurrent(std::string_view name, const DesignerChord& designer, int stringCount);
  // Kept, or DocumentEmpty when the last entry went (or there was none).
  DeleteOutcome deleteCurrent();

  void goFirst();
  bool goPrevious();
  bool goNext();
  void goLast();
  void goToIndex(int position);  // 0-based
  void clear();

  // Filling from a file: entries go to the end in file order; the cursor
  // ends on the first.
  void appendEntry(const ScoreEntry& entry);

  bool empty() const { return entries_.empty(); }
  const Entries& entries() const { return entries_; }
  // The current entry; a blank one while the score is empty.
  const ScoreEntry& current() const;
  // The current entry to edit in place, or nullptr while the score is empty.
  ScoreEntry* editCurrent() { return empty() ? nullptr : &*current_; }
  int currentIndex() const { return currentIndex_; }

 private:
  void reseat();

  Entries entries_;
  Entries::iterator current_ = entries_.end();
  int currentIndex_ = 1;
};

// The name an entry goes by in a chart or an export: its own, or the one
// the program reads in its fingering; "" when it has neither.
std::string entryChordName(const ScoreEntry& entry, const Tuning& tuning);

}  // namespace fretlets
