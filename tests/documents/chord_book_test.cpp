#include "documents/chord_book.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <utility>
#include <vector>

#include "documents/chord_book_file.h"
#include "music/designer_chord.h"

namespace fretlets {
namespace {

constexpr int kStrings = 6;

// Open shapes (fixed records) that sort by their lowest string's fret.
DesignerChord openShape(int lowFret) {
  DesignerChord chord;
  chord.frets = {static_cast<std::int8_t>(lowFret), 0, 0, 0, 0, 0};
  return chord;
}

// The book as the panel shows it: each chord type with the lowest string's
// fret of its fretlets, the current chord starred, the current fretlet
// bracketed, then the chord index and fretlet index: "*A:[1],2 B:1 @0.1".
std::string show(const ChordBook& book) {
  if (book.empty()) {
    return "empty";
  }
  std::string out;
  for (const BookChord& chord : book.chords()) {
    out += (&chord == &book.currentChord() ? "*" : "") + std::string(chord.name.view()) + ":";
    for (const FretletRecord& f : chord.fretlets) {
      const bool current = &f == &book.currentFretlet();
      out += (current ? "[" : "") + std::to_string(f.frets[0]) + (current ? "]," : ",");
    }
    out.back() = ' ';
  }
  return out + "@" + std::to_string(book.chordIndex()) + "." + std::to_string(book.fretletIndex());
}

ChordBook bookOf(const std::vector<std::pair<const char*, int>>& filing) {
  ChordBook book(kStrings);
  for (const auto& [name, low] : filing) {
    book.addFretlet(name, openShape(low));
  }
  return book;
}

// Three chords "A" (2 fretlets), "B" (1) and "C" (2), the cursor on the first.
ChordBook threeChords() {
  ChordBook book = bookOf({{"A", 1}, {"A", 2}, {"B", 1}, {"C", 1}, {"C", 2}});
  book.selectChord(0);
  return book;
}

TEST(ChordBookTest, AddFilesInOrderAndLandsOnTheNewFretlet) {
  ChordBook book(kStrings);
  for (const char* name : {"11", "7", "9", "13", "m7", ""}) {
    book.clearListChanged();
    ASSERT_TRUE(book.addFretlet(name, openShape(0)));
    EXPECT_EQ(book.currentChord().name.view(), name);
    EXPECT_TRUE(book.listChanged());
  }
  // Single digits sort before the numbers that start with a 1.
  EXPECT_EQ(show(book), "*:[0] 7:0 9:0 11:0 13:0 m7:0 @0.1");
  EXPECT_TRUE(book.modified());
  EXPECT_EQ(show(bookOf({{"6", 5}, {"6", 3}, {"6", 4}})), "*6:3,[4],5 @0.2");
  // A stored fingering is refused; the cursor rests on the stored copy.
  book = bookOf({{"m7", 1}, {"m7", 3}, {"7", 3}});
  book.clearModified();
  book.clearListChanged();
  EXPECT_FALSE(book.addFretlet("m7", openShape(1)));
  EXPECT_EQ(show(book), "7:3 *m7:[1],3 @1.1");
  EXPECT_FALSE(book.modified() || book.listChanged());
  // The same fingering under another name is a different entry.
  EXPECT_TRUE(book.addFretlet("maj7", openShape(1)));
}

// Back into a chord, the cursor lands on its last fretlet.
TEST(ChordBookTest, NextAndPreviousWalkAcrossChordsWithoutWrapping) {
  ChordBook book = threeChords();
  for (const auto& [next, chordChanged, after] :
       {std::tuple{false, false, "*A:[1],2 B:1 C:1,2 @0.1"},
        {true, false, "*A:1,[2] B:1 C:1,2 @0.2"},
        {true, true, "A:1,2 *B:[1] C:1,2 @1.1"},
        {true, true, "A:1,2 B:1 *C:[1],2 @2.1"},
        {true, false, "A:1,2 B:1 *C:1,[2] @2.2"},
        {true, false, "A:1,2 B:1 *C:1,[2] @2.2"},
        {false, false, "A:1,2 B:1 *C:[1],2 @2.1"},
        {false, true, "A:1,2 *B:[1] C:1,2 @1.1"},
        {false, true, "*A:1,[2] B:1 C:1,2 @0.2"}}) {
    EXPECT_EQ(next ? book.nextFretlet() : book.previousFretlet(), chordChanged);
    EXPECT_EQ(show(book), after);
  }
}

TEST(ChordBookTest, DeleteMovesToTheFollowingFretletOrChord) {
  ChordBook book = threeChords();
  const auto deleted = [&book] {
    book.clearListChanged();
    book.clearModified();
    const DeleteOutcome outcome = book.deleteFretlet();
    return show(book) + (book.listChanged() ? " listed" : "") +
           (book.modified() ? " modified" : "") +
           (outcome == DeleteOutcome::Kept               ? " kept"
            : outcome == DeleteOutcome::ChordTypeRemoved ? " type gone"
                                                         : " nothing left");
  };
  EXPECT_EQ(deleted(), "*A:[2] B:1 C:1,2 @0.1 modified kept");
  EXPECT_EQ(deleted(), "*B:[1] C:1,2 @0.1 listed modified type gone");
  book.nextFretlet();
  book.nextFretlet();
  EXPECT_EQ(deleted(), "B:1 *C:[1] @1.1 modified kept");
  EXPECT_EQ(deleted(), "*B:[1] @0.1 listed modified type gone");
  EXPECT_EQ(deleted(), "empty listed modified nothing left");
  EXPECT_EQ(book.fretletCount(), 0);
  // An empty book ignores every cursor operation, and its cursor reads as
  // a nameless chord and a muted fretlet.
  EXPECT_EQ(deleted(), "empty nothing left");
  EXPECT_TRUE(book.currentChord().fretlets.empty());
  EXPECT_EQ(book.currentFretlet().frets, FretletRecord{}.frets);
  EXPECT_FALSE(book.nextFretlet() || book.previousFretlet());
  EXPECT_FALSE(book.showsDesignerChord(openShape(1)));
  EXPECT_FALSE(book.updateFretlet("A", openShape(1)));
  DesignerChord designer = openShape(3);
  book.loadCurrentIntoDesigner(designer);
  EXPECT_EQ(designer.frets, openShape(3).frets);
}

TEST(ChordBookTest, UpdateRefilesTheFretletAndLandsOnIt) {
  const struct {
    std::vector<std::pair<const char*, int>> filing;
    int nexts;  // from the first fretlet of the first chord
    const char* name;
    int low;
    const char* after;  // empty when refused: nothing changes
  } cases[] = {
      // Within a chord the new fretlet lands before or behind the old one.
      {{{"m", 1}, {"m", 3}, {"m", 5}}, 2, "m", 2, "*m:1,[2],3 @0.2"},
      {{{"m", 1}, {"m", 2}, {"m", 3}}, 0, "m", 4, "*m:2,3,[4] @0.3"},
      // "7" stood before "9": the new chord's index drops by one when "7" goes.
      {{{"7", 1}, {"m", 1}}, 0, "9", 2, "*9:[2] m:1 @0.1"},
      {{{"m", 1}, {"m", 2}, {"7", 1}}, 2, "6", 3, "*6:[3] 7:1 m:1 @0.1"},
      // A fingering stored already, the current one or another.
      {{{"A", 1}, {"A", 2}}, 1, "A", 2, ""},
      {{{"A", 1}, {"A", 2}}, 1, "A", 1, ""},
  };
  for (const auto& c : cases) {
    ChordBook book = bookOf(c.filing);
    book.selectChord(0);
    for (int i = 0; i < c.nexts; ++i) {
      book.nextFretlet();
    }
    const std::string before = show(book);
    book.clearModified();
    const bool accepted = *c.after != '\0';
    EXPECT_EQ(book.updateFretlet(c.name, openShape(c.low)), accepted);
    EXPECT_EQ(show(book), accepted ? c.after : before);
    EXPECT_EQ(book.modified(), accepted);
  }
}

TEST(ChordBookTest, FileOrderIsKeptUntilTheNextInsertion) {
  InstrumentState guitar;
  std::vector<std::uint8_t> bytes =
      chordBookBytes(bookOf({{"m", 3}, {"m", 1}, {"7", 3}, {"7", 1}}), guitar);
  // Swap the two chords' names and the two fretlets of the first chord, as
  // a file sorted by some other rule might hold them.
  const std::size_t firstName = 32;
  std::swap(bytes[firstName], bytes[firstName + 1 + 4 + 2 * 8 + 4]);
  std::swap(bytes[firstName + 1 + 4 + 2], bytes[firstName + 1 + 4 + 8 + 2]);
  ChordBook read = parseChordBook(bytes, guitar, false);
  EXPECT_EQ(show(read), "*m:[3],1 7:1,3 @0.1");
  read.addFretlet("m", openShape(2));
  EXPECT_EQ(show(read), "*m:1,[2],3 7:1,3 @0.2");
  // Only an insertion into the chord list puts the chords in order.
  read.addFretlet("9", openShape(2));
  EXPECT_EQ(show(read), "7:1,3 *9:[2] m:1,2,3 @1.1");
}

}  // namespace
}  // namespace fretlets
