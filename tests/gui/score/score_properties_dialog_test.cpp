#include "gui/score/score_properties_dialog.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QCheckBox>
#include <QDialogButtonBox>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QSignalSpy>
#include <QTabWidget>
#include <QTest>
#include <memory>
#include <string>
#include <vector>

#include "documents/score.h"
#include "gui_application.h"
#include "music/designer_chord.h"
#include "music/instrument.h"
#include "sound/manual_timer_service.h"
#include "sound/midi_device.h"

namespace fretlets {
namespace {

[[maybe_unused]] const ApplicationEnvironment& application = applicationEnvironment();

constexpr int kSummary = 0;
constexpr int kChord = 1;

// The length boxes of the Chord page in the order of their twelfths.
const std::vector<QString> kLengthTips{"Length of a whole note",
                                       "Length of a half note",
                                       "Length of a quarter note",
                                       "Length of an eighth note",
                                       "Length of a sixteenth note",
                                       "Length of one part of a quarter note triplet",
                                       "Length of one part of an eighth note triplet"};
const std::vector<QString> kLengthTexts{"4", "2", "1", "1/2", "1/4", "2/3", "1/3"};

struct Rig {
  explicit Rig(std::vector<int> lengths = {12}) {
    for (const int length : lengths) {
      ScoreEntry entry;
      entry.beatsToNext = static_cast<std::int8_t>(length);
      entry.name = "Am7";
      score.appendEntry(entry);
    }
  }

  // A fresh sheet on the score as it now is.
  ScorePropertiesDialog& open() {
    dialog = std::make_unique<ScorePropertiesDialog>(score, midi, nullptr);
    dialog->show();
    return *dialog;
  }
  template <typename Control>
  Control* on(int page, const QString& tip) const {
    return control<Control>(dialog->pages()->widget(page), tip);
  }
  QCheckBox* box(int page, const QString& tip) const { return on<QCheckBox>(page, tip); }
  QLineEdit* edit(int page, const QString& tip) const { return on<QLineEdit>(page, tip); }
  void click(QAbstractButton* button) const { QTest::mouseClick(button, Qt::LeftButton); }
  // Checked boxes as "4 1/2", disabled ones in brackets.
  QString lengths() const {
    QStringList parts;
    for (std::size_t k = 0; k < kLengthTips.size(); ++k) {
      const QCheckBox* b = box(kChord, kLengthTips[k]);
      if (b->isChecked()) {
        parts << kLengthTexts[k];
      }
      if (!b->isEnabled()) {
        parts << "(" + kLengthTexts[k] + ")";
      }
    }
    return parts.join(' ');
  }
  void ok() const { click(dialog->findChild<QDialogButtonBox*>()->button(QDialogButtonBox::Ok)); }
  void showSummary() const { dialog->pages()->setCurrentIndex(kSummary); }

  InstrumentState instrument;
  DesignerChord chord;
  ManualTimerService timers;
  MidiDevice midi{instrument, chord, timers, {}};
  Score score{"", {}};
  std::unique_ptr<ScorePropertiesDialog> dialog;
};

TEST(ScorePropertiesDialog, OpensOnTheChordPageWithEveryControlNamed) {
  Rig rig;
  ScorePropertiesDialog& dialog = rig.open();
  EXPECT_EQ(dialog.pages()->currentIndex(), kChord);
  QList<QWidget*> controls = dialog.pages()->widget(kSummary)->findChildren<QWidget*>() +
                             dialog.pages()->widget(kChord)->findChildren<QWidget*>();
  for (QAbstractButton* button : dialog.findChild<QDialogButtonBox*>()->buttons()) {
    controls.append(button);
  }
  for (QWidget* named : controls) {
    EXPECT_FALSE(named->accessibleName().isEmpty()) << named->metaObject()->className();
    if (!named->toolTip().isEmpty()) {
      EXPECT_EQ(named->accessibleName(), named->toolTip());
    }
  }
}

// What the Chord page shows for a length, and what OK keeps of it unchanged.
TEST(ScorePropertiesDialog, ChordLengthsShowAsTheirBoxesAndKeepTheirValue) {
  struct Case {
    int beats;
    QString shown;
    int kept;
  };
  const std::vector<Case> cases{
      {32, "2 (1/2) (1/4) 2/3 (1/3)", 32},
      {52, "4 (1/2) (1/4) (2/3) 1/3", 52},
      {93, "4 2 1 1/2 1/4 (2/3) (1/3)", 93},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.beats);
    Rig rig({c.beats});
    rig.open();
    EXPECT_EQ(rig.lengths(), c.shown);
    rig.ok();
    EXPECT_EQ(rig.score.current().beatsToNext, c.kept);
  }
}

TEST(ScorePropertiesDialog, TripletPartsExcludeEachOtherAndTheStraightFractions) {
  Rig rig({48});
  rig.open();
  QCheckBox* eighth = rig.box(kChord, kLengthTips[3]);
  QCheckBox* sixteenth = rig.box(kChord, kLengthTips[4]);
  QCheckBox* quarterTriplet = rig.box(kChord, kLengthTips[5]);
  QCheckBox* eighthTriplet = rig.box(kChord, kLengthTips[6]);

  rig.click(quarterTriplet);
  EXPECT_EQ(rig.lengths(), "4 (1/2) (1/4) 2/3 (1/3)");
  rig.click(quarterTriplet);
  EXPECT_EQ(rig.lengths(), "4");
  rig.click(eighthTriplet);
  EXPECT_EQ(rig.lengths(), "4 (1/2) (1/4) (2/3) 1/3");
  rig.click(eighthTriplet);
  rig.click(eighth);
  rig.click(sixteenth);
  rig.click(eighth);  // the sixteenth still keeps the triplets out
  EXPECT_EQ(rig.lengths(), "4 1/4 (2/3) (1/3)");
  rig.click(sixteenth);
  EXPECT_EQ(rig.lengths(), "4");

  rig.click(rig.box(kChord, kLengthTips[0]));  // nothing left: a whole note
  EXPECT_EQ(rig.lengths(), "");
  rig.ok();
  EXPECT_EQ(rig.score.current().beatsToNext, 48);
}

TEST(ScorePropertiesDialog, TheChordPageStoresNameAndReleaseAndCutsTheName) {
  Rig rig;
  rig.open();
  QLineEdit* name = rig.edit(kChord, "The name of the chord");
  EXPECT_EQ(name->text(), "Am7");
  EXPECT_TRUE(rig.on<QRadioButton>(kChord, "Release unplayed strings")->isChecked());
  name->setText(QString(40, 'x').replace(0, 1, QChar(0x263A)));  // a character not in the page
  rig.click(rig.on<QRadioButton>(kChord, "Don't release unplayed strings"));
  QSignalSpy changed(rig.dialog.get(), &ScorePropertiesDialog::changed);
  rig.ok();
  EXPECT_EQ(rig.score.current().name.str(), "?" + std::string(34, 'x'));
  EXPECT_FALSE(rig.score.current().release);
  EXPECT_EQ(changed.count(), 1);
}

TEST(ScorePropertiesDialog, DefaultBeatsShowAsBitsAndNoneCheckedStoresFour) {
  struct Case {
    int beats;
    std::vector<bool> shown;  // "4", "2", "1"
    int stored;               // after OK unchanged
  };
  const std::vector<Case> cases{
      {3, {false, true, true}, 3},
      {5, {true, false, true}, 5},
      {9, {false, false, false}, 4},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.beats);
    Rig rig;
    rig.score.defaultBeats = static_cast<std::int8_t>(c.beats);
    rig.open();
    rig.showSummary();
    std::vector<bool> shown;
    for (int k = 0; k < 3; ++k) {
      shown.push_back(rig.box(kSummary, kLengthTips[k])->isChecked());
    }
    EXPECT_EQ(shown, c.shown);
    rig.ok();
    EXPECT_EQ(rig.score.defaultBeats, c.stored);
  }
}

TEST(ScorePropertiesDialog, TheSummaryAppliesOnlyWhenItWasShown) {
  Rig rig;
  rig.score.defaultBeats = 9;
  rig.open();
  rig.ok();
  EXPECT_EQ(rig.score.defaultBeats, 9);

  rig.open();
  rig.showSummary();
  rig.edit(kSummary, "The title of the score")->setText(QString(60, 't'));
  rig.edit(kSummary, "The composer")->setText(QString::fromUtf8("Dvo\u0159\u00e1k"));
  rig.dialog->pages()->setCurrentIndex(kChord);
  rig.ok();
  EXPECT_EQ(rig.score.title.str(), std::string(49, 't'));
  EXPECT_EQ(rig.score.composer.str(), "Dvo?\xE1k");
  EXPECT_EQ(rig.score.defaultBeats, 4);

  rig.open();
  rig.showSummary();
  rig.edit(kSummary, "The composer")->setText("changed");
  rig.dialog->reject();
  EXPECT_EQ(rig.score.composer.str(), "Dvo?\xE1k");
}

TEST(ScorePropertiesDialog, SetToCurrentTakesThePatchAndTheTempoOfTheDevice) {
  struct Case {
    std::uint32_t beatMs;
    int tempo;
  };
  for (const Case c : {Case{85, 705}, Case{3000, 20}}) {
    SCOPED_TRACE(c.beatMs);
    Rig rig;
    rig.midi.beatMs = c.beatMs;
    rig.midi.rememberPatch(MidiStandard::XG, 7, 3, 25);
    rig.open();
    rig.showSummary();
    rig.click(rig.box(kSummary, "The tempo of the score"));
    rig.ok();
    EXPECT_EQ(rig.score.tempo, c.tempo);
    EXPECT_EQ(rig.score.patch, ScorePatch{});  // "Patch" was not checked

    rig.open();
    rig.showSummary();
    rig.click(rig.box(kSummary, "The MIDI patch for the score"));
    rig.ok();
    EXPECT_EQ(rig.score.patch, (ScorePatch{1, 7, 3, 25}));
  }
}

TEST(ScorePropertiesDialog, OnlyTheOwnerOfALockCanLiftIt) {
  for (const bool owned : {true, false}) {
    SCOPED_TRACE(owned);
    Rig rig;
    rig.score.locked = true;
    rig.score.ownedByUser = owned;
    rig.open();
    rig.showSummary();
    QCheckBox* lock = rig.box(kSummary, "Score lock");
    EXPECT_TRUE(lock->isChecked());
    EXPECT_EQ(lock->isEnabled(), owned);
    rig.click(lock);
    rig.ok();
    EXPECT_EQ(rig.score.locked, !owned);
  }
}

TEST(ScorePropertiesDialog, AnEmptyScoreLeavesTheChordPageDisabledAndOkUnchanged) {
  Rig rig(std::vector<int>{});
  rig.open();
  QSignalSpy changed(rig.dialog.get(), &ScorePropertiesDialog::changed);
  EXPECT_EQ(rig.lengths(), "(4) (2) (1) (1/2) (1/4) (2/3) (1/3)");
  EXPECT_FALSE(rig.edit(kChord, "The name of the chord")->isEnabled());
  EXPECT_FALSE(rig.on<QRadioButton>(kChord, "Release unplayed strings")->isEnabled());
  rig.ok();
  EXPECT_EQ(changed.count(), 0);
  EXPECT_TRUE(rig.score.empty());

  rig.open();
  QSignalSpy changedAgain(rig.dialog.get(), &ScorePropertiesDialog::changed);
  rig.showSummary();
  rig.ok();
  EXPECT_EQ(changedAgain.count(), 1);
}

}  // namespace
}  // namespace fretlets
