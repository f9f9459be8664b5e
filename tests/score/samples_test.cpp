#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "chordbook/chord_book_file.h"
#include "music/chord_name.h"
#include "music/designer_chord.h"
#include "score/score_file.h"

namespace fretlets {
namespace {

namespace fs = std::filesystem;

fs::path sourceFolder() {
  return FRETLETS_SOURCE_DIR;
}

fs::path binFolder() {
  return FRETLETS_BIN_DIR;
}

fs::path samplesFolder() {
  return sourceFolder() / "resources/samples";
}

std::vector<fs::path> samples(std::string_view extension) {
  std::vector<fs::path> found;
  for (const auto& file : fs::directory_iterator(samplesFolder())) {
    if (file.path().extension() == extension) {
      found.push_back(file.path());
    }
  }
  return found;
}

std::string contents(const fs::path& path) {
  std::ifstream file(path, std::ios::binary);
  return {std::istreambuf_iterator<char>(file), {}};
}

ChordName nameOf(DesignerChord& chord, const InstrumentState& state) {
  computePitchClasses(chord, state.tuning);
  return nameChord(chord, chord.rootString);
}

TEST(SamplesTest, TheGeneratorMakesTheCommittedFiles) {
  const fs::path out = fs::temp_directory_path() / ("fretlets-samples-" + std::to_string(getpid()));
  fs::remove_all(out);
  const std::string command =
      "'" + (binFolder() / "fretlets-make-samples").string() + "' '" + out.string() + "'";
  ASSERT_EQ(std::system(command.c_str()), 0);
  std::size_t count = 0;
  for (const auto& made : fs::directory_iterator(out)) {
    ++count;
    EXPECT_EQ(contents(made.path()), contents(samplesFolder() / made.path().filename()))
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
    EXPECT_GE(score.tempo, 60);
    EXPECT_LE(score.tempo, 180);
    EXPECT_GE(score.entries().size(), 8U);
    for (const ScoreEntry& entry : score.entries()) {
      DesignerChord designer;
      designer.frets = entry.frets;
      designer.rootString = entry.rootString;
      const ChordName name = nameOf(designer, state);
      EXPECT_EQ(composeChordName(name.root, name.type, name.bass), entry.name.view())
          << path.filename();
      EXPECT_EQ(entry.beatsToNext % 12, 0);
    }
  }
}

}  // namespace
}  // namespace fretlets
