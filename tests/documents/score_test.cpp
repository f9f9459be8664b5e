#include "documents/score.h"

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <tuple>
#include <utility>

#include "documents/text_codec.h"
#include "documents/user_name.h"
#include "music/chord_fixture.h"

namespace fretlets {
namespace {

constexpr int kStrings = 6;

// The one-letter names of the entries, the current one bracketed (by the
// cursor), then the index the panel shows: "P[Q]R@2".
std::string show(const Score& score) {
  std::string out;
  for (const ScoreEntry& entry : score.entries()) {
    const bool current = &entry == &score.current();
    out += (current ? "[" : "") + std::string(entry.name.view()) + (current ? "]" : "");
  }
  return out + "@" + std::to_string(score.currentIndex());
}

Score blank() {
  return Score("", ScorePatch{});
}

// Entries P, Q, R with the cursor on the 0-based position at; -1 for none.
Score pqr(int at) {
  Score score = blank();
  for (const char* name : {"P", "Q", "R"}) {
    score.insertAfterCurrent(name, DesignerChord{}, kStrings);
  }
  score.goToIndex(at);
  return at < 0 ? blank() : score;
}

TEST(ScoreTest, EditsAndMovesLandTheCursorWhereThePanelShowsIt) {
  using Act = std::function<bool(Score&)>;
  const Act before = [](Score& s) { return s.insertBeforeCurrent("X", {}, kStrings), false; };
  const Act after = [](Score& s) { return s.insertAfterCurrent("X", {}, kStrings), false; };
  const Act first = [](Score& s) { return s.goFirst(), false; };
  const Act last = [](Score& s) { return s.goLast(), false; };
  const Act del = [](Score& s) { return s.deleteCurrent() == DeleteOutcome::DocumentEmpty; };
  const struct {
    int start;
    Act act;
    bool result;
    const char* shown;
  } cases[] = {
      {-1, before, false, "[X]@1"},
      {-1, after, false, "[X]@1"},
      {0, before, false, "[X]PQR@1"},
      {1, before, false, "P[X]QR@2"},
      {1, after, false, "PQ[X]R@3"},
      {2, after, false, "PQR[X]@4"},
      {0, del, false, "[Q]R@1"},
      {1, del, false, "P[R]@2"},
      {2, del, false, "P[Q]@2"},
      {-1, del, true, "@1"},
      {0, &Score::goPrevious, false, "[P]QR@1"},
      {0, &Score::goNext, true, "P[Q]R@2"},
      {2, &Score::goNext, false, "PQ[R]@3"},
      {2, &Score::goPrevious, true, "P[Q]R@2"},
      {0, last, false, "PQ[R]@3"},
      {2, first, false, "[P]QR@1"},
      {1, [](Score& s) { return s.goToIndex(7), false; }, false, "P[Q]R@2"},
      {-1, &Score::goNext, false, "@1"},
      {-1, last, false, "@1"},
  };
  for (const auto& c : cases) {
    Score score = pqr(c.start);
    EXPECT_EQ(c.act(score), c.result) << c.shown;
    EXPECT_EQ(show(score), c.shown);
  }
  // Deleting the only entry empties the score, which takes an insertion again.
  Score one = pqr(-1);
  after(one);
  EXPECT_EQ(one.deleteCurrent(), DeleteOutcome::DocumentEmpty);
  EXPECT_FALSE(one.currentMatchesDesigner(DesignerChord{}, kStrings));
  // The cursor of an empty score reads as a blank entry and edits nothing.
  EXPECT_EQ(one.current(), ScoreEntry{});
  EXPECT_EQ(one.editCurrent(), nullptr);
  after(one);
  EXPECT_EQ(show(one), "[X]@1");
}

TEST(ScoreTest, EntriesSnapshotTheDesignersFingering) {
  Score score = blank();
  score.defaultBeats = 3;
  // No string stops at fret 4: the bar is not kept.
  DesignerChord designer = test::designer(test::shape("x57765"), 4, true, 1);
  designer.release = false;
  designer.held[1] = true;
  const ScoreEntry entry = score.makeEntry("C", designer, kStrings);
  EXPECT_FALSE(entry.barred);
  EXPECT_TRUE(entry.release);
  EXPECT_EQ(entry.beatsToNext, 36);
  EXPECT_EQ(entry.frets, designer.frets);
  EXPECT_TRUE(entry.held[1]);
  // Charts and exports call an entry by its name, else by what it reads.
  const Tuning& guitar = instrumentTable[kGuitar].defaultTuning;
  EXPECT_EQ(entryChordName(entry, guitar), "C");
  EXPECT_EQ(entryChordName(score.makeEntry("", designer, kStrings), guitar), "Dm");
  EXPECT_EQ(entryChordName(score.makeEntry("", DesignerChord{}, kStrings), guitar), "");
  designer.topFret = 5;
  EXPECT_TRUE(score.makeEntry("C", designer, kStrings).barred);
  EXPECT_EQ(score.makeEntry(std::string(40, 'n'), designer, 4).name.size(), 35U);
  // Only the fingering counts as the same, on the strings the instrument has.
  const struct {
    std::function<void(ScoreEntry&)> change;
    int strings;
    bool same;
  } changes[] = {
      {[](ScoreEntry& e) {
         e.name = "D";
         e.beatsToNext = 3;
         e.release = false;
         e.enharmonic = e.holdAll = e.barred = true;
       },
       kStrings, true},
      {[](ScoreEntry& e) { e.held[2] = true; }, kStrings, false},
      {[](ScoreEntry& e) { e.rootString = 2; }, kStrings, false},
      {[](ScoreEntry& e) { e.topFret = 5; }, kStrings, false},
      {[](ScoreEntry& e) { e.frets[5] = 9; }, 4, true},
      {[](ScoreEntry& e) { e.frets[5] = 9; }, kStrings, false},
  };
  for (const auto& c : changes) {
    ScoreEntry other = entry;
    c.change(other);
    EXPECT_EQ(sameFingering(entry, other, c.strings), c.same);
  }
}

TEST(ScoreTest, UpdateKeepsLengthAndReleaseAndApplyRestoresTheDesigner) {
  Score score = pqr(1);
  score.editCurrent()->beatsToNext = 6;
  score.editCurrent()->release = false;
  DesignerChord designer;
  designer.frets = {3, 2, 0, 0, 0, 3};
  designer.enharmonic = true;
  score.updateCurrent("G", designer, kStrings);
  EXPECT_EQ(show(score), "P[G]R@2");
  EXPECT_EQ(score.current().beatsToNext, 6);
  EXPECT_FALSE(score.current().release);
  EXPECT_TRUE(score.currentMatchesDesigner(designer, kStrings));
  // Every field of the fingering goes back, on the strings the instrument has.
  designer = test::designer(test::shape("x57765"), 5, true, 1);
  designer.holdAll = true;
  designer.held = {false, true, false, false, true, true};
  score.updateCurrent("D", designer, kStrings);
  DesignerChord other;
  other.frets = {9, 9, 9, 9, 9, 9};
  other.held[5] = false;
  other.enharmonic = true;
  score.applyCurrentToDesigner(other, 4);
  EXPECT_EQ(other.frets, (DesignerChord::Slots{-1, 5, 7, 7, 9, 9}));
  EXPECT_EQ(other.held, (std::array<bool, 6>{false, true, false, false, false, false}));
  EXPECT_EQ(other.rootString, 1);
  EXPECT_EQ(other.topFret, 5);
  EXPECT_TRUE(other.barred && other.holdAll);
  EXPECT_FALSE(other.enharmonic);
  EXPECT_FALSE(other.release);
}

// New entries get default beats that always fit their byte; a chord lasts
// its twelfths of a beat, and never nothing.
TEST(ScoreTest, LengthsInTwelfthsOfABeatFitTheirByteAndLastAtLeastAMillisecond) {
  Score score = blank();
  for (const auto& [beats, twelfths] :
       {std::pair{1, 12}, {7, 84}, {10, 120}, {11, 127}, {127, 127}, {0, 1}, {-128, 1}}) {
    score.defaultBeats = static_cast<std::int8_t>(beats);
    EXPECT_EQ(score.makeEntry("", {}, kStrings).beatsToNext, twelfths) << beats;
  }
  const std::tuple<int, unsigned, unsigned> lengths[] = {
      {12, 600, 600}, {48, 600, 2400}, {4, 600, 200}, {3, 80, 20},  {127, 3000, 31750},
      {1, 80, 6},     {1, 11, 1},      {1, 1, 1},     {0, 600, 50}, {-5, 600, 50}};
  for (const auto& [twelfths, beatMs, ms] : lengths) {
    EXPECT_EQ(chordLengthMs(twelfths, beatMs), ms) << twelfths << " at " << beatMs;
  }
}

// w h q e s: whole to sixteenth; T t: quarter-note and eighth-note triplet parts.
TEST(ScoreTest, LengthsSplitIntoNoteValuesAndJoinBackOrBecomeAWholeNote) {
  const std::tuple<int, std::string_view, int> cases[] = {
      {12, "q", 12},  {18, "qe", 18},  {21, "qes", 21},   {32, "hT", 32}, {36, "hq", 36},
      {52, "wt", 52}, {84, "whq", 84}, {93, "whqes", 93}, {3, "s", 3},    {7, "", 48},
      {120, "", 48},  {111, "s", 3},  // nine beats are no values, the sixteenth stays
  };
  for (const auto& [beats, shown, joined] : cases) {
    const NoteLengths n = splitNoteLengths(beats);
    const std::string values = std::string(n.whole ? "w" : "") + (n.half ? "h" : "") +
                               (n.quarter ? "q" : "") + (n.eighth ? "e" : "") +
                               (n.sixteenth ? "s" : "") + (n.quarterTriplet ? "T" : "") +
                               (n.eighthTriplet ? "t" : "");
    EXPECT_EQ(values, shown) << beats;
    EXPECT_EQ(joinNoteLengths(n), joined) << beats;
  }
}

// Only the user who locked a score may save or unlock it; the lock and the
// default comment carry the account name in document text, cut to the field.
TEST(ScoreTest, OnlyTheUserWhoLockedAScoreMaySaveOrUnlockIt) {
  for (const auto& [locked, owned, may] : {std::tuple{false, true, true},
                                           {true, true, true},
                                           {true, false, false},
                                           {false, false, true}}) {
    Score score = blank();
    score.locked = locked;
    score.ownedByUser = owned;
    EXPECT_EQ(score.canSave() && score.canUnlock(), may) << locked << owned;
  }
  EXPECT_EQ(defaultScoreComment(2024, "ann"), "\xA9 2024 ann");
  EXPECT_EQ(defaultScoreComment(2024, std::string(60, 'u')).size(), kScoreTextMax);
  EXPECT_EQ(documentUserName("ann"), "ann");
  EXPECT_EQ(documentUserName("Zo\xC3\xAB"), "Zo\xEB");            // in the code page
  EXPECT_EQ(documentUserName("\xE5\xB1\xB1\xE7\x94\xB0"), "??");  // outside it
  EXPECT_EQ(documentUserName(std::string(60, 'u')), std::string(49, 'u'));
  EXPECT_EQ(documentUserName(std::string(48, 'u') + "\xC3\xA9x"), std::string(48, 'u') + "\xE9");
  EXPECT_FALSE(userName().empty());
  EXPECT_LE(userName().size(), kScoreTextMax);
}

// What the code page cannot hold, a stray continuation byte, a cut sequence
// and an overlong slash each become a question mark.
TEST(TextCodecTest, TextsTravelAsWindows1252) {
  std::string all;
  for (int b = 1; b < 256; ++b) {
    all += static_cast<char>(b);
  }
  EXPECT_EQ(utf8ToWindows1252(windows1252ToUtf8(all)), all);
  EXPECT_EQ(windows1252ToUtf8("\xA9 \x80"), "\u00A9 \u20AC");
  EXPECT_EQ(utf8ToWindows1252("Caf\u00E9 \u2013 \u20AC"), "Caf\xE9 \x96 \x80");
  EXPECT_EQ(utf8ToWindows1252("\u65E5\u672C \xF0\x9F\x8E\xB8!"), "?? ?!");
  EXPECT_EQ(utf8ToWindows1252("a\x80"
                              "b\xC3"),
            "a?b?");
  EXPECT_EQ(utf8ToWindows1252("\xC0\xAF"), "??");
}

}  // namespace
}  // namespace fretlets
