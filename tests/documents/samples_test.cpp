#include <gtest/gtest.h>
#include <unistd.h>

#include <string>
#include <vector>

#include "documents/chord_book_file.h"
#include "documents/score_file.h"
#include "music/chord_name.h"
#include "music/designer_chord.h"
#include "music/fingering_reading.h"
#include "support/document_test_support.h"

namespace fretlets {
namespace {

using namespace document_test;

const fs::path kSamples = fs::path(FRETLETS_SOURCE_DIR) / "resources/samples";

std::vector<fs::path> samples(std::string_view extension) {
  std::vector<fs::path> found;
  for (const auto& file : fs::directory_iterator(kSamples)) {
    if (file.path().extension() == extension) {
      found.push_back(file.path());
    }
  }
  return found;
}

ChordName nameOf(const DesignerChord& chord, const InstrumentState& state) {
  return readFingering(chord, state.tuning, chord.rootString).name;
}

TEST(SamplesTest, TheGeneratorMakesTheCommittedFiles) {
  const fs::path out = fs::temp_directory_path() / ("fretlets-samples-" + std::to_string(getpid()));
  fs::remove_all(out);
  const fs::path generator = fs::path(FRETLETS_BIN_DIR) / "fretlets-make-samples";
  ASSERT_EQ(std::system(("'" + generator.string() + "' '" + out.string() + "'").c_str()), 0);
  std::size_t count = 0;
  for (const auto& made : fs::directory_iterator(out)) {
    ++count;
    EXPECT_EQ(bytesOf(made.path()), bytesOf(kSamples / made.path().filename()))
        << made.path().filename() << " differs: rebuild resources/samples with the generator";
  }
  EXPECT_EQ(count, samples(".cbk").size() + samples(".score").size());
  fs::remove_all(out);
}

TEST(SamplesTest, EveryBookFretletIsTheChordTypeItIsFiledUnder) {
  ASSERT_FALSE(samples(".cbk").empty());
  for (const fs::path& path : samples(".cbk")) {
    InstrumentState state;
    const ChordBook book = readChordBook(path, state, false);
    EXPECT_GE(book.chords().size(), 10U);
    EXPECT_GE(book.totalFretlets(), 40U);
    for (const BookChord& chord : book.chords()) {
      for (const FretletRecord& fretlet : chord.fretlets) {
        DesignerChord designer;
        designer.topFret = 1;  // where every movable sample shape fits
        applyFretlet(fretlet, designer, state.strings());
        EXPECT_EQ(nameOf(designer, state).type, chord.name.view()) << path.filename();
      }
    }
  }
}

TEST(SamplesTest, EveryScoreEntryIsTheChordItsNameSays) {
  ASSERT_GE(samples(".score").size(), 2U);
  for (const fs::path& path : samples(".score")) {
    InstrumentState state;
    const Score score = readScore(path, state, false, "");
    EXPECT_GE(score.entries().size(), 8U);
    for (const ScoreEntry& entry : score.entries()) {
      DesignerChord designer;
      designer.frets = entry.frets;
      designer.rootString = entry.rootString;
      const ChordName name = nameOf(designer, state);
      EXPECT_EQ(composeChordName(name.root, name.type, name.bass), entry.name.view())
          << path.filename();
      EXPECT_EQ(entry.beatsToNext % 12, 0);  // whole beats
    }
  }
}

}  // namespace
}  // namespace fretlets
