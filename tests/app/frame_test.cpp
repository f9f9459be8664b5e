#include <QAccessible>
#include <QAccessibleActionInterface>
#include <QAction>
#include <QDockWidget>
#include <QTimer>
#include <QToolBar>
#include <QToolButton>

#include "app/file_commands.h"
#include "panel_records.h"
#include "support/gui/document_panel_fixture.h"

namespace fretlets {
namespace {

// A screen reader flips a check through the control's toggle action: no
// click, no key.
void toggle(QWidget* control) {
  ASSERT_NE(control, nullptr);
  QAccessibleInterface* accessible = QAccessible::queryAccessibleInterface(control);
  ASSERT_NE(accessible, nullptr);
  ASSERT_NE(accessible->actionInterface(), nullptr);
  ASSERT_TRUE(accessible->actionInterface()->actionNames().contains(
      QAccessibleActionInterface::toggleAction()));
  accessible->actionInterface()->doAction(QAccessibleActionInterface::toggleAction());
}

class Frame : public DocumentPanelTest {
 public:
  QAction* action(CommandId id) const { return frame_->action(id); }
  QToolButton* button(CommandId id) const {
    return qobject_cast<QToolButton*>(frame_->toolbar()->widgetForAction(action(id)));
  }
  // Where the shown panels stand in the window, top to bottom.
  QList<QRect> places() {
    QList<QRect> result;
    for (QWidget* panel : panels()) {
      result.append(QRect(panel->mapTo(frame_.get(), QPoint(0, 0)), panel->size()));
    }
    return result;
  }
};

TEST_F(Frame, MenuAndToolbarFollowThePanelsAsTheyComeAndGo) {
  const auto trigger = [](CommandId id) { return [id](Frame& t) { t.action(id)->trigger(); }; };
  const auto press = [](CommandId id) {
    return [id](Frame& t) { QTest::mouseClick(t.button(id), Qt::LeftButton); };
  };
  const auto flip = [](CommandId id) { return [id](Frame& t) { toggle(t.button(id)); }; };
  struct Row {
    const char* step;
    std::function<void(Frame&)> run;
    bool instrument, designer, scoreCommands, bookCommands;
  };
  const std::vector<Row> rows = {
      {"start", [](Frame&) {}, true, true, false, false},
      {"View Instrument off", trigger(CommandId::ViewInstrument), false, true, false, false},
      {"toolbar Instrument on", press(CommandId::ViewInstrument), true, true, false, false},
      {"toolbar Designer hides it", press(CommandId::ViewDesigner), true, false, false, false},
      {"a screen reader's toggle shows it", flip(CommandId::ViewDesigner), true, true, false,
       false},
      {"and hides it", flip(CommandId::ViewDesigner), true, false, false, false},
      {"or the Instrument panel", flip(CommandId::ViewInstrument), false, false, false, false},
      {"and brings it back", flip(CommandId::ViewInstrument), true, false, false, false},
      {"New Score from the toolbar removes the Instrument panel", press(CommandId::ScoreNew), false,
       false, true, false},
      {"View Chord Designer shows it again", trigger(CommandId::ViewDesigner), false, true, true,
       false},
      {"New Chord Book", trigger(CommandId::ChordBookNew), false, true, true, true},
      {"Close Score", trigger(CommandId::ScoreClose), false, true, false, true},
      {"the chord book's close box",
       [](Frame& t) { t.frame_->documentPanel(DocumentKind::ChordBook)->parentWidget()->close(); },
       false, true, false, false},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.step);
    row.run(*this);
    settle();
    EXPECT_EQ(action(CommandId::ViewInstrument)->isChecked(), row.instrument);
    EXPECT_EQ(button(CommandId::ViewInstrument)->isChecked(), row.instrument);
    EXPECT_EQ(frame_->instrumentPanel() != nullptr, row.instrument);
    EXPECT_EQ(action(CommandId::ViewDesigner)->isChecked(), row.designer);
    EXPECT_EQ(designer()->isVisible(), row.designer);
    for (const auto& [commands, on] :
         {std::pair{std::array{CommandId::ScoreClose, CommandId::ScoreSave, CommandId::ScoreSaveAs},
                    row.scoreCommands},
          std::pair{std::array{CommandId::ChordBookClose, CommandId::ChordBookSave,
                               CommandId::ChordBookSaveAs},
                    row.bookCommands}}) {
      for (const CommandId id : commands) {
        EXPECT_EQ(action(id)->isEnabled(), on);
      }
      EXPECT_EQ(button(commands[1])->isEnabled(), on);
    }
    EXPECT_TRUE(action(CommandId::ViewMidiAmp)->isChecked());
    expectStacked();
  }
  // The Designer was never destroyed, only hidden.
  EXPECT_EQ(opened_.size(), 2u);
}

// Every control of every window is named for a screen reader, by its tooltip
// where it has one.
TEST_F(Frame, EveryControlOfEveryWindowHasAnAccessibleName) {
  run(CommandId::ScoreNew);
  run(CommandId::ChordBookNew);
  run(CommandId::ViewInstrument);
  for (QAction* entry : frame_->toolbar()->actions()) {
    if (!entry->isSeparator()) {
      EXPECT_FALSE(entry->toolTip().isEmpty());
      EXPECT_EQ(frame_->toolbar()->widgetForAction(entry)->accessibleName(), entry->toolTip());
    }
  }
  ASSERT_EQ(panels().size(), 5);
  for (QWidget* window : panels()) {
    for (QWidget* control : window->findChildren<QWidget*>(Qt::FindDirectChildrenOnly)) {
      if (control->inherits("QLabel")) {
        continue;  // captions, not controls
      }
      SCOPED_TRACE(control->metaObject()->className());
      EXPECT_FALSE(control->accessibleName().isEmpty()) << window->windowTitle().toStdString();
      if (!control->toolTip().isEmpty()) {
        EXPECT_EQ(control->accessibleName(), control->toolTip());
      }
    }
  }
}

TEST_F(Frame, TheColumnScrollsPastTheScreenAndAPanelTearsOffAndDocksBack) {
  // Low on the screen, the window grows back onto it.
  frame_->move(0, frame_->screen()->availableGeometry().height() - 200);
  settle();
  run(CommandId::ChordBookNew);
  run(CommandId::ScoreNew);
  expectStacked();

  // Made taller, the window shows more of its free area and moves nothing.
  run(CommandId::ScoreClose);
  ASSERT_FALSE(frame_->findChild<QScrollArea*>()->verticalScrollBar()->isVisible());
  const QList<QRect> before = places();
  frame_->resize(frame_->width(), frame_->height() + 100);
  settle();
  EXPECT_EQ(places(), before);

  auto* book =
      qobject_cast<QDockWidget*>(frame_->documentPanel(DocumentKind::ChordBook)->parentWidget());
  ASSERT_NE(book, nullptr);
  book->setFloating(true);
  settle();
  EXPECT_TRUE(book->isVisible());
  EXPECT_EQ(places().size(), before.size() - 1);
  expectStacked();
  book->setFloating(false);
  settle();
  EXPECT_EQ(places(), before);
}

// Only the first dropped file opens, when it is a local chord book or score;
// a hand-over opens only an absolute path. Neither moves the dialogs' folder,
// and a minimised frame comes forward.
TEST_F(Frame, DropsAndHandOversOpenOnlyADocument) {
  const auto dropping = [this](std::initializer_list<const char*> names) {
    QList<QUrl> urls;
    for (const char* name : names) {
      urls.append(QUrl::fromLocalFile(path(name)));
    }
    return [urls](Frame& t) { t.drop(urls); };
  };
  const auto handing = [](const QString& path) {
    return [path](Frame& t) { t.frame_->acceptHandOver(path); };
  };
  struct Row {
    const char* what;
    std::function<void(Frame&)> act;
    std::optional<DocumentKind> opens = std::nullopt;
    const char* name = "";
  };
  const std::vector<Row> rows = {
      {"one score", dropping({"Waltz.score"}), DocumentKind::Score, "Waltz.score"},
      {"a chord book first", dropping({"Blues.cbk", "Waltz.score", "x.score"}),
       DocumentKind::ChordBook, "Blues.cbk"},
      {"a text first", dropping({"notes.txt", "Waltz.score"})},
      {"upper-case extension", dropping({"SONG.SCORE"})},
      {"not a local file",
       [](Frame& t) { t.drop({QUrl(QStringLiteral("https://example.com/a.cbk"))}); }},
      {"handed over", handing(path("Tune.score")), DocumentKind::Score, "Tune.score"},
      {"handed over, minimised",
       [](Frame& t) {
         t.frame_->showMinimized();
         t.frame_->acceptHandOver(QString());
         EXPECT_FALSE(t.frame_->isMinimized());
       }},
      {"a text handed over", handing(QStringLiteral("/x/readme.txt"))},
      {"a relative path", handing(QStringLiteral("relative.score"))},
  };
  const std::filesystem::path bookFolder = session().folder(DocumentKind::ChordBook);
  for (const Row& row : rows) {
    SCOPED_TRACE(row.what);
    opened_.clear();
    row.act(*this);
    settle();
    ASSERT_EQ(opened_.size(), row.opens ? 1u : 0u);
    if (row.opens) {
      EXPECT_EQ(opened_[0], std::make_pair(*row.opens, folder() / row.name));
    }
    EXPECT_EQ(session().folder(DocumentKind::ChordBook), bookFolder);
  }
  EXPECT_TRUE(messages_.isEmpty());
  EXPECT_NE(frame_->documentPanel(DocumentKind::Score), nullptr);
}

TEST_F(Frame, OpenAndSaveAsFollowTheLastFolderSavedTo) {
  const std::filesystem::path samples = session().folder(DocumentKind::Score);
  const std::filesystem::path newFolder = folder() / "new songs";
  std::filesystem::create_directories(newFolder);
  std::filesystem::create_directory(folder() / "Folder.score");
  std::ofstream(folder() / "Old.score") << "x";
  const auto pick = [this](CommandId id, std::optional<QString> path,
                           QList<MessageAnswer> answers) {
    dialogs_->answers.push_back(path);
    answers_ = answers;
    action(id)->trigger();
    return dialogs_->requests.back();
  };
  run(CommandId::ScoreNew);
  const FileDialogRequest first = pick(CommandId::ScoreSave, pathToQString(newFolder / "Tune"), {});
  EXPECT_EQ(first.startFolder, pathToQString(samples));
  EXPECT_EQ(first.filter, QStringLiteral("Score Files (*.score)"));
  const std::filesystem::path saved = newFolder / "Tune.score";
  EXPECT_EQ(session().file(DocumentKind::Score)->path, saved);

  // Replacing a file asks first: No writes nothing.
  pick(CommandId::ScoreSaveAs, path("Old.score"), {MessageAnswer::No});
  ASSERT_EQ(messages_.size(), 1);
  EXPECT_TRUE(messages_[0].contains(QStringLiteral("Old.score")));
  EXPECT_EQ(textOf(folder() / "Old.score"), "x");
  // Yes writes, and a failed write (over a folder) keeps the old target.
  pick(CommandId::ScoreSaveAs, path("Folder.score"), {MessageAnswer::Yes, MessageAnswer::Ok});
  EXPECT_EQ(messages_.size(), 3);
  EXPECT_EQ(session().file(DocumentKind::Score)->path, saved);
  EXPECT_EQ(frame_->documentPanel(DocumentKind::Score)->windowTitle(),
            QStringLiteral("Score - Tune.score"));
  EXPECT_EQ(session().folder(DocumentKind::Score), newFolder);

  // Open starts where the last Save As ended; the chord books keep their own.
  EXPECT_EQ(pick(CommandId::ScoreOpen, std::nullopt, {}).startFolder, pathToQString(newFolder));
  const FileDialogRequest book = pick(CommandId::ChordBookOpen, std::nullopt, {});
  EXPECT_EQ(book.startFolder, pathToQString(samples));
  EXPECT_EQ(book.filter, QStringLiteral("Chordbook Files (*.cbk)"));
}

TEST_F(Frame, DocumentsArrivingDuringABoxWaitTheirTurn) {
  run(CommandId::ScoreNew);
  session().score()->changed = true;
  // While the score's save prompt waits, a second start hands a chord book
  // over and a score is dropped.
  duringMessage_ = [this] {
    frame_->acceptHandOver(path("Handed.cbk"));
    drop({QUrl::fromLocalFile(path("Dropped.score"))});
    EXPECT_EQ(opened_.size(), 1u);
  };
  answers_ = {MessageAnswer::No};
  action(CommandId::ScoreClose)->trigger();
  EXPECT_TRUE(waitFor([this] { return opened_.size() == 3; }));
  ASSERT_EQ(opened_.size(), 3u);
  EXPECT_EQ(opened_[1], std::make_pair(DocumentKind::ChordBook, folder() / "Handed.cbk"));
  EXPECT_EQ(opened_[2], std::make_pair(DocumentKind::Score, folder() / "Dropped.score"));

  // A question that is not part of a close holds them back too: here the
  // Open dialog's offer to create a file.
  duringMessage_ = [this] {
    const qsizetype shown = messages_.size();
    frame_->acceptHandOver(path("Another.cbk"));
    EXPECT_EQ(messages_.size(), shown);
    EXPECT_EQ(opened_.size(), 3u);
  };
  answers_ = {MessageAnswer::No};
  dialogs_->answers.push_back(path("New.score"));
  action(CommandId::ScoreOpen)->trigger();
  EXPECT_TRUE(waitFor([this] { return opened_.size() == 4; }));
  EXPECT_EQ(opened_.back(), std::make_pair(DocumentKind::ChordBook, folder() / "Another.cbk"));
}

// Panels closed by the user are deleted by the event loop; a frame that goes
// before the loop got to them takes them along without touching its own
// half-destroyed commands.
TEST_F(Frame, GoesCleanlyWithClosedPanelsStillPending) {
  run(CommandId::ScoreNew);
  run(CommandId::ViewInstrument);  // opened again beside the score
  ASSERT_NE(frame_->instrumentPanel(), nullptr);
  frame_->runCommand(CommandId::ScoreClose);
  frame_->runCommand(CommandId::ViewInstrument);
  frame_.reset();
  EXPECT_FALSE(session().isOpen(DocumentKind::Score));
}

TEST(FrameKeys, EscapeInTheFrameSilencesAllNotes) {
  testApplication();
  PanelRecords<> records;
  ASSERT_TRUE(records.midi.openMidiMapper());
  MainWindow frame(records.context);
  frame.show();
  frame.activateWindow();
  ASSERT_TRUE(QTest::qWaitForWindowActive(&frame));
  records.output.clear();
  QTest::keyClick(&frame, Qt::Key_Escape);
  // Control change 123 (all notes off) on channel 1.
  EXPECT_EQ(records.output.messages(), std::vector<std::uint32_t>{0x007BB0});
  EXPECT_TRUE(frame.isVisible());
}

using RealInput = DocumentPanelTest;

TEST_F(RealInput, EveryCheckToggledByAScreenReaderDoesWhatAClickWould) {
  designerShows(fretlet({kNone, 3, 2, 0, 1, 0}));
  toggle(control<QPushButton>(designer(), "Bar the top fret"));
  EXPECT_TRUE(chord().barred);
  toggle(control<QPushButton>(designer(), "Hold strings down"));
  EXPECT_TRUE(chord().holdAll);
  toggle(control<QPushButton>(designer(), "Root on string 4"));
  EXPECT_EQ(designerBox("Chord root")->text().toStdString(), "E");
  toggle(control<QPushButton>(designer(), "Show enharmonic notes"));
  EXPECT_TRUE(chord().enharmonic);

  open(DocumentKind::Score, copyOfSample("Waltz in G.score"));
  auto* score = static_cast<ScorePanel*>(frame_->documentPanel(DocumentKind::Score));
  control<QPushButton>(score, "Run the score")->click();
  ASSERT_TRUE(score->playback().playing());
  toggle(control<QPushButton>(score, "Play/Stop(Esc)"));
  EXPECT_FALSE(score->playback().playing());
}

// Enter in the real box answers its default button: it must not replace a file.
TEST_F(RealInput, EnterDoesNotReplaceAnExistingFile) {
  setMessageHandler({});
  dialogs_->answers.emplace_back(QString::fromStdString(copyOfSample("Waltz in G.score").string()));
  QTimer enter;
  enter.callOnTimeout([] {
    if (QWidget* box = QApplication::activeModalWidget()) {
      QTest::keyClick(box, Qt::Key_Return);
    }
  });
  enter.start(20);
  EXPECT_EQ(saveDocumentAsDialog(session(), *dialogs_, DocumentKind::Score), std::nullopt);
}

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
  designerShows(fretlet({-1, 3, 2, 0, 1, 0}, 1));
  for (const Row& row : rows) {
    SCOPED_TRACE(row.file);
    EXPECT_TRUE(frame_->action(row.command)->isEnabled());
    const std::filesystem::path file = folder() / row.file;
    dialogs_->answers.push_back(pathToQString(file));
    run(row.command);
    const std::filesystem::path written =
        file.has_extension() ? file : std::filesystem::path(file.string() + ".svg");
    EXPECT_EQ(textOf(written).substr(0, row.start.size()), row.start);
  }
  EXPECT_TRUE(messages_.isEmpty()) << messages_.join('\n').toStdString();

  const QString lost = path("no-such-folder/waltz.mid");
  dialogs_->answers.push_back(lost);
  run(CommandId::ScoreExportMidi);
  EXPECT_EQ(messages_,
            QStringList{
                QStringLiteral("Couldn't write %1: Couldn't open file (No such file or directory)")
                    .arg(lost)});
}

}  // namespace
}  // namespace fretlets
