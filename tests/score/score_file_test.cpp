#include "score/score_file.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "music/designer_chord.h"

namespace fretlets {
namespace {

using Bytes = std::vector<std::uint8_t>;

constexpr std::size_t kVersionAt = 9;
constexpr std::size_t kInstrumentAt = 13;
constexpr std::size_t kTitleAt = 20;  // after a guitar's six tuning bytes

void putInt(Bytes& bytes, std::size_t at, std::int32_t value) {
  for (int i = 0; i < 4; ++i) {
    bytes[at + i] = static_cast<std::uint8_t>(static_cast<std::uint32_t>(value) >> (8 * i));
  }
}

// The empty guitar score with comment "x" and the patch of row 95 of XG.
Bytes example() {
  return {0x05, 0x00, 0x00, 0x00, 'S',  'c',  'o',  'r',  'e',  0x66, 0x00, 0x00, 0x00,
          0x09, 0x28, 0x2D, 0x32, 0x37, 0x3B, 0x40, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00,
          0x00, 0x00, 0x01, 0x00, 0x00, 0x00, 0x78, 0x64, 0x00, 0x00, 0x00, 0x01, 0x5F,
          0x00, 0x00, 0x00, 0x00, 0x18, 0x04, 0x00, 0x00, 0x00, 0x00, 0x00};
}

// Offsets into example().
constexpr std::size_t kTempoAt = 33;
constexpr std::size_t kDefaultBeatsAt = 44;
constexpr std::size_t kLockedAt = 45;
constexpr std::size_t kEntryCountAt = 46;

std::string readError(const Bytes& bytes, InstrumentState& state, bool bookOpen = false) {
  try {
    parseScore(bytes, state, bookOpen, "ann");
  } catch (const FormatError& error) {
    return error.what();
  }
  return "no error";
}

std::string readError(const Bytes& bytes, bool bookOpen = false) {
  InstrumentState state;
  return readError(bytes, state, bookOpen);
}

// Two entries with every field set, one of them locked under "ann".
Score fullScore() {
  Score score(defaultScoreComment(2024, "ann"), ScorePatch{1, 95, 0, 24});
  score.title = "Blues in A";
  score.composer = "Trad.";
  score.tempo = 96;
  score.defaultBeats = 2;
  score.locked = true;
  score.owner = "ann";
  DesignerChord chord;
  chord.frets = {5, 7, 7, 6, 5, 5};
  chord.topFret = 5;
  chord.barred = true;
  chord.enharmonic = true;
  chord.held = {true, false, false, false, false, true};
  score.insertAfterCurrent("A7", chord, 6);
  score.current().release = false;
  score.current().beatsToNext = 93;
  chord.frets = {-1, 0, 2, 2, 2, 0};
  chord.topFret = 0;
  chord.holdAll = true;
  score.insertAfterCurrent("A", chord, 6);
  return score;
}

TEST(ScoreFileTest, ExampleBytesAndARoundTripOfEveryField) {
  InstrumentState guitar;
  Score empty("x", ScorePatch{1, 95, 0, 24});
  EXPECT_EQ(scoreBytes(empty, guitar, "ann"), example());

  const Score score = fullScore();
  const Bytes bytes = scoreBytes(score, guitar, "ann");
  InstrumentState state;
  adoptInstrument(state, 2, instrumentTable[2].defaultTuning);
  const Score back = parseScore(bytes, state, false, "ann");
  EXPECT_EQ(state.currentInstrument, kGuitar);
  EXPECT_EQ(back.title, score.title);
  EXPECT_EQ(back.composer, score.composer);
  EXPECT_EQ(back.comment, score.comment);
  EXPECT_EQ(back.tempo, 96);
  EXPECT_EQ(back.patch, score.patch);
  EXPECT_EQ(back.defaultBeats, 2);
  EXPECT_TRUE(back.locked);
  EXPECT_TRUE(back.ownedByUser);
  EXPECT_EQ(back.owner.view(), "ann");
  ASSERT_EQ(back.entries().size(), 2U);
  EXPECT_EQ(back.entries().front(), score.entries().front());
  EXPECT_EQ(back.entries().back(), score.entries().back());
  EXPECT_EQ(back.currentIndex(), 1);
  EXPECT_EQ(scoreBytes(back, state, "ann"), bytes);
}

TEST(ScoreFileTest, LockedScoresBelongToTheExactOwner) {
  InstrumentState guitar;
  const Bytes bytes = scoreBytes(fullScore(), guitar, "Ann");
  InstrumentState state;
  const Score read = parseScore(bytes, state, false, "ann");
  EXPECT_FALSE(read.ownedByUser);
  EXPECT_EQ(read.owner.view(), "Ann");
  // Unlocked: the entry count follows the locked byte directly.
  const Bytes unlocked = example();
  EXPECT_EQ(unlocked[kLockedAt], 0);
  EXPECT_EQ(unlocked.size(), kEntryCountAt + 4);
  EXPECT_TRUE(parseScore(unlocked, state, false, "ann").owner.empty());
}

TEST(ScoreFileTest, VersionOneHundredOneEntriesRelease) {
  InstrumentState guitar;
  Score score = fullScore();
  Bytes bytes = scoreBytes(score, guitar, "ann");
  // Drop each entry's release byte and call it version 101.
  putInt(bytes, kVersionAt, 101);
  // Entries "A7" and "A": 25 and 24 bytes, the release byte 12 and 11 in.
  const std::size_t entriesAt = bytes.size() - 25 - 24;
  Bytes old = bytes;
  old.erase(old.begin() + static_cast<std::ptrdiff_t>(entriesAt + 25 + 11));
  old.erase(old.begin() + static_cast<std::ptrdiff_t>(entriesAt + 12));
  InstrumentState state;
  const Score read = parseScore(old, state, false, "ann");
  ASSERT_EQ(read.entries().size(), 2U);
  EXPECT_TRUE(read.entries().front().release);
  EXPECT_EQ(read.entries().front().beatsToNext, 93);
  EXPECT_EQ(read.entries().back().frets, score.entries().back().frets);
  // Saving again writes version 102 with the release byte.
  putInt(bytes, kVersionAt, 102);
  bytes[entriesAt + 12] = 1;
  EXPECT_EQ(scoreBytes(read, state, "ann"), bytes);
}

TEST(ScoreFileTest, EveryRejectedFieldHasItsMessage) {
  const std::string corrupt = "Not a Score file\nor Data is corrupted";
  const auto withInt = [](std::size_t at, std::int32_t value) {
    Bytes bytes = example();
    putInt(bytes, at, value);
    return bytes;
  };
  const auto withByte = [](std::size_t at, std::uint8_t value) {
    Bytes bytes = example();
    bytes[at] = value;
    return bytes;
  };
  EXPECT_EQ(readError({}), "Unexpected end of file");
  EXPECT_EQ(readError(withInt(0, 6)), corrupt);
  EXPECT_EQ(readError(withInt(0, -1)), corrupt);
  Bytes scor = withInt(0, 4);
  scor.erase(scor.begin() + 8);
  EXPECT_EQ(readError(scor), "Not a Score file");
  EXPECT_EQ(readError(withByte(8, 'E')), "Not a Score file");
  EXPECT_EQ(readError(withInt(kVersionAt, 103)), "Unknown version of Score file");
  Bytes headerOnly = example();
  headerOnly.resize(kInstrumentAt);
  EXPECT_EQ(readError(headerOnly), "Unexpected end of file");
  EXPECT_EQ(readError(withInt(kTitleAt, 50)), corrupt);
  EXPECT_EQ(readError(withInt(kTitleAt, -1)), corrupt);
  EXPECT_EQ(readError(withByte(kInstrumentAt, 0xFF)), corrupt);
  EXPECT_EQ(readError(withByte(kInstrumentAt + 1, 0x80)), corrupt);
  EXPECT_EQ(readError(withInt(kEntryCountAt, -1)), corrupt);
  EXPECT_EQ(readError(withInt(kEntryCountAt, 0x7FFFFFFF)), "Unexpected end of file");
  // Values playback and the patch tables rely on.
  EXPECT_EQ(readError(withInt(kTempoAt, 0)), corrupt);
  EXPECT_EQ(readError(withInt(kTempoAt, 751)), corrupt);
  EXPECT_EQ(readError(withInt(kTempoAt, 20)), "no error");
  EXPECT_EQ(readError(withByte(kDefaultBeatsAt, 0)), corrupt);
  EXPECT_EQ(readError(withByte(kDefaultBeatsAt, 8)), corrupt);
  EXPECT_EQ(readError(withByte(kTempoAt + 4, 2)), corrupt);   // MIDI standard
  EXPECT_EQ(readError(withInt(kTempoAt + 5, 438)), corrupt);  // XG has 438 rows
  EXPECT_EQ(readError(withInt(kTempoAt + 5, 437)), "no error");
  EXPECT_EQ(readError(withByte(kTempoAt + 10, 0x80)), corrupt);  // program
}

TEST(ScoreFileTest, TextsEndAtTheirFirstNul) {
  Bytes bytes = example();
  putInt(bytes, kTitleAt, 3);
  const Bytes title{'a', 0, 'c'};
  bytes.insert(bytes.begin() + kTitleAt + 4, title.begin(), title.end());
  InstrumentState state;
  const Score score = parseScore(bytes, state, false, "ann");
  EXPECT_EQ(score.title.view(), "a");
  Bytes expected = example();
  putInt(expected, kTitleAt, 1);
  expected.insert(expected.begin() + kTitleAt + 4, 'a');
  EXPECT_EQ(scoreBytes(score, state, "ann"), expected);
}

TEST(ScoreFileTest, EntriesThatCouldNotHaveBeenSavedAreCorrupt) {
  const std::string corrupt = "Not a Score file\nor Data is corrupted";
  InstrumentState guitar;
  const Bytes good = scoreBytes(fullScore(), guitar, "ann");
  const std::size_t entry = good.size() - 25 - 24;
  const std::size_t fields = entry + 4 + 2;  // after the name "A7"
  const auto withByte = [&](std::size_t at, std::uint8_t value) {
    Bytes bytes = good;
    bytes[at] = value;
    return bytes;
  };
  EXPECT_EQ(readError(withByte(entry, 36)), corrupt);       // name length
  EXPECT_EQ(readError(withByte(fields, 6)), corrupt);       // root string
  EXPECT_EQ(readError(withByte(fields + 1, 18)), corrupt);  // top fret
  EXPECT_EQ(readError(withByte(fields + 5, 0)), corrupt);   // no length
  EXPECT_EQ(readError(withByte(fields + 5, 0x80)), corrupt);
  EXPECT_EQ(readError(withByte(fields + 7, 11)), corrupt);    // below the diagram
  EXPECT_EQ(readError(withByte(fields + 7, 0)), "no error");  // open
}

TEST(ScoreFileTest, AFileCutAnywhereEndsUnexpectedly) {
  InstrumentState guitar;
  const Bytes whole = scoreBytes(fullScore(), guitar, "ann");
  for (std::size_t length = 0; length < whole.size(); ++length) {
    const Bytes cut(whole.begin(), whole.begin() + static_cast<std::ptrdiff_t>(length));
    EXPECT_EQ(readError(cut, false), "Unexpected end of file") << length;
    EXPECT_EQ(readError(cut, true), "Unexpected end of file") << length;
  }
}

TEST(ScoreFileTest, AnOpenChordBookDecidesInstrumentAndTuning) {
  InstrumentState mandolin;
  adoptInstrument(mandolin, 10, instrumentTable[10].defaultTuning);
  Score score;
  DesignerChord chord;
  chord.frets = {2, 0, 0, 2, 7, 7};
  score.insertAfterCurrent("D", chord, 4);
  const Bytes bytes = scoreBytes(score, mandolin, "");
  EXPECT_EQ(bytes.size(), 47U + 4 + 1 + 6 + 1 + 4 * 2);

  InstrumentState book;  // a guitar book is open
  EXPECT_EQ(readError(bytes, book, true), "Score instrument incompatible with Chord Book");
  EXPECT_EQ(book.currentInstrument, kGuitar);
  InstrumentState violin;
  adoptInstrument(violin, 15, instrumentTable[15].defaultTuning);
  EXPECT_EQ(readError(bytes, violin, true), "Score instrument incompatible with Chord Book");
  InstrumentState retuned = mandolin;
  retuned.tuning[3] = 77;
  EXPECT_EQ(readError(bytes, retuned, true), "Score tuning incompatible with Chord Book");

  InstrumentState state;
  const Score read = parseScore(bytes, state, false, "");
  EXPECT_EQ(state.currentInstrument, 10);
  EXPECT_EQ(state.tuning, (Tuning{55, 62, 69, 76, -1, -1}));
  EXPECT_EQ(read.current().frets, (std::array<std::int8_t, 6>{2, 0, 0, 2, -1, -1}));
}

TEST(ScoreFileTest, AnAllMutedEntryMayKeepARootSlotTheInstrumentLacks) {
  // The Designer keeps a guitar's root on slot 5 while nothing sounds, also
  // on a mandolin, and Insert stores the entry as it is.
  InstrumentState mandolin;
  adoptInstrument(mandolin, 10, instrumentTable[10].defaultTuning);
  DesignerChord muted;
  muted.rootString = 5;
  Score score;
  score.insertAfterCurrent("", muted, 4);
  const Bytes bytes = scoreBytes(score, mandolin, "");
  InstrumentState state;
  const Score back = parseScore(bytes, state, false, "");
  EXPECT_EQ(back.current().rootString, 5);
  EXPECT_EQ(scoreBytes(back, state, ""), bytes);
}

TEST(ScoreFileTest, AFailedReadLeavesTheInstrumentAsItWas) {
  InstrumentState guitar;
  InstrumentState mandolin;
  adoptInstrument(mandolin, 10, instrumentTable[10].defaultTuning);
  Bytes bytes = scoreBytes(Score{}, mandolin, "");
  putInt(bytes, bytes.size() - 4, 1);  // one entry that is not there
  EXPECT_EQ(readError(bytes, guitar, false), "Unexpected end of file");
  EXPECT_EQ(guitar.currentInstrument, kGuitar);
  EXPECT_EQ(guitar.tuning[5], 64);
}

TEST(ScoreFileTest, SavingReplacesTheFileOnlyWhenComplete) {
  const auto folder =
      std::filesystem::temp_directory_path() / ("fretlets-score-" + std::to_string(getpid()));
  std::filesystem::remove_all(folder);
  std::filesystem::create_directories(folder);
  const auto path = folder / "blues.score";
  InstrumentState guitar;
  const Score score = fullScore();
  writeScore(score, guitar, "ann", path);
  InstrumentState state;
  EXPECT_EQ(readScore(path, state, false, "ann").entries().size(), 2U);

  std::filesystem::create_directory(folder / "blues.score.saving");
  std::string message;
  try {
    writeScore(Score{}, guitar, "ann", path);
  } catch (const FormatError& error) {
    message = error.what();
  }
  EXPECT_EQ(message, "Couldn't open file");
  EXPECT_EQ(readScore(path, state, false, "ann").entries().size(), 2U);
  try {
    readScore(folder / "missing.score", state, false, "ann");
  } catch (const FormatError& error) {
    message = error.what();
  }
  EXPECT_EQ(message, "Couldn't open file");
  std::filesystem::remove_all(folder);
}

}  // namespace
}  // namespace fretlets
