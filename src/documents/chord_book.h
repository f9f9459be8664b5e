#pragma once

#include <cstddef>
#include <list>
#include <string_view>

#include "documents/delete_outcome.h"
#include "documents/fixed_text.h"
#include "music/fretlet_record.h"

namespace fretlets {

struct DesignerChord;

inline constexpr std::size_t kChordTypeNameMax = 29;
using ChordTypeName = FixedText<kChordTypeNameMax>;

// One chord type of a book with its fingerings. A chord edited through the
// book is never empty; removing its last fretlet removes the chord.
struct BookChord {
  ChordTypeName name;
  std::list<FretletRecord> fretlets;
};

// The open chord book: fretlets filed under chord types, both kept in order,
// with a cursor on one fretlet. The book knows the string count of its
// instrument (only that many strings of a fretlet count); the Designer's
// chord comes in with each call that needs it.
//
// Both sequences are lists and the cursor is a pair of iterators: an update
// files the new fretlet, possibly re-ordering both sequences, and then still
// has to find the old fretlet to delete it and the new one to land on.
// Iterators into lists survive that (the orderings move nodes, never
// values), so no index bookkeeping can go stale. The 0-based chord index and
// 1-based fretlet index the panel shows are kept alongside.
class ChordBook {
 public:
  using Chords = std::list<BookChord>;

  explicit ChordBook(int stringCount) : stringCount_(stringCount) {}
  ChordBook(const ChordBook& other);
  ChordBook(ChordBook&& other) noexcept;
  ChordBook& operator=(const ChordBook& other);
  ChordBook& operator=(ChordBook&& other) noexcept;
  ~ChordBook() = default;

  // Refused (false) when the Designer's fretlet is already filed under this
  // name; the cursor then rests on the stored copy.
  bool addFretlet(std::string_view name, const DesignerChord& designer);
  // Re-files the current fretlet as the Designer's fretlet under this name.
  // Refused as a duplicate like addFretlet, with the cursor left alone.
  bool updateFretlet(std::string_view name, const DesignerChord& designer);
  // Removes the current fretlet, and its chord type when it was the last.
  DeleteOutcome deleteFretlet();

  void selectChord(int index);
  // Both return whether the current chord changed.
  bool nextFretlet();
  bool previousFretlet();

  bool showsDesignerChord(const DesignerChord& designer) const;
  int fretletCount() const;
  void loadCurrentIntoDesigner(DesignerChord& designer) const;
  void clear();

  bool findChord(std::string_view name);
  bool findFretlet(const FretletRecord& fretlet);

  // Filling from a file keeps the file's order; the next insertion into a
  // sequence puts it in order. The chord must hold at least one fretlet.
  // After filling, finishLoading puts the cursor on the first fretlet.
  void appendChord(BookChord chord);
  void finishLoading();

  int stringCount() const { return stringCount_; }
  bool empty() const { return chords_.empty(); }
  const Chords& chords() const { return chords_; }
  std::size_t totalFretlets() const;
  // The cursor; on an empty book a nameless chord without fretlets and an
  // all-muted fretlet.
  const BookChord& currentChord() const;
  const FretletRecord& currentFretlet() const;
  int chordIndex() const { return chordIndex_; }
  int fretletIndex() const { return fretletIndex_; }

  bool listChanged() const { return listChanged_; }
  void clearListChanged() { listChanged_ = false; }
  bool modified() const { return modified_; }
  void clearModified() { modified_ = false; }

 private:
  using Fretlets = std::list<FretletRecord>;

  void insertChord(std::string_view name);
  void insertFretlet(const FretletRecord& fretlet);
  void setCursor(Chords::iterator chord, Fretlets::iterator fretlet);
  // Puts the iterators back on the places the indices name (after a copy).
  void reseat();

  int stringCount_;
  Chords chords_;
  Chords::iterator currentChord_ = chords_.end();
  Fretlets::iterator currentFretlet_;
  int chordIndex_ = 0;
  int fretletIndex_ = 1;
  bool listChanged_ = false;
  bool modified_ = false;
};

}  // namespace fretlets
