#include "score/score.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "music/designer_chord.h"

namespace fretlets {
namespace {

constexpr int kGuitarStrings = 6;

std::vector<std::string> names(const Score& score) {
  std::vector<std::string> out;
  for (const ScoreEntry& entry : score.entries()) {
    out.emplace_back(entry.name.view());
  }
  return out;
}

// Entries P, Q, R with Q current.
Score pqr() {
  Score score;
  const DesignerChord designer;
  for (const char* name : {"P", "Q", "R"}) {
    score.insertAfterCurrent(name, designer, kGuitarStrings);
  }
  score.goToIndex(1);
  return score;
}

TEST(ScoreTest, InsertBeforeAndAfterTheCurrentEntry) {
  const DesignerChord designer;
  Score empty;
  empty.insertBeforeCurrent("X", designer, kGuitarStrings);
  EXPECT_EQ(empty.currentIndex(), 1);
  Score emptyToo;
  emptyToo.insertAfterCurrent("X", designer, kGuitarStrings);
  EXPECT_EQ(names(emptyToo), std::vector<std::string>{"X"});
  EXPECT_EQ(emptyToo.currentIndex(), 1);

  Score before = pqr();
  before.insertBeforeCurrent("X", designer, kGuitarStrings);
  EXPECT_EQ(names(before), (std::vector<std::string>{"P", "X", "Q", "R"}));
  EXPECT_EQ(before.current().name.view(), "X");
  EXPECT_EQ(before.currentIndex(), 2);

  Score after = pqr();
  after.insertAfterCurrent("X", designer, kGuitarStrings);
  EXPECT_EQ(names(after), (std::vector<std::string>{"P", "Q", "X", "R"}));
  EXPECT_EQ(after.currentIndex(), 3);
  after.goLast();
  after.insertAfterCurrent("Y", designer, kGuitarStrings);
  EXPECT_EQ(names(after).back(), "Y");
  EXPECT_EQ(after.currentIndex(), 5);
}

TEST(ScoreTest, DeleteMovesToTheFollowingOrNewLastEntry) {
  Score score = pqr();
  score.goLast();
  EXPECT_FALSE(score.deleteCurrent());
  EXPECT_EQ(score.current().name.view(), "Q");
  EXPECT_EQ(score.currentIndex(), 2);

  Score middle = pqr();
  EXPECT_FALSE(middle.deleteCurrent());
  EXPECT_EQ(middle.current().name.view(), "R");
  EXPECT_EQ(middle.currentIndex(), 2);

  Score one;
  one.insertBeforeCurrent("X", DesignerChord{}, kGuitarStrings);
  EXPECT_TRUE(one.deleteCurrent());
  EXPECT_TRUE(one.empty());
  EXPECT_FALSE(one.deleteCurrent());
  // An empty score takes an insertion at its end again.
  one.insertAfterCurrent("Y", DesignerChord{}, kGuitarStrings);
  EXPECT_EQ(one.currentIndex(), 1);
}

TEST(ScoreTest, NavigationStopsAtTheEnds) {
  Score score = pqr();
  score.goFirst();
  EXPECT_FALSE(score.goPrevious());
  EXPECT_EQ(score.currentIndex(), 1);
  EXPECT_TRUE(score.goNext());
  score.goLast();
  EXPECT_EQ(score.currentIndex(), 3);
  EXPECT_FALSE(score.goNext());
  EXPECT_EQ(score.current().name.view(), "R");
  EXPECT_TRUE(score.goPrevious());
  EXPECT_EQ(score.current().name.view(), "Q");
  score.goToIndex(7);
  EXPECT_EQ(score.currentIndex(), 2);
  Score empty;
  empty.goLast();
  EXPECT_FALSE(empty.goNext());
  EXPECT_FALSE(empty.currentMatchesDesigner(DesignerChord{}, kGuitarStrings));
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

  // Only the fingering counts as the same.
  ScoreEntry other = entry;
  other.name = "D";
  other.beatsToNext = 3;
  other.release = false;
  other.enharmonic = true;
  other.holdAll = true;
  other.barred = true;
  EXPECT_TRUE(sameFingering(entry, other, kGuitarStrings));
  other.held[2] = true;
  EXPECT_FALSE(sameFingering(entry, other, kGuitarStrings));
  other = entry;
  other.frets[5] = 9;  // beyond a four-string instrument
  EXPECT_TRUE(sameFingering(entry, other, 4));
  EXPECT_FALSE(sameFingering(entry, other, kGuitarStrings));
}

TEST(ScoreTest, UpdateKeepsLengthAndReleaseAndApplyRestoresTheDesigner) {
  Score score = pqr();
  score.current().beatsToNext = 6;
  score.current().release = false;
  DesignerChord designer;
  designer.frets = {3, 2, 0, 0, 0, 3};
  designer.enharmonic = true;
  score.updateCurrent("G", designer, kGuitarStrings);
  EXPECT_EQ(score.current().name.view(), "G");
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

TEST(ScoreTest, TextsKeepTheirFieldWidths) {
  EXPECT_EQ(defaultScoreComment(2000, ""), "\xA9 2000 ");
  EXPECT_EQ(defaultScoreComment(2024, "ann"), "\xA9 2024 ann");
  EXPECT_EQ(defaultScoreComment(2024, std::string(60, 'u')).size(), kScoreTextMax);
  Score score(defaultScoreComment(2024, "ann"), ScorePatch{1, 95, 0, 24});
  EXPECT_EQ(score.comment.view(), "\xA9 2024 ann");
  EXPECT_EQ(score.patch.patchIndex, 95);
  EXPECT_EQ(score.tempo, 100);
  EXPECT_EQ(score.defaultBeats, 4);
  score.title = std::string(80, 't');
  EXPECT_EQ(score.title.size(), 49U);
  score.insertAfterCurrent(std::string(40, 'n'), DesignerChord{}, kGuitarStrings);
  EXPECT_EQ(score.current().name.size(), 35U);
}

TEST(ScoreTest, CopiesKeepTheirOwnCursor) {
  Score score = pqr();
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
