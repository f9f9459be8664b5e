
#include "documents/chord_book_file.h"
#include "gui/common/screen_text.h"
#include "gui/designer/fretboard_view.h"
#include "support/gui/document_panel_fixture.h"

namespace fretlets {
namespace {

class ChordBookPanelTest : public DocumentPanelTest {
 public:
  ChordBookPanel* panel() {
    return static_cast<ChordBookPanel*>(frame_->documentPanel(DocumentKind::ChordBook));
  }
  // What the display says: type, "index/count".
  std::string display() {
    return panel()->chordTypeList()->currentText().toStdString() + " " +
           panel()->indexBox()->text().toStdString() + "/" +
           panel()->countBox()->text().toStdString();
  }
};

TEST_F(ChordBookPanelTest, ASampleBookIsWalkedFretletByFretletBothWays) {
  const std::filesystem::path path = copyOfSample("Guitar chords.cbk");
  InstrumentState instrument;
  const ChordBook book = readChordBook(path, instrument, false);
  open(DocumentKind::ChordBook, path);
  ASSERT_NE(panel(), nullptr);
  ASSERT_EQ(panel()->chordTypeList()->count(), static_cast<int>(book.chords().size()));
  // Every fretlet in book order, each one loaded into the Designer; the last
  // and the first stay where they are.
  std::vector<std::string> walk;
  for (const BookChord& chord : book.chords()) {
    for (std::size_t i = 1; i <= chord.fretlets.size(); ++i) {
      walk.push_back(screenText(chord.name.view()).toStdString() + " " + std::to_string(i) + "/" +
                     std::to_string(chord.fretlets.size()));
    }
  }
  for (QPushButton* step : {panel()->nextButton(), panel()->previousButton()}) {
    std::vector<std::string> shown{display()};
    for (std::size_t i = 0; i < walk.size(); ++i) {
      click(step);
      shown.push_back(display());
    }
    shown.pop_back();
    if (step == panel()->previousButton()) {
      std::reverse(shown.begin(), shown.end());
    }
    EXPECT_EQ(shown, walk);
    EXPECT_EQ(display(), step == panel()->nextButton() ? walk.back() : walk.front());
  }

  // Choosing a type from the list goes to its first fretlet.
  choose(panel()->chordTypeList(), 2);
  EXPECT_EQ(session().chordBook()->book.chordIndex(), 2);
  EXPECT_EQ(panel()->indexBox()->text(), QStringLiteral("1"));
  EXPECT_FALSE(session().chordBook()->book.modified());
  EXPECT_TRUE(messages_.isEmpty());
}

TEST_F(ChordBookPanelTest, AddUpdateAndDeleteFileTheDesignersChord) {
  run(CommandId::ChordBookNew);
  ASSERT_NE(panel(), nullptr);
  using Frets = std::array<std::int8_t, kStringSlots>;
  using Button = QPushButton* (ChordBookPanel::*)() const;
  const Button add = &ChordBookPanel::addButton, update = &ChordBookPanel::updateButton,
               remove = &ChordBookPanel::deleteButton;
  struct Row {
    const char* act;
    std::optional<Frets> shown;  // put into the Designer, under the type
    const char* type;
    Button pressed;
    const char* display;
    bool onCursor;  // the Designer shows the fretlet at the cursor, which Delete needs
    std::size_t fretlets;
  };
  const Frets c{-1, 3, 2, 0, 1, 0}, e{0, 2, 2, 1, 0, 0};
  const std::vector<Row> rows = {
      {"New", {}, nullptr, nullptr, " /", false, 0},
      {"Add under a type the book stores in part", c, "Café Ω", add, "Café ? 1/1", true, 1},
      {"the same again is refused", c, "Café Ω", add, "Café ? 1/1", true, 1},
      {"another fingering", e, nullptr, nullptr, "Café ? 1/1", false, 1},
      {"Add under a plain type", e, "maj", add, "maj 1/1", true, 2},
      {"Update in place", Frets{0, 2, 2, 1, 0, -1}, "maj", update, "maj 1/1", true, 2},
      {"Delete takes the last of a type with it", {}, nullptr, remove, "Café ? 1/1", true, 1},
      {"the last of the book clears the Designer", {}, nullptr, remove, " /", false, 0},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.act);
    if (row.shown) {
      designerShows(fretlet(*row.shown));
    }
    if (row.type) {
      designerBox("Chord type")->setText(QString::fromUtf8(row.type));
    }
    if (row.pressed) {
      click((panel()->*row.pressed)());
    }
    EXPECT_EQ(display(), row.display);
    EXPECT_EQ(panel()->deleteButton()->isEnabled(), row.onCursor);
    EXPECT_EQ(panel()->updateButton()->isEnabled(), row.fretlets > 0);
    EXPECT_EQ(session().chordBook()->book.totalFretlets(), row.fretlets);
  }
  EXPECT_EQ(messages_, QStringList{QStringLiteral("Fretlet exists")});
  for (int s = 0; s < kStringSlots; ++s) {
    EXPECT_FALSE(records_.context().chord.sounds(s)) << s;
  }
}

TEST_F(ChordBookPanelTest, TheInstrumentIsTheOpenDocumentsUntilTheLastOneCloses) {
  // A mandolin book brings its instrument into a guitar program.
  const InstrumentState mandolin = document_test::instrumentState(document_test::kMandolin);
  const std::filesystem::path path = folder() / "Mandolin.cbk";
  writeChordBook(ChordBook(4), mandolin, path);
  open(DocumentKind::ChordBook, path);
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
  open(DocumentKind::ChordBook, copyOfSample("Guitar chords.cbk"));
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
  auto* elsewhere = frame_->midiAmpPanel()->findChild<QComboBox*>();
  elsewhere->setFocus();
  ASSERT_TRUE(waitFor([&] { return QApplication::focusWidget() == elsewhere; }));
  designerShows(fretlet({3, 2, 0, 0, 0, 3}));
  settle();
  EXPECT_EQ(QApplication::focusWidget(), elsewhere);
}

}  // namespace
}  // namespace fretlets
