#include "documents/chord_book_file.h"

#include "music/designer_chord.h"
#include "support/document_test_support.h"

namespace fretlets {
namespace {

using namespace document_test;

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

const Reader kRead = [](const Bytes& bytes, InstrumentState& state, bool scoreOpen) {
  return errorOf([&] { parseChordBook(bytes, state, scoreOpen); });
};

TEST(ChordBookFileTest, ExampleReadsAndWritesBackByteForByte) {
  InstrumentState state = instrumentState(2);  // the file's guitar replaces a bass
  const ChordBook book = parseChordBook(kExample, state, false);
  EXPECT_EQ(state.currentInstrument, kGuitar);
  EXPECT_EQ(state.tuning, (Tuning{40, 45, 50, 55, 59, 64}));
  ASSERT_EQ(book.chords().size(), 1U);
  EXPECT_EQ(book.currentChord().name.view(), "m7");
  EXPECT_EQ(book.currentFretlet().position, 3);
  EXPECT_EQ(book.currentFretlet().frets, (DesignerChord::Slots{3, 5, 5, 3, 3, 3}));
  EXPECT_EQ(chordBookBytes(book, state), kExample);
}

TEST(ChordBookFileTest, EveryDamagedFieldHasItsMessageAndKeepsTheInstrument) {
  const std::string corrupt = "Not a Chordbook file\nor data is corrupted";
  const std::string end = "Unexpected end of file";
  const Bytes movable = withByte(kExample, kFretletAt + 1, 0xFE);
  const struct {
    Bytes bytes;
    std::string message;
  } cases[] = {
      {{}, end},
      {withInt(kExample, 0, 30), corrupt},  // marker length
      {withByte(kExample, 12, 'K'), "Not a Chordbook file"},
      {withInt(kExample, kVersionAt, 102), "Unknown version of Chordbook file"},
      {withByte(kExample, kInstrumentAt, 16), corrupt},
      {withByte(kExample, kInstrumentAt + 1, 84), corrupt},  // above the highest open string
      {withInt(kExample, kChordCountAt, -1), corrupt},
      {withInt(kExample, kChordCountAt, 0x7FFFFFFF), end},  // before allocating
      {withInt(kExample, kNameLengthAt, 30), corrupt},
      {withInt(kExample, kNameLengthAt, -2), corrupt},
      {withInt(kExample, kFretletCountAt, 0), corrupt},
      {withInt(kExample, kFretletCountAt, 0x7FFFFFFF), end},
      {withByte(kExample, kFretletAt, 6), corrupt},            // root string
      {withByte(kExample, kFretletAt + 1, 18), corrupt},       // top fret
      {withByte(kExample, kFretletAt + 1, 0xFD), corrupt},     // position -3
      {withByte(kExample, kFretletAt + 2, 23), corrupt},       // fret
      {withByte(kExample, kFretletAt + 2, 0xEF), "no error"},  // see the cleaning below
      {withByte(movable, kFretletAt + 2, 0xEF), "no error"},   // open string, shape made at 17
      {withByte(movable, kFretletAt + 2, 0xEE), corrupt},
  };
  for (std::size_t i = 0; i < std::size(cases); ++i) {
    SCOPED_TRACE("case " + std::to_string(i));
    EXPECT_EQ(failureKeepsTheInstrument(kRead, cases[i].bytes), cases[i].message);
  }
}

// At top fret 3 the rows are frets 3..8: below them an open string of a
// moved shape, past them not played. Movable shapes keep their values.
TEST(ChordBookFileTest, FixedFretsOffTheDiagramAreCleanedAsApplyingCleansThem) {
  Bytes bytes = kExample;
  const std::int8_t stored[] = {-2, 1, 9, 0, 8, -17};
  std::copy(std::begin(stored), std::end(stored), bytes.begin() + kFretletAt + 2);
  InstrumentState state;
  EXPECT_EQ(parseChordBook(bytes, state, false).currentFretlet().frets,
            (DesignerChord::Slots{0, 0, -1, 0, 8, 0}));
  bytes[kFretletAt + 1] = 0xFE;
  EXPECT_EQ(parseChordBook(bytes, state, false).currentFretlet().frets,
            (DesignerChord::Slots{-2, 1, 9, 0, 8, -17}));
}

TEST(ChordBookFileTest, AFileCutAnywhereEndsUnexpectedlyAndANameEndsAtItsFirstNul) {
  expectEveryCutEndsUnexpectedly(kRead, kExample);
  expectEveryCutEndsUnexpectedly(kRead, withInt(kExample, kVersionAt, 100));
  InstrumentState state;
  ChordBook book = parseChordBook(withByte(kExample, kNameLengthAt + 5, 0), state, false);
  EXPECT_EQ(book.currentChord().name.view(), "m");
  EXPECT_TRUE(book.findChord("m"));
  const Bytes written = chordBookBytes(book, state);
  ASSERT_EQ(written.size(), kExample.size() - 1);
  EXPECT_EQ(written[kNameLengthAt], 1);
}

TEST(ChordBookFileTest, AnOpenScoreDecidesInstrumentAndTuning) {
  InstrumentState score;  // guitar, standard tuning
  const Bytes dropD = withByte(kExample, kInstrumentAt + 1, 38);
  EXPECT_EQ(kRead(dropD, score, true), "Chord Book tuning incompatible with Score");
  const Bytes mandolin = chordBookBytes(ChordBook(4), instrumentState(kMandolin));
  EXPECT_EQ(kRead(mandolin, score, true), "Chord Book instrument incompatible with Score");
  EXPECT_EQ(score.currentInstrument, kGuitar);
  EXPECT_EQ(score.tuning[0], 40);
  // With no score open the book's tuning becomes current.
  EXPECT_EQ(kRead(dropD, score, false), "no error");
  EXPECT_EQ(score.tuning[0], 38);
}

TEST(ChordBookFileTest, TextModeBooksDropTheCarriageReturnsOnEveryPlatform) {
  // Mandolin is instrument 10, a line feed: written in text mode it became
  // CR LF.
  Bytes bytes = withInt(chordBookBytes(ChordBook(4), instrumentState(kMandolin)), kVersionAt, 100);
  bytes.insert(bytes.begin() + kInstrumentAt, 0x0D);
  InstrumentState state;
  EXPECT_TRUE(parseChordBook(bytes, state, false).empty());
  EXPECT_EQ(state.currentInstrument, kMandolin);
  EXPECT_EQ(state.tuning, (Tuning{55, 62, 69, 76, -1, -1}));
  // The same bytes as version 101 keep the CR, which shifts every field.
  EXPECT_NE(kRead(withInt(bytes, kVersionAt, 101), state, false), "no error");
  // End-of-file byte 0x1A ends the data.
  const Bytes ended = withByte(withInt(kExample, kVersionAt, 100), kFretletAt + 4, 0x1A);
  EXPECT_EQ(kRead(ended, state, false), "Unexpected end of file");
}

// The committed sample books and scores are exactly what their generator writes.
TEST(SamplesTest, TheGeneratorMakesTheCommittedFiles) {
  const fs::path out = fs::temp_directory_path() / ("fretlets-samples-" + std::to_string(getpid()));
  fs::remove_all(out);
  const fs::path generator = fs::path(FRETLETS_BIN_DIR) / "fretlets-make-samples";
  ASSERT_EQ(std::system(("'" + generator.string() + "' '" + out.string() + "'").c_str()), 0);
  std::size_t count = 0;
  for (const auto& made : fs::directory_iterator(out)) {
    ++count;
    EXPECT_EQ(bytesOf(made.path()), bytesOf(sample(made.path().filename())))
        << made.path().filename() << " differs: rebuild resources/samples with the generator";
  }
  EXPECT_EQ(count, static_cast<std::size_t>(std::distance(fs::directory_iterator(sample("")), {})));
  fs::remove_all(out);
}

}  // namespace
}  // namespace fretlets
