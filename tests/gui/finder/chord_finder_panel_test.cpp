#include <QLabel>
#include <QListView>
#include <QListWidget>

#include "app/program.h"
#include "gui/designer/fretboard_view.h"
#include "gui/finder/chord_finder_panel.h"
#include "support/gui/document_panel_fixture.h"

namespace fretlets {
namespace {

class ChordFinder : public DocumentPanelTest {
 public:
  void SetUp() override {
    DocumentPanelTest::SetUp();
    run(CommandId::ViewFinder);
    ASSERT_NE(finder(), nullptr);
  }
  ChordFinderPanel* finder() { return frame_->finderPanel(); }
  // Frets a string as a click on its cell does; 0 opens it.
  void fret(int slot, int fret) {
    FretboardView* board = designer()->fretboard();
    QTest::mouseClick(board, Qt::LeftButton, {}, board->cellRect(fret, slot).center());
  }
  void find(const char* chord) {
    finder()->chordBox()->selectAll();
    QTest::keyClicks(finder()->chordBox(), QString::fromLatin1(chord));
  }
  void chooseVoicing(int row) {
    QListView* list = finder()->voicings();
    const QModelIndex item = list->model()->index(row, 0);
    list->scrollTo(item);
    QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, list->visualRect(item).center());
  }
  std::string designerName() {
    return (designerBox("Chord root")->text() + " " + designerBox("Chord type")->text() + " " +
            designerBox("Chord bass note")->text())
        .toStdString();
  }
};

TEST_F(ChordFinder, NamesTheDesignersChordAndChoosingOneReRootsTheDesigner) {
  const int frets[] = {0, 3, 2, 0, 1, 0};
  for (int slot = 0; slot < 6; ++slot) {
    fret(slot, frets[slot]);
  }
  settle();
  QListWidget* names = finder()->names();
  ASSERT_GT(names->count(), 1);
  EXPECT_TRUE(names->item(0)->text().startsWith(QStringLiteral("C/E    root on string 5")))
      << names->item(0)->text().toStdString();
  EXPECT_EQ(designerName(), "E m#5 ");
  QTest::mouseClick(names->viewport(), Qt::LeftButton, {},
                    names->visualItemRect(names->item(0)).center());
  settle();
  EXPECT_EQ(designerName(), "C maj E");
}

TEST_F(ChordFinder, FindsFingeringsOnTheCurrentInstrumentAndLoadsTheChosenOne) {
  records_.context().notifier.chooseInstrument(*findInstrument("Mandolin"));
  find("G");
  settle();
  ASSERT_FALSE(finder()->found().empty());
  const auto& first = finder()->found().front().frets;
  EXPECT_EQ(std::vector<int>(first.begin(), first.begin() + 4), (std::vector<int>{0, 0, 2, 3}));
  chooseVoicing(0);
  settle();
  EXPECT_EQ(designerName(), "G maj ");

  find("Hm7");
  settle();
  EXPECT_TRUE(finder()->found().empty());
  EXPECT_EQ(finder()->voicings()->model()->rowCount(), 0);
}

TEST_F(ChordFinder, AddsTheChosenFingeringsToTheOpenBookOnceOnly) {
  auto* add = control<QPushButton>(finder(), "Add to Chord Book");
  find("Am7");
  settle();
  // A shape up the neck, loaded where it is played.
  const auto& found = finder()->found();
  const auto high =
      std::find_if(found.begin(), found.end(), [](const Voicing& v) { return v.position >= 5; });
  ASSERT_NE(high, found.end());
  const int row = static_cast<int>(high - found.begin());
  chooseVoicing(row);
  settle();
  EXPECT_EQ(chord().frets, high->frets);
  EXPECT_FALSE(add->isEnabled());

  // The keyboard picks the next one; Add files that one.
  run(CommandId::ChordBookNew);
  ASSERT_TRUE(add->isEnabled());
  QTest::keyClick(finder()->voicings(), Qt::Key_Right);
  QTest::mouseClick(add, Qt::LeftButton);
  settle();
  const ChordBook& book = session().chordBook()->book;
  EXPECT_EQ(book.fretletCount(), 1);
  EXPECT_EQ(chord().frets, found[static_cast<std::size_t>(row) + 1].frets);
  EXPECT_TRUE(messages_.isEmpty());
  QTest::mouseClick(add, Qt::LeftButton);
  settle();
  EXPECT_EQ(messages_, QStringList{QStringLiteral("Fretlet exists")});
  EXPECT_EQ(book.fretletCount(), 1);

  // Add All asks before it files a whole neck, then files every fingering
  // shown once, the one already there included, without a box for it.
  messages_.clear();
  auto* addAll = control<QPushButton>(finder(), "Add every fingering shown to the Chord Book");
  answers_ = {MessageAnswer::No, MessageAnswer::Yes, MessageAnswer::Yes};
  QTest::mouseClick(addAll, Qt::LeftButton);
  EXPECT_EQ(book.totalFretlets(), 1u);
  QTest::mouseClick(addAll, Qt::LeftButton);
  settle();
  const QString question =
      QStringLiteral("Add all %1 fingerings to the Chord Book?").arg(found.size());
  EXPECT_EQ(messages_, QStringList({question, question}));
  EXPECT_EQ(book.totalFretlets(), found.size());
  EXPECT_EQ(book.chords().size(), 1u);  // every one under the Designer's "m7"
  QTest::mouseClick(addAll, Qt::LeftButton);
  settle();
  EXPECT_EQ(messages_.back(), QStringLiteral("Fretlet exists"));
  EXPECT_EQ(book.totalFretlets(), found.size());
}

// View > Zoom and Left-Handed reach every panel: at 200 % the panels and
// the fretboard's cells are twice as large, and a left-handed board takes a
// click on the right for the lowest string.
TEST_F(ChordFinder, ZoomScalesThePanelsAndLeftHandedMirrorsTheFretboard) {
  FretboardView* board = designer()->fretboard();
  const QSize cell = board->cellRect(2, 0).size();
  const QSize panel = finder()->size();
  applyProgramLook();
  auto* label = finder()->findChild<QLabel*>();
  const qreal points = label->font().pointSizeF();
  for (int step = 0; step < 4; ++step) {
    run(CommandId::ZoomIn);
  }
  EXPECT_NEAR(board->cellRect(2, 0).width(), 2 * cell.width(), 1);
  EXPECT_NEAR(board->cellRect(2, 0).height(), 2 * cell.height(), 1);
  EXPECT_NEAR(finder()->width(), 2 * panel.width(), 2);
  EXPECT_EQ(finder()->voicings()->iconSize().width(), 128);
  EXPECT_EQ(label->font().pointSizeF(), 2 * points);
  // A panel made now comes at the zoom too.
  run(CommandId::ViewFinder);
  run(CommandId::ViewFinder);
  EXPECT_NEAR(finder()->width(), 2 * panel.width(), 2);
  run(CommandId::ZoomActualSize);
  EXPECT_EQ(board->cellRect(2, 0).size(), cell);
  EXPECT_EQ(finder()->size(), panel);

  const QRect rightHanded = board->cellRect(3, 0);
  const auto diagram = [this] {
    const QAbstractItemModel* list = finder()->voicings()->model();
    return list->data(list->index(0, 0), Qt::DecorationRole).value<QPixmap>().toImage();
  };
  const QImage rightHandedDiagram = diagram();
  run(CommandId::ViewLeftHanded);
  EXPECT_GT(board->cellRect(3, 0).left(), rightHanded.left());
  EXPECT_NE(diagram(), rightHandedDiagram);
  fret(0, 3);
  settle();
  EXPECT_EQ(chord().frets[0], 3);
  EXPECT_EQ(designerBox("Chord root")->text().toStdString(), "G");
}

}  // namespace
}  // namespace fretlets
