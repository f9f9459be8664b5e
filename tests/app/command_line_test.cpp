#include <gtest/gtest.h>

#include "app/file_commands.h"
#include "gui/common/app_state.h"
#include "models/document_session.h"
#include "music/instrument.h"

namespace fretlets {
namespace {

TEST(CommandLine, TheFirstArgumentOpensAChordBookOrScoreByItsExactEnding) {
  const std::filesystem::path here = "/home/player/music";
  struct Row {
    QStringList arguments;
    std::optional<DocumentKind> kind;
    std::filesystem::path path;
  };
  const std::string longName(300, 'x');
  const std::vector<Row> rows = {
      {{QStringLiteral("Blues.cbk")}, DocumentKind::ChordBook, here / "Blues.cbk"},
      {{QStringLiteral("../Waltz.score")}, DocumentKind::Score, "/home/player/Waltz.score"},
      {{QStringLiteral("/abs/Tune.score"), QStringLiteral("other.cbk")},
       DocumentKind::Score,
       "/abs/Tune.score"},
      // The system took the quotes off already: nothing more is stripped.
      {{QStringLiteral("\"quoted.cbk\"")}, std::nullopt, {}},
      {{QStringLiteral("BOOK.CBK")}, std::nullopt, {}},
      {{QStringLiteral("notes.txt"), QStringLiteral("x.cbk")}, std::nullopt, {}},
      {{}, std::nullopt, {}},
      // Paths are Unicode and not cut at any length.
      {{QStringLiteral("Gitarrengriffe äöü ♯.cbk")},
       DocumentKind::ChordBook,
       here / "Gitarrengriffe äöü ♯.cbk"},
      {{QString::fromStdString(longName + ".score")},
       DocumentKind::Score,
       here / (longName + ".score")},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.arguments.join(QLatin1Char(' ')).toStdString());
    AppState state;
    InstrumentState instrument;
    DocumentSession session(instrument, "", [] { return Score("", {}); }, {});
    placeBeside(state, session, "/opt/fretlets");
    const std::optional<OpenRequest> request = parseCommandLine(session, row.arguments, here);
    ASSERT_EQ(request.has_value(), row.kind.has_value());
    const auto folder = [&session](DocumentKind kind) { return session.folder(kind); };
    if (!request) {
      EXPECT_EQ(folder(DocumentKind::ChordBook), "/opt/fretlets/samples");
      EXPECT_EQ(folder(DocumentKind::Score), "/opt/fretlets/samples");
      continue;
    }
    EXPECT_EQ(request->kind, *row.kind);
    EXPECT_EQ(request->path, row.path);
    // The kind's dialogs start where the program was started; the other's
    // stay beside the program.
    const bool book = *row.kind == DocumentKind::ChordBook;
    EXPECT_EQ(folder(DocumentKind::ChordBook),
              book ? here : std::filesystem::path("/opt/fretlets/samples"));
    EXPECT_EQ(folder(DocumentKind::Score),
              book ? std::filesystem::path("/opt/fretlets/samples") : here);
  }
}

}  // namespace
}  // namespace fretlets
