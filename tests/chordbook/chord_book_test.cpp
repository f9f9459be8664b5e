#include "chordbook/chord_book.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <random>
#include <string>
#include <vector>

#include "music/chord_name.h"
#include "music/chord_type.h"
#include "music/designer_chord.h"

namespace fretlets {
namespace {

constexpr int kGuitarStrings = 6;

DesignerChord shape(std::array<std::int8_t, 6> frets, int root = 0, int topFret = 0,
                    bool barred = false) {
  DesignerChord chord;
  chord.frets = frets;
  chord.rootString = static_cast<std::int8_t>(root);
  chord.topFret = static_cast<std::int8_t>(topFret);
  chord.barred = barred;
  return chord;
}

// Open shapes (fixed records) that sort by their lowest string's fret.
DesignerChord openShape(int lowFret) {
  return shape({static_cast<std::int8_t>(lowFret), 0, 0, 0, 0, 0});
}

std::vector<std::string> chordNames(const ChordBook& book) {
  std::vector<std::string> names;
  for (const BookChord& chord : book.chords()) {
    names.emplace_back(chord.name.view());
  }
  return names;
}

std::vector<FretletRecord> fretletsOf(const BookChord& chord) {
  return {chord.fretlets.begin(), chord.fretlets.end()};
}

struct Cursor {
  std::string chord;
  int chordIndex;
  int fretletIndex;
  int count;
  friend bool operator==(const Cursor&, const Cursor&) = default;
};

Cursor cursor(const ChordBook& book) {
  return {std::string(book.currentChord().name.view()), book.chordIndex(), book.fretletIndex(),
          book.fretletCount()};
}

void PrintTo(const Cursor& c, std::ostream* os) {
  *os << c.chord << " #" << c.chordIndex << " fretlet " << c.fretletIndex << "/" << c.count;
}

TEST(ChordBookTest, ChordTypesSortWithSingleDigitsFirstAndEmptyNameFirst) {
  ChordBook book;
  for (const char* name : {"11", "7", "9", "13", "m7", ""}) {
    ASSERT_TRUE(book.addFretlet(name, openShape(0), kGuitarStrings));
    EXPECT_EQ(book.currentChord().name.view(), name);
    EXPECT_TRUE(book.listChanged());
    book.clearListChanged();
  }
  EXPECT_EQ(chordNames(book), (std::vector<std::string>{"", "7", "9", "11", "13", "m7"}));
  EXPECT_TRUE(book.modified());
}

TEST(ChordBookTest, DuplicateIsRefusedAndCursorRestsOnTheStoredCopy) {
  ChordBook book;
  ASSERT_TRUE(book.addFretlet("m7", openShape(1), kGuitarStrings));
  ASSERT_TRUE(book.addFretlet("m7", openShape(3), kGuitarStrings));
  ASSERT_TRUE(book.addFretlet("7", openShape(3), kGuitarStrings));
  book.clearModified();
  book.clearListChanged();
  EXPECT_FALSE(book.addFretlet("m7", openShape(1), kGuitarStrings));
  EXPECT_EQ(cursor(book), (Cursor{"m7", 1, 1, 2}));
  EXPECT_FALSE(book.modified());
  EXPECT_FALSE(book.listChanged());
  // The same fingering under another name is a different entry.
  EXPECT_TRUE(book.addFretlet("maj7", openShape(1), kGuitarStrings));
  EXPECT_EQ(book.chords().size(), 3U);
}

TEST(ChordBookTest, AddLandsOnTheSortedPlaceNotTheEnd) {
  ChordBook book;
  book.addFretlet("6", openShape(5), kGuitarStrings);
  book.addFretlet("6", openShape(3), kGuitarStrings);
  EXPECT_EQ(book.fretletIndex(), 1);
  book.addFretlet("6", openShape(4), kGuitarStrings);
  EXPECT_EQ(book.fretletIndex(), 2);
  EXPECT_EQ(book.fretletCount(), 3);
  const auto fretlets = fretletsOf(book.currentChord());
  EXPECT_EQ(fretlets[0].frets[0], 3);
  EXPECT_EQ(fretlets[2].frets[0], 5);
}

// Three chords "A" (2 fretlets), "B" (1) and "C" (2).
ChordBook threeChords() {
  ChordBook book;
  book.addFretlet("A", openShape(1), kGuitarStrings);
  book.addFretlet("A", openShape(2), kGuitarStrings);
  book.addFretlet("B", openShape(1), kGuitarStrings);
  book.addFretlet("C", openShape(1), kGuitarStrings);
  book.addFretlet("C", openShape(2), kGuitarStrings);
  book.selectChord(0);
  return book;
}

TEST(ChordBookTest, NextAndPreviousWalkAcrossChordsWithoutWrapping) {
  ChordBook book = threeChords();
  EXPECT_FALSE(book.previousFretlet());
  EXPECT_EQ(cursor(book), (Cursor{"A", 0, 1, 2}));
  EXPECT_FALSE(book.nextFretlet());
  EXPECT_EQ(cursor(book), (Cursor{"A", 0, 2, 2}));
  EXPECT_TRUE(book.nextFretlet());
  EXPECT_EQ(cursor(book), (Cursor{"B", 1, 1, 1}));
  EXPECT_TRUE(book.nextFretlet());
  EXPECT_FALSE(book.nextFretlet());
  EXPECT_EQ(cursor(book), (Cursor{"C", 2, 2, 2}));
  EXPECT_FALSE(book.nextFretlet());
  EXPECT_EQ(cursor(book), (Cursor{"C", 2, 2, 2}));
  EXPECT_FALSE(book.previousFretlet());
  EXPECT_TRUE(book.previousFretlet());
  EXPECT_EQ(cursor(book), (Cursor{"B", 1, 1, 1}));
  // Stepping back into a chord lands on its last fretlet.
  EXPECT_TRUE(book.previousFretlet());
  EXPECT_EQ(cursor(book), (Cursor{"A", 0, 2, 2}));
}

TEST(ChordBookTest, DeleteMovesToTheFollowingFretletOrChord) {
  ChordBook book = threeChords();
  // First fretlet of "A": the second takes its place at index 1.
  book.deleteFretlet();
  EXPECT_EQ(cursor(book), (Cursor{"A", 0, 1, 1}));
  // The only fretlet of "A": the chord goes, "B" follows at index 0.
  book.clearListChanged();
  book.deleteFretlet();
  EXPECT_TRUE(book.listChanged());
  EXPECT_EQ(cursor(book), (Cursor{"B", 0, 1, 1}));
  // The last fretlet of "C": the one before it becomes current.
  book.selectChord(1);
  book.nextFretlet();
  book.deleteFretlet();
  EXPECT_EQ(cursor(book), (Cursor{"C", 1, 1, 1}));
  // The only fretlet of the last chord: back to the new last chord.
  book.deleteFretlet();
  EXPECT_EQ(cursor(book), (Cursor{"B", 0, 1, 1}));
  book.deleteFretlet();
  EXPECT_TRUE(book.empty());
  EXPECT_EQ(book.fretletCount(), 0);
  // An empty book ignores every cursor operation.
  book.deleteFretlet();
  EXPECT_FALSE(book.nextFretlet());
  EXPECT_FALSE(book.previousFretlet());
  EXPECT_FALSE(book.showsDesignerChord(openShape(1), kGuitarStrings));
  EXPECT_TRUE(book.modified());
}

TEST(ChordBookTest, UpdateWithoutChangeOrToAStoredFingeringChangesNothing) {
  ChordBook book = threeChords();
  book.nextFretlet();
  book.clearModified();
  DesignerChord designer;
  book.loadCurrentIntoDesigner(designer, kGuitarStrings);
  EXPECT_TRUE(book.showsDesignerChord(designer, kGuitarStrings));
  EXPECT_FALSE(book.updateFretlet("A", designer, kGuitarStrings));
  EXPECT_EQ(cursor(book), (Cursor{"A", 0, 2, 2}));
  // The fingering of A's first fretlet is stored already.
  EXPECT_FALSE(book.updateFretlet("A", openShape(1), kGuitarStrings));
  EXPECT_EQ(cursor(book), (Cursor{"A", 0, 2, 2}));
  EXPECT_FALSE(book.modified());
}

TEST(ChordBookTest, UpdateAcrossChordTypesRemovesAnEmptiedChord) {
  ChordBook book;
  book.addFretlet("7", openShape(1), kGuitarStrings);
  book.addFretlet("m", openShape(1), kGuitarStrings);
  book.selectChord(0);
  // Re-filing the only fretlet of "7" under "9": "7" stood before "9", so
  // the new chord's index drops by one when "7" goes.
  ASSERT_TRUE(book.updateFretlet("9", openShape(2), kGuitarStrings));
  EXPECT_EQ(chordNames(book), (std::vector<std::string>{"9", "m"}));
  EXPECT_EQ(cursor(book), (Cursor{"9", 0, 1, 1}));
  EXPECT_EQ(book.currentFretlet().frets[0], 2);
  EXPECT_TRUE(book.modified());
}

TEST(ChordBookTest, UpdateWithinAChordLandsOnTheNewFretlet) {
  ChordBook book;
  for (const int low : {1, 3, 5}) {
    book.addFretlet("m", openShape(low), kGuitarStrings);
  }
  // Fretlet 3 (low fret 5) becomes low fret 2: it lands at index 2, ahead
  // of the removed one.
  ASSERT_TRUE(book.updateFretlet("m", openShape(2), kGuitarStrings));
  EXPECT_EQ(cursor(book), (Cursor{"m", 0, 2, 3}));
  // Fretlet 1 (low fret 1) becomes low fret 4: it lands fourth, behind the
  // old one, whose removal moves it one place up.
  book.selectChord(0);
  ASSERT_TRUE(book.updateFretlet("m", openShape(4), kGuitarStrings));
  EXPECT_EQ(cursor(book), (Cursor{"m", 0, 3, 3}));
  const auto fretlets = fretletsOf(book.currentChord());
  EXPECT_EQ(fretlets[0].frets[0], 2);
  EXPECT_EQ(fretlets[1].frets[0], 3);
  EXPECT_EQ(fretlets[2].frets[0], 4);
}

TEST(ChordBookTest, UpdateIntoAChordBeforeTheOldOne) {
  ChordBook book;
  book.addFretlet("m", openShape(1), kGuitarStrings);
  book.addFretlet("m", openShape(2), kGuitarStrings);
  book.addFretlet("7", openShape(1), kGuitarStrings);
  book.selectChord(1);
  book.nextFretlet();
  ASSERT_TRUE(book.updateFretlet("6", openShape(3), kGuitarStrings));
  EXPECT_EQ(chordNames(book), (std::vector<std::string>{"6", "7", "m"}));
  EXPECT_EQ(cursor(book), (Cursor{"6", 0, 1, 1}));
  EXPECT_EQ(book.chords().back().fretlets.size(), 1U);
}

TEST(ChordBookTest, MovableShapesLoadAtTheDesignersTopFret) {
  ChordBook book;
  // F barre at the first fret with the bar on.
  book.addFretlet("", shape({1, 3, 3, 2, 1, 1}, 0, 1, true), kGuitarStrings);
  DesignerChord designer;
  designer.topFret = 5;
  book.loadCurrentIntoDesigner(designer, kGuitarStrings);
  EXPECT_EQ(designer.frets, (DesignerChord::Slots{5, 7, 7, 6, 5, 5}));
  EXPECT_TRUE(designer.barred);
  EXPECT_TRUE(book.showsDesignerChord(designer, kGuitarStrings));
}

TEST(ChordBookTest, CopiesKeepTheirOwnCursor) {
  ChordBook book = threeChords();
  book.selectChord(2);
  book.nextFretlet();
  ChordBook copy = book;
  book.deleteFretlet();
  EXPECT_EQ(cursor(copy), (Cursor{"C", 2, 2, 2}));
  ChordBook moved = std::move(copy);
  EXPECT_EQ(cursor(moved), (Cursor{"C", 2, 2, 2}));
  EXPECT_TRUE(moved.nextFretlet() == false);
}

// Records whose root strings differ can form a cycle under fretletBefore:
// below a root a played string wins, elsewhere the lower fret does.
std::vector<FretletRecord> cyclicFretlets() {
  const auto record = [](int root, std::array<std::int8_t, 6> frets) {
    FretletRecord r;
    r.rootString = static_cast<std::int8_t>(root);
    r.frets = frets;
    return r;
  };
  return {record(0, {-1, 1, 0, 0, 0, 0}), record(0, {3, 0, 0, 0, 0, 0}),
          record(1, {5, 2, 0, 0, 0, 0})};
}

DesignerChord designerFor(const FretletRecord& record) {
  DesignerChord chord;
  applyFretlet(record, chord, kGuitarStrings);
  return chord;
}

TEST(ChordBookTest, CyclicFretletsAreKeptSafelyAndDeterministically) {
  std::vector<FretletRecord> records = cyclicFretlets();
  const int n = kGuitarStrings;
  ASSERT_TRUE(fretletBefore(records[0], records[1], n));
  ASSERT_TRUE(fretletBefore(records[1], records[2], n));
  ASSERT_TRUE(fretletBefore(records[2], records[0], n));
  ASSERT_FALSE(fretletBefore(records[0], records[2], n));

  std::vector<int> order{0, 1, 2};
  do {
    std::vector<std::vector<FretletRecord>> results;
    for (int run = 0; run < 2; ++run) {
      ChordBook book;
      for (const int i : order) {
        ASSERT_TRUE(book.addFretlet("x", designerFor(records[i]), n));
        EXPECT_TRUE(sameFretlet(book.currentFretlet(), records[i], n));
        EXPECT_TRUE(book.findFretlet(records[i], n));
      }
      EXPECT_EQ(book.fretletCount(), 3);
      results.push_back(fretletsOf(book.currentChord()));
    }
    for (int i = 0; i < 3; ++i) {
      EXPECT_TRUE(sameFretlet(results[0][i], results[1][i], n));
    }
  } while (std::next_permutation(order.begin(), order.end()));
}

TEST(ChordBookTest, CyclicChordNamesAreKeptSafelyAndDeterministically) {
  ASSERT_TRUE(chordNameBefore("2", "5"));
  ASSERT_TRUE(chordNameBefore("5", "1"));
  ASSERT_TRUE(chordNameBefore("1", "2"));
  std::vector<std::string> names{"1", "2", "5"};
  do {
    std::vector<std::string> first;
    for (int run = 0; run < 2; ++run) {
      ChordBook book;
      for (const std::string& name : names) {
        ASSERT_TRUE(book.addFretlet(name, openShape(0), kGuitarStrings));
        EXPECT_EQ(book.currentChord().name.view(), name);
      }
      for (const std::string& name : names) {
        EXPECT_TRUE(book.findChord(name));
      }
      if (run == 0) {
        first = chordNames(book);
      } else {
        EXPECT_EQ(chordNames(book), first);
      }
    }
  } while (std::next_permutation(names.begin(), names.end()));
}

TEST(ChordBookTest, ConsistentOrderingsGiveTheSortedOrder) {
  std::mt19937 random(7);
  std::uniform_int_distribution<int> fret(-1, 4);
  // Fretlets sharing a root string, added in random order.
  ChordBook book;
  std::vector<FretletRecord> added;
  for (int i = 0; i < 200; ++i) {
    DesignerChord chord = shape({}, 2);
    for (auto& f : chord.frets) {
      f = static_cast<std::int8_t>(fret(random));
    }
    if (book.addFretlet("x", chord, kGuitarStrings)) {
      added.push_back(captureFretlet(chord, kGuitarStrings));
    }
  }
  std::vector<FretletRecord> expected = added;
  std::stable_sort(expected.begin(), expected.end(), [](const auto& a, const auto& b) {
    return !fretletBefore(b, a, kGuitarStrings);
  });
  const auto stored = fretletsOf(book.chords().front());
  ASSERT_EQ(stored.size(), expected.size());
  for (std::size_t i = 0; i < stored.size(); ++i) {
    EXPECT_TRUE(sameFretlet(stored[i], expected[i], kGuitarStrings)) << i;
  }

  // Every chord type of the table, added in random order.
  std::vector<std::string> suffixes;
  for (const ChordType& type : chordTypeTable) {
    suffixes.emplace_back(type.suffix.substr(0, kChordTypeNameMax));
  }
  std::sort(suffixes.begin(), suffixes.end());
  suffixes.erase(std::unique(suffixes.begin(), suffixes.end()), suffixes.end());
  std::shuffle(suffixes.begin(), suffixes.end(), random);
  ChordBook types;
  for (const std::string& suffix : suffixes) {
    types.addFretlet(suffix, openShape(0), kGuitarStrings);
  }
  std::stable_sort(
      suffixes.begin(), suffixes.end(),
      [](const std::string& a, const std::string& b) { return chordNameBefore(a, b); });
  EXPECT_EQ(chordNames(types), suffixes);
}

}  // namespace
}  // namespace fretlets
