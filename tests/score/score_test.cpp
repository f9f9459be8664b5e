#include "score/score.h"

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <utility>

#include "music/designer_chord.h"

namespace fretlets {
namespace {

constexpr int kGuitarStrings = 6;

// The one-letter names of the entries in order.
std::string names(const Score& score) {
  std::string out;
  for (const ScoreEntry& entry : score.entries()) {
    out += entry.name.view();
  }
  return out;
}

// Entries P, Q, R with the cursor on the 0-based position at.
Score pqr(int at) {
  Score score;
  for (const char* name : {"P", "Q", "R"}) {
    score.insertAfterCurrent(name, DesignerChord{}, kGuitarStrings);
  }
  score.goToIndex(at);
  return score;
}

bool insertBefore(Score& score) {
  score.insertBeforeCurrent("X", DesignerChord{}, kGuitarStrings);
  return false;
}

bool insertAfter(Score& score) {
  score.insertAfterCurrent("X", DesignerChord{}, kGuitarStrings);
  return false;
}

TEST(ScoreTest, EditsAndMovesLandTheCursorWhereThePanelShowsIt) {
  const std::function<bool(Score&)> goFirst = [](Score& s) { return s.goFirst(), false; };
  const std::function<bool(Score&)> goLast = [](Score& s) { return s.goLast(), false; };
  const struct {
    int start;  // on P, Q, R or -1 for an empty score
    std::function<bool(Score&)> act;
    bool result;
    std::string order;  // afterwards, the current entry's index
    int index;
  } cases[] = {
      {-1, insertBefore, false, "X", 1},
      {-1, insertAfter, false, "X", 1},
      {0, insertBefore, false, "XPQR", 1},
      {1, insertBefore, false, "PXQR", 2},
      {1, insertAfter, false, "PQXR", 3},
      {2, insertAfter, false, "PQRX", 4},
      {0, &Score::deleteCurrent, false, "QR", 1},
      {1, &Score::deleteCurrent, false, "PR", 2},
      {2, &Score::deleteCurrent, false, "PQ", 2},
      {-1, &Score::deleteCurrent, false, "", 1},
      {0, &Score::goPrevious, false, "PQR", 1},
      {0, &Score::goNext, true, "PQR", 2},
      {2, &Score::goNext, false, "PQR", 3},
      {2, &Score::goPrevious, true, "PQR", 2},
      {0, goLast, false, "PQR", 3},
      {2, goFirst, false, "PQR", 1},
      {1, [](Score& s) { return s.goToIndex(7), false; }, false, "PQR", 2},
      {-1, &Score::goNext, false, "", 1},
      {-1, goLast, false, "", 1},
  };
  for (const auto& c : cases) {
    Score score = c.start < 0 ? Score{} : pqr(c.start);
    EXPECT_EQ(c.act(score), c.result) << c.order;
    EXPECT_EQ(names(score), c.order);
    EXPECT_EQ(score.currentIndex(), c.index) << c.order;
    if (!score.empty()) {
      EXPECT_EQ(score.current().name.view(), c.order.substr(c.index - 1, 1)) << c.order;
    }
  }

  // Deleting the only entry empties the score, which takes an insertion again.
  Score one = pqr(0);
  one.deleteCurrent();
  one.deleteCurrent();
  EXPECT_TRUE(one.deleteCurrent());
  EXPECT_FALSE(one.currentMatchesDesigner(DesignerChord{}, kGuitarStrings));
  insertAfter(one);
  EXPECT_EQ(one.currentIndex(), 1);
}

TEST(ScoreTest, EntriesSnapshotTheDesignersFingering) {
  Score score;
  score.defaultBeats = 3;
  DesignerChord designer;
  designer.frets = {-1, 5, 7, 7, 6, 5};
  designer.topFret = 4;
  designer.barred = true;  // no string stops at fret 4: the bar is not kept
  designer.release = false;
  designer.held[1] = true;
  designer.rootString = 1;
  const ScoreEntry entry = score.makeEntry("C", designer, kGuitarStrings);
  EXPECT_FALSE(entry.barred);
  EXPECT_TRUE(entry.release);
  EXPECT_EQ(entry.beatsToNext, 36);
  EXPECT_EQ(entry.frets, designer.frets);
  EXPECT_TRUE(entry.held[1]);
  designer.topFret = 5;
  EXPECT_TRUE(score.makeEntry("C", designer, kGuitarStrings).barred);
  EXPECT_EQ(score.makeEntry(std::string(40, 'n'), designer, 4).name.size(), 35U);

  // Only the fingering counts as the same.
  ScoreEntry other = entry;
  other.name = "D";
  other.beatsToNext = 3;
  other.release = false;
  other.enharmonic = other.holdAll = other.barred = true;
  EXPECT_TRUE(sameFingering(entry, other, kGuitarStrings));
  other.held[2] = true;
  EXPECT_FALSE(sameFingering(entry, other, kGuitarStrings));
  other = entry;
  other.frets[5] = 9;  // beyond a four-string instrument
  EXPECT_TRUE(sameFingering(entry, other, 4));
  EXPECT_FALSE(sameFingering(entry, other, kGuitarStrings));
}

TEST(ScoreTest, UpdateKeepsLengthAndReleaseAndApplyRestoresTheDesigner) {
  Score score = pqr(1);
  score.current().beatsToNext = 6;
  score.current().release = false;
  DesignerChord designer;
  designer.frets = {3, 2, 0, 0, 0, 3};
  designer.enharmonic = true;
  score.updateCurrent("G", designer, kGuitarStrings);
  EXPECT_EQ(names(score), "PGR");
  EXPECT_EQ(score.current().beatsToNext, 6);
  EXPECT_FALSE(score.current().release);
  EXPECT_TRUE(score.currentMatchesDesigner(designer, kGuitarStrings));

  DesignerChord other;
  other.frets[0] = 9;
  score.applyCurrentToDesigner(other, 4);
  EXPECT_EQ(other.frets, (DesignerChord::Slots{3, 2, 0, 0, -1, -1}));
  EXPECT_TRUE(other.enharmonic);
  EXPECT_FALSE(other.release);
}

TEST(ScoreTest, TheDefaultCommentIsTheCopyrightSignYearAndUserCutToTheField) {
  EXPECT_EQ(defaultScoreComment(2000, ""), "\xA9 2000 ");
  EXPECT_EQ(defaultScoreComment(2024, "ann"), "\xA9 2024 ann");
  EXPECT_EQ(defaultScoreComment(2024, std::string(60, 'u')).size(), kScoreTextMax);
}

TEST(ScoreTest, CopiesKeepTheirOwnCursor) {
  Score score = pqr(1);
  Score copy = score;
  score.deleteCurrent();
  EXPECT_EQ(copy.current().name.view(), "Q");
  EXPECT_EQ(copy.currentIndex(), 2);
  Score moved = std::move(copy);
  EXPECT_EQ(moved.current().name.view(), "Q");
  EXPECT_TRUE(moved.goNext());
}

}  // namespace
}  // namespace fretlets
