#include "chordbook/chord_book_file.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <functional>
#include <string>
#include <vector>

#include "music/designer_chord.h"

namespace fretlets {
namespace {

using Bytes = std::vector<std::uint8_t>;

// The guitar book in standard tuning with one chord type "m7" holding one
// fixed fretlet: root string 0, top fret 3, frets 3 5 5 3 3 3.
const Bytes kExample{0x09, 0x00, 0x00, 0x00, 0x63, 0x68, 0x6F, 0x72, 0x64, 0x62, 0x6F, 0x6F,
                     0x6B, 0x65, 0x00, 0x00, 0x00, 0x09, 0x28, 0x2D, 0x32, 0x37, 0x3B, 0x40,
                     0x01, 0x00, 0x00, 0x00, 0x02, 0x00, 0x00, 0x00, 0x6D, 0x37, 0x01, 0x00,
                     0x00, 0x00, 0x00, 0x03, 0x03, 0x05, 0x05, 0x03, 0x03, 0x03};

// Offsets into kExample.
constexpr std::size_t kVersionAt = 13;
constexpr std::size_t kInstrumentAt = 17;
constexpr std::size_t kChordCountAt = 24;
constexpr std::size_t kNameLengthAt = 28;
constexpr std::size_t kFretletCountAt = 34;
constexpr std::size_t kFretletAt = 38;

void putInt(Bytes& bytes, std::size_t at, std::int32_t value) {
  for (int i = 0; i < 4; ++i) {
    bytes[at + i] = static_cast<std::uint8_t>(static_cast<std::uint32_t>(value) >> (8 * i));
  }
}

std::string readError(const Bytes& bytes, InstrumentState& state, bool scoreOpen = false) {
  try {
    parseChordBook(bytes, state, scoreOpen);
  } catch (const FormatError& error) {
    return error.what();
  }
  return "no error";
}

std::string readError(const Bytes& bytes, bool scoreOpen = false) {
  InstrumentState state;
  return readError(bytes, state, scoreOpen);
}

TEST(ChordBookFileTest, ExampleReadsAndWritesBackByteForByte) {
  InstrumentState state;
  defaultTuning(kGuitar, state.tuning);
  state.currentInstrument = 2;  // the file's guitar replaces a bass
  const ChordBook book = parseChordBook(kExample, state, false);
  EXPECT_EQ(state.currentInstrument, kGuitar);
  EXPECT_EQ(state.tuning, (Tuning{40, 45, 50, 55, 59, 64}));
  ASSERT_EQ(book.chords().size(), 1U);
  EXPECT_EQ(book.currentChord().name.view(), "m7");
  EXPECT_EQ(book.fretletCount(), 1);
  EXPECT_EQ(book.currentFretlet().rootString, 0);
  EXPECT_EQ(book.currentFretlet().position, 3);
  EXPECT_EQ(book.currentFretlet().frets, (DesignerChord::Slots{3, 5, 5, 3, 3, 3}));
  EXPECT_TRUE(book.listChanged());
  EXPECT_FALSE(book.modified());
  EXPECT_EQ(chordBookBytes(book, state), kExample);
  EXPECT_EQ(chordBookBytes(ChordBook{}, state).size(), 28U);
}

TEST(ChordBookFileTest, EveryRejectedHeaderHasItsMessage) {
  EXPECT_EQ(readError({}), "Unexpected end of file");
  Bytes bytes = kExample;
  putInt(bytes, 0, 30);
  EXPECT_EQ(readError(bytes), "Not a Chordbook file\nor data is corrupted");
  putInt(bytes, 0, -1);
  EXPECT_EQ(readError(bytes), "Not a Chordbook file\nor data is corrupted");
  bytes = kExample;
  bytes[12] = 'K';
  EXPECT_EQ(readError(bytes), "Not a Chordbook file");
  bytes = kExample;
  putInt(bytes, kVersionAt, 102);
  EXPECT_EQ(readError(bytes), "Unknown version of Chordbook file");
  bytes = kExample;
  bytes[kInstrumentAt] = 16;
  EXPECT_EQ(readError(bytes), "Not a Chordbook file\nor data is corrupted");
  bytes = kExample;
  bytes[kInstrumentAt + 1] = 84;  // above the highest open string
  EXPECT_EQ(readError(bytes), "Not a Chordbook file\nor data is corrupted");
}

TEST(ChordBookFileTest, RecordsThatCouldNotHaveBeenSavedAreCorrupt) {
  const std::string corrupt = "Not a Chordbook file\nor data is corrupted";
  const auto withInt = [](std::size_t at, std::int32_t value) {
    Bytes bytes = kExample;
    putInt(bytes, at, value);
    return bytes;
  };
  const auto withByte = [](std::size_t at, std::uint8_t value) {
    Bytes bytes = kExample;
    bytes[at] = value;
    return bytes;
  };
  EXPECT_EQ(readError(withInt(kChordCountAt, -1)), corrupt);
  EXPECT_EQ(readError(withInt(kNameLengthAt, 30)), corrupt);
  EXPECT_EQ(readError(withInt(kNameLengthAt, -2)), corrupt);
  EXPECT_EQ(readError(withInt(kFretletCountAt, 0)), corrupt);
  EXPECT_EQ(readError(withInt(kFretletCountAt, -5)), corrupt);
  EXPECT_EQ(readError(withByte(kFretletAt, 6)), corrupt);         // root string
  EXPECT_EQ(readError(withByte(kFretletAt + 1, 18)), corrupt);    // top fret
  EXPECT_EQ(readError(withByte(kFretletAt + 1, 0xFD)), corrupt);  // position -3
  EXPECT_EQ(readError(withByte(kFretletAt + 2, 23)), corrupt);    // fret
  EXPECT_EQ(readError(withByte(kFretletAt + 2, 0xFE)), corrupt);  // -2 on a fixed record
  Bytes movable = withByte(kFretletAt + 1, 0xFE);
  movable[kFretletAt + 2] = 0xEF;  // -17: open string of a shape made at fret 17
  EXPECT_EQ(readError(movable), "no error");
  movable[kFretletAt + 2] = 0xEE;
  EXPECT_EQ(readError(movable), corrupt);
}

TEST(ChordBookFileTest, ANameEndsAtItsFirstNul) {
  Bytes bytes = kExample;
  bytes[kNameLengthAt + 5] = 0;  // "m\0"
  InstrumentState state;
  ChordBook book = parseChordBook(bytes, state, false);
  EXPECT_EQ(book.currentChord().name.view(), "m");
  EXPECT_TRUE(book.findChord("m"));
  const Bytes written = chordBookBytes(book, state);
  ASSERT_EQ(written.size(), kExample.size() - 1);
  EXPECT_EQ(written[kNameLengthAt], 1);
}

TEST(ChordBookFileTest, CountsBeyondTheFileFailBeforeAllocating) {
  Bytes bytes = kExample;
  putInt(bytes, kChordCountAt, 0x7FFFFFFF);
  EXPECT_EQ(readError(bytes), "Unexpected end of file");
  bytes = kExample;
  putInt(bytes, kFretletCountAt, 0x7FFFFFFF);
  EXPECT_EQ(readError(bytes), "Unexpected end of file");
}

TEST(ChordBookFileTest, AFileCutAnywhereEndsUnexpectedly) {
  Bytes textMode = kExample;
  putInt(textMode, kVersionAt, 100);
  for (const Bytes& whole : {kExample, textMode}) {
    for (std::size_t length = 0; length < whole.size(); ++length) {
      const Bytes cut(whole.begin(), whole.begin() + static_cast<std::ptrdiff_t>(length));
      EXPECT_EQ(readError(cut, false), "Unexpected end of file") << length;
      EXPECT_EQ(readError(cut, true), "Unexpected end of file") << length;
    }
  }
}

TEST(ChordBookFileTest, AnOpenScoreDecidesInstrumentAndTuning) {
  InstrumentState score;  // guitar, standard tuning
  Bytes dropD = kExample;
  dropD[kInstrumentAt + 1] = 38;
  EXPECT_EQ(readError(dropD, score, true), "Chord Book tuning incompatible with Score");
  Bytes mandolin = chordBookBytes(ChordBook{}, [] {
    InstrumentState state;
    adoptInstrument(state, 10, instrumentTable[10].defaultTuning);
    return state;
  }());
  EXPECT_EQ(readError(mandolin, score, true), "Chord Book instrument incompatible with Score");
  EXPECT_EQ(score.currentInstrument, kGuitar);
  EXPECT_EQ(score.tuning[0], 40);
  // With no score open the book's tuning becomes current.
  EXPECT_EQ(readError(dropD, score, false), "no error");
  EXPECT_EQ(score.tuning[0], 38);
}

TEST(ChordBookFileTest, AFailedReadLeavesTheInstrumentAsItWas) {
  InstrumentState state;
  adoptInstrument(state, 13, instrumentTable[13].defaultTuning);  // saz
  const InstrumentState before = state;
  Bytes bytes = kExample;
  bytes[kFretletAt + 2] = 30;
  EXPECT_NE(readError(bytes, state), "no error");
  EXPECT_EQ(state.currentInstrument, before.currentInstrument);
  EXPECT_EQ(state.tuning, before.tuning);
}

TEST(ChordBookFileTest, TextModeBooksDropTheCarriageReturnsOnEveryPlatform) {
  // Mandolin is instrument 10, a line feed: written in text mode it became
  // CR LF.
  InstrumentState mandolin;
  adoptInstrument(mandolin, 10, instrumentTable[10].defaultTuning);
  Bytes bytes = chordBookBytes(ChordBook{}, mandolin);
  putInt(bytes, kVersionAt, 100);
  bytes.insert(bytes.begin() + kInstrumentAt, 0x0D);
  InstrumentState state;
  const ChordBook book = parseChordBook(bytes, state, false);
  EXPECT_TRUE(book.empty());
  EXPECT_EQ(state.currentInstrument, 10);
  EXPECT_EQ(state.tuning, (Tuning{55, 62, 69, 76, -1, -1}));
  // The same bytes as version 101 keep the CR, which shifts every field.
  putInt(bytes, kVersionAt, 101);
  EXPECT_NE(readError(bytes), "no error");
  // End-of-file byte 0x1A ends the data.
  Bytes ended = kExample;
  putInt(ended, kVersionAt, 100);
  ended[kFretletAt + 4] = 0x1A;
  EXPECT_EQ(readError(ended), "Unexpected end of file");
}

TEST(ChordBookFileTest, ThreeStringBooksStoreFiveBytesPerFretlet) {
  InstrumentState saz;
  adoptInstrument(saz, 13, instrumentTable[13].defaultTuning);
  ChordBook book;
  DesignerChord chord;
  chord.frets = {0, 2, 2, -1, -1, -1};
  book.addFretlet("sus2", chord, 3);
  chord.frets = {0, 3, 2, -1, -1, -1};
  book.addFretlet("sus2", chord, 3);
  const Bytes bytes = chordBookBytes(book, saz);
  EXPECT_EQ(bytes.size(), 4U + 9 + 4 + 1 + 3 + 4 + 4 + 4 + 4 + 2 * 5);
  InstrumentState state;
  const ChordBook back = parseChordBook(bytes, state, false);
  EXPECT_EQ(state.tuning, (Tuning{43, 50, 57, -1, -1, -1}));
  EXPECT_EQ(back.fretletCount(), 2);
  EXPECT_EQ(back.currentFretlet().frets, (DesignerChord::Slots{0, 2, 2, -1, -1, -1}));
}

TEST(ChordBookFileTest, AnAllMutedFretletMayKeepARootSlotTheInstrumentLacks) {
  // A root chosen on a guitar's top string stays while every string is muted,
  // also after the switch to a mandolin, and Add stores such a fretlet.
  InstrumentState mandolin;
  adoptInstrument(mandolin, 10, instrumentTable[10].defaultTuning);
  DesignerChord muted;
  muted.rootString = 5;
  ChordBook book;
  ASSERT_TRUE(book.addFretlet("", muted, 4));
  const Bytes bytes = chordBookBytes(book, mandolin);
  InstrumentState state;
  const ChordBook back = parseChordBook(bytes, state, false);
  EXPECT_EQ(back.currentFretlet().rootString, 5);
  EXPECT_EQ(chordBookBytes(back, state), bytes);
}

TEST(ChordBookFileTest, FileOrderIsKeptUntilTheNextInsertion) {
  InstrumentState guitar;
  ChordBook book;
  DesignerChord chord;
  for (const char* name : {"m", "7"}) {
    chord.frets = {3, 0, 0, 0, 0, 0};
    book.addFretlet(name, chord, 6);
    chord.frets = {1, 0, 0, 0, 0, 0};
    book.addFretlet(name, chord, 6);
  }
  Bytes bytes = chordBookBytes(book, guitar);
  // Swap the two chords' names and the two fretlets of the first chord, as
  // a file sorted by some other rule might hold them.
  const std::size_t first = 28;
  std::swap(bytes[first + 4], bytes[first + 4 + 1 + 4 + 2 * 8 + 4]);
  std::swap(bytes[first + 4 + 1 + 4 + 2], bytes[first + 4 + 1 + 4 + 8 + 2]);
  ChordBook read = parseChordBook(bytes, guitar, false);
  EXPECT_EQ(read.chords().front().name.view(), "m");
  EXPECT_EQ(read.currentFretlet().frets[0], 3);
  chord.frets = {2, 0, 0, 0, 0, 0};
  read.addFretlet("m", chord, 6);
  EXPECT_EQ(read.currentChord().name.view(), "m");
  EXPECT_EQ(read.fretletIndex(), 2);
  EXPECT_EQ(read.currentChord().fretlets.front().frets[0], 1);
  // Only an insertion into the chord list puts the chords in order.
  EXPECT_EQ(read.chords().front().name.view(), "m");
  read.addFretlet("9", chord, 6);
  EXPECT_EQ(read.chords().front().name.view(), "7");
  EXPECT_EQ(read.chords().back().name.view(), "m");
  EXPECT_EQ(read.chordIndex(), 1);
}

class ChordBookDiskTest : public ::testing::Test {
 protected:
  void SetUp() override {
    folder_ = std::filesystem::temp_directory_path() /
              ("fretlets-book-" + std::to_string(getpid()) + "-" +
               ::testing::UnitTest::GetInstance()->current_test_info()->name());
    std::filesystem::remove_all(folder_);
    std::filesystem::create_directories(folder_);
  }
  void TearDown() override { std::filesystem::remove_all(folder_); }

  std::filesystem::path folder_;
};

std::string fileError(const std::function<void()>& action) {
  try {
    action();
  } catch (const FormatError& error) {
    return error.what();
  }
  return "no error";
}

TEST_F(ChordBookDiskTest, SavesAndReadsBack) {
  InstrumentState state;
  const ChordBook book = parseChordBook(kExample, state, false);
  const auto path = folder_ / "book.cbk";
  writeChordBook(book, state, path);
  std::ifstream file(path, std::ios::binary);
  const Bytes onDisk{std::istreambuf_iterator<char>(file), {}};
  EXPECT_EQ(onDisk, kExample);
  EXPECT_EQ(readChordBook(path, state, true).fretletCount(), 1);
  EXPECT_EQ(std::distance(std::filesystem::directory_iterator(folder_), {}), 1);
}

TEST_F(ChordBookDiskTest, SavingThroughALinkUpdatesTheFileItPointsTo) {
  InstrumentState state;
  const auto real = folder_ / "real.cbk";
  const auto link = folder_ / "link.cbk";
  writeChordBook(ChordBook{}, state, real);
  std::filesystem::create_symlink("real.cbk", link);
  writeChordBook(parseChordBook(kExample, state, false), state, link);
  EXPECT_TRUE(std::filesystem::is_symlink(link));
  EXPECT_EQ(readChordBook(real, state, false).fretletCount(), 1);
  EXPECT_EQ(std::distance(std::filesystem::directory_iterator(folder_), {}), 2);
}

TEST_F(ChordBookDiskTest, OpenFailuresAndFailedSavesKeepThePreviousFile) {
  InstrumentState state;
  EXPECT_EQ(fileError([&] { readChordBook(folder_ / "missing.cbk", state, false); }),
            "Couldn't open file");
  EXPECT_EQ(fileError([&] { readChordBook(folder_, state, false); }), "File read failed");
  EXPECT_EQ(fileError([&] { writeChordBook(ChordBook{}, state, folder_ / "no" / "b.cbk"); }),
            "Couldn't open file");

  const auto path = folder_ / "book.cbk";
  const ChordBook book = parseChordBook(kExample, state, false);
  writeChordBook(book, state, path);
  // A folder where the temporary file would go makes the save fail.
  std::filesystem::create_directory(folder_ / "book.cbk.saving");
  EXPECT_EQ(fileError([&] { writeChordBook(ChordBook{}, state, path); }), "Couldn't open file");
  EXPECT_EQ(readChordBook(path, state, false).fretletCount(), 1);
  // Saving over a folder fails at the rename and leaves no temporary file.
  std::filesystem::remove(folder_ / "book.cbk.saving");
  std::filesystem::create_directory(folder_ / "folder.cbk");
  EXPECT_EQ(fileError([&] { writeChordBook(book, state, folder_ / "folder.cbk"); }),
            "File write failed");
  EXPECT_FALSE(std::filesystem::exists(folder_ / "folder.cbk.saving"));
  EXPECT_TRUE(std::filesystem::is_directory(folder_ / "folder.cbk"));
}

}  // namespace
}  // namespace fretlets
