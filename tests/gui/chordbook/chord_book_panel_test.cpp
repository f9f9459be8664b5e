#include <gtest/gtest.h>

#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>
#include <string>
#include <vector>

#include "documents/chord_book_file.h"
#include "gui/common/screen_text.h"
#include "gui/designer/fretboard_view.h"
#include "gui/instrument/instrument_panel.h"
#include "gui/midi_amp/midi_amp_panel.h"
#include "support/gui/document_panel_fixture.h"

namespace fretlets {
namespace {

const std::filesystem::path kSample = kSampleFolder / "Guitar chords.cbk";

class ChordBookPanelTest : public DocumentPanelTest {
 public:
  ChordBookPanel* panel() {
    return static_cast<ChordBookPanel*>(frame_->documentPanel(DocumentKind::ChordBook));
  }
  QLineEdit* designerTypeBox() { return designerBox("Chord type"); }
  void open(const std::filesystem::path& path) {
    DocumentPanelTest::open(DocumentKind::ChordBook, path);
  }
  std::filesystem::path copyOfSample() {
    return DocumentPanelTest::copyOfSample("Guitar chords.cbk");
  }
  void click(QPushButton* button) {
    ASSERT_TRUE(button->isEnabled()) << button->text().toStdString();
    button->click();
    settle();
  }
  // What the display says: type, "index/count".
  std::string display() {
    return panel()->chordTypeList()->currentText().toStdString() + " " +
           panel()->indexBox()->text().toStdString() + "/" +
           panel()->countBox()->text().toStdString();
  }
};

TEST_F(ChordBookPanelTest, ASampleBookIsWalkedFretletByFretletBothWays) {
  const std::filesystem::path path = copyOfSample();
  InstrumentState expectedInstrument;
  const ChordBook expected = readChordBook(path, expectedInstrument, false);
  open(path);
  ASSERT_NE(panel(), nullptr);
  EXPECT_EQ(panel()->windowTitle(), QStringLiteral("Chord Book - Guitar chords.cbk"));
  ASSERT_EQ(panel()->chordTypeList()->count(), static_cast<int>(expected.chords().size()));

  // Every fretlet in book order, each one loaded into the Designer.
  std::vector<std::string> walk;
  std::vector<std::string> shown;
  for (const BookChord& chord : expected.chords()) {
    for (std::size_t i = 1; i <= chord.fretlets.size(); ++i) {
      walk.push_back(screenText(chord.name.view()).toStdString() + " " + std::to_string(i) + "/" +
                     std::to_string(chord.fretlets.size()));
    }
  }
  const auto look = [&] {
    shown.push_back(display());
    EXPECT_TRUE(panel()->deleteButton()->isEnabled()) << shown.back();
    EXPECT_TRUE(panel()->updateButton()->isEnabled()) << shown.back();
  };
  look();
  for (std::size_t i = 1; i < walk.size(); ++i) {
    click(panel()->nextButton());
    look();
  }
  EXPECT_EQ(shown, walk);
  // The last fretlet stays; so does the first on the way back.
  const DesignerChord last = records_.context().chord;
  click(panel()->nextButton());
  EXPECT_EQ(display(), walk.back());
  EXPECT_EQ(records_.context().chord.frets, last.frets);
  shown.clear();
  for (std::size_t i = 0; i < walk.size(); ++i) {
    look();
    click(panel()->previousButton());
  }
  EXPECT_EQ(std::vector<std::string>(shown.rbegin(), shown.rend()), walk);
  EXPECT_EQ(display(), walk.front());

  // Choosing a type from the list goes to its first fretlet.
  panel()->chordTypeList()->setCurrentIndex(2);
  emit panel()->chordTypeList()->activated(2);
  settle();
  EXPECT_EQ(session().chordBook()->book.chordIndex(), 2);
  EXPECT_EQ(panel()->indexBox()->text(), QStringLiteral("1"));
  EXPECT_FALSE(session().chordBook()->book.modified());
  EXPECT_TRUE(messages_.isEmpty());
}

TEST_F(ChordBookPanelTest, AddUpdateAndDeleteFileTheDesignersChord) {
  run(CommandId::ChordBookNew);
  ASSERT_NE(panel(), nullptr);
  EXPECT_EQ(panel()->windowTitle(), QStringLiteral("Chord Book - "));
  EXPECT_EQ(display(), " /");
  EXPECT_FALSE(panel()->deleteButton()->isEnabled());
  EXPECT_FALSE(panel()->updateButton()->isEnabled());

  // A type typed by the user, in characters the book can and cannot store.
  designerShows(fingering({-1, 3, 2, 0, 1, 0}, 1));
  designerTypeBox()->setText(QStringLiteral("Café Ω"));
  click(panel()->addButton());
  ASSERT_EQ(session().chordBook()->book.chords().size(), 1u);
  EXPECT_EQ(session().chordBook()->book.chords().front().name.view(), "Caf\xE9 ?");
  EXPECT_EQ(display(), "Café ? 1/1");
  EXPECT_TRUE(session().chordBook()->book.modified());
  EXPECT_TRUE(panel()->deleteButton()->isEnabled());

  // The same fingering under the same type again is refused.
  designerTypeBox()->setText(QStringLiteral("Café Ω"));
  click(panel()->addButton());
  EXPECT_EQ(messages_, QStringList{QStringLiteral("Fretlet exists")});
  EXPECT_EQ(session().chordBook()->book.totalFretlets(), 1u);

  // A second fingering under a plain type, then edited in place.
  designerShows(fingering({0, 2, 2, 1, 0, 0}, 0));
  EXPECT_FALSE(panel()->deleteButton()->isEnabled());
  designerTypeBox()->setText(QStringLiteral("maj"));
  click(panel()->addButton());
  EXPECT_EQ(session().chordBook()->book.chords().size(), 2u);
  designerShows(fingering({0, 2, 2, 1, 0, -1}, 0));
  designerTypeBox()->setText(QStringLiteral("maj"));
  click(panel()->updateButton());
  EXPECT_EQ(session().chordBook()->book.totalFretlets(), 2u);
  EXPECT_EQ(session().chordBook()->book.currentFretlet().frets[5], -1);
  EXPECT_TRUE(panel()->deleteButton()->isEnabled());

  // The last fretlet of a type takes the type with it; the last of the book
  // clears the Designer.
  click(panel()->deleteButton());
  EXPECT_EQ(panel()->chordTypeList()->count(), 1);
  EXPECT_EQ(display(), "Café ? 1/1");
  click(panel()->deleteButton());
  EXPECT_TRUE(session().chordBook()->book.empty());
  EXPECT_EQ(display(), " /");
  EXPECT_FALSE(panel()->deleteButton()->isEnabled());
  EXPECT_FALSE(panel()->updateButton()->isEnabled());
  for (int s = 0; s < kStringSlots; ++s) {
    EXPECT_FALSE(records_.context().chord.sounds(s)) << s;
  }
}

TEST_F(ChordBookPanelTest, TheDesignersTypeBoxHoldsNoMoreThanTheBook) {
  designerTypeBox()->setText(QString(40, QLatin1Char('x')));
  EXPECT_EQ(designerTypeBox()->text().size(), static_cast<qsizetype>(kChordTypeNameMax));
}

TEST_F(ChordBookPanelTest, AChangedBookAsksByItsTitleAndYesSavesFirst) {
  struct Row {
    bool saved;  // the book has a file
    const char* question;
  };
  for (const Row row :
       {Row{false, "Chord Book has changed. Save the changes?"},
        Row{true, "Chord Book \"Guitar chords.cbk\" has changed. Save the changes?"}}) {
    messages_.clear();
    const std::filesystem::path target = row.saved ? copyOfSample() : folder() / "Fresh.cbk";
    if (row.saved) {
      open(target);
    } else {
      run(CommandId::ChordBookNew);
      dialogs_->answers.push_back(QString::fromStdString(target.string()));
    }
    designerShows(fingering({3, 2, 0, 0, 0, 3}, 0));
    designerTypeBox()->setText(QStringLiteral("new type"));
    click(panel()->addButton());
    answers_ = {MessageAnswer::Yes};
    run(CommandId::ChordBookClose);
    EXPECT_EQ(messages_, QStringList{QString::fromUtf8(row.question)});
    EXPECT_EQ(panel(), nullptr);
    // Written where the book was, or where Save As said.
    InstrumentState instrument;
    ChordBook written = readChordBook(target, instrument, false);
    EXPECT_TRUE(written.findChord("new type")) << target;
    EXPECT_EQ(dialogs_->requests.size(), 1u);
    std::filesystem::remove(target);
  }
}

TEST_F(ChordBookPanelTest, CancellingTheQuestionOrTheSaveAsKeepsTheProgram) {
  run(CommandId::ChordBookNew);
  click(panel()->addButton());
  ASSERT_TRUE(session().chordBook()->book.modified());
  // Cancel, and Yes followed by a cancelled Save As.
  for (const MessageAnswer answer : {MessageAnswer::Cancel, MessageAnswer::Yes}) {
    answers_ = {answer};
    frame_->close();
    settle();
    ASSERT_NE(panel(), nullptr);
    EXPECT_TRUE(frame_->isVisible());
    EXPECT_FALSE(session().closing());
    EXPECT_TRUE(session().chordBook()->book.modified());
  }
  EXPECT_EQ(dialogs_->requests.size(), 1u);

  // No lets the program go.
  answers_ = {MessageAnswer::No};
  frame_->close();
  settle();
  EXPECT_EQ(panel(), nullptr);
  EXPECT_FALSE(frame_->isVisible());
}

TEST_F(ChordBookPanelTest, AFailedSaveKeepsTheBookAndEverythingWaitingForIt) {
  const std::filesystem::path path = copyOfSample();
  const std::string before = bytesOf(path);
  open(path);
  designerShows(fingering({3, 2, 0, 0, 0, 3}, 0));
  designerTypeBox()->setText(QStringLiteral("new type"));
  click(panel()->addButton());
  ASSERT_TRUE(session().chordBook()->book.modified());
  // Nowhere to write to.
  const std::filesystem::path unwritable = folder() / "gone" / "Book.cbk";
  session().chordBook()->file.path = unwritable;

  run(CommandId::ChordBookSave);
  ASSERT_EQ(messages_.size(), 1);
  EXPECT_TRUE(session().chordBook()->book.modified());

  // A shutdown and an open that wait for the save are dropped with it.
  messages_.clear();
  answers_ = {MessageAnswer::Yes};
  frame_->close();
  settle();
  ASSERT_EQ(messages_.size(), 2);
  ASSERT_NE(panel(), nullptr);
  EXPECT_TRUE(frame_->isVisible());
  EXPECT_FALSE(session().closing());
  EXPECT_TRUE(session().chordBook()->book.modified());

  answers_ = {MessageAnswer::Yes};
  open(folder() / "Other.cbk");
  ASSERT_NE(panel(), nullptr);
  EXPECT_EQ(session().file(DocumentKind::ChordBook)->path, unwritable);
  EXPECT_FALSE(std::filesystem::exists(folder() / "Other.cbk"));
  EXPECT_EQ(bytesOf(path), before);
}

TEST_F(ChordBookPanelTest, NewAndOpenReplaceAnOpenBook) {
  const std::filesystem::path path = copyOfSample();
  run(CommandId::ChordBookNew);
  ASSERT_NE(panel(), nullptr);
  QPointer<ChordBookPanel> first = panel();
  // An unchanged book goes without a question.
  open(path);
  EXPECT_TRUE(messages_.isEmpty());
  EXPECT_TRUE(first.isNull());
  ASSERT_NE(panel(), nullptr);
  EXPECT_EQ(panel()->windowTitle(), QStringLiteral("Chord Book - Guitar chords.cbk"));

  designerShows(fingering({3, 2, 0, 0, 0, 3}, 0));
  designerTypeBox()->setText(QStringLiteral("new type"));
  click(panel()->addButton());
  answers_ = {MessageAnswer::No};
  run(CommandId::ChordBookNew);
  EXPECT_EQ(messages_.size(), 1);
  ASSERT_NE(panel(), nullptr);
  EXPECT_TRUE(session().chordBook()->book.empty());
  EXPECT_EQ(panel()->windowTitle(), QStringLiteral("Chord Book - "));
  EXPECT_TRUE(session().file(DocumentKind::ChordBook)->path.empty());
  // No means the change was never written.
  EXPECT_EQ(bytesOf(path), bytesOf(kSample));
}

TEST_F(ChordBookPanelTest, AMissingPathBecomesAnEmptyBookAndAnUnreadableOneStaysAsItIs) {
  const std::filesystem::path fresh = folder() / "Fresh.cbk";
  open(fresh);
  ASSERT_NE(panel(), nullptr);
  EXPECT_EQ(std::filesystem::file_size(fresh), 28u);
  EXPECT_EQ(panel()->windowTitle(), QStringLiteral("Chord Book - Fresh.cbk"));
  EXPECT_TRUE(messages_.isEmpty());
  run(CommandId::ChordBookClose);

  // Something that is no chord book, and a link to nothing.
  const std::filesystem::path garbage = folder() / "Garbage.cbk";
  std::ofstream(garbage, std::ios::binary) << "not a book at all, really";
  const std::filesystem::path dangling = folder() / "Dangling.cbk";
  std::filesystem::create_symlink(folder() / "nowhere" / "x.cbk", dangling);
  for (const std::filesystem::path& path : {garbage, dangling}) {
    messages_.clear();
    const std::string before = bytesOf(garbage);
    open(path);
    EXPECT_EQ(panel(), nullptr) << path;
    EXPECT_EQ(messages_.size(), 1) << path;
    EXPECT_FALSE(session().isOpen(DocumentKind::ChordBook));
    EXPECT_FALSE(frame_->action(CommandId::ChordBookSave)->isEnabled());
    EXPECT_EQ(bytesOf(garbage), before);
  }
  EXPECT_TRUE(std::filesystem::is_symlink(dangling));
  EXPECT_FALSE(std::filesystem::exists(folder() / "nowhere"));
}

TEST_F(ChordBookPanelTest, TheInstrumentIsTheOpenDocumentsUntilTheLastOneCloses) {
  // A mandolin book brings its instrument into a guitar program.
  InstrumentState mandolin;
  mandolin.currentInstrument = static_cast<std::int8_t>(*findInstrument("Mandolin"));
  defaultTuning(mandolin.currentInstrument, mandolin.tuning);
  const std::filesystem::path path = folder() / "Mandolin.cbk";
  writeChordBook(ChordBook(4), mandolin, path);
  open(path);
  ASSERT_NE(panel(), nullptr);
  EXPECT_EQ(records_.context().instrument.currentInstrument, mandolin.currentInstrument);
  EXPECT_EQ(designer()->fretboard()->strings(), 4);

  const auto locked = [this] {
    InstrumentPanel* instrument = frame_->instrumentPanel();
    return !instrument->instrumentList()->isEnabled() && !instrument->tuningList(0)->isEnabled();
  };
  run(CommandId::ViewInstrument);
  EXPECT_EQ(frame_->instrumentPanel()->instrumentList()->currentText(), "Mandolin");
  EXPECT_TRUE(locked());
  run(CommandId::ScoreNew);
  run(CommandId::ViewInstrument);
  run(CommandId::ChordBookClose);  // the score still holds the instrument
  EXPECT_EQ(panel(), nullptr);
  EXPECT_TRUE(locked());
  run(CommandId::ScoreClose);
  InstrumentPanel* instrument = frame_->instrumentPanel();
  EXPECT_TRUE(instrument->instrumentList()->isEnabled());
  EXPECT_TRUE(instrument->tuningList(3)->isEnabled());
}

TEST_F(ChordBookPanelTest, TheKeyboardFollowsToTheDesignerOnlyFromTheChordBook) {
  open(copyOfSample());
  ASSERT_NE(panel(), nullptr);
  const auto focusIn = [](QWidget* window) {
    QWidget* focus = QApplication::focusWidget();
    return focus && (focus == window || window->isAncestorOf(focus));
  };
  // Stepping in the book hands the keyboard to the Designer.
  panel()->activateWindow();
  panel()->nextButton()->setFocus();
  ASSERT_TRUE(waitFor([&] { return focusIn(panel()); }));
  click(panel()->nextButton());
  EXPECT_TRUE(waitFor([&] { return focusIn(designer()); }));

  // The number boxes pass a click on to the chord-type list.
  QTest::mouseClick(panel()->indexBox(), Qt::LeftButton);
  EXPECT_TRUE(waitFor([&] { return QApplication::focusWidget() == panel()->chordTypeList(); }));

  // A chord shown while the user works elsewhere leaves the keyboard there.
  QWidget* amp = frame_->midiAmpPanel();
  amp->activateWindow();
  amp->setFocus();
  ASSERT_TRUE(waitFor([&] { return QApplication::activeWindow() == amp; }));
  designerShows(fingering({3, 2, 0, 0, 0, 3}, 0));
  settle();
  EXPECT_EQ(QApplication::activeWindow(), amp);
}

TEST_F(ChordBookPanelTest, EveryControlIsNamedByItsTooltip) {
  run(CommandId::ChordBookNew);
  ASSERT_NE(panel(), nullptr);
  const std::vector<std::pair<QWidget*, const char*>> controls = {
      {panel()->chordTypeList(), "The chord type"},
      {panel()->indexBox(), "Fretlet index"},
      {panel()->countBox(), "# of fretlets for the chord"},
      {panel()->previousButton(), "Previous fretlet/chord"},
      {panel()->nextButton(), "Next fretlet/chord"},
      {panel()->addButton(), "Add chord"},
      {panel()->updateButton(), "Update chord"},
      {panel()->deleteButton(), "Delete chord"}};
  for (const auto& [control, tip] : controls) {
    EXPECT_EQ(control->toolTip(), QString::fromUtf8(tip));
    EXPECT_EQ(control->accessibleName(), QString::fromUtf8(tip));
  }
}

}  // namespace
}  // namespace fretlets
