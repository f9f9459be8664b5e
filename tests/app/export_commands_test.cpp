#include <QAction>

#include "gui/common/command_id.h"
#include "support/gui/document_panel_fixture.h"

namespace fretlets {
namespace {

using ExportCommandsTest = DocumentPanelTest;

TEST_F(ExportCommandsTest, MenuExportsWriteTheirFilesAndNameWhatWentWrong) {
  struct Row {
    CommandId command;
    const char* file;
    std::string start;  // what the file begins with
  };
  const std::vector<Row> rows{
      {CommandId::ScoreExportMidi, "waltz.mid", "MThd"},
      {CommandId::ScoreExportPdf, "waltz.pdf", "%PDF"},
      {CommandId::ChordBookExportPdf, "chords.pdf", "%PDF"},
      {CommandId::ExportChordDiagram, "chord.png", "\x89PNG"},
      {CommandId::ExportChordDiagram, "chord", "<?xml"},  // the suffix it lacks is svg
  };
  // Grey until a document of their kind is open.
  for (const Row& row : rows) {
    EXPECT_EQ(frame_->action(row.command)->isEnabled(),
              row.command == CommandId::ExportChordDiagram);
  }
  open(DocumentKind::Score, copyOfSample("Waltz in G.score"));
  open(DocumentKind::ChordBook, copyOfSample("Guitar chords.cbk"));
  designerShows(fingering({-1, 3, 2, 0, 1, 0}, 1));
  for (const Row& row : rows) {
    SCOPED_TRACE(row.file);
    EXPECT_TRUE(frame_->action(row.command)->isEnabled());
    const std::filesystem::path path = folder() / row.file;
    dialogs_->answers.push_back(pathToQString(path));
    run(row.command);
    const std::filesystem::path written =
        path.has_extension() ? path : std::filesystem::path(path.string() + ".svg");
    EXPECT_EQ(bytesOf(written).substr(0, row.start.size()), row.start);
  }
  EXPECT_TRUE(messages_.isEmpty()) << messages_.join('\n').toStdString();

  const std::filesystem::path lost = folder() / "no-such-folder" / "waltz.mid";
  dialogs_->answers.push_back(pathToQString(lost));
  run(CommandId::ScoreExportMidi);
  EXPECT_EQ(messages_, QStringList{QStringLiteral("Couldn't write %1: Couldn't open file (No such "
                                                  "file or directory)")
                                       .arg(pathToQString(lost))});
}

}  // namespace
}  // namespace fretlets
