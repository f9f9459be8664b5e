#include "chordbook/chord_book.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <random>
#include <string>
#include <utility>
#include <vector>

#include "music/chord_name.h"
#include "music/chord_type.h"
#include "music/designer_chord.h"

namespace fretlets {
namespace {

constexpr int kGuitarStrings = 6;

// Open shapes (fixed records) that sort by their lowest string's fret.
DesignerChord openShape(int lowFret) {
  DesignerChord chord;
  chord.frets = {static_cast<std::int8_t>(lowFret), 0, 0, 0, 0, 0};
  return chord;
}

std::vector<std::string> chordNames(const ChordBook& book) {
  std::vector<std::string> names;
  for (const BookChord& chord : book.chords()) {
    names.emplace_back(chord.name.view());
  }
  return names;
}

// The lowest string's frets of the current chord's fretlets, in order.
std::vector<int> lowFrets(const ChordBook& book) {
  std::vector<int> frets;
  for (const FretletRecord& fretlet : book.currentChord().fretlets) {
    frets.push_back(fretlet.frets[0]);
  }
  return frets;
}

bool sameFretlets(const auto& a, const auto& b) {
  return std::equal(a.begin(), a.end(), b.begin(), b.end(),
                    [](const FretletRecord& x, const FretletRecord& y) {
                      return sameFretlet(x, y, kGuitarStrings);
                    });
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

using Filing = std::vector<std::pair<const char*, int>>;  // chord type, low fret

ChordBook bookOf(const Filing& filing) {
  ChordBook book;
  for (const auto& [name, low] : filing) {
    book.addFretlet(name, openShape(low), kGuitarStrings);
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
  ChordBook book;
  for (const char* name : {"11", "7", "9", "13", "m7", ""}) {
    book.clearListChanged();
    ASSERT_TRUE(book.addFretlet(name, openShape(0), kGuitarStrings));
    EXPECT_EQ(book.currentChord().name.view(), name);
    EXPECT_TRUE(book.listChanged());
  }
  // Single digits sort before the numbers that start with a 1.
  EXPECT_EQ(chordNames(book), (std::vector<std::string>{"", "7", "9", "11", "13", "m7"}));
  EXPECT_TRUE(book.modified());

  ChordBook sixths = bookOf({{"6", 5}, {"6", 3}});
  EXPECT_EQ(sixths.fretletIndex(), 1);
  sixths.addFretlet("6", openShape(4), kGuitarStrings);
  EXPECT_EQ(cursor(sixths), (Cursor{"6", 0, 2, 3}));
  EXPECT_EQ(lowFrets(sixths), (std::vector<int>{3, 4, 5}));

  // A stored fingering is refused; the cursor rests on the stored copy.
  ChordBook twice = bookOf({{"m7", 1}, {"m7", 3}, {"7", 3}});
  twice.clearModified();
  twice.clearListChanged();
  EXPECT_FALSE(twice.addFretlet("m7", openShape(1), kGuitarStrings));
  EXPECT_EQ(cursor(twice), (Cursor{"m7", 1, 1, 2}));
  EXPECT_FALSE(twice.modified());
  EXPECT_FALSE(twice.listChanged());
  // The same fingering under another name is a different entry.
  EXPECT_TRUE(twice.addFretlet("maj7", openShape(1), kGuitarStrings));
}

TEST(ChordBookTest, NextAndPreviousWalkAcrossChordsWithoutWrapping) {
  ChordBook book = threeChords();
  const struct {
    bool next;
    bool chordChanged;
    Cursor after;
  } steps[] = {
      {false, false, {"A", 0, 1, 2}}, {true, false, {"A", 0, 2, 2}},
      {true, true, {"B", 1, 1, 1}},   {true, true, {"C", 2, 1, 2}},
      {true, false, {"C", 2, 2, 2}},  {true, false, {"C", 2, 2, 2}},
      {false, false, {"C", 2, 1, 2}}, {false, true, {"B", 1, 1, 1}},
      {false, true, {"A", 0, 2, 2}},  // stepping back lands on the last fretlet
  };
  for (const auto& step : steps) {
    EXPECT_EQ(step.next ? book.nextFretlet() : book.previousFretlet(), step.chordChanged);
    EXPECT_EQ(cursor(book), step.after);
  }
}

TEST(ChordBookTest, DeleteMovesToTheFollowingFretletOrChord) {
  ChordBook book = threeChords();
  book.deleteFretlet();  // A's first: the second takes its place
  EXPECT_EQ(cursor(book), (Cursor{"A", 0, 1, 1}));
  book.clearListChanged();
  book.deleteFretlet();  // A's only: the chord goes, B follows
  EXPECT_TRUE(book.listChanged());
  EXPECT_EQ(cursor(book), (Cursor{"B", 0, 1, 1}));
  book.selectChord(1);
  book.nextFretlet();
  book.deleteFretlet();  // C's last: the one before it
  EXPECT_EQ(cursor(book), (Cursor{"C", 1, 1, 1}));
  book.deleteFretlet();  // the last chord's only: back to the new last chord
  EXPECT_EQ(cursor(book), (Cursor{"B", 0, 1, 1}));
  book.deleteFretlet();
  EXPECT_TRUE(book.empty());
  EXPECT_EQ(book.fretletCount(), 0);
  // An empty book ignores every cursor operation.
  book.deleteFretlet();
  EXPECT_FALSE(book.nextFretlet());
  EXPECT_FALSE(book.previousFretlet());
  EXPECT_FALSE(book.showsDesignerChord(openShape(1), kGuitarStrings));
  EXPECT_FALSE(book.updateFretlet("A", openShape(1), kGuitarStrings));
  EXPECT_TRUE(book.modified());
}

TEST(ChordBookTest, UpdateRefilesTheFretletAndLandsOnIt) {
  const struct {
    Filing filing;
    int chord, fretlet;  // the cursor before: chord index, fretlet index
    const char* name;
    int low;
    bool accepted;
    std::vector<std::string> chords;
    Cursor after;
    std::vector<int> lows;  // of the current chord
  } cases[] = {
      // Within a chord the new fretlet lands before or behind the old one.
      {{{"m", 1}, {"m", 3}, {"m", 5}}, 0, 3, "m", 2, true, {"m"}, {"m", 0, 2, 3}, {1, 2, 3}},
      {{{"m", 1}, {"m", 2}, {"m", 3}}, 0, 1, "m", 4, true, {"m"}, {"m", 0, 3, 3}, {2, 3, 4}},
      // "7" stood before "9": the new chord's index drops by one when "7" goes.
      {{{"7", 1}, {"m", 1}}, 0, 1, "9", 2, true, {"9", "m"}, {"9", 0, 1, 1}, {2}},
      {{{"m", 1}, {"m", 2}, {"7", 1}}, 1, 2, "6", 3, true, {"6", "7", "m"}, {"6", 0, 1, 1}, {3}},
      // A fingering stored already, the current one or another, changes nothing.
      {{{"A", 1}, {"A", 2}}, 0, 2, "A", 2, false, {"A"}, {"A", 0, 2, 2}, {1, 2}},
      {{{"A", 1}, {"A", 2}}, 0, 2, "A", 1, false, {"A"}, {"A", 0, 2, 2}, {1, 2}},
  };
  for (const auto& c : cases) {
    ChordBook book = bookOf(c.filing);
    book.selectChord(c.chord);
    for (int i = 1; i < c.fretlet; ++i) {
      book.nextFretlet();
    }
    book.clearModified();
    EXPECT_EQ(book.updateFretlet(c.name, openShape(c.low), kGuitarStrings), c.accepted);
    EXPECT_EQ(chordNames(book), c.chords);
    EXPECT_EQ(cursor(book), c.after);
    EXPECT_EQ(lowFrets(book), c.lows);
    EXPECT_EQ(book.totalFretlets(), c.filing.size());
    EXPECT_EQ(book.modified(), c.accepted);
  }
}

TEST(ChordBookTest, CopiesKeepTheirOwnCursorAndLoadIt) {
  ChordBook book = threeChords();
  book.selectChord(2);
  book.nextFretlet();
  ChordBook copy = book;
  book.deleteFretlet();
  EXPECT_EQ(cursor(copy), (Cursor{"C", 2, 2, 2}));
  ChordBook moved = std::move(copy);
  EXPECT_EQ(cursor(moved), (Cursor{"C", 2, 2, 2}));
  DesignerChord designer;
  moved.loadCurrentIntoDesigner(designer, kGuitarStrings);
  EXPECT_EQ(designer.frets, openShape(2).frets);
  EXPECT_TRUE(moved.showsDesignerChord(designer, kGuitarStrings));
  EXPECT_FALSE(moved.nextFretlet());
}

// Both orderings of a book may be cyclic: records whose root strings differ
// (below a root a played string wins, elsewhere the lower fret does), and
// names like "2", "5", "1". Every insertion order must still end, land on
// the new item, find every item, and give the same book each time.
TEST(ChordBookTest, CyclicOrderingsAreKeptSafelyAndDeterministically) {
  const auto record = [](int root, std::array<std::int8_t, 6> frets) {
    FretletRecord r;
    r.rootString = static_cast<std::int8_t>(root);
    r.frets = frets;
    return r;
  };
  const std::vector<FretletRecord> records{
      record(0, {-1, 1, 0, 0, 0, 0}), record(0, {3, 0, 0, 0, 0, 0}), record(1, {5, 2, 0, 0, 0, 0})};
  const int n = kGuitarStrings;
  ASSERT_TRUE(fretletBefore(records[0], records[1], n));
  ASSERT_TRUE(fretletBefore(records[1], records[2], n));
  ASSERT_TRUE(fretletBefore(records[2], records[0], n));
  ASSERT_FALSE(fretletBefore(records[0], records[2], n));
  const std::vector<std::string> names{"1", "2", "5"};
  ASSERT_TRUE(chordNameBefore(names[1], names[2]));
  ASSERT_TRUE(chordNameBefore(names[2], names[0]));
  ASSERT_TRUE(chordNameBefore(names[0], names[1]));

  std::vector<int> order{0, 1, 2};
  do {
    std::vector<ChordBook> fretlets(2);
    std::vector<ChordBook> chords(2);
    for (int run = 0; run < 2; ++run) {
      for (const int i : order) {
        DesignerChord chord;
        applyFretlet(records[i], chord, n);
        ASSERT_TRUE(fretlets[run].addFretlet("x", chord, n));
        EXPECT_TRUE(sameFretlet(fretlets[run].currentFretlet(), records[i], n));
        ASSERT_TRUE(chords[run].addFretlet(names[i], openShape(0), n));
        EXPECT_EQ(chords[run].currentChord().name.view(), names[i]);
      }
      for (int i = 0; i < 3; ++i) {
        EXPECT_TRUE(fretlets[run].findFretlet(records[i], n));
        EXPECT_TRUE(chords[run].findChord(names[i]));
      }
    }
    EXPECT_EQ(fretlets[0].fretletCount(), 3);
    EXPECT_TRUE(
        sameFretlets(fretlets[0].chords().front().fretlets, fretlets[1].chords().front().fretlets));
    EXPECT_EQ(chordNames(chords[0]), chordNames(chords[1]));
  } while (std::next_permutation(order.begin(), order.end()));
}

TEST(ChordBookTest, ConsistentOrderingsGiveTheSortedOrder) {
  std::mt19937 random(7);
  std::uniform_int_distribution<int> fret(-1, 4);
  // Fretlets sharing a root string, added in random order.
  ChordBook book;
  std::vector<FretletRecord> added;
  for (int i = 0; i < 200; ++i) {
    DesignerChord chord;
    chord.rootString = 2;
    for (auto& f : chord.frets) {
      f = static_cast<std::int8_t>(fret(random));
    }
    if (book.addFretlet("x", chord, kGuitarStrings)) {
      added.push_back(captureFretlet(chord, kGuitarStrings));
    }
  }
  std::stable_sort(added.begin(), added.end(), [](const auto& a, const auto& b) {
    return !fretletBefore(b, a, kGuitarStrings);
  });
  EXPECT_TRUE(sameFretlets(book.chords().front().fretlets, added));

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
  std::stable_sort(suffixes.begin(), suffixes.end(), chordNameBefore);
  EXPECT_EQ(chordNames(types), suffixes);
}

}  // namespace
}  // namespace fretlets
