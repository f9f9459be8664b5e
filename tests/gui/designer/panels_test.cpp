#include <QAbstractSlider>
#include <QAccessible>
#include <QAccessibleActionInterface>
#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <QPointer>
#include <QPushButton>
#include <QSpinBox>
#include <QTest>
#include <cstdlib>

#include "documents/chord_book.h"
#include "gui/designer/designer_panel.h"
#include "gui/designer/fretboard_view.h"
#include "gui/instrument/instrument_panel.h"
#include "gui_application.h"
#include "panel_records.h"

namespace fretlets {
namespace {

// Fresh records for every case, with both panels on screen and MIDI open on
// an output that records what it is handed, on a clock that moves when told.
struct Rig : PanelRecords<> {
  Rig() {
    testApplication();
    EXPECT_TRUE(midi.openMidiMapper());
    designer = std::make_unique<DesignerPanel>(context, nullptr);
    notifier.announceMidiOpen(true);
    instrumentPanel = std::make_unique<InstrumentPanel>(context, nullptr);
    designer->show();
    instrumentPanel->show();
    EXPECT_TRUE(QTest::qWaitForWindowExposed(designer.get()));
  }
  void click(int row, int slot) {
    FretboardView* board = designer->fretboard();
    QTest::mouseClick(board, Qt::LeftButton, {}, board->cellRect(row, slot).center());
  }
  QPushButton* rootButton(int slot) const {
    // Named by their strings, the unused slots all alike.
    for (QPushButton* button : designer->findChildren<QPushButton*>()) {
      const QString name = button->accessibleName();
      if ((name.startsWith("Root on string") || name == "Select chord root") && slot-- == 0) {
        return button;
      }
    }
    return nullptr;
  }
  // The indicators of an implied 3, 5, 7 and 9, in that order.
  QCheckBox* implied(int nth) const {
    return control<QCheckBox>(designer.get(), "Implied interval", nth);
  }
  const ChordNameTexts& name() const { return notifier.chordName(); }
  std::string fullName() const {
    return (name().root + " " + name().type + " " + name().bass).toStdString();
  }

  std::unique_ptr<DesignerPanel> designer;
  std::unique_ptr<InstrumentPanel> instrumentPanel;
};

TEST(DesignerPanel, ClickedFretsAreNamedAndSoundedAndTheRootButtonsRenameTheChord) {
  Rig rig;
  // 0 2 2 1 0 0, low string first: each click sounds its string.
  for (const auto& [row, slot] : {std::pair{0, 0}, {2, 1}, {2, 2}, {1, 3}, {0, 4}, {0, 5}}) {
    rig.click(row, slot);
  }
  EXPECT_EQ(rig.fullName(), "E maj ");
  EXPECT_EQ(rig.rootButton(0)->text(), "6");
  EXPECT_TRUE(rig.rootButton(0)->isChecked());
  EXPECT_EQ(rig.output.monitorText(), "90 28 7F, 90 2F 7F, 90 34 7F, 90 38 7F, 90 3B 7F, 90 40 7F");

  // Turned into x 0 2 2 1 0, A minor; its root chosen on the C string makes
  // it C6 over A.
  for (const auto& [row, slot] : {std::pair{0, 0}, {0, 1}, {2, 3}, {1, 4}}) {
    rig.click(row, slot);
  }
  EXPECT_EQ(rig.fullName(), "A m ");
  EXPECT_FALSE(rig.rootButton(0)->isEnabled());
  QTest::mouseClick(rig.rootButton(4), Qt::LeftButton);
  EXPECT_EQ(rig.fullName(), "C 6 A");
  EXPECT_TRUE(rig.implied(1)->isChecked());
  EXPECT_FALSE(rig.implied(0)->isChecked());
  EXPECT_TRUE(rig.rootButton(4)->isChecked());
  EXPECT_FALSE(rig.rootButton(1)->isChecked());
  // The indicator answers neither the mouse nor a screen reader's toggle.
  QTest::mouseClick(rig.implied(1), Qt::LeftButton);
  rig.implied(1)->click();
  EXPECT_TRUE(rig.implied(1)->isChecked());
  // An arpeggio goes on with a fret clicked while it plays: F3, not E3.
  rig.output.clear();
  rig.midi.arpeggioDelayMs = 10;
  QTest::mouseClick(control<QPushButton>(rig.designer.get(), "Play the chord/Esc to silence"),
                    Qt::LeftButton);
  rig.click(3, 2);
  rig.timers.advance(std::chrono::milliseconds(100));
  EXPECT_EQ(rig.output.monitorText(true),
            "0: 90 2D 7F, 0: 90 35 7F, 10: 90 35 7F, 20: 90 39 7F, 30: 90 3C 7F, 40: 90 40 7F");
  rig.click(3, 2);
  // What the user types is the name the documents read, never more than a
  // chord book holds.
  QLineEdit* typeBox = control<QLineEdit>(rig.designer.get(), "Chord type");
  typeBox->clear();
  QTest::keyClicks(typeBox, "add6");
  EXPECT_EQ(rig.name().type, "add6");
  typeBox->setText(QString(40, QLatin1Char('x')));
  EXPECT_EQ(typeBox->text().size(), static_cast<qsizetype>(kChordTypeNameMax));
}

TEST(DesignerPanel, AThreeStringInstrumentSpreadsItsStringsOverTheWholeBoard) {
  Rig rig;
  rig.instrumentPanel->instrumentList()->setFocus();
  rig.instrumentPanel->instrumentList()->setCurrentIndex(12);
  QTest::keyClick(rig.instrumentPanel->instrumentList(), Qt::Key_Down);  // Saz
  ASSERT_EQ(rig.instrument.currentInstrument, 13);
  QStringList labels;
  for (int slot = 0; slot < kStringSlots; ++slot) {
    labels << rig.rootButton(slot)->text();
  }
  EXPECT_EQ(labels, (QStringList{"3", "2", "1", "", "", ""}));
  EXPECT_EQ(rig.rootButton(0)->accessibleName().toStdString(), "Root on string 3");
  FretboardView* board = rig.designer->fretboard();
  EXPECT_EQ(board->strings(), 3);
  const int width = board->contentsRect().width();
  const QRect low = board->cellRect(0, 0);
  const QRect high = board->cellRect(0, 2);
  EXPECT_LT(low.left(), width / 3);
  EXPECT_GT(high.right(), 2 * width / 3);
  rig.click(1, 2);
  EXPECT_EQ(rig.name().root, "A#");
  EXPECT_EQ(rig.chord.frets[2], 1);
}

// What a cell shows at its centre: the background, a black dot, a grey
// (held) dot, or the dark crossing of a cross.
char drawnAt(const QImage& image, const QPoint& p) {
  const QColor c = image.pixelColor(p);
  if (c.lightness() > 235) {
    return '.';
  }
  if (c.lightness() < 60) {
    return '#';
  }
  return std::abs(c.lightness() - QColor(Qt::lightGray).lightness()) < 20 ? 'g' : '?';
}

TEST(DesignerPanel, EachStringIsDrawnInItsRowAndHeldStringsInGrey) {
  Rig rig;
  rig.chord.frets = {-1, 3, 2, 0, 1, 12};  // the last one below the diagram
  rig.chord.held = {false, true, false, true, false, false};
  rig.notifier.loadChord();
  FretboardView* board = rig.designer->fretboard();
  const QImage image = board->grab().toImage();
  // Row by row, low string first.
  const std::vector<std::string> expected{
      "#..g..",  // the cross, and the held open string
      "....#.",  //
      "..#...",  //
      ".g....",  // the held string at fret 3
      "......",  //
      ".....#",  // fret 12 shown at the edge
  };
  for (int row = 0; row < 6; ++row) {
    std::string drawn;
    for (int slot = 0; slot < 6; ++slot) {
      drawn += drawnAt(image, board->cellRect(row, slot).center());
    }
    EXPECT_EQ(drawn, expected[row]) << "row " << row;
  }

  // A barred top fret is one bar across the strings it holds, drawn between
  // them too.
  rig.chord.held = {};
  rig.chord.topFret = 1;
  rig.chord.barred = true;
  rig.chord.frets = {1, 3, 3, 2, 1, 1};
  rig.notifier.loadChord();
  const QImage barred = board->grab().toImage();
  const QPoint between = (board->cellRect(0, 2).center() + board->cellRect(0, 3).center()) / 2;
  EXPECT_EQ(drawnAt(barred, between), '#');
}

TEST(DesignerPanel, TheTopFretAndTheSpeedCountWhenLetGo) {
  Rig rig;
  rig.click(1, 1);
  auto* topFret = rig.designer->findChild<QSpinBox*>();
  ASSERT_NE(topFret, nullptr);
  topFret->setFocus();
  QTest::keyClick(topFret, Qt::Key_Down);
  QTest::keyClick(topFret, Qt::Key_Down);
  EXPECT_EQ(topFret->value(), 2);
  EXPECT_EQ(rig.chord.topFret, 2);
  EXPECT_EQ(rig.chord.frets[1], 3);
  QTest::keyClick(topFret, Qt::Key_Up);
  EXPECT_EQ(rig.chord.frets[1], 2);
  topFret->setValue(0);  // no key, no release: not applied
  EXPECT_EQ(rig.chord.topFret, 1);

  auto* speed = control<QAbstractSlider>(rig.designer.get(), "Argeggio speed");
  speed->setSliderDown(true);
  speed->setValue(300);
  EXPECT_EQ(rig.midi.arpeggioDelayMs, 1);
  speed->setSliderDown(false);
  EXPECT_EQ(rig.midi.arpeggioDelayMs, 300);
  speed->setFocus();
  QTest::keyClick(speed, Qt::Key_Left);
  EXPECT_EQ(rig.midi.arpeggioDelayMs, 299);
}

TEST(DesignerPanel, TheFretboardIsPlayableThroughAccessibilityAndTheKeyboard) {
  Rig rig;
  FretboardView* board = rig.designer->fretboard();
  QAccessibleInterface* fretboard = QAccessible::queryAccessibleInterface(board);
  ASSERT_NE(fretboard, nullptr);
  ASSERT_EQ(fretboard->childCount(), 36);
  QAccessibleInterface* cell = nullptr;
  for (int i = 0; i < fretboard->childCount(); ++i) {
    if (fretboard->child(i)->text(QAccessible::Name) == "String 5, fret 3") {
      cell = fretboard->child(i);
    }
  }
  ASSERT_NE(cell, nullptr);
  EXPECT_FALSE(cell->state().checked);
  cell->actionInterface()->doAction(QAccessibleActionInterface::pressAction());
  EXPECT_EQ(rig.chord.frets[1], 3);
  EXPECT_TRUE(cell->state().checked);
  EXPECT_EQ(fretboard->indexOfChild(cell), 3 * 6 + 1);

  board->setFocus();
  QTest::keyClick(board, Qt::Key_Right);
  QTest::keyClick(board, Qt::Key_Right);
  QTest::keyClick(board, Qt::Key_Down);
  QTest::keyClick(board, Qt::Key_Space);
  EXPECT_EQ(rig.chord.frets[2], 1);
  QTest::keyClick(board, Qt::Key_Up);
  QTest::keyClick(board, Qt::Key_Space);
  EXPECT_EQ(rig.chord.frets[2], 0);
  rig.output.clear();
  QTest::keyClick(board, Qt::Key_Escape);
  EXPECT_EQ(rig.output.messages(), std::vector<std::uint32_t>{shortMessage(0xB0, 123, 0)});
}

TEST(DesignerPanel, OnlyTheLeftButtonInACellFretsTheKeysStopAtTheLastRowAndBarRenames) {
  Rig rig;
  FretboardView* board = rig.designer->fretboard();
  rig.click(1, 1);
  rig.output.clear();
  const QRect a = board->cellRect(1, 1);
  const QRect b = board->cellRect(1, 2);
  const QRect below = board->cellRect(2, 1);
  // Presses between cells, and one with the right button.
  for (const QPoint p : {QPoint((a.right() + b.left()) / 2, a.center().y()),
                         QPoint(a.center().x(), (a.bottom() + below.top()) / 2),
                         QPoint(a.right() + 1, a.top()), QPoint(a.left(), a.bottom() + 1)}) {
    QTest::mouseClick(board, Qt::LeftButton, {}, p);
  }
  QTest::mouseClick(board, Qt::RightButton, {}, board->cellRect(2, 0).center());
  EXPECT_EQ(rig.chord.frets[0], kNone);
  EXPECT_EQ(rig.chord.frets[1], 1);
  EXPECT_TRUE(rig.output.sent().empty());
  QTest::mouseClick(board, Qt::LeftButton, {}, a.topLeft());
  EXPECT_EQ(rig.chord.frets[1], kNone);
  board->setFocus();
  for (int i = 0; i < kDiagramRows + 2; ++i) {
    QTest::keyClick(board, Qt::Key_Down);
  }
  QTest::keyClick(board, Qt::Key_Space);
  EXPECT_EQ(board->cursorRow(), kDiagramRows - 1);
  EXPECT_EQ(rig.chord.frets[board->cursorString()], kDiagramRows - 1);

  // An open A shape barred at the second fret is another chord.
  rig.chord.frets = {-1, 0, 2, 2, 2, 0};
  rig.chord.topFret = 2;
  rig.notifier.loadChord();
  EXPECT_EQ(rig.name().root, "A");
  QTest::mouseClick(control<QPushButton>(rig.designer.get(), "Bar the top fret"), Qt::LeftButton);
  EXPECT_EQ(rig.chord.frets[1], 2);
  EXPECT_EQ(rig.name().root, "B");
}

TEST(DesignerPanel, ClosesOnlyWithTheProgramAndPlayNotesSurvivesMidiOff) {
  Rig rig;
  auto* playNotes = control<QPushButton>(rig.designer.get(), "Play notes when fretting");
  EXPECT_TRUE(playNotes->isChecked());
  QTest::mouseClick(playNotes, Qt::LeftButton);
  rig.midi.closeMidi();
  rig.notifier.announceMidiOpen(false);
  EXPECT_FALSE(playNotes->isEnabled());
  rig.midi.openMidiMapper();
  rig.notifier.announceMidiOpen(true);
  EXPECT_TRUE(playNotes->isEnabled());
  EXPECT_FALSE(playNotes->isChecked());

  QPointer<DesignerPanel> designer = rig.designer.release();
  designer->close();
  QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
  ASSERT_TRUE(designer);
  EXPECT_TRUE(designer->isVisible());
  rig.session.closeAll();
  designer->close();
  QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
  EXPECT_FALSE(designer);
}

TEST(InstrumentPanel, BanjoFillsFourTuningListsTellsTheDesignerAndPlaysItsOpenStrings) {
  Rig rig;
  rig.click(2, 0);
  QComboBox* instruments = rig.instrumentPanel->instrumentList();
  instruments->setFocus();
  QTest::keyClick(instruments, Qt::Key_Home);
  EXPECT_EQ(rig.instrument.currentInstrument, 0);
  // Four strings, each list on its note; the other lists empty and grayed.
  std::vector<int> tuning;
  for (int s = 0; s < kStringSlots; ++s) {
    QComboBox* list = rig.instrumentPanel->tuningList(s);
    tuning.push_back(list->isEnabled() && list->count() == 84 ? list->currentIndex() : -1);
    EXPECT_EQ(rig.instrument.tuning[s], s < 4 ? tuning[s] : kNone);
  }
  EXPECT_EQ(tuning, (std::vector<int>{48, 55, 59, 62, -1, -1}));
  EXPECT_EQ(rig.instrumentPanel->tuningList(0)->currentText(), "C");
  EXPECT_EQ(rig.chord.frets[0], kNone);
  EXPECT_EQ(rig.designer->fretboard()->strings(), 4);

  // A string's note renames the chord without clearing it.
  rig.click(0, 0);
  EXPECT_EQ(rig.name().root, "C");
  QComboBox* low = rig.instrumentPanel->tuningList(0);
  low->setFocus();
  QTest::keyClick(low, Qt::Key_Down);
  EXPECT_EQ(rig.instrument.tuning[0], 49);
  EXPECT_EQ(rig.instrument.currentInstrument, 0);
  EXPECT_EQ(rig.chord.frets[0], 0);
  EXPECT_EQ(rig.name().root, "C#");

  // Play sounds the open strings half a second apart.
  rig.output.clear();
  QTest::mouseClick(rig.instrumentPanel->playButton(), Qt::LeftButton);
  rig.timers.advance(std::chrono::milliseconds(3000));
  EXPECT_EQ(rig.output.monitorText(true),
            "0: 90 31 7F, 500: 90 37 7F, 1000: 90 3B 7F, 1500: 90 3E 7F");
}

}  // namespace
}  // namespace fretlets
