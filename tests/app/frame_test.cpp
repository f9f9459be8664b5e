#include <QAction>
#include <QDockWidget>
#include <QMimeData>
#include <QScreen>
#include <QScrollArea>
#include <QScrollBar>
#include <QToolBar>
#include <QToolButton>
#include <QtTest/QTest>
#include <fstream>

#include "gui/common/command_id.h"
#include "gui/designer/designer_panel.h"
#include "gui/instrument/instrument_panel.h"
#include "gui/midi_amp/midi_amp_panel.h"
#include "support/gui/document_panel_fixture.h"

namespace fretlets {
namespace {

class Frame : public DocumentPanelTest {
 public:
  QAction* action(CommandId id) const { return frame_->action(id); }
  bool enabled(CommandId id) const { return action(id)->isEnabled(); }
  bool checked(CommandId id) const { return action(id)->isChecked(); }
  QToolButton* button(CommandId id) const {
    return qobject_cast<QToolButton*>(frame_->toolbar()->widgetForAction(action(id)));
  }
  // Where the shown panels stand in the window, top to bottom.
  QList<QRect> places() {
    QList<QRect> result;
    for (QWidget* panel : panels()) {
      // A torn-off panel floats outside the window.
      if (panel->isVisibleTo(frame_.get()) && panel->window() == frame_.get()) {
        result.append(QRect(panel->mapTo(frame_.get(), QPoint(0, 0)), panel->size()));
      }
    }
    return result;
  }
  bool scrolls() const {
    return frame_->findChild<QScrollArea*>()->verticalScrollBar()->isVisible();
  }
  QList<QWidget*> panels() {
    QList<QWidget*> result;
    for (QWidget* panel : {static_cast<QWidget*>(frame_->midiAmpPanel()),
                           static_cast<QWidget*>(frame_->instrumentPanel()),
                           static_cast<QWidget*>(frame_->documentPanel(DocumentKind::ChordBook)),
                           static_cast<QWidget*>(frame_->documentPanel(DocumentKind::Score)),
                           static_cast<QWidget*>(frame_->designerPanel())}) {
      if (panel) {
        result.append(panel);
      }
    }
    return result;
  }

  void drop(const QList<QUrl>& urls) {
    QMimeData data;
    data.setUrls(urls);
    QDragEnterEvent enter(QPoint(10, 10), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(frame_.get(), &enter);
    QDropEvent event(QPointF(10, 10), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(frame_.get(), &event);
    settle();
  }

  // A changed score, so that closing it asks.
  void changeScore() { session().score()->changed = true; }
  std::filesystem::path scorePath() { return session().file(DocumentKind::Score)->path; }
};

// The shown panels stand in the window's column under the toolbar, flush
// left, each just below the caption strip under the one before it; the
// window ends with the last panel, unless the column is taller than the
// screen and scrolls, and it never reaches past the screen.
void expectStacked(Frame& t) {
  const QList<QRect> shown = t.places();
  ASSERT_FALSE(shown.isEmpty());
  int bottom = t.frame_->toolbar()->geometry().bottom();
  for (const QRect& place : shown) {
    EXPECT_EQ(place.left(), shown.first().left());
    EXPECT_GT(place.top(), bottom);
    EXPECT_LT(place.top(), bottom + 32);
    bottom = place.bottom();
  }
  const QRect screen = t.frame_->screen()->availableGeometry();
  EXPECT_TRUE(screen.contains(t.frame_->frameGeometry()));
  if (!t.scrolls()) {
    EXPECT_NEAR(t.frame_->height(), bottom + 1, 12);
  }
}

TEST_F(Frame, MenuAndToolbarFollowThePanelsAsTheyComeAndGo) {
  struct Row {
    const char* step;
    std::function<void(Frame&)> run;
    bool instrument, designer, scoreCommands, bookCommands;
  };
  const std::vector<Row> rows = {
      {"start", [](Frame&) {}, true, true, false, false},
      {"View Instrument off", [](Frame& t) { t.action(CommandId::ViewInstrument)->trigger(); },
       false, true, false, false},
      {"toolbar Instrument on",
       [](Frame& t) { QTest::mouseClick(t.button(CommandId::ViewInstrument), Qt::LeftButton); },
       true, true, false, false},
      {"toolbar Designer hides it",
       [](Frame& t) { QTest::mouseClick(t.button(CommandId::ViewDesigner), Qt::LeftButton); }, true,
       false, false, false},
      {"New Score from the toolbar removes the Instrument panel",
       [](Frame& t) { QTest::mouseClick(t.button(CommandId::ScoreNew), Qt::LeftButton); }, false,
       false, true, false},
      {"View Chord Designer shows it again",
       [](Frame& t) { t.action(CommandId::ViewDesigner)->trigger(); }, false, true, true, false},
      {"New Chord Book", [](Frame& t) { t.action(CommandId::ChordBookNew)->trigger(); }, false,
       true, true, true},
      {"Close Score", [](Frame& t) { t.action(CommandId::ScoreClose)->trigger(); }, false, true,
       false, true},
      {"the chord book's close box",
       [](Frame& t) { t.frame_->documentPanel(DocumentKind::ChordBook)->parentWidget()->close(); },
       false, true, false, false},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.step);
    row.run(*this);
    settle();
    EXPECT_EQ(checked(CommandId::ViewInstrument), row.instrument);
    EXPECT_EQ(button(CommandId::ViewInstrument)->isChecked(), row.instrument);
    EXPECT_EQ(frame_->instrumentPanel() != nullptr, row.instrument);
    EXPECT_EQ(checked(CommandId::ViewDesigner), row.designer);
    EXPECT_EQ(designer()->isVisible(), row.designer);
    for (const CommandId id :
         {CommandId::ScoreClose, CommandId::ScoreSave, CommandId::ScoreSaveAs}) {
      EXPECT_EQ(enabled(id), row.scoreCommands);
    }
    EXPECT_EQ(button(CommandId::ScoreSave)->isEnabled(), row.scoreCommands);
    for (const CommandId id :
         {CommandId::ChordBookClose, CommandId::ChordBookSave, CommandId::ChordBookSaveAs}) {
      EXPECT_EQ(enabled(id), row.bookCommands);
    }
    EXPECT_EQ(button(CommandId::ChordBookSave)->isEnabled(), row.bookCommands);
    EXPECT_TRUE(checked(CommandId::ViewMidiAmp));
    expectStacked(*this);
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
  settle();
  expectStacked(*this);

  // Made taller, the window shows more of its free area and moves nothing.
  run(CommandId::ScoreClose);
  settle();
  ASSERT_FALSE(scrolls());
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
  expectStacked(*this);
  book->setFloating(false);
  settle();
  EXPECT_EQ(places(), before);
}

TEST_F(Frame, OnlyTheFirstDroppedFileOfAKnownKindOpens) {
  const QString score = QString::fromStdString((folder() / "Waltz in G.score").string());
  const auto at = [this](const char* name) {
    return QUrl::fromLocalFile(QString::fromStdString((folder() / name).string()));
  };
  struct Row {
    const char* what;
    QList<QUrl> urls;
    std::optional<DocumentKind> opens;
    const char* path;
  };
  const std::vector<Row> rows = {
      {"one score", {QUrl::fromLocalFile(score)}, DocumentKind::Score, "Waltz in G.score"},
      {"three files, a chord book first",
       {at("Blues.cbk"), QUrl::fromLocalFile(score), at("x.score")},
       DocumentKind::ChordBook,
       "Blues.cbk"},
      {"three files, a text first",
       {at("notes.txt"), QUrl::fromLocalFile(score), at("Blues.cbk")},
       std::nullopt,
       ""},
      {"upper-case extension", {at("SONG.SCORE")}, std::nullopt, ""},
      {"not a local file", {QUrl(QStringLiteral("https://example.com/a.cbk"))}, std::nullopt, ""},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.what);
    opened_.clear();
    const std::filesystem::path bookFolder = session().folder(DocumentKind::ChordBook);
    drop(row.urls);
    if (!row.opens) {
      EXPECT_TRUE(opened_.empty());
      continue;
    }
    ASSERT_EQ(opened_.size(), 1u);
    EXPECT_EQ(opened_[0].first, *row.opens);
    EXPECT_EQ(opened_[0].second, folder() / row.path);
    // A drop leaves the dialogs' folder alone.
    EXPECT_EQ(session().folder(DocumentKind::ChordBook), bookFolder);
  }
}

TEST_F(Frame, OpenAndSaveAsFollowTheLastFolderSavedTo) {
  const std::filesystem::path samples = session().folder(DocumentKind::Score);
  const std::filesystem::path newFolder = folder() / "new songs";
  std::filesystem::create_directories(newFolder);
  action(CommandId::ScoreNew)->trigger();
  settle();

  dialogs_->answers.push_back(QString::fromStdString((newFolder / "Tune").string()));
  action(CommandId::ScoreSave)->trigger();
  ASSERT_EQ(dialogs_->requests.size(), 1u);
  EXPECT_EQ(dialogs_->requests[0].startFolder.toStdString(), samples.string());
  EXPECT_EQ(dialogs_->requests[0].filter, QStringLiteral("Score Files (*.score)"));
  EXPECT_EQ(scorePath(), newFolder / "Tune.score");

  // Replacing a file asks first: No writes nothing.
  const std::filesystem::path existing = folder() / "Old.score";
  std::ofstream(existing) << "x";
  answers_ = {MessageAnswer::No};
  dialogs_->answers.push_back(QString::fromStdString(existing.string()));
  action(CommandId::ScoreSaveAs)->trigger();
  ASSERT_EQ(messages_.size(), 1);
  EXPECT_TRUE(messages_[0].contains(QStringLiteral("Old.score")));
  EXPECT_EQ(bytesOf(existing), "x");
  // Yes writes, and a failed write (over a folder) keeps the old target.
  const std::filesystem::path folderInTheWay = folder() / "Folder.score";
  std::filesystem::create_directory(folderInTheWay);
  answers_ = {MessageAnswer::Yes, MessageAnswer::Ok};
  dialogs_->answers.push_back(QString::fromStdString(folderInTheWay.string()));
  action(CommandId::ScoreSaveAs)->trigger();
  EXPECT_EQ(messages_.size(), 3);
  EXPECT_EQ(scorePath(), newFolder / "Tune.score");
  EXPECT_EQ(frame_->documentPanel(DocumentKind::Score)->windowTitle(),
            QStringLiteral("Score - Tune.score"));
  EXPECT_EQ(session().folder(DocumentKind::Score), newFolder);

  // Open starts where the last Save As ended.
  dialogs_->answers.push_back(std::nullopt);
  action(CommandId::ScoreOpen)->trigger();
  EXPECT_EQ(dialogs_->requests.back().startFolder.toStdString(), newFolder.string());
  // The chord books keep their own folder.
  action(CommandId::ChordBookOpen)->trigger();
  EXPECT_EQ(dialogs_->requests.back().startFolder.toStdString(), samples.string());
  EXPECT_EQ(dialogs_->requests.back().filter, QStringLiteral("Chordbook Files (*.cbk)"));
}

TEST_F(Frame, ClosingAsksTheScoreFirstAndACancelKeepsEverything) {
  action(CommandId::ChordBookNew)->trigger();
  action(CommandId::ScoreNew)->trigger();
  settle();
  changeScore();
  session().chordBook()->book.addFretlet("maj", chord());

  answers_ = {MessageAnswer::Cancel};
  EXPECT_FALSE(frame_->close());
  settle();
  EXPECT_EQ(messages_, QStringList{QStringLiteral("Score has changed. Save the changes?")});
  EXPECT_FALSE(session().closing());
  EXPECT_TRUE(frame_->isVisible());
  EXPECT_NE(frame_->documentPanel(DocumentKind::Score), nullptr);

  // Closing the score alone afterwards does not end the program.
  answers_ = {MessageAnswer::No};
  action(CommandId::ScoreClose)->trigger();
  settle();
  EXPECT_EQ(frame_->documentPanel(DocumentKind::Score), nullptr);
  EXPECT_TRUE(frame_->isVisible());

  // A full close: the chord book asks, then the frame and its panels go.
  answers_ = {MessageAnswer::No};
  frame_->close();
  EXPECT_TRUE(waitFor([this] { return !frame_->isVisible(); }));
  EXPECT_EQ(messages_.last(), QStringLiteral("Chord Book has changed. Save the changes?"));
  EXPECT_TRUE(waitFor([this] { return !frame_->midiAmpPanel() && !frame_->designerPanel(); }));
}

TEST_F(Frame, DocumentsArrivingDuringABoxWaitTheirTurn) {
  action(CommandId::ScoreNew)->trigger();
  settle();
  changeScore();
  // While the score's save prompt waits, a second start hands a chord book
  // over and a score is dropped.
  const QString book = QString::fromStdString((folder() / "Handed.cbk").string());
  duringMessage_ = [this, book] {
    frame_->acceptHandOver(book);
    drop({QUrl::fromLocalFile(QString::fromStdString((folder() / "Dropped.score").string()))});
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
  const QString another = QString::fromStdString((folder() / "Another.cbk").string());
  duringMessage_ = [this, another] {
    const qsizetype shown = messages_.size();
    frame_->acceptHandOver(another);
    EXPECT_EQ(messages_.size(), shown);
    EXPECT_EQ(opened_.size(), 3u);
  };
  answers_ = {MessageAnswer::No};
  dialogs_->answers.push_back(QString::fromStdString((folder() / "New.score").string()));
  action(CommandId::ScoreOpen)->trigger();
  EXPECT_TRUE(waitFor([this] { return opened_.size() == 4; }));
  EXPECT_EQ(opened_.back(), std::make_pair(DocumentKind::ChordBook, folder() / "Another.cbk"));
}

TEST_F(Frame, AHandOverWithoutADocumentKeepsTheOpenOne) {
  action(CommandId::ScoreNew)->trigger();
  settle();
  for (const QString& path :
       {QString(), QStringLiteral("/x/readme.txt"), QStringLiteral("relative.score")}) {
    frame_->acceptHandOver(path);
    settle();
  }
  EXPECT_TRUE(messages_.isEmpty());
  EXPECT_EQ(opened_.size(), 1u);
  EXPECT_NE(frame_->documentPanel(DocumentKind::Score), nullptr);

  // A minimised frame is restored.
  frame_->showMinimized();
  frame_->acceptHandOver(QString());
  EXPECT_FALSE(frame_->isMinimized());
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

}  // namespace
}  // namespace fretlets
