

#include "documents/chord_book_file.h"
#include "support/cli_run.h"
#include "support/document_test_support.h"

namespace fretlets::cli {
namespace {

namespace fs = std::filesystem;

using VoicingsCommand = document_test::DocumentFolder;
using document_test::bytesOf;

TEST_F(VoicingsCommand, ListsTheEasiestFingeringsFirst) {
  const CliRun c = runCli(runVoicings, {"--chord", "C", "--max", "3"});
  EXPECT_EQ(c.status, 0) << c.err;
  EXPECT_EQ(c.out.substr(0, c.out.find("fingerings")),
            "Cmaj on the Guitar tuned E2 A2 D3 G3 B3 E4: 3 of 1370 ");
  EXPECT_NE(c.out.find("\nx,3,2,0,1,0         Cmaj        3        3     1\n"), std::string::npos)
      << c.out;
  const CliRun rooted = runCli(runVoicings, {"--chord", "C", "--root-position", "--max", "20"});
  EXPECT_NE(rooted.out.find(": 20 of 414 "), std::string::npos) << rooted.out;
  EXPECT_EQ(rooted.out.find("Cmaj/"), std::string::npos);
  EXPECT_EQ(runCli(runVoicings, {"--chord", "C", "--bass", "C", "--max", "20"}).out, rooted.out);

  // Spelled as asked; a slash in the name or --bass gives the bass.
  EXPECT_TRUE(runCli(runVoicings, {"--chord", "Dbm7", "--max", "1"}).out.starts_with("Dbm7 "));
  const CliRun slash = runCli(runVoicings, {"--chord", "C/E", "--json"});
  EXPECT_EQ(slash.out, runCli(runVoicings, {"--chord", "C", "--bass", "E", "--json"}).out);
  EXPECT_NE(slash.out.find("\"frets\":[0,3,2,0,1,0]"), std::string::npos);
  // "6/9" is a chord type, not a bass.
  EXPECT_TRUE(runCli(runVoicings, {"--chord", "C6/9", "--max", "1"}).out.starts_with("C6/9 "));

  const CliRun mandolin =
      runCli(runVoicings, {"--chord", "G", "--instrument", "mandolin", "--max", "1", "--json"});
  EXPECT_NE(mandolin.out.find("\"voicings\":[{\"frets\":[0,0,2,3],\"rootString\":0,\"name\":"
                              "\"Gmaj\""),
            std::string::npos)
      << mandolin.out;
}

TEST_F(VoicingsCommand, BadInputIsOneLineOnStandardErrorAndStatusTwo) {
  std::vector<std::vector<std::string>> bad{{},
                                            {"--chord", "C", "extra"},
                                            {"--chord", "H7"},
                                            {"--chord", "Cmaj8"},
                                            {"--chord", ""},
                                            {"--chord", "C/X"},
                                            {"--chord", "C/E", "--root-position"}};
  for (const auto& [option, value] : {std::pair{"--bass", "Q"},
                                      {"--span", "0"},
                                      {"--span", "7"},
                                      {"--position", "9-2"},
                                      {"--position", "0-23"},
                                      {"--max", "0"},
                                      {"--instrument", "lute"}}) {
    bad.push_back({"--chord", "C", option, value});
  }
  expectUsageErrors(runVoicings, bad);
}

TEST_F(VoicingsCommand, IntoBookFilesAsTheBooksAddDoes) {
  const std::string added = file("added.cbk");
  const std::string found = file("found.cbk");
  ASSERT_EQ(runCli(runBook, {"add", added, "--type", "maj", "--frets", "x,3,2,0,1,0"}).status, 0);
  const CliRun filed = runCli(runVoicings, {"--chord", "C", "--max", "1", "--into-book", found});
  EXPECT_EQ(filed.status, 0) << filed.err;
  EXPECT_NE(filed.out.find("Filed 1 fretlet under \"maj\" in " + found + "\n"), std::string::npos);
  EXPECT_EQ(bytesOf(found), bytesOf(added));

  // Again with more: what is there already stays once.
  const CliRun more = runCli(runVoicings, {"--chord", "C", "--max", "5", "--into-book", found});
  EXPECT_NE(more.out.find("Filed 4 fretlets under \"maj\" in " + found + " (1 already there)"),
            std::string::npos)
      << more.out;
  InstrumentState state;
  const ChordBook book = readChordBook(found, state, false);
  ASSERT_EQ(book.chords().size(), 1U);
  EXPECT_EQ(book.chords().front().fretlets.size(), 5U);

  // An existing book keeps its instrument; asking for another is refused and
  // leaves the book alone.
  const std::string mandolin = file("mandolin.cbk");
  ASSERT_EQ(runCli(runBook, {"add", mandolin, "--instrument", "mandolin", "--type", "m", "--frets",
                             "0,0,1,3"})
                .status,
            0);
  const document_test::Bytes before = bytesOf(mandolin);
  const CliRun refused =
      runCli(runVoicings, {"--chord", "G", "--instrument", "guitar", "--into-book", mandolin});
  EXPECT_EQ(refused.status, 2);
  EXPECT_EQ(bytesOf(mandolin), before);
  const CliRun g = runCli(runVoicings, {"--chord", "G", "--max", "2", "--into-book", mandolin});
  EXPECT_TRUE(g.out.starts_with("Gmaj on the Mandolin ")) << g.out;

  // Nothing found files nothing and creates no book.
  const CliRun none = runCli(runVoicings, {"--chord", "Cm(maj13)#5+11", "--instrument", "saz",
                                           "--into-book", file("none.cbk")});
  EXPECT_EQ(none.status, 0);
  EXPECT_FALSE(fs::exists(file("none.cbk")));
}

}  // namespace
}  // namespace fretlets::cli
