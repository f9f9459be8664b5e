#include <gmock/gmock.h>

#include "documents/chord_book_file.h"
#include "documents/score_file.h"
#include "music/designer_chord.h"
#include "support/cli_run.h"
#include "support/document_test_support.h"

namespace fretlets::cli {
namespace {

using DocumentCommands = document_test::DocumentFolder;
using document_test::bytesOf;
using document_test::sample;
using ::testing::AllOf;
using ::testing::HasSubstr;

TEST_F(DocumentCommands, BookAddFilesInOrderAndRefusesDuplicates) {
  const std::string book = file("blues.cbk");
  CliRun first = runCli(runBook, {"add", book, "--type", "9", "--frets", "x,3,2,3,3,3"});
  EXPECT_EQ(first.status, 0) << first.err;
  EXPECT_EQ(first.out, "Filed under \"9\" as fretlet 1 of 1 (chord type 1 of 1)\n");
  EXPECT_EQ(runCli(runBook, {"add", book, "--type", "7", "--frets", "x,0,2,0,2,0"}).out,
            "Filed under \"7\" as fretlet 1 of 1 (chord type 1 of 2)\n");

  const document_test::Bytes before = bytesOf(book);
  const CliRun again = runCli(runBook, {"add", book, "--type", "7", "--frets", "x,0,2,0,2,0"});
  EXPECT_EQ(again.status, 1);
  EXPECT_EQ(again.out, "Fretlet exists\n");
  EXPECT_EQ(bytesOf(book), before);

  const CliRun json = runCli(runBook, {"dump", book, "--json"});
  EXPECT_EQ(json.status, 0);
  EXPECT_EQ(json.out,
            "{\"version\":101,\"instrument\":9,\"tuning\":[40,45,50,55,59,64],\"chords\":["
            "{\"name\":\"7\",\"fretlets\":[{\"rootString\":1,\"position\":0,"
            "\"frets\":[-1,0,2,0,2,0]}]},"
            "{\"name\":\"9\",\"fretlets\":[{\"rootString\":1,\"position\":-2,"
            "\"frets\":[-1,3,2,3,3,3]}]}]}\n");
}

TEST_F(DocumentCommands, BookAddKeepsTheBooksOwnInstrument) {
  const std::string book = file("mandolin.cbk");
  const CliRun created = runCli(
      runBook, {"add", book, "--instrument", "mandolin", "--type", "maj", "--frets", "0,2,3,0"});
  ASSERT_EQ(created.status, 0) << created.err;
  // A later add without --instrument still files four strings.
  EXPECT_EQ(runCli(runBook, {"add", book, "--type", "m", "--frets", "0,1,3,0"}).status, 0);
  const CliRun wrong = runCli(runBook, {"add", book, "--type", "m", "--frets", "0,1,3,0,0,0"});
  EXPECT_EQ(wrong.status, 2);
  // Asking an existing book for another instrument is refused.
  EXPECT_EQ(
      runCli(runBook, {"add", book, "--instrument", "guitar", "--type", "m7", "--frets", "0,1,3,0"})
          .status,
      2);
  EXPECT_THAT(runCli(runBook, {"dump", book, "--json"}).out, HasSubstr("\"instrument\":10"));
}

TEST_F(DocumentCommands, BookDumpNamesNoRootStringForAMutedFretletRootedOffTheInstrument) {
  // A mandolin book (40 bytes) holding one all-muted movable fretlet, filed
  // under the empty type, whose root is slot 5.
  const std::string book = file("muted.cbk");
  std::ofstream(book, std::ios::binary) << std::string(
      "\x09\0\0\0chordbook\x65\0\0\0\x0A\x37\x3E\x45\x4C\x01\0\0\0\0\0\0\0\x01\0\0\0"
      "\x05\xFE\xFF\xFF\xFF\xFF",
      40);
  const CliRun dump = runCli(runBook, {"dump", book});
  EXPECT_EQ(dump.status, 0) << dump.err;
  EXPECT_THAT(dump.out, HasSubstr("\n    movable (rows relative to the top fret)\n"));
}

TEST_F(DocumentCommands, DamagedAndMissingFilesFailWithTheFormatsMessage) {
  const std::string book = file("cut.cbk");
  document_test::Bytes half = bytesOf(sample("Guitar chords.cbk"));
  half.resize(half.size() / 2);
  document_test::writeBytes(book, half);
  const CliRun cut = runCli(runBook, {"dump", book});
  EXPECT_EQ(cut.status, 1);
  EXPECT_EQ(cut.err, "Unexpected end of file\n");

  // Adding to a damaged book leaves it as it was.
  EXPECT_EQ(runCli(runBook, {"add", book, "--type", "5", "--frets", "3,5,5,x,x,x"}).status, 1);
  EXPECT_EQ(bytesOf(book), half);

  const CliRun missing = runCli(runScore, {"dump", file("nothing.score")});
  EXPECT_EQ(missing.status, 1);
  EXPECT_FALSE(missing.err.empty());
  EXPECT_EQ(runCli(runBook, {"dump"}).status, 2);
  EXPECT_EQ(runCli(runScore, {"frobnicate", book}).status, 2);
}

// Older versions read as the library reads them; what the command adds is
// the text of the dump and a lock kept for its owner, not the one upgrading.
TEST_F(DocumentCommands, UpgradeConvertsOlderVersionsAndKeepsTheLock) {
  using document_test::Bytes;
  // A version 101 score (no release bytes) locked by another user, with
  // control characters in its title; the copyright sign of its comment
  // arrives as UTF-8.
  Score score("\xA9 x", ScorePatch{});
  score.title = "a\b\f\x01\"\\";
  score.locked = true;
  DesignerChord chord;
  chord.frets = {0, 2, 2, 1, 0, 0};
  score.insertAfterCurrent("E", chord, 6);
  const Bytes current = scoreBytes(score, InstrumentState{}, "somebody else");
  Bytes old = document_test::withInt(current, 9, 101);
  old.erase(old.end() - 24 + 11);  // the release byte of the one entry
  document_test::writeBytes(file("old.score"), old);

  const CliRun json = runCli(runScore, {"dump", file("old.score"), "--json"});
  EXPECT_THAT(json.out,
              AllOf(HasSubstr(R"("title":"a\u0008\u000c\u0001\"\\")"),
                    HasSubstr(R"("locked":true,"owner":"somebody else","ownedByUser":false)"),
                    HasSubstr("\"comment\":\"\xC2\xA9 x\"")));
  ASSERT_EQ(runCli(runScore, {"upgrade", file("old.score"), file("new.score")}).status, 0);
  EXPECT_EQ(bytesOf(folder_ / "new.score"), current);
}

}  // namespace
}  // namespace fretlets::cli
