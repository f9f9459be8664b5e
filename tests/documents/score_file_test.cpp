#include "documents/score_file.h"

#include "music/chord_fixture.h"
#include "support/document_test_support.h"

namespace fretlets {
namespace {

using namespace document_test;

// The empty guitar score with comment "x" and the patch of row 95 of XG.
const Bytes kExample{0x05, 0x00, 0x00, 0x00, 'S',  'c',  'o',  'r',  'e',  0x66, 0x00, 0x00, 0x00,
                     0x09, 0x28, 0x2D, 0x32, 0x37, 0x3B, 0x40, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00,
                     0x00, 0x00, 0x01, 0x00, 0x00, 0x00, 0x78, 0x64, 0x00, 0x00, 0x00, 0x01, 0x5F,
                     0x00, 0x00, 0x00, 0x00, 0x18, 0x04, 0x00, 0x00, 0x00, 0x00, 0x00};

// Offsets into kExample.
constexpr std::size_t kVersionAt = 9;
constexpr std::size_t kInstrumentAt = 13;
constexpr std::size_t kTitleAt = 20;
constexpr std::size_t kTempoAt = 33;
constexpr std::size_t kDefaultBeatsAt = 44;
constexpr std::size_t kEntryCountAt = 46;

const Reader kRead = [](const Bytes& bytes, InstrumentState& state, bool bookOpen) {
  return errorOf([&] { parseScore(bytes, state, bookOpen, "ann"); });
};

// Two entries with every field set ("A7" first, 25 bytes, then "A", 24
// bytes), locked under "ann".
Score fullScore() {
  Score score(defaultScoreComment(2024, "ann"), ScorePatch{1, 95, 0, 24});
  score.title = "Blues in A";
  score.composer = "Trad.";
  score.tempo = 96;
  score.defaultBeats = 2;
  score.locked = true;
  score.owner = "ann";
  DesignerChord chord = test::designer(test::shape("577655"), 5, true, 0);
  chord.enharmonic = true;
  chord.held = {true, false, false, false, false, true};
  score.insertAfterCurrent("A7", chord, 6);
  score.editCurrent()->release = false;
  score.editCurrent()->beatsToNext = 93;
  chord.frets = {-1, 0, 2, 2, 2, 0};
  chord.topFret = 0;
  chord.holdAll = true;
  score.insertAfterCurrent("A", chord, 6);
  return score;
}

const Bytes kFull = scoreBytes(fullScore(), InstrumentState{}, "ann");
const std::size_t kFirstEntryAt = kFull.size() - 25 - 24;

TEST(ScoreFileTest, ExampleBytesAndARoundTripOfEveryField) {
  const InstrumentState guitar;
  EXPECT_EQ(scoreBytes(Score("x", ScorePatch{1, 95, 0, 24}), guitar, "ann"), kExample);
  InstrumentState state = instrumentState(2);
  const Score back = parseScore(kFull, state, false, "ann");
  EXPECT_EQ(state.currentInstrument, kGuitar);
  EXPECT_EQ(back.title.view(), "Blues in A");
  EXPECT_EQ(back.composer.view(), "Trad.");
  EXPECT_TRUE(back.locked && back.ownedByUser);
  EXPECT_EQ(back.entries(), fullScore().entries());
  EXPECT_EQ(back.currentIndex(), 1);
  // With the writer pinned by the example, equal bytes mean every other
  // property was read into its own field.
  EXPECT_EQ(scoreBytes(back, state, "ann"), kFull);
  // A locked score is stamped with the saving user, cut to the field, and
  // is the reader's own only under exactly that name.
  const Score other = parseScore(scoreBytes(back, guitar, "Ann"), state, false, "ann");
  EXPECT_FALSE(other.ownedByUser);
  EXPECT_EQ(other.owner.view(), "Ann");
  const std::string longName(60, 'n');
  EXPECT_TRUE(parseScore(scoreBytes(back, guitar, longName), state, false, longName).ownedByUser);
}

TEST(ScoreFileTest, EveryDamagedFieldHasItsMessageAndKeepsTheInstrument) {
  const std::string corrupt = "Not a Score file\nor Data is corrupted";
  const std::string end = "Unexpected end of file";
  const std::size_t fields = kFirstEntryAt + 4 + 2;  // after the name "A7"
  Bytes scor = withInt(kExample, 0, 4);
  scor.erase(scor.begin() + 8);
  const struct {
    Bytes bytes;
    std::string message;
  } cases[] = {
      {{}, end},
      {withInt(kExample, 0, 6), corrupt},  // marker length
      {scor, "Not a Score file"},
      {withByte(kExample, 8, 'E'), "Not a Score file"},
      {withInt(kExample, kVersionAt, 103), "Unknown version of Score file"},
      {withInt(kExample, kTitleAt, 50), corrupt},
      {withInt(kExample, kTitleAt, -1), corrupt},
      {withByte(kExample, kInstrumentAt, 0xFF), corrupt},
      {withByte(kExample, kInstrumentAt + 1, 0x80), corrupt},  // open string
      {withInt(kExample, kEntryCountAt, -1), corrupt},
      {withInt(kExample, kEntryCountAt, 0x7FFFFFFF), end},  // before allocating
      // Values playback and the patch tables rely on.
      {withInt(kExample, kTempoAt, 0), corrupt},
      {withInt(kExample, kTempoAt, 751), corrupt},
      {withInt(kExample, kTempoAt, 20), "no error"},
      {withByte(kExample, kDefaultBeatsAt, 0), corrupt},
      {withByte(kExample, kDefaultBeatsAt, 8), corrupt},
      {withByte(kExample, kTempoAt + 4, 2), corrupt},   // MIDI standard
      {withInt(kExample, kTempoAt + 5, 438), corrupt},  // XG has 438 rows
      {withInt(kExample, kTempoAt + 5, 437), "no error"},
      {withByte(kExample, kTempoAt + 10, 0x80), corrupt},  // program
      // Entries the Designer could not have made.
      {withByte(kFull, kFirstEntryAt, 36), corrupt},  // name length
      {withByte(kFull, fields, 6), corrupt},          // root string
      {withByte(kFull, fields + 1, 18), corrupt},     // top fret
      {withByte(kFull, fields + 7, 23), corrupt},     // past the last fret
      {withByte(kFull, fields + 7, 0xEE), corrupt},   // below any writer's
      {withByte(kFull, fields + 7, 0xEF), "no error"},
  };
  for (std::size_t i = 0; i < std::size(cases); ++i) {
    SCOPED_TRACE("case " + std::to_string(i));
    EXPECT_EQ(failureKeepsTheInstrument(kRead, cases[i].bytes), cases[i].message);
  }
  // A length of 0, or above 127 as an unsigned byte, is a writer's, not damage: kept to 1..127.
  for (const auto& [byte, length] : {std::pair{0x00, 1}, {0xC8, 127}}) {
    InstrumentState state;
    const Score read = parseScore(withByte(kFull, fields + 5, byte), state, false, "ann");
    EXPECT_EQ(read.entries().front().beatsToNext, length);
  }
}

// The first entry stands at top fret 5 (rows 5..10): below them an open
// string of a moved shape, past them not played.
TEST(ScoreFileTest, AFileCutAnywhereEndsUnexpectedlyAndFretsLeftOffTheDiagramAreCleaned) {
  expectEveryCutEndsUnexpectedly(kRead, kFull);
  Bytes bytes = kFull;
  const std::int8_t stored[] = {-2, 3, 11, -17, 10, -1};
  for (std::size_t s = 0; s < 6; ++s) {
    bytes[kFirstEntryAt + 6 + 7 + 2 * s] = static_cast<std::uint8_t>(stored[s]);
  }
  InstrumentState state;
  EXPECT_EQ(parseScore(bytes, state, false, "ann").entries().front().frets,
            (std::array<std::int8_t, 6>{0, 0, -1, 0, 10, -1}));
}

}  // namespace
}  // namespace fretlets
